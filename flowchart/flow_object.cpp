#include "flowchart/flow_object.h"

#include "flowchart/flow_errors.h"
#include "flowchart/meter_message.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/parts/part_records.h"
#include "platform/strings.h"

#include <algorithm>

// No factory: every element is one of the element classes.
WB_IMPLEMENT_RUNTIMECLASS(CFlowObject, "CComponent", 2)

namespace {
// String-table texts.
constexpr uint32_t IDS_HELP_PROMPT = 7;
constexpr uint32_t IDS_NO_INFORMATION = 36002;
} // namespace

CFlowObject::CFlowObject() = default;

CFlowObject::~CFlowObject() = default;

// ---- archive ----

void CFlowObject::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring()) {
        // The reserved count: the element count of the design's latest
        // collection, which no reader uses.
        const CCircuit* design = GetDesign();
        const DWORD count = design ? static_cast<DWORD>(design->CollectFlowObjects().size()) : 0;
        ar << static_cast<LONG>(m_nBusy) << static_cast<LONG>(m_bFinishing) << m_dSpare;
        ar << m_parameter;
        ar << count << m_strCaption << m_strName << static_cast<LONG>(m_nResetHold)
           << static_cast<LONG>(m_nStepsLeft) << static_cast<LONG>(m_bActive) << m_strChoices
           << static_cast<LONG>(m_nReserved) << m_strMessageTag << static_cast<LONG>(m_bResetRequested)
           << static_cast<LONG>(m_nErrorCode) << static_cast<LONG>(m_nBlink) << static_cast<LONG>(m_bErrorShown);
        ar.WriteObjectRef(m_pFlowStart);
        ar.WriteObjectRef(m_pSubStart);
        // Written only where the reader takes them: in an older tree these
        // bytes would be read as the next record.
        if (IsVersionAtLeast(ar.GetVersion(), 0x10B3, 0x20B1))
            ar << static_cast<LONG>(m_bInputLatch) << static_cast<DWORD>(m_nShownState);
        return;
    }
    auto readInt = [&ar]() {
        LONG v = 0;
        ar >> v;
        return static_cast<int>(v);
    };
    m_nBusy = readInt();
    m_bFinishing = readInt();
    ar >> m_dSpare;
    ar >> m_parameter;
    DWORD count = 0;
    ar >> count;
    ar >> m_strCaption >> m_strName;
    m_nResetHold = readInt();
    m_nStepsLeft = readInt();
    m_bActive = readInt();
    ar >> m_strChoices;
    m_nReserved = readInt();
    ar >> m_strMessageTag;
    m_bResetRequested = readInt();
    m_nErrorCode = readInt();
    m_nBlink = readInt();
    m_bErrorShown = readInt();
    // The owners are heads; any element is taken here, and an owner counts
    // at run time only while it stands in the design (GetOwner).
    m_pFlowStart = dynamic_cast<CFlowObject*>(ar.ReadObjectRef("CFlowObject"));
    m_pSubStart = dynamic_cast<CFlowObject*>(ar.ReadObjectRef("CFlowObject"));
    if (IsVersionAtLeast(ar.GetVersion(), 0x10B3, 0x20B1)) {
        m_bInputLatch = readInt();
        DWORD shown = 0;
        ar >> shown;
        m_nShownState = static_cast<int>(shown);
    }
    // A count kept from a run must stay usable: any negative count is the
    // idle mark, and an error code below -1 means no error.
    if (m_nStepsLeft < -1) m_nStepsLeft = -1;
    if (m_nErrorCode < kFlowNoError) m_nErrorCode = kFlowNoError;
    if (m_nBlink < 0 || m_nBlink >= kFlowBlinkPeriod) m_nBlink = 0;
}

void CFlowObject::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    CComponent::DropDeadLinks(gone);
    if (gone.count(m_pFlowStart)) m_pFlowStart = nullptr;
    if (gone.count(m_pSubStart)) m_pSubStart = nullptr;
    if (gone.count(m_pLastDragged)) m_pLastDragged = nullptr;
}

// ---- children ----

