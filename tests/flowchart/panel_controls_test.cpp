// The panel controls: the meter message's fitting, tag and record, and the
// four buttons' pictures, places and presses.
#include "flow_support.h"
#include "flowchart/meter_message.h"
#include "flowchart/panel_buttons.h"
#include "model/display/visual.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A part that records what its controls report.
class CRecordingOwner : public CPart {
public:
    int SetInputValue(CPartTree*, int value) override
    {
        reports.push_back(value);
        return 1;
    }
    std::vector<int> reports;
};

TEST(FlowMeterMessage, BoxFollowsTheConstructor)
{
    CFlowMeterMessage m(100, 50, "Start", 72, 0, 3);
    EXPECT_EQ(m.m_rect, CRect(75, 45, 172, 59));
    EXPECT_EQ(m.side, 14);
    EXPECT_EQ(m.GetTag(), "Start");
    EXPECT_EQ(m.GetShownText(), "Start");
    EXPECT_EQ(m.GetValue(), 3);
    CFlowMeterMessage left(0, 0, "x", 40, 1, 0);
    EXPECT_EQ(left.side, 4);
    CFlowMeterMessage tall(10, 10, "y", 40, 30, true, 0);
    EXPECT_EQ(tall.m_rect, CRect(-15, 5, 50, 40));
}

TEST(FlowMeterMessage, FitTextKeepsAFittingTextAndShortensALongOne)
{
    ASSERT_TRUE(EnsureGuiApp());
    CCircuit d;
    CFlowMeterMessage m(100, 50, " ", 40, 0, 1);
    m.m_pCircuit = &d;
    m.SetTag("ab");
    m.FitText();
    EXPECT_EQ(m.GetShownText(), "ab");
    EXPECT_EQ(m.GetTag(), "ab");

    const CString longText(200, 'W');
    m.SetTag(longText);
    m.FitText();
    const CString shown = m.GetShownText();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.substr(shown.size() - 2), "..");
    EXPECT_LT(shown.size(), longText.size());
    EXPECT_FALSE(m.TextOverflows(shown.substr(0, shown.size() - 2)));
    // The tag keeps the whole text for the info bubble.
    EXPECT_EQ(m.GetTag(), longText);
    CString bubble;
    EXPECT_EQ(m.HasInfo(0, 0), 1);
    m.BuildInfo(bubble, 0, CPoint());
    EXPECT_EQ(bubble, longText);
}

TEST(FlowMeterMessage, NoTagNoInfo)
{
    CFlowMeterMessage m;
    EXPECT_EQ(m.HasInfo(0, 0), 0);
}

TEST(FlowMeterMessage, ShowMessageStoresTheTag)
{
    CFlowMeterMessage m(0, 0, "a", 40, 0, 0);
    m.ShowMessage("b", 0, "tag");
    EXPECT_EQ(m.GetShownText(), "b");
    EXPECT_EQ(m.GetTag(), "tag");
    m.ShowText("c", 0);
    EXPECT_EQ(m.GetTag(), "c");
}

// The value word is read and written from (4275, 8369) on: a record
// written at an older word reads to its end and writes again the same.
struct MessageVersion {
    WORD version;
    bool hasValue;
};
class FlowMeterMessageVersions : public ::testing::TestWithParam<MessageVersion> {};

