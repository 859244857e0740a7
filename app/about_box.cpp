#include "app/about_box.h"

#include "app/hyperlink.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kStrProgramName = 1;
constexpr int kStrCaption = 35131;

QString Text(int id)
{
    return id ? FromWindows1252(LoadResString(static_cast<uint32_t>(id))) : QString();
}

// The "%s" of a text becomes the product name.
QString WithName(QString text, const QString& name)
{
    return text.replace(QLatin1String("%s"), name);
}

} // namespace

const CAboutBox::Texts CAboutBox::kProgram{128, 35120, 35121, 35123};
const CAboutBox::Texts CAboutBox::kMoviePlayer{35124, 0, 35129, 35130};

CAboutBox::CAboutBox(const Texts& texts, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    const QString name = Text(texts.name);
    setWindowTitle(WithName(Text(kStrCaption), name));

    auto* picture = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_LargeIconSize) * 2;
    picture->setPixmap(QApplication::windowIcon().pixmap(side, side));
    if (picture->pixmap().isNull()) picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(side, side));
    picture->setAlignment(Qt::AlignTop);

    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(name.toHtmlEscaped()), this);
    title->setObjectName(QStringLiteral("AboutName"));
    m_version = new QLabel(texts.version ? Text(texts.version) : Text(kStrProgramName), this);
    m_version->setObjectName(QStringLiteral("AboutVersion"));
    auto* line = new QLabel(WithName(Text(texts.line), name), this);
    line->setWordWrap(true);
    m_link = new CHyperLink(Text(texts.address), this);
    m_link->setObjectName(QStringLiteral("AboutLink"));

    auto* words = new QVBoxLayout;
    words->addWidget(title);
    words->addWidget(m_version);
    words->addSpacing(8);
    words->addWidget(line);
    words->addWidget(m_link);
    words->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(words, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QString CAboutBox::VersionText() const { return m_version->text(); }

CAboutBox* CAboutBox::ShowSplash(QWidget* parent, int ms)
{
    auto* box = new CAboutBox(kProgram, parent);
    box->setObjectName(QStringLiteral("StartupAbout"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->m_splashTimer = new QTimer(box);
    box->m_splashTimer->setSingleShot(true);
    connect(box->m_splashTimer, &QTimer::timeout, box, &QWidget::close);
    qApp->installEventFilter(box);
    box->show();
    box->m_splashTimer->start(ms);
    return box;
}

bool CAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_splashTimer) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::KeyPress:
        // Closing later keeps the box alive while its own widgets handle
        // the press.
        qApp->removeEventFilter(this);
        QTimer::singleShot(0, this, &QWidget::close);
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
