// Adding to the design from outside the canvas: a new part from the part
// toolbar or the Add menu, and a design file dropped on the canvas as a
// module.  They ride in the floating design until the next release; a
// plain click on a part-toolbar button drops its part at once.
#include "app/canvas/canvas_controller.h"

#include "model/circuit/circuit.h"
#include "model/parts/parttree.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QFile>

#include <vector>

namespace {
constexpr DWORD kQuiet = 0x80000;
constexpr int kStrModuleReadFailed = 36629;
constexpr int kStrOpenFailed = 14003;

// The parts whose control is laid out for the orientation their set-up
// gives: the lever and key switches and the push buttons.
const char* const kSetUpOnAdd[] = {"CSPST", "CPushMake", "CPushBreak"};

bool TakesSetUpOnAdd(const CPart* part)
{
    for (const char* name : kSetUpOnAdd)
        if (part->IsKindOf(name)) return true;
    return false;
}
} // namespace

bool CCanvasController::AddPart(CPart* part, int propertyCommand, bool alternateLook, bool keepInitialised,
                                bool asTemplate)
{
    if (!part) return false;
    if (!m_design) {
        delete part;
        return false;
    }
    try {
        if (alternateLook) part->UseAlternateLook();
        if (m_design->HasBlownPart() || !m_design->CanAddPart(part->GetPartKind(), false, false)) {
            delete part;
            return false;
        }
        DeselectAll(false, true);
        CPoint start = m_toolbarDropPoint;
        start.y = 8;
        if (!keepInitialised) {
            // A switch takes the set-up of its catalogue entry first, as a
            // part read from a file of its old class takes it: orientation
            // and picture rectangle (it lies, its lever clear of the pins),
            // then its children are made for that orientation.
            if (TakesSetUpOnAdd(part)) {
                const CRuntimeClass* variant =
                    part->m_pPendingVariant ? part->m_pPendingVariant : part->GetRuntimeClass();
                part->InitVariant(variant);
            }
            part->m_pPendingVariant = nullptr;
            part->ResetVisual();
            if (!part->Initialise()) {
                delete part;
                return false;
            }
        }
        // The new part starts with its top-left corner at the start point,
        // under the pointer that carries it.
        const CRect r = part->GetRect();
        part->Offset(start.x - r.left, start.y - r.top);
        part->MarkChanged();
        m_addPending = true;
        m_pressedSelected = (!m_selectWhenAdding && !asTemplate) ? 2 : 0;
        PickUp(part, asTemplate || m_selectWhenAdding);
        part->AttachToCircuit(m_design);
        m_design->SetLinkedDesign(m_floating.get());
        if (propertyCommand && part->OnPropertyCommand(propertyCommand, CString()) == 8) part->ApplySettingsText();
        m_floating->StartDrag(m_design, start);
        part->Select(kQuiet);
        m_dragging = true;
        m_pressed = true;
        m_host.SetCapture(true);
        m_scrollLock = true;
        m_host.Invalidate();
    } catch (...) {
        // The part goes once: with the floating design when it holds it,
        // else directly.
        const bool held = m_floating && m_floating->GetFirstPart() == part;
        m_dragging = false;
        DeselectAll(true, true);
        m_addPending = false;
        if (!held) delete part;
        throw;
    }
    return true;
}

namespace {

// The top-left corner where a part of the given size fits in the visible
// rectangle without touching any part of the design (a gap of kMargin
// around it, so that no terminal meets another) and where the design
// lets it drop; the visible top-left when nothing is free.
CPoint FreeSpot(CCircuit* design, CPart* part, const CRect& visible)
{
    // Parts are kept apart with everything they draw: their value labels
    // and readouts stand beside them.
    const CRect home = part->GetUnionRect();
    const CPoint own(part->GetRect().left - home.left, part->GetRect().top - home.top);
    const CSize size(home.right - home.left, home.bottom - home.top);
    constexpr int kStep = 8;
    constexpr int kMargin = 8;
    std::vector<CRect> taken;
    CPartIterator it(design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) taken.push_back(p->GetUnionRect());
    const CPoint origin((visible.left + kMargin + kStep - 1) / kStep * kStep,
                        (visible.top + kMargin + kStep - 1) / kStep * kStep);
    for (int y = origin.y; y + size.cy + kMargin <= visible.bottom; y += kStep) {
        for (int x = origin.x; x + size.cx + kMargin <= visible.right; x += kStep) {
            const CRect want(x - kMargin, y - kMargin, x + size.cx + kMargin, y + size.cy + kMargin);
            bool clear = true;
            for (const CRect& r : taken) {
                if (want.left < r.right && r.left < want.right && want.top < r.bottom && r.top < want.bottom) {
                    clear = false;
                    break;
                }
            }
            if (!clear) continue;
            // The design has the last word (its page, its own overlap rule).
            part->Offset(x - home.left, y - home.top);
            const bool fits = part->CanDrop(design) != 0;
            part->Offset(home.left - x, home.top - y);
            if (fits) return CPoint(x + own.x, y + own.y);
        }
    }
    return origin + own;
}

} // namespace

