#include "movieplayer/rasteriser.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace movie {

struct Rasteriser::ActiveEdge {
    ActiveEdge* prev;
    ActiveEdge* next;
    int32_t px;    // current x in units
    int32_t walkedPx;  // px on the previous line
    int32_t endY;  // first line the edge no longer covers
    bool isLine;
    int64_t x, y;      // 16.16
    int64_t dx, dy;    // curves: first differences, 24 fraction bits
    int64_t ddx, ddy;  // curves: second differences
    int64_t slope;     // lines: 16.16 per line
    int32_t steps;
    FillRecord* fillA;
    FillRecord* fillB;
    uint8_t rule;
    int8_t direction;
};

Rasteriser::Rasteriser()
{
    fills_.Init(64, true, 0);
    activePool_.Init(64, true, 0x33333333);
    ramps_.Init(16, true, 0xEEEEEEEE);
    tables_.Init(8, true, 0);
    ownEdges_.Init(16, true, 0);
    // Runs are initialised in rasteriser_aa.cpp, where their layout is known.
}

Rasteriser::~Rasteriser()
{
    EndFrame();
}

void Rasteriser::Attach(const PixelTarget& target, int left, int top, int right, int bottom, bool antiAliased)
{
    target_ = target;
    target_.ditherMode = target.format <= 5 ? ditherMode : 0;
    writer_ = WriterForFormat(target_.format);
    reader_ = ReaderForFormat(target_.format);
    aa_ = antiAliased;
    pixL_ = std::max(left, 0);
    pixT_ = std::max(top, 0);
    // Edge coordinates are 16-bit units: with anti-aliasing (×4) the clip
    // stops at 8191 pixels, without it at 32767.
    const int limit = antiAliased ? 8191 : 32767;
    pixR_ = std::min({right, target_.width, limit});
    pixB_ = std::min({bottom, target_.height, limit});
    if (pixR_ < pixL_) pixR_ = pixL_;
    if (pixB_ < pixT_) pixB_ = pixT_;
    const int s = aa_ ? 4 : 1;
    clipL_ = pixL_ * s;
    clipT_ = pixT_ * s;
    clipR_ = pixR_ * s;
    clipB_ = pixB_ * s;
}

void Rasteriser::BeginFrame()
{
    EndFrame();
    const size_t n = static_cast<size_t>(clipB_ - clipT_) + 1;
    if (buckets_.size() < n) {
        // Grown only when the clip height grows; without memory the frame
        // paints nothing (Paint checks the size).
        try {
            buckets_.resize(n);
        } catch (const std::bad_alloc&) {
            buckets_.clear();
        }
    }
    std::fill(buckets_.begin(), buckets_.end(), nullptr);
    active_ = lastInsert_ = nullptr;
    stack_.clear();
    objects_.clear();
    sequence_ = 0;
    backgroundPresent = false;
}

void Rasteriser::EndFrame()
{
    ForgetGradientRows();
    for (FillRecord* f : madeFills_) {
        if (f->ramp) ramps_.Delete(f->ramp);
        if (f->tables) tables_.Delete(f->tables);
        if (f->bitmap && f->kind == kFillBitmap && f->setUpDone) --f->bitmap->refCount;
        fills_.Delete(f);
    }
    madeFills_.clear();
    objects_.clear();
    ownEdges_.FreeAll();
    fills_.Compact();
    activePool_.Compact();
    ramps_.Compact();
    tables_.Compact();
    runs_.Compact();
}

void Rasteriser::AddEdges(EdgeRecord* edges, FillRecord* fills, FillRecord* clipLink)
{
    uint32_t index = 0;
    for (FillRecord* f = fills; f; f = f->next) {
        f->key = sequence_ | (index++ & 0xFFFF);
        f->clipLink = clipLink;
        f->owner = this;
        SetUpFill(f);
    }
    sequence_ += 0x10000;
    objects_.push_back({edges, fills});
    if (buckets_.size() < static_cast<size_t>(clipB_ - clipT_) + 1) return;
    for (EdgeRecord* e = edges; e; e = e->next) {
        if (e->y0 >= clipB_ || e->y1 <= clipT_ || e->y0 >= e->y1) continue;
        const int b = std::max(0, e->y0 - clipT_);
        e->nextInBucket = buckets_[static_cast<size_t>(b)];
        buckets_[static_cast<size_t>(b)] = e;
    }
}

