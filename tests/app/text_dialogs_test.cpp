// The colour and font dialogs behind the label's buttons, driven headless:
// a timer finds the modal dialog once it is open, sets it and closes it.
#include "app/text_editor.h"
#include "model/parts/parttree.h"
#include "model/text/rtf_document.h"
#include "model/text/textlabel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <functional>

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

// Calls act on the first modal dialog of type D that opens, from within its
// event loop.  Returns a flag that tells whether it was seen.
template <class D>
std::shared_ptr<bool> WhenOpen(std::function<void(D*)> act)
{
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act, seen] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d) return;
        timer->stop();
        timer->deleteLater();
        *seen = true;
        act(d);
    });
    timer->start();
    return seen;
}

// A face that has a bold style, for the dialog to offer it.
QString BoldFamily()
{
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::styles(family).contains("Bold")) return family;
    return QString();
}

struct EditedLabel {
    QWidget canvas;
    CTextEditWindow window{&canvas};
    CPartTree design;
    CTextLabel label{&design, CPoint(20, 30), nullptr};

    EditedLabel() { canvas.resize(400, 300); }
    void StartEditing()
    {
        CString text = label.rtf.text;
        ASSERT_EQ(label.EditInPlace(&text), 1);
    }
    void SelectAll()
    {
        QTextCursor c = window.Editor()->textCursor();
        c.select(QTextCursor::Document);
        window.Editor()->setTextCursor(c);
    }
    RtfCharFormat FirstRun() const
    {
        const RtfDocument d = ReadRtf(label.rtf.buffer, label.BaseFormat());
        return d.paragraphs.at(0).runs.at(0).format;
    }
};

}  // namespace

TEST(TextDialogs, ColourDialogStartsAtTheBackgroundAndTheEditorTakesTheChoice)
{
    EnsureApp();
    EditedLabel e;
    e.label.background = 0x00C0FF;  // orange: red FF, green C0
    e.StartEditing();
    QColor initial;
    auto seen = WhenOpen<QColorDialog>([&](QColorDialog* d) {
        initial = d->currentColor();
        d->setCurrentColor(QColor(10, 20, 30));
        d->accept();
    });
    EXPECT_EQ(e.label.OnPropertyCommand(IDC_LABEL_BACKGROUND, ""), 0x21);
    EXPECT_TRUE(*seen);
    EXPECT_EQ(initial, QColor(255, 192, 0));
    EXPECT_EQ(e.label.background, 0x1E140Au);
    EXPECT_EQ(e.window.Editor()->palette().color(QPalette::Base), QColor(10, 20, 30));

    seen = WhenOpen<QColorDialog>([](QColorDialog* d) {
        d->setCurrentColor(Qt::blue);
        d->reject();
    });
    EXPECT_EQ(e.label.OnPropertyCommand(IDC_LABEL_BACKGROUND, ""), 0x20);
    EXPECT_TRUE(*seen);
    EXPECT_EQ(e.label.background, 0x1E140Au);
    e.label.EditInPlace(nullptr);
}

TEST(TextDialogs, FontDialogActsOnTheSelectionWhileEditing)
{
    EnsureApp();
    EditedLabel e;
    e.StartEditing();
    e.SelectAll();
    const QFont before = e.window.Editor()->currentFont();
    QFont initial;
    auto seen = WhenOpen<QFontDialog>([&](QFontDialog* d) {
        initial = d->currentFont();
        // A face the font database has, so that its styles exist.
        QFont f = d->currentFont();
        f.setPointSize(14);
        f.setItalic(true);
        d->setCurrentFont(f);
        d->accept();
    });
    EXPECT_EQ(e.label.OnPropertyCommand(IDC_LABEL_FONT, ""), 0x21);
    EXPECT_TRUE(*seen);
    // The dialog offers whole and half point sizes of its list.
    EXPECT_NEAR(initial.pointSizeF(), before.pointSizeF(), 0.5);
    e.label.EditInPlace(nullptr);
    const RtfCharFormat f = e.FirstRun();
    EXPECT_EQ(f.halfPoints, 28);
    EXPECT_TRUE(f.italic);
    EXPECT_EQ(e.label.rtf.text, "Text");

    // Cancelled: nothing changes and the label reports no change.
    e.StartEditing();
    e.SelectAll();
    seen = WhenOpen<QFontDialog>([](QFontDialog* d) { d->reject(); });
    EXPECT_EQ(e.label.OnPropertyCommand(IDC_LABEL_FONT, ""), 0x20);
    EXPECT_TRUE(*seen);
    e.label.EditInPlace(nullptr);
    EXPECT_EQ(e.FirstRun(), f);
}

TEST(TextDialogs, FontButtonOfALabelNotBeingEditedSetsItsWholeText)
{
    EnsureApp();
    EditedLabel e;
    // "Text" then an alpha in the Symbol font, which keeps its font.
    e.label.rtf.buffer =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech\\fcharset2 Symbol;}}"
        "\\f0\\fs20\\cf0 Text \\f1 a}";
    e.label.rtf.mode = kRtfFormatRtf;
    ASSERT_FALSE(e.label.IsBeingEdited());
    ASSERT_FALSE(BoldFamily().isEmpty());
    QFont initial;
    auto seen = WhenOpen<QFontDialog>([&](QFontDialog* d) {
        initial = d->currentFont();
        QFont f(BoldFamily());
        f.setPointSize(16);
        f.setBold(true);
        d->setCurrentFont(f);
        d->accept();
    });
    EXPECT_EQ(e.label.OnPropertyCommand(IDC_LABEL_FONT, ""), 0x21);
    EXPECT_TRUE(*seen);
    EXPECT_DOUBLE_EQ(initial.pointSizeF(), 10.0);  // the text's first run
    const RtfDocument d = ReadRtf(e.label.rtf.buffer, e.label.BaseFormat());
    ASSERT_EQ(d.paragraphs.size(), 1u);
    ASSERT_EQ(d.paragraphs[0].runs.size(), 2u);
    const RtfCharFormat& text = d.paragraphs[0].runs[0].format;
    EXPECT_EQ(text.halfPoints, 32);
    EXPECT_TRUE(text.bold);
    EXPECT_EQ(d.paragraphs[0].runs[1].format.face, "Symbol");
    EXPECT_EQ(d.paragraphs[0].runs[1].format.halfPoints, 20);
    EXPECT_EQ(e.label.rtf.text, "Text a");

    const std::string before = e.label.rtf.buffer;
    seen = WhenOpen<QFontDialog>([](QFontDialog* d) { d->reject(); });
    EXPECT_EQ(e.label.OnPropertyCommand(IDC_LABEL_FONT, ""), 0x20);
    EXPECT_TRUE(*seen);
    EXPECT_EQ(e.label.rtf.buffer, before);
}

TEST(TextDialogs, PlainLabelTakesTheFontIntoItsFormat)
{
    EnsureApp();
    EditedLabel e;
    e.label.rtf.Empty();
    e.label.rtf.text = "old";
    RtfCharFormat f;
    f.face = "Courier New";
    f.halfPoints = 18;
    f.italic = true;
    e.label.ApplyFontToText(f);
    EXPECT_EQ(e.label.charFormat.Face(), "Courier New");
    EXPECT_EQ(e.label.charFormat.height, 180);
    EXPECT_EQ(e.label.charFormat.effects & (kCfeBold | kCfeItalic), kCfeItalic);
    EXPECT_EQ(e.label.rtf.length(), 0u);
}
