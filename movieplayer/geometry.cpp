#include "movieplayer/geometry.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace movie {

namespace {

int64_t Abs64(int32_t v) { return v < 0 ? -static_cast<int64_t>(v) : v; }

constexpr int64_t ISqrt(int64_t v)
{
    int64_t r = 0;
    for (int64_t bit = int64_t{1} << 62; bit; bit >>= 2) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
    }
    return r;
}

// T[i] = sqrt(1 + (i/64)^2)·2^20, rounded to nearest; a 66th entry repeats
// the last so that interpolation at i = 64 needs no test.
constexpr std::array<int64_t, 66> MakeLengthTable()
{
    std::array<int64_t, 66> t{};
    for (int i = 0; i <= 64; ++i) {
        // sqrt(2^40 + i²·2^28), computed at twice the precision and rounded.
        const int64_t x4 = (int64_t{1} << 42) + static_cast<int64_t>(i) * i * (int64_t{1} << 30);
        t[i] = (ISqrt(x4) + 1) >> 1;
    }
    t[65] = t[64];
    return t;
}

constexpr std::array<int64_t, 66> kLengthTable = MakeLengthTable();

int32_t Clamp32(int64_t v) { return SaturateToInt32(v); }

}  // namespace

Fixed PointLength(MoviePoint v)
{
    const int64_t ax = Abs64(v.x), ay = Abs64(v.y);
    if (ax == 0 && ay == 0) return 0;
    const int64_t big = std::max(ax, ay), small = std::min(ax, ay);
    // small/big as a Fixed in 0..0x10000, exactly.
    const int64_t r = (small << 16) / big;
    const int64_t i = r >> 10, f = r & 0x3FF;
    const int64_t factor = ((1024 - f) * kLengthTable[i] + f * kLengthTable[i + 1]) >> 14;
    return Clamp32(big * factor / 65536);
}

Fixed PointDistance(MoviePoint p, MoviePoint q)
{
    return PointLength({Clamp32(int64_t{p.x} - q.x), Clamp32(int64_t{p.y} - q.y)});
}

int32_t PointApproxLength(MoviePoint v)
{
    const int64_t ax = Abs64(v.x), ay = Abs64(v.y);
    const int64_t big = std::max(ax, ay), small = std::min(ax, ay);
    return Clamp32(big + small - small / 2);
}

int32_t PointHalfChebyshev(MoviePoint p, MoviePoint q)
{
    const int64_t dx = std::llabs(int64_t{p.x} - q.x), dy = std::llabs(int64_t{p.y} - q.y);
    return Clamp32(std::max(dx, dy) >> 1);
}

Fixed PointAngle(MoviePoint p, const MoviePoint* q)
{
    if (q) return FixedAtan2(Clamp32(int64_t{p.y} - q->y), Clamp32(int64_t{p.x} - q->x));
    return FixedAtan2(p.y, p.x);
}

MoviePoint PointFromPolar(Fixed r, Fixed angle, const MoviePoint* origin)
{
    MoviePoint p{FixedMul(r, FixedCos(angle)), FixedMul(r, FixedSin(angle))};
    if (origin) {
        p.x += origin->x;
        p.y += origin->y;
    }
    return p;
}

MoviePoint PointSetLength(MoviePoint v, Fixed len)
{
    const Fixed l = PointLength(v);
    if (l == 0) return v;
    return PointScale(v, FixedDiv(len, l));
}

MoviePoint PointScale(MoviePoint p, Fixed f) { return {FixedMul(p.x, f), FixedMul(p.y, f)}; }

int32_t ShiftRound(int32_t v, int n)
{
    if (n >= 0) return Clamp32(static_cast<int64_t>(v) * (int64_t{1} << std::min(n, 31)));
    const int s = std::min(-n, 31);
    return static_cast<int32_t>((static_cast<int64_t>(v) + (int64_t{1} << (s - 1))) >> s);
}

