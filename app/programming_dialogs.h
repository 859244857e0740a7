// The dialogs of exporting and programming a flowchart: "Export Flowchart"
// over CFlowExportForm (app/flowchart_export.h), "Microcontroller
// Programmer Options" over CProgrammingForm (app/programming_form.h), and
// the modeless "Programming in progress ...." window that a programming
// run keeps alive while it waits for the programmer.  Controls are named
// "ctl<id>".
#pragma once

#include "app/flowchart_export.h"
#include "app/programming_form.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

class CFlowExportDialog : public QDialog {
    Q_OBJECT
public:
    CFlowExportDialog(CFlowExportForm& form, QWidget* parent = nullptr);
    void accept() override;

private:
    CFlowExportForm& m_form;
    QComboBox* m_flowcharts;
    QComboBox* m_languages;
};

class CProgrammingDialog : public QDialog {
    Q_OBJECT
public:
    CProgrammingDialog(CProgrammingForm& form, QWidget* parent = nullptr);
    void accept() override;

private:
    // The form into the controls: the programmer list, the models and
    // what is enabled.
    void Show();

    CProgrammingForm& m_form;
    QComboBox* m_programmers;
    QComboBox* m_ports;
    QComboBox* m_classes;
    QLineEdit* m_model18;
    QLineEdit* m_model28;
    QLabel* m_hint;
    QPushButton* m_ok = nullptr;
};

class CProgressDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFull = 10000;

    explicit CProgressDialog(QWidget* parent = nullptr);

    // The status line shows a string of the table.
    void SetStatus(unsigned stringId);
    // One step of the bar (the caller's, between two pumps).
    void StepIt();
    // Handles every waiting event; after Cancel shows 919 "Programming
    // Cancelled" and returns false.
    bool PumpMessages();
    // Fills the bar in steps of 10.
    void CompleteProgress();
    bool IsCancelled() const { return m_cancelled; }
    int Position() const;
    QString Status() const;

private:
    QProgressBar* m_bar;
    QLabel* m_status;
    int m_step = 1;
    bool m_cancelled = false;
};