void Rasteriser::FillBackground(int64_t rgba)
{
    if (rgba < 0 || clipR_ <= clipL_ || clipB_ <= clipT_) return;
    FillRecord* f = NewSolidFill(static_cast<uint32_t>(rgba));
    if (!f) return;
    EdgeRecord* head = nullptr;
    const int xs[2] = {clipL_, clipR_};
    for (int x : xs) {
        // Vertical edges cut into pieces at most 256 units tall.
        for (int y = clipT_; y < clipB_; y += 256) {
            EdgeRecord* e = ownEdges_.New();
            if (!e) return;
            e->x0 = e->cx = e->x1 = static_cast<int16_t>(x);
            e->y0 = static_cast<int16_t>(y);
            e->y1 = static_cast<int16_t>(std::min(y + 256, clipB_));
            e->cy = static_cast<int16_t>((e->y0 + e->y1) / 2);
            e->isLine = true;
            e->rule = kRuleOneFillParity;
            e->direction = 1;
            e->fillA = f;
            e->next = head;
            head = e;
        }
    }
    AddEdges(head, f, nullptr);
    backgroundPresent = true;
}

Rasteriser::ActiveEdge* Rasteriser::Activate(EdgeRecord* e, int y)
{
    ActiveEdge* a = activePool_.New();
    if (!a) return nullptr;
    a->endY = e->y1;
    a->fillA = e->fillA;
    a->fillB = e->fillB;
    a->rule = e->rule;
    a->direction = e->direction;
    a->isLine = e->isLine;
    const int64_t h = e->y1 - e->y0;
    if (e->isLine) {
        a->slope = (static_cast<int64_t>(e->x1 - e->x0) << 16) / h;
        a->x = (static_cast<int64_t>(e->x0) << 16) + (y - e->y0) * a->slope;
        a->px = static_cast<int32_t>((a->x + 0x8000) >> 16);
        return a;
    }
    // Forward differencing over N = 2·height steps of the parameter, h =
    // 1/N with 24 fraction bits: first difference a·h + b·h², second 2b·h²
    // for x(t) = x0 + a·t + b·t², a = 2(cx − x0), b = x0 + x1 − 2cx.
    const int64_t n = 2 * h;
    const int64_t hh = 0x1000000 / n;
    const int64_t h2 = (hh * hh) >> 24;
    const int64_t bx = e->x0 + e->x1 - 2 * e->cx, by = e->y0 + e->y1 - 2 * e->cy;
    a->dx = hh * 2 * (e->cx - e->x0) + bx * h2;
    a->ddx = 2 * bx * h2;
    a->dy = hh * 2 * (e->cy - e->y0) + by * h2;
    a->ddy = 2 * by * h2;
    a->x = static_cast<int64_t>(e->x0) << 16;
    a->y = static_cast<int64_t>(e->y0) << 16;
    a->steps = static_cast<int32_t>(n);
    StepEdge(a, y);
    return a;
}

void Rasteriser::StepEdge(ActiveEdge* a, int y)
{
    if (a->isLine) {
        a->x += a->slope;
        a->px = static_cast<int32_t>((a->x + 0x8000) >> 16);
        return;
    }
    // Without anti-aliasing a curve is sampled in the middle of its row, the
    // x the row's four sub-lines would average to; at the top line the
    // first row of a circle would span the chord one whole row down.
    const int64_t target = (static_cast<int64_t>(y) << 16) + (aa_ ? 0 : 0x8000);
    int64_t px = a->x, py = a->y;
    while (a->y < target && a->steps > 0) {
        px = a->x;
        py = a->y;
        a->y += a->dy >> 8;
        a->dy += a->ddy;
        a->x += a->dx >> 8;
        a->dx += a->ddx;
        --a->steps;
    }
    int64_t x = a->x;
    if (a->y != py) {
        // Back to the scan line by linear interpolation between the last two points.
        x += (target - a->y) * (a->x - px) / (a->y - py);
    }
    a->px = static_cast<int32_t>((x + 0x8000) >> 16);
}