MoviePoint PointShift(MoviePoint p, int n) { return {ShiftRound(p.x, n), ShiftRound(p.y, n)}; }

MoviePoint PointInterpolate(MoviePoint p, MoviePoint q, Fixed t)
{
    return {Clamp32(q.x + int64_t{FixedMul(t, Clamp32(int64_t{p.x} - q.x))}),
            Clamp32(q.y + int64_t{FixedMul(t, Clamp32(int64_t{p.y} - q.y))})};
}

bool PointEqualWithin(MoviePoint p, MoviePoint q, int32_t tol)
{
    return std::llabs(int64_t{p.x} - q.x) <= tol && std::llabs(int64_t{p.y} - q.y) <= tol;
}

Fixed NearestPointOnSegment(MoviePoint a, MoviePoint b, MoviePoint p, MoviePoint* out)
{
    const int32_t dx = b.x - a.x, dy = b.y - a.y;
    const int32_t adx = std::abs(dx), ady = std::abs(dy);
    MoviePoint n;
    if (dx != 0 && dy != 0 && adx >= ady / 32 && ady >= adx / 32) {
        // Intersect y = a.y + k(x - a.x) with the perpendicular through p,
        // y = p.y - k'(x - p.x): x = (k·a.x + k'·p.x + p.y - a.y) / (k + k').
        const Fixed k = FixedDiv(dy, dx), k2 = FixedDiv(dx, dy);
        const int64_t num = static_cast<int64_t>(k) * a.x + static_cast<int64_t>(k2) * p.x +
                            (static_cast<int64_t>(p.y) - a.y) * 65536;
        const int64_t den = static_cast<int64_t>(k) + k2;
        int32_t x = den == 0 ? p.x : Clamp32(num / den);
        const MoviePoint& lo = a.x < b.x ? a : b;
        const MoviePoint& hi = a.x < b.x ? b : a;
        if (x <= lo.x) {
            n = lo;
        } else if (x >= hi.x) {
            n = hi;
        } else {
            n = {x, Clamp32(a.y + int64_t{FixedMul(k, x - a.x)})};
        }
    } else if (adx >= ady) {
        const MoviePoint& lo = a.x <= b.x ? a : b;
        const MoviePoint& hi = a.x <= b.x ? b : a;
        if (p.x <= lo.x) n = lo;
        else if (p.x >= hi.x) n = hi;
        else n = {p.x, Clamp32(lo.y + static_cast<int64_t>(hi.y - lo.y) * (p.x - lo.x) / (hi.x - lo.x))};
    } else {
        const MoviePoint& lo = a.y <= b.y ? a : b;
        const MoviePoint& hi = a.y <= b.y ? b : a;
        if (p.y <= lo.y) n = lo;
        else if (p.y >= hi.y) n = hi;
        else n = {Clamp32(lo.x + static_cast<int64_t>(hi.x - lo.x) * (p.y - lo.y) / (hi.y - lo.y)), p.y};
    }
    if (out) *out = n;
    return PointDistance(n, p);
}

void RectSetEmpty(MovieRect& r) { r = MovieRect{}; }
void RectSetHuge(MovieRect& r) { r = {kHugeMin, kHugeMax, kHugeMin, kHugeMax}; }

MovieRect RectFromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    return {std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
}

MovieRect RectFromPoints(MoviePoint p, MoviePoint q) { return RectFromCorners(p.x, p.y, q.x, q.y); }
MovieRect RectFromPoint(MoviePoint p) { return {p.x, p.x, p.y, p.y}; }

MoviePoint RectCentre(const MovieRect& r)
{
    if (RectIsEmpty(r)) return {0, 0};
    return {Clamp32(r.xmin + (int64_t{r.xmax} - r.xmin) / 2), Clamp32(r.ymin + (int64_t{r.ymax} - r.ymin) / 2)};
}

void RectOffset(MovieRect& r, int32_t dx, int32_t dy)
{
    if (RectIsEmpty(r)) return;
    r.xmin += dx;
    r.xmax += dx;
    r.ymin += dy;
    r.ymax += dy;
}

