// The canvas view hands the part it selects to the main frame's property
// toolbar; a change made there repaints the view.
#include "app/canvas/tesk_view.h"
#include "app/control_toolbar.h"
#include "app/main_frame.h"
#include "app/tesk_app.h"

#include <QPointer>

void CTeskView::ShowPartProperties(CPart* part)
{
    CTeskApp* app = CTeskApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    CControlToolBar* bar = frame ? frame->ControlBar() : nullptr;
    if (!bar) return;
    QPointer<CTeskView> self(this);
    bar->ShowPart(part, [self] {
        if (self) self->UpdateView();
    });
    frame->UpdateCommands();
}
