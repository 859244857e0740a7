#include "app/movie/movie_window.h"

#include "app/movie/movie_site.h"
#include "platform/text1252.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>

#include <cstring>

namespace {

// Key codes 1-19 of the player by Qt key (0: no key gives that code).
struct KeyRow {
    int qtKey;
    int code;
};
const KeyRow kKeys[] = {
    {Qt::Key_Left, movie::kKeyLeft},       {Qt::Key_Right, movie::kKeyRight},   {Qt::Key_Home, movie::kKeyHome},
    {Qt::Key_End, movie::kKeyEnd},         {Qt::Key_Insert, movie::kKeyInsert}, {Qt::Key_Delete, movie::kKeyDelete},
    {Qt::Key_Backspace, movie::kKeyBackspace}, {Qt::Key_Return, movie::kKeyEnter}, {Qt::Key_Enter, movie::kKeyEnter},
    {Qt::Key_Up, movie::kKeyUp},           {Qt::Key_Down, movie::kKeyDown},     {Qt::Key_PageUp, movie::kKeyPageUp},
    {Qt::Key_PageDown, movie::kKeyPageDown}, {Qt::Key_Tab, movie::kKeyTab},     {Qt::Key_Backtab, movie::kKeyTab},
    {Qt::Key_Escape, movie::kKeyEscape},
};

// The edit commands of the standard shortcuts.
int EditCommand(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Copy)) return movie::kKeyCopy;
    if (e->matches(QKeySequence::Cut)) return movie::kKeyCut;
    if (e->matches(QKeySequence::Paste)) return movie::kKeyPaste;
    if (e->matches(QKeySequence::SelectAll)) return movie::kKeySelectAll;
    return 0;
}

} // namespace

int MovieKeyCode(int qtKey)
{
    for (const KeyRow& r : kKeys)
        if (r.qtKey == qtKey) return r.code;
    return 0;
}

int MovieModifiers(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? movie::kModShift : 0) |
           (modifiers & Qt::ControlModifier ? movie::kModControl : 0);
}

// ---- The window ------------------------------------------------------------------

CMovieWindow::CMovieWindow(CQtMoviePlayer* player, QWidget* parent) : QWidget(parent), m_player(player)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setGeometry(20, 20, 200, 200);
}

void CMovieWindow::paintEvent(QPaintEvent* event)
{
    const QRect r = event->rect().intersected(rect());
    if (r.isEmpty()) return;
    m_player->RepaintRect(movie::MovieRect{r.left(), r.right() + 1, r.top(), r.bottom() + 1});
    const movie::NativeBitmap* b = m_player->Buffer().Bitmap();
    QPainter painter(this);
    if (!b || !b->bits) {
        painter.fillRect(r, Qt::white);
        return;
    }
    // The buffer is a bottom-up 32-bit bitmap: rows are copied upright.
    const QRect area = r.intersected(QRect(0, 0, b->width, b->height));
    QImage image(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        const uint8_t* row = b->bits + size_t(b->height - 1 - (area.top() + y)) * size_t(b->rowBytes);
        std::memcpy(image.scanLine(y), row + 4 * area.left(), size_t(area.width()) * 4);
    }
    painter.drawImage(area.topLeft(), image);
    if (area != r) painter.fillRect(QRegion(r).subtracted(area).boundingRect(), Qt::white);
}

void CMovieWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    m_player->MouseMove(p.x(), p.y(), event->buttons() & Qt::LeftButton);
}

void CMovieWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    m_player->MouseDown(p.x(), p.y());
}

void CMovieWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    m_player->MouseUp(p.x(), p.y());
}

void CMovieWindow::keyPressEvent(QKeyEvent* event)
{
    if (const int command = EditCommand(event)) {
        m_player->HandleKey(command, 0);
        return;
    }
    if (const int code = MovieKeyCode(event->key())) {
        m_player->HandleKey(code, MovieModifiers(event->modifiers()) | (event->key() == Qt::Key_Backtab ? movie::kModShift : 0));
        return;
    }
    // Characters go one by one as Windows-1252 bytes (the movies' text).
    const std::string bytes = ToWindows1252(event->text());
    for (char c : bytes) {
        const int ch = static_cast<unsigned char>(c);
        if (ch >= 32 && ch != 127) m_player->HandleKey(ch, 0);
    }
}

bool CMovieWindow::event(QEvent* event)
{
    // Tab moves the movie's focus, not the widgets'.
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QWidget::event(event);
}

