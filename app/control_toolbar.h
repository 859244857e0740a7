// The property toolbar of the main frame: the controls of the part that is
// selected (edit boxes, spin buttons, captions, buttons, unit pictures,
// drop lists), built from the part's item list (CControlBar) and sending
// what the user does back to the part as property commands.  Controls are
// named "prop<id>" after their item ids so that tests find them.
#pragma once

#include "app/control_bar.h"

#include <QLineEdit>
#include <QToolBar>
#include <QWidget>

#include <functional>
#include <map>

class QToolButton;

// An edit box whose editing keys (Backspace, Delete, Ctrl+C, Ctrl+V,
// Ctrl+X) stay in the box instead of reaching the frame's shortcuts.
class CEditNoAccel : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    bool event(QEvent* event) override;
};

// A spin button: two arrow buttons that repeat while held; each press
// carries the acceleration of how long the button has been held.
class CScrollBarSpinner : public QWidget {
    Q_OBJECT
public:
    explicit CScrollBarSpinner(QWidget* parent = nullptr);
    // The clock (milliseconds) that times the hold; tests put a fake here.
    void SetClock(std::function<uint32_t()> clock) { m_clock = std::move(clock); }
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

signals:
    // down: the press was downwards; amount: the acceleration (1..5).
    void stepped(bool down, int amount);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Step(bool down);
    QToolButton* m_up;
    QToolButton* m_down;
    CSpinClock m_hold;
    std::function<uint32_t()> m_clock;
};

class CControlToolBar : public QToolBar, public CPropertyBarHost {
    Q_OBJECT
public:
    // designOf: the active design (the toolbar's part belongs to it).
    CControlToolBar(std::function<CCircuit*()> designOf, QWidget* parent = nullptr);
    ~CControlToolBar() override;

    CControlBar& Model() { return m_model; }
    CPart* Part() const { return m_model.Part(); }
    // Shows a part (null clears).  redraw: repaints the design view after
    // a re-drop or a value change.
    void ShowPart(CPart* part, std::function<void()> redraw);
    // A part kept outside the design (CControlBar::ShowOutsidePart).
    void ShowOutsidePart(CPart* part, std::function<void()> redraw);
    // Builds the controls again for the shown part.
    void Rebuild();
    // Asks the shown part for its items again (they changed with its
    // state, as a text box's when its editing starts) and rebuilds.
    void Refill();
    void RefreshValues(bool liveOnly);
    void UpdateEnabledStates();
    // The control of an item id (null when none).
    QWidget* Control(int id) const;
    // The clock of the spin buttons (tests).
    void SetSpinClock(std::function<uint32_t()> clock);
    // Runs a command id along the application's route (buttons).
    void SetCommandRunner(std::function<void(int)> run) { m_run = std::move(run); }
    // Asks the application's route about a command (the menu's update):
    // the enabled state of the buttons that run commands of the view.
    void SetCommandUpdater(std::function<void(CCmdUI&)> update) { m_update = std::move(update); }
    // Gives the keyboard focus back to the design view.
    void SetViewFocuser(std::function<void()> focus) { m_focusView = std::move(focus); }
    // Shows a message to the pupil (the status bar): a value box that was
    // confirmed empty or out of range says what value it kept.
    void SetMessenger(std::function<void(const QString&)> show) { m_message = std::move(show); }

    // CPropertyBarHost
    CCircuit* GetDesign() override;
    void ReorientPart(CPart* part) override;
    void RedrawPart(CPart* part) override;
    void RebuildBars() override { Rebuild(); }
    void RefreshValues() override { RefreshValues(false); }
    void AddPart(int commandId) override;

protected:
    // Focus of the edit and list controls; presses and drags on the
    // buttons (a button dragged down ends its press: CDragBarTracker).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int FirstButtonLeft() const;
    void Clear();
    void OnItemChanged(int id, const QString& text);
    void OnItemConfirmed(int id, QLineEdit* edit);
    void SetTextColour(QLineEdit* edit, bool red);

    CControlBar m_model;
    std::function<CCircuit*()> m_designOf;
    std::function<void()> m_redraw;
    std::function<void(int)> m_run;
    std::function<void(CCmdUI&)> m_update;
    std::function<uint32_t()> m_clock;
    std::function<void()> m_focusView;
    std::function<void(const QString&)> m_message;
    CDragBarTracker m_drag;
    std::map<int, QWidget*> m_controls;
    std::map<int, QAction*> m_buttons;
    bool m_building = false;
    bool m_refreshing = false;
};