TEST_P(FlowMeterMessageVersions, ValueFollowsTheVersion)
{
    CFlowMeterMessage m(10, 20, "Pin 3", 50, 0, 7);
    CArchive out;
    out.SetVersion(GetParam().version);
    out.WriteObject(&m);
    const Bytes bytes = out.GetBuffer();
    CArchive in(bytes);
    in.SetVersion(GetParam().version);
    std::unique_ptr<CObject> o(in.ReadNewObject(RUNTIME_CLASS(CPart)));
    auto* back = dynamic_cast<CFlowMeterMessage*>(o.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(in.BytesLeft(), 0u);
    EXPECT_EQ(back->GetValue(), GetParam().hasValue ? 7 : 0);
    EXPECT_EQ(back->GetTag(), "Pin 3");
    EXPECT_EQ(back->GetShownText(), "Pin 3");
    EXPECT_EQ(back->flags, m.flags);
    CArchive again;
    again.SetVersion(GetParam().version);
    again.WriteObject(back);
    EXPECT_EQ(again.GetBuffer(), bytes);
}

INSTANTIATE_TEST_SUITE_P(Gates, FlowMeterMessageVersions,
                         ::testing::Values(MessageVersion{4274, false}, MessageVersion{4275, true},
                                           MessageVersion{8368, false}, MessageVersion{8369, true},
                                           MessageVersion{kCurrentVersion, true}));

TEST(FlowMeterMessage, IsTheSignsMessageBox)
{
    const CRuntimeClass* rc = CRuntimeClass::FromName("CFlowMeterMessage");
    ASSERT_NE(rc, nullptr);
    std::unique_ptr<CObject> o(rc->CreateObject());
    auto* sign = dynamic_cast<CSignText*>(o.get());
    ASSERT_NE(sign, nullptr);
    sign->SetUp(CPoint(100, 200), 77, -2, "Hello", 50, 0, 0);
    EXPECT_EQ(static_cast<CFlowMeterMessage*>(o.get())->m_rect, CRect(152, 193, 227, 207));
}

// ---- buttons ----

struct ButtonCase {
    const char* cls;
    int bitmap, frames;
    CSize size;
    int initialState;
};
class FlowButtons : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(FlowButtons, PictureAndInitialState)
{
    const ButtonCase& c = GetParam();
    const CRuntimeClass* rc = CRuntimeClass::FromName(c.cls);
    ASSERT_NE(rc, nullptr);
    EXPECT_TRUE(rc->IsDerivedFrom("CKey"));
    std::unique_ptr<CObject> o(rc->CreateObject());
    auto* key = dynamic_cast<CKey*>(o.get());
    ASSERT_NE(key, nullptr);
    ASSERT_NE(key->m_pVisual, nullptr);
    EXPECT_EQ(key->m_pVisual->GetBitmapId(0), c.bitmap);
    EXPECT_EQ(key->m_pVisual->GetFrameCount(), c.frames);
    EXPECT_EQ(key->m_rect.Size(), c.size);
    EXPECT_EQ(key->m_wState, c.initialState);
    EXPECT_TRUE(key->m_pVisual->LoadFrames());
}

INSTANTIATE_TEST_SUITE_P(Buttons, FlowButtons,
                         ::testing::Values(ButtonCase{"CFlowStartButton", 553, 2, CSize(15, 15), 0},
                                           ButtonCase{"CFlowRecordButton", 585, 2, CSize(15, 15), 0},
                                           ButtonCase{"CFlowSubmitButton", 578, 3, CSize(15, 15), 2},
                                           ButtonCase{"CFlowMoreArrow", 603, 2, CSize(12, 12), 0}));

TEST(FlowButtonsPress, KeysReportPressAndRelease)
{
    CRecordingOwner owner;
    owner.m_rect.SetRect(100, 100, 212, 124);
    CFlowStartButton start(3, &owner);
    EXPECT_EQ(start.GetOperated(), &owner);
    EXPECT_EQ(start.OnPress(nullptr, 0, 0), 0);
    EXPECT_EQ(start.m_wState, 1);
    EXPECT_EQ(start.OnRelease(nullptr, 0, 0), 1);
    EXPECT_EQ(owner.reports, (std::vector<int>{1, 0}));
}

TEST(FlowButtonsPress, DisabledSubmitIgnoresPresses)
{
    CRecordingOwner owner;
    owner.m_rect.SetRect(100, 100, 212, 124);
    CFlowSubmitButton submit(1, &owner);
    EXPECT_FALSE(submit.IsEnabled());
    EXPECT_EQ(submit.OnPress(nullptr, 0, 0), 0);
    EXPECT_EQ(submit.OnRelease(nullptr, 0, 0), 1);
    EXPECT_TRUE(owner.reports.empty());
    EXPECT_EQ(submit.m_wState, 2);
    submit.SetEnabled(true, 0);
    EXPECT_EQ(submit.m_wState, 0);
    submit.OnPress(nullptr, 0, 0);
    submit.OnRelease(nullptr, 0, 0);
    EXPECT_EQ(owner.reports, (std::vector<int>{1, 0}));
    submit.SetEnabled(false, 0);
    EXPECT_EQ(submit.m_wState, 2);
}

TEST(FlowButtonsPress, ButtonsStandBesideTheirOwner)
{
    CRecordingOwner owner;
    owner.m_rect.SetRect(100, 100, 212, 124);
    const CFlowStartButton start(3, &owner);
    const CFlowRecordButton record(3, &owner);
    const CFlowMoreArrow more(1, &owner);
    // Left of the owner, the record button further left than the start
    // button by its own width; the arrow on the right, centred on the height.
    EXPECT_LE(start.m_rect.right, owner.m_rect.left + 12);
    EXPECT_EQ(start.m_rect.left - record.m_rect.left, record.m_rect.Width());
    EXPECT_GE(more.m_rect.left, owner.m_rect.right - 1);
    EXPECT_EQ(more.m_rect.top + more.m_rect.Height() / 2, owner.m_rect.top + owner.m_rect.Height() / 2);
}

TEST(FlowButtonsPress, RecordsRoundTrip)
{
    CRecordingOwner owner;
    CFlowSubmitButton submit(1, &owner);
    submit.SetEnabled(true, 0);
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(&submit);
    CArchive in(out.GetBuffer());
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> o(in.ReadNewObject(RUNTIME_CLASS(CPart)));
    auto* back = dynamic_cast<CFlowSubmitButton*>(o.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->m_wState, 0);
    EXPECT_EQ(back->m_rect, submit.m_rect);
    EXPECT_EQ(back->m_pVisual, submit.m_pVisual);
}

} // namespace

namespace {

TEST(FlowMeterMessage, EndingAnEditKeepsTheShownTextAndFitsAValuedOne)
{
    ASSERT_TRUE(EnsureGuiApp());
    CCircuit d;
    CFlowMeterMessage plain(0, 0, "Wait 1", 72, 0, 0);
    plain.m_pCircuit = &d;
    plain.ShowMessage("Wait 1", 0, "Error: something - E1");
    plain.EditInPlace(nullptr);
    EXPECT_EQ(plain.GetShownText(), "Wait 1");
    EXPECT_FALSE(CFlowMeterMessage::IsEndingEdit());

    CFlowMeterMessage valued(0, 0, " ", 30, 0, 1);
    valued.m_pCircuit = &d;
    valued.SetTag(CString(60, 'M'));
    valued.EditInPlace(nullptr);
    const CString shown = valued.GetShownText();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown.substr(shown.size() - 2), "..");
}

} // namespace
