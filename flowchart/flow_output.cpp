#include "flowchart/flow_output.h"

#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CFlowOutput, "CFlowObject", 2)

namespace {
constexpr int IDC_OUTPUT_MODE = 36053;
constexpr int IDC_OUTPUT_GAP = 36052;
constexpr int IDC_OUTPUT_PIN = 36059;
constexpr int IDC_OUTPUT_VALUE = 36065;
constexpr int IDC_ADD_OUTPUT = 33859;
constexpr unsigned IDS_SWITCH_ON = 24345;
constexpr unsigned IDS_SWITCH_OFF = 24346;
constexpr unsigned IDS_OUTPUTS_EQUAL = 24347;
constexpr unsigned IDS_OUTPUT_MODES = 24348;
constexpr unsigned IDS_OUTPUT_SPACED = 24356;
constexpr int kModeOff = 0, kModeOn = 1, kModeAll = 2;
constexpr int kChoiceMode = 1, kChoicePin = 2, kChoiceValue = 3;
// The set-all value: one bit per output, sixteen outputs at most.
constexpr double kLargestOutputValue = 65535.0;
} // namespace

CString DefaultOutputNames(int highest)
{
    const CString output = LoadResString(IDS_FLOW_OUTPUT);
    CString out;
    for (int n = highest; n >= 0; --n) {
        out += output + FormatInt(n);
        if (n > 0) out += "\n";
    }
    return out;
}

CFlowOutput::CFlowOutput()
{
    m_pVisual = FlowVisual("CFlowOutput");
    m_strName = LoadResString(IDS_SWITCH_ON);
    m_strChoices = LoadResString(IDS_OUTPUT_MODES);
    m_strPin = LoadResString(IDS_FLOW_OUTPUT) + "0";
    for (int i = 0; i < 4; ++i) m_legacyLabels[i] = LoadResString(IDS_OUTPUT_SPACED) + FormatInt(i);
    m_parameter.Assign(0.0, kPrefixNone, CString(), kEditLimitsRow);
    m_strCaption = m_strName + m_strPin;
    m_strMessageTag = m_strCaption;
}

void CFlowOutput::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

// ---- archive ----

void CFlowOutput::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    const bool hasVariableName = IsVersionAtLeast(ar.GetVersion(), 0x10B3, 0x20B7);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_nMode) << m_strPinChoices << m_strPin << static_cast<LONG>(m_nPinNumber);
        for (const CString& l : m_legacyLabels) ar << l;
        ar << static_cast<LONG>(m_bValueIsVariable);
        // Written only where the reader takes it: in an older tree these
        // bytes would be read as the next record.
        if (hasVariableName) ar << m_strValueVariable;
        return;
    }
    LONG mode = 1, pin = 0, isVariable = 1;
    ar >> mode >> m_strPinChoices >> m_strPin >> pin;
    for (CString& l : m_legacyLabels) ar >> l;
    ar >> isVariable;
    if (hasVariableName) ar >> m_strValueVariable;
    // Only the three modes exist; any other number sets every output, as
    // a mode text other than the two switching ones does.
    m_nMode = mode == kModeOff || mode == kModeOn ? static_cast<int>(mode) : kModeAll;
    m_nPinNumber = static_cast<int>(pin);
    m_bValueIsVariable = isVariable ? 1 : 0;
}

// ---- running ----

int CFlowOutput::Validate()
{
    CFlowStart* flowchart = RunningFlowchart(*this);
    int code = kFlowNoError;
    if (m_nMode == kModeAll) {
        if (flowchart) {
            if (m_bValueIsVariable) {
                if (flowchart->SetOutputsFromVariable(m_strValueVariable) == 0) code = FLOW_ERR_NO_VALUE;
            } else {
                flowchart->SetOutput(TruncateToInt(m_parameter.value));
            }
        }
    } else if (!flowchart || flowchart->SetOutputPin(m_strPin, m_nMode) == 0) {
        code = FLOW_ERR_NO_OUTPUT;
    }
    m_nErrorCode = code;
    return code;
}

// ---- export ----

