// The start element at run time: pressing it, runs, the re-check at reset,
// the variable table, the call stack and the questions elements ask of the
// microcontroller.
#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_programmer.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_sub_texts.h"
#include "flowchart/flow_substart.h"
#include "flowchart/meter_message.h"
#include "flowchart/panel_buttons.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/strings.h"

#include <initializer_list>
#include <string>

namespace {
// The number after a prefix ("Input3" -> 3); -1 when the text is not the
// prefix followed by digits only.
int NumberAfter(const CString& text, const CString& prefix)
{
    if (text.size() <= prefix.size() || text.compare(0, prefix.size(), prefix) != 0) return -1;
    int n = 0;
    for (size_t i = prefix.size(); i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9' || n > 100000) return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// "prefix" + each number, joined by "\n".
CString JoinLabels(const CString& prefix, std::initializer_list<int> numbers)
{
    CString out;
    for (int n : numbers) {
        if (!out.empty()) out += "\n";
        out += prefix + std::to_string(n);
    }
    return out;
}

// A pin index that is no pin.
constexpr int kNoSuchPin = 50;
} // namespace

// ---- pressing and runs ----

void CFlowStart::BeginOwnRun()
{
    const CCircuit* design = GetDesign();
    const double product = design ? GetRunTime() * design->GetUpdateRate() : 0.0;
    int steps = 1;
    if (product >= 1e9) steps = 1000000000;
    else if (product >= 1.0) steps = static_cast<int>(product);
    m_bFinishing = 0;
    m_bActive = 1;
    m_nStepsLeft = steps;
}

void CFlowStart::StopCurrent()
{
    if (m_pCurrent && m_pCurrent != this) m_pCurrent->ResetRun();
    m_pCurrent = nullptr;
    UnwindCalls(nullptr);
    ReleaseInputBoxes();
}

int CFlowStart::SetInputValue(CPartTree* design, int value)
{
    if (value != 0) {
        // The button that went down: the release acts on it.
        m_pPressed = nullptr;
        for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* key = dynamic_cast<CKey*>(c))
                if (key->m_wState == 1) m_pPressed = key;
        return 1;
    }
    CPart* pressed = m_pPressed;
    m_pPressed = nullptr;
    if (m_nCheckResult != 0) return 1;
    // The record button programs a real microcontroller through the
    // programmer programs; the run on the canvas is the start button's.
    // A press while programming goes on is not taken.
    if (pressed && pressed->IsKindOf("CFlowRecordButton")) {
        if (!m_bReadyToProgram) return 1;
        m_bReadyToProgram = 0;
        if (CFlowProgrammerHost* host = CFlowProgrammerHost::Current()) host->Program(*this);
        m_bReadyToProgram = 1;
        return 1;
    }
    CFlowChipLink* chip = FindChip();
    if (chip && chip->IsHeldInReset()) return 1;
    StopCurrent();
    if (chip) chip->ResetPins();
    ClearVariables();
    RefreshPanelsForRun();
    CCircuit* circuit = GetDesign();
    if (!circuit) circuit = dynamic_cast<CCircuit*>(design);
    if (circuit) circuit->ControlSimulation(SIM_SWITCH_CHANGED);
    BeginOwnRun();
    return 1;
}

void CFlowStart::StartRun(int start)
{
    if (m_nCheckResult != 0 || !start) return;
    StopCurrent();
    ClearVariables();
    RefreshPanelsForRun();
    BeginOwnRun();
    SetLook(FLOW_LOOK_RUNNING);
    CPart::Redraw(GetDrawFlags());
    RefreshMessage();
    m_nShownState = FLOW_LOOK_RUNNING;
}

void CFlowStart::Stamp(CMatrix* matrix)
{
    // The output only; a start drives it while finishing even when it shows
    // an error (it has no input that could have brought it one at run time).
    CTerminal* out = GetOutputTerminal();
    if (!out) return;
    matrix->StampTransfer(kFlowOutputConductance, kFlowIdleCurrent, out, nullptr, out, nullptr);
    matrix->StampTransfer(kFlowOutputConductance, m_bFinishing ? kFlowDriveCurrent : 0.0, out, nullptr, out, nullptr);
}

// ---- lifecycle ----

void CFlowStart::ClearRunTables()
{
    ClearVariables();
    for (Call& c : m_calls) c = Call{};
    m_nCallDepth = 0;
    for (ErrorEntry& e : m_errors) e = ErrorEntry{};
    m_nErrorCount = 0;
    m_pCurrent = nullptr;
}

void CFlowStart::OnSimulationStopped()
{
    CFlowObject::OnSimulationStopped();
    if (!m_bNeedsCheck) return;
    StopCurrent();
}

void CFlowStart::OnSimulationReset()
{
    if (m_bNeedsCheck) {
        ClearVariables();
        // The element that held the token goes dark (a reached stop, an
        // element halted by an error) before it is forgotten.
        StopCurrent();
        if (CheckFlowchart() != 0) {
            m_bActive = 0;
            m_bFinishing = 0;
            m_nBusy = 0;
            m_nStepsLeft = -1;
        }
    }
    CFlowObject::OnSimulationReset();
    if (m_nErrorCode == kFlowNoError && !m_bActive && !m_pCurrent) {
        SetLook(FLOW_LOOK_RUNNING);
        RefreshMessage();
    }
    RefreshBasicViewers();
}

void CFlowStart::RefreshState()
{
    CFlowObject::RefreshState();
    ClearVariables();
    UnwindCalls(nullptr);
    const CCircuit* design = GetDesign();
    if (!design) return;
    for (CPart* p : design->CollectFlowObjects()) {
        auto* e = static_cast<CFlowObject*>(p);
        if (e->m_pFlowStart == this) e->DetachStart();
    }
}

// ---- the microcontroller ----

CFlowChipLink* CFlowStart::FindChip() { return FindFlowChip(GetDesign(), m_strName); }

int CFlowStart::HasChip() { return FindChip() ? 1 : 0; }

CString CFlowStart::GetMicrocontrollerClass()
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetChipClass();
    const CCircuit* design = GetDesign();
    return design ? design->m_strMicroClass : CString();
}

