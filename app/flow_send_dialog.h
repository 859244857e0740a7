// "Advanced Send Options" of a serial send element: whether the whole
// sequence of frames is played on the line ("Animate Full Sequence") or
// only the first.  The element asks through CFlowSendDialogHost of
// flowchart/flow_serial.h; the main window installs the host below.
// Controls are named "ctl<id>".
#pragma once

#include "flowchart/flow_serial.h"

#include <QDialog>

class QCheckBox;

class CFlowSendDialog : public QDialog {
    Q_OBJECT
public:
    CFlowSendDialog(int& whole, QWidget* parent = nullptr);

    void accept() override;

private:
    int& m_whole;
    QCheckBox* m_animate;
};

class CQtFlowSendDialogHost : public CFlowSendDialogHost {
public:
    explicit CQtFlowSendDialogHost(QWidget* parent);
    ~CQtFlowSendDialogHost() override;
    bool Edit(int& whole) override;

private:
    QWidget* m_parent;
    CFlowSendDialogHost* m_previous;
};

// Installed for the life of the window.
void InstallFlowSendDialog(QWidget* mainWindow);
