#include "flowchart/flow_variable.h"

#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CFlowVariable, "CFlowObject", 2)

namespace {
constexpr int IDC_VARIABLE_NAME = 36053;
constexpr int IDC_VARIABLE_EQUALS = 36058;
constexpr int IDC_VARIABLE_FIRST = 36059;
constexpr int IDC_VARIABLE_GAP1 = 36064;
constexpr int IDC_VARIABLE_OPERATOR = 36065;
constexpr int IDC_VARIABLE_GAP2 = 36080;
constexpr int IDC_VARIABLE_SECOND = 36081;
constexpr int IDC_ADD_VARIABLE = 33860;
constexpr unsigned IDS_OPERATOR_CHOICES = 24342;
constexpr unsigned IDS_EQUALS_LABEL = 24343;
constexpr int kChoiceName = 1, kChoiceFirst = 2, kChoiceOperator = 3, kChoiceSecond = 4;
// The operators in the order of their index.
const char* const kOperators[] = {" + ", " - ", " * ", " / "};
constexpr unsigned kOperatorCount = 4;
// Names the microcontroller's BASIC may use for itself (compared with case).
const char* const kInternalNames[] = {"A1",  "A2",     "A3",    "A4",      "ADD1", "ADD2", "ADD4",
                                      "ADD8", "ADD16", "ADD32", "analog", "digit", "Digital", "dig",
                                      "main", "var",   "addr",  "data",   "repeat", "finish", "alloc"};
constexpr int kCodeInternalName = 2011;
constexpr int kDeclareByte = 1;

LONG AsLong(int v) { return static_cast<LONG>(v); }
} // namespace

CFlowVariable::CFlowVariable()
{
    m_pVisual = FlowVisual("CFlowVariable");
    m_strName = "x";
    m_strChoices = LoadResString(IDS_OPERATOR_CHOICES);
    m_parameter.Assign(0.0, kPrefixNone, CString(), kEditLimitsRow);
    m_second.Assign(0.0, kPrefixNone, CString(), kEditLimitsRow);
    m_strCaption = "x = 0";
    m_strMessageTag = m_strCaption;
}

void CFlowVariable::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

// ---- archive ----

void CFlowVariable::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << AsLong(m_nReservedWord) << m_strFirst << m_strOperator << m_strSecond;
        ar << m_second;
        ar << AsLong(m_bFirstIsVariable) << AsLong(m_bSecondIsVariable) << static_cast<DWORD>(m_nOperator)
           << AsLong(m_bIncomplete) << AsLong(m_bNoOperator);
        return;
    }
    LONG reserved = 0, firstVar = 0, secondVar = 0, incomplete = 0, noOperator = 1;
    DWORD op = 0;
    ar >> reserved >> m_strFirst >> m_strOperator >> m_strSecond;
    ar >> m_second;
    ar >> firstVar >> secondVar >> op >> incomplete >> noOperator;
    m_nReservedWord = static_cast<int>(reserved);
    m_bFirstIsVariable = firstVar ? 1 : 0;
    m_bSecondIsVariable = secondVar ? 1 : 0;
    // An operator index past the four is kept: the assignment then gives
    // the range, as it always has for such records.
    m_nOperator = static_cast<unsigned>(op);
    m_bIncomplete = incomplete ? 1 : 0;
    m_bNoOperator = noOperator ? 1 : 0;
}

// ---- running ----

long long CFlowVariable::Evaluate(int a, int b, unsigned op, bool noOperator, int range)
{
    if (noOperator) return a;
    switch (op) {
    case 0: return static_cast<long long>(a) + b;
    case 1: return static_cast<long long>(a) - b;
    case 2: return static_cast<long long>(a) * b;
    case 3: {
        if (b == 0) return static_cast<long long>(range) + 1;
        // Single precision, as the microcontroller's BASIC divides, then
        // halves rounded away from zero: 7 / 2 gives 4, -7 / 2 gives -4.
        const float q = static_cast<float>(a) / static_cast<float>(b);
        const double r = q > 0.0f ? std::floor(static_cast<double>(q) + 0.5) : std::ceil(static_cast<double>(q) - 0.5);
        return static_cast<long long>(r);
    }
    default: return range;
    }
}

