#include "app/view_dialogs.h"

#include "components/meter_ring.h"
#include "model/designfile/units.h"
#include "model/designfile/view_settings.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString Text(unsigned id) { return FromWindows1252(LoadResString(id)); }

QString Number(double v) { return QString::number(v, 'g', 10); }

QString Name(int id) { return QStringLiteral("ctl%1").arg(id); }

QRadioButton* AddRadio(QLayout* layout, QButtonGroup* group, int id, unsigned labelId, int index)
{
    auto* b = new QRadioButton(Text(labelId));
    b->setObjectName(Name(id));
    group->addButton(b, index);
    layout->addWidget(b);
    return b;
}

QCheckBox* AddCheck(QLayout* layout, int id, unsigned labelId)
{
    auto* b = new QCheckBox(Text(labelId));
    b->setObjectName(Name(id));
    layout->addWidget(b);
    return b;
}

} // namespace

// ---------------------------------------------------------------- the frame

void AddDialogButtons(QDialog* dialog, QBoxLayout* box, QDialogButtonBox::StandardButton accepting)
{
    auto* buttons = new QDialogButtonBox(accepting | QDialogButtonBox::Cancel);
    buttons->button(accepting)->setObjectName(QStringLiteral("ctl1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("ctl2"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    box->addWidget(buttons);
}

CSettingsDialog::CSettingsDialog(int templateId, const QString& caption, QWidget* parent)
    : QDialog(parent), m_form(new QFormLayout)
{
    setObjectName(QStringLiteral("dlg%1").arg(templateId));
    setWindowTitle(caption);
    auto* box = new QVBoxLayout(this);
    box->addLayout(m_form);
    AddDialogButtons(this, box);
}

void CSettingsDialog::accept()
{
    if (Exchange()) QDialog::accept();
}

void CSettingsDialog::Refuse(QWidget* field, const QString& message)
{
    WbMessageBox(ToWindows1252(message), MB_ICONEXCLAMATION);
    if (field) {
        field->setFocus();
        if (auto* e = qobject_cast<QLineEdit*>(field)) e->selectAll();
    }
}

bool CSettingsDialog::ReadDouble(QLineEdit* edit, double low, double high, double* out)
{
    double v = 0.0;
    if (!ParseDialogNumber(ToWindows1252(edit->text()), &v)) {
        Refuse(edit, Text(38100));
        return false;
    }
    if (v < low || v > high) {
        Refuse(edit, Text(38101).arg(Number(low), Number(high)));
        return false;
    }
    *out = v;
    return true;
}

bool CSettingsDialog::ReadInt(QLineEdit* edit, long long low, long long high, long long* out)
{
    bool ok = false;
    const long long v = edit->text().trimmed().toLongLong(&ok);
    if (!ok || v < low || v > high) {
        Refuse(edit, Text(38102).arg(low).arg(high));
        return false;
    }
    *out = v;
    return true;
}

QLineEdit* CSettingsDialog::AddEdit(QFormLayout* form, int id, unsigned labelId, const QString& text)
{
    auto* e = new QLineEdit(text);
    e->setObjectName(Name(id));
    form->addRow(Text(labelId), e);
    return e;
}

// ---------------------------------------------------------------- Logic Options

CLogicDialog::CLogicDialog(CLogicDlgData& data, QWidget* parent)
    : CSettingsDialog(209, Text(38110), parent), m_data(data)
{
    auto* group = new QButtonGroup(this);
    auto* radios = new QVBoxLayout;
    const int ids[3] = {148, 145, 146};
    for (int i = 0; i < 3; ++i) m_family[i] = AddRadio(radios, group, ids[i], 38111 + i, i);
    Form()->addRow(radios);
    m_hc = AddEdit(Form(), 150, 38114, Number(data.hcSupply));
    m_cmos = AddEdit(Form(), 149, 38115, Number(data.cmosSupply));
    m_family[std::clamp(data.family, 0, 2)]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this, [this] { UpdateFields(); });
    UpdateFields();
}

void CLogicDialog::UpdateFields()
{
    m_hc->setEnabled(m_family[1]->isChecked());
    m_cmos->setEnabled(m_family[2]->isChecked());
}

bool CLogicDialog::Exchange()
{
    CLogicDlgData d = m_data;
    d.family = m_family[1]->isChecked() ? 1 : m_family[2]->isChecked() ? 2 : 0;
    if (!ReadDouble(m_hc, 2.0, 6.0, &d.hcSupply) || !ReadDouble(m_cmos, 3.0, 15.0, &d.cmosSupply)) return false;
    m_data = d;
    return true;
}

// ---------------------------------------------------------------- Title

CTitleDialog::CTitleDialog(CString& title, QWidget* parent)
    : CSettingsDialog(210, Text(38116), parent), m_title(title)
{
    m_edit = AddEdit(Form(), 152, 38116, FromWindows1252(title));
    m_edit->setMaxLength(kMaxTitleLength);
    m_edit->setMinimumWidth(320);
}

bool CTitleDialog::Exchange()
{
    const CString t = ToWindows1252(m_edit->text());
    if (!IsValidTitle(t)) {
        Refuse(m_edit, Text(38103).arg(kMaxTitleLength));
        return false;
    }
    m_title = t;
    return true;
}

// ---------------------------------------------------------------- Meter Controls

CMeterDialog::CMeterDialog(CMeterSettings& data, QWidget* parent)
    : CSettingsDialog(307, Text(38117), parent), m_data(data)
{
    auto* boxes = new QVBoxLayout;
    m_autorange = AddCheck(boxes, 165, 38118);
    m_rms = AddCheck(boxes, 166, 38119);
    Form()->addRow(boxes);
    m_samples = AddEdit(Form(), 167, 38120, QString::number(data.samples));
    m_autorange->setChecked(data.autorange);
    // The RMS box shows the opposite of the instantaneous option.
    m_rms->setChecked(!data.instantaneous);
    m_samples->setEnabled(m_rms->isChecked());
    connect(m_rms, &QCheckBox::toggled, m_samples, &QWidget::setEnabled);
}

bool CMeterDialog::Exchange()
{
    long long samples = 0;
    if (!ReadInt(m_samples, kMinMeterSamples, kMaxMeterSamples, &samples)) return false;
    m_data.autorange = m_autorange->isChecked() ? 1 : 0;
    m_data.rms = m_rms->isChecked() ? 1 : 0;
    m_data.instantaneous = m_data.rms ? 0 : 1;
    m_data.samples = static_cast<int>(samples);
    return true;
}

// ---------------------------------------------------------------- Measurement Units

CMeasurementUnitsDialog::CMeasurementUnitsDialog(CMeasurementUnitsDlgData& data, QWidget* parent)
    : CSettingsDialog(303, Text(38121), parent), m_data(data)
{
    auto makeGroup = [this](unsigned title, int firstId, unsigned firstLabel, QRadioButton** out, int choice) {
        auto* box = new QGroupBox(Text(title));
        auto* lay = new QVBoxLayout(box);
        auto* group = new QButtonGroup(box);
        for (int i = 0; i < 2; ++i) out[i] = AddRadio(lay, group, firstId + i, firstLabel + i, i);
        out[choice == 1 ? 1 : 0]->setChecked(true);
        Form()->addRow(box);
    };
    makeGroup(38122, 215, 38123, m_angle, data.angleChoice);
    makeGroup(38125, 217, 38126, m_speed, data.speedChoice);
}

bool CMeasurementUnitsDialog::Exchange()
{
    m_data.angleChoice = m_angle[1]->isChecked() ? 1 : 0;
    m_data.speedChoice = m_speed[1]->isChecked() ? 1 : 0;
    return true;
}

// ---------------------------------------------------------------- Sample Rate

CSampleRateDialog::CSampleRateDialog(CSampleRateDlgData& data, QWidget* parent)
    : CSettingsDialog(304, Text(38128), parent), m_data(data)
{
    auto* box = new QGroupBox(Text(38148));
    auto* lay = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    const int ids[3] = {228, 229, 230};
    for (int i = 0; i < 3; ++i) {
        m_rate[i] = AddRadio(lay, group, ids[i], 38129 + i, i);
        m_rate[i]->setVisible(data.rateShown[i]);
    }
    m_rate[std::clamp(data.rateChoice, 0, 2)]->setChecked(true);
    Form()->addRow(box);
    m_period = AddEdit(Form(), 127, 38132, Number(data.displayRate));
}

bool CSampleRateDialog::Exchange()
{
    double period = 0.0;
    if (!ReadDouble(m_period, kDisplayRateMin, kDisplayRateMax, &period)) return false;
    m_data.displayRate = period;
    for (int i = 0; i < 3; ++i)
        if (m_rate[i]->isChecked()) m_data.rateChoice = i;
    return true;
}

// ---------------------------------------------------------------- Sound Sampling

CSoundLengthDialog::CSoundLengthDialog(CSoundLengthDlgData& data, std::function<void()> sampleRateCommand,
                                       QWidget* parent)
    : CSettingsDialog(305, Text(38133), parent), m_data(data)
{
    m_length = AddEdit(Form(), 167, 38134, Number(data.lengthSeconds));
    m_autoPlay = AddEdit(Form(), 170, 38135, QString::number(data.autoPlayMs));
    auto* rate = new QPushButton(Text(38136));
    rate->setObjectName(Name(36546));
    rate->setEnabled(static_cast<bool>(sampleRateCommand));
    connect(rate, &QPushButton::clicked, this, [sampleRateCommand] {
        if (sampleRateCommand) sampleRateCommand();
    });
    Form()->addRow(rate);
}

bool CSoundLengthDialog::Exchange()
{
    CSoundLengthDlgData d;
    if (!ReadDouble(m_length, 0.001, 1000.0, &d.lengthSeconds)) return false;
    long long ms = 0;
    const long long maxMs = static_cast<long long>(std::min(999.0, d.lengthSeconds * 1000.0));
    if (!ReadInt(m_autoPlay, 1, std::max<long long>(1, maxMs), &ms)) return false;
    d.autoPlayMs = static_cast<int>(ms);
    if (d.FirstInvalidField()) {
        Refuse(m_autoPlay, Text(38102).arg(1).arg(maxMs));
        return false;
    }
    m_data = d;
    return true;
}

// ---------------------------------------------------------------- Page Size

CPageSizeDialog::CPageSizeDialog(CPageSizeDlgData& data, QWidget* parent)
    : CSettingsDialog(356, Text(38137), parent), m_data(data)
{
    m_width = AddEdit(Form(), 231, 38138, QString::number(data.width));
    m_height = AddEdit(Form(), 232, 38139, QString::number(data.height));
    auto* note = new QLabel(Text(38140));
    note->setWordWrap(true);
    Form()->addRow(note);
}

bool CPageSizeDialog::Exchange()
{
    CPageSizeDlgData d;
    if (!ReadInt(m_width, 0, kMaxPageWidth, &d.width) || !ReadInt(m_height, 0, kMaxPageHeight, &d.height))
        return false;
    m_data = d;
    return true;
}

// ---------------------------------------------------------------- Locked Constraints

CLockedConstraintsDialog::CLockedConstraintsDialog(CLockedConstraintsData& data, QWidget* parent)
    : CSettingsDialog(380, Text(38141), parent), m_data(data)
{
    auto* box = new QGroupBox(Text(38142));
    auto* lay = new QVBoxLayout(box);
    const int ids[3] = {227, 229, 228};
    for (int i = 0; i < 3; ++i) {
        m_box[i] = AddCheck(lay, ids[i], 38143 + i);
        // A box whose parts differ starts indeterminate; the user may leave
        // it so (nothing is written) or choose.
        m_box[i]->setTristate(data.state[i] == 2);
        m_box[i]->setCheckState(data.state[i] == 2   ? Qt::PartiallyChecked
                                : data.state[i] == 1 ? Qt::Checked
                                                     : Qt::Unchecked);
    }
    Form()->addRow(box);
}

bool CLockedConstraintsDialog::Exchange()
{
    for (int i = 0; i < 3; ++i) {
        const Qt::CheckState s = m_box[i]->checkState();
        m_data.state[i] = s == Qt::PartiallyChecked ? 2 : s == Qt::Checked ? 1 : 0;
    }
    return true;
}

// ---------------------------------------------------------------- Font Rescale Options

CFontRescaleDialog::CFontRescaleDialog(double& factor, QWidget* parent)
    : CSettingsDialog(467, Text(38146), parent), m_factor(factor)
{
    m_edit = AddEdit(Form(), 283, 38147, Number(factor));
}

bool CFontRescaleDialog::Exchange()
{
    double v = 0.0;
    if (!ReadDouble(m_edit, 0.01, 100.0, &v)) return false;
    m_factor = v;
    return true;
}