CString CFlowStart::GetOutputLabels()
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetOutputLabels();
    return JoinLabels(LoadResString(IDS_FLOW_OUTPUT), {3, 2, 1, 0});
}

CString CFlowStart::GetInputLabels()
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetInputLabels();
    return JoinLabels(LoadResString(IDS_FLOW_INPUT), {0, 1, 2, 3});
}

CString CFlowStart::GetAnalogLabels()
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetAnalogLabels();
    return JoinLabels(LoadResString(IDS_FLOW_ANALOG_INPUT), {0});
}

CString CFlowStart::GetMotorLabels()
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetMotorLabels();
    return JoinLabels(LoadResString(IDS_FLOW_OUTPUT), {2, 1, 0});
}

int CFlowStart::ReadInput(const CString& label)
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->ReadInput(label) : -1;
}

int CFlowStart::IsInputDigital(const CString& label)
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->IsInputDigital(label) : 1;
}

int CFlowStart::SetOutputPin(const CString& label, int value)
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->SetOutputPin(label, value) : -1;
}

int CFlowStart::SetOutput(int value)
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->SetOutputsFromBits(value) : -1;
}

int CFlowStart::SetOutputsFromVariable(const CString& name)
{
    const int value = GetVariable(name);
    // -1 is a variable made but never given a value.
    if (value == -1) return 0;
    return SetOutput(value);
}

int CFlowStart::DriveMotor(const CString& lowerPin, int direction)
{
    CFlowChipLink* chip = FindChip();
    return chip ? chip->DriveMotorPins(lowerPin, direction) : -1;
}

int CFlowStart::GetInputPinIndex(const CString& label)
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetInputPinIndex(label);
    const int n = NumberAfter(label, LoadResString(IDS_FLOW_INPUT));
    return n < 0 ? kNoSuchPin : n;
}

int CFlowStart::GetAnalogPinIndex(const CString& label)
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetAnalogPinIndex(label);
    const int n = NumberAfter(label, LoadResString(IDS_FLOW_ANALOG_INPUT));
    return n < 0 ? kNoSuchPin : n;
}

CString CFlowStart::GetNextOutputLabel(const CString& label)
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetNextOutputLabel(label);
    const CString prefix = LoadResString(IDS_FLOW_OUTPUT);
    const int n = NumberAfter(label, prefix);
    return n < 0 ? LoadResString(IDS_FLOW_NO_SUCH_OUTPUT) : prefix + std::to_string(n + 1);
}

