// Anti-aliasing of the rasteriser: 4 x 4 super-sampling through coverage
// runs.
//
// Each pixel row owns a list of runs spanning the clip width in quarter
// pixels. A span on one of the four sub-lines splits the runs at its ends and
// appends its fill list to every run in between; at the fourth sub-line the
// runs are resolved. Whole pixels of a run that every sub-line covered with
// the same fills are painted like a span without anti-aliasing; other pixels
// sum the composited colour of each sub-line (× quarter pixels covered for
// the partial pixels at run ends) and divide by the sample count, and the
// result goes over what the buffer holds unless it is opaque.
#include "movieplayer/rasteriser.h"

#include <algorithm>
#include <cstring>

namespace movie {

namespace {
constexpr int kRunFills = 12;
}

struct Rasteriser::Run {
    Run* next;
    int32_t x0, x1;  // sub-pixels
    uint8_t count;   // sub-lines recorded
    uint8_t stamp;   // the sub-line (0-3) last recorded, 0xFF before any
    bool uniform;
    bool transparent;
    uint8_t kinds;
    uint8_t n[4];
    FillRecord* fills[4][kRunFills];
};

namespace {

// Copies a run's header and only the fill lists it has recorded (a whole
// record is 400 bytes; most splits happen before anything is recorded).
void CopyRun(Rasteriser::Run* dst, const Rasteriser::Run* src);

}  // namespace

void Rasteriser::StartRuns()
{
    if (runs_.Allocator().BlockCount() == 0) runs_.Init(128, true, 0x55555555);
    while (runHead_) {
        Run* n = runHead_->next;
        runs_.Delete(runHead_);
        runHead_ = n;
    }
    accPixel_ = -1;
    acc_ = 0;
    runHead_ = static_cast<Run*>(runs_.Allocator().Alloc());
    if (!runHead_) return;
    runHead_->next = nullptr;
    runHead_->x0 = clipL_;
    runHead_->x1 = clipR_;
    runHead_->count = 0;
    runHead_->stamp = 0xFF;
    runHead_->uniform = true;
    runHead_->transparent = false;
    runHead_->kinds = 0;
    runCursor_ = runHead_;
}

// Sub-line y starts; same says its edges are those of line y - 1 in the same
// order and at the same x, so it would record exactly what y - 1 recorded.
// Returns true when the runs already hold that recording (the walk is
// skipped). A row whose four sub-lines all recorded one pattern leaves runs
// that are exactly what the next row builds when its sub-lines repeat the
// pattern too, so they are kept (carried); a later sub-line that differs
// cuts them back to the copies a fresh row would hold at that point. Long
// straight vertical edges (rectangles, the background) thus cost the
// comparison of their x per sub-line, and nothing is rebuilt.
bool Rasteriser::StartLine(int y, bool same)
{
    const int s = y & 3;
    if (s == 0) {
        if (same && pure_ && runHead_) {
            carried_ = true;
            return true;
        }
        StartRuns();
        pure_ = true;
        carried_ = false;
        runCursor_ = runHead_;
        return false;
    }
    runCursor_ = runHead_;
    if (carried_) {
        if (same) return true;
        for (Run* r = runHead_; r; r = r->next) {
            if (r->count > s) {
                r->count = static_cast<uint8_t>(s);
                r->stamp = static_cast<uint8_t>(s - 1);
            }
        }
        carried_ = false;
        pure_ = false;
        return false;
    }
    if (same) {
        RepeatLine(s);
        return true;
    }
    pure_ = false;
    return false;
}

// Records on sub-line s what sub-line s - 1 recorded: the same fill list
// again in each run it reached (its span ends already split the runs). The
// uniform, transparent and kinds flags cannot change.
void Rasteriser::RepeatLine(int s)
{
    for (Run* r = runHead_; r; r = r->next) {
        if (r->stamp != s - 1 || r->count == 0 || r->count >= 4) continue;
        const int c = r->count;
        r->n[c] = r->n[c - 1];
        std::memcpy(r->fills[c], r->fills[c - 1], sizeof(FillRecord*) * r->n[c]);
        r->count = static_cast<uint8_t>(c + 1);
        r->stamp = static_cast<uint8_t>(s);
    }
}

void Rasteriser::RecordSpan(int x0, int x1)
{
    FillRecord* list[255];
    const int got = Collect(list, 255);
    if (got == 0) return;
    // At most twelve fills per sub-line; later ones overwrite the twelfth.
    const int n = std::min(got, kRunFills);
    if (got > kRunFills) list[kRunFills - 1] = list[got - 1];
    Run* r = runCursor_ ? runCursor_ : runHead_;
    while (r && r->x1 <= x0) r = r->next;
    while (r && r->x0 < x1) {
        if (r->x0 < x0) {
            // Split at x0: the copy keeps the right part.
            Run* c = static_cast<Run*>(runs_.Allocator().Alloc());  // left uninitialised: CopyRun fills it
            if (!c) return;
            CopyRun(c, r);
            c->x0 = x0;
            r->x1 = x0;
            r->next = c;
            r = c;
        }
        if (r->x1 > x1) {
            Run* c = static_cast<Run*>(runs_.Allocator().Alloc());  // left uninitialised: CopyRun fills it
            if (!c) return;
            CopyRun(c, r);
            c->x0 = x1;
            r->x1 = x1;
            r->next = c;
        }
        if (r->count < 4) {
            const int s = r->count;
            r->n[s] = static_cast<uint8_t>(n);
            bool same = s == 0 || r->n[0] == n;
            for (int i = 0; i < n; ++i) {
                r->fills[s][i] = list[i];
                if (list[i]->transparent) r->transparent = true;
                r->kinds |= static_cast<uint8_t>(1u << list[i]->kind);
                if (s > 0 && same) same = r->fills[0][i] == list[i];
            }
            if (!same) r->uniform = false;
            r->count = static_cast<uint8_t>(s + 1);
            r->stamp = static_cast<uint8_t>(y_ & 3);
        }
        runCursor_ = r;
        r = r->next;
    }
}

namespace {

void CopyRun(Rasteriser::Run* dst, const Rasteriser::Run* src)
{
    dst->next = src->next;
    dst->x0 = src->x0;
    dst->x1 = src->x1;
    dst->count = src->count;
    dst->stamp = src->stamp;
    dst->uniform = src->uniform;
    dst->transparent = src->transparent;
    dst->kinds = src->kinds;
    for (int s = 0; s < src->count; ++s) {
        dst->n[s] = src->n[s];
        std::memcpy(dst->fills[s], src->fills[s], sizeof(FillRecord*) * src->n[s]);
    }
}

}  // namespace

// Sum over the run's sub-lines of the fills composited bottom-up over
// transparent black, at pixel (px, py).
ColorRecord Rasteriser::RunSum(Run* r, int px, int py)
{
    const int lines = r->uniform ? (r->count ? 1 : 0) : r->count;
    ColorRecord sum = 0;
    for (int s = 0; s < lines; ++s) {
        ColorRecord c = 0;
        for (int i = r->n[s] - 1; i >= 0; --i) {
            FillRecord* f = r->fills[s][i];
            ColorRecord fc = ColorAt(f, px, py);
            if (f->highlight) ApplyHighlight(f->highlight, py, px, &fc, 1);
            c = Over(fc, c);
        }
        sum += c;
    }
    if (r->uniform) sum *= r->count;
    return sum;
}

void Rasteriser::WriteBlended(int py, int x, int n, ColorRecord* c, bool direct)
{
    if (!direct) {
        ColorRecord bg[256];
        ReadBackground(py, x, x + n, bg);
        for (int i = 0; i < n; ++i) {
            const unsigned a = RecAlpha(c[i]);
            if (a == 0) c[i] = bg[i];
            else if (a < 255) c[i] = Over(c[i], bg[i]);
        }
    }
    writer_(target_, py, x, x + n, c);
}

void Rasteriser::FlushPartial(int py)
{
    if (accPixel_ < 0) return;
    ColorRecord c = (acc_ >> 4) & kChannelMask;
    const unsigned a = RecAlpha(c);
    if (a != 0 && (target_.format == 7 || target_.format == 8)) {
        // Read32 and Write32 for the one pixel, without the calls.
        uint32_t* p = reinterpret_cast<uint32_t*>(target_.Row(py)) + accPixel_;
        if (a < 255) {
            const uint32_t v = *p;
            const ColorRecord bg = backgroundPresent ? MakeRecord((v >> 16) & 255, (v >> 8) & 255, v & 255, v >> 24) : MakeRecord(255, 255, 255, 0);
            c = Over(c, bg);
        }
        *p = static_cast<uint32_t>((c & 0xFF) | ((c >> 8) & 0xFF00) | ((c >> 16) & 0xFF0000) | ((c >> 24) & 0xFF000000));
    } else if (a != 0) {
        if (a < 255) {
            ColorRecord bg;
            ReadBackground(py, accPixel_, accPixel_ + 1, &bg);
            c = Over(c, bg);
        }
        writer_(target_, py, accPixel_, accPixel_ + 1, &c);
    }
    accPixel_ = -1;
    acc_ = 0;
}

void Rasteriser::AddPartial(int px, ColorRecord v, int py)
{
    if (px != accPixel_) {
        FlushPartial(py);
        accPixel_ = px;
        acc_ = 0;
    }
    acc_ += v;
}

void Rasteriser::ResolveRow(int py)
{
    if (target_.format <= 3 && target_.ditherMode == 2) target_.NewLine();
    accPixel_ = -1;
    acc_ = 0;
    for (Run* r = runHead_; r; r = r->next) {
        if (r->count == 0) continue;
        const int x0 = r->x0, x1 = r->x1;
        const int first = (x0 + 3) >> 2;  // first whole pixel
        const int last = x1 >> 2;         // one past the last whole pixel
        const bool varies = (r->kinds & ((1u << kFillBitmap) | (1u << kFillGradient))) != 0;
        if (first > last) {
            // Inside one pixel.
            AddPartial(x0 >> 2, RunSum(r, x0 >> 2, py) * static_cast<unsigned>(x1 - x0), py);
            continue;
        }
        if (x0 & 3) AddPartial(x0 >> 2, RunSum(r, x0 >> 2, py) * static_cast<unsigned>(first * 4 - x0), py);
        if (first < last) {
            FlushPartial(py);
            if (r->uniform && r->count == 4) {
                PaintList(r->fills[0], r->n[0], py, first, last);
            } else {
                const bool direct = r->count == 4 && !r->transparent;
                ColorRecord buf[256];
                const ColorRecord once = varies ? 0 : ((RunSum(r, first, py) >> 2) & kChannelMask);
                for (int x = first; x < last; x += 256) {
                    const int n = std::min(256, last - x);
                    for (int i = 0; i < n; ++i) buf[i] = varies ? ((RunSum(r, x + i, py) >> 2) & kChannelMask) : once;
                    WriteBlended(py, x, n, buf, direct);
                }
            }
        }
        if (x1 & 3) AddPartial(last, RunSum(r, last, py) * static_cast<unsigned>(x1 - last * 4), py);
    }
    FlushPartial(py);
}

}  // namespace movie
