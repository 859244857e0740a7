// A pupil's first circuit, built in the real main window (offscreen) with
// synthetic mouse events only: a supply rail, two resistors, an ammeter and
// an earth from the part toolbar, wired by dragging from terminal to
// terminal; the design runs and the ammeter reads V / (R1 + R2).
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "components/ammeter.h"
#include "components/meter_ring.h"
#include "components/resistor.h"
#include "components/voltrail.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/text/meter.h"
#include "model/text/value.h"
#include "platform/messagebox.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QToolBar>

#include <cmath>
#include <cstdlib>

using namespace shelltest;

namespace {

class CanvasWiring : public CanvasWindowTest {
protected:
    static CPoint End(CPart* part, int terminal)
    {
        auto* c = dynamic_cast<CComponent*>(part);
        CTerminal* t = c ? c->GetTerminal(terminal) : nullptr;
        return t ? t->GetOuterEnd() : CPoint(-1, -1);
    }
    // Drags from one logical point to another with the left button.
    void Drag(CPoint from, CPoint to)
    {
        const QPoint a = Client(from), b = Client(to);
        QTest::mousePress(Port(), Qt::LeftButton, {}, a);
        QTest::mouseMove(Port(), (a + b) / 2);
        QTest::mouseMove(Port(), b);
        QTest::mouseRelease(Port(), Qt::LeftButton, {}, b);
    }

