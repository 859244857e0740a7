// The panels bound to a flowchart by name: monitors show whether it runs
// and its variables, display boxes collect what is printed and drop their
// oldest lines, input boxes take a typed number for the start that armed
// them.  Their records round-trip and damaged ones are refused.
#include "flow_start_support.h"
#include "flowchart/flow_inputbox.h"
#include "flowchart/flow_monitor.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_wait.h"
#include "flowchart/flow_writebox.h"
#include "flowchart/panel_buttons.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A panel placed in the bench design like any part.
template <class T>
T* AddPanel(GuiBench& b, int x, int y, const CString& flowchart)
{
    auto* p = new T;
    p->m_rect.OffsetRect(x, y);
    p->m_pCircuit = &b.d;
    p->Initialise();
    b.d.AddChild(p);
    p->m_strFlowchart = flowchart;
    return p;
}

// start -> wait -> stop.
struct Chart {
    CFlowStart* start;
    CFlowWait* wait;
    CFlowStop* stop;
    explicit Chart(GuiBench& b)
    {
        start = b.Add<CFlowStart>(100, 40);
        wait = b.Add<CFlowWait>(100, 120);
        stop = b.Add<CFlowStop>(100, 220);
        b.Join(start->GetOutputTerminal(), wait->GetTerminal(0));
        b.Join(wait->GetOutputTerminal(), stop->GetTerminal(0));
        wait->m_parameter.SetValue(0.5, kPrefixNone);
        wait->UpdateCaption();
    }
};

Bytes WriteOne(CObject* part, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

template <class T>
std::unique_ptr<T> ReadOne(const Bytes& data, WORD version)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    std::unique_ptr<T> out(dynamic_cast<T*>(p.get()));
    if (out) p.release();
    return out;
}

TEST(FlowPanels, MonitorLinesFollowTheValues)
{
    EnsureGuiApp();
    CMonitor m;
    const CMonitor::Entry table[] = {{"x", 5}, {"unset", -1}, {"big", -2}, {"small", -10}, {"odd", -7}, {"zero", 0}};
    m.Update(table, 6, true);
    EXPECT_EQ(m.m_strPanelText,
              "Monitoring Flowchart 1 : Running \n\nx : 5\nbig : ++++\nsmall : ----\nodd : \nzero : 0");
    EXPECT_EQ(m.m_bRunning, 1);
    EXPECT_EQ(m.rtf.text, m.m_strPanelText);
    m.Update(table, 1, false);
    EXPECT_EQ(m.m_strPanelText, "Monitoring Flowchart 1 : Stopped\n\nx : 5");
    m.Update(nullptr, 0, false);
    EXPECT_EQ(m.m_strPanelText, "Monitoring Flowchart 1 : Stopped\n");
}

TEST(FlowPanels, AFullMonitorEndsInMore)
{
    EnsureGuiApp();
    CMonitor m;
    std::vector<CMonitor::Entry> table;
    for (int i = 0; i < 40; ++i) table.push_back({"v" + std::to_string(i), i});
    m.Update(table.data(), static_cast<int>(table.size()), true);
    const CString& t = m.m_strPanelText;
    EXPECT_EQ(t.rfind("Monitoring Flowchart 1 : Running \n\nv0 : 0\n", 0), 0u);
    EXPECT_EQ(t.substr(t.size() - 8), "\nmore ..");
    EXPECT_FALSE(m.TooLong(t));
    // Only the last lines went: what is shown runs v0, v1, ... in order.
    const size_t shown = static_cast<size_t>(std::count(t.begin(), t.end(), '\n')) - 2;
    ASSERT_GT(shown, 1u);
    ASSERT_LT(shown, 40u);
    EXPECT_NE(t.find("v" + std::to_string(shown - 1) + " : "), CString::npos);
    EXPECT_EQ(t.find("v" + std::to_string(shown) + " : "), CString::npos);
}

