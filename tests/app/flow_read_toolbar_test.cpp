// The property toolbars of the bit-test and display elements in the real
// main window: choosing from their drop lists and typing into their boxes
// reaches the element; the display's text box does not apply to a line
// break, so what is typed there is not taken.
#include "app/control_toolbar.h"
#include "flowchart/flow_testbit.h"
#include "flowchart/flow_write.h"
#include "model/parts/catalogue.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>

namespace {

class FlowReadToolbar : public CanvasWindowTest {
protected:
    template <class T>
    T* Place(int command)
    {
        int extra = 0;
        auto* part = dynamic_cast<T*>(PartCatalogue::Get().CreateById(command, nullptr, &extra));
        EXPECT_NE(part, nullptr);
        if (!part || !m_view->Controller().AddPartAtOnce(part, extra)) return nullptr;
        static_cast<CCanvasHost*>(m_view)->ShowPartProperties(part);
        m_app->GetMainFrame()->show();
        QCoreApplication::processEvents();
        return part;
    }
    CControlToolBar* Bar() { return m_app->GetMainFrame()->ControlBar(); }
    // Picks an entry of a drop list as the user does.
    void Choose(int id, const QString& text)
    {
        auto* combo = qobject_cast<QComboBox*>(Bar()->Control(id));
        ASSERT_NE(combo, nullptr) << id;
        const int k = combo->findText(text);
        ASSERT_GE(k, 0) << text.toStdString();
        combo->setCurrentIndex(k);
        emit combo->activated(k);
    }
    void Type(int id, const QString& text)
    {
        auto* edit = qobject_cast<QLineEdit*>(Bar()->Control(id));
        ASSERT_NE(edit, nullptr) << id;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        emit edit->editingFinished();
    }
};

} // namespace

TEST_F(FlowReadToolbar, BitTestChoicesReachTheElement)
{
    auto* test = Place<CFlowTestBit>(33894);
    ASSERT_NE(test, nullptr);
    ASSERT_EQ(Bar()->Part(), test);
    auto* bits = qobject_cast<QComboBox*>(Bar()->Control(36059));
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits->count(), 8);
    Choose(36059, "5");
    Choose(36065, "Off");
    Type(36053, "flags");
    EXPECT_EQ(test->GetBit(), 5);
    EXPECT_EQ(test->m_bTestForOn, 0);
    EXPECT_EQ(test->m_strName, "flags");
    EXPECT_EQ(test->m_strCaption, "flags : bit5 Off?");
}

TEST_F(FlowReadToolbar, DisplayTextBoxDoesNotApplyToALineBreak)
{
    auto* write = Place<CFlowWrite>(33869);
    ASSERT_NE(write, nullptr);
    ASSERT_EQ(Bar()->Part(), write);
    Choose(36059, "new line");
    EXPECT_EQ(write->m_nMode, CFlowWrite::kModeNewLine);
    EXPECT_EQ(write->m_strCaption, "Display new line");
    Type(36053, "ignored");
    EXPECT_EQ(write->m_strName, "x");
    Choose(36059, "text");
    Type(36053, "Hello");
    EXPECT_EQ(write->m_strName, "Hello");
    EXPECT_EQ(write->m_strCaption, "Display Hello");
}
