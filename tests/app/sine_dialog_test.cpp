// The advanced settings of the signal generator: the form's rules without
// windows, then the real dialog driven by its widgets, and the label's
// advanced edit going through the installed dialog.
#include "app/sine_dialog.h"

#include "model/text/sinevalue.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <memory>

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

TEST(SineDialog, TheFormAcceptsNumbersInRangeOnly)
{
    EnsureApp();
    struct Case {
        const char* offset;
        const char* phase;
        bool ok;
        int bad;
    };
    for (Case c : {Case{"0", "0", true, -1}, Case{"-9999", "360", true, -1}, Case{"9999", "0.5", true, -1},
                   Case{" 1.5e3 ", "90", true, -1}, Case{"10000", "0", false, 0}, Case{"-9999.5", "0", false, 0},
                   Case{"abc", "0", false, 0}, Case{"", "0", false, 0}, Case{"1,5", "0", false, 0},
                   Case{"0", "361", false, 1}, Case{"0", "-1", false, 1}, Case{"0", "x", false, 1}}) {
        CAdvancedSineForm form(0.0, 1, 0.0);
        form.offsetText = c.offset;
        form.phaseText = c.phase;
        double offset = -7.0, phase = -7.0;
        int volts = -7, bad = -1;
        QString message;
        EXPECT_EQ(form.Accept(&offset, &volts, &phase, &bad, &message), c.ok) << c.offset << " " << c.phase;
        EXPECT_EQ(bad, c.bad) << c.offset << " " << c.phase;
        if (c.ok) {
            EXPECT_EQ(offset, std::strtod(c.offset, nullptr));
            EXPECT_EQ(phase, std::strtod(c.phase, nullptr));
            EXPECT_EQ(volts, 1);
        } else {
            EXPECT_EQ(offset, -7.0);
            EXPECT_EQ(message, c.bad == 0 ? QString("Enter a number between -9999 and 9999.")
                                          : QString("Enter a number between 0 and 360."));
        }
    }
    CAdvancedSineForm form(-250.0, 0, 45.0);
    EXPECT_EQ(form.offsetText, QString("-250"));
    EXPECT_FALSE(form.volts);
    form.Reset();
    EXPECT_EQ(form.offsetText, QString("0"));
    EXPECT_EQ(form.phaseText, QString("0"));
    EXPECT_TRUE(form.volts);
}

QPushButton* OkButton(QDialog& d)
{
    return d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

TEST(SineDialog, TheDialogShowsTheSettingsAndReturnsWhatWasTyped)
{
    EnsureApp();
    CAdvancedSineDialog d(CAdvancedSineForm(1.5, 1, 90.0), false, nullptr, nullptr);
    EXPECT_EQ(d.windowTitle(), QString("Advanced Oscillator Controls"));
    auto* offset = d.findChild<QLineEdit*>("offset");
    auto* phase = d.findChild<QLineEdit*>("phase");
    auto* milli = d.findChild<QRadioButton*>("millivolts");
    ASSERT_TRUE(offset && phase && milli);
    EXPECT_EQ(offset->text(), QString("1.5"));
    EXPECT_EQ(phase->text(), QString("90"));
    EXPECT_TRUE(d.findChild<QRadioButton*>("volts")->isChecked());
    EXPECT_EQ(milli->text(), QString("mv (milli-volts)"));
    EXPECT_FALSE(d.findChild<QPushButton*>("sampleRate")->isEnabled());

    // Out of range: the dialog stays with the message.
    Type(offset, "12000");
    QTest::mouseClick(OkButton(d), Qt::LeftButton);
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.findChild<QLabel*>("message")->isVisibleTo(&d));
    EXPECT_EQ(offset->selectedText(), QString("12000"));

    Type(offset, "250");
    QTest::mouseClick(milli, Qt::LeftButton);
    Type(phase, "45");
    QTest::mouseClick(OkButton(d), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Offset(), 250.0);
    EXPECT_EQ(d.Volts(), 0);
    EXPECT_EQ(d.Phase(), 45.0);
}

TEST(SineDialog, DefaultsAndTheSampleRateButton)
{
    EnsureApp();
    int opened = 0;
    CAdvancedSineDialog d(CAdvancedSineForm(-3.0, 0, 180.0), true, [&opened] { ++opened; }, nullptr);
    QTest::mouseClick(d.findChild<QPushButton*>("defaults"), Qt::LeftButton);
    EXPECT_EQ(d.findChild<QLineEdit*>("offset")->text(), QString("0"));
    EXPECT_EQ(d.findChild<QLineEdit*>("phase")->text(), QString("0"));
    EXPECT_TRUE(d.findChild<QRadioButton*>("volts")->isChecked());
    auto* rate = d.findChild<QPushButton*>("sampleRate");
    ASSERT_TRUE(rate->isEnabled());
    QTest::mouseClick(rate, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
}

TEST(SineDialog, TheLabelsAdvancedEditGoesThroughTheDialog)
{
    EnsureApp();
    CQtSineDialogHost host(nullptr, [] { return false; }, nullptr);
    CSineValue label(1, CRect(0, 0, 24, 24), 6);
    for (bool accept : {false, true}) {
        bool seen = false;
        QTimer::singleShot(0, [&seen, accept] {
            auto* d = qobject_cast<CAdvancedSineDialog*>(QApplication::activeModalWidget());
            if (!d) return;
            seen = true;
            Type(d->findChild<QLineEdit*>("offset"), "-1500");
            QTest::mouseClick(d->findChild<QRadioButton*>("millivolts"), Qt::LeftButton);
            Type(d->findChild<QLineEdit*>("phase"), "30");
            if (accept)
                QTest::mouseClick(OkButton(*d), Qt::LeftButton);
            else
                d->reject();
        });
        const int result = label.EditAdvanced(nullptr);
        EXPECT_TRUE(seen);
        if (!accept) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(label.dcOffset, 0.0);
            continue;
        }
        EXPECT_EQ(result, 65);
        // -1500 mV; the amplitude keeps its mantissa 5, now in millivolts.
        EXPECT_DOUBLE_EQ(label.dcOffset, -1.5);
        EXPECT_EQ(label.unitChoice, 0);
        EXPECT_EQ(label.phase, 30.0);
        EXPECT_DOUBLE_EQ(label.amplitude.value, 0.005);
    }
}

} // namespace
