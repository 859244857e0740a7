#include "app/publish/page_navigation.h"

#include "app/canvas/tesk_view.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "model/circuit/circuit.h"
#include "platform/shared_functions.h"
#include "platform/text1252.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

namespace {

// The view's window, or null.
CTeskFrame* FrameOf(CTeskView* view)
{
    for (QWidget* w = view; w; w = w->parentWidget())
        if (auto* f = qobject_cast<CTeskFrame*>(w)) return f;
    return nullptr;
}

// Opens the target of the design's page change; true when it opened.
bool ChangePage(CTeskView* view, CCircuit* design)
{
    CPageChange& page = design->m_pageChange;
    CTeskApp* app = CTeskApp::Get();
    CString full;
    if (!ResolveRelativePath(page.target, view->GetDocument()->GetDesignPath(), full)) full = page.target;
    CTeskDoc* opened = app ? app->OpenDocumentFile(FromWindows1252(ToNativePath(full))) : nullptr;
    page.opened = opened != nullptr;
    if (!opened) {
        // The page stays as it was; the picture that asked is drawn again.
        view->viewport()->update();
        return false;
    }
    // Either value set is a position to scroll to (only (0, 0) keeps the
    // page's own place).
    if (page.scrollX != 0 || page.scrollY != 0)
        for (CTeskFrame* f : app->FramesOf(opened)) {
            f->GetView()->horizontalScrollBar()->setValue(page.scrollX);
            f->GetView()->verticalScrollBar()->setValue(page.scrollY);
        }
    if (page.closeThisFile)
        if (CTeskFrame* frame = FrameOf(view)) {
            // Closed once the click is over, as a posted close would be.
            QPointer<CTeskFrame> guard(frame);
            QTimer::singleShot(0, frame, [guard] {
                if (guard) guard->close();
            });
        }
    return true;
}

} // namespace

void CarryOutPageAction(CTeskView* view, int result)
{
    CCircuit* design = view ? view->GetDesign() : nullptr;
    if (!design) return;
    if (result == 12 || result == 14) ChangePage(view, design);
    const bool closing = design->m_pageChange.closeThisFile && (result == 12 || result == 14);
    if ((result == 13 || result == 14) && !closing) {
        // Reload this page from its file, after the click is over.
        QPointer<CTeskDoc> doc(view->GetDocument());
        QTimer::singleShot(0, view, [doc] {
            if (doc && !doc->GetPathName().isEmpty()) doc->OnOpenDocument(doc->GetPathName());
        });
    }
}
