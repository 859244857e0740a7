#include "flowchart/flow_checkvar.h"

#include "flowchart/flow_decision.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/parts/controlitem.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <cstdint>

WB_IMPLEMENT_SERIAL(CFlowCheckVar, "CFlowObject", 2)

namespace {
constexpr int IDC_CHECK_NAME = 36053;
constexpr int IDC_CHECK_GAP1 = 36052;
constexpr int IDC_CHECK_COMPARISON = 36059;
constexpr int IDC_CHECK_GAP2 = 36058;
constexpr int IDC_CHECK_OPERAND = 36065;
constexpr int IDC_CHECK_GAP3 = 36064;
constexpr int IDC_CHECK_QUESTION = 36080;
constexpr int IDC_ADD_CHECK = 33864;
constexpr unsigned IDS_COMPARISONS = 24341;
constexpr unsigned IDS_QUESTION_MARK = 24344;
constexpr int kChoiceName = 1, kChoiceComparison = 2, kChoiceOperand = 3;
// The comparisons in the order of their index.
const char* const kComparisons[] = {" = ", " > ", " >= ", " < ", " <= ", " <> "};
constexpr int kComparisonCount = 6;
} // namespace

CFlowCheckVar::CFlowCheckVar()
{
    m_pVisual = FlowVisual("CFlowCheckVar");
    m_strName = "x";
    m_strChoices = LoadResString(IDS_COMPARISONS);
    m_parameter.Assign(0.0, kPrefixNone, CString(), kEditLimitsRow);
    m_strCaption = "x = 0 " + LoadResString(IDS_QUESTION_MARK);
    m_strMessageTag = m_strCaption;
}

void CFlowCheckVar::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

// ---- archive ----

void CFlowCheckVar::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_nComparison) << static_cast<LONG>(m_nChosenExit) << m_strComparison << m_strOperand
           << static_cast<LONG>(m_bOperandIsVariable);
        return;
    }
    LONG comparison = 0, exit = 2, isVariable = 0;
    ar >> comparison >> exit >> m_strComparison >> m_strOperand >> isVariable;
    // Only the six comparisons and the two exits exist.
    m_nComparison = comparison >= 0 && comparison < kComparisonCount ? static_cast<int>(comparison) : 0;
    m_nChosenExit = exit == 1 ? 1 : 2;
    m_bOperandIsVariable = isVariable ? 1 : 0;
}

// ---- running ----

bool CFlowCheckVar::Compare(unsigned index, int a, int b)
{
    const auto ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
    switch (index) {
    case 0: return ua == ub;
    case 1: return ua > ub;
    case 2: return ua >= ub;
    case 3: return ua < ub;
    case 4: return ua <= ub;
    default: return ua != ub;
    }
}

int CFlowCheckVar::Validate()
{
    const CFlowStart* flowchart = RunningFlowchart(*this);
    if (!flowchart) return m_nErrorCode = FLOW_ERR_NO_VALUE;
    const int a = flowchart->GetVariable(m_strName);
    if (a == kFlowNoValue) return m_nErrorCode = FLOW_ERR_NO_VALUE;
    int b = 0;
    if (m_bOperandIsVariable) {
        b = flowchart->GetVariable(m_strOperand);
        if (b == kFlowNoValue) return m_nErrorCode = FLOW_ERR_NO_VALUE;
    } else {
        b = TruncateToInt(m_parameter.value);
    }
    m_nChosenExit = CFlowDecision::ExitFor(Compare(static_cast<unsigned>(m_nComparison), a, b), m_nOrientation);
    return m_nErrorCode = kFlowNoError;
}

// ---- caption ----

void CFlowCheckVar::GetBasicText(CString& out, int* code, CFlowObject*)
{
    const CString operand = m_bOperandIsVariable ? m_strOperand : FormatInt(TruncateToInt(m_parameter.value));
    out = "if " + m_strName + m_strComparison + operand + " then ";
    if (code) *code = 0;
}

void CFlowCheckVar::UpdateCaption()
{
    CString name = m_strName;
    CString operand = m_bOperandIsVariable ? m_strOperand : FormatInt(TruncateToInt(m_parameter.value));
    const CString question = LoadResString(IDS_QUESTION_MARK);
    auto build = [&] { return name + m_strComparison + operand + " " + question; };
    m_strMessageTag = build();
    // A long operand name gives way first, down to three characters, then
    // the variable's name.
    auto pick = [&]() -> int {
        if (m_bOperandIsVariable && operand.size() > 3) return 1;
        return name.size() > 1 ? 0 : -1;
    };
    m_strCaption = FitCaption(GetMessageLabel(), {&name, &operand}, build, pick);
    RefreshMessage();
}

// ---- properties ----

int CFlowCheckVar::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_EDIT, CString(), IDC_CHECK_NAME, 80));
    items.Add(CControlItem(CI_STATIC, CString(" "), IDC_CHECK_GAP1, 10));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_COMPARISONS), IDC_CHECK_COMPARISON, 40));
    items.Add(CControlItem(CI_STATIC, CString(" "), IDC_CHECK_GAP2, 10));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_CHECK_OPERAND, 80));
    items.Add(CControlItem(CI_STATIC, CString(" "), IDC_CHECK_GAP3, 6));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_QUESTION_MARK), IDC_CHECK_QUESTION, 12));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_CHECK, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowCheckVar::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_CHECK_NAME, m_strName, -1);
    items.SetItemText(IDC_CHECK_COMPARISON, m_strComparison, -1);
    items.SetItemText(IDC_CHECK_OPERAND, m_bOperandIsVariable ? m_strOperand : m_parameter.Format(), -1);
    return 3;
}

int CFlowCheckVar::OnPropertyCommand(int commandId, const CString& text)
{
    int choice = 0;
    int status = 1;
    switch (commandId) {
    case IDC_CHECK_NAME:
        m_strName = text;
        choice = kChoiceName;
        break;
    case IDC_CHECK_COMPARISON:
        m_strComparison = text;
        choice = kChoiceComparison;
        break;
    case IDC_CHECK_OPERAND:
        status = ClassifyOperand(text, m_parameter, m_strOperand, m_bOperandIsVariable,
                                 FlowVariableRange(GetDesign()));
        choice = kChoiceOperand;
        break;
    default: return CFlowObject::OnPropertyCommand(commandId, text);
    }
    ApplyControlChoice(choice);
    UpdateCaption();
    RefreshBasicViewers();
    return status <= 1 ? 65 : (status | 0x40);
}

void CFlowCheckVar::ApplyControlChoice(int choice)
{
    if (choice == kChoiceName) {
        CleanTypedName(m_strName, "x");
    } else if (choice == kChoiceComparison) {
        for (int i = 0; i < kComparisonCount; ++i)
            if (m_strComparison == kComparisons[i]) m_nComparison = i;
    } else if (choice == kChoiceOperand && m_bOperandIsVariable) {
        CleanTypedName(m_strOperand, "y");
    }
}
