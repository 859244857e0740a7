#include "movieplayer/curve.h"

#include <algorithm>
#include <cstdlib>

namespace movie {

namespace {

MoviePoint Mid(MoviePoint a, MoviePoint b)
{
    return {static_cast<int32_t>((int64_t{a.x} + b.x) >> 1), static_cast<int32_t>((int64_t{a.y} + b.y) >> 1)};
}

int16_t To16(int32_t v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

}  // namespace

Curve MakeLine(MoviePoint p, MoviePoint q) { return {p, Mid(p, q), q, true}; }
Curve MakeCurve(MoviePoint p, MoviePoint c, MoviePoint q) { return {p, c, q, false}; }

int32_t Flatness(const Curve& c)
{
    if (c.isLine) return 0;
    const MoviePoint m = Mid(c.start, c.end);
    const int64_t dx = std::llabs(int64_t{m.x} - c.control.x), dy = std::llabs(int64_t{m.y} - c.control.y);
    return SaturateToInt32(dx + dy - std::min(dx, dy) / 2);
}

void SplitHalf(const Curve& c, Curve& first, Curve& second)
{
    const MoviePoint m0 = Mid(c.start, c.control), m1 = Mid(c.control, c.end), mid = Mid(m0, m1);
    const bool line = c.isLine;
    const MoviePoint s = c.start, e = c.end;
    first = {s, m0, mid, line};
    second = {mid, m1, e, line};
}

void SplitAt(const Curve& c, Fixed t, Curve& first, Curve& second)
{
    // PointInterpolate(p, q, t) runs from q (t = 0) to p (t = 1).
    const MoviePoint m0 = PointInterpolate(c.control, c.start, t);
    const MoviePoint m1 = PointInterpolate(c.end, c.control, t);
    const MoviePoint mid = PointInterpolate(m1, m0, t);
    const bool line = c.isLine;
    const MoviePoint s = c.start, e = c.end;
    first = {s, m0, mid, line};
    second = {mid, m1, e, line};
}

MoviePoint PointAt(const Curve& c, Fixed t)
{
    if (t == 0x8000) {
        return {SaturateToInt32((int64_t{c.start.x} + 2 * int64_t{c.control.x} + c.end.x) / 4),
                SaturateToInt32((int64_t{c.start.y} + 2 * int64_t{c.control.y} + c.end.y) / 4)};
    }
    const Fixed t2 = FixedMul(t, t);
    auto axis = [&](int32_t p0, int32_t pc, int32_t p1) {
        const int32_t a = SaturateToInt32(int64_t{p0} + p1 - 2 * int64_t{pc});
        const int32_t b = SaturateToInt32(int64_t{p0} - pc);
        return SaturateToInt32(int64_t{p0} + FixedMul(t2, a) - 2 * int64_t{FixedMul(t, b)});
    };
    return {axis(c.start.x, c.control.x, c.end.x), axis(c.start.y, c.control.y, c.end.y)};
}

int32_t AxisExtreme(int32_t a, int32_t b, int32_t c)
{
    const int64_t ab = int64_t{a} - b, den = int64_t{a} + c - 2 * int64_t{b};
    if (den == 0 || ab == 0) return a;
    if ((ab > 0) != (den > 0) || std::llabs(den) < std::llabs(ab)) return a;
    return SaturateToInt32(a - ab * ab / den);
}

MovieRect Bounds(const Curve& c)
{
    MovieRect r = RectFromPoints(c.start, c.end);
    if (!c.isLine) {
        RectAddPoint(r, {AxisExtreme(c.start.x, c.control.x, c.end.x), c.start.y});
        RectAddPoint(r, {c.start.x, AxisExtreme(c.start.y, c.control.y, c.end.y)});
    }
    return r;
}

MovieRect ControlBounds(const Curve& c)
{
    MovieRect r = RectFromPoints(c.start, c.end);
    if (!c.isLine) RectAddPoint(r, c.control);
    return r;
}

Curve Map(const Curve& c, const MovieMatrix& m)
{
    return {MatrixMapPointRound(m, c.start), MatrixMapPointRound(m, c.control), MatrixMapPointRound(m, c.end), c.isLine};
}

Curve Reverse(const Curve& c) { return {c.end, c.control, c.start, c.isLine}; }

Fixed Length(const Curve& c)
{
    if (c.isLine) return PointDistance(c.start, c.end);
    int64_t sum = 0;
    MoviePoint prev = c.start;
    for (int i = 1; i <= 16; ++i) {
        const MoviePoint p = i == 16 ? c.end : PointAt(c, i << 12);
        sum += PointDistance(prev, p);
        prev = p;
    }
    return SaturateToInt32(sum);
}

Fixed ParamAtLength(const Curve& c, Fixed len)
{
    if (len <= 0) return 0;
    int64_t run = 0;
    MoviePoint prev = c.start;
    for (int i = 1; i <= 16; ++i) {
        const MoviePoint p = i == 16 ? c.end : PointAt(c, i << 12);
        const Fixed step = PointDistance(prev, p);
        if (run + step >= len && step > 0) {
            const int64_t t = (int64_t{i - 1} << 12) + ((len - run) << 12) / step;
            return static_cast<Fixed>(std::clamp<int64_t>(t, 0, 0x10000));
        }
        run += step;
        prev = p;
    }
    return 0x10000;
}

Fixed Tangent(const Curve& c, Fixed t)
{
    if (t <= 0) {
        const MoviePoint& toward = PointHalfChebyshev(c.control, c.start) <= 9 ? c.end : c.control;
        return PointAngle(toward, &c.start);
    }
    if (t >= 0x10000) {
        const MoviePoint& from = PointHalfChebyshev(c.control, c.end) <= 9 ? c.start : c.control;
        return PointAngle(c.end, &from);
    }
    Curve a, b;
    SplitAt(c, t, a, b);
    return Tangent(b, 0);
}

namespace {

void NearestSearch(const Curve& c, Fixed t0, Fixed t1, MoviePoint p, int depth, Fixed& bestDist, Fixed& bestT)
{
    if (RectDistanceToPoint(ControlBounds(c), p) > bestDist) return;
    if (Flatness(c) < 5 || depth >= 20) {
        MoviePoint n;
        const Fixed d = NearestPointOnSegment(c.start, c.end, p, &n);
        if (d < bestDist) {
            bestDist = d;
            const Fixed chord = PointDistance(c.start, c.end);
            const Fixed along = chord ? FixedDiv(PointDistance(c.start, n), chord) : 0;
            bestT = t0 + FixedMul(t1 - t0, std::clamp(along, 0, 0x10000));
        }
        return;
    }
    Curve a, b;
    SplitHalf(c, a, b);
    const Fixed tm = t0 + (t1 - t0) / 2;
    const bool firstNearer = RectDistanceToPoint(ControlBounds(a), p) <= RectDistanceToPoint(ControlBounds(b), p);
    if (firstNearer) {
        NearestSearch(a, t0, tm, p, depth + 1, bestDist, bestT);
        NearestSearch(b, tm, t1, p, depth + 1, bestDist, bestT);
    } else {
        NearestSearch(b, tm, t1, p, depth + 1, bestDist, bestT);
        NearestSearch(a, t0, tm, p, depth + 1, bestDist, bestT);
    }
}

}  // namespace

Fixed Nearest(const Curve& c, MoviePoint p, int32_t tolerance)
{
    Fixed bestDist = INT32_MAX, bestT = 0;
    NearestSearch(c, 0, 0x10000, p, 0, bestDist, bestT);
    return bestDist > tolerance ? -0x10000 : bestT;
}

void SplitBetween(const Curve& c, Fixed t1, Fixed t2, Curve& a, Curve& b, Curve& d)
{
    const Fixed lo = std::min(t1, t2), hi = std::max(t1, t2);
    Curve rest;
    SplitAt(c, lo, a, rest);
    // Re-parameterise the upper cut on what is left after the first.
    const Fixed t = lo >= 0x10000 ? 0 : FixedDiv(hi - lo, 0x10000 - lo);
    SplitAt(rest, t, b, d);
}

int Crossings(const Curve& c, MoviePoint p, int depth)
{
    const MovieRect cb = ControlBounds(c);
    if (RectContainsPoint(cb, p) && RectDiagonal(cb) > 4 && depth < 12 && !c.isLine) {
        Curve a, b;
        SplitHalf(c, a, b);
        return Crossings(a, p, depth + 1) + Crossings(b, p, depth + 1);
    }
    if (c.isLine && RectContainsPoint(cb, p) && c.start.y != c.end.y) {
        // A straight piece is decided exactly: where does it cross the ray's line?
        const int32_t lo = std::min(c.start.y, c.end.y), hi = std::max(c.start.y, c.end.y);
        if (p.y < lo || p.y >= hi) return 0;
        const int64_t x = c.start.x + (int64_t{c.end.x} - c.start.x) * (p.y - c.start.y) / (int64_t{c.end.y} - c.start.y);
        return x >= p.x ? 1 : 0;
    }
    const int32_t lo = std::min(c.start.y, c.end.y), hi = std::max(c.start.y, c.end.y);
    return p.y >= lo && p.y < hi && cb.xmax >= p.x ? 1 : 0;
}

bool Overlap(const Curve& c1, const Curve& c2, int32_t tol1, int32_t tol2)
{
    MovieRect a = ControlBounds(c1), b = ControlBounds(c2);
    RectInset(a, -tol1);
    RectInset(b, -tol2);
    return RectTestIntersect(a, b);
}

namespace {

// Pieces wholly above or below the cull rectangle are dropped: the
// rasteriser buckets only lines inside it.  Control bounds hold the piece
// and every piece cut from it.
bool OutsideCull(const Curve& c, const MovieRect& cull)
{
    if (RectIsEmpty(cull)) return false;
    const MovieRect cb = ControlBounds(c);
    return cb.ymax <= cull.ymin || cb.ymin >= cull.ymax;
}

// A piece monotonic in y wholly left of the cull rectangle only toggles its
// fills before the first pixel, one wholly right of it after the last (its
// crossing still ends the line's last span): the same crossings, on the
// same lines, are made by a vertical line just outside the rectangle, cut
// to its height.  False when the piece reaches in.
bool FoldOutsideCull(const Curve& c, const MovieRect& cull, int32_t& x)
{
    if (RectIsEmpty(cull)) return false;
    if (std::max({c.start.x, c.control.x, c.end.x}) < cull.xmin - 2) x = cull.xmin - 2;
    else if (std::min({c.start.x, c.control.x, c.end.x}) > cull.xmax + 2) x = cull.xmax + 2;
    else return false;
    return true;
}

}  // namespace

void AddFillEdge(const Curve& curve, FillRecord* fillA, FillRecord* fillB, int rule, EdgeSink& sink, int depth)
{
    if (OutsideCull(curve, sink.cull)) return;
    Curve c = curve;
    int dir = 1;
    if (c.end.y < c.start.y) {
        std::swap(c.start, c.end);
        dir = -1;
    }
    const int32_t ytop = c.start.y, ybottom = c.end.y;
    if (!c.isLine && (c.control.y < ytop || c.control.y > ybottom)) {
        const int32_t out = c.control.y < ytop ? ytop - c.control.y : c.control.y - ybottom;
        if (out <= 2) {
            c.control.y = c.control.y < ytop ? ytop : ybottom;
        } else {
            // Split at the y extreme, t = (y0 - cy) / (y0 + y1 - 2cy), on the
            // curve in its first order so the pieces keep their direction.
            if (depth >= 16) {
                ++sink.dropped;
                return;
            }
            const Fixed t = FixedDiv(curve.start.y - curve.control.y,
                                     SaturateToInt32(int64_t{curve.start.y} + curve.end.y - 2 * int64_t{curve.control.y}));
            Curve a, b;
            SplitAt(curve, std::clamp(t, 0, 0x10000), a, b);
            AddFillEdge(a, fillA, fillB, rule, sink, depth + 1);
            AddFillEdge(b, fillA, fillB, rule, sink, depth + 1);
            return;
        }
    }
    if (int32_t x = 0; FoldOutsideCull(c, sink.cull, x)) {
        const int32_t y0 = std::max(ytop, sink.cull.ymin), y1 = std::min(ybottom, sink.cull.ymax);
        if (y0 >= y1) return;
        const Curve line = MakeLine({x, y0}, {x, y1});
        EdgeSink plain = sink;
        plain.cull = MovieRect{};
        AddFillEdge(dir > 0 ? line : Reverse(line), fillA, fillB, rule, plain);
        sink.head = plain.head;
        sink.dropped = plain.dropped;
        return;
    }
    if (int64_t{ybottom} - ytop > 256) {
        if (depth >= 16) {
            ++sink.dropped;
            return;
        }
        Curve a, b;
        SplitHalf(curve, a, b);
        AddFillEdge(a, fillA, fillB, rule, sink, depth + 1);
        AddFillEdge(b, fillA, fillB, rule, sink, depth + 1);
        return;
    }
    if (ytop == ybottom) return;
    const MovieRect cb = ControlBounds(c);
    if (sink.guard) {
        if (cb.ymax < -16000 || cb.ymin > 16000) return;
        if (cb.xmin < -32000 || cb.xmax > 32000 || cb.ymin < -32000 || cb.ymax > 32000) {
            if (cb.xmax < -16000 || cb.xmin > 16000) {
                // Far to one side only the crossing count matters: fold the
                // piece onto a vertical line outside the visible range.
                const int32_t x = cb.xmax < -16000 ? -32000 : 32000;
                c = MakeLine({x, std::clamp(c.start.y, -32000, 32000)}, {x, std::clamp(c.end.y, -32000, 32000)});
                if (c.start.y == c.end.y) return;
            } else if (depth < 16) {
                Curve a, b;
                SplitHalf(curve, a, b);
                AddFillEdge(a, fillA, fillB, rule, sink, depth + 1);
                AddFillEdge(b, fillA, fillB, rule, sink, depth + 1);
                return;
            }
        }
    }
    EdgeRecord* e = sink.pool ? sink.pool->New() : nullptr;
    if (!e) {
        ++sink.dropped;
        return;
    }
    e->x0 = To16(c.start.x);
    e->y0 = To16(c.start.y);
    e->cx = To16(c.control.x);
    e->cy = To16(c.control.y);
    e->x1 = To16(c.end.x);
    e->y1 = To16(c.end.y);
    e->isLine = Flatness(c) < 2;
    e->rule = static_cast<uint8_t>(rule);
    e->direction = static_cast<int8_t>(dir);
    e->fillA = fillA;
    e->fillB = fillB;
    e->next = sink.head;
    sink.head = e;
}

void FreeEdgeList(EdgeSink& sink)
{
    for (EdgeRecord* e = sink.head; e;) {
        EdgeRecord* n = e->next;
        sink.pool->Delete(e);
        e = n;
    }
    sink.head = nullptr;
}

}  // namespace movie
