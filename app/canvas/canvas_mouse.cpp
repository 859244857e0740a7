// Mouse editing on the canvas: press, move and release, the floating design
// that carries picked-up, added and dragged parts, the rubber band, delete
// mode and the view's reaction to each drop result.
#include "app/canvas/canvas_controller.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/components/wire_route.h"
#include "model/display/display.h"

#include <vector>

namespace {

constexpr DWORD kQuiet = 0x80000;
constexpr DWORD kOptStoppedForEdit = 0x200;

std::vector<CPart*> TopLevelParts(CCircuit* design)
{
    std::vector<CPart*> out;
    CPartIterator it(design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) out.push_back(p);
    return out;
}

bool InDesign(CCircuit* design, CPart* part)
{
    for (CPart* p : TopLevelParts(design))
        if (p == part) return true;
    return false;
}

} // namespace

// ---------------------------------------------------------------- the floating design

void CCanvasController::EnsureFloating()
{
    if (m_floating || !m_design) return;
    m_floating = std::make_unique<CCircuit>();
    m_floating->m_bTemporary = 1;
    m_floating->SetNextNode(m_design->GetNextNode());
    m_floating->m_pDocument = m_design->m_pDocument;
    m_design->SetLinkedDesign(m_floating.get());
}

bool CCanvasController::PickUp(CPart* part, bool select)
{
    EnsureFloating();
    if (!m_floating) return false;
    Ops().HoldOnlyPart(*m_floating, part);
    m_heldInDesign = part && InDesign(m_design, part);
    if (part && select) part->Select(kQuiet);
    ShowPartProperties(part);
    m_host.Invalidate();
    return true;
}

void CCanvasController::DiscardFloating(bool refresh)
{
    if (!m_floating) return;
    // A part still standing in the design is only borrowed: let go of it
    // before the floating design and what it owns are deleted.
    if (m_heldInDesign) Ops().HoldOnlyPart(*m_floating, nullptr);
    m_heldInDesign = false;
    if (m_design && m_design->GetLinkedDesign() == m_floating.get()) m_design->SetLinkedDesign(nullptr);
    m_floating.reset();
    m_dragging = false;
    m_addPending = false;
    if (refresh) ShowPartProperties(nullptr);
    m_host.Invalidate();
}

void CCanvasController::DeselectAll(bool redraw, bool discard)
{
    if (m_design) {
        for (CPart* p : TopLevelParts(m_design)) p->Deselect(redraw ? 0 : kQuiet);
    }
    if (m_floating && !m_heldInDesign) {
        for (CPart* p : TopLevelParts(m_floating.get())) p->Deselect(kQuiet);
    }
    if (discard) DiscardFloating(true);
    m_host.Invalidate();
}

void CCanvasController::ShowPartProperties(CPart* part)
{
    if (!part && m_floating) part = m_floating->GetFirstPart();
    m_host.ShowPartProperties(part);
}

void CCanvasController::PrepareCopiedFloating()
{
    CCircuit& f = *m_floating;
    f.m_bTemporary = 1;
    m_design->SetLinkedDesign(&f);
    const std::vector<CPart*> parts = TopLevelParts(&f);
    for (CPart* p : parts) p->ClearNets();
    int counter = m_design->GetNextNode() - 1;
    const int limit = counter;
    for (CPart* p : parts) p->NumberNets(limit, counter);
    const auto next = static_cast<uint16_t>(std::max<int>(counter + 1, m_design->GetNextNode()));
    f.SetNextNode(next);
    m_design->SetNextNode(next);
    f.OnSimulationStopped();
    f.m_pDocument = m_design->m_pDocument;
    Ops().AfterLoadFloating(f);
}