TEST(FlowPanels, AMonitorFollowsItsFlowchartByName)
{
    // Rate 20: the run reaches the stop in pass 15 (start 4 + 1, wait 10).
    GuiBench b;
    Chart c(b);
    auto* bound = AddPanel<CMonitor>(b, 300, 40, "flowchart 1");
    auto* other = AddPanel<CMonitor>(b, 300, 200, "Elsewhere");
    const CString otherText = other->m_strPanelText;
    b.Reset();
    b.d.SetUpdateRate(20.0);
    Press(c.start, b.d);
    EXPECT_EQ(bound->m_strPanelText, "Monitoring flowchart 1 : Running \n");
    c.start->SetVariable("count", 3);
    c.start->SetVariable("x", 250);
    EXPECT_EQ(bound->m_strPanelText, "Monitoring flowchart 1 : Running \n\ncount : 3\nx : 250");
    int passes = 0;
    while (!c.stop->m_bStopped && passes < 100) {
        b.Run();
        ++passes;
    }
    EXPECT_EQ(passes, 15);
    EXPECT_EQ(bound->m_strPanelText, "Monitoring flowchart 1 : Stopped\n\ncount : 3\nx : 250");
    EXPECT_EQ(bound->m_bRunning, 0);
    EXPECT_EQ(other->m_strPanelText, otherText);

    // Bound to the flowchart again by its properties: the start sends its
    // table at once.
    CControlItemList items(0);
    other->FillProperties(items);
    EXPECT_EQ(other->OnPropertyCommand(36053, "Flowchart 1"), 65);
    EXPECT_EQ(other->m_strPanelText, "Monitoring Flowchart 1 : Stopped\n\ncount : 3\nx : 250");
    CString info;
    other->BuildInfo(info, 0, CPoint());
    EXPECT_EQ(info, "Monitoring Flowchart 1");
}

TEST(FlowPanels, DisplayBoxKeepsItsTitleAndDropsOldLines)
{
    GuiBench b;
    Chart c(b);
    auto* box = AddPanel<CWriteBox>(b, 300, 40, "Flowchart 1");
    b.Reset();
    Press(c.start, b.d);
    EXPECT_EQ(box->m_strPanelText, "Flowchart 1 Output\n\n");
    c.start->SetVariable("n", 42);
    c.start->WriteText("n is ");
    c.start->WriteValue("n");
    c.start->WriteText("\n");
    EXPECT_EQ(box->m_strPanelText, "Flowchart 1 Output\n\nn is 42\n");
    for (int i = 0; i < 60; ++i) c.start->WriteText("line " + std::to_string(i) + "\n");
    const CString& t = box->m_strPanelText;
    EXPECT_EQ(t.rfind("Flowchart 1 Output\n\n", 0), 0u);
    EXPECT_FALSE(box->TooLong(t));
    EXPECT_NE(t.find("line 59\n"), CString::npos);
    EXPECT_EQ(t.find("n is 42"), CString::npos);
    EXPECT_EQ(t.find("line 0\n"), CString::npos);
    // What is left runs from some line k to 59 without a gap.
    const size_t first = t.find("line ");
    ASSERT_NE(first, CString::npos);
    int k = std::stoi(t.substr(first + 5));
    for (int i = k; i < 60; ++i) EXPECT_NE(t.find("line " + std::to_string(i) + "\n"), CString::npos) << i;
    CString info;
    box->BuildInfo(info, 0, CPoint());
    EXPECT_EQ(info, "Flowchart 1 Output");

    // A new run clears the box to its title.
    Press(c.start, b.d);
    EXPECT_EQ(box->m_strPanelText, "Flowchart 1 Output\n\n");
}

TEST(FlowPanels, DisplayBoxFitsByHalvingAsByDroppingOneLineAtATime)
{
    // Random printed texts (short and long lines, blank lines, with and
    // without a last line break) in boxes of several sizes: halving keeps
    // exactly what dropping the oldest line one at a time keeps.
    GuiBench b;
    auto* fast = AddPanel<CWriteBox>(b, 300, 40, "Flowchart 1");
    auto* slow = AddPanel<CWriteBox>(b, 300, 400, "Flowchart 1");
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        const int w = 40 + static_cast<int>(rng() % 200), h = 20 + static_cast<int>(rng() % 120);
        fast->m_rect.right = fast->m_rect.left + w;
        fast->m_rect.bottom = fast->m_rect.top + h;
        slow->m_rect.right = slow->m_rect.left + w;
        slow->m_rect.bottom = slow->m_rect.top + h;
        CString text = fast->Title();
        const int lines = static_cast<int>(rng() % 40);
        for (int i = 0; i < lines; ++i) {
            text += CString(rng() % 30, static_cast<char>('a' + rng() % 26));
            if (i + 1 < lines || rng() % 2) text += "\n";
        }
        fast->m_strPanelText = slow->m_strPanelText = text;
        fast->Fit();
        slow->FitOneLineAtATime();
        EXPECT_EQ(fast->m_strPanelText, slow->m_strPanelText) << "round " << round;
    }
    // A file can fill a narrow box with thousands of one-letter lines.
    fast->m_rect.right = fast->m_rect.left + 4;
    CString many = fast->Title();
    for (int i = 0; i < 4000; ++i) many += "x\n";
    fast->m_strPanelText = many;
    fast->Fit();
    EXPECT_EQ(fast->m_strPanelText.rfind(fast->Title(), 0), 0u);
    EXPECT_LT(fast->m_strPanelText.size(), many.size());
}

