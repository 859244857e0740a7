#include "app/canvas/bubble.h"

void CBubble::Show(int x, int y, const CString& text, int promptId, bool keepVisible, bool showNow)
{
    if (text.IsEmpty()) {
        Hide();
        return;
    }
    if (!keepVisible) m_window.SetVisible(false);
    if (text != m_text) {
        m_text = text;
        m_window.SetText(text);
    }
    m_x = x;
    m_y = y;
    m_promptId = promptId;
    m_pendingShowNow = showNow;
    if (promptId) {
        // Placed once the hidden window has had 50 ms to go.
        m_window.KillTimer(kSettleTimer);
        if (m_window.SetTimer(kSettleTimer, 50)) {
            m_settling = true;
            return;
        }
    }
    Place();
}

void CBubble::Place()
{
    m_settling = false;
    int x = m_x;
    const int width = m_window.GetWidth();
    if (x < 0) x = -x - width / 2;
    const int screen = m_window.GetScreenWidth();
    if (x + width > screen) x = screen - width;
    m_x = x;
    m_window.Place(CPoint(m_x, m_y));
    if (m_pendingShowNow) m_shown = true;
    if (m_shown) {
        m_window.SetVisible(true);
        m_window.SendPrompt(m_promptId);
        return;
    }
    if (m_timerState == -1) {
        if (m_window.SetTimer(kDelayTimer, 200)) {
            m_timerState = 1;
        } else {
            m_shown = true;
            m_window.SetVisible(true);
            m_window.SendPrompt(m_promptId);
        }
    }
    m_countdown = m_rearm ? 0 : -1;
}

void CBubble::ShowWindowNow()
{
    m_window.SetVisible(true);
    m_window.SendPrompt(m_promptId);
    m_shown = true;
}

void CBubble::OnTimer(int id)
{
    if (id == kSettleTimer) {
        m_window.KillTimer(kSettleTimer);
        if (m_settling) Place();
        return;
    }
    if (id != kDelayTimer) return;
    m_window.KillTimer(kDelayTimer);
    if (m_timerState != -1) {
        m_timerState = -1;
        ShowWindowNow();
    }
}

void CBubble::SetText(const CString& text)
{
    if (!m_shown || text == m_text) return;
    m_text = text;
    m_window.SetText(text);
}

void CBubble::Hide()
{
    m_window.SetVisible(false);
    m_window.KillTimer(kDelayTimer);
    m_window.KillTimer(kSettleTimer);
    m_settling = false;
    m_timerState = -1;
    m_countdown = -1;
    m_window.SendPrompt(kIdlePrompt);
}

void CBubble::HideAndReset()
{
    Hide();
    m_shown = false;
}

void CBubble::TickCountdown()
{
    if (m_countdown < 0) return;
    if (++m_countdown > 10) {
        m_countdown = -1;
        OnTimer(kDelayTimer);
    }
}
