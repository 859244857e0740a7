#include "app/programming_dialogs.h"

#include "app/view_dialogs.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QString Text(unsigned id) { return FromWindows1252(LoadResString(id)); }
QString Q(const CString& s) { return FromWindows1252(s); }
CString C(const QString& s) { return ToWindows1252(s); }
QString Name(int id) { return QStringLiteral("ctl%1").arg(id); }

enum : unsigned {
    IDS_PROGRAMMING_CANCELLED = 919,
    IDS_FINDING_PLUG_IN = 983,
    IDS_EXPORT_TITLE = 24412,
    IDS_EXPORT_GROUP = 24413,
    IDS_EXPORT_FLOWCHART = 24414,
    IDS_EXPORT_LANGUAGE = 24415,
    IDS_EXPORT_BUTTON = 24416,
    IDS_PROGRAMMER_TITLE = 24417,
    IDS_PROGRAMMER = 24418,
    IDS_COM_PORT = 24419,
    IDS_DEFAULT_CLASS = 24420,
    IDS_MODEL18 = 24421,
    IDS_MODEL28 = 24422,
    IDS_RESTORE_DEFAULTS = 24423,
    IDS_PROGRESS_TITLE = 24428,
};
// The chip model fields take ten characters.
constexpr int kModelLength = 10;

QComboBox* AddCombo(QFormLayout* form, int id, const QString& label, const std::vector<CString>& entries)
{
    auto* combo = new QComboBox;
    combo->setObjectName(Name(id));
    for (const CString& e : entries) combo->addItem(Q(e));
    form->addRow(label, combo);
    return combo;
}
} // namespace

// ---------------------------------------------------------------- Export Flowchart

CFlowExportDialog::CFlowExportDialog(CFlowExportForm& form, QWidget* parent) : QDialog(parent), m_form(form)
{
    setObjectName(QStringLiteral("dlg561"));
    setWindowTitle(Text(IDS_EXPORT_TITLE));
    auto* box = new QVBoxLayout(this);
    auto* group = new QGroupBox(Text(IDS_EXPORT_GROUP));
    auto* grid = new QFormLayout(group);
    box->addWidget(group);
    m_flowcharts = AddCombo(grid, 600, Text(IDS_EXPORT_FLOWCHART), form.flowcharts);
    m_languages = AddCombo(grid, 601, Text(IDS_EXPORT_LANGUAGE), form.languages);
    m_flowcharts->setCurrentIndex(form.flowchart);
    m_languages->setCurrentIndex(form.language);
    AddDialogButtons(this, box);
    if (auto* exportButton = findChild<QPushButton*>(QStringLiteral("ctl1"))) exportButton->setText(Text(IDS_EXPORT_BUTTON));
}

void CFlowExportDialog::accept()
{
    m_form.flowchart = m_flowcharts->currentIndex();
    m_form.language = m_languages->currentIndex();
    QDialog::accept();
}

// ---------------------------------------------------------------- Microcontroller Programmer Options

