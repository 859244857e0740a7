#include "app/flowchart_dialogs.h"

#include "model/circuit/circuit.h"
#include "model/designfile/view_settings.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <memory>

namespace {
QString Text(unsigned id) { return FromWindows1252(LoadResString(id)); }
QString Q(const CString& s) { return FromWindows1252(s); }
CString C(const QString& s) { return ToWindows1252(s); }
QString Name(int id) { return QStringLiteral("ctl%1").arg(id); }

enum : unsigned {
    IDS_FLOW_OPTIONS = 24400,
    IDS_FLOW_TIMESTEP = 24401,
    IDS_VARIABLE_RANGE = 24402,
    IDS_ANALOG_RANGE = 24403,
    IDS_CHIP_OPTIONS = 24404,
    IDS_CHIP_LABEL = 24405,
    IDS_VISIBLE_INPUTS = 24406,
    IDS_VISIBLE_ANALOG = 24407,
    IDS_VISIBLE_OUTPUTS = 24408,
    IDS_RESET_PIN = 24409,
    IDS_USART_PINS = 24410,
};
} // namespace

// ---------------------------------------------------------------- Flowchart Options

CFlowchartOptionsData CFlowchartOptionsData::FromDesign(const CCircuit& design)
{
    CFlowchartOptionsData d;
    d.timeStep = design.m_dFlowTimeStep;
    d.variableRange = design.m_nVariableRange;
    d.analogRange = design.m_nAnalogRange;
    d.smallestStep = design.m_nSoundSampleRate > 0 ? 1.0 / design.m_nSoundSampleRate : 0.0;
    return d;
}

bool CFlowchartOptionsData::IsValid() const
{
    return timeStep >= 0.0 && timeStep <= kMaxTimeStep && variableRange >= 0 && variableRange <= kMaxRange &&
           analogRange >= 0 && analogRange <= kMaxRange;
}

void CFlowchartOptionsData::ApplyTo(CCircuit& design) const
{
    design.m_nVariableRange = variableRange;
    design.m_nAnalogRange = analogRange;
    design.m_dFlowTimeStep = timeStep;
    design.ControlSimulation(SIM_SENSOR_CHANGED);
    design.OnDesignChanged();
}

CFlowchartDialog::CFlowchartDialog(CFlowchartOptionsData& data, QWidget* parent)
    : CSettingsDialog(559, Text(IDS_FLOW_OPTIONS), parent), m_data(data)
{
    m_timeStep = AddEdit(Form(), 601, IDS_FLOW_TIMESTEP, QString::number(data.timeStep, 'g', 10));
    m_variableRange = AddEdit(Form(), 600, IDS_VARIABLE_RANGE, QString::number(data.variableRange));
    m_analogRange = AddEdit(Form(), 602, IDS_ANALOG_RANGE, QString::number(data.analogRange));
    // Left by the focus or finished with Return.
    m_timeStep->installEventFilter(this);
    connect(m_timeStep, &QLineEdit::editingFinished, this, [this] { TimeStepLeft(); });
}

bool CFlowchartDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_timeStep && event->type() == QEvent::FocusOut) TimeStepLeft();
    return CSettingsDialog::eventFilter(watched, event);
}

void CFlowchartDialog::TimeStepLeft()
{
    double v = 0.0;
    if (!ParseDialogNumber(C(m_timeStep->text()), &v)) return;
    const double raised = m_data.RaisedTimeStep(v);
    if (raised != v) m_timeStep->setText(QString::number(raised, 'g', 10));
}

bool CFlowchartDialog::Exchange()
{
    TimeStepLeft();
    double step = 0.0;
    long long variables = 0, analog = 0;
    if (!ReadDouble(m_timeStep, 0.0, CFlowchartOptionsData::kMaxTimeStep, &step)) return false;
    if (!ReadInt(m_variableRange, 0, CFlowchartOptionsData::kMaxRange, &variables)) return false;
    if (!ReadInt(m_analogRange, 0, CFlowchartOptionsData::kMaxRange, &analog)) return false;
    m_data.timeStep = m_data.RaisedTimeStep(step);
    m_data.variableRange = static_cast<int>(variables);
    m_data.analogRange = static_cast<int>(analog);
    return true;
}

// ---------------------------------------------------------------- Advanced Microcontroller Options

