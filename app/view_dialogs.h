// The small settings dialogs of the view commands.  Each is a thin QDialog
// over a plain data record (model/designfile/view_settings.h and kin): it
// shows the record, checks the entries with the record's rules when OK is
// pressed (a message and the dialog stays open on a bad entry) and writes
// them back.  Controls are named "ctl<id>" after their control ids so that
// tests find them.
#pragma once

#include "platform/cstring.h"

#include <QDialog>
#include <QDialogButtonBox>

#include <functional>

class QBoxLayout;
class QLineEdit;
class QCheckBox;
class QRadioButton;
struct CLogicDlgData;
struct CMeterSettings;
struct CMeasurementUnitsDlgData;
struct CSampleRateDlgData;
struct CSoundLengthDlgData;
struct CPageSizeDlgData;
struct CLockedConstraintsData;

// The row of buttons under every small dialog: the accepting button (OK,
// or Save) named "ctl1" and Cancel named "ctl2", wired to accept and
// reject, added at the foot of the dialog's layout.
void AddDialogButtons(QDialog* dialog, QBoxLayout* box,
                      QDialogButtonBox::StandardButton accepting = QDialogButtonBox::Ok);

// The shared frame: a form, OK and Cancel, and the entry checks.
class CSettingsDialog : public QDialog {
    Q_OBJECT
public:
    CSettingsDialog(int templateId, const QString& caption, QWidget* parent);

    void accept() override;

protected:
    // Reads and checks the entries; false (after the message) keeps the
    // dialog open.
    virtual bool Exchange() = 0;
    // Helpers for Exchange: a number field within a range; on failure the
    // message names the range and the field gets the focus.
    bool ReadDouble(QLineEdit* edit, double low, double high, double* out);
    bool ReadInt(QLineEdit* edit, long long low, long long high, long long* out);
    void Refuse(QWidget* field, const QString& message);
    QLineEdit* AddEdit(class QFormLayout* form, int id, unsigned labelId, const QString& text);
    class QFormLayout* Form() const { return m_form; }

private:
    class QFormLayout* m_form;
};

class CLogicDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CLogicDialog(CLogicDlgData& data, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    void UpdateFields();
    CLogicDlgData& m_data;
    QRadioButton* m_family[3];
    QLineEdit* m_hc;
    QLineEdit* m_cmos;
};

class CTitleDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CTitleDialog(CString& title, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    CString& m_title;
    QLineEdit* m_edit;
};

class CMeterDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CMeterDialog(CMeterSettings& data, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    CMeterSettings& m_data;
    QCheckBox* m_autorange;
    QCheckBox* m_rms;
    QLineEdit* m_samples;
};

class CMeasurementUnitsDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CMeasurementUnitsDialog(CMeasurementUnitsDlgData& data, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    CMeasurementUnitsDlgData& m_data;
    QRadioButton* m_angle[2];
    QRadioButton* m_speed[2];
};

class CSampleRateDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CSampleRateDialog(CSampleRateDlgData& data, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    CSampleRateDlgData& m_data;
    QRadioButton* m_rate[3];
    QLineEdit* m_period;
};

class CSoundLengthDialog : public CSettingsDialog {
    Q_OBJECT
public:
    // sampleRateCommand: runs the Sample Rate command (null: the button is
    // disabled, as on a locked design).
    CSoundLengthDialog(CSoundLengthDlgData& data, std::function<void()> sampleRateCommand, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    CSoundLengthDlgData& m_data;
    QLineEdit* m_length;
    QLineEdit* m_autoPlay;
};

class CPageSizeDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CPageSizeDialog(CPageSizeDlgData& data, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    CPageSizeDlgData& m_data;
    QLineEdit* m_width;
    QLineEdit* m_height;
};

class CLockedConstraintsDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CLockedConstraintsDialog(CLockedConstraintsData& data, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    CLockedConstraintsData& m_data;
    QCheckBox* m_box[3];
};

class CFontRescaleDialog : public CSettingsDialog {
    Q_OBJECT
public:
    CFontRescaleDialog(double& factor, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    double& m_factor;
    QLineEdit* m_edit;
};
