// CFlowSend: the record, the transfer, the caption, the property toolbar
// and the "Advanced Send Options" hook.
#include "flowchart/flow_serial.h"

#include "flowchart/flow_operand.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_visuals.h"
#include "model/circuit/circuit.h"
#include "model/display/bitmap256.h"
#include "model/parts/controlitem.h"
#include "model/parts/part_records.h"
#include "platform/numtext.h"
#include "platform/strings.h"

#include <algorithm>
#include <iterator>

WB_IMPLEMENT_SERIAL(CFlowSend, "CFlowObject", 2)

namespace {
constexpr int IDC_SEND_NAME = 36053;
constexpr int IDC_SEND_COUNT = 36059;
constexpr int IDC_SEND_OPTIONS = 36074;
constexpr int IDC_SEND_VARIABLE = 36111;
constexpr int IDC_SEND_DIGITAL = 36112;
constexpr int IDC_SEND_ANALOGUE = 36113;
constexpr int IDC_AS_DRAWN = 36043;
constexpr int IDC_ADD_SEND = 33897;
constexpr int kButtonStrip = 598;
constexpr int kButtonIds[] = {IDC_SEND_VARIABLE, IDC_SEND_DIGITAL, IDC_SEND_ANALOGUE, IDC_SEND_OPTIONS, IDC_AS_DRAWN};
constexpr unsigned IDS_SEND = 24560;
constexpr unsigned IDS_NOTHING_SENT = 24561;
constexpr unsigned IDS_DIGITAL_PORT = 24562;
constexpr unsigned IDS_ANALOG = 24563;
constexpr unsigned IDS_NEXT_LINE = 24564;
constexpr unsigned IDS_COUNTS = 24573;
// A name this long or longer is cut to 6 characters and "..".
constexpr size_t kLongName = 7;
constexpr size_t kShortName = 6;
// The largest value the line's byte carries.
constexpr int kLargestByte = 255;
constexpr int kHandledRefresh = 65;

CFlowSendDialogHost* g_sendHost = nullptr;

int ReadSmall(CArchive& ar)
{
    DWORD v = 0;
    ar >> v;
    return static_cast<int>(v);
}
} // namespace

CFlowSendDialogHost* CFlowSendDialogHost::Current() { return g_sendHost; }

CFlowSendDialogHost* CFlowSendDialogHost::Install(CFlowSendDialogHost* host)
{
    CFlowSendDialogHost* old = g_sendHost;
    g_sendHost = host;
    return old;
}

CFlowSend::CFlowSend()
{
    m_pVisual = FlowVisual("CFlowSend");
    m_strChoices = LoadResString(IDS_COUNTS);
    m_strCaption = LoadResString(IDS_SEND);
    m_strMessageTag = m_strCaption;
}

void CFlowSend::CreateChildren()
{
    // A new element sends nothing yet; one read from a file keeps the
    // transfer it was saved in.
    const bool fresh = m_terminals.empty();
    CFlowObject::CreateChildren();
    if (fresh) std::fill(std::begin(m_values), std::end(m_values), kSerialNotSent);
    UpdateCaption();
}

// ---- archive ----

void CFlowSend::Serialize(CArchive& ar)
{
    CFlowObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_nStepCount) << static_cast<DWORD>(m_bSending) << static_cast<DWORD>(m_bSendAnalogue)
           << static_cast<DWORD>(m_bWhole) << static_cast<DWORD>(m_bSendDigital) << static_cast<DWORD>(m_bSendVariable)
           << static_cast<DWORD>(m_nAnalogueCount);
        for (int v : m_values) ar << static_cast<DWORD>(v);
        return;
    }
    const int steps = ReadSmall(ar);
    m_bSending = ReadSmall(ar) ? 1 : 0;
    m_bSendAnalogue = ReadSmall(ar) ? 1 : 0;
    m_bWhole = ReadSmall(ar) ? 1 : 0;
    m_bSendDigital = ReadSmall(ar) ? 1 : 0;
    m_bSendVariable = ReadSmall(ar) ? 1 : 0;
    const int count = ReadSmall(ar);
    for (int& v : m_values) v = ReadSmall(ar);
    // A transfer read mid-way goes on from where it stood; a count beyond
    // any transfer, or an analogue count outside 1..4, is brought back.
    m_nStepCount = std::clamp(steps, 0, kSerialFrameSteps * (kSerialAddresses + 1));
    m_nAnalogueCount = std::clamp(count, 1, 4);
    for (int& v : m_values)
        if (v < 0 || v > kLargestByte) v = kSerialNotSent;
}

