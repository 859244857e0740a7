// What parts draw beside their plain picture: the flip-flops and the op-amp
// draw the symbol style the design asks for, the plain picture while
// View/IEC symbols is off (option 0x400000 for the logic parts, 0x200000 for
// the op-amp) and the IEC picture (the second frame) otherwise, checked pixel
// by pixel against the picture's own frames; a selected potentiometer frames
// only its track's strip, which its slider does not cover; the op-amp's
// supply texts stay beside it in every turn.
#include "diodes_support.h"

#include "components/c741.h"
#include "components/dtype.h"
#include "components/jk.h"
#include "components/nand.h"
#include "components/pot.h"
#include "components/rs.h"
#include "components/schmitt.h"
#include "components/xor_gate.h"
#include "model/circuit/circuit_render.h"
#include "model/text_qtapp.h"
#include "model/display/colour.h"
#include "model/display/visual.h"
#include "model/text/opampsupply.h"

#include <gtest/gtest.h>

namespace {

struct SymbolCase {
    CComponent* (*make)(CCircuit&);
    DWORD plainBit;
    DWORD otherBit;
};

template <class T>
CComponent* Make(CCircuit& d)
{
    return AddRealPart<T>(d, 64, 64);
}

const SymbolCase kCases[] = {{Make<CDtype>, 0x400000, 0x200000},
                             {Make<CJK>, 0x400000, 0x200000},
                             {Make<CRS>, 0x400000, 0x200000},
                             {Make<CNAND>, 0x400000, 0x200000},
                             {Make<CXOR>, 0x400000, 0x200000},
                             {Make<CSchmitt>, 0x400000, 0x200000},
                             {Make<C741>, 0x200000, 0x400000}};

// Whether the part's rectangle in the rendering shows picture frame k.
bool ShowsFrame(const QImage& img, CComponent* part, int k)
{
    CBitmap256* bitmap = part->m_pVisual->GetBitmap(part->GetOrientation());
    if (!bitmap) return false;
    const QImage& src = bitmap->Image();
    const CPoint origin = part->m_pVisual->GetFrameOrigin(k, part->GetOrientation());
    const CRect& r = part->m_rect;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            if (ColourOf(img.pixel(r.left + x, r.top + y)) != ColourOf(src.pixel(origin.x + x, origin.y + y)))
                return false;
    return true;
}

TEST(LogicSymbols, PartsDrawThePlainOrTheIecSymbolAsTheDesignAsks)
{
    EnsureTextGuiApp();
    for (const SymbolCase& c : kCases) {
        CCircuit d;
        d.CreateMissingGroups();
        CComponent* part = c.make(d);
        const char* name = part->GetRuntimeClass()->m_lpszClassName;
        ASSERT_NE(part->m_pVisual, nullptr) << name;
        ASSERT_EQ(part->m_pVisual->GetFrameCount(), 2) << name;
        CDesignRenderOptions o;
        o.area = CRect(0, 0, 200, 200);
        for (bool other : {false, true}) {
            d.SetOptionBits(c.otherBit, other);
            d.SetOptionBits(c.plainBit, true);
            const QImage plain = RenderDesign(d, o);
            EXPECT_TRUE(ShowsFrame(plain, part, 0)) << name << " other " << other;
            EXPECT_FALSE(ShowsFrame(plain, part, 1)) << name << " other " << other;
            d.SetOptionBits(c.plainBit, false);
            const QImage iec = RenderDesign(d, o);
            EXPECT_TRUE(ShowsFrame(iec, part, 1)) << name << " other " << other;
            EXPECT_FALSE(ShowsFrame(iec, part, 0)) << name << " other " << other;
        }
    }
}

TEST(DrawSelection, OpampSupplyTextsStayBesideThePartInEveryTurn)
{
    EnsureTextGuiApp();
    CCircuit d;
    d.CreateMissingGroups();
    for (int from : {6, 0, 3}) {
        for (int o = 0; o < 8; ++o) {
            C741* amp = AddRealPart<C741>(d, 200, 200);
            amp->SetOrientation(from, amp->GetOrientation(), 0, nullptr);
            amp->SetOrientation(o, amp->GetOrientation(), 0, nullptr);
            COpampSupply* supply = amp->GetSupplyLabel();
            ASSERT_NE(supply, nullptr);
            CPart* plus = supply->GetFirstChild();
            ASSERT_NE(plus, nullptr);
            CPart* minus = plus->GetNextSibling();
            ASSERT_NE(minus, nullptr);
            const CRect& r = amp->m_rect;
            if (o % 2 == 0) {
                // Lying: V+ above, V- below.
                EXPECT_LE(plus->m_rect.bottom, r.top) << from << " to " << o;
                EXPECT_GE(minus->m_rect.top, r.top + 20) << from << " to " << o;
                EXPECT_LE(minus->m_rect.top, r.bottom + 4) << from << " to " << o;
            } else {
                // Standing: V+ right, V- left.
                EXPECT_GE(plus->m_rect.left, r.right) << from << " to " << o;
                EXPECT_LE(minus->m_rect.right, r.left) << from << " to " << o;
            }
            for (CPart* t : {plus, minus}) {
                CRect near = r;
                near.InflateRect(40, 20);
                EXPECT_TRUE(near.PtInRect(t->m_rect.TopLeft())) << from << " to " << o;
            }
        }
    }
}

bool Inked(const QImage& img, int x, int y) { return ColourOf(img.pixel(x, y)) != ColourRGB(255, 255, 255); }

TEST(DrawSelection, ASelectedPotentiometerFramesItsTrackStripOnly)
{
    EnsureTextGuiApp();
    CCircuit d;
    d.CreateMissingGroups();
    CPot* pot = AddRealPart<CPot>(d, 64, 64);
    CDesignRenderOptions o;
    o.area = CRect(0, 0, 200, 200);
    const CRect strip = pot->TrackStrip();
    ASSERT_EQ(strip, CRect(pot->m_rect.left, pot->m_rect.top, pot->m_rect.left + 8, pot->m_rect.bottom));
    auto inkedAlongTop = [&](const QImage& img, int from, int to) {
        int n = 0;
        for (int x = from; x < to; ++x) n += Inked(img, x, pot->m_rect.top);
        return n;
    };
    const QImage plain = RenderDesign(d, o);
    pot->Select(0x80000);
    const QImage selected = RenderDesign(d, o);
    // The strip's top edge gains the hatching (only its pin was inked)...
    EXPECT_GT(inkedAlongTop(selected, strip.left, strip.right), inkedAlongTop(plain, strip.left, strip.right) + 1);
    // ...the top edge beside it, left of the slider, stays as it was.
    const int beside = strip.right + 5;
    EXPECT_EQ(inkedAlongTop(selected, strip.right, beside), inkedAlongTop(plain, strip.right, beside));
    // Turned a quarter, the strip lies along the top.
    pot->SetOrientation(1, pot->GetOrientation(), 0, nullptr);
    EXPECT_EQ(pot->TrackStrip().Height(), 8);
    EXPECT_EQ(pot->TrackStrip().Width(), pot->m_rect.Width());
}

} // namespace