void Rasteriser::InsertActive(ActiveEdge* a)
{
    // Insert in x order, starting from the previous insertion point.
    ActiveEdge* at = lastInsert_ ? lastInsert_ : active_;
    if (!at || !active_) {
        a->prev = nullptr;
        a->next = active_;
        if (active_) active_->prev = a;
        active_ = a;
        lastInsert_ = a;
        return;
    }
    while (at->prev && at->px > a->px) at = at->prev;
    while (at->next && at->next->px <= a->px) at = at->next;
    if (at->px > a->px) {
        // Goes in front of the first edge.
        a->prev = nullptr;
        a->next = at;
        at->prev = a;
        active_ = a;
    } else {
        a->prev = at;
        a->next = at->next;
        if (at->next) at->next->prev = a;
        at->next = a;
    }
    lastInsert_ = a;
}

void Rasteriser::SortActive()
{
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (ActiveEdge* a = active_; a && a->next;) {
            ActiveEdge* b = a->next;
            if (b->px < a->px) {
                // swap a and b
                ActiveEdge* p = a->prev;
                ActiveEdge* n = b->next;
                if (p) p->next = b;
                else active_ = b;
                b->prev = p;
                b->next = a;
                a->prev = b;
                a->next = n;
                if (n) n->prev = a;
                swapped = true;
            } else {
                a = b;
            }
        }
    }
}

size_t Rasteriser::InsertPlace(const FillRecord* f) const
{
    size_t i = 0;
    while (i < stack_.size() && stack_[i]->key >= f->key) ++i;
    return i;
}

bool Rasteriser::Visible(size_t place) const
{
    for (size_t i = 0; i < place; ++i) {
        const FillRecord* g = stack_[i];
        if (!g->transparent && !g->clipLink) return false;
    }
    return true;
}

void Rasteriser::Change(size_t place, int x)
{
    if (Visible(place)) {
        if (x > lastX_) PaintSpan(lastX_, x);
        lastX_ = x;
    }
}

void Rasteriser::ToggleFill(FillRecord* f, int x)
{
    if (!f) return;
    if (f->onStack) {
        const size_t place = static_cast<size_t>(std::find(stack_.begin(), stack_.end(), f) - stack_.begin());
        Change(place, x);
        stack_.erase(stack_.begin() + static_cast<long>(place));
        f->onStack = false;
    } else {
        const size_t place = InsertPlace(f);
        Change(place, x);
        stack_.insert(stack_.begin() + static_cast<long>(place), f);
        f->onStack = true;
    }
}

void Rasteriser::WindFill(FillRecord* f, int dir, int x)
{
    if (!f) return;
    if (f->winding != 0 && f->winding + dir == 0) {
        const size_t place = static_cast<size_t>(std::find(stack_.begin(), stack_.end(), f) - stack_.begin());
        Change(place, x);
        stack_.erase(stack_.begin() + static_cast<long>(place));
        f->onStack = false;
    } else if (f->winding == 0) {
        const size_t place = InsertPlace(f);
        Change(place, x);
        stack_.insert(stack_.begin() + static_cast<long>(place), f);
        f->onStack = true;
    }
    f->winding += dir;
}

int Rasteriser::Collect(FillRecord** out, int max) const
{
    int n = 0;
    for (FillRecord* f : stack_) {
        if (f->kind == kFillClip) continue;
        if (f->clipLink) {
            bool inside = true;
            for (FillRecord* c = f->clipLink; c && c != ClipChainEnd(); c = c->clipLink) {
                if (!c->onStack) {
                    inside = false;
                    break;
                }
            }
            if (!inside) continue;
        }
        if (n == max) break;
        out[n++] = f;
        if (!f->transparent) break;
    }
    return n;
}

void Rasteriser::ReadBackground(int y, int x0, int x1, ColorRecord* out) const
{
    if (backgroundPresent && reader_) {
        reader_(target_, y, x0, x1, out);
    } else {
        std::fill(out, out + (x1 - x0), MakeRecord(255, 255, 255, 0));
    }
}

