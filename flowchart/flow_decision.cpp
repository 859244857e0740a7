#include "flowchart/flow_decision.h"

#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "flowchart/meter_message.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <string>

WB_IMPLEMENT_SERIAL(CFlowDecision, "CFlowObject", 2)

namespace {
constexpr int IDC_DECISION_INPUT = 36053;
constexpr int IDC_DECISION_GAP = 36052;
constexpr int IDC_DECISION_TEST = 36059;
constexpr int IDC_DECISION_VALUE = 36065;
constexpr int IDC_DECISION_QUESTION = 36064;
constexpr int IDC_ADD_DECISION = 33856;
constexpr int kChoiceInput = 2, kChoiceTest = 3, kChoiceValue = 4;
// The operators in the order of their index.
const char* const kOperators[] = {" = ", " > ", " >= ", " < ", " <= ", " <> "};
constexpr unsigned kOperatorCount = 6;
// A pin index that is no pin.
constexpr int kNoSuchPin = 50;
// The export's codes (string-table texts of the export).
constexpr int kCodeNoAnalogueOnClass = 829;
constexpr int kCodeNotAnInput = 710;
constexpr int kCodeChipHasNoAnalogue = 1013;
constexpr int kCodeDigitalForComparison = 932;
constexpr int kCodeAnalogueForDigital = 931;

bool ReadsAsNonZero(const CString& text)
{
    double v = 0.0;
    return ParseDouble(text, v) && v != 0.0;
}
} // namespace

CFlowDecision::CFlowDecision()
{
    m_pVisual = FlowVisual("CFlowDecision");
    m_strInputLabel = LoadResString(IDS_FLOW_INPUT) + "0";
    m_legacyNames[0] = "Input0";
    m_legacyNames[1] = "Input 1";
    m_legacyNames[2] = "Input 2";
    m_legacyNames[3] = "Input 3";
    m_strVariable = "x";
    m_strChoices = LoadResString(IDS_FLOW_ON_OFF);
    m_strName = LoadResString(IDS_FLOW_ON);
    m_parameter.Assign(0.0, kPrefixNone, CString(), kEditLimitsRow);
    m_strCaption = m_strInputLabel + " " + m_strName + "?";
    m_strMessageTag = m_strCaption;
}

// ---- archive ----

void CFlowDecision::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nChosenExit) << static_cast<LONG>(m_bTestForOn) << m_strInputChoices
           << m_strInputLabel << static_cast<DWORD>(m_nPinNumber);
        for (const CString& n : m_legacyNames) ar << n;
        ar << static_cast<LONG>(m_bDigital) << static_cast<DWORD>(m_nOperator) << static_cast<LONG>(m_bCompareVariable)
           << m_strVariable;
        return;
    }
    DWORD exit = 2, pin = 0, op = 0;
    LONG forOn = 1, digital = 1, compare = 0;
    ar >> exit >> forOn >> m_strInputChoices >> m_strInputLabel >> pin;
    for (CString& n : m_legacyNames) ar >> n;
    if (IsVersionAtLeast(static_cast<WORD>(ar.GetVersion()), 0x10B3, 0x20B1)) {
        ar >> digital >> op >> compare >> m_strVariable;
        m_bDigital = digital ? 1 : 0;
        m_nOperator = op < kOperatorCount ? static_cast<unsigned>(op) : 0;
        m_bCompareVariable = compare ? 1 : 0;
    }
    // Only the two exits exist.
    m_nChosenExit = exit == 1 ? 1 : 2;
    m_bTestForOn = forOn ? 1 : 0;
    m_nPinNumber = static_cast<unsigned>(pin);
}

// ---- the flowchart ----

CFlowStart* CFlowDecision::GetFlowchart() const
{
    CFlowObject* owner = GetOwner();
    if (!owner) return nullptr;
    if (auto* start = dynamic_cast<CFlowStart*>(owner)) return start;
    // Inside a subroutine: the flowchart the subroutine runs for, while it
    // stands in the design.
    const CCircuit* design = GetDesign();
    if (!design) return nullptr;
    for (CPart* p : design->CollectFlowStarts())
        if (p == owner->m_pFlowStart) return static_cast<CFlowStart*>(p);
    return nullptr;
}

int CFlowDecision::ExitFor(bool result, int orientation)
{
    const bool straight = orientation == 0 || orientation == 3;
    return result == straight ? 1 : 2;
}

