// Records of the passive parts: the capacitor keeps its charge, every part
// reads back to its class, terminals and label, and the rail-through is cut
// to its height, also when the after-load fix-up turns it.
#include "passives_bench.h"

#include "components/battery.h"
#include "components/capacitor.h"
#include "components/ecapacitor.h"
#include "components/earth.h"
#include "components/fuse.h"
#include "components/inductor.h"
#include "components/railthru.h"
#include "components/resistor.h"
#include "components/transformer.h"
#include "components/voltrail.h"
#include "components/vresistor.h"
#include "components/vslide.h"
#include "model/parts/part_records.h"

#include "tests/components/component_archive.h"

#include <gtest/gtest.h>

#include <memory>

namespace {


template <class T>
std::unique_ptr<T> Built()
{
    EnsureTextGuiApp();
    auto p = std::make_unique<T>();
    p->m_rect.SetRect(40, 60, 40, 60);
    p->Initialise();
    return p;
}

template <class T>
void RoundTrip(const char* name)
{
    auto p = Built<T>();
    const Bytes b = WriteOne(p.get(), kCurrentVersion);
    auto q = ReadOne(b, kCurrentVersion);
    ASSERT_NE(q, nullptr) << name;
    EXPECT_TRUE(q->GetRuntimeClass()->IsNamed(name));
    EXPECT_EQ(q->m_rect, p->m_rect) << name;
    EXPECT_EQ(q->GetTerminalCount(), p->GetTerminalCount()) << name;
    for (int i = 0; i < p->GetTerminalCount(); ++i)
        EXPECT_EQ(q->GetTerminal(i)->GetPinPoint(), p->GetTerminal(i)->GetPinPoint()) << name << i;
    EXPECT_DOUBLE_EQ(LabelValue(q.get(), true), LabelValue(p.get(), true)) << name;
    // A read record writes the same bytes again (a fresh label's text
    // flags differ from a loaded one's, so the first write may differ).
    const Bytes again = WriteOne(q.get(), kCurrentVersion);
    auto r = ReadOne(again, kCurrentVersion);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(WriteOne(r.get(), kCurrentVersion), again) << name;
}

TEST(PassivesArchive, EveryPartReadsBackToItself)
{
    RoundTrip<CResistor>("CResistor");
    RoundTrip<CVResistor>("CVResistor");
    RoundTrip<CFuse>("CFuse");
    RoundTrip<CCapacitor>("CCapacitor");
    RoundTrip<CECapacitor>("CECapacitor");
    RoundTrip<CInductor>("CInductor");
    RoundTrip<CTransformer>("CTransformer");
    RoundTrip<CBattery>("CBattery");
    RoundTrip<CVoltRail>("CVoltRail");
    RoundTrip<CVSlide>("CVSlide");
    RoundTrip<CEarth>("CEarth");
    RoundTrip<CRailThru>("CRailThru");
}

TEST(PassivesArchive, CapacitorKeepsItsCharge)
{
    // 1 uF charged to 5 V holds 5e-6 C; the record ends with it.
    auto c = Built<CCapacitor>();
    c->m_dCharge = 5e-6;
    c->m_wStateWord = 3;
    const Bytes b = WriteOne(c.get(), kCurrentVersion);
    double tail = 0.0;
    std::memcpy(&tail, b.data() + b.size() - sizeof tail, sizeof tail);
    EXPECT_EQ(tail, 5e-6);
    auto q = ReadOne(b, kCurrentVersion);
    auto* back = dynamic_cast<CCapacitor*>(q.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_dCharge, 5e-6);
    EXPECT_EQ(back->m_wStateWord, 0);
    EXPECT_NEAR(back->m_dCharge / back->GetCapacitance(), 5.0, 1e-12);
}

TEST(PassivesArchive, RailThroughIsCutToEightPixelsHigh)
{
    auto r = Built<CRailThru>();
    r->m_rect.top -= 10;
    auto q = ReadOne(WriteOne(r.get(), kCurrentVersion), kCurrentVersion);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->m_rect.Height(), 8);
    EXPECT_EQ(q->m_rect.bottom, r->m_rect.bottom);
}

// Read as a design is: the record, then the after-load fix-ups.
std::unique_ptr<CComponent> Loaded(const Bytes& b)
{
    auto p = ReadOne(b, kCurrentVersion);
    if (p) p->AfterLoad(nullptr, 0, kCurrentVersion);
    return p;
}

TEST(PassivesArchive, RailThroughTurnedOnLoadingKeepsItsRectangle)
{
    // A record in an orientation the part cannot be drawn in (7) with a
    // tall rectangle: read, it is not cut (odd), then the fix-up turns it to
    // 0, 32 x 48.  The first load must leave what a second one leaves.
    auto r = Built<CRailThru>();
    r->m_nOrientation = 7;
    r->m_rect.SetRect(80, 80, 128, 112);
    auto first = Loaded(WriteOne(r.get(), kCurrentVersion));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetOrientation(), 0);
    EXPECT_EQ(first->m_rect.Height(), 8);
    const Bytes saved = WriteOne(first.get(), kCurrentVersion);
    auto second = Loaded(saved);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_rect, first->m_rect);
    EXPECT_EQ(WriteOne(second.get(), kCurrentVersion), saved);
}

} // namespace