void CCanvasController::RestoreParts(const std::vector<uint8_t>& bytes)
{
    // The selected parts were taken out of the design but the floating
    // design could not be made: read them back from the copy and put them
    // where they were, joined to what they touch.
    CArchive ar(bytes);
    std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
    auto* copy = dynamic_cast<CCircuit*>(o.get());
    if (!copy) return;
    copy->m_bTemporary = 1;
    copy->DeleteUnselected();
    const std::vector<CPart*> parts = TopLevelParts(copy);
    copy->DetachAll(false);
    for (CPart* p : parts) {
        p->SetNextSibling(nullptr);
        m_design->AddChild(p);
    }
    for (CPart* p : parts) {
        if (auto* w = dynamic_cast<CWire*>(p)) {
            m_design->JoinAt(w, 0);
            m_design->JoinAt(w, 1);
        }
        for (CPart* c = p->GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* t = dynamic_cast<CTerminal*>(c)) m_design->JoinAt(t, 1);
    }
}

void CCanvasController::BeginDragSelection()
{
    EndHover();
    m_design->OnSimulationStopped();
    CPart* last = nullptr;
    const int count = m_design->CountSelected(&last, 0);
    if (count > 1) {
        bool deleted = false;
        std::vector<uint8_t> bytes;
        try {
            for (CPart* p : TopLevelParts(m_design)) {
                if (!p->IsSelected()) continue;
                p->CollectEnclosed(m_design);
            }
            if (m_design->IsLocked()) {
                for (CPart* p : TopLevelParts(m_design))
                    if (p->IsSelected() && !p->IsSelectableWhenLocked(m_design)) p->Deselect(kQuiet);
            }
            // The wires joined to the selection follow it when it is dropped.
            std::vector<CPart*> moving;
            for (CPart* p : TopLevelParts(m_design))
                if (p->IsSelected()) moving.push_back(p);
            RecordJoints(moving);
            {
                // Not a document: the parts' selected flags travel along.
                CArchive ar;
                ar.WriteObject(m_design);
                bytes = ar.GetBuffer();
            }
            CArchive in(bytes);
            std::unique_ptr<CObject> o(in.ReadNewObject(RUNTIME_CLASS(CCircuit)));
            auto* copy = dynamic_cast<CCircuit*>(o.get());
            if (!copy) throw CArchiveException(CArchiveException::badClass);
            o.release();
            DiscardFloating(false);
            m_floating.reset(copy);
            copy->m_bTemporary = 1;
            copy->DeleteUnselected();
            m_design->DeleteSelected();
            deleted = true;
            m_design->RefreshProbes();
            copy->RefreshProbes();
            PrepareCopiedFloating();
            SetJointParts(TopLevelParts(copy));
        } catch (...) {
            ForgetJoints();
            if (m_floating && m_design->GetLinkedDesign() == m_floating.get()) m_design->SetLinkedDesign(nullptr);
            m_floating.reset();
            m_heldInDesign = false;
            if (deleted) RestoreParts(bytes);
            m_design->ResetRun(1);
            DeselectAll(true, true);
            throw;
        }
        m_heldInDesign = false;
    } else {
        if (!m_floating && last) PickUp(last, true);
        CPart* part = m_floating ? m_floating->GetFirstPart() : nullptr;
        if (!part) part = last;
        if (part && m_heldInDesign) {
            RecordJoints({part});
            m_design->RemovePart(part);
            part->SetNextSibling(nullptr);
            m_heldInDesign = false;
            Ops().HoldOnlyPart(*m_floating, part);
        }
        m_pressedSelected = (m_pressedSelected == 1 && !m_selectWhenAdding) ? 2 : 0;
    }
    m_dragging = true;
    m_host.Invalidate();
    m_host.SetCapture(true);
}

// ---------------------------------------------------------------- press

CPart* CCanvasController::FindHandleAt(CPoint p) const
{
    // Hit class 8: the knobs and hands of mechanisms and stimuli.
    constexpr DWORD kHandleClass = 8;
    if (!m_design || (m_design->GetOptions() & 0x100080) != 0x100080) return nullptr;
    return m_design->FindPartAt(p, kHandleClass, kHandleClass, 0);
}

CPart* CCanvasController::FindProbeAt(CPoint p) const
{
    // Channels 0-3 and the loudspeaker's 4.
    constexpr int kChannels = 5;
    // While a part is carried or held (a new probe dropped with this press)
    // the press is the floating design's.
    if (!m_design || m_floating) return nullptr;
    for (int c = 0; c < kChannels; ++c)
        if (CPart* probe = m_design->FindProbe(c); probe && probe->PtInPart(p) && InDesign(m_design, probe))
            return probe;
    return nullptr;
}

