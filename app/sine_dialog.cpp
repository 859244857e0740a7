#include "app/sine_dialog.h"

#include "app/commands.h"
#include "app/tesk_app.h"

#include "platform/numtext.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <memory>

namespace {

enum : uint32_t {
    IDS_TITLE = 3380,
    IDS_OFFSET = 3381,
    IDS_UNITS = 3382,
    IDS_MILLIVOLTS = 3383,
    IDS_VOLTS = 3384,
    IDS_PHASE = 3385,
    IDS_DEFAULTS = 3386,
    IDS_SAMPLE_RATE = 3387,
    IDS_RANGE = 3388,
};
constexpr int kSampleRateCommand = 36012;

QString Text(uint32_t id) { return FromWindows1252(LoadResString(id)); }

QString NumberText(double v) { return FromWindows1252(FormatGeneral(v, 6)); }

// A number in [low, high], or false.
bool ParseInRange(const QString& text, double low, double high, double* out)
{
    double v = 0.0;
    const std::string s = text.trimmed().toStdString();
    if (!ParseDouble(s, v) || !(v >= low && v <= high)) return false;
    *out = v;
    return true;
}

} // namespace

CAdvancedSineForm::CAdvancedSineForm(double typedOffset, int voltsChoice, double phase)
    : offsetText(NumberText(typedOffset)), phaseText(NumberText(phase)), volts(voltsChoice != 0)
{
}

void CAdvancedSineForm::Reset()
{
    offsetText = QStringLiteral("0");
    phaseText = QStringLiteral("0");
    volts = true;
}

bool CAdvancedSineForm::Accept(double* typedOffset, int* voltsOut, double* phase, int* badField,
                               QString* message) const
{
    double o = 0.0, p = 0.0;
    auto refuse = [&](int field, double low, double high) {
        *badField = field;
        *message = Text(IDS_RANGE).arg(NumberText(low), NumberText(high));
        return false;
    };
    if (!ParseInRange(offsetText, -kOffsetLimit, kOffsetLimit, &o)) return refuse(0, -kOffsetLimit, kOffsetLimit);
    if (!ParseInRange(phaseText, 0.0, kPhaseLimit, &p)) return refuse(1, 0.0, kPhaseLimit);
    *typedOffset = o;
    *phase = p;
    *voltsOut = volts ? 1 : 0;
    return true;
}

CAdvancedSineDialog::CAdvancedSineDialog(const CAdvancedSineForm& form, bool canSampleRate,
                                         std::function<void()> openSampleRate, QWidget* parent)
    : QDialog(parent), m_form(form)
{
    setObjectName(QStringLiteral("AdvancedSineDialog"));
    setWindowTitle(Text(IDS_TITLE));
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    m_offsetEdit = new QLineEdit(this);
    m_offsetEdit->setObjectName(QStringLiteral("offset"));
    m_phaseEdit = new QLineEdit(this);
    m_phaseEdit->setObjectName(QStringLiteral("phase"));
    fields->addRow(Text(IDS_OFFSET), m_offsetEdit);
    auto* units = new QGroupBox(Text(IDS_UNITS), this);
    auto* unitLayout = new QVBoxLayout(units);
    m_milli = new QRadioButton(Text(IDS_MILLIVOLTS), units);
    m_milli->setObjectName(QStringLiteral("millivolts"));
    m_voltsButton = new QRadioButton(Text(IDS_VOLTS), units);
    m_voltsButton->setObjectName(QStringLiteral("volts"));
    unitLayout->addWidget(m_milli);
    unitLayout->addWidget(m_voltsButton);
    fields->addRow(units);
    fields->addRow(Text(IDS_PHASE), m_phaseEdit);
    layout->addLayout(fields);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("message"));
    m_message->setStyleSheet(QStringLiteral("color: #C00000"));
    m_message->hide();
    layout->addWidget(m_message);

    auto* extra = new QHBoxLayout;
    auto* defaults = new QPushButton(Text(IDS_DEFAULTS), this);
    defaults->setObjectName(QStringLiteral("defaults"));
    auto* rate = new QPushButton(Text(IDS_SAMPLE_RATE), this);
    rate->setObjectName(QStringLiteral("sampleRate"));
    rate->setEnabled(canSampleRate && openSampleRate != nullptr);
    extra->addWidget(defaults);
    extra->addWidget(rate);
    layout->addLayout(extra);
    connect(defaults, &QPushButton::clicked, this, [this] {
        m_form.Reset();
        Show();
    });
    connect(rate, &QPushButton::clicked, this, [openSampleRate] {
        if (openSampleRate) openSampleRate();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Show();
}

void CAdvancedSineDialog::Show()
{
    m_offsetEdit->setText(m_form.offsetText);
    m_phaseEdit->setText(m_form.phaseText);
    (m_form.volts ? m_voltsButton : m_milli)->setChecked(true);
}

void CAdvancedSineDialog::Take()
{
    m_form.offsetText = m_offsetEdit->text();
    m_form.phaseText = m_phaseEdit->text();
    m_form.volts = m_voltsButton->isChecked();
}

void CAdvancedSineDialog::accept()
{
    Take();
    int bad = 0;
    QString message;
    if (!m_form.Accept(&m_offset, &m_volts, &m_phase, &bad, &message)) {
        // The value stays for correction, selected, with what to type.
        m_message->setText(message);
        m_message->show();
        QLineEdit* edit = bad == 0 ? m_offsetEdit : m_phaseEdit;
        edit->setFocus();
        edit->selectAll();
        return;
    }
    QDialog::accept();
}

CQtSineDialogHost::CQtSineDialogHost(QWidget* parent, std::function<bool()> canSampleRate,
                                     std::function<void()> openSampleRate)
    : m_parent(parent), m_canSampleRate(std::move(canSampleRate)), m_openSampleRate(std::move(openSampleRate))
{
    Install(this);
}

CQtSineDialogHost::~CQtSineDialogHost()
{
    if (Current() == this) Install(nullptr);
}

bool CQtSineDialogHost::Edit(double* typedOffset, int* volts, double* phase)
{
    CAdvancedSineDialog dialog(CAdvancedSineForm(*typedOffset, *volts, *phase),
                               m_canSampleRate && m_canSampleRate(), m_openSampleRate, m_parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    *typedOffset = dialog.Offset();
    *volts = dialog.Volts();
    *phase = dialog.Phase();
    return true;
}

void InstallSineDialogs(QWidget* mainWindow, CTeskApp* app)
{
    // Owned by the window, so the dialog goes with it.
    struct Owner : QObject {
        using QObject::QObject;
        std::unique_ptr<CQtSineDialogHost> host;
    };
    auto* owner = new Owner(mainWindow);
    owner->host = std::make_unique<CQtSineDialogHost>(
        mainWindow,
        [app] {
            CCmdUI ui;
            ui.id = kSampleRateCommand;
            app->RouteUpdate(ui);
            return ui.handled && ui.enabled;
        },
        [app] { app->RouteCommand(kSampleRateCommand); });
}
