#include "flowchart/flow_motor.h"

#include "flowchart/chip.h"
#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_output.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <cmath>

WB_IMPLEMENT_SERIAL(CFlowMotor, "CFlowObject", 2)

namespace {
constexpr int IDC_MOTOR_NAME = 36053;
constexpr int IDC_MOTOR_DIRECTION = 36065;
constexpr int IDC_MOTOR_PIN_LABEL = 36052;
constexpr int IDC_MOTOR_PIN = 36059;
constexpr int IDC_ADD_MOTOR = 33502;
constexpr unsigned IDS_MOTOR_A = 24349;
constexpr unsigned IDS_FORWARDS = 24350;
constexpr unsigned IDS_HALT = 24351;
constexpr unsigned IDS_BACKWARDS = 24352;
constexpr unsigned IDS_DIRECTIONS = 24353;
constexpr unsigned IDS_LOWER_PIN = 24354;
constexpr unsigned IDS_MOTOR = 24355;
constexpr unsigned IDS_OUTPUT_SPACED = 24356;
constexpr int kChoiceMotor = 1, kChoicePin = 2, kChoiceDirection = 3;
constexpr int kForwards = 0, kHalt = 1, kBackwards = 2;
// Sixteen outputs make at most eight pairs, "Motor A" to "Motor H".
constexpr float kMostMotors = 8.0f;
// The output table keeps one line less than its room.
constexpr int kOfferedEntries = 15;
} // namespace

CFlowMotor::CFlowMotor()
{
    m_pVisual = FlowVisual("CFlowMotor");
    m_strName = LoadResString(IDS_FLOW_OUTPUT) + "0";
    m_strDirection = LoadResString(IDS_FORWARDS);
    m_strMotor = LoadResString(IDS_MOTOR_A);
    m_legacyPairs[0] = "(I/O 4 , I/O 5)";
    m_legacyPairs[1] = "(I/O 5 , I/O 6)";
    m_legacyPairs[2] = "(I/O 6 , I/O 7)";
    const CString motor = LoadResString(IDS_MOTOR);
    for (char letter = 'A'; letter <= 'H'; ++letter) {
        if (letter != 'A') m_strMotorChoices += "\n";
        m_strMotorChoices += motor + letter + " ";
    }
    m_outputEntries[0] = "Output 1";
    m_outputEntries[1] = "Output 2";
    m_outputEntries[2] = "Output3";
    m_strCaption = m_strMotor + " " + m_strDirection;
    m_strMessageTag = m_strMotor + " (" + LoadResString(IDS_OUTPUT_SPACED) + "0) " + m_strDirection;
}

void CFlowMotor::CreateChildren()
{
    CFlowObject::CreateChildren();
    UpdateCaption();
}

// ---- archive ----

void CFlowMotor::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    const bool hasTable = IsVersionAtLeast(ar.GetVersion(), 0x10B3, 0x20B5);
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(m_nPinNumber) << static_cast<LONG>(m_nDirection) << m_strDirection << m_strMotor;
        for (const CString& p : m_legacyPairs) ar << p;
        ar << m_strOutputChoices;
        // Written only where the reader takes them: in an older tree these
        // bytes would be read as the next record.
        if (!hasTable) return;
        ar << m_fMotorCount << m_strMotorChoices;
        for (const CString& e : m_outputEntries) ar << e;
        return;
    }
    LONG pin = 0, direction = 0;
    ar >> pin >> direction >> m_strDirection >> m_strMotor;
    for (CString& p : m_legacyPairs) ar >> p;
    ar >> m_strOutputChoices;
    if (hasTable) {
        ar >> m_fMotorCount >> m_strMotorChoices;
        for (CString& e : m_outputEntries) ar >> e;
    }
    m_nPinNumber = static_cast<int>(pin);
    // Only the three directions exist; anything else is taken as forwards,
    // as an unknown direction text is.
    m_nDirection = direction == kHalt || direction == kBackwards ? static_cast<int>(direction) : kForwards;
    if (!(m_fMotorCount >= 0.0f && m_fMotorCount <= kMostMotors)) m_fMotorCount = kMostMotors;
}

// ---- running ----

int CFlowMotor::Validate()
{
    CFlowStart* flowchart = RunningFlowchart(*this);
    const bool driven = flowchart && flowchart->DriveMotor(m_strName, m_nDirection) != 0;
    m_nErrorCode = driven ? kFlowNoError : FLOW_ERR_NO_OUTPUT;
    return m_nErrorCode;
}

