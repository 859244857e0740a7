// CBubble: the help bubble's rules (one bubble shared by every canvas view).
// It waits 200 ms on timer 2010 before it shows, or shows at once when asked;
// it stays on the screen horizontally; while shown it tells its owner the
// status prompt to show.  The window itself is behind CBubbleWindow.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"

// What the bubble needs of its window and of the view that owns it.
class CBubbleWindow {
public:
    virtual ~CBubbleWindow() = default;
    // Places the window's top-left corner (screen) and shows or hides it.
    virtual void Place(CPoint screen) = 0;
    virtual void SetVisible(bool on) = 0;
    // The window's text (it sizes itself to it: text width + 6 borders).
    virtual void SetText(const CString& text) = 0;
    virtual int GetWidth() = 0;
    virtual int GetScreenWidth() = 0;
    // The bubble's timers; false when one cannot be set.
    virtual bool SetTimer(int id, int ms) = 0;
    virtual void KillTimer(int id) = 0;
    // The owner's status bar prompt (57345: the idle prompt).
    virtual void SendPrompt(int id) = 0;
};

class CBubble {
public:
    static constexpr int kDelayTimer = 2010;
    static constexpr int kSettleTimer = 2011;
    static constexpr int kIdlePrompt = 57345;

    explicit CBubble(CBubbleWindow& window) : m_window(window) {}

    // An empty text only hides.  A negative x centres the bubble on |x|.
    // With a prompt id the bubble is placed 50 ms later (the old window has
    // time to go), on a timer rather than by waiting.
    void Show(int x, int y, const CString& text, int promptId, bool keepVisible, bool showNow);
    void SetText(const CString& text);
    void Hide();
    void HideAndReset();
    bool IsShown() const { return m_shown; }
    bool IsWaiting() const { return m_timerState == 1; }
    const CString& GetText() const { return m_text; }
    CPoint GetPosition() const { return {m_x, m_y}; }
    void OnTimer(int id);

    // The countdown that a fast-running design's timer ticks advance (when
    // its ticks would starve the 200 ms timer): -1 off.  DelayRearms tells
    // whether starting a delay re-arms it (update rate above 10 and at most
    // 20.01 per second with timer 1 running).
    void SetCountdownRearm(bool rearm) { m_rearm = rearm; }
    void TickCountdown();
    int GetCountdown() const { return m_countdown; }

private:
    void Place();
    void ShowWindowNow();

    CBubbleWindow& m_window;
    int m_timerState = -1;
    int m_promptId = 0;
    int m_x = 0, m_y = 0;
    bool m_shown = false;
    CString m_text;
    // A placement waiting for the 50 ms settle timer.
    bool m_settling = false;
    bool m_pendingShowNow = false;
    int m_countdown = -1;
    bool m_rearm = false;
};