void RectInset(MovieRect& r, int32_t d)
{
    if (RectIsEmpty(r)) return;
    r.xmin = Clamp32(int64_t{r.xmin} + d);
    r.xmax = Clamp32(int64_t{r.xmax} - d);
    r.ymin = Clamp32(int64_t{r.ymin} + d);
    r.ymax = Clamp32(int64_t{r.ymax} - d);
    RectNormalise(r);
}

void RectShift(MovieRect& r, int n)
{
    if (RectIsEmpty(r)) return;
    r.xmin = ShiftRound(r.xmin, n);
    r.xmax = ShiftRound(r.xmax, n);
    r.ymin = ShiftRound(r.ymin, n);
    r.ymax = ShiftRound(r.ymax, n);
}

void RectNormalise(MovieRect& r)
{
    if (r.xmax < r.xmin || r.ymax < r.ymin) RectSetEmpty(r);
}

MovieRect RectUnion(const MovieRect& a, const MovieRect& b)
{
    if (RectIsEmpty(a)) return b;
    if (RectIsEmpty(b)) return a;
    return {std::min(a.xmin, b.xmin), std::max(a.xmax, b.xmax), std::min(a.ymin, b.ymin), std::max(a.ymax, b.ymax)};
}

void RectAddPoint(MovieRect& r, MoviePoint p)
{
    if (RectIsEmpty(r)) {
        r = RectFromPoint(p);
        return;
    }
    if (p.x < r.xmin) r.xmin = p.x;
    if (p.x > r.xmax) r.xmax = p.x;
    if (p.y < r.ymin) r.ymin = p.y;
    if (p.y > r.ymax) r.ymax = p.y;
}

MovieRect RectIntersect(const MovieRect& a, const MovieRect& b)
{
    if (RectIsEmpty(a) || RectIsEmpty(b)) return MovieRect{};
    MovieRect r{std::max(a.xmin, b.xmin), std::min(a.xmax, b.xmax), std::max(a.ymin, b.ymin), std::min(a.ymax, b.ymax)};
    RectNormalise(r);
    return r;
}

bool RectTestIntersect(const MovieRect& a, const MovieRect& b)
{
    if (RectIsEmpty(a) || RectIsEmpty(b)) return false;
    return a.xmin <= b.xmax && b.xmin <= a.xmax && a.ymin <= b.ymax && b.ymin <= a.ymax;
}

bool RectContainsPoint(const MovieRect& r, MoviePoint p)
{
    if (RectIsEmpty(r)) return false;
    return p.x >= r.xmin && p.x <= r.xmax && p.y >= r.ymin && p.y <= r.ymax;
}

bool RectEqualWithin(const MovieRect& a, const MovieRect& b, int32_t tol)
{
    if (RectIsEmpty(a) || RectIsEmpty(b)) return RectIsEmpty(a) && RectIsEmpty(b);
    auto near = [tol](int32_t u, int32_t v) { return std::llabs(int64_t{u} - v) <= tol; };
    return near(a.xmin, b.xmin) && near(a.xmax, b.xmax) && near(a.ymin, b.ymin) && near(a.ymax, b.ymax);
}

MoviePoint RectSize(const MovieRect& r)
{
    if (RectIsEmpty(r)) return {0, 0};
    return {Clamp32(int64_t{r.xmax} - r.xmin), Clamp32(int64_t{r.ymax} - r.ymin)};
}

Fixed RectDiagonal(const MovieRect& r) { return PointLength(RectSize(r)); }

Fixed RectDistanceToPoint(const MovieRect& r, MoviePoint p)
{
    if (RectIsEmpty(r) || RectContainsPoint(r, p)) return 0;
    const MoviePoint c{std::clamp(p.x, r.xmin, r.xmax), std::clamp(p.y, r.ymin, r.ymax)};
    return PointDistance(p, c);
}

