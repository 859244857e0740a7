// The help bubble's window: a light-green frameless tool window that never
// takes the focus, sized to its text.  One is shared by every canvas view
// (CBubbleWidget::Shared), made by the first view and destroyed with the
// last; its timers drive the shared CBubble's delays.
#pragma once

#include "app/canvas/bubble.h"

#include <QLabel>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

class CBubbleWidget : public QLabel, public CBubbleWindow {
    Q_OBJECT
public:
    CBubbleWidget();
    ~CBubbleWidget() override;

    // The shared bubble (its rules) and the view whose status bar gets the
    // prompts; Acquire and Release count the views that use it.
    static CBubble& Shared();
    static CBubbleWidget* SharedWidget();
    static void Acquire();
    static void Release();
    void SetPromptSink(std::function<void(int)> sink) { m_prompt = std::move(sink); }

    // CBubbleWindow
    void Place(CPoint screen) override;
    void SetVisible(bool on) override;
    void SetText(const CString& text) override;
    int GetWidth() override;
    int GetScreenWidth() override;
    bool SetTimer(int id, int ms) override;
    void KillTimer(int id) override;
    void SendPrompt(int id) override;

private:
    std::map<int, std::unique_ptr<QTimer>> m_timers;
    std::function<void(int)> m_prompt;
};
