// "Advanced Send Options" in the real main window: a send element's options
// button opens it with the element's whole flag in "Animate Full Sequence";
// OK stores the box, Cancel leaves the flag.
#include "app/flow_send_dialog.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "flowchart/flow_serial.h"
#include "model/circuit/circuit.h"
#include "model/parts/catalogue.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QTest>

using namespace shelltest;

namespace {

class FlowSendDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
        ASSERT_NE(Design(), nullptr);
        m_send = new CFlowSend;
        m_send->m_rect = CRect(200, 200, 200, 200);
        m_send->AttachToCircuit(Design());
        m_send->Initialise();
        Design()->AddChild(m_send);
        m_send->Drop(Design());
    }
    void TearDown() override
    {
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
    }
    CCircuit* Design() { return m_app->GetActiveDocument()->GetDesign(); }

    static void Click(QDialog* d, const char* name)
    {
        auto* b = d->findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    // Opens the dialog from the element's button; in it, act runs.
    int Open(const std::function<void(CFlowSendDialog*)>& act)
    {
        bool seen = false;
        WhenModal<CFlowSendDialog>([&seen, act](CFlowSendDialog* d) {
            seen = true;
            act(d);
            if (d->isVisible()) d->reject();
        });
        const int result = m_send->OnPropertyCommand(36074, CString());
        EXPECT_TRUE(seen);
        return result;
    }

    std::unique_ptr<CTeskApp> m_app;
    CFlowSend* m_send = nullptr;
};

TEST_F(FlowSendDialog, OkStoresTheAnimateBox)
{
    ASSERT_EQ(m_send->m_bWhole, 0);
    const int result = Open([](CFlowSendDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Advanced Send Options");
        auto* group = d->findChild<QGroupBox*>();
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->title(), "Microcontroller Operation");
        auto* box = d->findChild<QCheckBox*>("ctl618");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Animate Full Sequence");
        EXPECT_FALSE(box->isChecked());
        Click(d, "ctl618");
        EXPECT_TRUE(box->isChecked());
        Click(d, "ctl1");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(result, 65);
    EXPECT_EQ(m_send->m_bWhole, 1);
    EXPECT_EQ(m_send->TransferSteps(true), 60); // x and the port and the end

    // Opened again, the box shows the flag; clearing it and OK clears it.
    Open([](CFlowSendDialog* d) {
        auto* box = d->findChild<QCheckBox*>("ctl618");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isChecked());
        Click(d, "ctl618");
        Click(d, "ctl1");
    });
    EXPECT_EQ(m_send->m_bWhole, 0);
}

TEST_F(FlowSendDialog, TheCatalogueMakesBothSerialElements)
{
    const PartCatalogue& c = PartCatalogue::Get();
    for (int id : {33897, 33898}) {
        const int row = c.FindCommand(id);
        ASSERT_GE(row, 0) << id;
        EXPECT_EQ(c.GetRowStatus(row), PartCatalogue::rowReady) << id;
    }
    std::unique_ptr<CObject> send(c.CreateById(33897, nullptr, nullptr));
    std::unique_ptr<CObject> receive(c.CreateById(33898, nullptr, nullptr));
    EXPECT_NE(dynamic_cast<CFlowSend*>(send.get()), nullptr);
    EXPECT_NE(dynamic_cast<CFlowReceive*>(receive.get()), nullptr);
}

TEST_F(FlowSendDialog, CancelLeavesTheFlag)
{
    Open([](CFlowSendDialog* d) {
        Click(d, "ctl618");
        Click(d, "ctl2");
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(m_send->m_bWhole, 0);
}

} // namespace