void Rasteriser::CompositeList(FillRecord** list, int n, int y, int x, int count, ColorRecord* buf)
{
    // Bottom-up: the background or the lowest fill's colours, then "over".
    int i = n - 1;
    FillRecord* lowest = list[i];
    if (lowest->transparent) {
        ReadBackground(y, x, x + count, buf);
    } else {
        FillColors(lowest, y, x, count, buf);
        if (lowest->highlight) ApplyHighlight(lowest->highlight, y, x, buf, count);
        --i;
    }
    ColorRecord tmp[256];
    for (; i >= 0; --i) {
        FillRecord* f = list[i];
        if (f->kind == kFillSolid && !f->ramp) {
            // Consecutive plain solid fills combine into one colour first.
            ColorRecord c = f->color;
            while (i > 0 && list[i - 1]->kind == kFillSolid) c = Over(list[--i]->color, c);
            const uint64_t k = 256 - RecAlpha(c);
            for (int j = 0; j < count; ++j) buf[j] = c + (((buf[j] * k) >> 8) & kChannelMask);
        } else {
            FillColors(f, y, x, count, tmp);
            for (int j = 0; j < count; ++j) buf[j] = Over(tmp[j], buf[j]);
        }
    }
}

bool Rasteriser::PaintConstant(FillRecord** list, int n, int y, int x0, int x1)
{
    // Plain solid fills over an opaque solid one give one colour for the
    // whole span: composite once, bottom-up, then fill.
    if (list[n - 1]->transparent) return false;
    for (int i = 0; i < n; ++i)
        if (list[i]->kind != kFillSolid || list[i]->highlight) return false;
    ColorRecord c = list[n - 1]->color;
    for (int i = n - 2; i >= 0; --i) c = Over(list[i]->color, c);
    if ((target_.format == 7 || target_.format == 8)) {
        uint32_t* row = reinterpret_cast<uint32_t*>(target_.Row(y));
        Fill32(row + x0, static_cast<size_t>(x1 - x0), static_cast<uint32_t>(RecBlue(c) | RecGreen(c) << 8 | RecRed(c) << 16 | RecAlpha(c) << 24));
        return true;
    }
    ColorRecord buf[256];
    std::fill(buf, buf + std::min(256, x1 - x0), c);
    for (int x = x0; x < x1; x += 256) writer_(target_, y, x, std::min(x1, x + 256), buf);
    return true;
}

void Rasteriser::PaintList(FillRecord** list, int n, int y, int x0, int x1)
{
    if (n == 1 && !list[0]->transparent && list[0]->kind == kFillSolid && !list[0]->plainPainter) {
        PaintSolid(target_, list[0]->pattern, y, x0, x1, yPatternPhase);
        return;
    }
    if (n == 1 && !list[0]->transparent && list[0]->kind == kFillGradient && list[0]->type != kTypeRadialGradient &&
        !list[0]->highlight && (target_.format == 7 || target_.format == 8)) {
        if (fastPaths) GradientSpan32Fast(list[0], y, x0, x1);
        else GradientSpan32(list[0], y, x0, x1);
        return;
    }
    if (n == 1 && fastPaths && !list[0]->transparent && list[0]->kind == kFillBitmap && BitmapSpan32(list[0], y, x0, x1)) {
        return;
    }
    if (n > 1 && PaintConstant(list, n, y, x0, x1)) return;
    ColorRecord buf[256];
    for (int x = x0; x < x1; x += 256) {
        const int count = std::min(256, x1 - x);
        CompositeList(list, n, y, x, count, buf);
        writer_(target_, y, x, x + count, buf);
    }
}

void Rasteriser::PaintSpan(int x0, int x1)
{
    x0 = std::max(x0, clipL_);
    x1 = std::min(x1, clipR_);
    if (x0 >= x1) return;
    if (aa_) {
        RecordSpan(x0, x1);
        return;
    }
    FillRecord* list[255];
    const int n = Collect(list, 255);
    if (n == 0) return;
    PaintList(list, n, y_, x0, x1);
}

