// Typing a component's value in place in the real main window (offscreen):
// a click on a resistor's value label opens the editor over the label with
// the number alone, and the typed number becomes the resistance.
#include "app/tesk_doc.h"
#include "components/resistor.h"
#include "model/text/value.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTextEdit>

#include <cstdlib>

namespace {

class CanvasValueEdit : public CanvasWindowTest {
protected:
    QTextEdit* Editor() const { return Port()->findChild<QTextEdit*>(); }
};

} // namespace

TEST_F(CanvasValueEdit, AClickOnAResistorsValueOpensItForTyping)
{
    auto* resistor = dynamic_cast<CResistor*>(AddFromToolbar(221, 32769, QPoint(320, 240)));
    ASSERT_NE(resistor, nullptr);
    auto* value = dynamic_cast<CValue*>(resistor->GetValueLabel());
    ASSERT_NE(value, nullptr);
    ASSERT_DOUBLE_EQ(value->GetValue(), 10000.0);
    ASSERT_EQ(value->GetNumberText(), "10") << value->rtf.text.c_str();
    const QPoint at = Client(value->GetRect().CenterPoint());
    // With WB_SHOTS_DIR set the design is saved there (value.zrn) to be
    // tried in the program.
    if (const char* shots = std::getenv("WB_SHOTS_DIR")) {
        EXPECT_TRUE(m_app->Documents().front()->DoSave(QString::fromLocal8Bit(shots) + QStringLiteral("/value.zrn")));
    }

    // A click on the body selects the resistor alone; then a click on its
    // value opens the value for typing, with the number alone in the box.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, QPoint(700, 600));
    ASSERT_FALSE(resistor->IsSelected());
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(resistor->GetRect().CenterPoint()));
    ASSERT_TRUE(resistor->IsSelected());
    EXPECT_FALSE(value->IsBeingEdited());
    QTest::mouseClick(Port(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(resistor->IsSelected());
    ASSERT_TRUE(value->IsBeingEdited());
    QTextEdit* edit = Editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(edit->toPlainText(), "10");

    const CString full = value->rtf.text;
    ASSERT_EQ(full.Left(3), "10k") << full.c_str();
    // Each keystroke is taken at once (an emptied box would be clamped to
    // the least value), so the pupil types over the selected number.
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, "4.7");
    // What is typed reaches the resistor as it is typed, the box keeps the
    // decimal point typed on the way and the prefix stays.
    EXPECT_EQ(edit->toPlainText(), "4.7");
    EXPECT_DOUBLE_EQ(value->GetValue(), 4700.0);

    // A click on the empty canvas ends editing with the full text back.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, QPoint(700, 600));
    EXPECT_FALSE(value->IsBeingEdited());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_DOUBLE_EQ(value->GetValue(), 4700.0);
    EXPECT_EQ(value->rtf.text, "4.7" + full.Mid(2));
    EXPECT_TRUE(m_messages.shown.empty());
}
