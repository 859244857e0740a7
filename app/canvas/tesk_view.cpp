#include "app/canvas/tesk_view.h"

#include "app/add_menu.h"
#include "app/canvas/bubble_widget.h"
#include "app/control_toolbar.h"
#include "app/cursor_table.h"
#include "app/main_frame.h"
#include "app/movie/movie_site.h"
#include "app/publish/page_navigation.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/text_editor.h"
#include "measure/sound_system.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/parts/catalogue.h"
#include "model/text/text.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <utility>

#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>

namespace {
constexpr int kCmdDelete = 35007;
constexpr int kCmdSelectAll = 35008;
constexpr int kCmdZoom = 35012;
constexpr int kCmdAddLoudspeaker = 33505;
constexpr DWORD kOptZoom = 0x100;

uint32_t Milliseconds()
{
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    // Never 0: the controller reads 0 as "not armed".
    return static_cast<uint32_t>(clock.elapsed()) + 1;
}
} // namespace

// The viewport's image: parts draw into it through the drawing layer at any
// time (a step redraws what changed); giving the DC back marks it for the
// screen.
class CCanvasImage : public CImageView {
public:
    CCanvasImage(int w, int h, QWidget* viewport) : CImageView(w, h), m_viewport(viewport) {}
    void ReleaseDC(CDC* dc) override
    {
        CImageView::ReleaseDC(dc);
        m_viewport->update();
    }

private:
    QWidget* m_viewport;
};

// The simulation host of one view: the shell's Qt host, with the cursor and
// bubble ticks going to the view's controller.
class CViewSimulationHost : public CQtSimulationHost {
public:
    explicit CViewSimulationHost(CTeskView& view) : m_view(view) {}
    void UpdateCursor() override { m_view.Controller().UpdateCursor(); }
    void TickBubbleHelp() override { m_view.Controller().TickBubbleHelp(); }
    void Repaint() override { m_view.viewport()->update(); }
    CSimulationGraph* GetGraph() override { return m_view.GetGraph(); }
    // The application's sound output (none while no application runs).
    void SetBuzzer(bool on) override
    {
        if (CSoundSystem* s = GetSoundSystem()) s->SetBuzzer(on);
    }
    void StopSound(bool close, bool reset) override
    {
        if (CSoundSystem* s = GetSoundSystem()) s->Stop(close, reset);
    }
    bool IsSoundQueued() override
    {
        CSoundSystem* s = GetSoundSystem();
        return s && s->IsSoundQueued();
    }
    CSoundSystem* GetSoundSystem() override
    {
        CTeskApp* app = CTeskApp::Get();
        return app ? &app->Sound() : nullptr;
    }

private:
    CTeskView& m_view;
};

namespace {
// The main frame's property toolbar, when there is one.
CControlToolBar* PropertyToolBar()
{
    CTeskApp* app = CTeskApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    return frame ? frame->ControlBar() : nullptr;
}
} // namespace