bool Rasteriser::VerticalThroughRow(int y) const
{
    for (int k = 1; k < 4; ++k)
        if (buckets_[static_cast<size_t>(y + k - clipT_)]) return false;
    for (const ActiveEdge* a = active_; a; a = a->next)
        if (!a->isLine || a->slope != 0 || a->endY <= y + 4) return false;
    return true;
}

void Rasteriser::Paint()
{
    if (!writer_ || clipR_ <= clipL_ || clipB_ <= clipT_ || buckets_.size() < static_cast<size_t>(clipB_ - clipT_) + 1) return;
    target_.errCur.clear();
    target_.errNext.clear();
    removed_ = false;
    ForgetGradientRows();
    for (int y = clipT_; y < clipB_; ++y) {
        y_ = y;
        // a. Activate this line's bucket.
        lastInsert_ = nullptr;
        bool activated = false;
        for (EdgeRecord* e = buckets_[static_cast<size_t>(y - clipT_)]; e; e = e->nextInBucket) {
            ActiveEdge* a = Activate(e, std::max<int>(y, e->y0));
            if (!a) break;
            InsertActive(a);
            activated = true;
        }
        // b. Keep x order.
        SortActive();
        // c. Start the line. With anti-aliasing, a sub-line whose edges
        // are the ones of the previous sub-line, at the same x, records
        // exactly what that line recorded: it is repeated from the runs
        // instead of walked (see rasteriser_aa.cpp).
        bool repeat = false;
        if (aa_) {
            repeat = fastPaths && y != clipT_ && !activated && !removed_;
            for (ActiveEdge* a = active_; a && repeat; a = a->next) repeat = a->px == a->walkedPx;
            repeat = StartLine(y, repeat);
        } else if (target_.format <= 3 && target_.ditherMode == 2) {
            target_.NewLine();
        }
        // d. Walk the edges: toggle their fills, painting (or recording)
        // the spans between them, then step them to the next line. The
        // fill state is rebuilt from nothing on every line.
        if (!repeat) {
            for (FillRecord* f : stack_) {
                f->onStack = false;
                f->winding = 0;
            }
            stack_.clear();
            lastX_ = clipL_;
            for (ActiveEdge* a = active_; a; a = a->next) {
                switch (a->rule) {
                case kRuleTwoFillsParity:
                    ToggleFill(a->fillA, a->px);
                    ToggleFill(a->fillB, a->px);
                    break;
                case kRuleOneFillParity: ToggleFill(a->fillA, a->px); break;
                default: WindFill(a->fillA, a->direction, a->px); break;
                }
            }
            for (FillRecord* f : stack_) {
                f->onStack = false;
                f->winding = 0;
            }
            stack_.clear();
        }
        removed_ = false;
        for (ActiveEdge* a = active_; a;) {
            ActiveEdge* next = a->next;
            a->walkedPx = a->px;
            if (y + 1 < a->endY) {
                StepEdge(a, y + 1);
            } else {
                if (a->prev) a->prev->next = a->next;
                else active_ = a->next;
                if (a->next) a->next->prev = a->prev;
                if (lastInsert_ == a) lastInsert_ = nullptr;
                activePool_.Delete(a);
                removed_ = true;
            }
            a = next;
        }
        // With anti-aliasing, when every edge is vertical and none starts
        // or ends after this line on the row's other three sub-lines (nor
        // ended on this one), they would repeat this one: record that at
        // once and go on to the resolve.
        if (aa_ && fastPaths && (y & 3) == 0 && !removed_ && y + 4 <= clipB_ && VerticalThroughRow(y)) {
            if (!carried_)
                for (int s = 1; s < 4; ++s) RepeatLine(s);
            y += 3;
            y_ = y;
        }
        // e. Resolve four sub-lines into a pixel row.
        if (aa_ && ((y & 3) == 3 || y + 1 == clipB_)) ResolveRow(y >> 2);
    }
    while (active_) {
        ActiveEdge* n = active_->next;
        activePool_.Delete(active_);
        active_ = n;
    }
    lastInsert_ = nullptr;
    target_.errCur.clear();
    target_.errNext.clear();
}

}  // namespace movie