namespace {
// A variable operand's value (false when it has none), or the number.
bool ReadOperand(const CFlowStart& flowchart, int isVariable, const CString& name, const CNumber& number, int& out)
{
    if (!isVariable) {
        out = TruncateToInt(number.value);
        return true;
    }
    out = flowchart.GetVariable(name);
    return out != kFlowNoValue;
}
} // namespace

int CFlowVariable::Assign(CFlowStart& flowchart)
{
    const int range = FlowVariableRange(GetDesign());
    // The second operand takes part only with an operator: a name left in
    // its hidden box must not hold up a plain assignment.
    const bool operated = !m_bNoOperator;
    if (!flowchart.HasVariable(m_strName)) {
        // A new variable cannot be made from itself.
        if (m_bFirstIsVariable && SameNameNoCase(m_strFirst, m_strName)) return FLOW_ERR_NO_VALUE;
        if (operated && m_bSecondIsVariable && SameNameNoCase(m_strSecond, m_strName)) return FLOW_ERR_NO_VALUE;
        if (flowchart.AddVariable(m_strName) != 0) return FLOW_ERR_TOO_MANY_VARIABLES;
    }
    int a = 0, b = 0;
    if (!ReadOperand(flowchart, m_bFirstIsVariable, m_strFirst, m_parameter, a)) return FLOW_ERR_NO_VALUE;
    if (operated && !ReadOperand(flowchart, m_bSecondIsVariable, m_strSecond, m_second, b)) return FLOW_ERR_NO_VALUE;
    const long long result = Evaluate(a, b, m_nOperator, m_bNoOperator != 0, range);
    if (result < 0) {
        flowchart.SetVariable(m_strName, kFlowBelowRange);
        return FLOW_ERR_RANGE;
    }
    if (result > range) {
        flowchart.SetVariable(m_strName, kFlowAboveRange);
        return FLOW_ERR_RANGE;
    }
    flowchart.SetVariable(m_strName, static_cast<int>(result));
    return kFlowNoError;
}

int CFlowVariable::Validate()
{
    CFlowStart* flowchart = RunningFlowchart(*this);
    // Without a flowchart control passes and nothing is stored.
    int code = flowchart ? Assign(*flowchart) : kFlowNoError;
    if (m_bIncomplete) code = kFlowErrBadExpression;
    m_nErrorCode = code;
    return code;
}

// ---- export ----

void CFlowVariable::GetBasicText(CString& out, int* code, CFlowObject*)
{
    out = "let " + m_strMessageTag + "\n";
    int result = 0;
    for (const char* name : kInternalNames)
        if (m_strName == name) result = kCodeInternalName;
    if (code) *code = result;
}

void CFlowVariable::GetBasicDeclarations(CString& out, int* kind, CFlowObject*)
{
    out = m_strName;
    if (kind) *kind = kDeclareByte;
}

// ---- caption ----

CString CFlowVariable::OperandText(bool isVariable, const CString& name, const CNumber& number) const
{
    return isVariable ? name : FormatInt(TruncateToInt(number.value));
}

void CFlowVariable::UpdateCaption()
{
    CString name = m_strName;
    CString first = OperandText(m_bFirstIsVariable != 0, m_strFirst, m_parameter);
    CString second = OperandText(m_bSecondIsVariable != 0, m_strSecond, m_second);
    auto build = [&] {
        CString c = name + " = " + first;
        if (!m_bNoOperator) c += m_strOperator + second;
        return c;
    };
    m_strMessageTag = build();
    // The second operand's name gives way first, then the target's name
    // (while the first operand is a number or a one-letter name), then the
    // first operand's name.
    auto pick = [&]() -> int {
        if (!m_bNoOperator && m_bSecondIsVariable && second.size() > 1) return 2;
        if (!m_bFirstIsVariable || first.size() < 2) return name.size() > 1 ? 0 : -1;
        return 1;
    };
    m_strCaption = FitCaption(GetMessageLabel(), {&name, &first, &second}, build, pick);
    RefreshMessage();
}

