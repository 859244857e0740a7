// The start and the panels bound to its flowchart by name: monitors,
// display boxes and input boxes.  They are collected anew for every
// message (a panel renamed or deleted in between is simply not found),
// at most 100 of each kind.
#include "flowchart/flow_basic_viewer.h"
#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_inputbox.h"
#include "flowchart/flow_monitor.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_writebox.h"
#include "model/circuit/circuit.h"
#include "platform/strings.h"

#include <vector>

namespace {
// Room for the panels of each kind bound to one flowchart.
constexpr size_t kPanelRoom = 100;

template <class T>
std::vector<T*> Bound(const std::vector<CPart*>& parts, const CString& name)
{
    std::vector<T*> out;
    for (CPart* p : parts)
        if (auto* panel = dynamic_cast<T*>(p); panel && SameNameNoCase(panel->GetTargetName(), name)) {
            out.push_back(panel);
            if (out.size() >= kPanelRoom) break;
        }
    return out;
}
} // namespace

bool CFlowStart::IsRunning() const
{
    // The start's own steps count: no element holds the token yet.
    if (m_bActive || m_bFinishing) return true;
    return m_pCurrent && !m_pCurrent->IsKindOf("CFlowStop");
}

void CFlowStart::SetCurrentElement(CFlowObject* element)
{
    const bool was = IsRunning();
    m_pCurrent = element;
    // Reaching the stop ends the run: the monitors say so at once rather
    // than at the next variable change, which would never come.
    if (IsRunning() != was) RefreshMonitors();
}

void CFlowStart::RefreshMonitors()
{
    const CCircuit* design = GetDesign();
    if (!design) return;
    std::vector<CMonitor::Entry> table(m_nVariableCount);
    for (unsigned i = 0; i < m_nVariableCount; ++i) table[i] = {m_variables[i].name, m_variables[i].value};
    const bool running = IsRunning();
    for (CMonitor* m : Bound<CMonitor>(design->CollectFlowViewers(), m_strName))
        m->Update(table.data(), static_cast<int>(table.size()), running);
}

void CFlowStart::RefreshPanelsForRun()
{
    const CCircuit* design = GetDesign();
    if (!design) return;
    std::vector<CMonitor::Entry> table(m_nVariableCount);
    for (unsigned i = 0; i < m_nVariableCount; ++i) table[i] = {m_variables[i].name, m_variables[i].value};
    const std::vector<CPart*> viewers = design->CollectFlowViewers();
    for (CMonitor* m : Bound<CMonitor>(viewers, m_strName))
        m->Update(table.data(), static_cast<int>(table.size()), true);
    for (CWriteBox* w : Bound<CWriteBox>(viewers, m_strName)) w->Clear();
}

void CFlowStart::WriteText(const CString& text)
{
    if (const CCircuit* design = GetDesign())
        for (CWriteBox* w : Bound<CWriteBox>(design->CollectFlowViewers(), m_strName)) w->AppendText(text);
}

void CFlowStart::WriteValue(const CString& name)
{
    const int value = GetVariable(name);
    if (const CCircuit* design = GetDesign())
        for (CWriteBox* w : Bound<CWriteBox>(design->CollectFlowViewers(), m_strName)) w->AppendNumber(value);
}

int CFlowStart::RequestInput()
{
    const CCircuit* design = GetDesign();
    if (!design) return 0;
    const std::vector<CInputBox*> boxes = Bound<CInputBox>(design->CollectInputBoxes(), m_strName);
    m_nInputBoxCount = static_cast<unsigned>(boxes.size());
    if (boxes.empty()) return 0;
    // A read element asks every step while it waits: a box armed for this
    // start already is left as it is (and is not redrawn).
    for (CInputBox* b : boxes)
        if (!b->IsArmed() || b->GetWaitingStart() != this) b->Arm(this);
    m_bPendingRequest = 1;
    return static_cast<int>(boxes.size());
}

void CFlowStart::SubmitInput(int value)
{
    if (!m_bPendingRequest) return;
    m_nPendingValue = static_cast<unsigned>(value);
    m_bPendingRequest = 0;
    m_bValueSubmitted = 1;
    // The first number met the request: the other boxes stop waiting.
    if (const CCircuit* design = GetDesign())
        for (CInputBox* b : Bound<CInputBox>(design->CollectInputBoxes(), m_strName))
            if (b->GetWaitingStart() == this) b->Disarm();
}

void CFlowStart::ReleaseInputBoxes()
{
    m_bPendingRequest = 0;
    m_bValueSubmitted = 0;
    const CCircuit* design = GetDesign();
    if (!design) return;
    for (CInputBox* b : Bound<CInputBox>(design->CollectInputBoxes(), m_strName))
        if (b->IsArmed()) b->Disarm();
}

bool CFlowStart::ReadRequest(const CString& name, int& code)
{
    if (!m_bValueSubmitted) {
        if (RequestInput() > 0) return false;
        code = FLOW_ERR_NO_INPUT_BOX;
        return true;
    }
    code = kFlowNoError;
    if (!HasVariable(name) && AddVariable(name)) code = FLOW_ERR_TOO_MANY_VARIABLES;
    // The typed number compares unsigned: a negative one is far above.
    else if (m_nPendingValue > static_cast<unsigned>(FlowVariableRange(GetDesign()))) code = FLOW_ERR_RANGE;
    else SetVariable(name, static_cast<int>(m_nPendingValue));
    m_nPendingValue = 0;
    ReleaseInputBoxes();
    return true;
}

void CFlowStart::RefreshBasicViewers()
{
    CCircuit* design = GetDesign();
    if (!design) return;
    std::vector<CPBasicViewer*> viewers;
    for (CPart* p : design->CollectBasicViewers())
        if (auto* v = dynamic_cast<CPBasicViewer*>(p); v && v->GetTargetName() == m_strName) viewers.push_back(v);
    if (viewers.empty()) return;
    const int language = design->m_nProgramLanguage;
    for (CPBasicViewer* v : viewers) {
        design->SetProgramLanguage(v->GetLanguage());
        CString text;
        int code = 0;
        ExportBasic(text, &code);
        v->ShowProgram(code == 0 || IsFlowExportWarning(code) ? text : LoadResString(static_cast<unsigned>(code)), true);
    }
    design->m_nProgramLanguage = language;
}