// ---- export ----

namespace {
constexpr int kCodeNoOutputLabel = 834;
constexpr int kCodeMotorPins = 2008;
constexpr int kCodeNoMotorLabels = 2009;
constexpr int kCodeNotMotorPins = 2010;
constexpr int kCodeInternalName = 2011;
constexpr int kDeclareSymbol = 3;
constexpr int kNoSuchPin = 50;
// A STAMP's BASIC C2 drives motor A from pins 4 and 5, motor B from 6 and 7.
constexpr int kStampMotorA = 4, kStampMotorB = 6, kStampLastPin = 7;

// A motor name without the blanks the older choice lists put after it.
CString TrimmedName(const CString& name)
{
    CString s = name;
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}
} // namespace

void CFlowMotor::GetBasicText(CString& out, int* code, CFlowObject* exporting)
{
    CFlowStart* flowchart = ExportingFlowchart(*this, exporting);
    const CString partner = flowchart ? flowchart->GetNextOutputLabel(m_strName) : CString(kChipNoNextOutput);
    const bool noPartner = partner == kChipNoNextOutput;
    int result = noPartner ? kCodeNoOutputLabel : 0;
    if (GetFlowDialect(GetDesign()) == FlowDialect::BasicC2) {
        const char* verb = m_nDirection == kBackwards ? "backward " : m_nDirection == kHalt ? "halt " : "forward ";
        out = verb + m_strMotor + "\n";
        const CString motor = TrimmedName(m_strMotor);
        const CString motorA = LoadResString(IDS_MOTOR_A);
        const CString motorB = LoadResString(IDS_MOTOR) + "B";
        if (flowchart) m_nPinNumber = flowchart->GetOutputPinNumber(m_strName);
        if (!flowchart || flowchart->GetMicrocontrollerClass() != "STAMP") {
            result = kCodeNoMotorLabels;
        } else {
            if (m_nPinNumber == kStampMotorA) {
                if (motor != motorA) result = kCodeMotorPins;
            } else if (m_nPinNumber == kStampMotorB) {
                if (motor == motorA) result = kCodeMotorPins;
            } else if (m_nPinNumber >= 0 && m_nPinNumber <= kStampLastPin) {
                result = kCodeNotMotorPins;
            } else {
                result = kCodeNoOutputLabel;
            }
        }
        // The compiler knows motors A and B only.
        if (motor != motorA && motor != motorB) result = kCodeInternalName;
    } else {
        const char* lower = m_nDirection == kForwards ? "high " : "low ";
        const char* upper = m_nDirection == kBackwards ? "high " : "low ";
        out = lower + m_strName + "\n            " + upper + partner + "\n";
    }
    if (code) *code = result;
}

void CFlowMotor::GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting)
{
    CFlowStart* flowchart = ExportingFlowchart(*this, exporting);
    const CString partner = flowchart ? flowchart->GetNextOutputLabel(m_strName) : CString(kChipNoNextOutput);
    out.Empty();
    if (kind) *kind = 0;
    if (GetFlowDialect(GetDesign()) != FlowDialect::BasicC1) {
        out = partner + " = ";
        return;
    }
    if (!flowchart) return;
    const int offset = flowchart->GetMicrocontrollerClass() == "STAMP" ? 0 : flowchart->GetOutputPinOffset();
    auto number = [&](const CString& pin) {
        const int n = flowchart->GetOutputPinNumber(pin);
        return FormatInt(n == kNoSuchPin ? n : n - offset);
    };
    flowchart->Declare(m_strName + " = " + number(m_strName), kDeclareSymbol);
    out = partner + " = " + number(partner);
    if (kind) *kind = kDeclareSymbol;
}

// ---- caption ----

void CFlowMotor::UpdateCaption()
{
    m_strCaption = m_strMotor + " " + m_strDirection;
    m_strMessageTag = m_strMotor + " (" + m_strName + ") " + m_strDirection;
    RefreshMessage();
}

// ---- properties ----