void CFlowObject::CreateTerminals(int)
{
    if (!m_pVisual) return;
    // The picture's pin marks, as CComponent lays them, as connectors of
    // the flowchart wire kind (which joins only its own kind).
    const CSize size = m_pVisual->GetSize(m_nOrientation);
    m_rect.SetRect(m_rect.left, m_rect.top, m_rect.left + size.cx, m_rect.top + size.cy);
    for (int x = 0; x < size.cx; ++x) {
        if (m_pVisual->IsPinCell(x, 0, m_nOrientation, m_nOrientation))
            AddTerminal(0, CPoint(m_rect.left + x, m_rect.top), WIRE_SHORT_STUB);
        if (m_pVisual->IsPinCell(x, size.cy - 1, m_nOrientation, m_nOrientation))
            AddTerminal(2, CPoint(m_rect.left + x, m_rect.bottom - 1), WIRE_SHORT_STUB);
    }
    for (int y = 0; y < size.cy; ++y) {
        if (m_pVisual->IsPinCell(0, y, m_nOrientation, m_nOrientation))
            AddTerminal(3, CPoint(m_rect.left, m_rect.top + y), WIRE_SHORT_STUB);
        if (m_pVisual->IsPinCell(size.cx - 1, y, m_nOrientation, m_nOrientation))
            AddTerminal(1, CPoint(m_rect.right - 1, m_rect.top + y), WIRE_SHORT_STUB);
    }
    ApplyOrientation(m_nOrientation);
}

void CFlowObject::CreateChildren()
{
    if (!m_terminals.empty()) return;
    CreateTerminals(3);
    const LabelPlace p = GetLabelPlace();
    auto* label = new CFlowMeterMessage;
    // The table's places are across from the element's middle and down
    // from its top: the caption stands centred in the symbol.
    label->SetUp(CPoint(m_rect.left + m_rect.Width() / 2, m_rect.top), p.x, p.y, m_strCaption, p.width, p.mode, p.value);
    label->SetTag(m_strMessageTag.empty() ? m_strCaption : m_strMessageTag);
    AddChild(label);
}

CFlowObject::LabelPlace CFlowObject::GetLabelPlace() const
{
    // Across from the element's middle and down from its top: the caption
    // of a head stands above it, the others' inside the symbol.
    static constexpr LabelPlace kMost{-23, 17, 72, 0, 0};
    static constexpr LabelPlace kHead{-23, -19, 72, 0, 0};
    static constexpr LabelPlace kEnd{0, 13, 25, 0, 0};
    static constexpr LabelPlace kTwoExits{-14, 24, 55, 7, 0};
    static constexpr LabelPlace kSerial{-23, 17, 72, 40, 1};
    if (IsHead()) return kHead;
    if (IsEndElement()) return kEnd;
    if (IsBranching()) return kTwoExits;
    if (IsKindOf("CFlowSend") || IsKindOf("CFlowReceive")) return kSerial;
    return kMost;
}

CFlowMeterMessage* CFlowObject::GetMessageLabel() const
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* m = dynamic_cast<CFlowMeterMessage*>(c)) return m;
    return nullptr;
}

void CFlowObject::RefreshMessage()
{
    if (CFlowMeterMessage* m = GetMessageLabel()) m->ShowMessage(m_strCaption, GetDrawFlags(), m_strMessageTag);
}

// ---- kinds and terminals ----

bool CFlowObject::IsHead() const { return IsKindOf("CFlowStart") || IsKindOf("CFlowSubStart"); }

bool CFlowObject::IsBranching() const
{
    return IsKindOf("CFlowDecision") || IsKindOf("CFlowCheckVar") || IsKindOf("CFlowTestBit");
}

bool CFlowObject::IsEndElement() const { return IsKindOf("CFlowStop") || IsKindOf("CFlowReturn"); }

bool CFlowObject::HasInputConnector() const
{
    const CTerminal* t = GetTerminal(0);
    return t && !IsHead() && t->GetOrientation() == 0;
}

CTerminal* CFlowObject::GetOutputTerminal() const { return GetTerminal(IsHead() ? 0 : 1); }

std::vector<std::pair<uint16_t, int>> CFlowObject::OtherTerminals(uint16_t node) const
{
    std::vector<std::pair<uint16_t, int>> out;
    const int n = GetTerminalCount();
    const bool downwards = IsBranching() && (m_nOrientation == 0 || m_nOrientation == 3);
    for (int k = 0; k < n; ++k) {
        const CTerminal* t = GetTerminal(downwards ? n - 1 - k : k);
        if (!t || t->GetNode() == node) continue;
        out.emplace_back(t->GetNode(), t->GetOrientation() == 0 ? 1 : 0);
    }
    return out;
}

int CFlowObject::TerminalOnNode(uint16_t node) const
{
    for (const CTerminal* t : m_terminals)
        if (t->GetNode() == node) return 1 + (t->GetOrientation() == 0 ? 1 : 0);
    return 0;
}

int CFlowObject::SharedNodeFlags() const
{
    for (size_t i = 0; i < m_terminals.size(); ++i)
        for (size_t j = i + 1; j < m_terminals.size(); ++j)
            if (m_terminals[i]->GetNode() == m_terminals[j]->GetNode())
                return 2 + (m_terminals[i]->GetOrientation() == 0) + (m_terminals[j]->GetOrientation() == 0);
    return 0;
}