void CCanvasController::OnPress(CPoint client, unsigned flags)
{
    EndHover();
    if (!m_design) return;
    m_design->SetPaused(0);
    if (m_design->HasBlownPart() || m_host.HasCapture()) return;
    const CPoint p = ToLogical(client);
    const bool shift = (flags & MK_SHIFT) != 0;
    // A press on a shown drag handle works the handle (a wheel is turned,
    // a mass pulled); the part under it stays where it is.
    if (!shift)
        if (CPart* handle = FindHandleAt(p)) {
            m_handle = handle;
            handle->OnPress(m_design, p.x, p.y);
            m_host.SetCapture(true);
            m_host.Invalidate();
            return;
        }
    // A probe lies over the wire or the part it measures and takes a press
    // on itself first, so that its toolbar (Graph, Erase Data) is reached.
    CPart* part = FindProbeAt(p);
    // A press on a terminal or a wire draws a wire from it.
    if (!part && !shift && !m_design->IsLocked())
        if (CWire* from = FindWireStart(p)) {
            BeginRoute(p, from);
            return;
        }
    if (!part) part = Ops().FindPressedPart(*m_design, p);
    // A pressed child that passed the press up to its parent (a value
    // label to its component) is told afterwards; a value opens for typing.
    CPart* child = nullptr;
    if (part && part->DefersToParent()) {
        CPart* cur = part;
        while (cur->DefersToParent()) {
            CPart* up = CPart::FindParentOf(m_design->GetFirstChild(), cur);
            if (!up || InGroupList(up)) break;
            up->OnChildPressed(1, part);
            cur = up;
        }
        if (cur != part) child = part;
        part = cur;
    } else if (part) {
        part->OnChildPressed(0, nullptr);
    }
    if ((!part || !part->IsSelected()) && m_floating && !shift) DeselectAll(true, part == nullptr);
    if (part && part->IsWire()) {
        if (shift) return;
        DeselectAll(true, true);
    }
    if (part && shift && part->IsSelected() && !part->IsControl()) {
        part->Deselect(0);
        CPart* remaining = nullptr;
        if (m_design->CountSelected(&remaining, 0) == 1)
            PickUp(remaining, true);
        else
            DiscardFloating(true);
        m_host.Invalidate();
        return;
    }
    if (part) {
        const bool wasSelected = part->IsSelected();
        const int down = part->OnMouseDown(m_design, p.x, p.y, flags);
        if (wasSelected) {
            m_pressedSelected = 0;
        } else {
            const bool select = m_selectWhenAdding || m_floating || part->IsGroupBox();
            PickUp(part, select);
            m_pressedSelected = select ? 0 : 1;
        }
        if (child) child->AfterParentPress();
        if (down & 1) ShowPartProperties(part);
        m_pressed = true;
        m_pressPoint = p;
        // The pressed part may be dragged: keep the mouse until the release.
        m_host.SetCapture(true);
        m_host.Invalidate();
        return;
    }
    m_bandStart = m_bandEnd = p;
    m_bandActive = true;
    m_host.SetCapture(true);
}

// ---------------------------------------------------------------- move

