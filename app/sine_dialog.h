// "Advanced Oscillator Controls": the signal generator's DC offset (typed
// in the chosen unit, -9999 to 9999), the volts/millivolts choice and the
// phase (0 to 360 degrees), with a button that puts back the defaults and
// one that opens the design's sample-rate command.  CAdvancedSineForm holds
// the rules and runs without windows; the dialog only shows it.
#pragma once

#include <QDialog>
#include <QString>

#include "model/text/sinevalue.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CAdvancedSineForm {
public:
    CAdvancedSineForm(double typedOffset, int volts, double phase);

    // Offset 0, volts, phase 0.
    void Reset();
    // Parses both numbers (locale-free) and checks their ranges.  On
    // failure the message says what to type and badField is 0 (offset) or
    // 1 (phase); nothing is written to the outputs then.
    bool Accept(double* typedOffset, int* volts, double* phase, int* badField, QString* message) const;

    QString offsetText;
    QString phaseText;
    bool volts = true;

    static constexpr double kOffsetLimit = 9999.0;
    static constexpr double kPhaseLimit = 360.0;
};

class CAdvancedSineDialog : public QDialog {
    Q_OBJECT
public:
    // canSampleRate: whether the sample-rate command may run now;
    // openSampleRate runs it.
    CAdvancedSineDialog(const CAdvancedSineForm& form, bool canSampleRate, std::function<void()> openSampleRate,
                        QWidget* parent);

    const CAdvancedSineForm& Form() const { return m_form; }
    // The accepted values (valid after the dialog was accepted).
    double Offset() const { return m_offset; }
    int Volts() const { return m_volts; }
    double Phase() const { return m_phase; }

    void accept() override;

private:
    void Show();
    void Take();

    CAdvancedSineForm m_form;
    double m_offset = 0.0;
    int m_volts = 1;
    double m_phase = 0.0;
    QLineEdit* m_offsetEdit;
    QLineEdit* m_phaseEdit;
    QRadioButton* m_milli;
    QRadioButton* m_voltsButton;
    QLabel* m_message;
};

// Shows the dialog for the signal generator's label.
class CQtSineDialogHost : public CSineDialogHost {
public:
    CQtSineDialogHost(QWidget* parent, std::function<bool()> canSampleRate, std::function<void()> openSampleRate);
    ~CQtSineDialogHost() override;
    bool Edit(double* typedOffset, int* volts, double* phase) override;

private:
    QWidget* m_parent;
    std::function<bool()> m_canSampleRate;
    std::function<void()> m_openSampleRate;
};

class CTeskApp;
// Installs the dialog for the life of the main window; its "Sample Rate..."
// button runs the sample-rate command along the application's route.
void InstallSineDialogs(QWidget* mainWindow, CTeskApp* app);
