#include "app/save_sound_dialog.h"

#include "app/view_dialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kTemplateId = 306;
} // namespace

CSaveSoundDialog::CSaveSoundDialog(CSaveSoundChoice& choice, QWidget* parent) : QDialog(parent), m_choice(choice)
{
    setObjectName(QStringLiteral("dlg%1").arg(kTemplateId));
    setWindowTitle(QStringLiteral("Save Sound"));
    auto* box = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("What to Save"));
    auto* radios = new QVBoxLayout(group);
    m_complete = new QRadioButton(QStringLiteral("Complete Sample"));
    m_complete->setObjectName(QStringLiteral("ctl208"));
    m_selection = new QRadioButton(QStringLiteral("Selection"));
    m_selection->setObjectName(QStringLiteral("ctl209"));
    radios->addWidget(m_complete);
    radios->addWidget(m_selection);
    box->addWidget(group);
    m_selection->setEnabled(choice.selectionOffered);
    (choice.selectionOffered && choice.selection ? m_selection : m_complete)->setChecked(true);
    AddDialogButtons(this, box, QDialogButtonBox::Save);
}

void CSaveSoundDialog::accept()
{
    m_choice.selection = m_choice.selectionOffered && m_selection->isChecked();
    QDialog::accept();
}

QString ChooseSoundFile(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Save Sound"), QString(), QStringLiteral("Sound Files (*.wav)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().front();
}
