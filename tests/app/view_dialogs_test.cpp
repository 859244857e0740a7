// The settings dialogs opened from their commands in the real main window:
// an invalid entry keeps the dialog open with a message, a valid one is
// stored on OK, Cancel leaves the design as it was.
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/view_dialogs.h"
#include "model/circuit/circuit.h"
#include "model/text/text.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace shelltest;

namespace {

class ViewDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
        ASSERT_NE(Design(), nullptr);
    }
    void TearDown() override
    {
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
    }
    CCircuit* Design() { return m_app->GetActiveDocument()->GetDesign(); }

    // Types into a field of the open dialog.
    static void Type(QDialog* d, const char* name, const QString& text)
    {
        auto* e = d->findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(e, nullptr) << name;
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    static void Press(QDialog* d, const char* name)
    {
        auto* b = d->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        // A check or radio box takes clicks on its box and text only.
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    // Runs a command whose dialog `act` handles; act returns after closing it.
    template <class D>
    void Run(int command, std::function<void(D*)> act)
    {
        bool seen = false;
        WhenModal<D>([&](D* d) {
            seen = true;
            act(d);
            if (d->isVisible()) d->reject();
        });
        m_app->RouteCommand(command);
        EXPECT_TRUE(seen) << command;
    }

    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
};

} // namespace

TEST_F(ViewDialogs, LogicRefusesAnOutOfRangeSupplyThenStores)
{
    Run<CLogicDialog>(35017, [&](CLogicDialog* d) {
        // 74HC: its field is the one enabled.
        Press(d, "ctl145");
        EXPECT_TRUE(d->findChild<QLineEdit*>("ctl150")->isEnabled());
        EXPECT_FALSE(d->findChild<QLineEdit*>("ctl149")->isEnabled());
        Type(d, "ctl150", "7");
        Press(d, "ctl1");
        EXPECT_TRUE(d->isVisible());
        ASSERT_EQ(m_messages.shown.size(), 1u);
        EXPECT_NE(m_messages.shown[0].text.find("between 2 and 6"), CString::npos);
        Type(d, "ctl150", "3.3");
        Press(d, "ctl1");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(Design()->m_nLogicFamily, 1);
    EXPECT_DOUBLE_EQ(Design()->m_dLogicSupply, 3.3);
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());
    // Cancel leaves it.
    Run<CLogicDialog>(35017, [&](CLogicDialog* d) {
        Press(d, "ctl146");
        Type(d, "ctl149", "12");
        Press(d, "ctl2");
    });
    EXPECT_EQ(Design()->m_nLogicFamily, 1);
}

TEST_F(ViewDialogs, TitleIsStoredAndLimitedTo80Characters)
{
    Run<CTitleDialog>(35001, [&](CTitleDialog* d) {
        auto* e = d->findChild<QLineEdit*>("ctl152");
        ASSERT_NE(e, nullptr);
        QTest::keyClicks(e, QString(90, QLatin1Char('a')));
        EXPECT_EQ(e->text().size(), 80);
        e->setText(QStringLiteral("Bridge rectifier"));
        Press(d, "ctl1");
    });
    EXPECT_EQ(Design()->m_strName, CString("Bridge rectifier"));
    EXPECT_TRUE(m_app->GetMainFrame()->windowTitle().contains(QStringLiteral("Bridge rectifier")));
    Run<CTitleDialog>(35001, [&](CTitleDialog* d) {
        Type(d, "ctl152", "Other");
        Press(d, "ctl2");
    });
    EXPECT_EQ(Design()->m_strName, CString("Bridge rectifier"));
}

TEST_F(ViewDialogs, MeterControlsSamplesRangeAndRmsBox)
{
    Design()->SetOptionBits(0x1000000, true);
    Design()->m_nMeterSamples = 20;
    Run<CMeterDialog>(36041, [&](CMeterDialog* d) {
        auto* rms = d->findChild<QCheckBox*>("ctl166");
        auto* samples = d->findChild<QLineEdit*>("ctl167");
        // Instantaneous: RMS unchecked, the sample count greyed.
        EXPECT_FALSE(rms->isChecked());
        EXPECT_FALSE(samples->isEnabled());
        QTest::mouseClick(rms, Qt::LeftButton, {}, QPoint(6, rms->height() / 2));
        EXPECT_TRUE(samples->isEnabled());
        Type(d, "ctl167", "9000");
        Press(d, "ctl1");
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(m_messages.shown.size(), 1u);
        Type(d, "ctl167", "100");
        Press(d, "ctl1");
    });
    EXPECT_FALSE(Design()->m_dwOptions & 0x1000000);
    EXPECT_EQ(Design()->m_nMeterSamples, 100);
}

TEST_F(ViewDialogs, PageSizeAcceptsZeroAndRefusesTooWide)
{
    Run<CPageSizeDialog>(34264, [&](CPageSizeDialog* d) {
        Type(d, "ctl231", "1000000");
        Press(d, "ctl1");
        EXPECT_TRUE(d->isVisible());
        Type(d, "ctl231", "0");
        Type(d, "ctl232", "2000");
        Press(d, "ctl1");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(Design()->m_szOffset.cx, 0);
    EXPECT_EQ(Design()->m_szOffset.cy, 2000);
}

TEST_F(ViewDialogs, SoundSamplingAndUnitsCancelKeepTheDesign)
{
    const int limit = Design()->m_nSampleLimit;
    Run<CSoundLengthDialog>(36541, [&](CSoundLengthDialog* d) {
        Type(d, "ctl167", "0.0001");
        Press(d, "ctl1");
        EXPECT_TRUE(d->isVisible());
        Type(d, "ctl167", "3");
        Press(d, "ctl2");
    });
    EXPECT_EQ(Design()->m_nSampleLimit, limit);
    Run<CSoundLengthDialog>(36541, [&](CSoundLengthDialog* d) {
        Type(d, "ctl167", "1");
        Type(d, "ctl170", "100");
        Press(d, "ctl1");
    });
    EXPECT_EQ(Design()->m_nSampleLimit, Design()->m_nSoundSampleRate);
    Run<CMeasurementUnitsDialog>(36008, [&](CMeasurementUnitsDialog* d) {
        Press(d, "ctl216");
        EXPECT_TRUE(d->findChild<QRadioButton*>("ctl216")->isChecked());
        Press(d, "ctl1");
    });
    EXPECT_EQ(Design()->m_wAngleUnit, 1);
    Run<CMeasurementUnitsDialog>(36008, [&](CMeasurementUnitsDialog* d) {
        Press(d, "ctl215");
        Press(d, "ctl2");
    });
    EXPECT_EQ(Design()->m_wAngleUnit, 1);
}

TEST_F(ViewDialogs, FontRescaleFactorFromItsKey)
{
    RescaleFontFactor() = 1.28;
    Run<CFontRescaleDialog>(38002, [&](CFontRescaleDialog* d) {
        Type(d, "ctl283", "0");
        Press(d, "ctl1");
        EXPECT_TRUE(d->isVisible());
        Type(d, "ctl283", "1.5");
        Press(d, "ctl1");
    });
    EXPECT_DOUBLE_EQ(RescaleFontFactor(), 1.5);
    Run<CFontRescaleDialog>(38002, [&](CFontRescaleDialog* d) {
        Type(d, "ctl283", "2");
        Press(d, "ctl2");
    });
    EXPECT_DOUBLE_EQ(RescaleFontFactor(), 1.5);
    RescaleFontFactor() = 1.28;
}
