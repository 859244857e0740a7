// Adding to the design from outside the canvas: a new part from the part
// toolbar or the Add menu, and a design file dropped on the canvas as a
// module.  Both ride in the floating design until the next release.
#include "app/canvas/canvas_controller.h"

#include "model/circuit/circuit.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QFile>

namespace {
constexpr DWORD kQuiet = 0x80000;
constexpr int kStrModuleReadFailed = 36629;
constexpr int kStrOpenFailed = 14003;
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
        if (!held) delete part;
        throw;
    }
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