namespace {
constexpr int kCodeNoSuchOutput = 709;
constexpr int kNoSuchPin = 50;
constexpr int kDeclareFlag = 2, kDeclareSymbol = 3;
// The STAMP's pins: inputs low, outputs above them.
constexpr int kStampPins = 8;

// "Output" and one digit 0 to 7: the names the BASIC C2 and assembler
// compilers know themselves.
bool IsStandardOutputName(const CString& name)
{
    const CString prefix = LoadResString(IDS_FLOW_OUTPUT);
    return name.size() == prefix.size() + 1 && name.compare(0, prefix.size(), prefix) == 0 &&
           name.back() >= '0' && name.back() <= '7';
}

// The factor that moves a STAMP's output bits past its inputs.
int StampShift(CFlowStart* flowchart)
{
    const int outputs = flowchart ? flowchart->GetOutputCount() : kStampPins;
    return 1 << std::clamp(kStampPins - outputs, 0, kStampPins - 1);
}
} // namespace

void CFlowOutput::GetBasicText(CString& out, int* code, CFlowObject* exporting)
{
    CFlowStart* flowchart = ExportingFlowchart(*this, exporting);
    const bool c1 = GetFlowDialect(GetDesign()) == FlowDialect::BasicC1;
    const CString cls = flowchart ? flowchart->GetMicrocontrollerClass() : CString();
    int result = 0;
    if (m_nMode != kModeAll) {
        m_nPinNumber = flowchart ? flowchart->GetOutputPinNumber(m_strPin) : kNoSuchPin;
        if (m_nPinNumber == kNoSuchPin) result = kCodeNoSuchOutput;
        const char* verb = m_nMode == kModeOn ? (c1 ? "high " : "switch on ") : (c1 ? "low " : "switch off ");
        out = verb + m_strPin + "\n";
    } else if (m_bValueIsVariable) {
        out = "let pins = " + m_strValueVariable;
        if (cls == "STAMP") out += " * " + FormatInt(StampShift(flowchart));
        out += "\n";
    } else {
        long long v = TruncateToInt(m_parameter.value);
        if (cls == "STAMP") v *= StampShift(flowchart);
        const int digits = cls == "Generic" ? 16 : 8;
        out = "let pins = %";
        for (int bit = digits - 1; bit >= 0; --bit) out += (v >> bit) & 1 ? '1' : '0';
        out += "\n";
    }
    if (code) *code = result;
}

void CFlowOutput::GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting)
{
    CFlowStart* flowchart = ExportingFlowchart(*this, exporting);
    const bool c1 = GetFlowDialect(GetDesign()) == FlowDialect::BasicC1;
    const bool stamp = flowchart && flowchart->GetMicrocontrollerClass() == "STAMP";
    int k = 0;
    if (m_nMode != kModeAll) {
        int n = flowchart ? flowchart->GetOutputPinNumber(m_strPin) : kNoSuchPin;
        // A STAMP's BASIC numbers the pins from its first input, the others
        // from the first output.
        if (n != kNoSuchPin && (!stamp || !c1)) n -= flowchart->GetOutputPinOffset();
        m_nPinNumber = n;
        out = m_strPin + " = " + FormatInt(n);
        k = !c1 && IsStandardOutputName(m_strPin) ? 0 : kDeclareSymbol;
    } else {
        out = m_strValueVariable + " = ";
        if (stamp) k = kDeclareFlag;
    }
    if (kind) *kind = k;
}

// ---- caption ----

void CFlowOutput::UpdateCaption()
{
    const unsigned modeText[] = {IDS_SWITCH_OFF, IDS_SWITCH_ON, IDS_OUTPUTS_EQUAL};
    m_strName = LoadResString(modeText[m_nMode == kModeOff || m_nMode == kModeOn ? m_nMode : kModeAll]);
    CString text = m_strName;
    if (m_nMode != kModeAll) {
        text += m_strPin;
    } else if (m_bValueIsVariable) {
        text += m_strValueVariable;
    } else {
        // The value is a whole number: it is kept as it is shown.
        const int whole = TruncateToInt(m_parameter.value);
        m_parameter.SetValue(whole, kPrefixNone);
        text += FormatInt(whole);
    }
    m_strMessageTag = text;
    m_strCaption = FitWholeCaption(GetMessageLabel(), text);
    RefreshMessage();
}

