// The player behind IMoviePlayer: the core (SPlayer) with the platform's
// services that need no window system: local files as URL streams, the
// host commands movies send, the frame rectangle, drawing into an image.
// Its window is a rectangle in memory; a desktop host derives from it and
// overrides the window, timer, cursor and clipboard operations.
#pragma once

#include <chrono>
#include <string>

#include "movieplayer/host/movie_player.h"
#include "movieplayer/player/player.h"

namespace movie {

// What a host command asks of the host.
struct HostCommand {
    enum Kind { kNone, kQuit, kFullScreen, kAllowScale, kExec, kShowMenu } kind = kNone;
    bool flag = false;      // the argument's truth
    std::string program;    // exec: the program's path, empty when refused
};

// Decides a host command.  "exec" runs only a program that lies in the
// folder "fscommand" beside the movie file: the argument up to its first
// blank must be a plain file name there (no folder parts, not "." or
// ".."), and the file must exist; anything else is refused (empty
// program).
HostCommand DecideHostCommand(const std::string& command, const std::string& args, const std::string& moviePath);

class MoviePlayerEngine : public SPlayer, public IMoviePlayer {
public:
    MoviePlayerEngine();
    ~MoviePlayerEngine() override;

    // IMoviePlayer
    int CreatePlayerWindow(void* parent) override;
    int DrawTo(uint32_t* pixels, int width, int height, int stride) override;
    int DestroyPlayerWindow() override;
    int MovePlayerWindow(int x, int y, int width, int height, bool repaint) override;
    int ShowPlayerWindow(bool show) override;
    int OpenMovie(const std::string& fileOrUrl) override;
    int GetMovieFrameRect(MovieFrameRect* out) override;
    int DoCommand(int code) override;
    void* GetPlayerWindow() override { return nullptr; }
    bool PlayerWindowVisible() override { return visible_; }
    void SetQuitHandler(std::function<void()> handler) override { quitHandler_ = std::move(handler); }

    // SPlayer platform operations
    bool StartTimers(int frameIntervalMs, int blinkIntervalMs) override;
    void StopTimers() override {}
    void InvalidateScreen(const MovieRect&) override {}
    MovieRect GetScreenRect() override;
    void ResizeScreen(int width, int height) override;
    void PostURL(const std::string&, const std::string&, const std::string&, std::unique_ptr<StreamOwner>) override {}
    void GetURL(const std::string& url, const std::string& target, std::unique_ptr<StreamOwner> owner) override;
    void DetachStream(MovieStream*) override {}
    void FSCommand(const std::string& command, const std::string& args) override;
    uint32_t Clock() override;

    // The movie file's path (empty before one is opened).
    const std::string& MoviePath() const { return moviePath_; }
    bool HasWindow() const { return window_; }
    int WindowWidth() const { return width_; }
    int WindowHeight() const { return height_; }
    // Host commands carried out (for the windowless player: recorded).
    bool quitRequested = false;
    bool menuShown = true;
    std::string lastProgram;

protected:
    // Window-system hooks; the windowless player only records.
    virtual void RunProgram(const std::string& path) { lastProgram = path; }
    virtual void SetFullScreen(bool on) { (void)on; }
    // Hands the quit to the owner later (the windowless player at once,
    // since nothing of it runs on a stack that the owner would free).
    virtual void PostQuit();
public:
    // Runs the quit handler of a quit that was asked for (the windowless
    // player's owner calls it once the player's own call has returned).
    void DeliverQuit();

protected:

    bool window_ = false;
    bool visible_ = false;
    int x_ = 20, y_ = 20, width_ = 200, height_ = 200;

private:
    std::string moviePath_;
    std::string movieFolder_;
    std::function<void()> quitHandler_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace movie