void CFlowMotor::RefreshChoices()
{
    const CCircuit* design = GetDesign();
    CString offered;
    if (design && m_pSubStart && GetOwner() == m_pSubStart) {
        // A subroutine runs for any flowchart: only the design's one
        // microcontroller, when there is one alone, is known to be meant.
        const std::vector<CPart*> chips = design->CollectChips();
        if (chips.empty()) offered = DefaultOutputNames(2);
        else if (chips.size() == 1)
            if (auto* chip = dynamic_cast<CFlowChipLink*>(chips.front())) offered = chip->GetMotorLabels();
    } else if (CFlowStart* flowchart = RunningFlowchart(*this)) {
        offered = flowchart->GetMotorLabels();
    } else {
        offered = DefaultOutputNames(2);
    }
    m_strOutputChoices = offered;
    for (CString& e : m_outputEntries) e.Empty();
    int count = 0;
    size_t from = 0;
    while (!offered.empty() && from <= offered.size() && count < kOfferedEntries) {
        size_t end = offered.find('\n', from);
        if (end == CString::npos) end = offered.size();
        m_outputEntries[count++] = offered.substr(from, end - from);
        from = end + 1;
    }
    // The list runs from the highest lower pin down, a pin apart: the last
    // entry's index + 2 halved is the number of pairs (an odd number of
    // outputs leaves half a pair, which names no motor).
    m_fMotorCount = static_cast<float>(count - 1 + 2) / 2.0f;
    const CString motor = LoadResString(IDS_MOTOR);
    m_strMotorChoices.Empty();
    for (int i = 0; i < static_cast<int>(m_fMotorCount); ++i) {
        if (i) m_strMotorChoices += "\n";
        m_strMotorChoices += motor + static_cast<char>('A' + i);
    }
}

int CFlowMotor::FillProperties(CControlItemList& items)
{
    RefreshChoices();
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_DROPLIST, m_strMotorChoices, IDC_MOTOR_NAME, 75));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_DIRECTIONS), IDC_MOTOR_DIRECTION, 90));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_LOWER_PIN), IDC_MOTOR_PIN_LABEL, 60));
    // Several microcontrollers and a subroutine: which one's pins is not
    // known, so the pin is typed.
    const bool typed = m_pSubStart && GetOwner() == m_pSubStart && CountChips() > 1;
    if (typed) items.Add(CControlItem(CI_EDIT, CString(), IDC_MOTOR_PIN, 100));
    else items.Add(CControlItem(CI_DROPLIST, m_strOutputChoices, IDC_MOTOR_PIN, 100));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_MOTOR, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CFlowMotor::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_MOTOR_NAME, m_strMotor, -1);
    items.SetItemText(IDC_MOTOR_PIN, m_strName, -1);
    items.SetItemText(IDC_MOTOR_DIRECTION, m_strDirection, -1);
    return 3;
}

int CFlowMotor::OnPropertyCommand(int commandId, const CString& text)
{
    int choice = 0;
    switch (commandId) {
    case IDC_MOTOR_NAME:
        m_strMotor = text;
        choice = kChoiceMotor;
        break;
    case IDC_MOTOR_PIN:
        m_strName = text;
        choice = kChoicePin;
        break;
    case IDC_MOTOR_DIRECTION:
        m_strDirection = text;
        choice = kChoiceDirection;
        break;
    default: return 0;
    }
    ApplyControlChoice(choice);
    UpdateCaption();
    RefreshBasicViewers();
    return 65;
}

void CFlowMotor::ApplyControlChoice(int choice)
{
    if (choice == kChoiceMotor) {
        // The motor's letter counts the pairs up from the lowest; the
        // table lists the lower pins from the highest down.
        int k = 0;
        for (size_t i = m_strMotor.size(); i-- > 0;)
            if (m_strMotor[i] >= 'A' && m_strMotor[i] <= 'Z') {
                k = m_strMotor[i] - 'A';
                break;
            }
        const int entry = TruncateToInt(2.0 * m_fMotorCount - 2.0 - 2.0 * k);
        if (entry >= 0 && entry < kOutputEntries && !m_outputEntries[entry].empty()) m_strName = m_outputEntries[entry];
    } else if (choice == kChoicePin) {
        m_nPinNumber = m_strName == m_legacyPairs[2] ? 2 : m_strName == m_legacyPairs[1] ? 1 : 0;
    } else if (choice == kChoiceDirection) {
        if (m_strDirection == LoadResString(IDS_BACKWARDS)) m_nDirection = kBackwards;
        else if (m_strDirection == LoadResString(IDS_HALT)) m_nDirection = kHalt;
        else m_nDirection = kForwards;
    }
}
