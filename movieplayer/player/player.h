// The movie player core: levels of root movies on one display list, the
// frame loop on the host's clock, quality control, the action interpreter
// and the URL streams that bring movies and variables in.
//
// It reaches the platform only through its virtual operations, which a host
// implements (a window on the desktop, a fake in the tests); the clock is
// one of them, so frame timing is tested on a clock the test moves.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "movieplayer/bitbuffer.h"
#include "movieplayer/character/timeline.h"
#include "movieplayer/display/display_list.h"

namespace movie {

// Who receives a requested URL: a level, a sprite (by path) or, with
// loadVariables set, the variables of either.
struct StreamOwner {
    int level = -1;
    std::string spritePath;   // empty: none
    bool loadVariables = false;
};

// One open stream.  The host creates it with StreamInNew and passes it back
// with each piece of data.
struct MovieStream {
    std::string url;
    Timeline* timeline = nullptr;   // receiving movie (null: dropped or collecting)
    bool firstMovie = false;
    bool collecting = false;        // loadVariables: bytes gathered, parsed at the end
    std::string collected;
    int level = 0;                  // collecting: target level and sprite path
    std::string spritePath;
};

// Flag bits of URL requests (the GetURL2 method byte).
enum UrlFlags : int {
    kUrlGet = 1,
    kUrlPost = 2,
    kUrlSpriteTarget = 0x40,
    kUrlLoadVariables = 0x80,
};

class SPlayer {
public:
    static constexpr int kMaxInstructions = 200000;
    static constexpr int kMaxCallDepth = 256;
    static constexpr int kMaxPendingRequests = 32;
    static constexpr int kFontLevel = 16000;

    SPlayer();
    virtual ~SPlayer();
    SPlayer(const SPlayer&) = delete;
    SPlayer& operator=(const SPlayer&) = delete;

    // ---- What the host implements -------------------------------------------
    virtual bool StartTimers(int frameIntervalMs, int blinkIntervalMs) = 0;
    virtual void StopTimers() = 0;
    virtual void InvalidateScreen(const MovieRect& pixels) = 0;
    // The drawable area in pixels, {0, width, 0, height}.
    virtual MovieRect GetScreenRect() = 0;
    virtual void ResizeScreen(int width, int height) = 0;
    virtual void PostURL(const std::string& url, const std::string& target, const std::string& postData,
                         std::unique_ptr<StreamOwner> owner) = 0;
    virtual void GetURL(const std::string& url, const std::string& target, std::unique_ptr<StreamOwner> owner) = 0;
    // A movie whose stream is still open was unloaded: later pieces of that
    // stream must find no timeline.
    virtual void DetachStream(MovieStream* stream) = 0;
    virtual void FSCommand(const std::string& command, const std::string& args) = 0;
    // Milliseconds of a monotonic clock (the core masks it to 31 bits).
    virtual uint32_t Clock() = 0;

    // ---- Frame loop -------------------------------------------------------------
    void DoPlay(bool dueOnly);
    bool StartPlayTimer();
    void StopPlayTimer();
    bool TimersRunning() const { return timersRunning_; }
    // Clears the current movie and requests url into level 0.
    void OpenMovie(const std::string& url);
    void ClearMovie();
    bool Loaded() const { return loaded_; }
    Timeline* GetLevel(int n, bool keep);
    Timeline* FindLevel(int n) const;
    void RemoveLevel(int n);
    Timeline* Root() const { return FindLevel(0); }
    int FrameDelay() const;

    // ---- Screen -----------------------------------------------------------------
    DisplayList& Display() { return display_; }
    // Draws what changed into the off-screen buffer and tells the host.
    void UpdateScreen();
    void RepaintRect(const MovieRect& pixels);
    void FreeBuffer();
    void SetCamera(int mode);
    CBitBuffer& Buffer() { return buffer_; }
    int scaleMode = 0;

    // ---- Quality ----------------------------------------------------------------
    bool highQuality = true;
    bool autoQuality = false;
    bool bestQuality = false;
    int slowFrames = 0, fastFrames = 0, measuredFrames = 0, framesSinceChange = 1000;

    // ---- Scripts ----------------------------------------------------------------
    void DoActions();
    bool Aborted() const { return aborted_; }
    int Random(int n);
    // Milliseconds since construction.
    uint32_t GetTime();
    // Value stack
    void Push(std::string v);
    void PushNumber(double v);
    std::string Pop();
    double PopNumber();
    size_t StackSize() const { return stack_.size(); }
    // Targets and variables; null / false when the path does not resolve.
    Timeline* ResolveTarget(Timeline* from, const std::string& path) const;
    std::string TargetPath(Timeline* t) const;
    bool GetVariable(Timeline* from, const std::string& path, std::string* value) const;
    void SetVariable(Timeline* from, const std::string& path, const std::string& value);
    std::string GetProperty(Timeline* t, int index);
    void SetProperty(Timeline* t, int index, const std::string& value);
    int soundBufferTime = 5;
    bool focusRect = true;
    // The sprite being dragged, its lock-centre flag and constraint (twips).
    Timeline* dragged = nullptr;
    bool dragLockCentre = false;
    MovieRect dragConstraint;

    // ---- URL streams --------------------------------------------------------------
    // Issues one request: "FSCommand:" urls to the host, levels and sprites
    // to GetURL or PostURL with an owner.
    void GetURLRequest(const std::string& url, const std::string& target, const std::string& postData, int flags);
    // The host's stream entry points.
    std::unique_ptr<MovieStream> StreamInNew(const std::string& url, std::unique_ptr<StreamOwner> owner);
    int StreamWrite(MovieStream* stream, const uint8_t* data, size_t n);
    void StreamInDestroy(std::unique_ptr<MovieStream> stream);

    static int ParseLevelNumber(const std::string& target);

private:
    struct Level {
        int number;
        std::unique_ptr<Timeline> timeline;
    };
    struct Request {
        std::string url, target, postData;
        int flags;
    };
    struct RunState;

    void UnloadTimeline(Timeline* t);
    void StartCheck();
    void CheckQuality(uint32_t now);
    bool PrepareBuffer();
    // The action interpreter (actions.cpp)
    void RunList(size_t pos, size_t end, Timeline* owner, int depth);
    bool Step(RunState& rs);
    Timeline* ResolveFrame(Timeline* from, const std::string& expr, int* frame) const;
    void QueueRequest(std::string url, std::string target, std::string postData, int flags);
    void CloneSprite(Timeline* from, const std::string& source, const std::string& name, int depth);
    void RemoveSprite(Timeline* from, const std::string& path);
    void LoadIntoSprite(Instance* inst, Timeline** out);

    DisplayList display_;
    CBitBuffer buffer_;
    bool bufferValid_ = false;
    std::vector<Level> levels_;
    std::vector<std::string> stack_;
    std::vector<Request> requests_;
    MovieRect zoom_;
    bool timersRunning_ = false;
    uint32_t nextFrame_ = 0;
    uint32_t startTime_ = 0;
    bool clockStarted_ = false;
    uint32_t random_ = 0;
    int nesting_ = 0;
    bool aborted_ = false;
    int instructions_ = 0;
    bool loaded_ = false;
    bool started_ = false;
    bool firstLoad_ = true;
    std::string firstUrl_;
    bool destroying_ = false;
};

}  // namespace movie
