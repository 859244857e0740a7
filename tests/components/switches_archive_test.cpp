// Records of the switches, relays and their controls: every part reads back
// to its class, pins, state and control (whose operated part is the part
// read), and a read record writes the same bytes again.
#include "switches_bench.h"

#include "components/dpdt.h"
#include "components/dpst.h"
#include "components/key.h"
#include "components/pushbreak.h"
#include "components/pushmake.h"
#include "components/relaydpdt.h"
#include "components/relayspdt.h"
#include "components/spdt.h"
#include "components/spst.h"
#include "components/toggle.h"
#include "model/parts/part_records.h"
#include "tests/components/component_archive.h"

#include <memory>

namespace {


template <class T>
void RoundTrip(int state)
{
    EnsureTextGuiApp();
    auto p = std::make_unique<T>();
    const char* name = p->GetRuntimeClass()->m_lpszClassName;
    p->m_rect.SetRect(40, 60, 40, 60);
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    p->m_wStateWord = static_cast<WORD>(state);
    const Bytes bytes = WriteOne(p.get(), kCurrentVersion);
    auto q = ReadOne(bytes, kCurrentVersion);
    ASSERT_NE(q, nullptr) << name;
    EXPECT_TRUE(q->GetRuntimeClass()->IsNamed(name));
    EXPECT_EQ(q->m_rect, p->m_rect) << name;
    EXPECT_EQ(q->GetOrientation(), p->GetOrientation()) << name;
    EXPECT_EQ(q->m_wStateWord, state) << name;
    ASSERT_EQ(q->GetTerminalCount(), p->GetTerminalCount()) << name;
    for (int i = 0; i < p->GetTerminalCount(); ++i)
        EXPECT_EQ(q->GetTerminal(i)->GetPinPoint(), p->GetTerminal(i)->GetPinPoint()) << name << i;
    CToggle* before = ControlOf<CToggle>(p.get());
    CToggle* after = ControlOf<CToggle>(q.get());
    ASSERT_EQ(before == nullptr, after == nullptr) << name;
    if (after) {
        EXPECT_EQ(after->GetRuntimeClass(), before->GetRuntimeClass()) << name;
        EXPECT_EQ(after->GetOperated(), q.get()) << name;
        EXPECT_EQ(after->m_rect, before->m_rect) << name;
    }
    EXPECT_EQ(WriteOne(q.get(), kCurrentVersion), bytes) << name;
}

TEST(SwitchesArchive, EveryPartReadsBackWithItsStateAndControl)
{
    RoundTrip<CSPST>(1);
    RoundTrip<CSPDT>(1);
    RoundTrip<CDPST>(0);
    RoundTrip<CDPDT>(1);
    RoundTrip<CPushMake>(0);
    RoundTrip<CPushBreak>(1);
    RoundTrip<CRelaySPDT>(1);
    RoundTrip<CRelayDPDT>(0);
}

TEST(SwitchesArchive, ALeverKeepsItsStateAndLook)
{
    EnsureTextGuiApp();
    CSPST owner;
    CToggle lever(2, &owner, 0);
    lever.SetState(1);
    const Bytes bytes = WriteOne(&lever, kCurrentVersion);
    std::unique_ptr<CToggle> back;
    {
        CArchive ar(bytes);
        ar.SetVersion(kCurrentVersion);
        back.reset(dynamic_cast<CToggle*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    }
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetState(), 1);
    // The operated part was never written: the reference reads as none.
    EXPECT_EQ(back->GetOperated(), nullptr);
    EXPECT_EQ(back->m_rect, lever.m_rect);
    // With no operated part a release flips the lever and reports nothing.
    EXPECT_EQ(back->OnRelease(nullptr, 0, 0), 1);
    EXPECT_EQ(back->GetState(), 0);
}

} // namespace
