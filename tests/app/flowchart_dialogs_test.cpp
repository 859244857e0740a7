// The flowchart dialogs in the real main window: Options/Flowchart raises
// a too short time step to the design's step as the field is left and
// stores the three values; a microcontroller part's advanced button opens
// "Advanced Microcontroller Options", refuses a label another pin has and
// rebuilds the part with the new counts.
#include "app/flowchart_dialogs.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "flowchart/chip.h"
#include "model/circuit/circuit.h"
#include "model/designfile/view_settings.h"
#include "platform/messagebox.h"
#include "platform/text1252.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace shelltest;

namespace {

class FlowchartDialogs : public ::testing::Test {
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

    static QLineEdit* Field(QDialog* d, const char* name)
    {
        auto* e = d->findChild<QLineEdit*>(QString::fromLatin1(name));
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    static void Type(QDialog* d, const char* name, const QString& text)
    {
        QLineEdit* e = Field(d, name);
        if (!e) return;
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    static void Press(QDialog* d, const char* name)
    {
        auto* b = d->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    template <class D>
    void WhenShown(std::function<void(D*)> act, bool* seen)
    {
        WhenModal<D>([act, seen](D* d) {
            *seen = true;
            act(d);
            if (d->isVisible()) d->reject();
        });
    }

    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
};

TEST(FlowchartOptionsData, TheTimeStepIsRaisedToTheDesignsStep)
{
    CCircuit d;
    d.m_nSoundSampleRate = 11025;
    const CFlowchartOptionsData data = CFlowchartOptionsData::FromDesign(d);
    EXPECT_DOUBLE_EQ(data.timeStep, 0.2);
    EXPECT_EQ(data.variableRange, 255);
    EXPECT_EQ(data.analogRange, 255);
    EXPECT_DOUBLE_EQ(data.RaisedTimeStep(0.00001), 1.0 / 11025);
    EXPECT_DOUBLE_EQ(data.RaisedTimeStep(0.5), 0.5);
    CFlowchartOptionsData bad = data;
    bad.variableRange = 10001;
    EXPECT_FALSE(bad.IsValid());
    bad = data;
    bad.timeStep = 10.5;
    EXPECT_FALSE(bad.IsValid());
    EXPECT_TRUE(data.IsValid());
}

TEST_F(FlowchartDialogs, OptionsRaiseTheTimeStepAndStoreTheValues)
{
    Design()->m_nSoundSampleRate = 11025;
    bool seen = false;
    WhenShown<CFlowchartDialog>(
        [&](CFlowchartDialog* d) {
            Type(d, "ctl601", "0.00001");
            // Leaving the field raises it at once.
            QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(Field(d, "ctl601"), &left);
            double shown = 0.0;
            ASSERT_TRUE(ParseDialogNumber(ToWindows1252(Field(d, "ctl601")->text()), &shown));
            EXPECT_NEAR(shown, 1.0 / 11025, 1e-12);
            Type(d, "ctl600", "20000");
            Press(d, "ctl1");
            EXPECT_TRUE(d->isVisible());
            EXPECT_EQ(m_messages.shown.size(), 1u);
            Type(d, "ctl600", "1000");
            Type(d, "ctl602", "1023");
            Press(d, "ctl1");
            EXPECT_FALSE(d->isVisible());
        },
        &seen);
    m_app->RouteCommand(34258);
    EXPECT_TRUE(seen);
    EXPECT_NEAR(Design()->m_dFlowTimeStep, 1.0 / 11025, 1e-12);
    EXPECT_EQ(Design()->m_nVariableRange, 1000);
    EXPECT_EQ(Design()->GetAnalogRange(), 1023);
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());
}

TEST_F(FlowchartDialogs, ChipOptionsRefuseATakenLabelAndRebuildThePart)
{
    auto* chip = new CChip;
    chip->m_rect = CRect(200, 200, 200, 200);
    chip->m_pCircuit = Design();
    chip->m_strClassName = "Generic";
    chip->m_nClassCode = CHIP_GENERIC;
    chip->Initialise();
    Design()->AddChild(chip);
    chip->Drop(Design());
    ASSERT_EQ(chip->DigitalCount(), 4);
    bool seen = false;
    WhenShown<CAdvancedChipDialog>(
        [&](CAdvancedChipDialog* d) {
            auto* pins = d->findChild<QComboBox*>("ctl606");
            ASSERT_NE(pins, nullptr);
            EXPECT_EQ(pins->itemText(0), "in0");
            EXPECT_EQ(pins->itemText(4), "out0");
            // The USART box belongs to the 28-pin classes.
            EXPECT_FALSE(d->findChild<QCheckBox*>("ctl609")->isEnabled());
            EXPECT_TRUE(Field(d, "ctl605")->isEnabled());
            // out0 gets in1's label: refused with the warning.
            pins->setCurrentIndex(4);
            emit pins->activated(4);
            EXPECT_EQ(Field(d, "ctl608")->text(), "Output0");
            Type(d, "ctl608", "Input1");
            emit pins->activated(0);
            ASSERT_EQ(m_messages.shown.size(), 1u);
            EXPECT_EQ(m_messages.shown[0].text, "Warning: This name is already being used.");
            emit pins->activated(4);
            EXPECT_EQ(Field(d, "ctl608")->text(), "Output0");
            Type(d, "ctl608", "Motor");
            Type(d, "ctl610", "6x");
            EXPECT_EQ(Field(d, "ctl610")->text(), "6");
            Press(d, "ctl604");
            Press(d, "ctl1");
            EXPECT_FALSE(d->isVisible());
        },
        &seen);
    const int result = chip->OnPropertyCommand(36074, CString());
    EXPECT_TRUE(seen);
    EXPECT_EQ(result, 25);
    chip->ApplySettingsText();
    EXPECT_EQ(chip->DigitalCount(), 6);
    EXPECT_EQ(chip->m_nResetPin, 1);
    EXPECT_EQ(chip->GetOutputName(0), "Motor");
    EXPECT_EQ(chip->GetDigitalInputName(1), "Input1");
}

} // namespace