TEST(FlowPanels, RenamingTheDisplayBoxFlowchartResetsItsText)
{
    GuiBench b;
    Chart c(b);
    auto* box = AddPanel<CWriteBox>(b, 300, 40, "Flowchart 1");
    b.Reset();
    Press(c.start, b.d);
    c.start->WriteText("hello\n");
    CControlItemList items(0);
    box->FillProperties(items);
    EXPECT_EQ(box->OnPropertyCommand(36053, "Flowchart 2"), 65);
    EXPECT_EQ(box->m_strPanelText, "Flowchart 2 Output\n\n");
    EXPECT_EQ(box->rtf.text, "Flowchart 2 Output\n\n");
    // The same name again keeps the printed lines and renews the title.
    box->m_strPanelText = "Flowchart 2 Output\n\nkept\n";
    box->FillProperties(items);
    box->RefreshText(0);
    EXPECT_EQ(box->m_strPanelText, "Flowchart 2 Output\n\nkept\n");
}

TEST(FlowPanels, PropertyItems)
{
    GuiBench b;
    Chart c(b);
    auto* second = b.Add<CFlowStart>(500, 40);
    ASSERT_EQ(second->m_strName, "Flowchart 2");
    auto* box = AddPanel<CWriteBox>(b, 300, 40, "Flowchart 1");
    auto* mon = AddPanel<CMonitor>(b, 300, 200, "Flowchart 1");
    auto* input = AddPanel<CInputBox>(b, 300, 400, "Flowchart 1");
    struct Row {
        int type, id, width;
        const char* label;
    };
    struct Case {
        CPart* part;
        std::vector<Row> rows;
        int bitmap;
    } cases[] = {
        {box, {{CI_DROPLIST, 36053, 120, "Flowchart 1\nFlowchart 2"}, {CI_SEPARATOR, 0, -1, ""}, {CI_STATIC, 36052, 40, "Output"}, {CI_TOOLBUTTON, 33899, -1, ""}}, 602},
        {mon, {{CI_STATIC, 36052, 40, "Monitor"}, {CI_DROPLIST, 36053, 120, "Flowchart 1\nFlowchart 2"}, {CI_SEPARATOR, 0, -1, ""}, {CI_TOOLBUTTON, 33892, -1, ""}}, 459},
        {input, {{CI_STATIC, 36052, 55, "Submits to "}, {CI_DROPLIST, 36053, 120, "Flowchart 1\nFlowchart 2"}, {CI_SEPARATOR, 0, -1, ""}, {CI_TOOLBUTTON, 33872, -1, ""}}, 584},
    };
    for (const Case& k : cases) {
        CControlItemList items(0);
        const int before = items.GetCount();
        k.part->FillProperties(items);
        ASSERT_EQ(items.GetCount(), before + 4);
        for (size_t i = 0; i < k.rows.size(); ++i) {
            const CControlItem& it = items[before + static_cast<int>(i)];
            EXPECT_EQ(it.type, k.rows[i].type) << i;
            EXPECT_EQ(it.id, k.rows[i].id) << i;
            if (k.rows[i].width > 0) {
                EXPECT_EQ(it.width, k.rows[i].width) << i;
            }
            if (*k.rows[i].label) {
                EXPECT_EQ(it.label, k.rows[i].label) << i;
            }
        }
        k.part->GetPropertyTexts(items);
        EXPECT_EQ(items[items.FindById(36053)].label.empty(), false);
        EXPECT_EQ(k.part->GetPropertyBitmap(k.rows.back().id), k.bitmap);
    }
}

