#include "app/probe_copy_dialog.h"

#include "app/view_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kTemplateId = 121;
constexpr int kColumns = 2;
} // namespace

CCopyDataDialog::CCopyDataDialog(CCopyDataForm& form, QWidget* parent) : QDialog(parent), m_form(form)
{
    setObjectName(QStringLiteral("dlg%1").arg(kTemplateId));
    setWindowTitle(QStringLiteral("Copy Probe Data"));
    auto* box = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int i = 0;
    for (const CQuantityBox& q : QuantityBoxes()) {
        auto* check = new QCheckBox(QString::fromLatin1(q.label));
        check->setObjectName(QStringLiteral("ctl%1").arg(q.controlId));
        check->setEnabled(form.IsEnabled(q.bit));
        check->setChecked(form.IsQuantityChecked(q.bit));
        grid->addWidget(check, i / kColumns, i % kColumns);
        m_boxes.emplace_back(q.bit, check);
        ++i;
    }
    box->addLayout(grid);
    AddDialogButtons(this, box);
}

void CCopyDataDialog::accept()
{
    for (const auto& [bit, check] : m_boxes) m_form.SetChecked(bit, check->isChecked());
    QDialog::accept();
}
