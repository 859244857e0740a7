#include "model/circuit/circuit.h"

#include "model/components/component.h"
#include "model/components/explode.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include <algorithm>
#include <cmath>
#include <numeric>

WB_IMPLEMENT_SERIAL(CCircuit, "CPart", 2)

double ScaleByThousands(double value, int exponent, bool up)
{
    double f = std::pow(1000.0, exponent);
    return up ? value * f : value / f;
}

CCircuit*& CCircuit::ActiveCircuit()
{
    static CCircuit* active = nullptr;
    return active;
}

CCircuit::CCircuit()
{
    m_strChipType = LoadResString(887);
    m_strSecondChipName = LoadResString(897);
    m_strProgrammerChoice = LoadResString(1021);
    m_strMicroClass = LoadResString(873);
    m_strTargetLabel = LoadResString(1021);
    m_strTargetName = LoadResString(873);
    CreateMissingGroups();
    SetLogicFamily(0, 5.0, 0);
}

CCircuit::~CCircuit()
{
    if (ActiveCircuit() == this) ActiveCircuit() = nullptr;
    if (m_pLinkedDesign && m_pLinkedDesign->m_pHostDesign == this) m_pLinkedDesign->m_pHostDesign = nullptr;
    if (m_pHostDesign && m_pHostDesign->m_pLinkedDesign == this) m_pHostDesign->m_pLinkedDesign = nullptr;
    // A part this design holds for another, or one the floating design
    // holds for this one, is not this design's to delete.
    if (m_pLinkedDesign && m_pLinkedDesign->m_pHeldPart) m_pLinkedDesign->DetachAll(false);
    // Probes held by the floating or host design may record here: they let
    // go of this design before it goes.
    for (CCircuit* other : {m_pLinkedDesign, m_pHostDesign}) {
        CPart* probes = other ? other->GetGroup(GROUP_PROBES) : nullptr;
        for (CPart* p = probes ? probes->GetFirstChild() : nullptr; p; p = p->GetNextSibling())
            if (auto* r = dynamic_cast<CProbeRecorder*>(p)) r->ForgetDesign(this);
    }
    // Every part goes at once: nobody needs unlinking from the others.
    m_bTearingDown = true;
    DeleteGroups();
}

// ---- defaults and options ----

void CCircuit::ResetToDefaults()
{
    m_nGridStep = 8;
    m_wNextNode = 1;
    m_wNetCount = 1;
    m_bNetsNumbered = false;
    m_pReferencePart = nullptr;
    m_wProbeCount = 0;
    m_bChangeFlag = 0;
    m_bBuzzerRequest = 0;
    m_bIdlePending = 0;
    std::fill(std::begin(m_probeChannels), std::end(m_probeChannels), 0);
    DeleteGroups();
    CreateMissingGroups();
    m_wVersionWord = 3;
    SetLogicFamily(0, 5.0, 1);
    if (!IsTemporary()) SaveUndoSnapshot();
}

void CCircuit::SaveUndoSnapshot()
{
    // The document's server item stores the snapshot; the stopped-for-edit
    // bit is never part of one.
    DWORD keep = m_dwOptions & OPT_STOPPED_FOR_EDIT;
    m_dwOptions &= ~OPT_STOPPED_FOR_EDIT;
    if (m_pDocument) m_pDocument->SaveUndoSnapshot();
    m_dwOptions |= keep;
}

DWORD CCircuit::GetOptions() const
{
    if (m_dwOptions & OPT_SIMULATE) return m_dwOptions;
    return m_dwOptions & ~DWORD(0x10 | 0x20 | 0x40 | 0x80 | 0x20000 | 0x40000 | 0x100000);
}