Fixed RectDistance(const MovieRect& a, const MovieRect& b)
{
    if (RectIsEmpty(a) || RectIsEmpty(b)) return 0;
    auto gap = [](int32_t lo1, int32_t hi1, int32_t lo2, int32_t hi2) -> int32_t {
        if (hi1 < lo2) return Clamp32(int64_t{lo2} - hi1);
        if (hi2 < lo1) return Clamp32(int64_t{lo1} - hi2);
        return 0;
    };
    return PointLength({gap(a.xmin, a.xmax, b.xmin, b.xmax), gap(a.ymin, a.ymax, b.ymin, b.ymax)});
}

MoviePoint RectHandlePoint(const MovieRect& r, int n)
{
    const int32_t xm = static_cast<int32_t>((int64_t{r.xmin} + r.xmax) >> 1);
    const int32_t ym = static_cast<int32_t>((int64_t{r.ymin} + r.ymax) >> 1);
    switch (n) {
    case 0: return {r.xmin, r.ymax};
    case 1: return {r.xmax, r.ymax};
    case 2: return {r.xmax, r.ymin};
    case 3: return {r.xmin, r.ymin};
    case 4: return {xm, r.ymax};
    case 5: return {r.xmax, ym};
    case 6: return {xm, r.ymin};
    case 7: return {r.xmin, ym};
    default: return RectCentre(r);
    }
}

int RectOppositeHandle(int n)
{
    static constexpr int kOpposite[8] = {2, 3, 0, 1, 6, 7, 4, 5};
    return n >= 0 && n < 8 ? kOpposite[n] : 8;
}

MovieMatrix MatrixIdentity() { return MovieMatrix{}; }

MovieMatrix MatrixTranslation(int32_t tx, int32_t ty)
{
    MovieMatrix m;
    m.tx = tx;
    m.ty = ty;
    return m;
}

MovieMatrix MatrixScale(Fixed sx, Fixed sy)
{
    MovieMatrix m;
    m.a = sx;
    m.d = sy;
    return m;
}

MovieMatrix MatrixRotation(Fixed angle)
{
    const Fixed c = FixedCos(angle), s = FixedSin(angle);
    return {c, s, -s, c, 0, 0};
}

MoviePoint MatrixMapPoint(const MovieMatrix& m, MoviePoint p)
{
    int64_t x = int64_t{FixedMul(m.a, p.x)} + m.tx;
    int64_t y = int64_t{FixedMul(m.d, p.y)} + m.ty;
    if (m.c) x += FixedMul(m.c, p.y);
    if (m.b) y += FixedMul(m.b, p.x);
    return {Clamp32(x), Clamp32(y)};
}

namespace {

// v / 65536 to the nearest integer (halves upward), saturated.
int32_t RoundFixedProduct(int64_t v)
{
    return Clamp32((v + 0x8000) >> 16);
}

}  // namespace

MoviePoint MatrixMapPointRound(const MovieMatrix& m, MoviePoint p)
{
    // Each product is below 2^62 in magnitude and tx·2^16 below 2^47, so the
    // exact sum fits 64 bits and is rounded once.
    const int64_t x = int64_t{m.a} * p.x + int64_t{m.c} * p.y + (int64_t{m.tx} << 16);
    const int64_t y = int64_t{m.b} * p.x + int64_t{m.d} * p.y + (int64_t{m.ty} << 16);
    return {RoundFixedProduct(x), RoundFixedProduct(y)};
}

void MatrixConcatRound(const MovieMatrix& m1, const MovieMatrix& m2, MovieMatrix& out)
{
    MovieMatrix r;
    MatrixConcat(m1, m2, r);
    r.tx = Clamp32(int64_t{RoundFixedProduct(int64_t{m1.tx} * m2.a + int64_t{m1.ty} * m2.c)} + m2.tx);
    r.ty = Clamp32(int64_t{RoundFixedProduct(int64_t{m1.tx} * m2.b + int64_t{m1.ty} * m2.d)} + m2.ty);
    out = r;
}