TEST(FlowPanels, InputBoxTakesTheTypedNumber)
{
    struct Case {
        const char* typed;
        int stored;
    } cases[] = {{"12abc", 12}, {"abc", 0}, {"  7", 7}, {"250", 250}};
    for (const Case& k : cases) {
        GuiBench b;
        Chart c(b);
        auto* box = AddPanel<CInputBox>(b, 300, 40, "FLOWCHART 1");
        b.Reset();
        EXPECT_FALSE(box->IsArmed());
        EXPECT_EQ(box->flags, kInputBoxDisarmed);
        ASSERT_NE(box->GetSubmitButton(), nullptr);
        EXPECT_FALSE(box->GetSubmitButton()->IsEnabled());

        ASSERT_EQ(c.start->RequestInput(), 1);
        EXPECT_TRUE(box->IsArmed());
        EXPECT_EQ(box->flags, kInputBoxArmed);
        EXPECT_TRUE(box->GetSubmitButton()->IsEnabled());
        EXPECT_EQ(c.start->m_bPendingRequest, 1);

        box->CText::SetText(k.typed);
        // The submit button: down, then up.
        CFlowSubmitButton* button = box->GetSubmitButton();
        const CPoint at = button->m_rect.CenterPoint();
        button->OnPress(&b.d, at.x, at.y);
        EXPECT_TRUE(box->IsArmed()) << k.typed;
        button->OnRelease(&b.d, at.x, at.y);
        EXPECT_FALSE(box->IsArmed()) << k.typed;
        EXPECT_EQ(c.start->m_bPendingRequest, 0);
        EXPECT_EQ(static_cast<int>(c.start->m_nPendingValue), k.stored) << k.typed;
        EXPECT_EQ(box->rtf.text, std::to_string(k.stored));
        EXPECT_EQ(box->m_strValue, std::to_string(k.stored));
        EXPECT_EQ(box->flags, kInputBoxDisarmed);
        EXPECT_FALSE(button->IsEnabled());
    }
}

TEST(FlowPanels, TheFirstOfTwoBoxesMeetsTheRequest)
{
    GuiBench b;
    Chart c(b);
    auto* one = AddPanel<CInputBox>(b, 300, 40, "Flowchart 1");
    auto* two = AddPanel<CInputBox>(b, 300, 100, "Flowchart 1");
    auto* stray = AddPanel<CInputBox>(b, 300, 160, "No such flowchart");
    b.Reset();
    ASSERT_EQ(c.start->RequestInput(), 2);
    EXPECT_TRUE(one->IsArmed());
    EXPECT_TRUE(two->IsArmed());
    EXPECT_FALSE(stray->IsArmed());
    two->CText::SetText("9");
    two->SetInputValue(&b.d, 0);
    EXPECT_EQ(c.start->m_nPendingValue, 9u);
    EXPECT_FALSE(one->IsArmed());
    EXPECT_FALSE(two->IsArmed());
    // A disarmed box ignores a late submit.
    one->CText::SetText("5");
    one->SetInputValue(&b.d, 0);
    EXPECT_EQ(c.start->m_nPendingValue, 9u);

    // Another mode shows the number and disarms without submitting.
    c.start->RequestInput();
    one->CText::SetText("31x");
    one->SetInputValue(&b.d, 2);
    EXPECT_FALSE(one->IsArmed());
    EXPECT_EQ(one->rtf.text, "31");
    EXPECT_EQ(c.start->m_bPendingRequest, 1);
    EXPECT_EQ(c.start->m_nPendingValue, 9u);

    // Pressing the start releases the boxes and the request.
    EXPECT_TRUE(two->IsArmed());
    Press(c.start, b.d);
    EXPECT_FALSE(two->IsArmed());
    EXPECT_EQ(c.start->m_bPendingRequest, 0);
}

TEST(FlowPanels, BoxesBoundToNoFlowchartAreNeverArmed)
{
    GuiBench b;
    Chart c(b);
    auto* box = AddPanel<CInputBox>(b, 300, 40, "Flowchart 7");
    b.Reset();
    EXPECT_EQ(c.start->RequestInput(), 0);
    EXPECT_EQ(c.start->m_bPendingRequest, 0);
    EXPECT_FALSE(box->IsArmed());
    CString info;
    box->OnPropertyCommand(36053, "");
    box->BuildInfo(info, 0, CPoint());
    EXPECT_EQ(info, "Submits to  ");
    box->OnPropertyCommand(36053, "Flowchart 1");
    box->BuildInfo(info, 0, CPoint());
    EXPECT_EQ(info, "Submits to Flowchart 1");
    EXPECT_EQ(c.start->RequestInput(), 1);
}

