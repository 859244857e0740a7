#include "app/hyperlink.h"

#include "platform/messagebox.h"
#include "platform/text1252.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

QString HyperlinkErrorText(int code)
{
    static const struct {
        int code;
        const char* text;
    } texts[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
    };
    QString reason = QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    for (const auto& t : texts)
        if (t.code == code) reason = QString::fromLatin1(t.text);
    return QStringLiteral("Unable to open hyperlink:\n\n") + reason;
}

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    Refresh();
}

CHyperLink::Opener& CHyperLink::UrlOpener()
{
    static Opener opener = [](const QString& url) { return QDesktopServices::openUrl(QUrl::fromUserInput(url)); };
    return opener;
}

void CHyperLink::SetURL(const QString& url)
{
    m_url = url;
    if (text().isEmpty()) setText(url);
    Refresh();
}

void CHyperLink::SetColours(const QColor& link, const QColor& visited, const QColor& hover)
{
    m_link = link;
    m_visited = visited;
    m_hover = hover;
    Refresh();
}

QColor CHyperLink::GetHoverColour() const
{
    return m_hover.isValid() ? m_hover : QApplication::palette().color(QPalette::Highlight);
}

void CHyperLink::SetVisited(bool on)
{
    m_isVisited = on;
    Refresh();
}

void CHyperLink::SetUnderline(bool on)
{
    m_underline = on;
    Refresh();
}

void CHyperLink::SetAutoSize(bool on)
{
    m_autoSize = on;
    Refresh();
}

QColor CHyperLink::CurrentColour() const
{
    if (m_hovering) return GetHoverColour();
    return m_isVisited ? m_visited : m_link;
}

void CHyperLink::Refresh()
{
    QFont f = font();
    f.setUnderline(m_underline);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, CurrentColour());
    setPalette(pal);
    setToolTip(GetURL());
    if (m_autoSize) adjustSize();
    update();
}

bool CHyperLink::GotoURL(const QString& url) { return UrlOpener() && UrlOpener()(url); }

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    if (GotoURL(GetURL())) {
        SetVisited(true);
        return;
    }
    QApplication::beep();
    // The desktop has no program for the address.
    WbMessageBox(ToWindows1252(HyperlinkErrorText(31)), MB_ICONEXCLAMATION);
}

void CHyperLink::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    m_hovering = true;
    Refresh();
}

void CHyperLink::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    m_hovering = false;
    Refresh();
}
