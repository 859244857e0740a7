#include "model/components/wire_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace {
int Sign(int v) { return (v > 0) - (v < 0); }
int Cross(CPoint a, CPoint b) { return a.x * b.y - a.y * b.x; }
} // namespace

bool WireIsLattice(const CWire* w)
{
    CPoint d = w->GetEndB() - w->GetEndA();
    if (d.x == 0 || d.y == 0) return true;
    return std::abs(d.x) == std::abs(d.y) && (w->GetKind() == WIRE_ROTATIONAL || w->GetKind() == WIRE_LINEAR);
}

CPoint WireStep(const CWire* w)
{
    CPoint d = w->GetEndB() - w->GetEndA();
    return CPoint(Sign(d.x), Sign(d.y));
}

int WireSteps(const CWire* w)
{
    CPoint d = w->GetEndB() - w->GetEndA();
    return std::max(std::abs(d.x), std::abs(d.y));
}

bool WireContains(const CWire* w, CPoint p, bool interior)
{
    const CPoint a = w->GetEndA(), s = WireStep(w);
    const int n = WireSteps(w);
    const CPoint d = p - a;
    if (Cross(d, s) != 0) return false;
    // Along the step: t steps with d = t * s.
    const int t = s.x ? d.x / s.x : (s.y ? d.y / s.y : 0);
    if (CPoint(a.x + t * s.x, a.y + t * s.y) != p) return false;
    return interior ? (t > 0 && t < n) : (t >= 0 && t <= n);
}

bool WiresParallel(const CWire* a, const CWire* b)
{
    CPoint sa = WireStep(a), sb = WireStep(b);
    if (sa == CPoint(0, 0) || sb == CPoint(0, 0)) return true;
    return Cross(sa, sb) == 0;
}

bool WiresInLine(const CWire* a, const CWire* b)
{
    if (!WiresParallel(a, b)) return false;
    CPoint s = WireStep(a) == CPoint(0, 0) ? WireStep(b) : WireStep(a);
    return Cross(b->GetEndA() - a->GetEndA(), s) == 0;
}

bool WiresCross(const CWire* a, const CWire* b, CPoint* at)
{
    if (WiresParallel(a, b)) return false;
    // a.A + t sa = b.A + u sb: solve by Cramer's rule (determinant +-1 or +-2).
    const CPoint sa = WireStep(a), sb = WireStep(b), d = b->GetEndA() - a->GetEndA();
    const int det = Cross(sa, sb);
    const int tn = Cross(d, sb);
    if (tn % det != 0) return false;
    const int t = tn / det;
    const CPoint p(a->GetEndA().x + t * sa.x, a->GetEndA().y + t * sa.y);
    if (!WireContains(a, p, true) || !WireContains(b, p, true)) return false;
    if (at) *at = p;
    return true;
}

bool WireContainsReference(const CWire* w, CPoint p, bool interior)
{
    const CPoint a = w->GetEndA(), s = WireStep(w);
    const int n = WireSteps(w);
    for (int t = interior ? 1 : 0; t <= (interior ? n - 1 : n); ++t)
        if (CPoint(a.x + t * s.x, a.y + t * s.y) == p) return true;
    return false;
}

bool WiresCrossReference(const CWire* a, const CWire* b, CPoint* at)
{
    const CPoint s = WireStep(a);
    for (int t = 1; t < WireSteps(a); ++t) {
        CPoint p(a->GetEndA().x + t * s.x, a->GetEndA().y + t * s.y);
        if (WireContainsReference(b, p, true) && !WiresParallel(a, b)) {
            if (at) *at = p;
            return true;
        }
    }
    return false;
}

bool NearestOnStraight(const CWire* w, CPoint p, CPoint* out)
{
    const CPoint a = w->GetEndA(), b = w->GetEndB();
    if (a.y == b.y) {
        *out = CPoint(std::clamp(p.x, std::min(a.x, b.x), std::max(a.x, b.x)), a.y);
        return true;
    }
    if (a.x == b.x) {
        *out = CPoint(a.x, std::clamp(p.y, std::min(a.y, b.y), std::max(a.y, b.y)));
        return true;
    }
    return false;
}
