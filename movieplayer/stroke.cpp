#include "movieplayer/stroke.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace movie {

namespace {

MoviePoint Add(MoviePoint a, MoviePoint b) { return {a.x + b.x, a.y + b.y}; }
MoviePoint Sub(MoviePoint a, MoviePoint b) { return {a.x - b.x, a.y - b.y}; }

// Unit normal (to the left of travel in a y-down frame) scaled to len.
MoviePoint Normal(MoviePoint dir, int32_t len)
{
    // Rounded, not truncated: without anti-aliasing one unit is a whole
    // pixel, and PointSetLength's truncation made a 4-unit stroke 2 wide.
    const double l = std::hypot(double(dir.x), double(dir.y));
    if (l == 0) return {0, 0};
    return {SaturateDouble(std::nearbyint(dir.y * double(len) / l)),
            SaturateDouble(std::nearbyint(-dir.x * double(len) / l))};
}

// Sign of the area enclosed by a loop of curves (shoelace); a quadratic
// piece adds its chord term plus 2/3 of its control triangle.
int64_t LoopOrientation(const std::vector<Curve>& loop)
{
    __int128 a = 0;
    for (const Curve& c : loop) {
        a += static_cast<__int128>(c.start.x) * c.end.y - static_cast<__int128>(c.end.x) * c.start.y;
        if (!c.isLine) {
            const __int128 tri = static_cast<__int128>(c.control.x - c.start.x) * (c.end.y - c.start.y) -
                                 static_cast<__int128>(c.end.x - c.start.x) * (c.control.y - c.start.y);
            a += tri * 2 / 3;
        }
    }
    return a > 0 ? 1 : a < 0 ? -1 : 0;
}

}  // namespace

void AppendArc(std::vector<Curve>& out, MoviePoint centre, int32_t r, Fixed a0, Fixed sweep)
{
    const int64_t deg = std::llabs(int64_t{sweep}) >> 16;
    const int n = static_cast<int>(std::max<int64_t>(1, (deg + 44) / 45));
    const Fixed step = sweep / n;
    // Control points lie on the circumscribed polygon: radius r / cos(step/2).
    const Fixed cosHalf = FixedCos(step / 2);
    const int32_t rc = cosHalf > 0 ? FixedDiv(r, cosHalf) : r;
    MoviePoint prev = PointFromPolar(r, a0, &centre);
    for (int i = 0; i < n; ++i) {
        const Fixed mid = a0 + step * i + step / 2;
        const MoviePoint ctrl = PointFromPolar(rc, mid, &centre);
        const MoviePoint end = PointFromPolar(r, a0 + step * (i + 1), &centre);
        out.push_back(MakeCurve(prev, ctrl, end));
        prev = end;
    }
}

void StrokeBuilder::Begin(int32_t width, FillRecord* fill)
{
    width_ = std::max(width, antiAliased_ ? 4 : 1);
    thick_ = width_ > 3;
    fill_ = fill;
    started_ = false;
    pendingPoint_ = false;
    lastEnd_ = {kEmptyMarker, kEmptyMarker};
}

void StrokeBuilder::EmitLoop(std::vector<Curve>& loop)
{
    if (loop.empty()) return;
    // Orient every loop the same way (positive area in a y-down frame).
    if (LoopOrientation(loop) < 0) {
        std::reverse(loop.begin(), loop.end());
        for (Curve& c : loop) c = Reverse(c);
    }
    for (const Curve& c : loop) AddFillEdge(c, fill_, nullptr, kRuleWinding, sink_);
    loop.clear();
}

void StrokeBuilder::AddVertex(MoviePoint p)
{
    std::vector<Curve> loop;
    if (thick_) {
        const int32_t r = width_ / 2;
        AppendArc(loop, p, r, 0, 360 << 16);
    } else {
        const int32_t s0 = width_ == 1 ? 0 : width_ == 2 ? -1 : -2;
        const int32_t s1 = width_ == 1 ? 1 : 1;
        const MoviePoint a{p.x + s0, p.y + s0}, b{p.x + s1, p.y + s0}, c{p.x + s1, p.y + s1}, d{p.x + s0, p.y + s1};
        loop = {MakeLine(a, b), MakeLine(b, c), MakeLine(c, d), MakeLine(d, a)};
    }
    EmitLoop(loop);
}

void StrokeBuilder::AddPoint(MoviePoint p)
{
    lastEnd_ = p;
    pendingPoint_ = true;
}

void StrokeBuilder::AddSegment(const Curve& in)
{
    if (in.start == in.control && in.control == in.end) return;
    Curve c = in;
    if (thick_ && antiAliased_ && c.isLine && (c.start.x == c.end.x || c.start.y == c.end.y)) {
        // Snap long axis-aligned lines so that their edges fall on pixel
        // centres (widths 4, 12: one or three pixels) or borders (width 8).
        const bool vertical = c.start.x == c.end.x;
        const int32_t len = vertical ? std::abs(c.end.y - c.start.y) : std::abs(c.end.x - c.start.x);
        if (len > 12 && (width_ == 4 || width_ == 8 || width_ == 12)) {
            auto snap = [this](int32_t v) { return width_ == 8 ? (v + 2) & ~3 : (v & ~3) | 2; };
            if (vertical) c.start.x = c.end.x = snap(c.start.x);
            else c.start.y = c.end.y = snap(c.start.y);
            c.control = {(c.start.x + c.end.x) >> 1, (c.start.y + c.end.y) >> 1};
        }
    }
    if (!started_ || lastEnd_ != c.start) AddVertex(c.start);
    if (!started_) first_ = c.start;
    started_ = true;
    pendingPoint_ = false;
    if (thick_) AddThickPiece(c, 0);
    else AddThinPiece(c, 0);
    AddVertex(c.end);
    lastEnd_ = c.end;
}

