// "Export Flowchart" without windows: the flowchart and language choices
// (the assembler only with its plug-in file), what the design keeps, and
// the text of a flowchart found by name.
#include "app/flowchart_export.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_stop.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

template <class T>
T* Place(CCircuit& d, int x, int y)
{
    auto* p = new T;
    p->m_rect.SetRect(x, y, x, y);
    p->m_pCircuit = &d;
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    d.AddChild(p);
    p->Drop(&d);
    return p;
}

void Join(CCircuit& d, CTerminal* a, CTerminal* b)
{
    const CPoint p = a->GetOuterEnd(), q = b->GetOuterEnd(), corner(p.x, q.y);
    for (auto [from, to] : {std::pair{p, corner}, std::pair{corner, q}}) {
        if (from == to) continue;
        auto* w = new CWire(from, to, WIRE_SHORT_STUB);
        d.AddChild(w);
        d.JoinAt(w, 0);
        d.JoinAt(w, 1);
    }
}

TEST(FlowExportForm, ChoicesFollowTheDesignAndThePlugIn)
{
    shelltest::EnsureShellApp();
    QTemporaryDir dir;
    const CString parent = dir.path().toStdString();
    CCircuit d;
    CFlowExportForm f = CFlowExportForm::FromDesign(d, parent);
    EXPECT_EQ(f.flowcharts, std::vector<CString>{"Flowchart 1"});
    EXPECT_EQ(f.languages, (std::vector<CString>{"BASIC C1", "BASIC C2"}));
    ASSERT_TRUE(QDir(dir.path()).mkpath("PlugIns/Haverstock"));
    QFile plugIn(dir.path() + "/PlugIns/Haverstock/CStamp16.exe");
    ASSERT_TRUE(plugIn.open(QIODevice::WriteOnly));
    plugIn.close();
    auto* a = Place<CFlowStart>(d, 100, 40);
    auto* b = Place<CFlowStart>(d, 400, 40);
    f = CFlowExportForm::FromDesign(d, parent);
    EXPECT_EQ(f.flowcharts, (std::vector<CString>{a->m_strName, b->m_strName}));
    EXPECT_EQ(f.languages.size(), 3u);
    f.flowchart = 1;
    f.language = 1;
    EXPECT_FALSE(f.ApplyTo(d));
    EXPECT_EQ(d.m_strExportFlowchart, b->m_strName);
    d.SetProgramLanguage("BASIC C1");
    const int c1 = d.m_nProgramLanguage;
    f.ApplyTo(d);
    EXPECT_NE(d.m_nProgramLanguage, c1);
    f.language = 2;
    EXPECT_TRUE(f.ApplyTo(d));
    EXPECT_EQ(d.m_nProgramLanguage, 2);
}

TEST(FlowExportForm, TheTextOfAFlowchartByName)
{
    shelltest::EnsureShellApp();
    CCircuit d;
    auto* start = Place<CFlowStart>(d, 100, 40);
    auto* stop = Place<CFlowStop>(d, 100, 160);
    Join(d, start->GetOutputTerminal(), stop->GetTerminal(0));
    d.ResetRun(0);
    d.m_strMicroClass = "18 pin PIC";
    CString text;
    EXPECT_EQ(ExportFlowchartText(d, start->m_strName, &text), 0);
    EXPECT_EQ(text, "main:    end\n");
    EXPECT_EQ(ExportFlowchartText(d, "Nowhere", &text), 823);
    EXPECT_EQ(text, "Error in export");
}

} // namespace
