// Designs drawn as the canvas draws them (RenderDesign: a view, one drawing
// scope, the design's DrawTree), checked pixel by pixel at points the model
// knows: terminal stubs, wire ends, a junction dot, a crossover bridge,
// current arrows, the burst of a burnt-out part and a selected part; at
// both zooms, and after a round trip through a design file.
#include "diodes_support.h"

#include "components/battery.h"
#include "components/resistor.h"
#include "model/circuit/circuit_render.h"
#include "model/components/explode.h"
#include "model/display/animate.h"
#include "model/display/view.h"
#include "model/display/visual.h"
#include "passives_bench.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr COLORREF kNavy = ColourRGB(0, 0, 0x80);
constexpr COLORREF kArrowRed = ColourRGB(0xC0, 0, 0);

const char* const kBuiltParts[] = {"CAmmeter", "CBattery",   "CBattery9V", "CCapacitor", "CDiode",
                                   "CEarth",   "CECapacitor", "CFuse",      "CInductor",  "CLED",
                                   "CLED_G",   "CLED_Y",     "CRailThru",  "CResistor",  "CTransformer",
                                   "CVoltmeter", "CVoltRail", "CVResistor", "CVSlide",    "CVZero"};

COLORREF At(const QImage& img, const CRect& area, int zoom, CPoint p)
{
    // The middle of the pixel's cell: under the double-size zoom lines run one
    // device pixel right of and below their logical place.
    const int x = (p.x - area.left) * zoom + zoom / 2, y = (p.y - area.top) * zoom + zoom / 2;
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return CLR_INVALID;
    return ColourOf(img.pixel(x, y));
}

// A battery (upright: + at the top) and a resistor (across) in one loop: the
// top terminal runs up and over to the resistor's right end, the bottom one
// round below and up to its left end.
struct Loop {
    CCircuit d;
    CBattery* cell;
    CResistor* r;
    Loop()
    {
        EnsureTextGuiApp();
        d.CreateMissingGroups();
        cell = AddRealPart<CBattery>(d, 96, 96);
        r = AddRealPart<CResistor>(d, 200, 140);
        const CPoint top = cell->GetTerminal(0)->GetOuterEnd(), bottom = cell->GetTerminal(1)->GetOuterEnd();
        const CPoint left = r->GetTerminal(0)->GetOuterEnd(), right = r->GetTerminal(1)->GetOuterEnd();
        Route(d, {top, CPoint(top.x, top.y - 24), CPoint(right.x, top.y - 24), right});
        Route(d, {bottom, CPoint(bottom.x, bottom.y + 24), CPoint(left.x, bottom.y + 24), left});
        d.ResetRun(0);
    }
    CRect Area() const { return CRect(0, 0, 400, 300); }
    QImage Render(int zoom = 1)
    {
        CDesignRenderOptions o;
        o.zoom = zoom;
        o.area = Area();
        return RenderDesign(d, o);
    }
};

TEST(DrawDesign, TerminalStubsAndWiresStandWhereTheModelPutsThem)
{
    Loop loop;
    for (int zoom : {1, 2}) {
        const QImage img = loop.Render(zoom);
        for (CComponent* part : {static_cast<CComponent*>(loop.cell), static_cast<CComponent*>(loop.r)}) {
            for (int i = 0; i < part->GetTerminalCount(); ++i) {
                CTerminal* t = part->GetTerminal(i);
                const CPoint pin = t->GetPinPoint(), end = t->GetOuterEnd();
                const CPoint mid((pin.x + end.x) / 2, (pin.y + end.y) / 2);
                EXPECT_EQ(At(img, loop.Area(), zoom, mid), kNavy) << "stub middle, zoom " << zoom;
                // A joined end: the wire meets the stub (whichever draws the
                // pixel last), no open-end ring.
                const COLORREF e = At(img, loop.Area(), zoom, end);
                EXPECT_TRUE(e == kNavy || e == kBlack) << "outer end, zoom " << zoom;
            }
        }
        int wires = 0;
        for (CPart* w = loop.d.GetGroup(GROUP_WIRES)->GetFirstChild(); w; w = w->GetNextSibling()) {
            auto* wire = static_cast<CWire*>(w);
            const CPoint a = wire->GetEndA(), b = wire->GetEndB();
            EXPECT_EQ(At(img, loop.Area(), zoom, a), kBlack) << "wire end A, zoom " << zoom;
            EXPECT_EQ(At(img, loop.Area(), zoom, CPoint((a.x + b.x) / 2, (a.y + b.y) / 2)), kBlack);
            ++wires;
        }
        EXPECT_GE(wires, 3);
    }
}