void CCircuit::SetLogicFamily(int family, double supply, int notify)
{
    m_nLogicFamily = static_cast<int16_t>(family);
    m_dLogicSupply = supply;
    if (family == 0) {
        m_dLogicConductance = 0.06;
        m_dInputHighThreshold = 1.995;
        m_dInputLowThreshold = 0.805;
        m_dLogicThreshold = 1.48;
        m_dSchmittHysteresis = 0.78;
        m_dSchmittThreshold = 0.805;
    } else {
        m_dLogicConductance = supply * (family == 1 ? 0.002 : 0.0002);
        m_dInputHighThreshold = 0.7 * supply - 0.005;
        m_dInputLowThreshold = 0.3 * supply + 0.005;
        m_dLogicThreshold = 0.5 * supply;
        m_dSchmittHysteresis = 0.16 * supply - 0.02;
        m_dSchmittThreshold = 0.44 * supply + 0.005;
    }
    m_dLogicHighCurrent = -(supply * m_dLogicConductance);
    if (!notify || !m_pComponents) return;
    for (CPart* p = m_pComponents->GetFirstChild(); p; p = p->GetNextSibling())
        if (auto* c = dynamic_cast<CComponent*>(p); c && c->GetKindCode() == 7) c->ResetSimulation();
}

void CCircuit::SetProgramLanguage(const CString& text)
{
    m_nProgramLanguage = text == "Assembly" ? 2 : text == "BASIC C2" ? 0 : 1;
}

// ---- parts ----

CPart* CCircuit::AddChild(CPart* part)
{
    if (!part) return nullptr;
    if (m_pLinkedDesign) m_pLinkedDesign->ForgetPart(part);
    // A part filed here already (a drop of a part that never left) stays put.
    if (HoldsTopLevel(part)) return part;
    part->SetNextSibling(nullptr);
    auto* comp = dynamic_cast<CComponent*>(part);
    if (!comp || FileByClass(part) != GROUP_COMPONENTS) {
        CPartTree::AddChild(part);
        part->AttachToCircuit(this);
        return part;
    }
    if (!m_pComponents) CreateMissingGroups();
    // COMPONENTS keeps the parts of kind code 1 first, then those of kind 6,
    // then the rest; each goes after the last of its own run.
    int kind = comp->GetKindCode();
    if (kind == 1 || kind == 6) {
        CPart* after = nullptr;
        for (CPart* p = m_pComponents->GetFirstChild(); p; p = p->GetNextSibling()) {
            auto* c = dynamic_cast<CComponent*>(p);
            int k = c ? c->GetKindCode() : 0;
            if (!(k == 1 || (kind == 6 && k == 6))) break;
            after = p;
        }
        if (after) {
            part->SetNextSibling(after->GetNextSibling());
            after->SetNextSibling(part);
        } else {
            m_pComponents->CPart::AddChild(part);
        }
    } else {
        m_pComponents->AppendChild(part);
    }
    if (part->IsKindOf("CMechComp"))
        ++m_wMechanicalCount;
    else
        ++m_wElectricCount;
    part->AttachToCircuit(this);
    comp->m_pFiledIn = this;
    return part;
}

int CCircuit::RemoveChild(CPart* part)
{
    if (!part) return 0;
    part->RefreshState();
    auto* comp = dynamic_cast<CComponent*>(part);
    if (!comp || FileByClass(part) != GROUP_COMPONENTS) return CPartTree::RemovePart(part);
    if (comp == m_pReferencePart) {
        m_pReferencePart = nullptr;
        if (CTerminal* t = comp->GetReferenceTerminal()) {
            uint16_t fresh = NewNode();
            std::vector<CWire*> all;
            CollectConnections(all);
            for (CWire* w : all) w->RenumberNet(t->GetNodeNumber(), fresh);
        }
    }
    int removed = RemoveFromGroup(GROUP_COMPONENTS, nullptr, part);
    if (comp->m_pFiledIn == this) comp->m_pFiledIn = nullptr;
    if (removed) {
        if (part->IsKindOf("CMechComp")) {
            if (m_wMechanicalCount) --m_wMechanicalCount;
        } else if (m_wElectricCount) {
            --m_wElectricCount;
        }
    }
    return removed;
}