CTeskView::CTeskView(CTeskDoc* document, QWidget* parent) : QAbstractScrollArea(parent), m_document(document)
{
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setSingleStep(16);
    CBubbleWidget::Acquire();
    m_image = std::make_unique<CCanvasImage>(std::max(1, viewport()->width()), std::max(1, viewport()->height()),
                                             viewport());
    m_simHost = std::make_unique<CViewSimulationHost>(*this);
    m_controller = std::make_unique<CCanvasController>(*this, CBubbleWidget::Shared());
    m_controller->SetSimulationHost(m_simHost.get());
    // The editor installs itself; a view opened beside another leaves that
    // view's editor in place until it becomes the active one.  A text's
    // rectangle in design units lies at (rect x zoom - scroll) in the viewport.
    CTextEditorHost* editing = CTextEditorHost::Current();
    CLabelCommandHost* commands = CLabelCommandHost::Current();
    m_textEditor = std::make_unique<CTextEditWindow>(viewport());
    if (editing) CTextEditorHost::Install(editing);
    if (commands) CLabelCommandHost::Install(commands);
    m_textEditor->SetMapping([this](const CRect& r) {
        const int z = m_controller->GetZoom();
        const CPoint s = GetScrollPos();
        return QRect(r.left * z - s.x, r.top * z - s.y, r.Width() * z, r.Height() * z);
    });
    // The property toolbar follows the editor: its style buttons the
    // selection's format, and the shown part takes what is typed
    // (command 36089); a value text that was clamped or refused turns red.
    m_textEditor->SetSelectionHandler([] {
        if (CControlToolBar* bar = PropertyToolBar()) bar->UpdateEnabledStates();
    });
    m_textEditor->SetEditingHandler([] {
        CControlToolBar* bar = PropertyToolBar();
        if (bar && dynamic_cast<CText*>(bar->Part())) bar->Refill();
    });
    m_textEditor->SetEditHandler([](const QString& text) {
        CControlToolBar* bar = PropertyToolBar();
        if (!bar) return false;
        const int result = bar->Model().EditBoxCommand(ToWindows1252(text));
        CText* edited = SharedTextEditor().part;
        return edited && (edited->GetTextFlags() & TF_VALUE) && (result & (PR_CLAMPED | PR_REFUSED));
    });
    connect(m_simHost.get(), &CQtSimulationHost::tick, this, &CTeskView::OnTick);
    if (m_document) connect(m_document, &CTeskDoc::designReplaced, this, &CTeskView::OnDesignReplaced);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parent)) {
        connect(frame, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates was, Qt::WindowStates now) {
            const bool active = now.testFlag(Qt::WindowActive);
            if (active != was.testFlag(Qt::WindowActive)) Activate(active);
        });
    }
    OnDesignReplaced();
}

CTeskView::~CTeskView()
{
    // A text still open in this view's editor takes its content back before
    // the editor and its document go.
    if (CText* text = SharedTextEditor().part)
        if (CTextEditorHost::Current() == m_textEditor.get()) text->EditInPlace(nullptr);
    m_textEditor.reset();
    if (m_controller->IsActiveView())
        if (CBubbleWidget* w = CBubbleWidget::SharedWidget()) w->SetPromptSink({});
    m_controller->DetachDesign();
    m_controller.reset();
    CBubbleWidget::Release();
}

CCircuit* CTeskView::GetDesign() const { return m_document ? m_document->GetDesign() : nullptr; }

CQtSimulationHost& CTeskView::SimulationHost() { return *m_simHost; }

void CTeskView::OnDesignReplaced()
{
    CCircuit* design = GetDesign();
    if (design != m_shownDesign) {
        // The document has already let the old design go.
        m_controller->ForgetDesign();
        m_shownDesign = design;
    }
    m_controller->OnUpdate(design, 1);
    if (m_controller->IsActiveView()) m_controller->OnActivate(true);
    UpdateView();
}

void CTeskView::UpdateView()
{
    if (GetDesign() != m_shownDesign) {
        OnDesignReplaced();
        return;
    }
    m_controller->RecalcScrollSizes(false);
    Invalidate();
    PlaceMovieWindows(this);
}

void CTeskView::InstallTextEditor()
{
    if (CTextEditorHost::Current() == m_textEditor.get()) return;
    if (CText* text = SharedTextEditor().part) text->EditInPlace(nullptr);
    CTextEditorHost::Install(m_textEditor.get());
    CLabelCommandHost::Install(m_textEditor.get());
}

void CTeskView::Activate(bool on)
{
    if (on) {
        InstallTextEditor();
        ActivateMovieSite(this);
        if (CBubbleWidget* w = CBubbleWidget::SharedWidget())
            w->SetPromptSink([this](int id) { SetStatusPrompt(id); });
    }
    m_controller->OnActivate(on);
    AfterEvent();
}

bool CTeskView::ReorientPart(CPart* part)
{
    const bool done = m_controller->Reorient(part);
    AfterEvent();
    return done;
}

bool CTeskView::IdleStep(long count)
{
    m_simHost->BeginBurst();
    const bool more = m_controller->IdleStep(count);
    AfterEvent();
    return more;
}

namespace {

// The property toolbar's live items (the trolleys' positions and
// velocities) follow the design while it runs.
void RefreshLiveItems(CCircuit* design)
{
    if (!design || design->IsPaused() || !(design->GetOptions() & OPT_SIMULATE)) return;
    CTeskApp* app = CTeskApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    CControlToolBar* bar = frame ? frame->ControlBar() : nullptr;
    if (bar && bar->Part() && bar->GetDesign() == design) bar->RefreshValues(true);
}

} // namespace