int CFlowObject::TerminalIndexOnNode(uint16_t node) const
{
    for (size_t i = 0; i < m_terminals.size(); ++i)
        if (m_terminals[i]->GetNode() == node) return static_cast<int>(i);
    return 0;
}

// ---- owners ----

bool CFlowObject::IsOwnerAlive(const CFlowObject* owner) const
{
    // The checker sets the owners and a reset forgets them, but a head
    // deleted in between would leave a dangling pointer: an owner counts
    // only while it stands in this element's design.
    if (!owner) return false;
    const CCircuit* design = GetDesign();
    if (!design) return false;
    const std::vector<CPart*> all = design->CollectFlowObjects();
    return std::find(all.begin(), all.end(), owner) != all.end();
}

CFlowObject* CFlowObject::GetOwner() const
{
    if (IsOwnerAlive(m_pSubStart)) return m_pSubStart;
    if (IsOwnerAlive(m_pFlowStart)) return m_pFlowStart;
    return nullptr;
}

// ---- virtual operations of the element ----

int CFlowObject::Validate()
{
    m_nErrorCode = kFlowNoError;
    return m_nErrorCode;
}

double CFlowObject::GetRunTime()
{
    const CCircuit* design = GetDesign();
    return design ? design->GetFlowTimeStep() : 0.0;
}

void CFlowObject::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = m_strCaption + "\n";
    if (code) *code = 0;
}

void CFlowObject::GetBasicDeclarations(CString& out, int* kind, CFlowObject*)
{
    out.Empty();
    if (kind) *kind = 0;
}

void CFlowObject::GetBasicSubroutine(CString& out, int*, CFlowObject*) { out.Empty(); }

void CFlowObject::ResetRun()
{
    m_nBusy = 0;
    m_bFinishing = 0;
    m_bActive = 0;
    m_bErrorShown = 0;
    m_nBlink = 0;
    m_bResetRequested = 1;
    SetLook(FLOW_LOOK_IDLE);
    m_nShownState = 2;
}

int CFlowObject::CountChips()
{
    const CCircuit* design = GetDesign();
    return design ? static_cast<int>(design->CollectChips().size()) : 0;
}

void CFlowObject::RefreshBasicViewers()
{
    // A head is its own flowchart's owner: it does the export itself
    // (its override), and asking itself here would never end.
    if (m_pFlowStart != this && IsOwnerAlive(m_pFlowStart)) m_pFlowStart->RefreshBasicViewers();
}

CString CFlowObject::GetErrorText(int code) const { return FlowErrorText(code); }

// ---- looks and errors ----

void CFlowObject::SetLook(int code)
{
    if (code < FLOW_LOOK_IDLE || code > FLOW_LOOK_ERROR) return;
    m_wStateWord = static_cast<WORD>(code);
}

void CFlowObject::Redraw()
{
    const DWORD flags = GetDrawFlags();
    CPart::Redraw(flags);
}

void CFlowObject::SetError(int code)
{
    m_nErrorCode = code;
    SetLook(FLOW_LOOK_ERROR);
    Redraw();
    RefreshMessage();
}

void CFlowObject::ShowErrorInStatusBar()
{
    const CCircuit* design = GetDesign();
    if (design && design->GetHost()) design->GetHost()->SetStatusText(GetErrorText(m_nErrorCode));
}

int CFlowObject::HasInfo(int, int) { return m_nErrorCode >= 0 ? 1 : 0; }

int CFlowObject::BuildInfo(CString& text, UINT, CPoint)
{
    text = GetErrorText(m_nErrorCode);
    if (text.empty()) text = LoadResString(IDS_NO_INFORMATION);
    if (CFlowMeterMessage* m = GetMessageLabel()) m->SetTag(text);
    return 1;
}

// ---- state and lifecycle ----

void CFlowObject::RefreshState()
{
    if (m_nBusy || m_bFinishing || m_bActive)
        if (CFlowObject* owner = GetOwner()) owner->SetCurrentElement(nullptr);
    m_pFlowStart = nullptr;
    m_pSubStart = nullptr;
    CComponent::RefreshState();
}

