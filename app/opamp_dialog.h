// The op-amp's supply dialog: V+ and the size of V- in whole volts, 0 to
// 99 each, over the supply label's own rules (model/text/opampsupply.h).
// Its edits are "ctl1000" (V+) and "ctl1001" (V-).
#pragma once

#include "app/view_dialogs.h"
#include "model/text/opampsupply.h"

class COpampDialog : public CSettingsDialog {
    Q_OBJECT
public:
    COpampDialog(int& positive, int& negative, QWidget* parent = nullptr);

private:
    bool Exchange() override;
    int& m_positive;
    int& m_negative;
    QLineEdit* m_plus;
    QLineEdit* m_minus;
};

// Runs the dialog for the op-amps while the main window lives.
class CQtOpampDialogHost : public COpampDialogHost {
public:
    explicit CQtOpampDialogHost(QWidget* parent);
    ~CQtOpampDialogHost() override;
    bool Edit(int* positive, int* negative) override;

private:
    QWidget* m_parent;
    COpampDialogHost* m_previous;
};
