#include "app/canvas/bubble_widget.h"

#include "platform/text1252.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
struct CSharedBubble {
    std::unique_ptr<CBubbleWidget> widget;
    std::unique_ptr<CBubble> bubble;
    int users = 0;
};
CSharedBubble& Shared()
{
    static CSharedBubble shared;
    return shared;
}
} // namespace

CBubbleWidget::CBubbleWidget() : QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAlignment(Qt::AlignCenter);
    // Light green (126, 255, 126), black text, a thin border.
    setStyleSheet("QLabel { background: #7EFF7E; color: black; border: 1px solid black; padding: 1px 3px; }");
}

CBubbleWidget::~CBubbleWidget() = default;

CBubble& CBubbleWidget::Shared()
{
    auto& s = ::Shared();
    if (!s.bubble) Acquire();
    return *s.bubble;
}

CBubbleWidget* CBubbleWidget::SharedWidget() { return ::Shared().widget.get(); }

void CBubbleWidget::Acquire()
{
    auto& s = ::Shared();
    if (s.users++ == 0 || !s.widget) {
        s.widget = std::make_unique<CBubbleWidget>();
        s.bubble = std::make_unique<CBubble>(*s.widget);
    }
}

void CBubbleWidget::Release()
{
    auto& s = ::Shared();
    if (s.users > 0 && --s.users == 0) {
        s.bubble.reset();
        s.widget.reset();
    }
}

void CBubbleWidget::Place(CPoint screen) { move(screen.x, screen.y); }

void CBubbleWidget::SetVisible(bool on)
{
    if (on)
        show();
    else
        hide();
}

void CBubbleWidget::SetText(const CString& text)
{
    setText(FromWindows1252(text));
    adjustSize();
}

int CBubbleWidget::GetWidth() { return width(); }

int CBubbleWidget::GetScreenWidth()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry().right() + 1 : 1920;
}

bool CBubbleWidget::SetTimer(int id, int ms)
{
    auto& t = m_timers[id];
    if (!t) {
        t = std::make_unique<QTimer>();
        t->setSingleShot(true);
        connect(t.get(), &QTimer::timeout, this, [id] {
            if (::Shared().bubble) ::Shared().bubble->OnTimer(id);
        });
    }
    t->start(ms);
    return true;
}

void CBubbleWidget::KillTimer(int id)
{
    auto it = m_timers.find(id);
    if (it != m_timers.end()) it->second->stop();
}

void CBubbleWidget::SendPrompt(int id)
{
    if (m_prompt) m_prompt(id);
}
