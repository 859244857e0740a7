#include "app/sim_host.h"

#include <QCoreApplication>
#include <QEvent>

CQtSimulationHost::CQtSimulationHost(QObject* parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_sinceTick.restart();
        emit tick();
    });
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
    m_burst.start();
    m_sinceTick.start();
}

CQtSimulationHost::~CQtSimulationHost()
{
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

bool CQtSimulationHost::SetStepTimer(int intervalMs)
{
    if (intervalMs <= 0) return false;
    m_timer.start(intervalMs);
    m_sinceTick.restart();
    return true;
}

void CQtSimulationHost::KillStepTimer()
{
    m_timer.stop();
}

bool CQtSimulationHost::TakePendingTick()
{
    // A timer event that fell due while the pass ran would be the next
    // thing the loop delivers: take it now and start the period again, so
    // the late pass is not followed at once by another.
    if (!m_timer.isActive() || m_sinceTick.elapsed() < m_timer.interval()) return false;
    m_timer.start(m_timer.interval());
    m_sinceTick.restart();
    return true;
}

CSimulationHost::Input CQtSimulationHost::PeekInput()
{
    if (m_input) return Input::kOther;
    if (m_mouseMove) return m_dragging ? Input::kOther : Input::kMouseMove;
    // The budget of a burst is spent: report input so the loop runs.
    if (m_burst.elapsed() >= m_budgetMs) return Input::kOther;
    return Input::kNone;
}

void CQtSimulationHost::DiscardMouseMove()
{
    m_mouseMove = false;
}

void CQtSimulationHost::SetBusyCursor()
{
    if (onCursor) onCursor(true);
}

void CQtSimulationHost::UpdateCursor()
{
    if (onCursor) onCursor(false);
}

void CQtSimulationHost::SetStatusText(const CString& text)
{
    if (onStatusText) onStatusText(text);
}

void CQtSimulationHost::Repaint()
{
    if (onRepaint) onRepaint();
}

void CQtSimulationHost::BeginBurst()
{
    m_input = false;
    m_mouseMove = false;
    m_burst.restart();
}

bool CQtSimulationHost::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Close:
        m_input = true;
        break;
    case QEvent::MouseMove:
        m_mouseMove = true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

CIdleDriver::CIdleDriver(std::function<bool(long)> onIdle, QObject* parent)
    : QObject(parent), m_onIdle(std::move(onIdle))
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &CIdleDriver::Step);
}

void CIdleDriver::Kick()
{
    m_count = 0;
    if (!m_timer.isActive()) m_timer.start();
}

void CIdleDriver::Step()
{
    if (!m_onIdle || !m_onIdle(m_count++)) m_timer.stop();
}