void CTeskView::OnTick()
{
    m_simHost->BeginBurst();
    m_controller->OnTimer(TIMER_STEP);
    CCircuit* design = GetDesign();
    RefreshLiveItems(design);
    if (design && (design->WantsIdle() || m_controller->IsReleasePending()))
        if (CTeskApp* app = CTeskApp::Get()) app->KickIdle();
    AfterEvent();
}

void CTeskView::AfterEvent()
{
    if (m_needsRender) viewport()->update();
    PlaceMovieWindows(this);
}

QSize CTeskView::PageSize() const
{
    CCircuit* d = GetDesign();
    if (!d) return {};
    const CRect page = d->GetPageRect();
    return QSize(page.right, page.bottom);
}

QImage CTeskView::RenderDesign(int scale) const
{
    const QSize page = PageSize();
    if (page.isEmpty()) return {};
    CImageView image(page.width() * scale, page.height() * scale);
    image.m_zoom = scale;
    CCircuit* d = GetDesign();
    if (d && CDisplay::IsIdle()) {
        CDisplay display(&image);
        d->DrawTree(d->GetRedrawFlags());
    }
    return image.Image();
}

// ---------------------------------------------------------------- painting and scrolling

void CTeskView::paintEvent(QPaintEvent*)
{
    m_openingScroll = false;
    if (m_needsRender && CDisplay::IsIdle()) {
        m_needsRender = false;
        const CSize client = GetClientSize();
        m_controller->Paint(CRect(0, 0, client.cx, client.cy));
    }
    QPainter painter(viewport());
    painter.drawImage(0, 0, m_image->Image());
}

void CTeskView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (CDisplay::IsIdle())
        m_image = std::make_unique<CCanvasImage>(std::max(1, viewport()->width()), std::max(1, viewport()->height()),
                                                 viewport());
    m_controller->OnSize();
    // Until the window first paints, its size is still settling (the MDI
    // area maximises it): the opening scroll follows every new size.
    if (m_openingScroll) m_controller->RecalcScrollSizes(true);
    Invalidate();
}

void CTeskView::scrollContentsBy(int, int)
{
    if (!m_inScroll) Invalidate();
    // The editor stays over the text it edits.
    if (CText* text = SharedTextEditor().part)
        if (CTextEditorHost::Current() == m_textEditor.get()) m_textEditor->Move(text->GetRect());
    PlaceMovieWindows(this);
}

CView* CTeskView::GetDrawView()
{
    const int z = m_controller->GetZoom();
    m_image->m_zoom = z;
    const CPoint s = GetScrollPos();
    m_image->m_scroll = CPoint(s.x / z, s.y / z);
    return m_image.get();
}

CSize CTeskView::GetClientSize() { return CSize(viewport()->width(), viewport()->height()); }

void CTeskView::SetScrollRange(CSize total)
{
    const QSize port = viewport()->size();
    m_inScroll = true;
    horizontalScrollBar()->setRange(0, std::max(0, total.cx - port.width()));
    horizontalScrollBar()->setPageStep(port.width());
    verticalScrollBar()->setRange(0, std::max(0, total.cy - port.height()));
    verticalScrollBar()->setPageStep(port.height());
    m_inScroll = false;
}

CPoint CTeskView::GetScrollPos() { return CPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()); }

void CTeskView::ScrollTo(CPoint pos)
{
    // At zoom 2 the position stays even, so the image's origin is exact.
    const int z = m_controller->GetZoom();
    horizontalScrollBar()->setValue(pos.x / z * z);
    verticalScrollBar()->setValue(pos.y / z * z);
    Invalidate();
}

void CTeskView::Invalidate()
{
    m_needsRender = true;
    viewport()->update();
}

void CTeskView::InvalidateRect(const CRect&) { Invalidate(); }

// ---------------------------------------------------------------- mouse and cursor

void CTeskView::SetCapture(bool on)
{
    if (on == m_capture) return;
    m_capture = on;
    if (!viewport()->isVisible()) return;
    if (on)
        viewport()->grabMouse();
    else
        viewport()->releaseMouse();
}

bool CTeskView::HasCapture() { return m_capture; }

