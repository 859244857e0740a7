#include "flowchart/flow_wait.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "platform/numtext.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowWait, "CFlowObject", 2)

namespace {
constexpr int IDC_WAIT_TIME = 36053;
constexpr int IDC_WAIT_SPIN = 36054;
constexpr int IDC_WAIT_UNIT = 36057;
constexpr int IDC_ADD_WAIT = 33853;
// The limits row of a wait's time: 0 to 600 seconds, no prefix.
constexpr int kWaitTimeRow = 25;
// Longer waits than this have no BASIC pause of their own.
constexpr double kLongestPause = 65.0;
} // namespace

CFlowWait::CFlowWait()
{
    m_pVisual = FlowVisual("CFlowWait");
    m_parameter.Assign(1.0, kPrefixNone, CString(), kWaitTimeRow);
    m_nStepsLeft = -1;
    UpdateCaption();
}

void CFlowWait::UpdateCaption()
{
    m_parameter.SetTypeCode(kWaitTimeRow);
    m_strCaption = LoadResString(IDS_FLOW_WAIT) + m_parameter.Format() + LoadResString(IDS_FLOW_SECONDS);
    m_strMessageTag = m_strCaption;
    RefreshMessage();
}

double CFlowWait::GetRunTime() { return m_parameter.value; }

int CFlowWait::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_EDIT, CString(), IDC_WAIT_TIME, -1));
    items.Add(CControlItem(CI_SPIN, CString(), IDC_WAIT_SPIN, -1));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_FLOW_SECONDS), IDC_WAIT_UNIT, 8));
    CControlItem add(CI_TOOLBUTTON_LOCKED, CString(), IDC_ADD_WAIT, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowWait::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_WAIT_TIME, m_parameter.Format(), -1);
    return 1;
}

int CFlowWait::OnPropertyCommand(int commandId, const CString& text)
{
    int status = 0;
    if (commandId == IDC_WAIT_TIME) status = m_parameter.SetFromText(text.c_str(), nullptr);
    else if (commandId == IDC_WAIT_SPIN) status = m_parameter.StepValue(SpinAmount(text), nullptr);
    else return CFlowObject::OnPropertyCommand(commandId, text);
    if (status != 1 && status != 2) return 0;
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}

void CFlowWait::GetBasicText(CString& out, int* code, CFlowObject*)
{
    const double seconds = m_parameter.value;
    const CCircuit* design = GetDesign();
    if (GetFlowDialect(design) == FlowDialect::BasicC2) {
        out = "wait " + FormatFixed(seconds, 0, 4);
    } else {
        // Whole milliseconds; the product is bounded before the cast.
        const double ms = seconds * 1000.0;
        const int whole = ms >= 2e9 ? 2000000000 : ms <= 0.0 || ms != ms ? 0 : static_cast<int>(ms);
        out = "pause " + FormatInt(whole);
    }
    out += "\n";
    if (code) *code = seconds > kLongestPause ? static_cast<int>(IDS_FLOW_WAIT_TOO_LONG) : 0;
}

void CFlowWait::ResetRun()
{
    CFlowObject::ResetRun();
    m_nStepsLeft = -1;
}
