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
#include "movieplayer/text/edit_text.h"

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

// Cursor shapes the player asks for.
enum PlayerCursor : int { kCursorArrow = 0, kCursorZoomed = 1, kCursorButton = 2, kCursorText = 3 };

class SPlayer : public EditHost {
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
    // The cursor for the player's cursor type (PlayerCursor).
    virtual void SetCursor(int type) { (void)type; }
    // The clipboard's text (line feeds removed) and a new text for it.
    std::u16string ReadClipboard() override { return {}; }
    void WriteClipboard(const std::u16string& text) override { (void)text; }

    // ---- Input (input.cpp, focus.cpp) --------------------------------------------
    // Mouse positions are window pixels.
    void MouseMove(int x, int y, bool buttonDown);
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    // A key code (KeyCode) or a character, with KeyModifiers; true when
    // someone took it.
    bool HandleKey(int code, int modifiers);
    // The blink timer: flips the focused field's caret.
    void BlinkCaret();
    void SetFocusObject(Instance* inst, int mouseState, bool update);
    void FocusNext();
    void FocusPrevious();
    // 0 up, 1 down, 2 right, 3 left.
    void FocusDirection(int direction);
    Instance* FocusField() { return display_.focusField; }
    Instance* FocusButton() { return display_.focusButton; }
    int CursorType();
    // Zooms by percent (100 keeps the size, 50 halves the view) around a
    // point in twips; 0 shows the whole frame again.
    void Zoom(MoviePoint centreTwips, int percent);
    const MovieRect& ZoomRect() const { return zoom_; }
    // Starts dragging `dragged` from the last mouse position.
    void BeginDrag();
    // The field bound to a variable: code 0 reads scroll + 1, 1 sets the
    // scroll line to value - 1, 2 reads the maximum scroll + 1; -1 when no
    // field is bound to it.
    int ScrollProperty(Timeline* context, const std::string& name, int code, int value);
    // The built-in font movie, loaded on first need (null when it cannot be).
    Timeline* FontMovie();

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
    // Records one run of the queued scripts may execute; past it the
    // scripts of this movie stop until a new one loads into level 0.
    int instructionLimit = kMaxInstructions;
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
    // The drop target's path, for the sprite last dragged.
    std::string DropTarget(Timeline* t) const { return t && t == dropOwner_ ? dropTarget_ : std::string(); }

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
    // Input (input.cpp, focus.cpp, fields.cpp)
    bool TrackMouse(MoviePoint pixels, int state, bool update);
    void MoveDragged();
    void UpdateDropTarget();
    void BuildFocusList();
    bool ButtonKeyActions(int code);
    void PressFocusedButton();
    void ShowFocus(Instance* inst);
    void OnFieldPlaced(Instance* inst);
    void SyncFields();
    void FieldEdited(Instance* field, bool textChanged);
    Instance* FieldBoundTo(Timeline* t, const std::string& name) const;

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
    // Input
    MoviePoint mouse_{0, 0};
    int mouseState_ = -1;
    bool overText_ = false;
    bool pendingClick_ = false;
    MoviePoint clickPoint_{0, 0};
    MoviePoint dragOffset_{0, 0};
    bool dragOffsetSet_ = false;
    Timeline* dropOwner_ = nullptr;
    std::string dropTarget_;
    std::vector<Instance*> focusList_;
    // The built-in font movie (kept across movies).
    std::unique_ptr<Timeline> fontMovie_;
    bool fontTried_ = false;
};

}  // namespace movie