bool CCanvasController::AddPartAtOnce(CPart* part, int propertyCommand)
{
    if (!m_design) {
        delete part;
        return false;
    }
    // The part rides in the floating design for a moment, as any added
    // part does, so that it is initialised and merged by the same steps;
    // it is carried to the free spot and dropped there at once.
    const CPoint topLeft = ToLogical(CPoint(0, 0));
    const CSize client = m_host.GetClientSize();
    const CPoint bottomRight = ToLogical(CPoint(client.cx, client.cy));
    // It starts at the right edge of the view, where no free spot can be:
    // a release where a drag started keeps the drag going.
    m_toolbarDropPoint = CPoint(bottomRight.x, topLeft.y);
    if (!AddPart(part, propertyCommand)) return false;
    if (!m_floating) return true;
    const CRect r = part->GetRect();
    const CPoint start(r.left, r.top);
    const CPoint spot = FreeSpot(m_design, part, CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y));
    const CPoint drop(start.x + (spot.x - r.left), start.y + (spot.y - r.top));
    Ops().DragFloating(*m_floating, *m_design, drop);
    PerformRelease(drop, 0);
    m_host.Invalidate();
    return true;
}

bool CCanvasController::AddModuleFromFile(const CString& path)
{
    if (!m_design || m_design->IsLocked()) return false;
    m_design->ControlSimulation(SIM_DEACTIVATE);
    DeselectAll(true, true);
    QFile file(FromWindows1252(path));
    if (!file.open(QIODevice::ReadOnly)) {
        EndHover();
        m_host.ShowMessage(LoadResString(kStrOpenFailed) + " : " + ToWindows1252(file.errorString()));
        return false;
    }
    const QByteArray data = file.readAll();
    const std::vector<uint8_t> bytes(data.begin(), data.end());
    std::unique_ptr<CCircuit> module;
    try {
        CArchive ar(bytes);
        ar.SetDocumentSerialization(true);
        std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
        if (auto* c = dynamic_cast<CCircuit*>(o.get())) {
            o.release();
            module.reset(c);
        }
    } catch (const CException&) {
        module.reset();
    }
    EndHover();
    if (!module) {
        m_host.ShowMessage(LoadResString(kStrModuleReadFailed));
        return false;
    }
    m_floating = std::move(module);
    m_heldInDesign = false;
    PrepareCopiedFloating();
    for (CPartIterator it(m_floating.get(), 0); it.GetCurrent(); it.Next()) it.GetCurrent()->Select(kQuiet);
    m_floating->StartDrag(m_design, ToLogical(m_host.GetCursorPos()));
    m_addPending = true;
    m_dragging = true;
    m_pressed = true;
    m_pressedSelected = 0;
    m_host.SetCapture(true);
    return true;
}

bool CCanvasController::OnDragEnter(const CString& path, CPoint client)
{
    m_dragEntered = false;
    if (!AddModuleFromFile(path)) return false;
    m_dragEntered = true;
    OnMove(client, MK_LBUTTON);
    return true;
}

void CCanvasController::OnDragMove(CPoint client)
{
    if (m_dragEntered) OnMove(client, MK_LBUTTON);
}

void CCanvasController::OnDrop(CPoint client)
{
    if (!m_dragEntered) return;
    m_dragEntered = false;
    OnRelease(client, 0);
}

void CCanvasController::OnDragLeave()
{
    if (!m_dragEntered) return;
    m_dragEntered = false;
    m_host.SetCapture(false);
    DisarmAutoScroll();
    DeselectAll(true, true);
    if (m_design && IsActiveView()) m_design->ControlSimulation(SIM_ACTIVATE);
}