TEST(FlowPanels, RecordsRoundTrip)
{
    EnsureGuiApp();
    CMonitor m;
    m.m_strFlowchart = "Lights";
    m.m_strPanelText = "Monitoring Lights : Running \n\nx : 1";
    m.m_strPrevName = "Old";
    m.m_strReserved = "r";
    m.m_bRunning = 1;
    auto mb = ReadOne<CMonitor>(WriteOne(&m, kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(mb);
    EXPECT_EQ(mb->m_strFlowchart, "Lights");
    EXPECT_EQ(mb->m_strPanelText, m.m_strPanelText);
    EXPECT_EQ(mb->m_strPrevName, "Old");
    EXPECT_EQ(mb->m_strReserved, "r");
    EXPECT_EQ(mb->m_bRunning, 1);
    EXPECT_EQ(mb->m_bMonitor, 1);

    CWriteBox w;
    w.m_strFlowchart = "Lights";
    w.m_strPanelText = "Lights Output\n\nhello\n";
    auto wb = ReadOne<CWriteBox>(WriteOne(&w, kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(wb);
    EXPECT_EQ(wb->m_strPanelText, w.m_strPanelText);
    EXPECT_EQ(wb->m_bMonitor, 0);

    CInputBox in;
    in.m_strFlowchart = "Lights";
    in.RefreshText();
    in.m_strValue = "12";
    in.m_strReserved = "z";
    auto ib = ReadOne<CInputBox>(WriteOne(&in, kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(ib);
    EXPECT_EQ(ib->m_strFlowchart, "Lights");
    EXPECT_EQ(ib->m_strLabel, "Submits to Lights");
    EXPECT_EQ(ib->m_strValue, "12");
    EXPECT_EQ(ib->m_strReserved, "z");
    EXPECT_FALSE(ib->IsArmed());
}

TEST(FlowPanels, TheMonitorFlagFollowsTheVersion)
{
    // The monitor's flag is in files from 0x10B3 / 0x20B6 on (4 bytes more
    // than the revision before); a display box always has it.
    EnsureGuiApp();
    struct Case {
        WORD before, from;
    } cases[] = {{0x10B2, 0x10B3}, {0x20B5, 0x20B6}};
    for (const Case& k : cases) {
        CMonitor m;
        m.m_strFlowchart = "A";
        CWriteBox w;
        w.m_strFlowchart = "A";
        const Bytes mOld = WriteOne(&m, k.before), mNew = WriteOne(&m, k.from);
        const Bytes wOld = WriteOne(&w, k.before), wNew = WriteOne(&w, k.from);
        EXPECT_EQ(mNew.size(), mOld.size() + 4) << k.from;
        EXPECT_EQ(wNew.size(), wOld.size()) << k.from;
        for (auto [bytes, version] : {std::pair{mOld, k.before}, std::pair{mNew, k.from}}) {
            auto back = ReadOne<CMonitor>(bytes, version);
            ASSERT_TRUE(back);
            EXPECT_EQ(back->m_bMonitor, 1);
            EXPECT_EQ(back->m_strFlowchart, "A");
        }
        auto wBack = ReadOne<CWriteBox>(wOld, k.before);
        ASSERT_TRUE(wBack);
        EXPECT_EQ(wBack->m_bMonitor, 0);
    }
}

TEST(FlowPanels, TruncatedRecordsThrowAndLeakNothing)
{
    EnsureGuiApp();
    CMonitor m;
    CWriteBox w;
    CInputBox in;
    for (CObject* part : std::initializer_list<CObject*>{&m, &w, &in}) {
        const Bytes bytes = WriteOne(part, kCurrentVersion);
        int thrown = 0;
        for (size_t cut = 1; cut < bytes.size(); cut += 7) {
            Bytes piece(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() - cut));
            CArchive ar(piece);
            ar.SetVersion(kCurrentVersion);
            try {
                std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
            } catch (const CException&) {
                ++thrown;
            }
        }
        EXPECT_GT(thrown, 0);
    }
}

TEST(FlowPanels, OldMonitorClassNameMakesAMonitor)
{
    // Archives that name the older class load a monitor.
    const CRuntimeClass* old = CRuntimeClass::FromName("CMonitorVar");
    ASSERT_NE(old, nullptr);
    std::unique_ptr<CObject> o(old->CreateObject());
    ASSERT_TRUE(o);
    EXPECT_STREQ(o->GetRuntimeClass()->m_lpszClassName, "CMonitor");
}

} // namespace