int CCircuit::RemovePart(CPart* part)
{
    if (!part) return 0;
    int removed = RemoveChild(part);
    // The floating design held the part while it stood here: from now on the
    // part is the floating design's own.
    if (m_pLinkedDesign && m_pLinkedDesign->m_pHeldPart == part) m_pLinkedDesign->m_pHeldPart = nullptr;
    part->JoinConnections(this);
    if (!IsTemporary()) part->EraseTree();
    if (part->CoupleLight(nullptr) == 2) DecoupleLight(part);
    return removed;
}

void CCircuit::DecoupleLight(CPart* source)
{
    // The part 24 pixels right of the source's centre loses its source.
    CPoint c = source->GetRect().CenterPoint();
    CHitSearch& s = SharedHitSearch();
    s.Reset();
    CPart* hit = s.TakeResult(HitTest(CPoint(c.x + 24, c.y)));
    s.Reset();
    if (hit && hit != source) hit->CoupleLight(nullptr);
    // A sensor elsewhere that still points at the source (the source was
    // moved after coupling) loses it too: every sensor is asked again and
    // re-couples to the source now standing 24 pixels left of it.
    std::vector<CPart*> sensors;
    CPartIterator it(this, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (p != source && p->CoupleLight(nullptr) == 1) sensors.push_back(p);
    for (CPart* sensor : sensors) {
        CPoint sc = sensor->GetRect().CenterPoint();
        CPart* other = FindPartAt(CPoint(sc.x - 24, sc.y), 1, 1, 0);
        if (other && other != sensor && other != source && other->CoupleLight(nullptr) == 2) sensor->CoupleLight(other);
    }
}

CComponent* CCircuit::GetFirstComponent() const
{
    return m_pComponents ? dynamic_cast<CComponent*>(m_pComponents->GetFirstChild()) : nullptr;
}

CPart* CCircuit::GetFirstPart() const
{
    for (CPart* g : {m_pComponents, m_pWires, m_pProbes, m_pOthers, m_pFlowObjects})
        if (g && g->GetFirstChild()) return g->GetFirstChild();
    return nullptr;
}

void CCircuit::ClearDesign(int reset)
{
    m_matrix.Release();
    m_bTearingDown = true;
    DeleteGroups();
    m_bTearingDown = false;
    CreateMissingGroups();
    m_pReferencePart = nullptr;
    m_wElectricCount = m_wMechanicalCount = 0;
    if (reset) {
        DWORD options = m_dwOptions;
        ResetToDefaults();
        m_dwOptions = options;
    }
    m_bIdlePending = 0;
}

void CCircuit::BroadcastToComponents(int code)
{
    if (!m_pComponents) return;
    for (CPart* p = m_pComponents->GetFirstChild(); p; p = p->GetNextSibling())
        if (auto* c = dynamic_cast<CComponent*>(p)) c->OnSimulationEvent(code);
}

bool CCircuit::CanAddPart(int kind, bool extra, bool) const
{
    if (m_bComponentDestroyed || IsLocked()) return false;
    // Four channels: a fifth probe, or a fourth beside the extra probe, is refused.
    if (kind == 3 && m_wProbeCount >= (extra ? 3 : 4)) return false;
    return true;
}

int CCircuit::AllocateProbeChannel()
{
    for (int i = 0; i < 4; ++i)
        if (!m_probeChannels[i]) {
            m_probeChannels[i] = 1;
            ++m_wProbeCount;
            return i;
        }
    return 4;
}

bool CCircuit::MarkProbeChannel(int channel)
{
    if (channel < 0 || channel >= 4 || m_probeChannels[channel]) return false;
    m_probeChannels[channel] = 1;
    ++m_wProbeCount;
    return true;
}

void CCircuit::ReleaseProbeChannel(int channel)
{
    if (channel < 0 || channel >= 4 || !m_probeChannels[channel]) return;
    m_probeChannels[channel] = 0;
    if (m_wProbeCount) --m_wProbeCount;
}

void CCircuit::RebuildProbeChannels()
{
    std::fill(std::begin(m_probeChannels), std::end(m_probeChannels), 0);
    m_wProbeCount = 0;
    if (!m_pProbes) return;
    for (CPart* p = m_pProbes->GetFirstChild(); p; p = p->GetNextSibling())
        if (auto* r = dynamic_cast<CProbeRecorder*>(p)) r->ClaimChannel(this);
}

void CCircuit::RefreshProbes()
{
    if (!m_pProbes) return;
    for (CPart* p = m_pProbes->GetFirstChild(); p; p = p->GetNextSibling())
        if (auto* r = dynamic_cast<CProbeRecorder*>(p)) r->ConnectToPart();
}

int CCircuit::OnDesignChanged()
{
    m_nPendingRefresh = 0;
    if (m_pDocument) m_pDocument->SetModifiedFlag(true);
    if (IsLocked()) return 1;
    SaveUndoSnapshot();
    return 0;
}

void CCircuit::OnSimulationStopped()
{
    SetPaused(0);
    ControlSimulation(SIM_DEACTIVATE);
    m_bBuzzerRequest = 0;
    m_bChangeFlag = 0;
    CPartIterator it(this, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) p->OnSimulationStopped();
    m_dwOptions |= OPT_STOPPED_FOR_EDIT;
}

void CCircuit::ResetRun(int markChanged)
{
    m_dwOptions ^= OPT_STOPPED_FOR_EDIT;
    if (IsTemporary()) {
        if (m_pComponents)
            for (CPart* p = m_pComponents->GetFirstChild(); p; p = p->GetNextSibling()) p->OnSimulationReset();
        return;
    }
    RenumberNodes();
    RefreshProbes();
    CPartIterator it(this, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) p->OnSimulationReset();
    DrawTree(GetRedrawFlags());
    RecalcStepLimit();
    ControlSimulation(SIM_ACTIVATE);
    if (markChanged) OnDesignChanged();
    // The pending drag part belongs to the edit that is over.
    SharedPressState().pendingOp = nullptr;
}

int CCircuit::RepairOrDeleteBroken(CPart* part)
{
    if (!part) return 0;
    int answer = IDNO;
    int result = 0;
    if (part->IsBroken()) {
        auto* comp = dynamic_cast<CComponent*>(part);
        CExplode* marker = comp ? comp->GetExplosion() : nullptr;
        answer = marker ? marker->GetMessageText(!IsLocked()) : IDCANCEL;
        if (answer == IDYES && marker) {
            comp->CPart::RemoveChild(marker);
            delete marker;
            OnSimulationStopped();
            ResetRun(1);
            result = 1;
        }
    }
    // A probe on the part goes only when the user chose to delete (or the
    // part was not broken): a repaired or kept part keeps its probe.
    if (answer == IDNO && m_pProbes) {
        for (CPart* p = m_pProbes->GetFirstChild(); p; p = p->GetNextSibling())
            if (p->GetAttachedPart() == part) {
                DeletePart(p);
                OnSimulationStopped();
                ResetRun(1);
                return 1;
            }
    }
    if (answer == IDNO && !IsLocked() && part->IsFreeDesignItem()) {
        DeletePart(part);
        OnSimulationStopped();
        ResetRun(1);
        return 1;
    }
    return result;
}

// ---- nets ----

void CCircuit::CollectConnections(std::vector<CWire*>& out) const
{
    out.clear();
    if (m_pWires)
        for (CPart* p = m_pWires->GetFirstChild(); p; p = p->GetNextSibling())
            if (auto* w = dynamic_cast<CWire*>(p)) out.push_back(w);
    for (CPart* g : {m_pComponents, m_pFlowObjects})
        if (g)
            for (CPart* p = g->GetFirstChild(); p; p = p->GetNextSibling())
                if (auto* c = dynamic_cast<CComponent*>(p))
                    for (int i = 0; i < c->GetTerminalCount(); ++i) out.push_back(c->GetTerminal(i));
}

void CCircuit::UnlinkEverywhere(const CWire* w)
{
    if (!w) return;
    std::vector<CWire*> all;
    CollectConnections(all);
    for (CWire* o : all)
        if (o != w) o->UnlinkFrom(w);
}

void CCircuit::JoinAt(CWire* w, int end)
{
    if (!w) return;
    CPoint p = end ? w->GetEndB() : w->GetEndA();
    auto* wt = dynamic_cast<CTerminal*>(w);
    std::vector<CWire*> all;
    CollectConnections(all);
    for (CWire* o : all) {
        if (o == w || !KindsJoin(o->GetKind(), w->GetKind())) continue;
        int oe = -1;
        if (auto* t = dynamic_cast<CTerminal*>(o)) {
            if (wt && t->GetOwner() == wt->GetOwner()) continue;
            if (t->GetOuterEnd() == p) oe = t->GetOuterEndIndex();
        } else {
            oe = o->EndAt(p);
        }
        if (oe < 0) continue;
        // An end already joined keeps its first join; one link word between
        // two parts is enough, since the numbering follows links both ways.
        if (!w->GetLink(end)) w->SetLink(end, o);
        if (!o->GetLink(oe)) o->SetLink(oe, w);
    }
}

void CCircuit::RenumberNodes()
{
    std::vector<CWire*> all;
    CollectConnections(all);
    // Nets are the connected sets of the link graph (links count both ways).
    std::unordered_map<const CWire*, int> index;
    index.reserve(all.size());
    for (size_t i = 0; i < all.size(); ++i) index.emplace(all[i], static_cast<int>(i));
    std::vector<int> parent(all.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
    };
    for (size_t i = 0; i < all.size(); ++i)
        for (int e = 0; e < 2; ++e) {
            CWire* n = all[i]->GetLink(e);
            auto it = n ? index.find(n) : index.end();
            if (it == index.end()) continue;
            if (auto* t = dynamic_cast<CTerminal*>(n); t && t->m_wLevelStyle == LEVEL_FIXED_MARKER) continue;
            int a = find(static_cast<int>(i)), b = find(it->second);
            if (a != b) parent[a] = b;
        }

    // Reference part: the highest kind code, a joined reference terminal
    // breaking ties; one of kind 5 or more is no reference.
    CComponent* chosen = nullptr;
    int best = -1;
    bool bestJoined = false;
    if (m_pComponents)
        for (CPart* p = m_pComponents->GetFirstChild(); p; p = p->GetNextSibling()) {
            auto* c = dynamic_cast<CComponent*>(p);
            if (!c || !c->GetReferenceTerminal()) continue;
            int k = c->GetKindCode();
            bool joined = c->GetReferenceTerminal()->IsJoined();
            if (k > best || (k == best && joined && !bestJoined)) {
                chosen = c;
                best = k;
                bestJoined = joined;
            }
        }
    bool keep = m_pReferencePart && m_pReferencePart->GetReferenceTerminal() && chosen &&
                m_pReferencePart->GetKindCode() >= best;
    if (!keep) m_pReferencePart = (chosen && best < 5) ? chosen : nullptr;

    int refRoot = -1;
    if (m_pReferencePart) {
        auto it = index.find(m_pReferencePart->GetReferenceTerminal());
        if (it != index.end()) refRoot = find(it->second);
    }
    std::unordered_map<int, uint16_t> netOf;
    uint16_t next = 1;
    for (size_t i = 0; i < all.size(); ++i) {
        int root = find(static_cast<int>(i));
        if (root == refRoot) {
            all[i]->SetNodeNumber(0);
            continue;
        }
        auto [it, inserted] = netOf.emplace(root, next);
        if (inserted) ++next;
        all[i]->SetNodeNumber(it->second);
    }
    m_wNextNode = next;
    m_wNetCount = next;
    m_bNetsNumbered = true;
}
