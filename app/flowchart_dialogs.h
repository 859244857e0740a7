// The flowchart dialogs: "Flowchart Options" (the design's flow time step,
// variable range and analogue range) and "Advanced Microcontroller
// Options" (a microcontroller part's pins, over CAdvancedChipForm of
// flowchart/chip_options.h).  The rules are in plain records and forms;
// the dialogs only show them.  Controls are named "ctl<id>".
#pragma once

#include "app/flowchart_options.h"
#include "app/view_dialogs.h"
#include "flowchart/chip_options.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class CFlowchartDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CFlowchartDialog(CFlowchartOptionsData& data, QWidget* parent = nullptr);

protected:
    bool Exchange() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The time-step field left: its value raised to the smallest step.
    void TimeStepLeft();

    CFlowchartOptionsData& m_data;
    QLineEdit* m_timeStep;
    QLineEdit* m_variableRange;
    QLineEdit* m_analogRange;
};

class CAdvancedChipDialog : public QDialog {
    Q_OBJECT
public:
    CAdvancedChipDialog(CAdvancedChipForm& form, QWidget* parent = nullptr);

    void accept() override;

private:
    // The form's state into the controls (counts, label, enabling).
    void Show();

    CAdvancedChipForm& m_form;
    QComboBox* m_pins;
    QLineEdit* m_label;
    QLineEdit* m_digital;
    QLineEdit* m_analogue;
    QLineEdit* m_outputs;
    QCheckBox* m_reset;
    QCheckBox* m_usart;
};

// Shows "Advanced Microcontroller Options" for a microcontroller part's
// advanced button; installed for the life of the main window.
class CQtChipDialogHost : public CChipDialogHost {
public:
    explicit CQtChipDialogHost(QWidget* parent);
    ~CQtChipDialogHost() override;
    bool Edit(CAdvancedChipForm& form) override;

private:
    QWidget* m_parent;
    CChipDialogHost* m_previous;
};

void InstallChipDialogs(QWidget* mainWindow);
