// The player core: levels, the frame loop, quality control, the screen and
// the random source.  The interpreter is in actions.cpp, properties and
// paths in action_targets.cpp, URL streams in streams.cpp.
#include "movieplayer/player/player.h"

#include <algorithm>

namespace movie {

namespace {

constexpr uint32_t kClockMask = 0x7FFFFFFF;
constexpr char kVersionText[] = "WIN 4.1001";

// The clock runs in 31 bits and wraps after 24.8 days: "a before b" is
// decided on the 31-bit difference, not on the raw values.
bool ClockBefore(uint32_t a, uint32_t b)
{
    return ((a - b) & kClockMask) >= 0x40000000u;
}

}  // namespace

SPlayer::SPlayer()
{
    display_.SetFieldHook([this](Instance* field) { OnFieldPlaced(field); });
}

SPlayer::~SPlayer()
{
    destroying_ = true;
    levels_.clear();
    fontMovie_.reset();
}

int SPlayer::FrameDelay() const
{
    Timeline* r = Root();
    int delay = r && r->Movie().HeaderRead() ? r->Movie().FrameDelay() : 83;
    return delay > 0 ? delay : 1;
}

// ---- Timers and the frame loop ---------------------------------------------------

bool SPlayer::StartPlayTimer()
{
    if (timersRunning_) return true;
    int interval = FrameDelay() / 10;
    if (interval & 0x10000000) interval = 1;
    if (interval < 1) interval = 1;
    if (!StartTimers(interval, 400)) return false;
    timersRunning_ = true;
    nextFrame_ = Clock() & kClockMask;
    return true;
}

void SPlayer::StopPlayTimer()
{
    if (!destroying_) StopTimers();
    timersRunning_ = false;
}

uint32_t SPlayer::GetTime()
{
    return ((Clock() & kClockMask) - startTime_) & kClockMask;
}

void SPlayer::DoPlay(bool dueOnly)
{
    if (!loaded_ || nesting_ != 0) return;
    const uint32_t now = Clock() & kClockMask;
    if (dueOnly && ClockBefore(now, nextFrame_)) return;
    // At most one frame per tick: a late tick does not catch up.
    nextFrame_ = (now + uint32_t(FrameDelay())) & kClockMask;
    display_.StepTimelines();
    DoActions();
    // Buttons under a still mouse react to content that moves under it.
    if (!overText_ && !pendingClick_ && mouseState_ >= 0) TrackMouse(mouse_, mouseState_, false);
    UpdateScreen();
    if (autoQuality) CheckQuality(now);
}

void SPlayer::CheckQuality(uint32_t now)
{
    const uint32_t elapsed = ((Clock() & kClockMask) - now) & kClockMask;
    const uint32_t delay = uint32_t(FrameDelay());
    if (elapsed > delay) ++slowFrames;
    if (elapsed < delay / 4) ++fastFrames;
    ++measuredFrames;
    ++framesSinceChange;
    if (measuredFrames <= 4 || framesSinceChange <= 10) return;
    bool change = highQuality ? slowFrames * 3 > measuredFrames : fastFrames * 3 > measuredFrames;
    if (!change) return;
    highQuality = !highQuality;
    framesSinceChange = 0;
    SetCamera(1);
}

// ---- Levels ------------------------------------------------------------------------

Timeline* SPlayer::FindLevel(int n) const
{
    for (const Level& l : levels_)
        if (l.number == n) return l.timeline.get();
    return nullptr;
}

void SPlayer::UnloadTimeline(Timeline* t)
{
    if (!t) return;
    if (t->stream) {
        MovieStream* s = static_cast<MovieStream*>(t->stream);
        s->timeline = nullptr;
        t->stream = nullptr;
        DetachStream(s);
    }
    dragged = nullptr;
}

Timeline* SPlayer::GetLevel(int n, bool keep)
{
    if (n < 0 || n > 0xFFFF) return nullptr;
    for (Level& l : levels_) {
        if (l.number != n) continue;
        Timeline* t = l.timeline.get();
        bool holdsMovie = t->Movie().Received() > 0;
        if (keep || !holdsMovie) return t;
        UnloadTimeline(t);
        l.timeline.reset();
        l.timeline = Timeline::CreateRoot(&display_, uint16_t(n));
        if (l.timeline) l.timeline->Variables().Set("$version", kVersionText);
        if (n == 0) {
            loaded_ = started_ = false;
            display_.ResetBackground(2);
        }
        return l.timeline.get();
    }
    std::unique_ptr<Timeline> t = Timeline::CreateRoot(&display_, uint16_t(n));
    if (!t) return nullptr;
    t->Variables().Set("$version", kVersionText);
    Timeline* raw = t.get();
    levels_.push_back({n, std::move(t)});
    return raw;
}

void SPlayer::RemoveLevel(int n)
{
    if (n == 0) {
        ClearMovie();
        return;
    }
    for (size_t i = 0; i < levels_.size(); ++i) {
        if (levels_[i].number != n) continue;
        UnloadTimeline(levels_[i].timeline.get());
        levels_.erase(levels_.begin() + long(i));
        return;
    }
}

void SPlayer::ClearMovie()
{
    StopPlayTimer();
    for (Level& l : levels_) UnloadTimeline(l.timeline.get());
    levels_.clear();
    display_.Actions() = ActionQueue();
    display_.ResetBackground(2);
    RectSetEmpty(zoom_);
    dragged = nullptr;
    dropOwner_ = nullptr;
    dropTarget_.clear();
    display_.focusField = display_.focusButton = nullptr;
    display_.SetFocusRect(MovieRect{});
    display_.ResetTracking();
    overText_ = pendingClick_ = false;
    loaded_ = started_ = false;
    display_.InvalidateStage();
}

void SPlayer::OpenMovie(const std::string& url)
{
    if (!clockStarted_) {
        startTime_ = Clock() & kClockMask;
        clockStarted_ = true;
    }
    ClearMovie();
    firstLoad_ = true;
    GetURLRequest(url, "_level0", std::string(), 0);
}

void SPlayer::StartCheck()
{
    Timeline* r = Root();
    if (!r || started_ || !r->Movie().HeaderRead()) return;
    if (r->FramesLoaded() < 1 && !r->Movie().Complete()) return;
    r->Seek(0);
    started_ = loaded_ = true;
    if (autoQuality && r->FrameCount() <= 1) highQuality = true;
    StartPlayTimer();
    DoActions();
    SetCamera(0);
}

// ---- Screen --------------------------------------------------------------------------

void SPlayer::SetCamera(int mode)
{
    Timeline* r = Root();
    MovieRect frame{0, 1440, 0, 1440};
    if (r && r->Movie().HeaderRead()) {
        const MovieBuffer& m = r->Movie();
        frame = MovieRect{m.FrameXMin(), m.FrameXMax(), m.FrameYMin(), m.FrameYMax()};
    }
    MovieRect source = !RectIsEmpty(zoom_) && scaleMode != 3 ? zoom_ : frame;
    MovieRect screen = GetScreenRect();
    display_.SetCamera(source, screen, highQuality, scaleMode);
    if (mode == 1) {
        display_.InvalidateStage();
        UpdateScreen();
    } else if (mode == 2) {
        display_.InvalidateStage();
    }
}

bool SPlayer::PrepareBuffer()
{
    if (bufferValid_) return buffer_.HasBits();
    MovieRect screen = GetScreenRect();
    int w = screen.xmax - screen.xmin, h = screen.ymax - screen.ymin;
    if (w <= 0) {
        Timeline* r = Root();
        if (r && r->Movie().HeaderRead()) {
            w = (r->Movie().FrameXMax() - r->Movie().FrameXMin()) / 20;
            h = (r->Movie().FrameYMax() - r->Movie().FrameYMin()) / 20;
        }
    }
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192) return false;
    if (!buffer_.Create(32, w, h)) return false;
    bufferValid_ = true;
    display_.AttachBuffer(&buffer_);
    SetCamera(0);
    display_.InvalidateStage();
    InvalidateScreen(MovieRect{0, w, 0, h});
    return true;
}

