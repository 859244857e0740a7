// The main frame's share of the design commands: the property toolbar
// below the main toolbar, the view commands and the property commands in
// the frame's place on the command route.
#include "app/canvas/tesk_view.h"
#include "app/control_toolbar.h"
#include "app/main_frame.h"
#include "app/opamp_dialog.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/view_command_host.h"

void CMainFrame::InstallViewCommands()
{
    CTeskApp* app = m_app;
    m_controlBar = new CControlToolBar(
        [app]() -> CCircuit* {
            CTeskDoc* doc = app->GetActiveDocument();
            return doc ? doc->GetDesign() : nullptr;
        },
        this);
    m_controlBar->SetCommandRunner([this](int id) {
        m_app->RouteCommand(id);
        UpdateCommands();
    });
    m_controlBar->SetCommandUpdater([this](CCmdUI& ui) { m_app->RouteUpdate(ui); });
    m_controlBar->SetViewFocuser([app] {
        if (CTeskView* view = app->GetActiveView()) view->setFocus(Qt::OtherFocusReason);
    });
    m_controlBar->SetMessenger([this](const QString& text) { SetStatusText(text); });
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_controlBar);
    m_viewHost = std::make_unique<CFrameViewCommandHost>(*m_app);
    m_viewHost->SetControlToolBar(m_controlBar);
    m_viewCommands = std::make_unique<CViewCommands>(*m_viewHost);
    m_propertyCommands = std::make_unique<CPropertyCommands>(m_controlBar->Model());
    // The op-amps' supply dialog lives as long as the window.
    struct OpampOwner : QObject {
        using QObject::QObject;
        std::unique_ptr<CQtOpampDialogHost> host;
    };
    auto* owner = new OpampOwner(this);
    owner->host = std::make_unique<CQtOpampDialogHost>(this);
}

bool CMainFrame::RouteViewCommand(int id)
{
    return (m_propertyCommands && m_propertyCommands->OnCommand(id)) ||
           (m_viewCommands && m_viewCommands->OnCommand(id));
}

bool CMainFrame::RouteViewUpdate(CCmdUI& ui)
{
    return (m_propertyCommands && m_propertyCommands->OnUpdateCommand(ui)) ||
           (m_viewCommands && m_viewCommands->OnUpdateCommand(ui));
}
