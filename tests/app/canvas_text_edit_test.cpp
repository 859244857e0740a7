// Editing a text box in the real main window (offscreen): the canvas view
// carries the in-place editor, so a press on a label opens it over the
// label, typed keys go into it and a click beside the label writes the
// text back into the design.
#include "model/text/textlabel.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTextEdit>

namespace {

class CanvasTextEdit : public CanvasWindowTest {
protected:
    // A new text box standing in the design at a design point.
    CTextLabel* PlaceTextBox(CPoint at)
    {
        auto* label = new CTextLabel(Design(), at, nullptr);
        Design()->AddChild(label);
        label->AttachToCircuit(Design());
        m_view->UpdateView();
        return label;
    }
    QTextEdit* Editor() const { return Port()->findChild<QTextEdit*>(); }
    QPoint Centre(CPart* part) const { return Client(part->GetRect().CenterPoint()); }
};

} // namespace

TEST_F(CanvasTextEdit, AClickedTextBoxTakesTheTypedTextIntoTheDesign)
{
    CTextLabel* label = PlaceTextBox(m_view->Controller().ToLogical(CPoint(300, 220)));
    ASSERT_EQ(label->rtf.text, "Text");
    ASSERT_FALSE(label->IsBeingEdited());

    // A press on a label opens its editor (a double click's first press).
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Centre(label));
    ASSERT_TRUE(label->IsBeingEdited());
    QTextEdit* edit = Editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), edit);
    // The editor lies over the label.
    const CRect r = label->GetRect();
    EXPECT_EQ(edit->geometry(), QRect(Client(CPoint(r.left, r.top)), QSize(r.Width(), r.Height())));
    EXPECT_EQ(edit->toPlainText(), "Text");

    // Backspace stays in the editor (Delete and Backspace are the view's
    // keys for deleting the selected part otherwise).
    QTest::keyClick(edit, Qt::Key_End);
    for (int i = 0; i < 4; ++i) QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "V = I x R");
    EXPECT_EQ(edit->toPlainText(), "V = I x R");
    ASSERT_EQ(Design()->GetFirstPart(), label);

    // A click on the empty canvas deselects the label, which ends editing.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, QPoint(700, 600));
    EXPECT_FALSE(label->IsBeingEdited());
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(label->rtf.text, "V = I x R");
    EXPECT_EQ(label->GetRTFData()->text, "V = I x R");
}

TEST_F(CanvasTextEdit, ADoubleClickOpensTheEditorThenSelectsTheWordInIt)
{
    CTextLabel* label = PlaceTextBox(m_view->Controller().ToLogical(CPoint(300, 220)));
    const QPoint at = Centre(label);
    // The first click of a double click opens the editor over the label, so
    // the second lands in the editor and selects the word under it.
    QTest::mouseClick(Port(), Qt::LeftButton, {}, at);
    QTextEdit* edit = Editor();
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->isVisible());
    QWidget* inside = edit->viewport();
    const QPoint word = inside->mapFrom(Port(), at);
    QTest::mousePress(inside, Qt::LeftButton, {}, word);
    QTest::mouseDClick(inside, Qt::LeftButton, {}, word);
    QTest::mouseRelease(inside, Qt::LeftButton, {}, word);
    EXPECT_TRUE(label->IsBeingEdited());
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_EQ(edit->textCursor().selectedText(), "Text");
    QTest::keyClicks(edit, "I = V / R");
    QTest::mouseClick(Port(), Qt::LeftButton, {}, QPoint(700, 600));
    EXPECT_FALSE(label->IsBeingEdited());
    EXPECT_EQ(label->rtf.text, "I = V / R");
}