void CFlowObject::OnSimulationStopped()
{
    CComponent::OnSimulationStopped();
    CCircuit* design = GetDesign();
    if (design && design->GetHost()) design->GetHost()->SetStatusText(LoadResString(IDS_HELP_PROMPT));
    if (!design || design->IsTemporary() || !design->GetHost()) return;
    // An edit of the flowchart in progress (a flowchart part selected or
    // dragged, a flowchart wire being drawn) may change what the elements
    // refer to: the next reset checks them again.
    bool counts = !IsDragIdle() && design->GetHost()->IsDragging();
    if (!counts) {
        CPart* last = nullptr;
        design->CountSelected(&last, 0);
        for (CPart* p : design->CollectFlowObjects())
            if (p->IsSelected()) counts = true;
        if (last && last->IsFlowchartPart()) m_pLastDragged = last;
    }
    if (!counts) {
        m_bNeedsCheck = 0;
        return;
    }
    m_bNeedsCheck = 1;
    m_pFlowStart = nullptr;
    m_pSubStart = nullptr;
    m_nErrorCode = kFlowNoError;
    m_nBusy = 0;
    m_bFinishing = 0;
    m_bActive = 0;
    m_bResetRequested = 0;
    m_bErrorShown = 0;
}

void CFlowObject::OnSimulationReset()
{
    if (m_bNeedsCheck && m_nErrorCode == kFlowNoError) {
        SetLook(FLOW_LOOK_IDLE);
        RefreshMessage();
    }
    CComponent::OnSimulationReset();
}

// ---- simulation ----

void CFlowObject::Stamp(CMatrix* matrix)
{
    // Ground is node 0, the design's reference.
    if (HasInputConnector()) matrix->StampConductance(kFlowInputConductance, GetTerminal(0), nullptr);
    const int first = IsHead() ? 0 : 1;
    const int last = IsBranching() ? 2 : first;
    const int driven = IsHead() ? 0 : GetDrivenExit();
    for (int k = first; k <= last; ++k) {
        CTerminal* out = GetTerminal(k);
        if (!out) continue;
        matrix->StampTransfer(kFlowOutputConductance, kFlowIdleCurrent, out, nullptr, out, nullptr);
        if (k != driven || m_bErrorShown) continue;
        matrix->StampTransfer(kFlowOutputConductance, m_bFinishing ? kFlowDriveCurrent : 0.0, out, nullptr, out,
                              nullptr);
    }
}

int CFlowObject::AfterStep()
{
    CCircuit* design = GetDesign();
    const int broken = CComponent::AfterStep();
    if (!design) return broken;
    const double threshold = design->GetLogicThreshold();
    const double rate = design->GetUpdateRate();
    const double run = GetRunTime();
    int newState = m_nShownState;

    if (HasInputConnector()) {
        const double v = GetTerminal(0)->GetVoltage();
        // The product is bounded before the cast: a run time of hours at a
        // high rate would not fit an int, and a negative or undefined run
        // time (a setting not given yet) counts as the shortest run.
        const double product = run * rate;
        int steps = 2;
        if (product >= 1e9) steps = 1000000000;
        else if (product >= 2.0) steps = static_cast<int>(product);
        if (v < threshold) m_bInputLatch = 0;
        if (threshold < v && !m_bInputLatch) {
            m_bFinishing = 0;
            m_bInputLatch = 1;
            m_bActive = 1;
            m_nStepsLeft = steps;
            if (CFlowObject* owner = GetOwner()) owner->SetCurrentElement(this);
            Validate();
        }
    }
    if (m_bActive) {
        if (m_nStepsLeft == 1) {
            m_bInputLatch = 0;
            m_bFinishing = 1;
        } else if (m_nStepsLeft == 0) {
            m_bFinishing = 0;
            m_bActive = 0;
            SetLook(FLOW_LOOK_IDLE);
            newState = FLOW_LOOK_IDLE;
        }
    }
    if (m_bActive && m_nErrorCode == kFlowNoError) {
        SetLook(FLOW_LOOK_RUNNING);
        --m_nStepsLeft;
        newState = FLOW_LOOK_RUNNING;
    }
    if (m_bResetRequested && m_nResetHold == 0) {
        m_bResetRequested = 0;
        SetLook(FLOW_LOOK_IDLE);
        newState = FLOW_LOOK_IDLE;
    }
    const bool erring = (m_nErrorCode != kFlowNoError && (m_bFinishing || m_bActive)) || m_bErrorShown;
    CFlowObject* owner = erring ? GetOwner() : nullptr;
    if (erring && owner) {
        ShowErrorInStatusBar();
        m_bErrorShown = 1;
        ++m_nBlink;
        if (m_nBlink == kFlowBlinkErrorAt) newState = FLOW_LOOK_ERROR;
        else if (m_nBlink == kFlowBlinkNormalAt) newState = FLOW_LOOK_IDLE;
        if (m_nBlink >= kFlowBlinkPeriod) m_nBlink = 0;
        if (newState != m_nShownState) SetLook(newState);
    } else if (!owner) {
        m_bErrorShown = 0;
    }
    if (newState != m_nShownState) {
        Redraw();
        m_nShownState = newState;
        design->SetChanged();
    }
    return broken;
}