// ---- the transfer ----

int CFlowSend::TransferSteps(bool hasChip) const
{
    if (!hasChip) return 1;
    if (!m_bWhole) return kSerialFrameSteps;
    return kSerialFrameSteps * (m_bSendVariable + m_bSendDigital + AnalogueInputsSent() + 1);
}

int CFlowSend::Validate()
{
    m_nErrorCode = kFlowNoError;
    CFlowStart* flowchart = RunningFlowchart(*this);
    const bool hasChip = flowchart && flowchart->HasChip();
    if ((m_bSendDigital || m_bSendAnalogue) && !hasChip) return m_nErrorCode;
    std::fill(std::begin(m_values), std::end(m_values), kSerialNotSent);
    if (m_bSendVariable) {
        // A name the flowchart lacks, or one without a value, sends 0.  The
        // line carries one byte: a value above it cannot be sent whatever
        // the range, nor the marker of a result above the range.
        const int value = flowchart ? flowchart->GetVariable(m_strVariable) : kFlowNoValue;
        const int limit = std::min(FlowVariableRange(GetDesign()), kLargestByte);
        if (value > limit || value == kFlowAboveRange) m_nErrorCode = kSerialErrRange;
        else m_values[0] = value < 0 ? 0 : value;
    }
    if (m_bSendDigital) m_values[1] = std::max(flowchart->ReadDigitalByte(), 0);
    for (int i = 0; i < AnalogueInputsSent(); ++i) m_values[2 + i] = std::max(flowchart->ReadAnalogInput(i), 0);
    if (m_nErrorCode != kFlowNoError) {
        std::fill(std::begin(m_values), std::end(m_values), kSerialNotSent);
        return m_nErrorCode;
    }
    m_bSending = 1;
    m_nStepCount = 0;
    if (flowchart) {
        flowchart->ArmReceivers(hasChip);
        if (hasChip) flowchart->StartTransmission(m_values, m_bWhole != 0);
    }
    return m_nErrorCode;
}

int CFlowSend::AfterStep()
{
    const int broken = CFlowObject::AfterStep();
    if (!m_bSending) return broken;
    CFlowStart* flowchart = RunningFlowchart(*this);
    const bool hasChip = flowchart && flowchart->HasChip();
    ++m_nStepCount;
    if (m_nStepCount < TransferSteps(hasChip) || m_nErrorCode != kFlowNoError) return broken;
    // The frames have passed: the values reach the receivers at once; the
    // bits on the Send pin are the line the user sees.
    if (flowchart) flowchart->DeliverToReceivers(m_values);
    std::fill(std::begin(m_values), std::end(m_values), kSerialNotSent);
    m_nStepCount = 0;
    m_bSending = 0;
    return broken;
}

double CFlowSend::GetRunTime()
{
    const CCircuit* design = GetDesign();
    if (!design) return 0.0;
    CFlowStart* flowchart = RunningFlowchart(*this);
    const double step = design->GetFlowTimeStep();
    if (!flowchart || !flowchart->HasChip()) return step;
    const double rate = design->GetUpdateRate();
    return rate > 0.0 ? step + TransferSteps(true) / rate : step;
}

void CFlowSend::ResetRun()
{
    CFlowObject::ResetRun();
    std::fill(std::begin(m_values), std::end(m_values), kSerialNotSent);
    m_bSending = 0;
    m_nStepCount = 0;
}