int CFlowDecision::Validate()
{
    CFlowStart* flowchart = GetFlowchart();
    if (!flowchart) {
        m_nChosenExit = 1;
        return m_nErrorCode = FLOW_ERR_NO_CHIP;
    }
    int value = flowchart->ReadInput(m_strInputLabel);
    if (value == -5) return m_nErrorCode = FLOW_ERR_NO_INPUT;
    if (value == -1) {
        // No microcontroller answers: the input reads 0.
        value = 0;
    } else if ((flowchart->IsInputDigital(m_strInputLabel) ? 1 : 0) != m_bDigital) {
        return m_nErrorCode = m_bDigital ? FLOW_ERR_PORT_ANALOG : FLOW_ERR_PORT_DIGITAL;
    }
    bool result = false;
    if (m_bDigital) {
        const CCircuit* design = GetDesign();
        const int range = design ? design->GetAnalogRange() : 255;
        result = (value == range) == (m_bTestForOn != 0);
    } else {
        int right = 0;
        if (m_bCompareVariable) {
            right = flowchart->GetVariable(m_strVariable);
            if (right == -1) return m_nErrorCode = FLOW_ERR_NO_VALUE;
        } else {
            const double c = m_parameter.value;
            right = c >= 2e9 ? 2000000000 : c <= -2e9 ? -2000000000 : static_cast<int>(c);
        }
        switch (m_nOperator) {
        case 0: result = value == right; break;
        case 1: result = value > right; break;
        case 2: result = value >= right; break;
        case 3: result = value < right; break;
        case 4: result = value <= right; break;
        default: result = value != right; break;
        }
    }
    m_nChosenExit = ExitFor(result, m_nOrientation);
    return m_nErrorCode = kFlowNoError;
}

// ---- properties ----

void CFlowDecision::RefreshInputChoices()
{
    const CCircuit* design = GetDesign();
    if (design && m_pSubStart && GetOwner() == m_pSubStart) {
        const std::vector<CPart*> chips = design->CollectChips();
        if (chips.size() == 1)
            if (auto* chip = dynamic_cast<CFlowChipLink*>(chips.front())) {
                m_strInputChoices = chip->GetInputLabels();
                return;
            }
    }
    if (CFlowStart* flowchart = GetFlowchart()) {
        m_strInputChoices = flowchart->GetInputLabels();
        return;
    }
    const CString input = LoadResString(IDS_FLOW_INPUT);
    m_strInputChoices = input + "0\n" + input + "1\n" + input + "2\n" + input + "3";
}

int CFlowDecision::FillProperties(CControlItemList& items)
{
    RefreshInputChoices();
    const CCircuit* design = GetDesign();
    SetEditValueLimits(0.0, design ? design->GetAnalogRange() : 255, kPrefixNone, kPrefixNone);
    m_parameter.SetTypeCode(kEditLimitsRow);
    items.AddStandardItems(4);
    // Several microcontrollers and a subroutine: which one's pins is not
    // known, so the input is typed.
    const bool typed = design && m_pSubStart && GetOwner() == m_pSubStart && design->CollectChips().size() > 1;
    if (typed) items.Add(CControlItem(CI_EDIT, CString(), IDC_DECISION_INPUT, 120));
    else items.Add(CControlItem(CI_DROPLIST, m_strInputChoices, IDC_DECISION_INPUT, 120));
    items.Add(CControlItem(CI_STATIC, CString(" "), IDC_DECISION_GAP, 10));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_FLOW_TESTS), IDC_DECISION_TEST, 50));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_DECISION_VALUE, 100));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_FLOW_QUESTION), IDC_DECISION_QUESTION, 12));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_DECISION, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowDecision::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_DECISION_INPUT, m_strInputLabel, -1);
    items.SetItemText(IDC_DECISION_TEST, m_strName, -1);
    items.SetItemText(IDC_DECISION_VALUE, m_bCompareVariable ? m_strVariable : m_parameter.Format(), -1);
    return 3;
}

int CFlowDecision::IsPropertyChecked(int commandId, int& enabled)
{
    const int checked = CFlowObject::IsPropertyChecked(commandId, enabled);
    if (commandId == IDC_DECISION_VALUE) enabled = m_bDigital ? 0 : 1;
    return checked;
}

int CFlowDecision::OnPropertyCommand(int commandId, const CString& text)
{
    int choice = 0;
    if (commandId == IDC_DECISION_INPUT) {
        m_strInputLabel = text;
        choice = kChoiceInput;
    } else if (commandId == IDC_DECISION_TEST) {
        m_strName = text;
        choice = kChoiceTest;
    } else if (commandId == IDC_DECISION_VALUE) {
        if (ReadsAsNonZero(text)) {
            double v = 0.0;
            ParseDouble(text, v);
            m_parameter.SetValue(v, kPrefixNone);
            m_bCompareVariable = 0;
        } else if (!text.empty() && text[0] == '0') {
            m_parameter.SetValue(0.0, kPrefixNone);
            m_bCompareVariable = 0;
        } else if (!text.empty()) {
            m_strVariable = text;
            m_bCompareVariable = 1;
        } else {
            return 0;
        }
        choice = kChoiceValue;
    } else {
        return CFlowObject::OnPropertyCommand(commandId, text);
    }
    ApplyControlChoice(choice);
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}

