// The small interface through which the rest of the program plays movies:
// one factory and the operations of a player with a window of its own.
//
// The part that shows a movie holds one IMoviePlayer.  The desktop shell
// installs a factory whose players live in child widgets; without one the
// factory makes players whose window is only a rectangle in memory (tests,
// tools), which still load, play and draw into images.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace movie {

// Results of the operations (0 is success).
enum MovieResult : int {
    kMovieOk = 0,
    kMovieUnexpected = -1,
    kMovieInvalidArg = -2,
};

// The movie's frame in twips; loaded once the movie's header has been read.
struct MovieFrameRect {
    int32_t loaded = 0;
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// DoCommand codes.
enum MovieCommand : int {
    kMovieStartTimers = 0,
    kMovieStopTimers = 1,
    kMoviePlay = 2,
    kMoviePause = 3,
};

class IMoviePlayer {
public:
    virtual ~IMoviePlayer() = default;
    // Creates the (hidden) player window as a child of parent (a host
    // widget; may be null).  A second call leaves the first window.
    virtual int CreatePlayerWindow(void* parent) = 0;
    // Paints the current frame, at the movie's frame size in pixels, into
    // 0xAARRGGBB pixels (rows top to bottom, stride in pixels).
    virtual int DrawTo(uint32_t* pixels, int width, int height, int stride) = 0;
    virtual int DestroyPlayerWindow() = 0;
    virtual int MovePlayerWindow(int x, int y, int width, int height, bool repaint) = 0;
    // Shows (and starts the play timers) or hides (and stops them).
    virtual int ShowPlayerWindow(bool show) = 0;
    virtual int OpenMovie(const std::string& fileOrUrl) = 0;
    virtual int GetMovieFrameRect(MovieFrameRect* out) = 0;
    virtual int DoCommand(int code) = 0;
    // The window (a host widget), null when there is none.
    virtual void* GetPlayerWindow() = 0;
    virtual bool PlayerWindowVisible() = 0;
    // Called (later, never from inside the player's own call) when the
    // movie asks to quit: the owner drops the player.
    virtual void SetQuitHandler(std::function<void()> handler) = 0;
};

using MoviePlayerFactory = std::unique_ptr<IMoviePlayer> (*)();

// The installed factory's player (or a windowless one); null when memory
// runs out.
std::unique_ptr<IMoviePlayer> CreateMoviePlayer();
// Installs the factory (null: the windowless players again).
void SetMoviePlayerFactory(MoviePlayerFactory factory);

}  // namespace movie