// ---- properties ----

int CFlowVariable::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_EDIT, CString(), IDC_VARIABLE_NAME, 100));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_EQUALS_LABEL), IDC_VARIABLE_EQUALS, 18));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_VARIABLE_FIRST, 100));
    items.Add(CControlItem(CI_STATIC, CString(" "), IDC_VARIABLE_GAP1, 10));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_OPERATOR_CHOICES), IDC_VARIABLE_OPERATOR, 50));
    items.Add(CControlItem(CI_STATIC, CString(" "), IDC_VARIABLE_GAP2, 10));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_VARIABLE_SECOND, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_VARIABLE, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowVariable::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_VARIABLE_NAME, m_strName, -1);
    items.SetItemText(IDC_VARIABLE_OPERATOR, m_strOperator, -1);
    items.SetItemText(IDC_VARIABLE_FIRST, m_bFirstIsVariable ? m_strFirst : m_parameter.Format(), -1);
    items.SetItemText(IDC_VARIABLE_SECOND, m_bSecondIsVariable ? m_strSecond : m_second.Format(), -1);
    return 4;
}

int CFlowVariable::IsPropertyChecked(int commandId, int& enabled)
{
    const int checked = CFlowObject::IsPropertyChecked(commandId, enabled);
    if (commandId == IDC_VARIABLE_SECOND && m_bNoOperator) enabled = 0;
    return checked;
}

int CFlowVariable::OnPropertyCommand(int commandId, const CString& text)
{
    const double range = FlowVariableRange(GetDesign());
    int choice = 0;
    int status = 1;
    switch (commandId) {
    case IDC_VARIABLE_NAME:
        m_strName = text;
        choice = kChoiceName;
        break;
    case IDC_VARIABLE_FIRST:
        status = ClassifyOperand(text, m_parameter, m_strFirst, m_bFirstIsVariable, range);
        choice = kChoiceFirst;
        break;
    case IDC_VARIABLE_OPERATOR:
        m_strOperator = text;
        choice = kChoiceOperator;
        break;
    case IDC_VARIABLE_SECOND:
        status = ClassifyOperand(text, m_second, m_strSecond, m_bSecondIsVariable, range);
        choice = kChoiceSecond;
        break;
    default: return 0;
    }
    ApplyControlChoice(choice);
    UpdateCaption();
    RefreshBasicViewers();
    // A number clamped to the range or refused: the toolbar shows the value
    // now held.
    return status <= 1 ? 65 : (status | 0x40);
}

void CFlowVariable::ApplyControlChoice(int choice)
{
    switch (choice) {
    case kChoiceName:
        CleanTypedName(m_strName, "x");
        [[fallthrough]];
    case kChoiceFirst:
        if (m_bFirstIsVariable) CleanTypedName(m_strFirst, "x");
        break;
    case kChoiceOperator:
        if (m_strOperator == " ") {
            m_bNoOperator = 1;
        } else {
            for (unsigned i = 0; i < kOperatorCount; ++i)
                if (m_strOperator == kOperators[i]) {
                    m_nOperator = i;
                    m_bNoOperator = 0;
                }
        }
        [[fallthrough]];
    case kChoiceSecond:
        if (m_bSecondIsVariable) CleanTypedName(m_strSecond, "y");
        break;
    default: break;
    }
    // An operand still to be given: " " is the name of an empty box.
    const bool secondMissing = !m_bNoOperator && m_bSecondIsVariable && m_strSecond == " ";
    const bool firstMissing = m_bFirstIsVariable && m_strFirst == " ";
    m_bIncomplete = secondMissing || firstMissing ? 1 : 0;
}
