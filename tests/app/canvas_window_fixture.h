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

#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

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
    // Clicks the part button of a toolbar layout, then carries the new part
    // to a point of the canvas and drops it there with a click.
    CPart* AddFromToolbar(int layout, int command, QPoint at)
    {
        CMainFrame* frame = m_app->GetMainFrame();
        frame->SwitchToolBar(layout, 0, true);
        QAction* action = frame->Action(command);
        EXPECT_NE(action, nullptr) << command;
        if (!action) return nullptr;
        frame->UpdateCommands();
        QWidget* button = frame->MainToolBar()->widgetForAction(action);
        EXPECT_NE(button, nullptr) << command;
        if (!button) return nullptr;
        QTest::mouseClick(button, Qt::LeftButton);
        CCircuit* floating = m_view->Controller().GetFloating();
        EXPECT_NE(floating, nullptr) << "the new part rides with the pointer";
        CPart* part = floating ? floating->GetFirstPart() : nullptr;
        QTest::mouseMove(Port(), at - QPoint(30, 20));
        QTest::mouseMove(Port(), at);
        QTest::mouseClick(Port(), Qt::LeftButton, {}, at);
        EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
        return part;
    }

    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
    CTeskView* m_view = nullptr;
    QTemporaryDir m_dir;
};