void CCanvasController::OnMove(CPoint client, unsigned)
{
    if (!m_design || m_design->HasBlownPart()) return;
    if (!m_host.HasCapture()) {
        UpdateCursor();
        m_hoverCheckPending = true;
        return;
    }
    const CPoint p = ToLogical(client);
    if (m_handle) {
        m_handle->OnDrag(m_design, p);
        m_host.Invalidate();
        return;
    }
    if (m_route) {
        MoveRoute(p);
        return;
    }
    if (m_bandActive) {
        m_bandEnd = p;
        TestAutoScroll(client);
        m_host.Invalidate();
        return;
    }
    if (m_editMode) {
        if (IsVisible(client)) {
            m_editMode = 2;
            if (CPart* part = Ops().FindPartAtPoint(*m_design, p))
                PickUp(part, false);
            else
                DeselectAll(true, true);
        } else if (m_editMode == 2) {
            m_editMode = 0;
            DeselectAll(true, true);
            m_host.SetCapture(false);
        }
        UpdateCursor();
        return;
    }
    if (!m_dragging && m_pressed && Ops().IsDragIdle() && Ops().HasPointMoved(*m_design, p, true)) {
        if (m_design->IsLocked()) {
            for (CPart* s : TopLevelParts(m_design))
                if (s->IsSelected() && !s->IsSelectableWhenLocked(m_design)) return;
        }
        BeginDragSelection();
        m_floating->BeginDragImage();
    }
    if (!m_dragging || !m_floating) return;
    TestAutoScroll(client);
    if (!(m_scrollSince && IsRouting())) {
        Ops().DragFloating(*m_floating, *m_design, p);
        m_floatingDrawn = true;
        m_host.Invalidate();
    }
}

// ---------------------------------------------------------------- release

void CCanvasController::OnRelease(CPoint client, unsigned flags)
{
    EndHover();
    if (!m_design) return;
    const CPoint p = ToLogical(client);
    if (m_handle) {
        CPart* handle = m_handle;
        m_handle = nullptr;
        handle->OnRelease(m_design, p.x, p.y);
        m_host.SetCapture(false);
        m_host.Invalidate();
        return;
    }
    if (m_route) {
        MoveRoute(p);
        FinishRoute();
        return;
    }
    if (m_editMode == 1) {
        m_editMode = 0;
        DeselectAll(true, true);
        m_host.SetCapture(false);
        UpdateCursor();
        return;
    }
    if (m_bandActive) {
        m_bandActive = false;
        m_host.SetCapture(false);
        DisarmAutoScroll();
        m_bandEnd = p;
        const CRect band = GetBandRect();
        // A new band makes a new selection; with Shift it adds to it.
        if (!(flags & MK_SHIFT))
            for (CPart* part : TopLevelParts(m_design)) part->Deselect(kQuiet);
        for (CPart* part : TopLevelParts(m_design)) part->SelectIfInRect(band, kQuiet, 1);
        for (CPart* part : TopLevelParts(m_design)) {
            if (!part->IsSelected()) continue;
            CPart* container = part->FindContainer();
            if (container && !container->IsSelected()) part->Deselect(kQuiet);
        }
        CPart* single = nullptr;
        if (m_design->CountSelected(&single, 0) == 1 && !m_floating) PickUp(single, true);
        m_host.Invalidate();
        return;
    }
    m_pressed = false;
    if (!m_floating) {
        m_host.SetCapture(false);
        return;
    }
    if (!m_dragging && m_editMode != 2) {
        // A press and release without a move is a click: the part stays
        // picked up where it stands and hears the release (a picture runs
        // its click actions, a control operates).
        PerformRelease(p, flags, true);
        return;
    }
    if (m_design->HasBlownPart()) {
        // Held back until the blow is over, at the point where it happened.
        m_releasePending = true;
        m_pendingRelease = p;
        m_pendingFlags = flags;
        return;
    }
    PerformRelease(p, flags);
}