MoviePoint MatrixMapVector(const MovieMatrix& m, MoviePoint v)
{
    int64_t x = FixedMul(m.a, v.x);
    int64_t y = FixedMul(m.d, v.y);
    if (m.c) x += FixedMul(m.c, v.y);
    if (m.b) y += FixedMul(m.b, v.x);
    return {Clamp32(x), Clamp32(y)};
}

MovieRect MatrixMapRect(const MovieMatrix& m, const MovieRect& r)
{
    if (RectIsEmpty(r)) return MovieRect{};
    MovieRect out = RectFromPoint(MatrixMapPoint(m, {r.xmin, r.ymin}));
    RectAddPoint(out, MatrixMapPoint(m, {r.xmax, r.ymin}));
    RectAddPoint(out, MatrixMapPoint(m, {r.xmin, r.ymax}));
    RectAddPoint(out, MatrixMapPoint(m, {r.xmax, r.ymax}));
    return out;
}

int32_t MatrixMapLength(const MovieMatrix& m, int32_t len)
{
    const Fixed l = FixedMul(PointLength(MatrixMapVector(m, {len, len})), 46341);
    return l == 0 && len >= 1 ? 1 : l;
}

void MatrixConcat(const MovieMatrix& m1, const MovieMatrix& m2, MovieMatrix& out)
{
    MovieMatrix r;
    if (m1.b == 0 && m1.c == 0 && m2.b == 0 && m2.c == 0) {
        r.a = FixedMul(m1.a, m2.a);
        r.b = 0;
        r.c = 0;
        r.d = FixedMul(m1.d, m2.d);
        r.tx = Clamp32(int64_t{FixedMul(m1.tx, m2.a)} + m2.tx);
        r.ty = Clamp32(int64_t{FixedMul(m1.ty, m2.d)} + m2.ty);
    } else {
        r.a = Clamp32(int64_t{FixedMul(m1.a, m2.a)} + FixedMul(m1.b, m2.c));
        r.b = Clamp32(int64_t{FixedMul(m1.a, m2.b)} + FixedMul(m1.b, m2.d));
        r.c = Clamp32(int64_t{FixedMul(m1.c, m2.a)} + FixedMul(m1.d, m2.c));
        r.d = Clamp32(int64_t{FixedMul(m1.c, m2.b)} + FixedMul(m1.d, m2.d));
        r.tx = Clamp32(int64_t{FixedMul(m1.tx, m2.a)} + FixedMul(m1.ty, m2.c) + m2.tx);
        r.ty = Clamp32(int64_t{FixedMul(m1.tx, m2.b)} + FixedMul(m1.ty, m2.d) + m2.ty);
    }
    out = r;
}

