// A player with no window: a clock the caller sets, a screen of a given
// size, URL requests kept until the caller serves them (from local files or
// from memory) and host commands recorded.  The tests, the fuzz targets and
// the benchmarks play movies through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "movieplayer/player/player.h"

namespace movie {

class HeadlessPlayer : public SPlayer {
public:
    struct PendingRequest {
        std::string url, target, postData;
        std::unique_ptr<StreamOwner> owner;
    };
    struct Command {
        std::string command, args;
    };

    HeadlessPlayer(int width = 0, int height = 0) : width_(width), height_(height) {}
    ~HeadlessPlayer() override;

    uint32_t now = 1000;
    // Milliseconds the clock moves on each reading (frames that take time).
    uint32_t advancePerRead = 0;
    int detachedStreams = 0;
    std::vector<PendingRequest> requests;
    std::vector<Command> commands;
    std::vector<std::string> windowRequests;   // urls for browser windows
    int resizedWidth = 0, resizedHeight = 0;
    int timerInterval = 0;

    // Serves every pending request (and those they cause) from local files;
    // returns how many could not be read.
    int ServeLocalFiles();
    // Serves one movie or variable text from memory to the oldest request.
    bool ServeBytes(const uint8_t* data, size_t size, size_t piece = 1024);
    // Advances the clock by ms and runs the frame timer once.
    void Tick(uint32_t ms)
    {
        now += ms;
        DoPlay(true);
    }

    bool StartTimers(int frameIntervalMs, int) override
    {
        timerInterval = frameIntervalMs;
        return true;
    }
    void StopTimers() override {}
    void InvalidateScreen(const MovieRect&) override {}
    MovieRect GetScreenRect() override { return MovieRect{0, width_, 0, height_}; }
    void ResizeScreen(int width, int height) override
    {
        resizedWidth = width;
        resizedHeight = height;
    }
    void PostURL(const std::string& url, const std::string& target, const std::string& postData,
                 std::unique_ptr<StreamOwner> owner) override;
    void GetURL(const std::string& url, const std::string& target, std::unique_ptr<StreamOwner> owner) override;
    void DetachStream(MovieStream*) override { ++detachedStreams; }
    void FSCommand(const std::string& command, const std::string& args) override { commands.push_back({command, args}); }
    // A clipboard of its own (line feeds removed on reading, as the
    // platform's is), and the last cursor asked for.
    std::u16string clipboard;
    int cursor = -1;
    std::u16string ReadClipboard() override
    {
        std::u16string t;
        for (char16_t c : clipboard)
            if (c != 10) t.push_back(c);
        return t;
    }
    void WriteClipboard(const std::u16string& text) override
    {
        if (!text.empty()) clipboard = text;
    }
    void SetCursor(int type) override { cursor = type; }
    uint32_t Clock() override
    {
        const uint32_t t = now;
        now += advancePerRead;
        return t;
    }

private:
    int width_, height_;
};

}  // namespace movie
