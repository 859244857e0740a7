// "Copy Probe Data": one check box per probe quantity ("ctl<id>" after the
// control ids), over CCopyDataForm.
#pragma once

#include "app/probe_copy.h"

#include <QDialog>

#include <vector>

class QCheckBox;

class CCopyDataDialog : public QDialog {
    Q_OBJECT
public:
    CCopyDataDialog(CCopyDataForm& form, QWidget* parent = nullptr);
    void accept() override;

private:
    CCopyDataForm& m_form;
    std::vector<std::pair<DWORD, QCheckBox*>> m_boxes;
};
