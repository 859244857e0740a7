#include "movieplayer/host/player_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <new>

#include "movieplayer/player/local_files.h"
#include "movieplayer/player/number_text.h"

namespace movie {

namespace {

MoviePlayerFactory& Factory()
{
    static MoviePlayerFactory factory = nullptr;
    return factory;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::unique_ptr<IMoviePlayer> CreateMoviePlayer()
{
    if (MoviePlayerFactory f = Factory()) return f();
    return std::unique_ptr<IMoviePlayer>(new (std::nothrow) MoviePlayerEngine);
}

void SetMoviePlayerFactory(MoviePlayerFactory factory)
{
    Factory() = factory;
}

HostCommand DecideHostCommand(const std::string& command, const std::string& args, const std::string& moviePath)
{
    HostCommand c;
    c.flag = TextIsTrue(args.c_str());
    if (EqualNoCase(command, "quit")) {
        c.kind = HostCommand::kQuit;
    } else if (EqualNoCase(command, "fullscreen")) {
        c.kind = HostCommand::kFullScreen;
    } else if (EqualNoCase(command, "allowscale")) {
        c.kind = HostCommand::kAllowScale;
    } else if (EqualNoCase(command, "showmenu")) {
        c.kind = HostCommand::kShowMenu;
    } else if (EqualNoCase(command, "exec")) {
        c.kind = HostCommand::kExec;
        const std::string name = args.substr(0, args.find(' '));
        const bool plain = !name.empty() && name != "." && name != ".." &&
                           name.find_first_of("/\\:") == std::string::npos;
        if (!plain || moviePath.empty()) return c;
        const std::string path = FolderOf(moviePath) + "fscommand/" + name;
        if (IsRegularFile(path)) c.program = path;
    }
    return c;
}

MoviePlayerEngine::MoviePlayerEngine() = default;

MoviePlayerEngine::~MoviePlayerEngine()
{
    ClearMovie();
}

// ---- IMoviePlayer ------------------------------------------------------------------

int MoviePlayerEngine::CreatePlayerWindow(void*)
{
    if (window_) return kMovieOk;
    window_ = true;
    visible_ = false;
    x_ = y_ = 20;
    width_ = height_ = 200;
    return kMovieOk;
}

int MoviePlayerEngine::DestroyPlayerWindow()
{
    if (!window_) return kMovieUnexpected;
    StopPlayTimer();
    window_ = visible_ = false;
    return kMovieOk;
}

int MoviePlayerEngine::MovePlayerWindow(int x, int y, int width, int height, bool)
{
    if (!window_) return kMovieOk;
    x_ = x;
    y_ = y;
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == width_ && height == height_) return kMovieOk;
    width_ = width;
    height_ = height;
    // The off-screen buffer is rebuilt at the new size.
    FreeBuffer();
    return kMovieOk;
}

int MoviePlayerEngine::ShowPlayerWindow(bool show)
{
    if (window_) visible_ = show;
    if (show) return StartPlayTimer() ? kMovieOk : kMovieUnexpected;
    StopPlayTimer();
    return kMovieOk;
}

int MoviePlayerEngine::OpenMovie(const std::string& fileOrUrl)
{
    moviePath_ = LocalPathOfUrl(fileOrUrl);
    movieFolder_ = FolderOf(moviePath_);
    SPlayer::OpenMovie(fileOrUrl);
    return kMovieOk;
}

int MoviePlayerEngine::GetMovieFrameRect(MovieFrameRect* out)
{
    if (!out) return kMovieInvalidArg;
    *out = MovieFrameRect{};
    Timeline* r = Root();
    // Loaded only once a header has been read: the default frame that
    // stands before it is no movie's.
    if (!r || !r->Movie().HeaderRead()) return kMovieOk;
    const MovieBuffer& m = r->Movie();
    out->left = m.FrameXMin();
    out->top = m.FrameYMin();
    out->right = m.FrameXMax();
    out->bottom = m.FrameYMax();
    out->loaded = out->right != out->left && r->Movie().Error() == 0;
    return kMovieOk;
}

int MoviePlayerEngine::DoCommand(int code)
{
    Timeline* r = Root();
    switch (code) {
    case kMovieStartTimers: StartPlayTimer(); return kMovieOk;
    case kMovieStopTimers: StopPlayTimer(); return kMovieOk;
    case kMoviePlay:
        if (r) r->Play(true);
        return kMovieOk;
    case kMoviePause:
        if (r) r->Stop();
        return kMovieOk;
    default: return kMovieInvalidArg;
    }
}

int MoviePlayerEngine::DrawTo(uint32_t* pixels, int width, int height, int stride)
{
    if (!pixels || width <= 0 || height <= 0) return kMovieInvalidArg;
    const MovieRect screen = GetScreenRect();
    RepaintRect(screen.xmax > screen.xmin ? screen : MovieRect{0, width, 0, height});
    const NativeBitmap* b = Buffer().Bitmap();
    if (!b || !b->bits) return kMovieUnexpected;
    const int w = std::min(width, b->width), h = std::min(height, b->height);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = b->bits + size_t(b->height - 1 - y) * size_t(b->rowBytes);
        uint32_t* out = pixels + size_t(y) * size_t(stride);
        for (int x = 0; x < w; ++x)
            out[x] = 0xFF000000u | uint32_t(row[4 * x + 2]) << 16 | uint32_t(row[4 * x + 1]) << 8 | row[4 * x];
    }
    return kMovieOk;
}

// ---- Platform operations -----------------------------------------------------------------

bool MoviePlayerEngine::StartTimers(int, int)
{
    return Loaded();
}

MovieRect MoviePlayerEngine::GetScreenRect()
{
    if (!window_) return MovieRect{0, 0, 0, 0};
    return MovieRect{0, width_, 0, height_};
}

void MoviePlayerEngine::ResizeScreen(int width, int height)
{
    if (!window_) return;
    width_ = width;
    height_ = height;
}

void MoviePlayerEngine::GetURL(const std::string& url, const std::string&, std::unique_ptr<StreamOwner> owner)
{
    // Local files only, read whole before the call returns; a relative
    // name is looked for beside the first movie.
    std::string path = LocalPathOfUrl(url);
    if (path.empty()) return;
    if (path[0] != '/' && !movieFolder_.empty() && url != moviePath_) path = movieFolder_ + path;
    ServeLocalFile(*this, path, std::move(owner));
}

void MoviePlayerEngine::FSCommand(const std::string& command, const std::string& args)
{
    const HostCommand c = DecideHostCommand(command, args, moviePath_);
    switch (c.kind) {
    case HostCommand::kQuit:
        quitRequested = true;
        PostQuit();
        break;
    case HostCommand::kFullScreen: SetFullScreen(c.flag); break;
    case HostCommand::kAllowScale:
        scaleMode = c.flag ? 0 : 3;
        SetCamera(1);
        break;
    case HostCommand::kExec:
        if (!c.program.empty()) RunProgram(c.program);
        break;
    case HostCommand::kShowMenu: menuShown = c.flag; break;
    case HostCommand::kNone: break;
    }
}

uint32_t MoviePlayerEngine::Clock()
{
    return uint32_t(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count());
}

void MoviePlayerEngine::PostQuit() {}

void MoviePlayerEngine::DeliverQuit()
{
    if (!quitRequested) return;
    quitRequested = false;
    if (quitHandler_) {
        auto h = quitHandler_;
        h();
    }
}

}  // namespace movie