// ---- caption ----

void CFlowSend::UpdateCaption()
{
    CleanTypedName(m_strVariable, "x");
    std::vector<CString> items;
    if (m_bSendVariable)
        items.push_back(m_strVariable.size() >= kLongName ? m_strVariable.substr(0, kShortName) + ".." : m_strVariable);
    if (m_bSendDigital) items.push_back(LoadResString(IDS_DIGITAL_PORT));
    if (m_bSendAnalogue) items.push_back(FormatInt(m_nAnalogueCount) + LoadResString(IDS_ANALOG));
    const CString head = LoadResString(IDS_SEND);
    CString caption, info = head + " ";
    for (size_t i = 0; i < items.size(); ++i) {
        caption += i == 0 ? head + " " + items[i] : "\n" + LoadResString(IDS_NEXT_LINE) + items[i];
        info += (i ? "; " : "") + items[i];
    }
    if (items.empty()) caption = head + LoadResString(IDS_NOTHING_SENT);
    m_strCaption = caption;
    m_strMessageTag = info;
    RefreshMessage();
}

// ---- property toolbar ----

int CFlowSend::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_TOOLBUTTON, IDC_SEND_VARIABLE, IDC_SEND_VARIABLE, -1));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_EDIT, CString(), IDC_SEND_NAME, 100));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_TOOLBUTTON, IDC_SEND_DIGITAL, IDC_SEND_DIGITAL, -1));
    items.Add(CControlItem(CI_TOOLBUTTON, IDC_SEND_ANALOGUE, IDC_SEND_ANALOGUE, -1));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_COUNTS), IDC_SEND_COUNT, 40));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_TOOLBUTTON_LOCKED, IDC_SEND_OPTIONS, IDC_SEND_OPTIONS, -1));
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), IDC_ADD_SEND, -1, CIO_ADDS_PART));
    return 0;
}

int CFlowSend::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_SEND_NAME, m_strVariable, -1);
    items.SetItemText(IDC_SEND_COUNT, FormatInt(m_nAnalogueCount), -1);
    return 2;
}

int CFlowSend::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.assign(std::begin(kButtonIds), std::end(kButtonIds));
    if (bitmap && !AttachPicture(bitmap, kButtonStrip)) return -1;
    return static_cast<int>(ids.size());
}

int CFlowSend::IsPropertyChecked(int commandId, int& flag)
{
    const int* on = commandId == IDC_SEND_VARIABLE   ? &m_bSendVariable
                    : commandId == IDC_SEND_DIGITAL  ? &m_bSendDigital
                    : commandId == IDC_SEND_ANALOGUE ? &m_bSendAnalogue
                                                     : nullptr;
    if (!on) return CFlowObject::IsPropertyChecked(commandId, flag);
    flag = 1;
    return *on;
}

int CFlowSend::OnPropertyCommand(int commandId, const CString& text)
{
    switch (commandId) {
    case IDC_SEND_NAME: m_strVariable = text; break;
    case IDC_SEND_COUNT: {
        // Only the four counts of the list are taken.
        if (text.size() == 1 && text[0] >= '1' && text[0] <= '4') m_nAnalogueCount = text[0] - '0';
        break;
    }
    case IDC_SEND_OPTIONS: {
        CFlowSendDialogHost* host = CFlowSendDialogHost::Current();
        int whole = m_bWhole;
        if (host && host->Edit(whole)) m_bWhole = whole ? 1 : 0;
        break;
    }
    case IDC_SEND_VARIABLE: m_bSendVariable = !m_bSendVariable; break;
    case IDC_SEND_DIGITAL: m_bSendDigital = !m_bSendDigital; break;
    case IDC_SEND_ANALOGUE: m_bSendAnalogue = !m_bSendAnalogue; break;
    default: return CFlowObject::OnPropertyCommand(commandId, text);
    }
    UpdateCaption();
    RefreshBasicViewers();
    return kHandledRefresh;
}