void StrokeBuilder::AddThickPiece(const Curve& c, int depth)
{
    if (!c.isLine && depth < 5) {
        const int32_t bend = PointHalfChebyshev(c.control, {(c.start.x + c.end.x) >> 1, (c.start.y + c.end.y) >> 1});
        if (bend > 6 && PointHalfChebyshev(c.start, c.end) < 2 * bend) {
            Curve a, b;
            SplitHalf(c, a, b);
            AddThickPiece(a, depth + 1);
            AddThickPiece(b, depth + 1);
            return;
        }
    }
    const int32_t half = width_ / 2;
    const MoviePoint chord = Sub(c.end, c.start);
    MoviePoint d0 = Sub(c.control, c.start), d1 = Sub(c.end, c.control);
    if (d0 == MoviePoint{} || c.isLine) d0 = chord;
    if (d1 == MoviePoint{} || c.isLine) d1 = chord;
    if (d0 == MoviePoint{} || d1 == MoviePoint{}) return;
    const MoviePoint n0 = Normal(d0, half), n1 = Normal(d1, half);
    const MoviePoint ls = Add(c.start, n0), le = Add(c.end, n1);
    const MoviePoint rs = Sub(c.start, n0), re = Sub(c.end, n1);
    std::vector<Curve> loop;
    if (c.isLine) {
        loop = {MakeLine(rs, re), MakeLine(re, le), MakeLine(le, ls), MakeLine(ls, rs)};
    } else {
        // Each side's control point: the piece's shorter control leg scaled by
        // side chord / piece chord, hung from the matching end of the side.
        const Fixed chordLen = PointLength(chord);
        const bool startLegShorter = PointLength(d0) <= PointLength(d1);
        auto side = [&](MoviePoint s, MoviePoint e) {
            const Fixed ratio = chordLen ? FixedDiv(PointDistance(s, e), chordLen) : kFixedOne;
            const MoviePoint ctrl = startLegShorter ? Add(s, PointScale(Sub(c.control, c.start), ratio))
                                                    : Add(e, PointScale(Sub(c.control, c.end), ratio));
            return MakeCurve(s, ctrl, e);
        };
        loop = {side(rs, re), MakeLine(re, le), Reverse(side(ls, le)), MakeLine(ls, rs)};
    }
    EmitLoop(loop);
}

void StrokeBuilder::BandShift(const Curve& c, int32_t& s0, int32_t& s1, bool& alongY) const
{
    // A band one to three units wide, shifted along the minor axis.
    s0 = width_ == 1 ? 0 : width_ == 2 ? -1 : -2;
    s1 = 1;
    alongY = std::abs(c.end.x - c.start.x) >= std::abs(c.end.y - c.start.y);
}

void StrokeBuilder::AddThinPiece(const Curve& c, int depth)
{
    if (!c.isLine && depth < 8 && Flatness(c) > 2) {
        const MoviePoint l0 = Sub(c.control, c.start), l1 = Sub(c.end, c.control);
        const bool dom0 = std::abs(l0.x) >= std::abs(l0.y), dom1 = std::abs(l1.x) >= std::abs(l1.y);
        const bool monoX = (l0.x >= 0) == (l1.x >= 0) || l0.x == 0 || l1.x == 0;
        const bool monoY = (l0.y >= 0) == (l1.y >= 0) || l0.y == 0 || l1.y == 0;
        if (dom0 != dom1 || !monoX || !monoY) {
            Curve a, b;
            SplitHalf(c, a, b);
            AddThinPiece(a, depth + 1);
            AddVertex(a.end);
            AddThinPiece(b, depth + 1);
            return;
        }
    }
    int32_t s0, s1;
    bool alongY;
    BandShift(c, s0, s1, alongY);
    const MoviePoint o0 = alongY ? MoviePoint{0, s0} : MoviePoint{s0, 0};
    const MoviePoint o1 = alongY ? MoviePoint{0, s1} : MoviePoint{s1, 0};
    Curve a = c, b = c;
    a.start = Add(a.start, o0);
    a.control = Add(a.control, o0);
    a.end = Add(a.end, o0);
    b.start = Add(b.start, o1);
    b.control = Add(b.control, o1);
    b.end = Add(b.end, o1);
    std::vector<Curve> loop = {a, MakeLine(a.end, b.end), Reverse(b), MakeLine(b.start, a.start)};
    EmitLoop(loop);
}

void StrokeBuilder::End()
{
    if (!started_ && pendingPoint_ && lastEnd_.x != kEmptyMarker) {
        // A lone point: a disc of the stroke's width, or a square when thin.
        AddVertex(lastEnd_);
    }
    started_ = false;
    pendingPoint_ = false;
}

}  // namespace movie
