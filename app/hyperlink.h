// The hyperlink control of the About boxes: a label that shows a web
// address in link colours (hover, visited), underlined, with a link cursor
// and a tooltip of the address; a click opens the address through the
// desktop (never through a command line) and reports a failure.
#pragma once

#include <QColor>
#include <QLabel>

#include <functional>

// "Unable to open hyperlink:\n\n" and the text of a failure code.
QString HyperlinkErrorText(int code);

class CHyperLink : public QLabel {
    Q_OBJECT
public:
    explicit CHyperLink(const QString& text = QString(), QWidget* parent = nullptr);

    // Without a URL the control opens its text; without a text it shows the URL.
    void SetURL(const QString& url);
    QString GetURL() const { return m_url.isEmpty() ? text() : m_url; }
    // hover: an invalid colour means the system highlight colour.
    void SetColours(const QColor& link, const QColor& visited, const QColor& hover = QColor());
    QColor GetLinkColour() const { return m_link; }
    QColor GetVisitedColour() const { return m_visited; }
    QColor GetHoverColour() const;
    void SetVisited(bool on);
    bool GetVisited() const { return m_isVisited; }
    void SetLinkCursor(const QCursor& cursor) { setCursor(cursor); }
    void SetUnderline(bool on);
    bool GetUnderline() const { return m_underline; }
    void SetAutoSize(bool on);
    bool GetAutoSize() const { return m_autoSize; }
    bool IsHovering() const { return m_hovering; }
    // The colour the text is drawn in now.
    QColor CurrentColour() const;

    // Opens an address; false when the desktop could not open it.  The
    // opener is the desktop service unless a test puts another in.
    bool GotoURL(const QString& url);
    using Opener = std::function<bool(const QString&)>;
    static Opener& UrlOpener();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void Refresh();

    QString m_url;
    QColor m_link{0, 0, 238};
    QColor m_visited{85, 26, 139};
    QColor m_hover;
    bool m_hovering = false;
    bool m_isVisited = false;
    bool m_underline = true;
    bool m_autoSize = true;
};
