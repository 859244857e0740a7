// The design root after loading, and the design's probes lent to another
// design.
//
// Loading files the parts straight into their groups, past AddChild, so the
// electric and mechanical counts are made again from the components group.
// The parts that could not find what they need (a picture file, a movie)
// leave lines in the file-open warnings; the user sees them once, after the
// whole design has loaded, with the file's path.
#include "model/circuit/circuit.h"

#include "model/circuit/design_document.h"
#include "model/circuit/file_open_warnings.h"
#include "model/circuit/simhost.h"
#include "model/display/display.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

namespace {

constexpr UINT kWarningsTitle = 38900;
constexpr UINT kWarningsHeading = 38901;

} // namespace

void CCircuit::AfterLoad(CPartTree* design, DWORD flags, WORD version)
{
    if (flags == 0) {
        // Designs of version word 2 and older drew the other group's parts
        // into the tree only once loaded.
        if (m_wVersionWord < 3 && m_pOthers && CDisplay::GetCurrentDC())
            for (CPart* p = m_pOthers->GetFirstChild(); p; p = p->GetNextSibling()) p->DrawTree(GetRedrawFlags());
        m_wElectricCount = m_wMechanicalCount = 0;
        if (m_pComponents)
            for (CPart* p = m_pComponents->GetFirstChild(); p; p = p->GetNextSibling()) {
                if (p->IsKindOf("CMechComp"))
                    ++m_wMechanicalCount;
                else
                    ++m_wElectricCount;
            }
    }
    CPart::AfterLoad(design, flags, version);
    // Probes join the parts under their tips again once every part has had
    // its fix-ups: a wire a probe joined while its own were made may since
    // have been cut or merged, and the next load would not find it there.
    RefreshProbes();
    if (IsTemporary() || FileOpenWarnings().IsEmpty()) return;
    CString text = LoadResString(kWarningsTitle);
    text += "\n\n";
    if (m_pDocument) {
        text += m_pDocument->GetDesignPath();
        text += "\n";
    }
    text += LoadResString(kWarningsHeading);
    text += "\n";
    text += FileOpenWarnings();
    FileOpenWarnings().Empty();
    WbMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CCircuit::RegisterProbes(CCircuit* target)
{
    if (!target || !m_pProbes) return;
    for (CPart* p = m_pProbes->GetFirstChild(); p; p = p->GetNextSibling()) {
        auto* probe = dynamic_cast<CProbeRecorder*>(p);
        if (!probe) continue;
        const int channel = probe->GetChannel();
        if (channel >= 0 && channel < 4 && !target->m_probeChannels[channel]) {
            target->m_probeChannels[channel] = 1;
            ++target->m_wProbeCount;
        }
        probe->AttachToDesign(target);
    }
}

CPart* CCircuit::FindProbe(int channel) const
{
    if (channel == 4) return m_pExtraProbe;
    if (!m_pProbes) return nullptr;
    for (CPart* p = m_pProbes->GetFirstChild(); p; p = p->GetNextSibling()) {
        auto* probe = dynamic_cast<CProbeRecorder*>(p);
        if (probe && probe->GetChannel() == channel) return p;
    }
    return nullptr;
}
