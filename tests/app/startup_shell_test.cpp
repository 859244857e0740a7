// The start-up About box (shown for a moment when start-up opened no file,
// closed by its timer or by the first press anywhere) and the main frame's
// sample-rate pane (its texts, and a rate formatted only when it changes).
#include "app/about_box.h"
#include "app/main_frame.h"
#include "app/rate_pane.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace shelltest;

namespace {

const QString kBlank(11, QLatin1Char(' '));

TEST(RatePane, TextsFollowTheDesignsRate)
{
    EnsureShellApp();
    struct Case {
        double rate;
        bool paused;
        const char* text;   // null: 11 spaces
    };
    // The numbers as the value formatter prints them: "%5.2f" below 9.995,
    // "%5.1f" below 99.95, "%5.0f" above; thousands with "k", parts of one
    // with "m"; the leading spaces removed.
    const Case cases[] = {
        {5.0, false, nullptr},
        {4.99, false, nullptr},
        {5.01, false, nullptr},
        {5.02, false, "Sample rate  5.02Hz"},
        {4.98, false, "Sample rate  4.98Hz"},
        {10.0, false, "Sample rate  10.0Hz"},
        {20.0, false, "Sample rate  20.0Hz"},
        {250.0, false, "Sample rate  250Hz"},
        {1000.0, false, "Sample rate  1.00kHz"},
        {44100.0, false, "Sample rate  44.1kHz"},
        {0.5, false, "Sample rate  500mHz"},
        {10.0, true, "PAUSED"},
        {5.0, true, "PAUSED"},
    };
    CRatePane pane;
    EXPECT_EQ(pane.Text(nullptr), kBlank);
    for (const Case& c : cases) {
        CCircuit design;
        design.SetUpdateRate(c.rate);
        design.SetPaused(c.paused ? 1 : 0);
        EXPECT_EQ(pane.Text(&design), c.text ? QString::fromLatin1(c.text) : kBlank) << c.rate << " " << c.paused;
    }
}

TEST(RatePane, ARateIsFormattedOnlyWhenItChanges)
{
    EnsureShellApp();
    CRatePane pane;
    CCircuit design;
    design.SetUpdateRate(10.0);
    const QString ten = pane.Text(&design);
    EXPECT_EQ(pane.FormatCount(), 1);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(pane.Text(&design), ten);
    EXPECT_EQ(pane.FormatCount(), 1);
    // Pausing, the default rate and no design show their own texts and
    // leave the remembered rate alone.
    design.SetPaused(1);
    EXPECT_EQ(pane.Text(&design), QStringLiteral("PAUSED"));
    design.SetPaused(0);
    design.SetUpdateRate(5.0);
    EXPECT_EQ(pane.Text(&design), kBlank);
    EXPECT_EQ(pane.Text(nullptr), kBlank);
    design.SetUpdateRate(10.0);
    EXPECT_EQ(pane.Text(&design), ten);
    EXPECT_EQ(pane.FormatCount(), 1);
    design.SetUpdateRate(20.0);
    EXPECT_EQ(pane.Text(&design), QStringLiteral("Sample rate  20.0Hz"));
    EXPECT_EQ(pane.FormatCount(), 2);
}

TEST(RatePane, TheMainFramesPaneShowsTheActiveDesignsRate)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    auto app = std::make_unique<CTeskApp>();
    ASSERT_TRUE(app->InitInstance({}));
    auto* pane = app->GetMainFrame()->findChild<QLabel*>(QStringLiteral("RatePane"));
    ASSERT_NE(pane, nullptr);
    CCircuit* design = app->GetActiveDocument()->GetDesign();
    design->SetUpdateRate(5.0);
    app->GetMainFrame()->UpdateCommands();
    EXPECT_EQ(pane->text(), kBlank);
    design->SetUpdateRate(50.0);
    app->GetMainFrame()->UpdateCommands();
    EXPECT_EQ(pane->text(), QStringLiteral("Sample rate  50.0Hz"));
    design->SetPaused(1);
    app->GetMainFrame()->UpdateCommands();
    EXPECT_EQ(pane->text(), QStringLiteral("PAUSED"));
}

class StartupAbout : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        m_app = std::make_unique<CTeskApp>();
    }
    void TearDown() override
    {
        m_app.reset();
        QCoreApplication::processEvents();
    }
    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
};

TEST_F(StartupAbout, ShowsWithoutBlockingWhenNoFileWasOpened)
{
    m_app->SetStartupAbout(true);
    // InitInstance returns with the box up: nothing waits for it.
    ASSERT_TRUE(m_app->InitInstance({}));
    CAboutBox* box = m_app->StartupAbout();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("About Kestrane"));
    EXPECT_EQ(box->parentWidget(), m_app->GetMainFrame());
    ASSERT_NE(box->SplashTimer(), nullptr);
    EXPECT_TRUE(box->SplashTimer()->isActive());
    EXPECT_TRUE(box->SplashTimer()->isSingleShot());
    EXPECT_EQ(box->SplashTimer()->interval(), CAboutBox::kSplashMs);
    // The empty design is there behind it.
    EXPECT_EQ(m_app->Documents().size(), 1u);
    // Its time over, it closes and goes.
    QPointer<CAboutBox> watch(box);
    ASSERT_TRUE(QMetaObject::invokeMethod(box->SplashTimer(), "timeout"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(m_app->StartupAbout(), nullptr);
}

TEST_F(StartupAbout, TheFirstClickOrKeyAnywhereClosesIt)
{
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        m_app = std::make_unique<CTeskApp>();
        m_app->SetStartupAbout(true);
        ASSERT_TRUE(m_app->InitInstance({}));
        QPointer<CAboutBox> box(m_app->StartupAbout());
        ASSERT_FALSE(box.isNull());
        QWidget* frame = m_app->GetMainFrame();
        if (how == 0) QTest::mouseClick(frame, Qt::LeftButton, {}, QPoint(frame->width() / 2, frame->height() / 2));
        if (how == 1) QTest::keyClick(frame, Qt::Key_Escape);
        if (how == 2) QTest::mouseClick(box.data(), Qt::LeftButton, {}, QPoint(5, 5));
        // A press elsewhere does not bring up anything modal either.
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(box.isNull());
    }
}

TEST_F(StartupAbout, NotShownWhenAFileWasOpenedOrWhenNotAskedFor)
{
    // Not asked for (the default, as for every test and host).
    ASSERT_TRUE(m_app->InitInstance({}));
    EXPECT_EQ(m_app->StartupAbout(), nullptr);
    EXPECT_EQ(m_app->GetMainFrame()->findChild<CAboutBox*>(), nullptr);

    // Started with a design file: the design shows, the box does not.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one.zrn"));
    {
        CTeskDoc* doc = m_app->GetActiveDocument();
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(doc->OnSaveDocument(path));
    }
    m_app = std::make_unique<CTeskApp>();
    m_app->SetStartupAbout(true);
    ASSERT_TRUE(m_app->InitInstance({path}));
    EXPECT_EQ(m_app->StartupAbout(), nullptr);
    EXPECT_EQ(m_app->GetMainFrame()->findChild<CAboutBox*>(), nullptr);
    EXPECT_TRUE(m_messages.shown.empty());
}

} // namespace