void MatrixInvert(const MovieMatrix& m, MovieMatrix& out)
{
    MovieMatrix r;
    if (m.b == 0 && m.c == 0) {
        // A diagonal matrix with a zero on the diagonal is singular and, like
        // every singular matrix, inverts to the identity.
        if (m.a == 0 || m.d == 0) {
            out = MovieMatrix{};
            return;
        }
        r.a = FixedDiv(0x10000, m.a);
        r.d = FixedDiv(0x10000, m.d);
        r.b = r.c = 0;
        r.tx = Clamp32(-int64_t{FixedMul(r.a, m.tx)});
        r.ty = Clamp32(-int64_t{FixedMul(r.d, m.ty)});
        out = r;
        return;
    }
    auto uabs = [](int32_t v) { return static_cast<uint32_t>(v < 0 ? -static_cast<int64_t>(v) : v); };
    uint32_t bits = uabs(m.a) | uabs(m.b) | uabs(m.c) | uabs(m.d);
    if (bits == 0) {
        out = MovieMatrix{};
        return;
    }
    // Normalise so that the determinant keeps about 32 significant bits.
    int e = 0;
    while (bits < 0x1000000) {
        bits <<= 6;
        e += 6;
    }
    while (bits < 0x20000000) {
        bits <<= 1;
        e += 1;
    }
    int f = 2 * (16 - e);
    int64_t det;
    if (f > 0) {
        det = int64_t{MulShift(m.a, m.d, f)} - MulShift(m.b, m.c, f);
    } else {
        // The plain 32-bit product of the original; computed wide and
        // saturated here so that it cannot overflow.
        det = static_cast<int64_t>(m.a) * m.d - static_cast<int64_t>(m.b) * m.c;
        f = 0;
    }
    const int32_t det32 = Clamp32(det);
    if (det32 == 0) {
        out = MovieMatrix{};
        return;
    }
    const int s = 16 - f;
    auto shifted = [s](int64_t v) { return Clamp32(s >= 0 ? v * (int64_t{1} << s) : v >> -s); };
    r.a = FixedDiv(shifted(m.d), det32);
    r.b = FixedDiv(shifted(-int64_t{m.b}), det32);
    r.c = FixedDiv(shifted(-int64_t{m.c}), det32);
    r.d = FixedDiv(shifted(m.a), det32);
    const MoviePoint t = MatrixMapVector(r, {m.tx, m.ty});
    r.tx = Clamp32(-int64_t{t.x});
    r.ty = Clamp32(-int64_t{t.y});
    out = r;
}

bool MatrixEqualWithin(const MovieMatrix& m1, const MovieMatrix& m2, int32_t tol)
{
    auto near = [tol](int32_t u, int32_t v) { return std::llabs(int64_t{u} - v) <= tol; };
    return near(m1.a, m2.a) && near(m1.b, m2.b) && near(m1.c, m2.c) && near(m1.d, m2.d) &&
           near(m1.tx, m2.tx) && near(m1.ty, m2.ty);
}

MovieMatrix MatrixRectToRect(const MovieRect& from, const MovieRect& to)
{
    MovieMatrix m;
    m.a = FixedDiv(to.xmax - to.xmin, std::max(from.xmax - from.xmin, 1));
    m.d = FixedDiv(to.ymax - to.ymin, std::max(from.ymax - from.ymin, 1));
    m.tx = to.xmin - FixedMul(from.xmin, m.a);
    m.ty = to.ymax - FixedMul(from.ymax, m.d);
    return m;
}

MovieMatrix MatrixFitRect(const MovieRect& from, const MovieRect& to)
{
    const Fixed sx = FixedDiv(to.xmax - to.xmin, std::max(from.xmax - from.xmin, 1));
    const Fixed sy = FixedDiv(to.ymax - to.ymin, std::max(from.ymax - from.ymin, 1));
    const Fixed s = std::min(sx, sy);
    MovieMatrix m;
    m.a = m.d = s;
    const int32_t fcx = static_cast<int32_t>((int64_t{from.xmin} + from.xmax) >> 1);
    const int32_t fcy = static_cast<int32_t>((int64_t{from.ymin} + from.ymax) >> 1);
    const int32_t tcx = static_cast<int32_t>((int64_t{to.xmin} + to.xmax) >> 1);
    const int32_t tcy = static_cast<int32_t>((int64_t{to.ymin} + to.ymax) >> 1);
    m.tx = tcx - FixedMul(fcx, s);
    m.ty = tcy - FixedMul(fcy, s);
    return m;
}

MatrixParts MatrixDecompose(const MovieMatrix& m)
{
    return {PointLength({m.a, m.b}), PointLength({m.c, m.d}), FixedAtan2(m.b, m.a)};
}

bool MatrixIsAxisAligned(const MovieMatrix& m)
{
    return std::abs(int64_t{m.b}) <= 16 && std::abs(int64_t{m.c}) <= 16 && m.a > 0 && m.d > 0;
}

bool MatrixIsIdentity(const MovieMatrix& m) { return m == MovieMatrix{}; }

}  // namespace movie