TEST(DrawDesign, AnOpenTerminalEndsInARing)
{
    CCircuit d;
    EnsureTextGuiApp();
    d.CreateMissingGroups();
    CResistor* r = AddRealPart<CResistor>(d, 100, 100);
    d.OnSimulationStopped();   // idle: the rings show
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 300, 300);
    const QImage img = RenderDesign(d, o);
    CTerminal* t = r->GetTerminal(0);
    const CPoint end = t->GetOuterEnd();
    // The ring: white in its middle, ink on its four sides.
    EXPECT_EQ(At(img, o.area, 1, end), kWhite);
    EXPECT_EQ(At(img, o.area, 1, end + CPoint(1, 0)), kNavy);
    EXPECT_EQ(At(img, o.area, 1, end + CPoint(-1, 0)), kNavy);
    EXPECT_EQ(At(img, o.area, 1, end + CPoint(0, 1)), kNavy);
    EXPECT_EQ(At(img, o.area, 1, end + CPoint(0, -1)), kNavy);
}

TEST(DrawDesign, JunctionDotAndCrossoverBridge)
{
    CCircuit d;
    d.CreateMissingGroups();
    auto* h = new CWire(CPoint(20, 40), CPoint(120, 40));
    auto* v = new CWire(CPoint(60, 10), CPoint(60, 90));
    d.AddChild(h);
    d.AddChild(v);
    CCrossOver::MakePair(h, v, CPoint(60, 40));
    auto* w = new CWire(CPoint(100, 40), CPoint(100, 80));
    d.AddChild(w);
    w->m_bJoin = 1;
    w->m_ptJoin = CPoint(100 - 3, 40 - 3);
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 140, 100);
    for (int zoom : {1, 2}) {
        o.zoom = zoom;
        const QImage img = RenderDesign(d, o);
        // The dot: 5 pixels across its middle row, white at its corners.
        for (int dx = -2; dx <= 2; ++dx) EXPECT_EQ(At(img, o.area, zoom, CPoint(100 + dx, 40)), kNavy) << dx;
        EXPECT_EQ(At(img, o.area, zoom, CPoint(97, 37)), kWhite);
        // The bridge: the vertical wire leaves its column around the
        // horizontal one and hops to the right.
        EXPECT_EQ(At(img, o.area, zoom, CPoint(60, 38)), kWhite) << "zoom " << zoom;
        EXPECT_EQ(At(img, o.area, zoom, CPoint(60, 42)), kWhite);
        EXPECT_EQ(At(img, o.area, zoom, CPoint(63, 39)), kNavy);
        EXPECT_EQ(At(img, o.area, zoom, CPoint(63, 41)), kNavy);
        EXPECT_NE(At(img, o.area, zoom, CPoint(60, 40)), kWhite);
        EXPECT_EQ(At(img, o.area, zoom, CPoint(60, 20)), kBlack);
    }
}

TEST(DrawDesign, CurrentArrowsShowTheDirectionOfTheCurrent)
{
    Loop loop;
    loop.d.SetOptionBits(OPT_SIMULATE | 0x10, true);
    for (int i = 0; i < 3; ++i) loop.d.RunSolverPass();
    const QImage img = loop.Render();
    for (CComponent* part : {static_cast<CComponent*>(loop.cell), static_cast<CComponent*>(loop.r)}) {
        for (int i = 0; i < part->GetTerminalCount(); ++i) {
            CTerminal* t = part->GetTerminal(i);
            ASSERT_NE(t->m_nDirection, 0);
            const CRect a = t->GetArrowRect();
            int red = 0;
            for (int y = a.top; y < a.bottom; ++y)
                for (int x = a.left; x < a.right; ++x) red += At(img, loop.Area(), 1, CPoint(x, y)) == kArrowRed;
            EXPECT_GE(red, 5) << "terminal " << i;
        }
    }
    // Without the arrows option no arrow is drawn.
    loop.d.SetOptionBits(0x10, false);
    const QImage plain = loop.Render();
    const CRect a = loop.r->GetTerminal(0)->GetArrowRect();
    for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x) EXPECT_NE(At(plain, loop.Area(), 1, CPoint(x, y)), kArrowRed);
}

TEST(DrawDesign, ASelectedPartIsFramedAndItsChildrenFollow)
{
    Loop loop;
    const QImage before = loop.Render();
    loop.r->Select(0x80000);
    EXPECT_TRUE(loop.r->GetTerminal(0)->IsSelected());
    const QImage after = loop.Render();
    const CRect rc = loop.r->m_rect;
    int changed = 0;
    for (int x = rc.left; x < rc.right; ++x) {
        const COLORREF c = At(after, loop.Area(), 1, CPoint(x, rc.top));
        if (c != At(before, loop.Area(), 1, CPoint(x, rc.top))) ++changed;
        EXPECT_TRUE(c == kBlack || c == kWhite || c == kNavy);
    }
    EXPECT_GE(changed, 2);
    loop.r->Deselect(0x80000);
    EXPECT_EQ(loop.Render(), before);
}

