#include "app/flow_send_dialog.h"

#include "app/view_dialogs.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include <memory>

namespace {
constexpr unsigned IDS_SEND_OPTIONS = 24574;
constexpr unsigned IDS_MICRO_OPERATION = 24575;
constexpr unsigned IDS_ANIMATE_ALL = 24576;
constexpr int kAnimateBox = 618;

QString Text(unsigned id) { return FromWindows1252(LoadResString(id)); }
} // namespace

CFlowSendDialog::CFlowSendDialog(int& whole, QWidget* parent) : QDialog(parent), m_whole(whole)
{
    setObjectName(QStringLiteral("dlg597"));
    setWindowTitle(Text(IDS_SEND_OPTIONS));
    auto* box = new QVBoxLayout(this);
    auto* group = new QGroupBox(Text(IDS_MICRO_OPERATION));
    auto* inner = new QVBoxLayout(group);
    m_animate = new QCheckBox(Text(IDS_ANIMATE_ALL));
    m_animate->setObjectName(QStringLiteral("ctl%1").arg(kAnimateBox));
    m_animate->setChecked(whole != 0);
    inner->addWidget(m_animate);
    box->addWidget(group);
    AddDialogButtons(this, box);
}

void CFlowSendDialog::accept()
{
    m_whole = m_animate->isChecked() ? 1 : 0;
    QDialog::accept();
}

CQtFlowSendDialogHost::CQtFlowSendDialogHost(QWidget* parent) : m_parent(parent), m_previous(Install(this)) {}

CQtFlowSendDialogHost::~CQtFlowSendDialogHost() { Install(m_previous); }

bool CQtFlowSendDialogHost::Edit(int& whole)
{
    CFlowSendDialog dialog(whole, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

void InstallFlowSendDialog(QWidget* mainWindow)
{
    // Owned by the window, so the host goes with it.
    struct Owner : QObject {
        using QObject::QObject;
        std::unique_ptr<CQtFlowSendDialogHost> host;
    };
    auto* owner = new Owner(mainWindow);
    owner->host = std::make_unique<CQtFlowSendDialogHost>(mainWindow);
}