void CCanvasController::PerformRelease(CPoint p, unsigned, bool click)
{
    m_host.SetCapture(false);
    m_pressed = false;
    if (!m_floating || !m_design) return;
    int result;
    if (m_editMode == 2) {
        m_editMode = 0;
        DeleteHeldSelection();
        UpdateCursor();
        result = 5;
    } else {
        result = click ? Ops().ClickFloating(*m_floating, *m_design, p) : Ops().ReleaseFloating(*m_floating, *m_design, p);
        m_dragging = result == 3 || result == 4;
        // Dropped: the wires it was joined to follow it; refused for good:
        // its old joints are forgotten.
        if (result == 9) LayFollowingWires();
        if (!m_dragging) ForgetJoints();
        if (result == 10) {
            CPart* first = m_floating->GetFirstPart();
            CPart* parent = first && !first->IsControl() ? CPart::FindParentOf(m_design->GetFirstChild(), first) : nullptr;
            if (parent && InGroupList(parent)) parent = nullptr;
            if (parent) {
                parent->Select(0);
                first->Deselect(0);
                PickUp(parent, true);
            }
            result = 0;
        }
    }
    if (m_addPending && result != 3 && result != 4) {
        // The add ends here.  Dropped (9), its parts are in the design: it
        // is stopped for the edit as a drag stops it at its start, so that
        // the reset below makes the add one undo step.  Not stopped while
        // the parts were carried: a text box's frame reads the stopped bit
        // as a drop of its own.  Refused, nothing entered the design.
        m_addPending = false;
        if (result == 9) m_design->OnSimulationStopped();
    }
    if (m_pressedSelected == 2 && (result == 8 || result == 9)) {
        ApplyDropResult(1);
    } else if (m_pressedSelected != 3 || result == 3) {
        ApplyDropResult(result);
    } else {
        CPart* dropped = m_floating ? m_floating->GetFirstPart() : nullptr;
        if (!dropped || result == 2) {
            ApplyDropResult(8);
        } else {
            ApplyDropResult(11);
            dropped->Select(0);
            PickUp(dropped, true);
        }
    }
    if (result != 3) m_pressedSelected = 0;
    m_host.Invalidate();
    if (result >= 12 && result <= 14) m_host.RunPageAction(result);
}

bool CCanvasController::ApplyDropResult(int result)
{
    switch (result) {
    case 0:
        if (m_pressedSelected == 1) ShowPartProperties(nullptr);
        return true;
    case 1:
    case 2:
    case 7:
    case 11: {
        DisarmAutoScroll();
        const bool stopped = (m_design->GetOptions() & kOptStoppedForEdit) != 0;
        DeselectAll(!stopped, result != 11);
        if (stopped) m_design->ResetRun(result != 7);
        return true;
    }
    case 3:
        m_dragging = true;
        m_host.SetCapture(true);
        return false;
    case 4: {
        CPart* current = m_floating ? m_floating->GetFirstPart() : nullptr;
        DeselectAll(true, false);
        if (current) PickUp(current, true);
        m_dragging = true;
        m_host.SetCapture(true);
        return false;
    }
    case 8:
    case 9: {
        DiscardFloating(true);
        DisarmAutoScroll();
        m_design->ResetRun(1);
        CPart* single = nullptr;
        if (m_design->CountSelected(&single, 0) == 1 && !m_floating) PickUp(single, true);
        return true;
    }
    default:
        return true;
    }
}

// ---------------------------------------------------------------- delete, select all

void CCanvasController::DeleteHeldSelection()
{
    if (!m_floating) return;
    if (!m_heldInDesign) {
        // The floating design owns what it carries: deleting the selection
        // is discarding it (its parts are not in the design).
        DiscardFloating(true);
        return;
    }
    m_design->SetLinkedDesign(m_floating.get());
    Ops().DeleteSelection(*m_design);
    // The held part may be gone with the selection: let go without looking.
    Ops().HoldOnlyPart(*m_floating, nullptr);
    m_heldInDesign = false;
    DeselectAll(true, true);
}

void CCanvasController::OnDelete()
{
    if (!m_design || m_design->HasBlownPart() || m_host.HasCapture()) return;
    EndHover();
    if (!m_floating) {
        m_editMode = 1;
        UpdateCursor();
        m_host.SetCapture(true);
        return;
    }
    CPart* first = m_floating->GetFirstPart();
    if (first && first->IsDesignItem()) DeleteHeldSelection();
}

void CCanvasController::SelectAll()
{
    if (!m_design) return;
    DeselectAll(false, true);
    for (CPart* p : TopLevelParts(m_design)) p->Select(kQuiet);
    CPart* single = nullptr;
    if (m_design->CountSelected(&single, 0) == 1) PickUp(single, true);
    m_host.Invalidate();
}

bool CCanvasController::HoldsPart(CPart* part) const { return m_design && InDesign(m_design, part); }

bool CCanvasController::InGroupList(CPart* part) const
{
    // The design's own child list holds the five groups.
    for (CPart* g = m_design->GetFirstChild(); g; g = g->GetNextSibling())
        if (g == part) return true;
    return false;
}
