#include "components/flash_viewer.h"

#include "model/circuit/circuit.h"
#include "model/circuit/design_document.h"
#include "model/circuit/file_open_warnings.h"
#include "model/designfile/design_paths.h"
#include "model/display/display.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

#include <QImage>
#include <QPainter>

WB_IMPLEMENT_SERIAL(CFlashViewer, "CPartResize", 1)

namespace {

CMovieViewSite*& Site()
{
    static CMovieViewSite* site = nullptr;
    return site;
}

CCircuit* CircuitOf(CPartTree* tree)
{
    return dynamic_cast<CCircuit*>(tree);
}

CString DesignPathOf(CPartTree* tree)
{
    CCircuit* c = CircuitOf(tree);
    return c && c->m_pDocument ? c->m_pDocument->GetDesignPath() : CString();
}


} // namespace

void CFlashViewer::SetViewSite(CMovieViewSite* site) { Site() = site; }

CMovieViewSite* CFlashViewer::ViewSite() { return Site(); }

CFlashViewer::CFlashViewer() = default;

CFlashViewer::~CFlashViewer() { DropPlayer(); }

void CFlashViewer::Serialize(CArchive& ar)
{
    CPartCircuit::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strMovieName;
    } else {
        ar >> m_strMovieName;
        NormalizePathSeparators(m_strMovieName);
    }
}

void CFlashViewer::DropPlayer()
{
    // The player (and its window) go before anything that could call it.
    std::unique_ptr<movie::IMoviePlayer> gone = std::move(m_player);
    if (gone) gone->SetQuitHandler({});
}

bool CFlashViewer::CreatePlayer()
{
    if (!m_player) m_player = movie::CreateMoviePlayer();
    if (!m_player) return false;
    CMovieViewSite* site = ViewSite();
    if (m_player->CreatePlayerWindow(site ? site->MovieParentWindow() : nullptr) < 0) {
        m_player.reset();
        return false;
    }
    // A movie that quits takes its window away: the part lets go of the
    // player first, and then draws its name.
    m_player->SetQuitHandler([this] {
        DropPlayer();
        MarkChanged();
    });
    return true;
}

bool CFlashViewer::MovieLoaded()
{
    movie::MovieFrameRect r;
    return m_player && m_player->GetMovieFrameRect(&r) == movie::kMovieOk && r.loaded;
}

bool CFlashViewer::OpenResolved(const CString& path)
{
    if (!m_player || path.IsEmpty() || !FileExistsNotEmpty(path, nullptr)) return false;
    if (m_player->OpenMovie(std::string(ToNativePath(path).c_str())) < 0) return false;
    return MovieLoaded();
}

bool CFlashViewer::OpenMovie(const CString& name, const CString& designPath)
{
    m_strMovieName = name;
    if (!CreatePlayer()) return false;
    UpdatePlayerVisibility();
    CString path;
    ResolveStoredPath(name, designPath, &path);
    if (!OpenResolved(path) && !OpenResolved(name)) return false;
    movie::MovieFrameRect r;
    m_player->GetMovieFrameRect(&r);
    m_rect = CRect(r.left / 20, r.top / 20, r.right / 20, r.bottom / 20);
    PlacePlayerWindow();
    return true;
}

void CFlashViewer::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    CPartCircuit::AfterLoad(design, flags, version);
    CreatePlayer();
    bool opened = false;
    if (!m_strMovieName.IsEmpty()) {
        // A relative name is looked for beside the design first, then the
        // name is tried as it is stored.
        CString path;
        if (m_strMovieName[0] == '.' && ResolveStoredPath(m_strMovieName, DesignPathOf(design), &path))
            opened = OpenResolved(path);
        if (!opened) opened = OpenResolved(StoredPathToNative(m_strMovieName));
        if (!opened && m_strMovieName[0] != '.' && ResolveStoredPath(m_strMovieName, DesignPathOf(design), &path))
            opened = OpenResolved(path);
    }
    if (opened) {
        movie::MovieFrameRect r;
        m_player->GetMovieFrameRect(&r);
        m_rect.right = m_rect.left + (r.right - r.left) / 20;
        m_rect.bottom = m_rect.top + (r.bottom - r.top) / 20;
    } else if (!m_strMovieName.IsEmpty()) {
        CString line = LoadResString(kCannotFindFile);
        line += " ";
        line += m_strMovieName;
        line += "\r\n";
        AddFileOpenWarning(line);
    }
    if (opened && flags == 0) {
        UpdatePlayerVisibility();
        PlacePlayerWindow();
    } else if (m_player) {
        m_player->ShowPlayerWindow(false);
    }
}

