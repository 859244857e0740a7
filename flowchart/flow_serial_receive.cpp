// CFlowReceive: the record, waiting for a sender and taking its values,
// and the property toolbar that names the six target variables.
#include "flowchart/flow_serial.h"

#include "flowchart/flow_chip_link.h"
#include "flowchart/flow_errors.h"
#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CFlowReceive, "CFlowObject", 2)

namespace {
constexpr int IDC_RECEIVE_LABEL = 36052;
constexpr int IDC_RECEIVE_ADDRESS = 36053;
constexpr int IDC_RECEIVE_NAME = 36059;
constexpr int IDC_ADD_RECEIVE = 33898;
constexpr unsigned IDS_RECEIVE = 24565;
constexpr unsigned IDS_FIRST_ADDRESS = 24566;
constexpr unsigned IDS_LABEL = 24572;
constexpr int kNoPin = 50;
constexpr int kHandledRefresh = 65;
constexpr int kShortened = 4;
constexpr int kChoiceAddress = 1;
constexpr int kChoiceName = 2;

CString AddressLabel(int i) { return LoadResString(IDS_FIRST_ADDRESS + static_cast<unsigned>(i)); }

CString AddressChoices()
{
    CString out;
    for (int i = 0; i < kSerialAddresses; ++i) out += (i ? "\n" : "") + AddressLabel(i);
    return out;
}

// The default targets: the variable, the port, the four analogue inputs.
CString DefaultTarget(int i)
{
    if (i == 0) return "x";
    if (i == 1) return "rpins";
    return "r_ain" + FormatInt(i - 2);
}
} // namespace

CFlowReceive::CFlowReceive()
{
    m_pVisual = FlowVisual("CFlowReceive");
    m_strSelectedLabel = AddressLabel(0);
    for (int i = 0; i < kSerialAddresses; ++i) m_targets[i] = DefaultTarget(i);
    m_strCaption = LoadResString(IDS_RECEIVE);
    m_strMessageTag = m_strCaption;
}

void CFlowReceive::CreateChildren()
{
    // The six default targets are the constructor's; a part read from a
    // file keeps its own.
    CFlowObject::CreateChildren();
    UpdateCaption();
}

// ---- archive ----

void CFlowReceive::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_bWaiting) << static_cast<DWORD>(m_bReceived) << static_cast<DWORD>(m_nLineSamples)
           << static_cast<DWORD>(m_nSelected) << m_strSelectedLabel << m_strEdited;
        for (const CString& t : m_targets) ar << t;
        return;
    }
    DWORD waiting = 0, received = 0, samples = 0, selected = 0;
    ar >> waiting >> received >> samples >> selected >> m_strSelectedLabel >> m_strEdited;
    for (CString& t : m_targets) ar >> t;
    m_bWaiting = waiting ? 1 : 0;
    m_bReceived = received ? 1 : 0;
    // Only whether the line was seen high counts.
    m_nLineSamples = samples ? 1 : 0;
    // An address outside the six is the first.
    m_nSelected = selected < static_cast<DWORD>(kSerialAddresses) ? static_cast<int>(selected) : 0;
}

// ---- the sender's start ----

bool CFlowReceive::ChipSituationMatches(CFlowStart& flowchart, bool senderHasChip) const
{
    const bool ownChip = flowchart.HasChip() != 0;
    if (ownChip != senderHasChip) return false;
    return !ownChip || flowchart.GetSendPinIndex() != kNoPin;
}

bool CFlowReceive::IsOtherFlowchart(const CFlowObject* start) const
{
    const CFlowStart* own = RunningFlowchart(*this);
    return own && own != start;
}

bool CFlowReceive::CanAccept(bool asked, bool senderHasChip) const
{
    if (!asked) return true;
    CFlowStart* flowchart = RunningFlowchart(*this);
    return flowchart && ChipSituationMatches(*flowchart, senderHasChip) && m_bActive;
}

int CFlowReceive::Arm(bool senderHasChip)
{
    CFlowStart* flowchart = RunningFlowchart(*this);
    if (flowchart && ChipSituationMatches(*flowchart, senderHasChip)) m_bWaiting = 1;
    return m_bActive;
}