int CFlowStart::GetInputCount()
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetInputCount();
    // Four inputs on the STAMP; the PICs and any other class eight.
    return GetMicrocontrollerClass() == "STAMP" ? 4 : 8;
}

int CFlowStart::GetOutputPinNumber(const CString& label)
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetOutputPinNumber(label);
    const int n = NumberAfter(label, LoadResString(IDS_FLOW_OUTPUT));
    return n < 0 ? kNoSuchPin : GetOutputPinOffset() + n;
}

int CFlowStart::GetOutputPinOffset()
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetOutputPinOffset();
    return GetInputCount();
}

int CFlowStart::GetOutputCount()
{
    if (CFlowChipLink* chip = FindChip()) return chip->GetOutputCount();
    return 4;
}

// ---- variables ----

int CFlowStart::GetVariable(const CString& name) const
{
    for (unsigned i = 0; i < m_nVariableCount; ++i)
        if (SameNameNoCase(m_variables[i].name, name)) return m_variables[i].value;
    return -1;
}

bool CFlowStart::HasVariable(const CString& name) const
{
    for (unsigned i = 0; i < m_nVariableCount; ++i)
        if (SameNameNoCase(m_variables[i].name, name)) return true;
    return false;
}

int CFlowStart::AddVariable(const CString& name)
{
    if (HasVariable(name)) return 0;
    if (m_nVariableCount >= kFlowVariableSlots) return 1;
    m_variables[m_nVariableCount].name = name;
    m_variables[m_nVariableCount].value = -1;
    ++m_nVariableCount;
    return 0;
}

void CFlowStart::RenameVariable(const CString& oldName, const CString& newName)
{
    for (unsigned i = 0; i < m_nVariableCount; ++i)
        if (SameNameNoCase(m_variables[i].name, oldName)) m_variables[i].name = newName;
}

void CFlowStart::SetVariable(const CString& name, int value)
{
    if (!name.empty() && (HasVariable(name) || AddVariable(name) == 0))
        for (unsigned i = 0; i < m_nVariableCount; ++i)
            if (SameNameNoCase(m_variables[i].name, name)) m_variables[i].value = value;
    RefreshMonitors();
}

void CFlowStart::ClearVariables()
{
    for (Variable& v : m_variables) v = Variable{};
    m_nVariableCount = 0;
    RefreshMonitors();
}

// ---- call stack ----

int CFlowStart::CallSubroutine(const CString& name, CFlowObject* caller)
{
    if (m_nCallDepth >= kFlowCallDepth) return FLOW_ERR_TOO_MANY_SUBS;
    const CCircuit* design = GetDesign();
    if (!design) return FLOW_ERR_NO_SUB;
    for (CPart* p : design->CollectFlowObjects()) {
        if (!p->IsKindOf("CFlowSubStart")) continue;
        auto* sub = static_cast<CFlowObject*>(p);
        CString subName;
        sub->GetProgramName(subName);
        if (!SameNameNoCase(subName, name)) continue;
        if (static_cast<CFlowSubStart*>(sub)->m_nStructureCheck != 0) return FLOW_ERR_SUB_WRONG;
        m_calls[m_nCallDepth++] = Call{caller, sub};
        sub->StartSubroutine(this);
        return kFlowNoError;
    }
    return FLOW_ERR_NO_SUB;
}

void CFlowStart::NotifyCallers(CFlowObject* subroutine, int state)
{
    for (unsigned i = 0; i < m_nCallDepth; ++i)
        if (m_calls[i].called == subroutine && m_calls[i].caller) m_calls[i].caller->OnCallState(state);
}

void CFlowStart::Return()
{
    if (m_nCallDepth == 0) return;
    const Call top = m_calls[--m_nCallDepth];
    m_calls[m_nCallDepth] = Call{};
    if (top.caller) top.caller->OnCallState(FLOW_CALL_RETURNED);
}

void CFlowStart::UnwindCalls(CFlowObject* except)
{
    while (m_nCallDepth > 0) {
        const Call top = m_calls[--m_nCallDepth];
        m_calls[m_nCallDepth] = Call{};
        if (top.called && top.called != except) top.called->StopSubroutine(this);
        // A caller left calling would hold its element lit and ignore the
        // next time control reaches it.
        if (top.caller) top.caller->ResetRun();
    }
}
