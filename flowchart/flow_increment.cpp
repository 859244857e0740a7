#include "flowchart/flow_increment.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CFlowIncrement, "CFlowObject", 2)

namespace {
constexpr int IDC_INCREMENT_LABEL = 36052;
constexpr int IDC_INCREMENT_NAME = 36053;
constexpr int IDC_ADD_INCREMENT = 33861;
constexpr unsigned IDS_ADD_ONE_TO = 24340;
} // namespace

CFlowIncrement::CFlowIncrement()
{
    m_pVisual = FlowVisual("CFlowIncrement");
    m_strName = "x";
    m_strCaption = LoadResString(IDS_ADD_ONE_TO) + m_strName;
    m_strMessageTag = m_strCaption;
}

void CFlowIncrement::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

int CFlowIncrement::Validate()
{
    CFlowStart* flowchart = RunningFlowchart(*this);
    if (!flowchart) return m_nErrorCode = kFlowNoError;
    const int v = flowchart->GetVariable(m_strName);
    if (v == kFlowNoValue) return m_nErrorCode = FLOW_ERR_NO_VALUE;
    const long long next = static_cast<long long>(v) + 1;
    const int range = FlowVariableRange(GetDesign());
    if (next > range) {
        flowchart->SetVariable(m_strName, kFlowAboveRange);
        return m_nErrorCode = FLOW_ERR_RANGE;
    }
    // A marker is no value of the range: one more than -2 would read as "no
    // value yet" and one more than -10 as a value of nothing.  The result is
    // out of the range below 0, as x = x + 1 finds.
    if (next < 0) {
        flowchart->SetVariable(m_strName, kFlowBelowRange);
        return m_nErrorCode = FLOW_ERR_RANGE;
    }
    flowchart->SetVariable(m_strName, static_cast<int>(next));
    return m_nErrorCode = kFlowNoError;
}

void CFlowIncrement::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = "let " + m_strName + " = " + m_strName + " + 1\n";
    if (code) *code = 0;
}

void CFlowIncrement::UpdateCaption()
{
    m_strMessageTag = LoadResString(IDS_ADD_ONE_TO) + m_strName;
    m_strCaption = FitWholeCaption(GetMessageLabel(), m_strMessageTag);
    RefreshMessage();
}

int CFlowIncrement::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_ADD_ONE_TO), IDC_INCREMENT_LABEL, 55));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_INCREMENT_NAME, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_INCREMENT, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowIncrement::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_INCREMENT_NAME, m_strName, -1);
    return 1;
}

int CFlowIncrement::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId != IDC_INCREMENT_NAME) return 0;
    m_strName = text;
    // The name is made usable before the caption shows it.
    ApplyControlChoice(1);
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}

void CFlowIncrement::ApplyControlChoice(int choice)
{
    if (choice == 1) CleanTypedName(m_strName, "x");
}