CProgrammingDialog::CProgrammingDialog(CProgrammingForm& form, QWidget* parent) : QDialog(parent), m_form(form)
{
    setObjectName(QStringLiteral("dlg586"));
    setWindowTitle(Text(IDS_PROGRAMMER_TITLE));
    auto* box = new QVBoxLayout(this);
    auto* grid = new QFormLayout;
    box->addLayout(grid);
    m_programmers = AddCombo(grid, 611, Text(IDS_PROGRAMMER), {});
    std::vector<CString> ports;
    for (int i = 1; i <= CProgrammingForm::kPorts; ++i) ports.push_back("COM " + std::to_string(i));
    m_ports = AddCombo(grid, 613, Text(IDS_COM_PORT), ports);
    m_classes = AddCombo(grid, 623, Text(IDS_DEFAULT_CLASS), form.classes);
    auto edit = [&](int id, unsigned label) {
        auto* e = new QLineEdit;
        e->setObjectName(Name(id));
        e->setMaxLength(kModelLength);
        grid->addRow(Text(label), e);
        return e;
    };
    m_model18 = edit(610, IDS_MODEL18);
    m_model28 = edit(612, IDS_MODEL28);
    m_hint = new QLabel;
    m_hint->setObjectName(Name(624));
    m_hint->setWordWrap(true);
    box->addWidget(m_hint);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(Name(1));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(Name(2));
    auto* restore = buttons->addButton(Text(IDS_RESTORE_DEFAULTS), QDialogButtonBox::ResetRole);
    restore->setObjectName(Name(57671));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
    Show();

    connect(m_programmers, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        m_form.ChooseProgrammer(index);
        Show();
    });
    connect(m_ports, qOverload<int>(&QComboBox::activated), this, [this](int index) { m_form.port = index; });
    connect(m_classes, qOverload<int>(&QComboBox::activated), this, [this](int index) { m_form.defaultClass = index; });
    connect(m_model18, &QLineEdit::textEdited, this, [this](const QString& t) { m_form.model18 = C(t); });
    connect(m_model28, &QLineEdit::textEdited, this, [this](const QString& t) { m_form.model28 = C(t); });
    connect(restore, &QPushButton::clicked, this, [this] {
        m_form.RestoreDefaults();
        Show();
    });
}

void CProgrammingDialog::Show()
{
    const QSignalBlocker b1(m_programmers), b2(m_ports), b3(m_classes);
    m_programmers->clear();
    for (const CString& p : m_form.programmers) m_programmers->addItem(Q(p));
    m_programmers->setCurrentIndex(m_form.programmer);
    m_ports->setCurrentIndex(m_form.port);
    m_classes->setCurrentIndex(m_form.defaultClass);
    m_model18->setText(Q(m_form.model18));
    m_model28->setText(Q(m_form.model28));
    m_model18->setEnabled(m_form.ModelsEnabled());
    m_model28->setEnabled(m_form.ModelsEnabled());
    m_hint->setText(Q(m_form.Hint()));
    m_ok->setEnabled(m_form.OkEnabled());
}

void CProgrammingDialog::accept()
{
    if (!m_form.OkEnabled()) return;
    QDialog::accept();
}

// ---------------------------------------------------------------- Programming in progress

CProgressDialog::CProgressDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlg587"));
    setWindowTitle(Text(IDS_PROGRESS_TITLE));
    auto* box = new QVBoxLayout(this);
    m_bar = new QProgressBar;
    m_bar->setObjectName(Name(613));
    m_bar->setRange(0, kFull);
    m_bar->setValue(0);
    box->addWidget(m_bar);
    m_status = new QLabel(Text(IDS_FINDING_PLUG_IN));
    m_status->setObjectName(Name(622));
    box->addWidget(m_status);
    auto* cancel = new QPushButton(FromWindows1252("Cancel"));
    cancel->setObjectName(Name(614));
    box->addWidget(cancel, 0, Qt::AlignCenter);
    connect(cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
}

void CProgressDialog::SetStatus(unsigned stringId)
{
    m_status->setText(Text(stringId));
    m_status->repaint();
}

void CProgressDialog::StepIt()
{
    // The bar wraps to its start when a step would pass its end.
    const int next = m_bar->value() + m_step;
    m_bar->setValue(next > kFull ? 0 : next);
}

bool CProgressDialog::PumpMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (!m_cancelled) return true;
    WbMessageBox(IDS_PROGRAMMING_CANCELLED, MB_OK);
    return false;
}

void CProgressDialog::CompleteProgress()
{
    m_step = 10;
    while (m_bar->value() < kFull) m_bar->setValue(std::min(kFull, m_bar->value() + m_step));
}

int CProgressDialog::Position() const { return m_bar->value(); }

QString CProgressDialog::Status() const { return m_status->text(); }
