// Subroutine elements and input boxes in the real main window (offscreen):
// subroutine starts from the flowchart toolbar name subroutines of their
// own, and an armed input box takes typed digits from the canvas editor
// and submits them with its button.
#include "flowchart/flow_gosub.h"
#include "flowchart/flow_inputbox.h"
#include "flowchart/flow_return.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_substart.h"
#include "flowchart/panel_buttons.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTextEdit>

namespace {

constexpr int kFlowchartBar = 476;
constexpr int kAddGoSub = 33868;
constexpr int kAddSubStart = 33866;
constexpr int kAddReturn = 33867;

class FlowPanelsWindow : public CanvasWindowTest {
protected:
    QTextEdit* Editor() const { return Port()->findChild<QTextEdit*>(); }
    template <class T>
    T* Place(int x, int y)
    {
        auto* p = new T;
        p->m_rect.OffsetRect(x - p->m_rect.left, y - p->m_rect.top);
        p->AttachToCircuit(Design());
        p->Initialise();
        Design()->AddChild(p);
        p->Drop(Design());
        m_view->UpdateView();
        return p;
    }
};

TEST_F(FlowPanelsWindow, SubroutineStartsFromTheToolbarNameSubroutinesOfTheirOwn)
{
    auto* first = dynamic_cast<CFlowSubStart*>(AddFromToolbar(kFlowchartBar, kAddSubStart, QPoint(300, 200)));
    auto* second = dynamic_cast<CFlowSubStart*>(AddFromToolbar(kFlowchartBar, kAddSubStart, QPoint(600, 200)));
    auto* call = dynamic_cast<CFlowGoSub*>(AddFromToolbar(kFlowchartBar, kAddGoSub, QPoint(300, 400)));
    auto* ret = dynamic_cast<CFlowReturn*>(AddFromToolbar(kFlowchartBar, kAddReturn, QPoint(600, 400)));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(call, nullptr);
    ASSERT_NE(ret, nullptr);
    EXPECT_EQ(first->m_strName, "Subroutine1");
    EXPECT_EQ(second->m_strName, "Subroutine2");
    EXPECT_EQ(second->m_strCaption, "Subroutine2");
    EXPECT_EQ(call->m_strName, "Subroutine1");
    EXPECT_EQ(Design()->CollectFlowObjects().size(), 4u);
}

TEST_F(FlowPanelsWindow, AnArmedInputBoxTakesTypedDigitsAndSubmitsThem)
{
    auto* start = Place<CFlowStart>(200, 100);
    const CPoint at = m_view->Controller().ToLogical(CPoint(300, 300));
    auto* box = Place<CInputBox>(at.x, at.y);
    ASSERT_EQ(box->GetTargetName(), start->m_strName);

    // Disarmed, a click opens no editor.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(box->GetRect().CenterPoint()));
    EXPECT_FALSE(box->IsBeingEdited());
    QTest::mouseClick(Port(), Qt::LeftButton, {}, QPoint(900, 700));

    ASSERT_EQ(start->RequestInput(), 1);
    ASSERT_TRUE(box->IsArmed());
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(box->GetRect().CenterPoint()));
    ASSERT_TRUE(box->IsBeingEdited());
    QTextEdit* edit = Editor();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, "12ab");

    CFlowSubmitButton* button = box->GetSubmitButton();
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->IsEnabled());
    const CPoint mid = button->GetRect().CenterPoint();
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(mid));
    EXPECT_FALSE(box->IsArmed());
    EXPECT_FALSE(box->IsBeingEdited());
    EXPECT_EQ(start->m_bPendingRequest, 0);
    EXPECT_EQ(start->m_nPendingValue, 12u);
    EXPECT_EQ(box->rtf.text, "12");
    EXPECT_FALSE(button->IsEnabled());
}

} // namespace
