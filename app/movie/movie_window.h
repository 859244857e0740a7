// The movie player's window on the desktop: a child widget over the design
// view that shows the player's off-screen buffer, runs the frame and caret
// timers and forwards mouse and keys to the player.  CQtMoviePlayer is the
// player with this window; the factory installed by InstallMovieSupport
// makes it.
#pragma once

#include "movieplayer/host/player_engine.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <string>

class CQtMoviePlayer;

// The key code of a Qt key for the player (1-19), 0 for none.
int MovieKeyCode(int qtKey);
// Shift and Control as the player's modifier bits.
int MovieModifiers(Qt::KeyboardModifiers modifiers);

class CMovieWindow : public QWidget {
    Q_OBJECT
public:
    CMovieWindow(CQtMoviePlayer* player, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    CQtMoviePlayer* m_player;
};

class CQtMoviePlayer : public movie::MoviePlayerEngine {
public:
    CQtMoviePlayer();
    ~CQtMoviePlayer() override;

    int CreatePlayerWindow(void* parent) override;
    int DestroyPlayerWindow() override;
    int MovePlayerWindow(int x, int y, int width, int height, bool repaint) override;
    int ShowPlayerWindow(bool show) override;
    void* GetPlayerWindow() override { return m_window.data(); }

    bool StartTimers(int frameIntervalMs, int blinkIntervalMs) override;
    void StopTimers() override;
    void InvalidateScreen(const movie::MovieRect& pixels) override;
    void ResizeScreen(int width, int height) override;
    void SetCursor(int type) override;
    std::u16string ReadClipboard() override;
    void WriteClipboard(const std::u16string& text) override;

    // Programs that "exec" ran (the tests look at them).
    std::string startedProgram;

protected:
    void RunProgram(const std::string& path) override;
    void PostQuit() override;

private:
    QPointer<CMovieWindow> m_window;
    QTimer m_frameTimer;
    QTimer m_blinkTimer;
};

// Installs the desktop movie players and the Add-menu command that inserts
// a movie part.
void InstallMovieSupport();