int CFlashViewer::CanDrop(CPartTree* design)
{
    if (!design) return 0;
    const CRect page = design->GetPageRect();
    CRect inside;
    inside.IntersectRect(page, m_rect);
    return inside == m_rect && !design->IntersectsRect(m_rect);
}

void CFlashViewer::Drop(CPartTree* design)
{
    CPartCircuit::Drop(design);
    PlacePlayerWindow();
}

void CFlashViewer::UpdateChildWindow() { UpdatePlayerVisibility(); }

void CFlashViewer::OnViewChanged(int code, void* view)
{
    PlacePlayerWindow();
    CPartCircuit::OnViewChanged(code, view);
}

void CFlashViewer::SetRunning(int flag)
{
    m_running = flag != 0;
    if (flag) {
        UpdatePlayerVisibility();
        PlacePlayerWindow();
    } else if (m_player) {
        m_player->ShowPlayerWindow(false);
    }
}

void CFlashViewer::Offset(int dx, int dy)
{
    m_rect.OffsetRect(dx, dy);
    PlacePlayerWindow();
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling()) c->Offset(dx, dy);
}

bool CFlashViewer::UpdatePlayerVisibility()
{
    CCircuit* c = CircuitOf(m_pCircuit);
    const bool show = (!c || c->IsAllowed(1)) && MovieLoaded() && IsDragIdle();
    if (m_player) m_player->ShowPlayerWindow(show);
    return show;
}

void CFlashViewer::PlacePlayerWindow()
{
    if (!m_player) return;
    CMovieViewSite* site = ViewSite();
    const int zoom = site ? site->MovieZoom() : 1;
    const CPoint scroll = site ? site->MovieScrollPos() : CPoint(0, 0);
    m_player->MovePlayerWindow(m_rect.left * zoom - scroll.x, m_rect.top * zoom - scroll.y, m_rect.Width() * zoom,
                               m_rect.Height() * zoom, true);
}

int CFlashViewer::Draw(DWORD)
{
    CDC* dc = CDisplay::GetCurrentDC();
    if (!dc) return 0;
    if (!MovieLoaded()) {
        // No player, or no movie: the file name in a frame.
        CRect inner = m_rect;
        inner.DeflateRect(1, 1);
        CDisplay::DrawFrame(inner.TopLeft(), inner.BottomRight(), kBlack, 0, 1);
        CDisplay::DrawText(m_strMovieName, inner, inner.left + 2, inner.top + 2, 0, nullptr, 1, kBlack, -1);
        return 1;
    }
    QImage* surface = dc->Surface();
    // The still frame at the window's size (the part's, times the view's
    // zoom), scaled to the DC's mapping (printing has its own).
    CMovieViewSite* site = ViewSite();
    const int zoom = site ? site->MovieZoom() : 1;
    const int w = m_rect.Width() * zoom, h = m_rect.Height() * zoom;
    if (!surface || w <= 0 || h <= 0) return 0;
    QImage frame(w, h, QImage::Format_RGB32);
    frame.fill(Qt::white);
    m_player->DrawTo(reinterpret_cast<uint32_t*>(frame.bits()), w, h, int(frame.bytesPerLine() / 4));
    const CRect device = dc->LPtoDP(m_rect);
    const CRect clip = dc->LPtoDP(dc->GetClipBox());
    QPainter painter(surface);
    painter.setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
    painter.drawImage(QRect(device.left, device.top, device.Width(), device.Height()), frame);
    return 1;
}