// ---- The player ----------------------------------------------------------------------

CQtMoviePlayer::CQtMoviePlayer()
{
    QObject::connect(&m_frameTimer, &QTimer::timeout, [this] { DoPlay(true); });
    QObject::connect(&m_blinkTimer, &QTimer::timeout, [this] { BlinkCaret(); });
}

CQtMoviePlayer::~CQtMoviePlayer()
{
    m_frameTimer.stop();
    m_blinkTimer.stop();
    delete m_window.data();
}

int CQtMoviePlayer::CreatePlayerWindow(void* parent)
{
    if (m_window) return movie::kMovieOk;
    m_window = new CMovieWindow(this, static_cast<QWidget*>(parent));
    m_window->hide();
    MoviePlayerEngine::CreatePlayerWindow(parent);
    return movie::kMovieOk;
}

int CQtMoviePlayer::DestroyPlayerWindow()
{
    if (!m_window) return movie::kMovieUnexpected;
    MoviePlayerEngine::DestroyPlayerWindow();
    delete m_window.data();
    return movie::kMovieOk;
}

int CQtMoviePlayer::MovePlayerWindow(int x, int y, int width, int height, bool repaint)
{
    if (!m_window) return movie::kMovieOk;
    const QRect g(x, y, std::max(0, width), std::max(0, height));
    if (m_window->geometry() != g) m_window->setGeometry(g);
    MoviePlayerEngine::MovePlayerWindow(x, y, width, height, repaint);
    if (repaint) m_window->update();
    return movie::kMovieOk;
}

int CQtMoviePlayer::ShowPlayerWindow(bool show)
{
    if (m_window) {
        // A window without a parent would stand on the desktop by itself.
        m_window->setVisible(show && m_window->parentWidget());
        m_window->setEnabled(show);
        if (show) m_window->raise();
    }
    return MoviePlayerEngine::ShowPlayerWindow(show);
}

bool CQtMoviePlayer::StartTimers(int frameIntervalMs, int blinkIntervalMs)
{
    if (!Loaded()) return false;
    m_frameTimer.start(std::max(1, frameIntervalMs));
    m_blinkTimer.start(std::max(1, blinkIntervalMs));
    return true;
}

void CQtMoviePlayer::StopTimers()
{
    m_frameTimer.stop();
    m_blinkTimer.stop();
}

void CQtMoviePlayer::InvalidateScreen(const movie::MovieRect& pixels)
{
    if (m_window) m_window->update(QRect(pixels.xmin, pixels.ymin, pixels.xmax - pixels.xmin, pixels.ymax - pixels.ymin));
}

void CQtMoviePlayer::ResizeScreen(int width, int height)
{
    if (m_window) m_window->resize(width, height);
    MoviePlayerEngine::ResizeScreen(width, height);
}

void CQtMoviePlayer::SetCursor(int type)
{
    if (!m_window) return;
    switch (type) {
    case movie::kCursorText: m_window->setCursor(Qt::IBeamCursor); break;
    case movie::kCursorButton: m_window->setCursor(Qt::PointingHandCursor); break;
    case movie::kCursorZoomed: m_window->setCursor(Qt::SizeAllCursor); break;
    default: m_window->unsetCursor(); break;
    }
}

std::u16string CQtMoviePlayer::ReadClipboard()
{
    const QString text = QGuiApplication::clipboard()->text();
    std::u16string out;
    out.reserve(size_t(text.size()));
    for (QChar c : text)
        if (c.unicode() != 10) out.push_back(char16_t(c.unicode()));
    return out;
}

void CQtMoviePlayer::WriteClipboard(const std::u16string& text)
{
    if (text.empty()) return;
    QGuiApplication::clipboard()->setText(QString::fromUtf16(text.data(), qsizetype(text.size())));
}

void CQtMoviePlayer::RunProgram(const std::string& path)
{
    // An argument list of its own and no shell.
    startedProgram = path;
    QProcess::startDetached(QString::fromLocal8Bit(path.c_str()), QStringList());
}

void CQtMoviePlayer::PostQuit()
{
    // The owner drops the player once this call has returned; a player
    // gone by then has nothing to hand over.
    QPointer<CMovieWindow> guard = m_window;
    CQtMoviePlayer* self = this;
    QTimer::singleShot(0, qApp, [guard, self] {
        if (guard) self->DeliverQuit();
    });
}