    // scripts/canvas_screenshots.sh: the running design as it stands, and
    // the same at zoom 2, into the directory WB_CANVAS_DESIGNS names.
    void SaveForScreenshots()
    {
        const char* dir = std::getenv("WB_CANVAS_DESIGNS");
        if (!dir || !*dir) return;
        const QString out = QString::fromLocal8Bit(dir);
        CTeskDoc* doc = m_app->GetActiveDocument();
        ASSERT_TRUE(doc->OnSaveDocument(out + "/canvas_design.dsn"));
        Design()->SetOptionBits(0x100, true);
        ASSERT_TRUE(doc->OnSaveDocument(out + "/canvas_design_zoom2.dsn"));
        Design()->SetOptionBits(0x100, false);
    }
};

// The ammeter's readout as a current in amperes: the five-character text
// in the unit its range (the state word: 0 A, 1 mA, 2 uA) shows.
double MeterAmps(CAmmeter* meter)
{
    CMeter* text = FindMeterText(meter);
    if (!text) return -1.0;
    const double shown = std::atof(text->GetRTFData()->text.c_str());
    static const double unit[] = {1.0, 1e-3, 1e-6};
    return std::fabs(shown) * unit[std::min<int>(meter->m_wStateWord, 2)];
}

double ValueOf(CPart* part)
{
    auto* c = dynamic_cast<CComponent*>(part);
    auto* v = c ? dynamic_cast<CValue*>(c->GetValueLabel()) : nullptr;
    return v ? v->GetValue() : 0.0;
}

void RunFor(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int WireCount(CCircuit* d)
{
    int n = 0;
    CPart* g = d->GetGroup(GROUP_WIRES);
    for (CPart* p = g ? g->GetFirstChild() : nullptr; p; p = p->GetNextSibling()) n += p->IsWire() ? 1 : 0;
    return n;
}

} // namespace

TEST_F(CanvasWiring, APupilBuildsWiresRunsMovesTurnsDeletesUndoesAndSaves)
{
    // Rail above the first resistor, the second below it, the ammeter to
    // the right of the second, the earth below the ammeter's right end.
    auto* rail = dynamic_cast<CVoltRail*>(AddFromToolbar(145, 33531, QPoint(120, 120)));
    CPart* r1 = AddFromToolbar(221, 32769, QPoint(240, 200));
    CPart* r2 = AddFromToolbar(221, 32769, QPoint(240, 280));
    auto* meter = dynamic_cast<CAmmeter*>(AddFromToolbar(147, 32871, QPoint(360, 320)));
    CPart* earth = AddFromToolbar(145, 32921, QPoint(480, 400));
    ASSERT_TRUE(rail && r1 && r2 && meter && earth);
    ASSERT_EQ(m_view->Controller().GetFloating(), nullptr);

    // Wires, each dragged from one terminal's end to the next one's.
    Drag(End(rail, 0), End(r1, 0));
    Drag(End(r1, 1), End(r2, 0));
    Drag(End(r2, 1), End(meter, 0));
    Drag(End(meter, 1), End(earth, 0));
    EXPECT_GE(WireCount(Design()), 4);
    for (CPart* p : {static_cast<CPart*>(rail), r1, r2, static_cast<CPart*>(meter), earth}) {
        auto* c = dynamic_cast<CComponent*>(p);
        for (int i = 0; i < c->GetTerminalCount(); ++i) EXPECT_TRUE(c->GetTerminal(i)->IsJoined()) << i;
    }

    // Running: the ammeter shows V / (R1 + R2).
    const double amps = rail->GetRailVoltage() / (ValueOf(r1) + ValueOf(r2));
    ASSERT_GT(amps, 0.0);
    RunFor(1500);
    EXPECT_NEAR(MeterAmps(meter), amps, amps * 0.01);
    SaveForScreenshots();

    // The first resistor moves 64 to the right; its wires follow it and the
    // current still flows.
    const CRect before = r1->GetRect();
    const QPoint grip = Client(before.CenterPoint());
    QTest::mousePress(Port(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(Port(), grip + QPoint(32, 0));
    QTest::mouseMove(Port(), grip + QPoint(64, 0));
    QTest::mouseRelease(Port(), Qt::LeftButton, {}, grip + QPoint(64, 0));
    EXPECT_EQ(r1->GetRect().left - before.left, 64);
    RunFor(1000);
    EXPECT_NEAR(MeterAmps(meter), amps, amps * 0.01);

    // Turned, it stays joined.
    const int was = r1->m_nOrientation;
    ASSERT_EQ(r1->OnPropertyCommand(36043 + (was ? 0 : 1), CString()), 8);
    m_view->ReorientPart(r1);
    EXPECT_NE(r1->m_nOrientation, was);
    RunFor(1000);
    EXPECT_NEAR(MeterAmps(meter), amps, amps * 0.01);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(dynamic_cast<CComponent*>(r1)->GetTerminal(i)->IsJoined()) << i;

    // Delete mode, and a click on the wire between the resistors: no current.
    CMainFrame* frame = m_app->GetMainFrame();
    frame->UpdateCommands();
    QTest::mouseClick(frame->MainToolBar()->widgetForAction(frame->Action(35007)), Qt::LeftButton);
    CPart* wire = Design()->GetGroup(GROUP_WIRES)->GetFirstChild();
    ASSERT_NE(wire, nullptr);
    const QPoint onWire = Client(wire->GetRect().CenterPoint());
    QTest::mouseMove(Port(), onWire);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, onWire);
    RunFor(1000);
    EXPECT_NEAR(MeterAmps(meter), 0.0, amps * 0.01);

    // Undo: it flows again.
    ASSERT_TRUE(m_app->RouteCommand(57643));
    CCircuit* back = m_view->GetDesign();
    CAmmeter* meterBack = nullptr;
    for (CPartIterator it(back, 0); it.GetCurrent(); it.Next())
        if (auto* a = dynamic_cast<CAmmeter*>(it.GetCurrent())) meterBack = a;
    ASSERT_NE(meterBack, nullptr);
    RunFor(1500);
    EXPECT_NEAR(MeterAmps(meterBack), amps, amps * 0.01);

    // Saved (File/Save) and opened again, it saves the same bytes.
    const QString first = m_dir.filePath("circuit.dsn"), second = m_dir.filePath("again.dsn");
    m_app->GetActiveDocument()->SetPathName(first);
    ASSERT_TRUE(m_app->RouteCommand(57603));
    CTeskDoc* reopened = m_app->OpenDocumentFile(first);
    ASSERT_NE(reopened, nullptr);
    ASSERT_EQ(m_app->GetActiveDocument(), reopened);
    reopened->SetPathName(second);
    ASSERT_TRUE(m_app->RouteCommand(57603));
    const QByteArray bytes = ReadAll(first);
    EXPECT_GT(bytes.size(), 1000);
    EXPECT_EQ(bytes, ReadAll(second));
    EXPECT_TRUE(m_messages.shown.empty());
}