CPoint CTeskView::GetCursorPos()
{
    // The last mouse event over (or captured by) the canvas tells where the
    // pointer is; once it has left, the system's pointer does.
    if (m_mouseKnown) return m_lastMouse;
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    return CPoint(p.x(), p.y());
}

void CTeskView::TrackMouse(const QPointF& p)
{
    m_lastMouse = ClientPoint(p);
    m_mouseKnown = true;
}

void CTeskView::SetCursorPos(CPoint p) { QCursor::setPos(viewport()->mapToGlobal(QPoint(p.x, p.y))); }

QCursor CTeskView::CursorForCode(int code)
{
    return CCursorTable::Get().ForCode(code);
}

void CTeskView::SetCursorCode(int code) { viewport()->setCursor(CursorForCode(code)); }

int CTeskView::GetCursorHeight() { return 32; }

CPoint CTeskView::ClientToScreen(CPoint p)
{
    const QPoint g = viewport()->mapToGlobal(QPoint(p.x, p.y));
    return CPoint(g.x(), g.y());
}

uint32_t CTeskView::GetTickCount() { return Milliseconds(); }

// The main frame stops the design when the application loses the user, so
// the view itself may always take the idle time it needs.
bool CTeskView::IsFrameActive() { return true; }

void CTeskView::SetStatusPrompt(int id)
{
    auto* frame = qobject_cast<QMainWindow*>(window());
    if (!frame) return;
    if (id == CBubble::kIdlePrompt || !id) {
        frame->statusBar()->clearMessage();
        return;
    }
    CString text = LoadResString(static_cast<uint32_t>(id));
    const auto nl = text.find('\n');
    if (nl != CString::npos) text = text.substr(0, nl);
    frame->statusBar()->showMessage(FromWindows1252(text));
}

void CTeskView::ShowMessage(const CString& text) { WbMessageBox(text); }

void CTeskView::RunPageAction(int result) { CarryOutPageAction(this, result); }

unsigned CTeskView::KeyFlags(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) const
{
    unsigned f = 0;
    if (buttons & Qt::LeftButton) f |= MK_LBUTTON;
    if (modifiers & Qt::ShiftModifier) f |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) f |= MK_CONTROL;
    return f;
}

CPoint CTeskView::ClientPoint(const QPointF& p) const
{
    return CPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

void CTeskView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        m_controller->EndHover();
        return;
    }
    TrackMouse(event->position());
    setFocus(Qt::MouseFocusReason);
    if (!m_controller->IsActiveView()) Activate(true);
    m_controller->OnPress(ClientPoint(event->position()), KeyFlags(event->modifiers(), event->buttons()));
    AfterEvent();
}

// A double click counts as the second press it is.
void CTeskView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CTeskView::mouseMoveEvent(QMouseEvent* event)
{
    TrackMouse(event->position());
    m_simHost->SetDragging(m_capture);
    m_controller->OnMove(ClientPoint(event->position()), KeyFlags(event->modifiers(), event->buttons()));
    if (!m_capture)
        if (CTeskApp* app = CTeskApp::Get()) app->KickIdle();
    AfterEvent();
}

void CTeskView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    TrackMouse(event->position());
    m_controller->OnRelease(ClientPoint(event->position()), KeyFlags(event->modifiers(), event->buttons()));
    m_simHost->SetDragging(false);
    AfterEvent();
}

bool CTeskView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave) {
        m_controller->EndHover();
        if (!m_capture) m_mouseKnown = false;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CTeskView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (!m_controller->IsActiveView()) Activate(true);
}

void CTeskView::keyPressEvent(QKeyEvent* event)
{
    m_controller->EndHover();
    CanvasKey key = CanvasKey::kOther;
    switch (event->key()) {
    case Qt::Key_PageUp: key = CanvasKey::kPageUp; break;
    case Qt::Key_PageDown: key = CanvasKey::kPageDown; break;
    case Qt::Key_End: key = CanvasKey::kEnd; break;
    case Qt::Key_Home: key = CanvasKey::kHome; break;
    case Qt::Key_Left: key = CanvasKey::kLeft; break;
    case Qt::Key_Up: key = CanvasKey::kUp; break;
    case Qt::Key_Right: key = CanvasKey::kRight; break;
    case Qt::Key_Down: key = CanvasKey::kDown; break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    m_controller->OnKey(key);
    AfterEvent();
}

// ---------------------------------------------------------------- drag and drop of design files

namespace {
QString DroppedDesignFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}
} // namespace