TEST(DrawDesign, TheBurstPlaysOverThePartAndLeavesTheScreenAsItWas)
{
    Loop loop;
    CImageView view(400, 300);
    CDisplay display(&view);
    loop.d.DrawTree(loop.d.GetRedrawFlags());
    const QImage before = view.Image().copy();
    loop.r->Explode(3.0, 1.0, 11, 'A');
    CExplode* e = loop.r->GetExplosion();
    ASSERT_NE(e, nullptr);
    const CRect burst = e->GetBurstRect();
    std::vector<int> frames;
    int blinks = 0;
    while (loop.d.HasBlownPart() && blinks < 20) {
        frames.push_back(e->GetDrawFrame());
        loop.d.UpdateBlownState();
        ++blinks;
        if (frames.size() == 1) {
            ASSERT_NE(e->GetAnimation(), nullptr);
            // The first frame is on the screen, over the part.
            int coloured = 0;
            for (int y = burst.top; y < burst.bottom; ++y)
                for (int x = burst.left; x < burst.right; ++x) {
                    const COLORREF c = view.Pixel(x, y);
                    coloured += c != kWhite && c != kBlack && c != kNavy;
                }
            EXPECT_GT(coloured, 20);
        }
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 3, 4, 3, 2, 1, -1}));
    EXPECT_EQ(e->GetAnimation(), nullptr);
    // Outside the part the screen is what it was; the part itself shows
    // broken (ink turned black).
    const CRect part = loop.r->GetUnionRect();
    int navy = 0;
    for (int y = burst.top; y < burst.bottom; ++y)
        for (int x = burst.left; x < burst.right; ++x) {
            if (part.PtInRect(CPoint(x, y))) {
                navy += view.Pixel(x, y) == kNavy && loop.r->m_rect.PtInRect(CPoint(x, y));
                continue;
            }
            ASSERT_EQ(view.Image().pixel(x, y), before.pixel(x, y)) << x << "," << y;
        }
    EXPECT_EQ(navy, 0);
}

TEST(DrawDesign, AMarkerDrawsItsFrameWhenTheDesignIsPaintedMidBurst)
{
    Loop loop;
    loop.r->Explode(3.0, 1.0, 11, 'A');
    CExplode* e = loop.r->GetExplosion();
    const QImage img = loop.Render();
    const CPoint c = e->GetBurstRect().CenterPoint();
    const COLORREF centre = At(img, loop.Area(), 1, c);
    EXPECT_NE(centre, kWhite);
    EXPECT_NE(centre, kNavy);
}

TEST(DrawDesign, AFileRoundTripDrawsTheSamePicture)
{
    Loop loop;
    QTemporaryDir dir;
    const QString path = dir.filePath("loop.zrn");
    ASSERT_TRUE(SaveDesignFile(loop.d, path));
    if (const char* keep = std::getenv("WB_KEEP_DESIGN")) SaveDesignFile(loop.d, keep);
    QString error;
    std::unique_ptr<CCircuit> back = LoadDesignFile(path, &error);
    ASSERT_TRUE(back) << error.toStdString();
    for (int zoom : {1, 2}) {
        CDesignRenderOptions o;
        o.zoom = zoom;
        o.area = loop.Area();
        EXPECT_EQ(RenderDesign(*back, o), RenderDesign(loop.d, o)) << "zoom " << zoom;
    }
    EXPECT_FALSE(LoadDesignFile(dir.filePath("missing.zrn"), &error));
    EXPECT_FALSE(error.isEmpty());
}

// Every class's picture keeps all its pins in every orientation it allows
// (a turned picture that lost a pin would build a part without a terminal).
TEST(DrawDesign, EveryAllowedOrientationKeepsEveryPin)
{
    EnsureTextGuiApp();
    for (const char* name : kBuiltParts) {
        const CRuntimeClass* rc = CRuntimeClass::FromName(name);
        ASSERT_NE(rc, nullptr) << name;
        std::unique_ptr<CObject> o(rc->CreateObject());
        auto* c = dynamic_cast<CComponent*>(o.get());
        ASSERT_NE(c, nullptr) << name;
        for (CVisual* v : {c->m_pVisual, c->m_pVisual ? c->m_pVisual->GetAlternate() : nullptr}) {
            if (!v) continue;   // the rail-through draws no picture; most have no alternate
            const size_t pins = v->LayoutPins(0).size();
            EXPECT_GE(pins, 1u) << name;
            for (int k = 1; k < 8; ++k) {
                if (!(v->GetOrientationMask() & (1 << k))) continue;
                EXPECT_EQ(v->LayoutPins(k).size(), pins) << name << " picture " << v->GetBitmapId(0) << " orientation " << k;
            }
        }
    }
}

} // namespace