// ---- properties ----

CString CFlowOutput::OfferedPins() const
{
    const CCircuit* design = GetDesign();
    if (design && m_pSubStart && GetOwner() == m_pSubStart) {
        // A subroutine runs for any flowchart: only the design's one
        // microcontroller, when there is one alone, is known to be meant.
        const std::vector<CPart*> chips = design->CollectChips();
        if (chips.empty()) return DefaultOutputNames(3);
        if (chips.size() > 1) return CString();
        auto* chip = dynamic_cast<CFlowChipLink*>(chips.front());
        return chip ? chip->GetOutputLabels() : CString();
    }
    if (CFlowStart* flowchart = RunningFlowchart(*this)) return flowchart->GetOutputLabels();
    return DefaultOutputNames(3);
}

int CFlowOutput::FillProperties(CControlItemList& items)
{
    m_strPinChoices = OfferedPins();
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_OUTPUT_MODES), IDC_OUTPUT_MODE, 90));
    items.Add(CControlItem(CI_STATIC, CString(" "), IDC_OUTPUT_GAP, 10));
    items.Add(CControlItem(CI_DROPLIST, m_strPinChoices, IDC_OUTPUT_PIN, 100));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_OUTPUT_VALUE, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_OUTPUT, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowOutput::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_OUTPUT_MODE, m_strName, -1);
    items.SetItemText(IDC_OUTPUT_PIN, m_strPin, -1);
    items.SetItemText(IDC_OUTPUT_VALUE,
                      m_bValueIsVariable ? m_strValueVariable : FormatInt(TruncateToInt(m_parameter.value)), -1);
    return 3;
}

int CFlowOutput::IsPropertyChecked(int commandId, int& enabled)
{
    const int checked = CFlowObject::IsPropertyChecked(commandId, enabled);
    if (m_nMode == kModeAll && commandId == IDC_OUTPUT_PIN) enabled = 0;
    if (m_nMode != kModeAll && commandId == IDC_OUTPUT_VALUE) enabled = 0;
    return checked;
}

int CFlowOutput::OnPropertyCommand(int commandId, const CString& text)
{
    int choice = 0;
    int result = 65;
    switch (commandId) {
    case IDC_OUTPUT_MODE:
        m_strName = text;
        choice = kChoiceMode;
        // The pin and value boxes change places: the toolbar is laid out
        // again.
        result = 17;
        break;
    case IDC_OUTPUT_PIN:
        m_strPin = text;
        m_bValueIsVariable = 1;
        choice = kChoicePin;
        break;
    case IDC_OUTPUT_VALUE:
        // The operand's status with 0x40; an unchanged number may still
        // have taken the place of a variable, so it counts as taken.
        result = ClassifyOperand(text, m_parameter, m_strValueVariable, m_bValueIsVariable, kLargestOutputValue);
        result = (result == 0 ? 1 : result) | 0x40;
        choice = kChoiceValue;
        break;
    default: return CFlowObject::OnPropertyCommand(commandId, text);
    }
    ApplyControlChoice(choice);
    UpdateCaption();
    RefreshBasicViewers();
    return result;
}

void CFlowOutput::ApplyControlChoice(int choice)
{
    if (choice == kChoiceMode) {
        if (m_strName == LoadResString(IDS_SWITCH_ON)) m_nMode = kModeOn;
        else if (m_strName == LoadResString(IDS_SWITCH_OFF)) m_nMode = kModeOff;
        else m_nMode = kModeAll;
    } else if (choice == kChoicePin) {
        m_nPinNumber = 4;
        for (int i = 0; i < 4; ++i)
            if (m_strPin == m_legacyLabels[i]) m_nPinNumber = i;
    } else if (choice == kChoiceValue && m_bValueIsVariable) {
        CleanTypedName(m_strValueVariable, "x");
    }
}