void CTeskView::dragEnterEvent(QDragEnterEvent* event)
{
    const QString path = DroppedDesignFile(event->mimeData());
    TrackMouse(event->position());
    if (path.isEmpty() || !m_controller->OnDragEnter(ToWindows1252(path), ClientPoint(event->position()))) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    AfterEvent();
}

void CTeskView::dragMoveEvent(QDragMoveEvent* event)
{
    TrackMouse(event->position());
    m_controller->OnDragMove(ClientPoint(event->position()));
    event->acceptProposedAction();
    AfterEvent();
}

void CTeskView::dragLeaveEvent(QDragLeaveEvent*)
{
    m_controller->OnDragLeave();
    AfterEvent();
}

void CTeskView::dropEvent(QDropEvent* event)
{
    m_controller->OnDrop(ClientPoint(event->position()));
    event->acceptProposedAction();
    AfterEvent();
}

// ---------------------------------------------------------------- commands

bool CTeskView::OnCommand(int id)
{
    CCircuit* design = GetDesign();
    const bool atOnce = std::exchange(m_nextAddAtOnce, false);
    switch (id) {
    case kCmdDelete: m_controller->OnDelete(); break;
    case kCmdSelectAll: m_controller->SelectAll(); break;
    case kCmdZoom: m_controller->SetZoom(!(design && (design->GetOptions() & kOptZoom))); break;
    default: {
        const PartCatalogue& catalogue = PartCatalogue::Get();
        const int row = catalogue.FindCommand(id);
        if (row < 0 || catalogue.GetRowStatus(row) != PartCatalogue::rowReady) return false;
        if (!design || design->IsLocked() || design->HasBlownPart()) return true;
        int extra = 0;
        CObject* made = catalogue.CreateAt(row, this, &extra);
        auto* part = dynamic_cast<CPart*>(made);
        if (!part) {
            delete made;
            return true;
        }
        // A row that makes another class stands for a variant of it (a
        // battery lying to the right): the row's class is the variant.
        if (catalogue.GetRow(row).replacementName && !catalogue.GetRow(row).hasHook)
            part->m_pPendingVariant = CRuntimeClass::FromName(catalogue.GetRow(row).className);
        // The part starts above the pointer's column, or at the left edge
        // when the pointer is off the canvas.
        CPoint at = GetCursorPos();
        at.x = std::clamp(at.x, 8, std::max(8, GetClientSize().cx - 48));
        m_controller->SetToolbarDropPoint(m_controller->ToLogical(CPoint(at.x, 0)));
        setFocus(Qt::OtherFocusReason);
        if (!m_controller->IsActiveView()) Activate(true);
        if (atOnce) m_controller->AddPartAtOnce(part, extra);
        else m_controller->AddPart(part, extra);
        break;
    }
    }
    AfterEvent();
    return true;
}

bool CTeskView::OnUpdateCommand(CCmdUI& ui)
{
    CCircuit* design = GetDesign();
    const bool editable = design && !design->IsLocked() && !design->HasBlownPart();
    switch (ui.id) {
    case kCmdDelete: ui.Enable(editable && !m_capture); return true;
    case kCmdSelectAll: ui.Enable(design != nullptr); return true;
    case kCmdZoom:
        ui.Enable(design != nullptr);
        ui.SetCheck(design && (design->GetOptions() & kOptZoom));
        return true;
    default: {
        const PartCatalogue& catalogue = PartCatalogue::Get();
        const int row = catalogue.FindCommand(ui.id);
        if (row < 0 || catalogue.GetRowStatus(row) != PartCatalogue::rowReady) return false;
        // Add/Loudspeaker has a rule of its own (one sound source in a
        // design): the view commands answer it.
        if (ui.id == kCmdAddLoudspeaker) return false;
        // The design decides whether a part of the command's kind may come
        // in now (locked, a part blown, no probe channel left).
        ui.Enable(editable && design->CanAddPart(AddCommandPartKind(ui.id), false, false));
        return true;
    }
    }
}
