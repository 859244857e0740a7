#include "flowchart/flow_xanal.h"

#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <cstdlib>

WB_IMPLEMENT_SERIAL(CFlowXanal, "CFlowObject", 2)

namespace {
constexpr int IDC_XANAL_NAME = 36053;
constexpr int IDC_XANAL_EQUALS = 36052;
constexpr int IDC_XANAL_INPUT = 36059;
constexpr int IDC_ADD_XANAL = 33888;
constexpr unsigned IDS_EQUALS = 24368;
constexpr int kCodeChipHasNoAnalogue = 1013;
// The highest channel number the export prints as it is.
constexpr int kHighestChannel = 10;
// ReadInput's answers: no microcontroller, no input of that name.
constexpr int kReadNoChip = -1;
constexpr int kReadNoInput = -5;

CString DefaultAnalogInput() { return LoadResString(IDS_FLOW_ANALOG_INPUT) + "0"; }
} // namespace

CFlowXanal::CFlowXanal()
{
    m_pVisual = FlowVisual("CFlowXanal");
    m_strName = "x";
    m_strInput = DefaultAnalogInput();
    m_strCaption = m_strName + LoadResString(IDS_EQUALS) + m_strInput;
    m_strMessageTag = m_strCaption;
}

void CFlowXanal::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

void CFlowXanal::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) ar << m_strInput;
    else ar >> m_strInput;
}

// ---- running ----

int CFlowXanal::Validate()
{
    m_nErrorCode = kFlowNoError;
    CFlowStart* flowchart = RunningFlowchart(*this);
    if (!flowchart) return m_nErrorCode = FLOW_ERR_NO_CHIP;
    const int v = flowchart->ReadInput(m_strInput);
    if (v == kReadNoInput) return m_nErrorCode = FLOW_ERR_NO_INPUT;
    int value = v;
    if (v == kReadNoChip) {
        // A flowchart without its microcontroller still runs: it reads 0.
        value = 0;
    } else if (v > FlowVariableRange(GetDesign())) {
        return m_nErrorCode = FLOW_ERR_RANGE;
    } else if (flowchart->IsInputDigital(m_strInput)) {
        return m_nErrorCode = FLOW_ERR_PORT_DIGITAL;
    }
    if (flowchart->AddVariable(m_strName)) return m_nErrorCode = FLOW_ERR_TOO_MANY_VARIABLES;
    flowchart->SetVariable(m_strName, value);
    return m_nErrorCode;
}

// ---- export ----

CString CFlowXanal::ChannelText(int channel, const CString& label)
{
    if (channel <= kHighestChannel || label.empty()) return FormatInt(channel);
    const CString last(1, label.back());
    return std::atoi(last.c_str()) == 0 ? CString("0") : last;
}

void CFlowXanal::GetBasicText(CString& out, int* code, CFlowObject* exporting)
{
    CFlowStart* flowchart = dynamic_cast<CFlowStart*>(exporting);
    if (!flowchart) flowchart = RunningFlowchart(*this);
    const int channel = flowchart ? flowchart->GetAnalogPinIndex(m_strInput) : 0;
    out = "readADC " + ChannelText(channel, m_strInput) + ", " + m_strName + "\n";
    const CString cls = flowchart ? flowchart->GetMicrocontrollerClass() : CString();
    if (code) *code = cls == "STAMP" || cls == "18 pin PIC" ? kCodeChipHasNoAnalogue : 0;
}

void CFlowXanal::GetBasicDeclarations(CString& out, int* kind, CFlowObject*)
{
    out = m_strName;
    if (kind) *kind = 1;
}

// ---- caption and properties ----

void CFlowXanal::UpdateCaption()
{
    if (m_strName.empty() || m_strName.find(' ') != CString::npos) m_strName = "x";
    if (m_strInput.empty()) m_strInput = DefaultAnalogInput();
    const CString equals = LoadResString(IDS_EQUALS);
    CString name = m_strName, input = m_strInput;
    auto build = [&] { return name + equals + input; };
    m_strMessageTag = build();
    CFlowMeterMessage* label = GetMessageLabel();
    bool nameCut = false, inputCut = false;
    CString caption = m_strMessageTag;
    // A short input name (a_In..) says nothing more: the variable gives
    // way first; a long one gives way itself.
    while (FlowTextOverflows(label, caption)) {
        CString& part = input.size() < 5 ? name : input;
        if (part.empty()) break;
        part.pop_back();
        (&part == &name ? nameCut : inputCut) = true;
        caption = build();
    }
    auto shorten = [](CString& part) {
        part.resize(part.size() >= 3 ? part.size() - 3 : 0);
        part += "..";
    };
    if (nameCut) shorten(name);
    if (inputCut && input.size() >= 5) shorten(input);
    if (nameCut || inputCut) caption = build();
    m_strCaption = caption;
    RefreshMessage();
}

CString CFlowXanal::OfferedInputs() const
{
    const CCircuit* design = GetDesign();
    if (design && m_pSubStart && GetOwner() == m_pSubStart) {
        // A subroutine runs for any flowchart: only the design's one
        // microcontroller, when there is one alone, is known to be meant.
        const std::vector<CPart*> chips = design->CollectChips();
        if (chips.size() == 1)
            if (auto* chip = dynamic_cast<CFlowChipLink*>(chips.front())) return chip->GetAnalogLabels();
        return DefaultAnalogInput();
    }
    if (CFlowStart* flowchart = RunningFlowchart(*this)) return flowchart->GetAnalogLabels();
    return DefaultAnalogInput();
}

int CFlowXanal::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_EDIT, CString(), IDC_XANAL_NAME, 70));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_EQUALS), IDC_XANAL_EQUALS, 15));
    // In a subroutine of a design with several microcontrollers no one
    // list is right: the input's name is typed.
    const CCircuit* design = GetDesign();
    const bool typed = design && m_pSubStart && GetOwner() == m_pSubStart && design->CollectChips().size() > 1;
    if (typed) items.Add(CControlItem(CI_EDIT, CString(), IDC_XANAL_INPUT, 100));
    else items.Add(CControlItem(CI_DROPLIST, OfferedInputs(), IDC_XANAL_INPUT, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_XANAL, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowXanal::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_XANAL_NAME, m_strName, -1);
    items.SetItemText(IDC_XANAL_INPUT, m_strInput, -1);
    return 2;
}

int CFlowXanal::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == IDC_XANAL_NAME) m_strName = text;
    else if (commandId == IDC_XANAL_INPUT) m_strInput = text;
    else return CFlowObject::OnPropertyCommand(commandId, text);
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}
