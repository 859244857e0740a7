// The BASIC viewer: bound by name to a flowchart it shows the program in
// its dialect under a heading, follows edits of the elements, shows only
// its heading for a name no flowchart has, cuts a long program by whole
// lines into "more ..", and keeps its record.
#include "flow_start_support.h"
#include "flowchart/flow_basic_viewer.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_wait.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

CPBasicViewer* AddViewer(GuiBench& b, int x, int y)
{
    auto* v = new CPBasicViewer;
    v->m_rect.OffsetRect(x, y);
    v->m_pCircuit = &b.d;
    v->Initialise();
    b.d.AddChild(v);
    return v;
}

// start -> waits of the given seconds -> stop, checked by a reset.
CFlowStart* Chart(GuiBench& b, std::initializer_list<double> waits, std::vector<CFlowWait*>* made = nullptr)
{
    auto* start = b.Add<CFlowStart>(100, 40);
    CFlowObject* last = start;
    int y = 120;
    for (double s : waits) {
        auto* w = b.Add<CFlowWait>(100, y);
        w->m_parameter.SetValue(s, kPrefixNone);
        w->UpdateCaption();
        b.Join(last->GetOutputTerminal(), w->GetTerminal(0));
        last = w;
        y += 80;
        if (made) made->push_back(w);
    }
    b.Join(last->GetOutputTerminal(), b.Add<CFlowStop>(100, y)->GetTerminal(0));
    b.Reset();
    return start;
}

TEST(FlowBasicViewer, ANameNoFlowchartHasShowsTheHeadingAlone)
{
    GuiBench b;
    Chart(b, {0.5});
    CPBasicViewer* v = AddViewer(b, 400, 40);
    EXPECT_EQ(v->GetShownText(), "Flowchart 1 - BASIC C1\n\n");
    EXPECT_EQ(v->OnPropertyCommand(36053, "Nowhere"), 65);
    EXPECT_EQ(v->GetShownText(), "Nowhere - BASIC C1\n\n\n\n");
    CString info;
    v->BuildInfo(info, 0, CPoint());
    EXPECT_EQ(info, "Nowhere - BASIC C1");
    // An empty name is kept as a blank.
    v->OnPropertyCommand(36053, "");
    EXPECT_EQ(v->GetTargetName(), " ");
}

TEST(FlowBasicViewer, TheProgramInTheViewersDialect)
{
    GuiBench b;
    b.d.SetProgramLanguage("BASIC C1");
    const int language = b.d.m_nProgramLanguage;
    std::vector<CFlowWait*> waits;
    Chart(b, {0.5}, &waits);
    CPBasicViewer* v = AddViewer(b, 400, 40);
    v->OnPropertyCommand(36053, "Flowchart 1");
    EXPECT_EQ(v->GetShownText(), "Flowchart 1 - BASIC C1\n\nmain:    pause 500\n            end\n");
    EXPECT_EQ(v->OnPropertyCommand(36059, "BASIC C2"), 65);
    EXPECT_EQ(v->GetShownText(), "Flowchart 1 - BASIC C2\n\nmain:    wait 0.5000\n            end\n");
    // The design's own language is left as it was.
    EXPECT_EQ(b.d.m_nProgramLanguage, language);
    // An edited element shows at once.
    EXPECT_EQ(waits[0]->OnPropertyCommand(36053, "2"), 65);
    EXPECT_EQ(v->GetShownText(), "Flowchart 1 - BASIC C2\n\nmain:    wait 2.0000\n            end\n");
}

TEST(FlowBasicViewer, AFaultyFlowchartShowsTheExportsError)
{
    GuiBench b;
    auto* start = b.Add<CFlowStart>(100, 40);
    auto* w = b.Add<CFlowWait>(100, 120);
    b.Join(start->GetOutputTerminal(), w->GetTerminal(0));
    b.Reset();
    CPBasicViewer* v = AddViewer(b, 400, 40);
    v->OnPropertyCommand(36053, "Flowchart 1");
    EXPECT_EQ(v->GetShownText(), "Flowchart 1 - BASIC C1\n\nError: Flowchart has bad syntax - E101");
}

TEST(FlowBasicViewer, ALongProgramIsCutByWholeLines)
{
    GuiBench b;
    std::vector<CFlowWait*> waits;
    Chart(b, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, &waits);
    CString full;
    int code = -1;
    auto* start = dynamic_cast<CFlowStart*>(b.d.FindFlowStart("Flowchart 1"));
    ASSERT_NE(start, nullptr);
    start->ExportBasic(full, &code);
    full = "Flowchart 1 - BASIC C1\n\n" + full;
    CPBasicViewer* v = AddViewer(b, 400, 40);
    v->OnPropertyCommand(36053, "Flowchart 1");
    const CString shown = v->GetShownText();
    const CString more = "\nmore ..";
    ASSERT_GT(shown.size(), more.size());
    ASSERT_EQ(shown.substr(shown.size() - more.size()), more);
    // What stands before "more .." is the program up to a line's end.
    const CString kept = shown.substr(0, shown.size() - more.size());
    ASSERT_LT(kept.size(), full.size());
    EXPECT_EQ(full.substr(0, kept.size()), kept);
    EXPECT_EQ(full[kept.size()], '\n');
    EXPECT_NE(kept.find("main:    pause 1000"), CString::npos);
}

TEST(FlowBasicViewer, RecordRoundTripAndTruncation)
{
    EnsureGuiApp();
    CPBasicViewer v;
    v.m_strFlowchart = "Lights";
    v.m_strLanguage = "BASIC C2";
    v.m_strTitle = "Lights - BASIC C2";
    v.m_strShown = "Lights - BASIC C2\n\nmain:    end\n";
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(&v);
    const Bytes bytes = out.GetBuffer();
    {
        CArchive in(bytes);
        in.SetVersion(kCurrentVersion);
        std::unique_ptr<CObject> p(in.ReadNewObject(RUNTIME_CLASS(CPart)));
        auto* back = dynamic_cast<CPBasicViewer*>(p.get());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(in.BytesLeft(), 0u);
        EXPECT_EQ(back->m_strFlowchart, "Lights");
        EXPECT_EQ(back->m_strLanguage, "BASIC C2");
        EXPECT_EQ(back->m_strTitle, "Lights - BASIC C2");
        EXPECT_EQ(back->m_strShown, v.m_strShown);
    }
    int thrown = 0;
    for (size_t cut = 1; cut < bytes.size(); cut += 5) {
        Bytes piece(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() - cut));
        CArchive in(piece);
        in.SetVersion(kCurrentVersion);
        try {
            std::unique_ptr<CObject> p(in.ReadNewObject(RUNTIME_CLASS(CPart)));
        } catch (const CException&) {
            ++thrown;
        }
    }
    EXPECT_GT(thrown, 0);
}

} // namespace