void SPlayer::UpdateScreen()
{
    SyncFields();
    if (!PrepareBuffer()) {
        display_.ClearDirty();
        return;
    }
    display_.Draw();
    MovieRect r = display_.BlitRect();
    if (!RectIsEmpty(r)) InvalidateScreen(r);
}

void SPlayer::RepaintRect(const MovieRect& pixels)
{
    if (!PrepareBuffer()) return;
    MovieRect r = pixels;
    if (display_.Antialias()) RectShift(r, -2);
    display_.Invalidate(r);
    UpdateScreen();
}

void SPlayer::FreeBuffer()
{
    display_.AttachBuffer(nullptr);
    buffer_.FreeBits();
    bufferValid_ = false;
}

// ---- Random numbers ------------------------------------------------------------------

namespace {

int32_t Hash(int32_t x)
{
    auto shl = [](int32_t v, int n) { return int32_t(uint32_t(v) << n); };
    auto add = [](int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); };
    auto sub = [](int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); };
    auto mul = [](int32_t a, int32_t b) { return int32_t(uint32_t(a) * uint32_t(b)); };
    int32_t y = sub(x ^ shl(x, 13), x >> 21);
    int32_t inner = sub(mul(y, add(mul(mul(y, y), 15731), 789221)), 771171059) & 0x7FFFFFFF;
    int32_t z = add(y, inner);
    return sub(z ^ shl(z, 13), z >> 21);
}

}  // namespace

int SPlayer::Random(int n)
{
    if (random_ == 0) random_ = Clock() & kClockMask;
    if (random_ == 0) random_ = 1;
    bool out = random_ & 1;
    random_ >>= 1;
    if (out) random_ ^= 0xA3000000u;
    if (n <= 0) return 0;
    int32_t h = Hash(int32_t(random_ * 71u)) & 0x7FFFFFFF;
    return h % n;
}

}  // namespace movie