void CFlowDecision::ApplyControlChoice(int choice)
{
    if (choice != kChoiceTest) return;
    if (m_strName == LoadResString(IDS_FLOW_ON)) {
        m_bDigital = 1;
        m_bTestForOn = 1;
        return;
    }
    if (m_strName == LoadResString(IDS_FLOW_OFF)) {
        m_bDigital = 1;
        m_bTestForOn = 0;
        return;
    }
    m_bDigital = 0;
    for (unsigned i = 0; i < kOperatorCount; ++i)
        if (m_strName == kOperators[i]) m_nOperator = i;
}

void CFlowDecision::UpdateCaption()
{
    CString label = m_strInputLabel.empty() ? CString(" ") : m_strInputLabel;
    CString variable = m_strVariable;
    bool labelCut = false, variableCut = false;
    auto build = [&]() {
        CString c = label + (labelCut ? ".." : "") + " " + m_strName;
        if (!m_bDigital) {
            c += m_bCompareVariable ? variable + (variableCut ? ".." : "") : m_parameter.Format();
            c += " ";
        }
        return c + "?";
    };
    CFlowMeterMessage* message = GetMessageLabel();
    CString caption = build();
    // The variable's name gives way first, down to one character, then the
    // input's label.
    while (message && message->TextOverflows(caption)) {
        if (!m_bDigital && m_bCompareVariable && variable.size() > 1) {
            variable.pop_back();
            variableCut = true;
        } else if (label.size() > 1) {
            label.pop_back();
            labelCut = true;
        } else {
            break;
        }
        caption = build();
    }
    m_strCaption = caption;
    m_strMessageTag = caption;
    RefreshMessage();
}

// ---- export ----

void CFlowDecision::GetBasicText(CString& out, int* code, CFlowObject* exporting)
{
    CFlowStart* flowchart = dynamic_cast<CFlowStart*>(exporting);
    if (!flowchart) flowchart = GetFlowchart();
    const FlowDialect dialect = GetFlowDialect(GetDesign());
    int result = 0;
    if (!m_bDigital) {
        const CString cls = flowchart ? flowchart->GetMicrocontrollerClass() : CString();
        const bool noAnalogue = cls == "STAMP" || cls == "18 pin PIC";
        const int analogPin = flowchart ? flowchart->GetAnalogPinIndex(m_strInputLabel) : kNoSuchPin;
        if (noAnalogue) result = kCodeNoAnalogueOnClass;
        if (analogPin == kNoSuchPin) result = kCodeNotAnInput;
        if (noAnalogue && flowchart && flowchart->HasChip()) result = kCodeChipHasNoAnalogue;
        if (flowchart && flowchart->GetInputPinIndex(m_strInputLabel) != kNoSuchPin) result = kCodeDigitalForComparison;
        const CString right = m_bCompareVariable ? m_strVariable : FormatInt(static_cast<long long>(m_parameter.value));
        out = "readADC " + FormatInt(analogPin) + ", analog\n" + CString(13, ' ') + "if analog" +
              kOperators[m_nOperator < kOperatorCount ? m_nOperator : 0] + right + " then ";
    } else {
        if (!flowchart || flowchart->GetInputPinIndex(m_strInputLabel) == kNoSuchPin) result = kCodeNotAnInput;
        if (flowchart && flowchart->GetAnalogPinIndex(m_strInputLabel) != kNoSuchPin)
            result = kCodeAnalogueForDigital;
        out = "if " + m_strInputLabel;
        if (dialect == FlowDialect::BasicC1) out += m_bTestForOn ? " = 1" : " = 0";
        else out += m_bTestForOn ? " is on" : " is off";
        out += " then ";
    }
    if (code) *code = result;
}

void CFlowDecision::GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting)
{
    CFlowStart* flowchart = dynamic_cast<CFlowStart*>(exporting);
    if (!flowchart) flowchart = GetFlowchart();
    const int pin = flowchart ? flowchart->GetInputPinIndex(m_strInputLabel) : kNoSuchPin;
    m_nPinNumber = static_cast<unsigned>(pin);
    const FlowDialect dialect = GetFlowDialect(GetDesign());
    const bool c1 = dialect == FlowDialect::BasicC1;
    bool standard = false;
    if (!c1)
        for (int i = 0; i < 8; ++i)
            if (m_strInputLabel == "Input" + std::to_string(i)) standard = true;
    out.Empty();
    int k = 0;
    if (m_bDigital) {
        const CString name = CString(c1 ? "pin" : "Input") + FormatInt(pin);
        if (m_strInputLabel != name && !standard) {
            out = m_strInputLabel + " = " + name;
            k = 3;
        }
    } else if (!standard) {
        out = "analog";
        k = 1;
    }
    if (kind) *kind = k;
}
