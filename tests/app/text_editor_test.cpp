#include "app/text_editor.h"
#include "model/parts/parttree.h"
#include "model/text/rtf_document.h"
#include "model/text/textlabel.h"
#include "model/text/value.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextEdit>
#include <QWidget>

#include <cstdlib>

namespace {

void EnsureApp()
{
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

}  // namespace

TEST(TextEditWindow, EditsALabelInPlaceAndWritesItsRtfBack)
{
    EnsureApp();
    QWidget canvas;
    canvas.resize(400, 300);
    CTextEditWindow window(&canvas);
    CPartTree design;
    CTextLabel label(&design, CPoint(20, 30), nullptr);
    CString text = label.rtf.text;
    ASSERT_EQ(label.EditInPlace(&text), 1);
    QTextEdit* edit = window.Editor();
    EXPECT_TRUE(edit->isVisibleTo(&canvas));
    EXPECT_EQ(edit->geometry(), QRect(20, 30, 140, 22));
    EXPECT_EQ(edit->toPlainText(), "Text");

    QTextCursor c = edit->textCursor();
    c.select(QTextCursor::Document);
    edit->setTextCursor(c);
    EXPECT_TRUE(label.OnPropertyCommand(IDC_LABEL_BOLD, "") & 1);
    int checked = 0;
    label.IsPropertyChecked(IDC_LABEL_BOLD, checked);
    EXPECT_EQ(checked, 1);
    c.movePosition(QTextCursor::End);
    edit->setTextCursor(c);
    c.insertText(" 4.7k");
    label.OnPropertyCommand(IDC_LABEL_SYMBOLS, "W");
    label.OnPropertyCommand(IDC_LABEL_INSERT_SYMBOL, "");  // an omega in the Symbol font

    label.EditInPlace(nullptr);
    EXPECT_FALSE(edit->isVisibleTo(&canvas));
    EXPECT_EQ(label.rtf.mode, 2);
    EXPECT_EQ(label.rtf.text, "Text 4.7kW");
    const RtfDocument d = ReadRtf(label.rtf.buffer, label.BaseFormat());
    EXPECT_EQ(d.PlainText(), QString::fromUtf16(u"Text 4.7k\u03A9"));
    ASSERT_FALSE(d.paragraphs[0].runs.empty());
    EXPECT_TRUE(d.paragraphs[0].runs[0].format.bold);
    EXPECT_EQ(d.paragraphs[0].runs.back().format.face, "Symbol");
    EXPECT_NE(label.rtf.buffer.find("\\fcharset2 Symbol"), std::string::npos);
}

TEST(TextEditWindow, ValuesTakeEightDigitsAndBackspaceStaysInTheEditor)
{
    EnsureApp();
    QWidget canvas;
    CTextEditWindow window(&canvas);
    CPartTree design;
    CValue value(4700, 1.0, 'k', "R", 1, CRect(0, 0, 40, 20), 5);
    value.m_pCircuit = &design;
    value.flags |= TF_NUMBERS;
    CString text = value.rtf.text;
    ASSERT_EQ(value.EditInPlace(&text), 1);
    QTextEdit* edit = window.Editor();
    edit->setPlainText("1234567890");
    EXPECT_EQ(edit->toPlainText(), "12345678");
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_TRUE(window.eventFilter(edit, &letter));  // not a number character
    QKeyEvent over(QEvent::ShortcutOverride, Qt::Key_Delete, Qt::NoModifier);
    EXPECT_TRUE(window.eventFilter(edit, &over));
    EXPECT_TRUE(over.isAccepted());
    edit->setPlainText("22");
    EXPECT_EQ(value.ApplyEditedText(), 1);
    value.EditInPlace(nullptr);
    EXPECT_EQ(value.rtf.text, "22kR");
}