void CFlowReceive::Deliver(const int values[kSerialAddresses])
{
    if (!m_bWaiting) return;
    CFlowStart* flowchart = RunningFlowchart(*this);
    if (!flowchart) return;
    // On a chip the values come only over a line that the Receive pin saw.
    if (flowchart->HasChip() && m_nLineSamples == 0) return;
    for (int i = 0; i < kSerialAddresses; ++i) flowchart->SetVariable(m_targets[i], std::max(values[i], 0));
    m_bWaiting = 0;
    m_nLineSamples = 0;
    m_bReceived = 1;
}

// ---- running ----

int CFlowReceive::Validate()
{
    m_nErrorCode = kFlowNoError;
    CFlowStart* flowchart = RunningFlowchart(*this);
    if (!flowchart) return m_nErrorCode;
    for (const CString& t : m_targets)
        if (flowchart->AddVariable(t) != 0) m_nErrorCode = FLOW_ERR_TOO_MANY_VARIABLES;
    for (const CString& t : m_targets)
        if (flowchart->HasVariable(t)) flowchart->SetVariable(t, 0);
    return m_nErrorCode;
}

int CFlowReceive::AfterStep()
{
    const int broken = CFlowObject::AfterStep();
    CFlowStart* flowchart = m_bWaiting ? RunningFlowchart(*this) : nullptr;
    if (flowchart && flowchart->HasChip()) {
        const int reading = flowchart->ReadReceivePin();
        if (reading == 0 || reading == 1) m_nLineSamples += reading;
    }
    if (!m_bReceived) {
        // Each step given back: the element holds its flowchart here.
        if (m_bActive && m_nErrorCode == kFlowNoError) ++m_nStepsLeft;
    } else if (m_nStepsLeft == 0) {
        m_bReceived = 0;
    }
    return broken;
}

void CFlowReceive::ResetRun()
{
    CFlowObject::ResetRun();
    m_nErrorCode = kFlowNoError;
    m_bReceived = 0;
    m_bWaiting = 0;
    m_nLineSamples = 0;
}

void CFlowReceive::OnSimulationStopped()
{
    CFlowObject::OnSimulationStopped();
    m_bReceived = 0;
}

// ---- property toolbar ----

int CFlowReceive::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_LABEL), IDC_RECEIVE_LABEL, 40));
    items.Add(CControlItem(CI_DROPLIST, AddressChoices(), IDC_RECEIVE_ADDRESS, 150));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_RECEIVE_NAME, 100));
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), IDC_ADD_RECEIVE, -1, CIO_ADDS_PART));
    return 0;
}

int CFlowReceive::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_RECEIVE_ADDRESS, m_strSelectedLabel, -1);
    items.SetItemText(IDC_RECEIVE_NAME, m_strEdited, -1);
    return 2;
}

int CFlowReceive::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == IDC_RECEIVE_ADDRESS) {
        m_strSelectedLabel = text;
        ApplyChoice(kChoiceAddress);
    } else if (commandId == IDC_RECEIVE_NAME) {
        // A name another address has is cut from its end until it differs
        // from all of them; the box shows it and nothing else changes.
        CString name = text;
        const auto taken = [&](const CString& n) {
            for (int i = 0; i < kSerialAddresses; ++i)
                if (i != m_nSelected && SameNameNoCase(m_targets[i], n)) return true;
            return false;
        };
        if (taken(name)) {
            while (!name.empty() && taken(name)) name.pop_back();
            m_strEdited = name;
            return kShortened;
        }
        m_strEdited = name;
        ApplyChoice(kChoiceName);
    } else {
        return CFlowObject::OnPropertyCommand(commandId, text);
    }
    UpdateCaption();
    RefreshBasicViewers();
    return kHandledRefresh;
}

void CFlowReceive::ApplyChoice(int code)
{
    if (code == kChoiceAddress) {
        for (int i = 0; i < kSerialAddresses; ++i)
            if (m_strSelectedLabel == AddressLabel(i)) m_nSelected = i;
        m_strEdited = m_targets[m_nSelected];
    } else if (code == kChoiceName) {
        // A name with a blank, or none, cannot be a variable: the old one
        // comes back into the box.
        if (m_strEdited.empty() || m_strEdited.find(' ') != CString::npos) m_strEdited = m_targets[m_nSelected];
        else m_targets[m_nSelected] = m_strEdited;
    }
}

void CFlowReceive::UpdateCaption()
{
    m_strCaption = LoadResString(IDS_RECEIVE);
    m_strMessageTag = m_strCaption;
    RefreshMessage();
}
