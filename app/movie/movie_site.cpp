#include "app/movie/movie_site.h"

#include "app/canvas/tesk_view.h"
#include "app/file_dialogs.h"
#include "app/movie/movie_window.h"
#include "app/tesk_doc.h"
#include "components/flash_viewer.h"
#include "model/circuit/circuit.h"
#include "model/parts/catalogue.h"
#include "model/parts/parttree.h"
#include "platform/text1252.h"

#include <QScrollBar>

namespace {

constexpr int kInsertMovieCommand = 33524;

class CViewMovieSite : public QObject, public CMovieViewSite {
public:
    explicit CViewMovieSite(CTeskView* view) : QObject(view), m_view(view) { setObjectName(kSiteName); }
    ~CViewMovieSite() override
    {
        if (CFlashViewer::ViewSite() == this) CFlashViewer::SetViewSite(nullptr);
    }
    static constexpr const char* kSiteName = "movieSite";
    void* MovieParentWindow() override { return m_view->viewport(); }
    int MovieZoom() override { return m_view->Controller().GetZoom(); }
    CPoint MovieScrollPos() override
    {
        return CPoint(m_view->horizontalScrollBar()->value(), m_view->verticalScrollBar()->value());
    }

private:
    CTeskView* m_view;
};

CViewMovieSite* SiteOf(CTeskView* view)
{
    QObject* o = view->findChild<QObject*>(QString::fromLatin1(CViewMovieSite::kSiteName), Qt::FindDirectChildrenOnly);
    auto* site = dynamic_cast<CViewMovieSite*>(o);
    return site ? site : new CViewMovieSite(view);
}

std::unique_ptr<movie::IMoviePlayer> CreateDesktopPlayer()
{
    return std::unique_ptr<movie::IMoviePlayer>(new (std::nothrow) CQtMoviePlayer);
}

// Insert > Movie: the file dialog, then a movie part holding the chosen
// file (relative to the design when it has a file).
CPart* CreateMoviePart(CTeskView* view)
{
    if (!view) return nullptr;
    ActivateMovieSite(view);
    CTeskDoc* doc = view->GetDocument();
    CString docPath = doc ? CString(ToWindows1252(doc->GetPathName()).c_str()) : CString();
    CString file;
    // The movie is kept relative to the design's file: a design that has
    // none is offered for saving first (declining adds nothing).
    auto saveFirst = [doc]() -> CString {
        if (!doc || !doc->DoFileSave()) return CString();
        return CString(ToWindows1252(doc->GetPathName()).c_str());
    };
    if (!ShowFileOpenDialog(kOpenMovies, &docPath, &file, true, saveFirst)) return nullptr;
    auto* part = new CFlashViewer;
    part->AttachToCircuit(view->GetDesign());
    part->OpenMovie(file, docPath);
    return part;
}

} // namespace

void ActivateMovieSite(CTeskView* view)
{
    if (view) CFlashViewer::SetViewSite(SiteOf(view));
}

void PlaceMovieWindows(CTeskView* view)
{
    CCircuit* design = view ? view->GetDesign() : nullptr;
    if (!design) return;
    CPartIterator it(design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) {
        auto* part = dynamic_cast<CFlashViewer*>(p);
        if (!part || !part->Player()) continue;
        // A window made while another view was active (or none) moves to
        // the view that shows its design.
        auto* window = static_cast<QWidget*>(part->Player()->GetPlayerWindow());
        if (window && window->parentWidget() != view->viewport()) {
            window->setParent(view->viewport());
            window->setVisible(part->Player()->PlayerWindowVisible());
        }
        part->PlacePlayerWindow();
    }
}

void InstallMovieSupport()
{
    movie::SetMoviePlayerFactory(&CreateDesktopPlayer);
    PartCatalogue::Get().SetHook(kInsertMovieCommand, &CreateMoviePart);
}
