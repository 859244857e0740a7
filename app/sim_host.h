// The simulation host on Qt, and the idle driver.
//
// CQtSimulationHost is what the design's controller sees of its view and
// the event loop: timer 1 (a QTimer), "a tick is already due" (the timer's
// period has passed since the last tick), and the input check.  An
// application event filter raises a flag for every key, button and wheel
// event (mouse moves separately), so PeekInput answers without touching
// the queue; a burst also reports input once its time budget is spent, so
// the event loop gets to run.  The canvas view owns one, connects `tick`
// to the controller's timer code and calls BeginBurst before each timer or
// idle step.
//
// CIdleDriver runs the application's idle work on a zero-interval timer
// while more idle time is wanted and stops it when not (a running zero
// timer would keep a core busy).
#pragma once

#include "model/circuit/simhost.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class CQtSimulationHost : public QObject, public CSimulationHost {
    Q_OBJECT
public:
    explicit CQtSimulationHost(QObject* parent = nullptr);
    ~CQtSimulationHost() override;

    // CSimulationHost
    bool SetStepTimer(int intervalMs) override;
    void KillStepTimer() override;
    bool TakePendingTick() override;
    Input PeekInput() override;
    void DiscardMouseMove() override;
    bool IsDragging() override { return m_dragging; }
    void SetBusyCursor() override;
    void UpdateCursor() override;
    void SetStatusText(const CString& text) override;
    void Repaint() override;

    // A burst of simulation work starts: input seen so far is handled, the
    // time budget starts again.
    void BeginBurst();
    void SetBudgetMs(int ms) { m_budgetMs = ms; }
    int BudgetMs() const { return m_budgetMs; }
    void SetDragging(bool on) { m_dragging = on; }
    bool IsTimerRunning() const { return m_timer.isActive(); }
    int TimerInterval() const { return m_timer.interval(); }

    // Hooks of the view (each may be empty).
    std::function<void()> onRepaint;
    std::function<void(bool busy)> onCursor;
    std::function<void(const CString&)> onStatusText;

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Timer 1 fired.
    void tick();

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    QElapsedTimer m_burst;
    int m_budgetMs = 40;
    bool m_input = false;
    bool m_mouseMove = false;
    bool m_dragging = false;
};

class CIdleDriver : public QObject {
    Q_OBJECT
public:
    // onIdle(count) returns true while more idle time is wanted; count
    // starts at 0 after each Kick.
    explicit CIdleDriver(std::function<bool(long)> onIdle, QObject* parent = nullptr);
    void Kick();
    bool IsRunning() const { return m_timer.isActive(); }

private:
    void Step();

    std::function<bool(long)> m_onIdle;
    QTimer m_timer;
    long m_count = 0;
};
