// The property toolbar's drag-off rule (a button dragged more than 4 pixels
// down ends its press at the press point, so the part it adds follows the
// mouse) and its focus rule (a live item pauses the design while it has
// the focus; losing the focus on a running design gives it back to the
// design view).
#include "app/control_toolbar.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "model/parts/part.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolButton>

namespace {

// A part with a live value (36053) and a plain one (36059).
class CLivePart : public CPart {
public:
    int FillProperties(CControlItemList& items) override
    {
        items.Add(CControlItem(CI_EDIT, CString("0"), 36053, 48, CIO_EDIT_LOCKED | CIO_LIVE));
        items.Add(CControlItem(CI_EDIT, CString("0"), 36059, 48, CIO_EDIT_LOCKED));
        return 0;
    }
    bool CanSelectWhenLocked(CPartTree*) override { return true; }
};

struct Bench {
    CCircuit design;
    CLivePart* part = new CLivePart;
    std::unique_ptr<CControlToolBar> bar;
    std::vector<int> run;
    int viewFocus = 0;

    Bench()
    {
        shelltest::EnsureShellApp();
        part->m_rect.SetRect(10, 10, 40, 40);
        design.AddChild(part);
        bar = std::make_unique<CControlToolBar>([this] { return &design; });
        bar->SetCommandRunner([this](int id) { run.push_back(id); });
        bar->SetViewFocuser([this] { ++viewFocus; });
        bar->ShowPart(part, {});
        bar->resize(400, 40);
        bar->show();
    }
    void Focus(int id, QEvent::Type type)
    {
        QFocusEvent e(type, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(bar->Control(id), &e);
    }
};

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace

TEST(DragBar, TrackerEndsThePressOnceBelowTheThreshold)
{
    struct Step {
        CPoint at;
        bool held;
        bool ends;
    } steps[] = {
        {CPoint(20, 14), true, false},   // 4 pixels down: not yet
        {CPoint(20, 15), false, false},  // the button is not held
        {CPoint(5, 30), true, false},    // left of the first button
        {CPoint(20, 15), true, true},    // 5 pixels down
        {CPoint(20, 30), true, false},   // once per press
    };
    CDragBarTracker t;
    EXPECT_FALSE(t.Move(CPoint(20, 30), true, 8));  // no press yet
    t.Press(CPoint(20, 10));
    for (const Step& s : steps) EXPECT_EQ(t.Move(s.at, s.held, 8), s.ends) << s.at.x << "," << s.at.y;
    EXPECT_EQ(t.PressPoint(), CPoint(20, 10));
    t.Press(CPoint(20, 10));
    t.Release();
    EXPECT_FALSE(t.Move(CPoint(20, 30), true, 8));
}

TEST(DragBar, AButtonDraggedDownIsClickedAtItsPressPoint)
{
    Bench b;
    auto* back = b.bar->findChild<QToolButton*>(QStringLiteral("prop36076"));
    ASSERT_NE(back, nullptr);
    const QPoint press(back->width() / 2, back->height() / 2);
    Mouse(back, QEvent::MouseButtonPress, press, Qt::LeftButton);
    Mouse(back, QEvent::MouseMove, press + QPoint(0, 3), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(b.run.empty());
    Mouse(back, QEvent::MouseMove, press + QPoint(0, 12), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(b.run, std::vector<int>{36076});
}

TEST(DragBar, TheDistanceCountsFromThePressPointNotFromTheToolbarsEdges)
{
    // On the real toolbar: what ends the press is a move of more than 4
    // pixels below where the button was pressed, wherever the toolbar's
    // edges are; moves up or sideways, however far, end nothing.
    struct Move {
        QPoint by; // from the press point
        bool ends;
    };
    const Move moves[] = {
        {QPoint(0, -30), false},  // far above, off the toolbar
        {QPoint(200, 0), false},  // far to the right, off the button
        {QPoint(-60, 4), false},  // 4 below, sideways
        {QPoint(0, 5), true},     // 5 below, still on the toolbar (the path left
                                  // the button sideways: its click still comes)
    };
    Bench b;
    auto* back = b.bar->findChild<QToolButton*>(QStringLiteral("prop36076"));
    ASSERT_NE(back, nullptr);
    const QPoint press(back->width() / 2, 2);
    ASSERT_LT(back->mapTo(b.bar.get(), press + QPoint(0, 5)).y(), b.bar->height()) << "the toolbar is not left";
    Mouse(back, QEvent::MouseButtonPress, press, Qt::LeftButton);
    for (const Move& m : moves) {
        Mouse(back, QEvent::MouseMove, press + m.by, Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(b.run.size(), m.ends ? 1u : 0u) << m.by.x() << "," << m.by.y();
    }
}

TEST(DragBar, ALiveItemPausesTheDesignWhileFocused)
{
    Bench b;
    ASSERT_NE(b.bar->Control(36053), nullptr);
    // The plain item pauses nothing; leaving it on a running design gives
    // the focus back to the view.
    b.Focus(36059, QEvent::FocusIn);
    EXPECT_FALSE(b.design.IsPaused());
    b.Focus(36059, QEvent::FocusOut);
    EXPECT_EQ(b.viewFocus, 1);
    // The live item pauses it, and the focus stays where the user puts it.
    b.Focus(36053, QEvent::FocusIn);
    EXPECT_TRUE(b.design.IsPaused());
    b.Focus(36053, QEvent::FocusOut);
    EXPECT_EQ(b.viewFocus, 1);
}
