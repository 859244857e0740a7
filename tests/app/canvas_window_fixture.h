// The real main window (offscreen) with one empty design, for the canvas
// tests that drive it with synthetic mouse events.
#pragma once

#include "app/canvas/tesk_view.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <cstdlib>
#include <memory>

class CanvasWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        shelltest::EnsureShellApp();
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
        m_app->GetMainFrame()->resize(1280, 900);
        QCoreApplication::processEvents();
        m_view = m_app->GetActiveView();
        ASSERT_NE(m_view, nullptr);
    }
    void TearDown() override
    {
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
    }
    CCircuit* Design() const { return m_view->GetDesign(); }
    QWidget* Port() const { return m_view->viewport(); }
    QPoint Client(CPoint logical) const
    {
        const CPoint c = m_view->Controller().ToClient(logical);
        return QPoint(c.x, c.y);
    }
    // The button of a part command on a toolbar layout.
    QWidget* PartButton(int layout, int command)
    {
        CMainFrame* frame = m_app->GetMainFrame();
        frame->SwitchToolBar(layout, 0, true);
        QAction* action = frame->Action(command);
        EXPECT_NE(action, nullptr) << command;
        if (!action) return nullptr;
        frame->UpdateCommands();
        // The toolbar lays its new buttons out.
        QCoreApplication::processEvents();
        QWidget* button = frame->MainToolBar()->widgetForAction(action);
        EXPECT_NE(button, nullptr) << command;
        return button;
    }
    static void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
    {
        QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    // Presses a part button and drags it off the toolbar to a point of the
    // canvas (client pixels); the press ends there and the new part rides
    // with the pointer.  Returns the floating part.
    CPart* DragFromToolbar(int layout, int command, QPoint at)
    {
        QWidget* button = PartButton(layout, command);
        if (!button) return nullptr;
        const QPoint press(button->width() / 2, button->height() / 2);
        SendMouse(button, QEvent::MouseButtonPress, press, Qt::LeftButton);
        SendMouse(button, QEvent::MouseMove, button->mapFromGlobal(Port()->mapToGlobal(at)), Qt::LeftButton);
        QCoreApplication::processEvents();
        CCircuit* floating = m_view->Controller().GetFloating();
        EXPECT_NE(floating, nullptr) << "the new part rides with the pointer";
        return floating ? floating->GetFirstPart() : nullptr;
    }
    // Drags the part button of a toolbar layout onto the canvas, then
    // carries the new part to a point of the canvas and drops it there
    // with a click.
    CPart* AddFromToolbar(int layout, int command, QPoint at)
    {
        CPart* part = DragFromToolbar(layout, command, at - QPoint(60, 40));
        QTest::mouseMove(Port(), at - QPoint(30, 20));
        QTest::mouseMove(Port(), at);
        QTest::mouseClick(Port(), Qt::LeftButton, {}, at);
        EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
        return part;
    }

    // With WB_SHOTS_DIR set, saves the window's design there under a name,
    // to be opened in the workbench and looked at.
    void SaveForShots(const char* name)
    {
        const char* shots = std::getenv("WB_SHOTS_DIR");
        if (!shots) return;
        CTeskDoc* doc = m_app->Documents().front().get();
        EXPECT_TRUE(doc->DoSave(QString::fromLocal8Bit(shots) + QLatin1Char('/') + QString::fromLatin1(name)));
    }

    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
    CTeskView* m_view = nullptr;
    QTemporaryDir m_dir;
};
