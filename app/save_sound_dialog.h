// "Save Sound": the whole recording or the selected stretch ("ctl208",
// "ctl209"), over CSaveSoundChoice (measure/sound_recording.h).
#pragma once

#include "measure/sound_recording.h"

#include <QDialog>

class QRadioButton;

class CSaveSoundDialog : public QDialog {
    Q_OBJECT
public:
    CSaveSoundDialog(CSaveSoundChoice& choice, QWidget* parent = nullptr);
    void accept() override;

private:
    CSaveSoundChoice& m_choice;
    QRadioButton* m_complete;
    QRadioButton* m_selection;
};

// The file the sound goes to ("Sound Files(*.wav)"); empty on Cancel.
QString ChooseSoundFile(QWidget* parent);