CAdvancedChipDialog::CAdvancedChipDialog(CAdvancedChipForm& form, QWidget* parent) : QDialog(parent), m_form(form)
{
    setObjectName(QStringLiteral("dlg579"));
    setWindowTitle(Text(IDS_CHIP_OPTIONS));
    auto* box = new QVBoxLayout(this);
    auto* group = new QGroupBox(Q(form.ClassName()));
    auto* grid = new QFormLayout(group);
    box->addWidget(group);

    m_pins = new QComboBox;
    m_pins->setObjectName(Name(606));
    for (const CString& id : form.PinIdentifiers()) m_pins->addItem(Q(id));
    m_label = new QLineEdit;
    m_label->setObjectName(Name(608));
    grid->addRow(Text(IDS_CHIP_LABEL), m_pins);
    grid->addRow(QString(), m_label);
    auto edit = [&](int id, unsigned label) {
        auto* e = new QLineEdit;
        e->setObjectName(Name(id));
        grid->addRow(Text(label), e);
        return e;
    };
    m_digital = edit(610, IDS_VISIBLE_INPUTS);
    m_analogue = edit(605, IDS_VISIBLE_ANALOG);
    m_outputs = edit(611, IDS_VISIBLE_OUTPUTS);
    m_reset = new QCheckBox;
    m_reset->setObjectName(Name(604));
    grid->addRow(Text(IDS_RESET_PIN), m_reset);
    m_usart = new QCheckBox;
    m_usart->setObjectName(Name(609));
    grid->addRow(Text(IDS_USART_PINS), m_usart);
    AddDialogButtons(this, box);
    Show();

    // Every edit is read and shown again at once.
    connect(m_pins, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const int warning = m_form.Select(index);
        if (warning) WbMessageBox(static_cast<unsigned>(warning), MB_ICONEXCLAMATION);
        Show();
    });
    connect(m_label, &QLineEdit::textEdited, this, [this](const QString& t) { m_form.labelText = C(t); });
    connect(m_digital, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_form.SetDigitalText(C(t));
        Show();
    });
    connect(m_analogue, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_form.SetAnalogueText(C(t));
        Show();
    });
    connect(m_outputs, &QLineEdit::textEdited, this, [this](const QString& t) {
        m_form.SetOutputText(C(t));
        Show();
    });
    connect(m_reset, &QCheckBox::toggled, this, [this](bool on) { m_form.SetReset(on); });
    connect(m_usart, &QCheckBox::toggled, this, [this](bool on) {
        m_form.SetUsart(on);
        Show();
    });
}

void CAdvancedChipDialog::Show()
{
    auto set = [](QLineEdit* e, const CString& text) {
        if (e->text() != Q(text)) e->setText(Q(text));
    };
    m_pins->setCurrentIndex(m_form.Selected());
    set(m_label, m_form.labelText);
    set(m_digital, m_form.DigitalText());
    set(m_analogue, m_form.AnalogueText());
    set(m_outputs, m_form.OutputText());
    m_digital->setEnabled(m_form.DigitalEnabled());
    m_analogue->setEnabled(m_form.AnalogueEnabled());
    m_usart->setEnabled(m_form.UsartEnabled());
    const QSignalBlocker b1(m_reset), b2(m_usart);
    m_reset->setChecked(m_form.Reset());
    m_usart->setChecked(m_form.Usart() && m_form.UsartEnabled());
    if (auto* group = qobject_cast<QGroupBox*>(m_pins->parentWidget())) group->setTitle(Q(m_form.ClassName()));
}

void CAdvancedChipDialog::accept()
{
    const int warning = m_form.Accept();
    if (warning) WbMessageBox(static_cast<unsigned>(warning), MB_ICONEXCLAMATION);
    QDialog::accept();
}

CQtChipDialogHost::CQtChipDialogHost(QWidget* parent) : m_parent(parent), m_previous(Install(this)) {}

CQtChipDialogHost::~CQtChipDialogHost() { Install(m_previous); }

bool CQtChipDialogHost::Edit(CAdvancedChipForm& form)
{
    CAdvancedChipDialog dialog(form, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

void InstallChipDialogs(QWidget* mainWindow)
{
    // Owned by the window, so the dialog goes with it.
    struct Owner : QObject {
        using QObject::QObject;
        std::unique_ptr<CQtChipDialogHost> host;
    };
    auto* owner = new Owner(mainWindow);
    owner->host = std::make_unique<CQtChipDialogHost>(mainWindow);
}
