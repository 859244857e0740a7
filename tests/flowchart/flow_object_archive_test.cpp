// The element record: every field round-trips, the last two are read only
// from files of revision 0xB3 (family 1) or 0xB1 (family 2) on, and a
// malformed record is refused by the archive without a crash.
#include "flow_support.h"
#include "flowchart/meter_message.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WriteOne(CObject* part, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

std::unique_ptr<CTestFlowStep> ReadOne(const Bytes& data, WORD version)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CTestFlowStep> p(dynamic_cast<CTestFlowStep*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}

// A step with every field away from its default.
std::unique_ptr<CTestFlowStep> FilledStep(bool withChildren = true)
{
    auto s = std::make_unique<CTestFlowStep>();
    s->m_rect.SetRect(10, 20, 10, 20);
    if (withChildren) s->Initialise();
    s->m_nBusy = 3;
    s->m_bFinishing = 1;
    s->m_dSpare = 0.25;
    s->m_parameter.SetValue(1.5, 4);
    s->m_strCaption = "Wait 1.5";
    s->m_strName = "main";
    s->m_nResetHold = 2;
    s->m_nStepsLeft = 7;
    s->m_bActive = 1;
    s->m_strChoices = "On\nOff";
    s->m_nReserved = 0;
    s->m_strMessageTag = "tag \xE9";
    s->m_bResetRequested = 1;
    s->m_nErrorCode = 12;
    s->m_nBlink = 5;
    s->m_bErrorShown = 1;
    s->m_bInputLatch = 1;
    s->m_nShownState = 1;
    return s;
}

TEST(FlowObjectArchive, RoundTripKeepsEveryField)
{
    auto s = FilledStep();
    const Bytes bytes = WriteOne(s.get(), kCurrentVersion);
    auto back = ReadOne(bytes, kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nBusy, 3);
    EXPECT_EQ(back->m_bFinishing, 1);
    EXPECT_DOUBLE_EQ(back->m_dSpare, 0.25);
    EXPECT_EQ(back->m_parameter.Format(), s->m_parameter.Format());
    EXPECT_DOUBLE_EQ(back->m_parameter.value, s->m_parameter.value);
    EXPECT_EQ(back->m_strCaption, "Wait 1.5");
    EXPECT_EQ(back->m_strName, "main");
    EXPECT_EQ(back->m_nResetHold, 2);
    EXPECT_EQ(back->m_nStepsLeft, 7);
    EXPECT_EQ(back->m_bActive, 1);
    EXPECT_EQ(back->m_strChoices, "On\nOff");
    EXPECT_EQ(back->m_strMessageTag, "tag \xE9");
    EXPECT_EQ(back->m_bResetRequested, 1);
    EXPECT_EQ(back->m_nErrorCode, 12);
    EXPECT_EQ(back->m_nBlink, 5);
    EXPECT_EQ(back->m_bErrorShown, 1);
    EXPECT_EQ(back->m_bInputLatch, 1);
    EXPECT_EQ(back->m_nShownState, 1);
    EXPECT_EQ(back->GetTerminalCount(), 2);
    ASSERT_NE(back->GetMessageLabel(), nullptr);
    EXPECT_EQ(back->GetMessageLabel()->GetShownText(), "step");
    // Written again, the record is the same bytes.
    const Bytes again = WriteOne(back.get(), kCurrentVersion);
    ASSERT_EQ(again.size(), bytes.size());
    size_t firstDiff = 0;
    while (firstDiff < bytes.size() && bytes[firstDiff] == again[firstDiff]) ++firstDiff;
    EXPECT_EQ(firstDiff, bytes.size());
}

// Old files lack the input latch and the shown state, and the program
// writes them only where it reads them: a record written at an old version
// word reads to its end and writes again to the same bytes.
struct VersionCase {
    WORD version;
    bool hasLast;
};
class FlowObjectVersions : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FlowObjectVersions, LastTwoFieldsFollowTheVersion)
{
    for (bool withChildren : {false, true}) {
        auto s = FilledStep(withChildren);
        const Bytes bytes = WriteOne(s.get(), GetParam().version);
        auto back = ReadOne(bytes, GetParam().version);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->m_bInputLatch, GetParam().hasLast ? 1 : 0);
        EXPECT_EQ(back->m_nShownState, GetParam().hasLast ? 1 : 0);
        EXPECT_EQ(back->m_strCaption, "Wait 1.5");
        EXPECT_EQ(WriteOne(back.get(), GetParam().version), bytes) << (withChildren ? "with children" : "bare");
    }
}

INSTANTIATE_TEST_SUITE_P(Gates, FlowObjectVersions,
                         ::testing::Values(VersionCase{0x10B2, false}, VersionCase{0x10B3, true},
                                           VersionCase{0x20B0, false}, VersionCase{0x20B1, true},
                                           VersionCase{0x20B8, true}, VersionCase{0x1050, false}));

TEST(FlowObjectArchive, OwnersAreBackReferences)
{
    // A head written before its element: the element's owner is read back
    // as the same object.  An owner written after the element is written
    // as null (no reference to an object not yet written).
    FlowBench b;
    auto* head = b.Add<CTestFlowHead>(100, 40);
    auto* s = b.Add<CTestFlowStep>(100, 120);
    s->m_pFlowStart = head;
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(head);
    ar.WriteObject(s);
    CArchive in(ar.GetBuffer());
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> h(in.ReadNewObject(RUNTIME_CLASS(CPart)));
    std::unique_ptr<CObject> e(in.ReadNewObject(RUNTIME_CLASS(CPart)));
    auto* step = dynamic_cast<CTestFlowStep*>(e.get());
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->m_pFlowStart, h.get());
    EXPECT_EQ(step->m_pSubStart, nullptr);

    // The other order: the owner is not written yet, so it is null.
    CArchive ar2;
    ar2.SetVersion(kCurrentVersion);
    ar2.WriteObject(s);
    CArchive in2(ar2.GetBuffer());
    in2.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> e2(in2.ReadNewObject(RUNTIME_CLASS(CPart)));
    ASSERT_NE(dynamic_cast<CTestFlowStep*>(e2.get()), nullptr);
    EXPECT_EQ(dynamic_cast<CTestFlowStep*>(e2.get())->m_pFlowStart, nullptr);
}

TEST(FlowObjectArchive, TruncatedRecordsThrowAndLeakNothing)
{
    auto s = FilledStep();
    const Bytes bytes = WriteOne(s.get(), kCurrentVersion);
    for (size_t cut = 1; cut < bytes.size(); cut += 7) {
        Bytes part(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() - cut));
        CArchive ar(part);
        ar.SetVersion(kCurrentVersion);
        try {
            std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
        } catch (const CException&) {
        }
    }
}

TEST(FlowObjectArchive, KeptRunCountsAreSane)
{
    auto s = FilledStep();
    s->m_nStepsLeft = -50;
    s->m_nErrorCode = -7;
    s->m_nBlink = 99;
    auto back = ReadOne(WriteOne(s.get(), kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nStepsLeft, -1);
    EXPECT_EQ(back->m_nErrorCode, kFlowNoError);
    EXPECT_EQ(back->m_nBlink, 0);
}

} // namespace
