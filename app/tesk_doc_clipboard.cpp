// The document's clipboard commands: Copy, Cut and Paste of the selected
// parts, Copy Simulation of the whole design.
#include "app/clipboard.h"
#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include <vector>

namespace {

// Paste places the parts this far from where they were copied, so a paste
// into the same design does not hide the originals.
constexpr int kPasteShift = 16;

void DeselectAll(CCircuit* design)
{
    for (int code : {GROUP_COMPONENTS, GROUP_OTHERS, GROUP_PROBES, GROUP_WIRES})
        if (CPart* group = design->GetGroup(code))
            for (CPart* p = group->GetFirstChild(); p; p = p->GetNextSibling()) p->Deselect(0x80000);
}

bool AnySelected(CCircuit* design)
{
    CPart* last = nullptr;
    return design->CountSelected(&last, 0) > 0;
}

} // namespace

bool CTeskDoc::CanCopy() const
{
    CCircuit* d = GetDesign();
    return d && !d->HasBlownPart() && AnySelected(d);
}

bool CTeskDoc::CanPaste() const
{
    CCircuit* d = GetDesign();
    return d && !d->IsLocked() && !d->HasBlownPart() && IsDesignOnClipboard();
}

bool CTeskDoc::OnEditCopy()
{
    CCircuit* d = GetDesign();
    if (!CanCopy()) return false;
    d->ControlSimulation(SIM_DEACTIVATE);
    bool ok = false;
    try {
        std::unique_ptr<CCircuit> copy = CopySelection(d);
        ok = copy && PutDesignOnClipboard(copy.get(), RenderParts(copy.get()));
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) WbMessageBox(35027, MB_OK | MB_ICONEXCLAMATION);
    d->ControlSimulation(SIM_ACTIVATE);
    return ok;
}

bool CTeskDoc::OnEditCut()
{
    CCircuit* d = GetDesign();
    if (!d || d->IsLocked() || !OnEditCopy()) return false;
    d->DeleteSelected();
    d->ResetRun(1);
    emit designReplaced();
    return true;
}

bool CTeskDoc::OnEditPaste()
{
    CCircuit* d = GetDesign();
    if (!CanPaste()) return false;
    d->ControlSimulation(SIM_DEACTIVATE);
    std::unique_ptr<CCircuit> pasted = ReadDesignFromClipboard();
    if (!pasted) {
        WbMessageBox(36529, MB_OK | MB_ICONEXCLAMATION);
        d->ControlSimulation(SIM_ACTIVATE);
        return false;
    }
    DeselectAll(d);
    MergeDesign(d, pasted.get(), CPoint(kPasteShift, kPasteShift));
    d->ResetRun(1);
    emit designReplaced();
    return true;
}

bool CTeskDoc::OnCopySimulation()
{
    CCircuit* d = GetDesign();
    if (!d) return false;
    d->ControlSimulation(SIM_DEACTIVATE);
    bool ok = false;
    try {
        ok = PutDesignOnClipboard(d, RenderParts(d));
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) WbMessageBox(35027, MB_OK | MB_ICONEXCLAMATION);
    d->ControlSimulation(SIM_ACTIVATE);
    return ok;
}
