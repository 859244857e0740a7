// The part buttons of the main toolbar in the real main window: a plain
// click puts the part into the design at once, in a free place of the
// visible canvas; a button dragged more than 4 pixels off the toolbar
// gives a part that follows the mouse until the next click.
#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "model/circuit/circuit.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QToolBar>

#include <functional>
#include <vector>

namespace {

constexpr int kPassiveBar = 221;
constexpr int kResistor = 32769;
constexpr int kRailBar = 145;
constexpr int kRail = 33531;

class PartToolbarClick : public CanvasWindowTest {
protected:
    std::vector<CPart*> Parts() const
    {
        std::vector<CPart*> out;
        for (CPartIterator it(Design(), 0); it.GetCurrent(); it.Next()) out.push_back(it.GetCurrent());
        return out;
    }
    // The visible canvas in logical units.
    CRect Visible() const
    {
        const QSize size = Port()->size();
        const CPoint tl = m_view->Controller().ToLogical(CPoint(0, 0));
        const CPoint br = m_view->Controller().ToLogical(CPoint(size.width(), size.height()));
        return CRect(tl.x, tl.y, br.x, br.y);
    }
    static bool Overlap(const CRect& a, const CRect& b)
    {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    }
};

} // namespace

TEST_F(PartToolbarClick, APlainClickAddsThePartAtOnceInAFreeVisiblePlace)
{
    // A part already stands near the top left; the clicked parts go round
    // it and round each other.
    AddFromToolbar(kRailBar, kRail, QPoint(120, 80));
    ASSERT_EQ(Parts().size(), 1u);
    for (int i = 0; i < 4; ++i) {
        QWidget* button = PartButton(i % 2 ? kRailBar : kPassiveBar, i % 2 ? kRail : kResistor);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(m_view->Controller().GetFloating(), nullptr) << "nothing follows the mouse after a click";
        ASSERT_EQ(Parts().size(), size_t(i + 2));
    }
    const std::vector<CPart*> parts = Parts();
    const CRect visible = Visible();
    for (size_t a = 0; a < parts.size(); ++a) {
        const CRect r = parts[a]->GetRect();
        EXPECT_GE(r.left, visible.left) << a;
        EXPECT_GE(r.top, visible.top) << a;
        EXPECT_LE(r.right, visible.right) << a;
        EXPECT_LE(r.bottom, visible.bottom) << a;
        // Nor do their value labels stand on one another.
        for (size_t b = a + 1; b < parts.size(); ++b)
            EXPECT_FALSE(Overlap(parts[a]->GetUnionRect(), parts[b]->GetUnionRect())) << a << " and " << b;
    }
    // A click that ends off the button adds nothing, and the next Add menu
    // command still gives a floating part.
    QWidget* button = PartButton(kPassiveBar, kResistor);
    ASSERT_NE(button, nullptr);
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(button->width() + 2, button->height() / 2));
    EXPECT_EQ(Parts().size(), parts.size());
    m_app->GetMainFrame()->Action(kResistor)->trigger();
    EXPECT_NE(m_view->Controller().GetFloating(), nullptr);
}

TEST_F(PartToolbarClick, AButtonDraggedMoreThanFourPixelsOffTheToolbarGivesAFloatingPart)
{
    QWidget* button = PartButton(kPassiveBar, kResistor);
    ASSERT_NE(button, nullptr);
    QToolBar* bar = m_app->GetMainFrame()->MainToolBar();
    const QPoint press(button->width() / 2, button->height() / 2);
    const int bottom = button->mapFrom(bar, QPoint(0, bar->height() - 1)).y();
    SendMouse(button, QEvent::MouseButtonPress, press, Qt::LeftButton);
    // Moves on the toolbar and up to 4 pixels below it do nothing.
    for (int below : {-bottom + press.y(), 1, 4}) {
        SendMouse(button, QEvent::MouseMove, QPoint(press.x(), bottom + below), Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(m_view->Controller().GetFloating(), nullptr) << below;
        EXPECT_EQ(Design()->GetFirstPart(), nullptr) << below;
    }
    // 5 pixels below: the press ends and the resistor follows the mouse.
    SendMouse(button, QEvent::MouseMove, QPoint(press.x(), bottom + 5), Qt::LeftButton);
    QCoreApplication::processEvents();
    CCircuit* floating = m_view->Controller().GetFloating();
    ASSERT_NE(floating, nullptr);
    CPart* part = floating->GetFirstPart();
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(Design()->GetFirstPart(), nullptr) << "not in the design before the drop";
    // It lands where the mouse lets go.
    const QPoint at(420, 300);
    QTest::mouseMove(Port(), at - QPoint(30, 20));
    QTest::mouseMove(Port(), at);
    QTest::mouseClick(Port(), Qt::LeftButton, {}, at);
    EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
    ASSERT_EQ(Parts().size(), 1u);
    EXPECT_EQ(Parts()[0], part);
    CRect r = part->GetRect();
    r.InflateRect(16, 16);
    const CPoint drop = m_view->Controller().ToLogical(CPoint(at.x(), at.y()));
    EXPECT_TRUE(r.PtInRect(drop)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
}

TEST_F(PartToolbarClick, TheDistanceCountsFromTheToolbarsEdgesOnEverySide)
{
    // Off the main toolbar by more than 4 pixels past any of its edges,
    // however near the press point that is; up to 4 pixels past an edge,
    // or anywhere on the toolbar however far from the press, nothing.
    QToolBar* bar = m_app->GetMainFrame()->MainToolBar();
    struct Side {
        const char* name;
        std::function<QPoint(int beyond)> at; // toolbar coordinates
    };
    const int midY = bar->height() / 2;
    const Side sides[] = {
        {"above", [](int beyond) { return QPoint(40, -beyond); }},
        {"left", [midY](int beyond) { return QPoint(-beyond, midY); }},
        {"right", [bar, midY](int beyond) { return QPoint(bar->width() - 1 + beyond, midY); }},
        {"below", [bar](int beyond) { return QPoint(40, bar->height() - 1 + beyond); }},
    };
    size_t dropped = 0;
    for (const Side& side : sides) {
        SCOPED_TRACE(side.name);
        QWidget* button = PartButton(kPassiveBar, kResistor);
        ASSERT_NE(button, nullptr);
        const QPoint press(button->width() / 2, button->height() / 2);
        SendMouse(button, QEvent::MouseButtonPress, press, Qt::LeftButton);
        // The toolbar's far end first: far from the press, still on it.
        for (QPoint p : {QPoint(bar->width() - 2, midY), side.at(1), side.at(4)}) {
            SendMouse(button, QEvent::MouseMove, button->mapFrom(bar, p), Qt::LeftButton);
            QCoreApplication::processEvents();
            EXPECT_EQ(m_view->Controller().GetFloating(), nullptr) << p.x() << "," << p.y();
        }
        SendMouse(button, QEvent::MouseMove, button->mapFrom(bar, side.at(5)), Qt::LeftButton);
        QCoreApplication::processEvents();
        ASSERT_NE(m_view->Controller().GetFloating(), nullptr);
        EXPECT_EQ(Parts().size(), dropped);
        // Dropped on the canvas, each in its own place.
        const QPoint at(200 + 90 * static_cast<int>(dropped), 300);
        QTest::mouseMove(Port(), at - QPoint(30, 20));
        QTest::mouseMove(Port(), at);
        QTest::mouseClick(Port(), Qt::LeftButton, {}, at);
        ASSERT_EQ(Parts().size(), ++dropped);
    }
}
