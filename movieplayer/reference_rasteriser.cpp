#include "movieplayer/reference_rasteriser.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace movie {

namespace {

struct Crossing {
    int x;
    const EdgeRecord* e;
};

// Exact x where a y-monotonic quadratic edge crosses line y.
double CrossingX(const EdgeRecord& e, double y)
{
    const double a = e.y0 - 2.0 * e.cy + e.y1, b = 2.0 * (e.cy - e.y0), c = e.y0 - y;
    double t;
    if (std::fabs(a) < 1e-9) {
        t = b == 0 ? 0 : -c / b;
    } else {
        const double disc = std::max(0.0, b * b - 4 * a * c);
        const double s = std::sqrt(disc);
        const double r1 = (-b + s) / (2 * a), r2 = (-b - s) / (2 * a);
        t = (r1 >= -1e-9 && r1 <= 1 + 1e-9) ? r1 : r2;
    }
    t = std::clamp(t, 0.0, 1.0);
    if (e.isLine) return e.x0 + (e.x1 - e.x0) * (y - e.y0) / double(e.y1 - e.y0);
    return (1 - t) * (1 - t) * e.x0 + 2 * t * (1 - t) * e.cx + t * t * e.x1;
}

struct State {
    std::map<FillRecord*, int> parity, winding;
    bool Inside(FillRecord* f) const
    {
        auto p = parity.find(f);
        auto w = winding.find(f);
        return (p != parity.end() && (p->second & 1)) || (w != winding.end() && w->second != 0);
    }
    void Apply(const EdgeRecord& e)
    {
        if (e.rule == kRuleWinding) {
            winding[e.fillA] += e.direction;
        } else {
            if (e.fillA) parity[e.fillA] ^= 1;
            if (e.rule == kRuleTwoFillsParity && e.fillB) parity[e.fillB] ^= 1;
        }
    }
};

// The visible fills, topmost first.
std::vector<FillRecord*> VisibleFills(const State& s, const std::vector<FillRecord*>& all)
{
    std::vector<FillRecord*> inside;
    for (FillRecord* f : all)
        if (s.Inside(f)) inside.push_back(f);
    std::stable_sort(inside.begin(), inside.end(), [](FillRecord* a, FillRecord* b) { return a->key > b->key; });
    std::vector<FillRecord*> out;
    for (FillRecord* f : inside) {
        if (f->kind == kFillClip) continue;
        bool shown = true;
        for (FillRecord* c = f->clipLink; c && c != ClipChainEnd(); c = c->clipLink)
            if (!s.Inside(c)) shown = false;
        if (!shown) continue;
        if (out.size() == 255) break;
        out.push_back(f);
        if (!f->transparent) break;
    }
    return out;
}

}  // namespace

void ReferenceRender(Rasteriser& r, PixelTarget& out)
{
    const bool aa = r.AntiAliased();
    const int s = aa ? 4 : 1;
    const int L = r.ClipLeft() * s, T = r.ClipTop() * s, R = r.ClipRight() * s, B = r.ClipBottom() * s;
    std::vector<const EdgeRecord*> edges;
    std::vector<FillRecord*> fills;
    for (const auto& o : r.Objects()) {
        for (const EdgeRecord* e = o.edges; e; e = e->next) edges.push_back(e);
        for (FillRecord* f = o.fills; f; f = f->next) fills.push_back(f);
    }
    PixelReader read = ReaderForFormat(out.format);
    PixelWriter write = WriterForFormat(out.format);
    auto background = [&](int x, int y) {
        ColorRecord c = MakeRecord(255, 255, 255, 0);
        if (r.backgroundPresent) read(out, y, x, x + 1, &c);
        return c;
    };
    auto colorOf = [&](FillRecord* f, int px, int py) {
        ColorRecord c = r.ColorAt(f, px, py);
        if (f->highlight) Rasteriser::ApplyHighlight(f->highlight, py, px, &c, 1);
        return c;
    };
    const int W = R - L;
    for (int py = T / s; py < B / s; ++py) {
        // Fill lists of every sample of this pixel row: [sub-line][x].
        std::vector<std::vector<std::vector<FillRecord*>>> lists(static_cast<size_t>(s), std::vector<std::vector<FillRecord*>>(static_cast<size_t>(W)));
        for (int k = 0; k < s; ++k) {
            const int y = py * s + k;
            std::vector<Crossing> cross;
            for (const EdgeRecord* e : edges)
                if (y >= e->y0 && y < e->y1) cross.push_back({static_cast<int>(std::floor(CrossingX(*e, s == 1 && !e->isLine ? y + 0.5 : y) + 0.5)), e});
            std::sort(cross.begin(), cross.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
            State st;
            size_t next = 0;
            for (int x = L; x < R; ++x) {
                while (next < cross.size() && cross[next].x <= x) st.Apply(*cross[next++].e);
                lists[static_cast<size_t>(k)][static_cast<size_t>(x - L)] = VisibleFills(st, fills);
            }
        }
        for (int px = L / s; px < R / s; ++px) {
            if (!aa) {
                const auto& l = lists[0][static_cast<size_t>(px - L)];
                if (l.empty()) continue;
                ColorRecord c;
                int i = static_cast<int>(l.size()) - 1;
                if (l[static_cast<size_t>(i)]->transparent) {
                    c = background(px, py);
                } else {
                    c = colorOf(l[static_cast<size_t>(i)], px, py);
                    --i;
                }
                for (; i >= 0; --i) c = Over(colorOf(l[static_cast<size_t>(i)], px, py), c);
                write(out, py, px, px + 1, &c);
                continue;
            }
            ColorRecord sum = 0;
            for (int k = 0; k < 4; ++k)
                for (int j = 0; j < 4; ++j) {
                    const auto& l = lists[static_cast<size_t>(k)][static_cast<size_t>(px * 4 + j - L)];
                    ColorRecord c = 0;
                    for (int i = static_cast<int>(l.size()) - 1; i >= 0; --i) c = Over(colorOf(l[static_cast<size_t>(i)], px, py), c);
                    sum += c;
                }
            ColorRecord c = (sum >> 4) & kChannelMask;
            const unsigned a = RecAlpha(c);
            if (a == 0) continue;
            if (a < 255) c = Over(c, background(px, py));
            write(out, py, px, px + 1, &c);
        }
    }
}

}  // namespace movie
