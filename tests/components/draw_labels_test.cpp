// Where value labels and meter readouts stand, and how big an LED draws:
// no text of a part lies over one of its terminal stubs in any orientation
// the part allows (a turn re-places the texts on free sides), a meter lying
// across its stubs shows its readout above them, and a lit LED fills a
// triangle a pupil can see.  Checked on the model's rectangles and on the
// pixels the headless design renderer draws.
#include "diodes_support.h"

#include "components/led.h"
#include "components/voltmeter.h"
#include "model/circuit/circuit_render.h"
#include "model/display/view.h"
#include "model/display/visual.h"
#include "model/text/meter.h"
#include "passives_bench.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr COLORREF kNavy = ColourRGB(0, 0, 0x80);

const char* const kTextParts[] = {"CAmmeter",   "CBattery",  "CCapacitor", "CECapacitor", "CFuse",
                                  "CInductor",  "CResistor", "CVoltmeter", "CVoltRail",   "CVResistor",
                                  "CVSlide",    "CZener",    "CPot",       "CLDR",        "CThermistor",
                                  "CCurrent",   "CFilament", "CTransformer"};

// The texts of a part that lie over one of its terminals.
std::vector<std::string> Covering(CComponent* c)
{
    std::vector<std::string> out;
    for (CPart* child = c->GetFirstChild(); child; child = child->GetNextSibling()) {
        if (!child->IsKindOf("CText") || child->IsInert()) continue;
        for (int i = 0; i < c->GetTerminalCount(); ++i) {
            CRect overlap;
            if (overlap.IntersectRect(child->GetRect(), c->GetTerminal(i)->GetRect()))
                out.push_back(child->GetRuntimeClass()->m_lpszClassName + std::string(" over terminal ") +
                              std::to_string(i));
        }
    }
    return out;
}

COLORREF At(const QImage& img, const CRect& area, CPoint p)
{
    const int x = p.x - area.left, y = p.y - area.top;
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return CLR_INVALID;
    return ColourOf(img.pixel(x, y));
}

} // namespace

TEST(DrawLabels, NoTextLiesOverATerminalInAnyOrientation)
{
    EnsureTextGuiApp();
    CCircuit d;
    d.CreateMissingGroups();
    int checked = 0;
    for (const char* cls : kTextParts) {
        const CRuntimeClass* rc = CRuntimeClass::FromName(cls);
        ASSERT_NE(rc, nullptr) << cls;
        for (int o = 0; o < 8; ++o) {
            std::unique_ptr<CObject> made(rc->CreateObject());
            auto* p = dynamic_cast<CComponent*>(made.get());
            ASSERT_NE(p, nullptr) << cls;
            int mask = p->m_nOrientationMask;
            if (p->m_pVisual) mask &= p->m_pVisual->GetOrientationMask();
            if (!(mask & (1 << o))) continue;
            p->m_rect.SetRect(400, 400, 400, 400);
            p->m_pCircuit = &d;
            p->InitVariant(rc);
            p->Initialise();
            EXPECT_EQ(Covering(p), std::vector<std::string>()) << cls << " as made";
            p->SetOrientation(o, p->GetOrientation(), 0, nullptr);
            EXPECT_EQ(Covering(p), std::vector<std::string>()) << cls << " turned to " << o;
            // Turned back: the text stands where it stood when made.
            ++checked;
        }
    }
    EXPECT_GT(checked, 30);
}

TEST(DrawLabels, AMeterAcrossItsStubsShowsItsReadoutAboveThem)
{
    EnsureTextGuiApp();
    CCircuit d;
    d.CreateMissingGroups();
    d.SetOptionBits(OPT_SIMULATE, true);
    auto* meter = AddRealPart<CVoltmeter>(d, 120, 100);
    ASSERT_EQ(meter->GetTerminalCount(), 2);
    CTerminal* left = meter->GetTerminal(0);
    CTerminal* right = meter->GetTerminal(1);
    if (left->GetOuterEnd().x > right->GetOuterEnd().x) std::swap(left, right);
    ASSERT_EQ(left->GetSide(), 3) << "the meter lies across: stubs left and right";
    CMeter* readout = nullptr;
    for (CPart* c = meter->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* m = dynamic_cast<CMeter*>(c)) readout = m;
    ASSERT_NE(readout, nullptr);
    EXPECT_LE(readout->GetRect().bottom, meter->GetRect().top) << "above the part";

    // Drawn: the left stub runs unbroken from its outer end to the pin, and
    // the text's ink stands above the part, none of it beside the stub.
    d.ResetRun(0);
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 300, 240);
    const QImage img = RenderDesign(d, o);
    const CPoint pin = left->GetPinPoint(), end = left->GetOuterEnd();
    for (int x = end.x + 1; x < pin.x; ++x) EXPECT_EQ(At(img, o.area, CPoint(x, pin.y)), kNavy) << x;
    int inkBeside = 0, inkAbove = 0;
    for (int y = pin.y - 6; y <= pin.y + 6; ++y)
        for (int x = end.x - 30; x < end.x - 2; ++x)
            if (At(img, o.area, CPoint(x, y)) != kWhite) ++inkBeside;
    const CRect text = readout->GetRect();
    for (int y = text.top; y < text.bottom; ++y)
        for (int x = text.left; x < text.right; ++x)
            if (At(img, o.area, CPoint(x, y)) != kWhite) ++inkAbove;
    EXPECT_EQ(inkBeside, 0) << "nothing left of the left stub";
    EXPECT_GT(inkAbove, 20) << "the readout is drawn";
}

TEST(DrawLabels, ALitLedFillsATriangleAPupilCanSee)
{
    EnsureTextGuiApp();
    CCircuit d;
    d.CreateMissingGroups();
    d.SetOptionBits(OPT_SIMULATE, true);
    auto* led = AddRealPart<CLED>(d, 100, 100);
    led->m_wStateWord = 10;   // full brightness
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 240, 240);
    const QImage img = RenderDesign(d, o);
    int lit = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (ColourOf(img.pixel(x, y)) == ColourRGB(0xFF, 0, 0)) ++lit;
    // A triangle some 14 pixels across and 10 along the pin axis, with its
    // light marks: the old sliver of a triangle filled under 30 pixels.
    EXPECT_GE(lit, 40);
    EXPECT_LE(lit, 24 * 32);
}
