// The chip in the solve and the operations the flowchart reaches it by:
// output pins as Norton sources, input pins read back through the logic
// threshold or scaled to the analogue range, the serial line, and the
// look-ups by pin name.
#include "flowchart/chip.h"

#include "flowchart/flow_object.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/numtext.h"

#include <algorithm>
#include <cmath>

namespace {
// The serial frame: a start bit, eight data bits (least significant
// first), a stop bit; an address frame and a value frame per value.
constexpr int kFrameBits = 20;
constexpr int kAddresses = 6;

CString JoinNames(const std::vector<CString>& names, const char* whenEmpty)
{
    if (names.empty()) return whenEmpty;
    CString out;
    for (size_t k = 0; k < names.size(); ++k) {
        if (k) out += "\n";
        out += names[k];
    }
    return out;
}

void AppendByte(DWORD* bits, int& n, int byte)
{
    bits[n++] = 0;
    for (int b = 0; b < 8; ++b) bits[n++] = static_cast<DWORD>((byte >> b) & 1);
    bits[n++] = 1;
}
} // namespace

// ---- the solve ----

void CChip::Stamp(CMatrix* matrix)
{
    const CCircuit* d = GetDesign();
    if (!d) return;
    const double g = d->GetLogicConductance();
    const double high = d->GetLogicHighCurrent();
    const int range = d->GetAnalogRange();
    const int inputs = GetInputCount();
    const int da = DigitalCount() + AnalogueCount();
    // A pin at full scale sits at the logic supply (conductance G with the
    // high current into the node); any other value pulls to ground via G.
    for (int port = 0; port < GetPortCount(); ++port) {
        const CChipPort* p = m_ports[port];
        const bool drives = port >= inputs || (port < da && p->m_nKind == CHIP_PIN_SEND);
        if (!drives) continue;
        CTerminal* t = GetPortTerminal(port);
        if (!t) continue;
        matrix->StampTransfer(g, p->m_nValue == range ? high : 0.0, t, nullptr, t, nullptr);
    }
}

void CChip::ReadPorts()
{
    const CCircuit* d = GetDesign();
    if (!d) return;
    const int range = d->GetAnalogRange();
    const double threshold = d->GetLogicThreshold();
    const double supply = d->GetLogicSupplyVoltage();
    const int inputs = std::min(GetInputCount(), GetPortCount());
    for (int port = 0; port < inputs; ++port) {
        CChipPort* p = m_ports[port];
        if (p->m_nKind == CHIP_PIN_SEND) continue;
        const CTerminal* t = GetPortTerminal(port);
        if (!t) continue;
        const double v = t->GetVoltage();
        if (p->m_bDigital) {
            p->m_nValue = v > threshold ? range : 0;
            continue;
        }
        // Truncated as the reading of a converter; a supply of 0 V or an
        // unsolved node reads 0, and the reading stays within 0 .. range.
        const double scaled = supply > 0.0 ? v / supply * range : 0.0;
        if (!(scaled > 0.0)) p->m_nValue = 0;
        else if (scaled >= range) p->m_nValue = range;
        else p->m_nValue = static_cast<int>(scaled);
    }
}

int CChip::AfterStep()
{
    const int broken = CComponent::AfterStep();
    CCircuit* d = GetDesign();
    if (!d) return broken;
    ReadPorts();
    d->SetChanged();
    if (m_nResetPin && !IsResetHigh()) ResetFlowchartRuns(0);
    if (m_bTransmitting) {
        if (m_nBitIndex >= 0 && m_nBitIndex < m_nBitCount && m_nBitIndex < kBitBufferSize) {
            SetSendPins(Range() * static_cast<int>(m_bits[m_nBitIndex] ? 1 : 0));
            ++m_nBitIndex;
        } else {
            m_bTransmitting = 0;
            SetSendPins(Range());
        }
    }
    return broken;
}

void CChip::SetSendPins(int value)
{
    for (CChipPort* p : m_ports)
        if (p->m_nKind == CHIP_PIN_SEND) p->m_nValue = value;
}

void CChip::ResetFlowchartRuns(int refuse)
{
    const CCircuit* d = GetDesign();
    if (!d) return;
    for (CPart* p : d->CollectFlowStarts()) {
        auto* start = dynamic_cast<CFlowObject*>(p);
        if (!start) continue;
        CString name;
        start->GetProgramName(name);
        if (name != m_strFlowchartName) continue;
        if (auto* target = dynamic_cast<CChipRunTarget*>(start)) target->StartRunFromChip(refuse);
    }
}

// ---- the serial line ----

int CChip::StartTransmission(const int values[6], bool whole)
{
    if (!m_bSerial) return 0;
    std::fill(std::begin(m_bits), std::end(m_bits), 0);
    m_bTransmitting = 1;
    int n = 0;
    int frames = 0;
    for (int a = 1; a <= kAddresses; ++a) {
        const int value = values ? values[a - 1] : -1;
        if (value == -1) continue;
        AppendByte(m_bits, n, a);
        AppendByte(m_bits, n, value & 0xFF);
        ++frames;
    }
    m_nBitIndex = 0;
    m_nBitCount = whole ? kFrameBits * frames - 1 : kFrameBits;
    // Nothing given and the whole set asked for: the line stays idle.
    if (m_nBitCount < 0) {
        m_nBitCount = 0;
        m_bTransmitting = 0;
    }
    return 1 | (m_nBitCount << 16);
}

int CChip::GetSendPinIndex() const
{
    for (int i = 0; i < GetPortCount(); ++i)
        if (m_ports[i]->m_nKind == CHIP_PIN_SEND) return i;
    return kChipNoSuchPin;
}

int CChip::ReadReceivePin() const
{
    const int range = Range();
    for (const CChipPort* p : m_ports)
        if (p->m_nKind == CHIP_PIN_RECEIVE) return range > 0 ? p->m_nValue / range : 0;
    return kChipNoSuchPin;
}

// ---- outputs ----

bool CChip::SetOutputByName(const CString& name, int level)
{
    const int port = FindPort(name, GetInputCount(), GetPortCount());
    if (port < 0) return 0;
    m_ports[port]->m_nValue = Range() * level;
    return 1;
}

int CChip::SetOutputsFromByte(int bits)
{
    const int inputs = GetInputCount(), range = Range();
    for (int j = 0; inputs + j < GetPortCount(); ++j)
        m_ports[inputs + j]->m_nValue = (j < 31 && ((bits >> j) & 1)) ? range : 0;
    return 1;
}

bool CChip::SetMotorPins(const CString& name, int direction)
{
    const int k = FindPort(name, DigitalCount() + AnalogueCount(), GetPortCount());
    if (k < 0) return 0;
    const int range = Range();
    CChipPort* second = GetPort(k + 1);
    const int a = direction == 0 ? range : 0;
    const int b = direction == 2 ? range : 0;
    m_ports[k]->m_nValue = a;
    if (second) second->m_nValue = b;
    return 1;
}

int CChip::ResetPins()
{
    const int range = Range();
    for (CChipPort* p : m_ports) p->m_nValue = p->m_nKind == CHIP_PIN_SEND ? range : 0;
    return GetPortCount();
}

// ---- inputs ----

int CChip::GetInputDigitalFlag(const CString& name) const
{
    const int port = FindPort(name, 0, DigitalCount() + AnalogueCount());
    return port < 0 ? 0 : m_ports[port]->m_bDigital;
}

int CChip::GetInputValue(const CString& name) const
{
    const int port = FindPort(name, 0, DigitalCount() + AnalogueCount());
    return port < 0 ? kChipNoSuchInput : m_ports[port]->m_nValue;
}

bool CChip::IsResetHigh() const
{
    const CChipPort* p = GetPort(DigitalCount() + AnalogueCount());
    return p && p->m_nValue == Range();
}

int CChip::ReadDigitalByte() const
{
    const int range = Range();
    int sum = 0;
    for (int i = 0; i < std::min({DigitalCount(), GetPortCount(), 31}); ++i) {
        const CChipPort* p = m_ports[i];
        if (!p->m_bDigital || p->m_nKind == CHIP_PIN_SEND) continue;
        if (m_nClassCode == CHIP_PIC28_USART && p->m_nKind == CHIP_PIN_RECEIVE) continue;
        if (p->m_nValue == range) sum += 1 << i;
    }
    return sum;
}

int CChip::ReadAnalogInput(int i) const
{
    const int port = DigitalCount() + i;
    const CChipPort* p = i >= 0 ? GetPort(port) : nullptr;
    if (!p || port >= DigitalCount() + AnalogueCount() || p->m_bDigital || p->m_nKind != CHIP_PIN_INPUT)
        return kChipNotAnalogue;
    return p->m_nValue;
}

// ---- look-ups by name ----

CString CChip::GetNextOutputName(const CString& name) const
{
    const int port = FindPort(name, GetInputCount(), GetPortCount() - 1);
    return port < 0 ? CString(kChipNoNextOutput) : m_ports[port + 1]->m_strName;
}

CString CChip::GetMotorOutputNames() const
{
    std::vector<CString> names;
    for (int port = GetPortCount() - 2; port >= GetInputCount(); --port)
        if (m_ports[port]->IsNamed()) names.push_back(m_ports[port]->m_strName);
    return JoinNames(names, "Output 1");
}

CString CChip::GetOutputNames() const
{
    std::vector<CString> names;
    for (int port = GetPortCount() - 1; port >= GetInputCount(); --port)
        if (m_ports[port]->IsNamed()) names.push_back(m_ports[port]->m_strName);
    return JoinNames(names, "Output 0");
}

CString CChip::GetAnalogInputNames() const
{
    std::vector<CString> names;
    const int d = DigitalCount();
    for (int port = d; port < std::min(d + AnalogueCount(), GetPortCount()); ++port)
        if (m_ports[port]->IsNamed()) names.push_back(m_ports[port]->m_strName);
    return JoinNames(names, "a_Input0");
}

CString CChip::GetInputNames() const
{
    std::vector<CString> names;
    for (int port = 0; port < std::min(DigitalCount() + AnalogueCount(), GetPortCount()); ++port)
        if (m_ports[port]->IsNamed()) names.push_back(m_ports[port]->m_strName);
    return JoinNames(names, "Input0");
}

int CChip::GetDigitalPinIndex(const CString& name) const
{
    const int port = FindPort(name, 0, GetPortCount());
    if (port < 0) return kChipNoSuchPin;
    return m_ports[port]->m_bDigital ? port : -1;
}

int CChip::GetAnalogPinIndex(const CString& name) const
{
    const int port = FindPort(name, 0, GetPortCount());
    if (port < 0) return kChipNoSuchPin;
    return m_ports[port]->m_bDigital ? kChipDigitalPin : port - DigitalCount();
}

int CChip::IsAnalogPin(const CString& name) const
{
    const int port = FindPort(name, 0, GetPortCount());
    if (port < 0) return kChipNoSuchPin;
    return m_ports[port]->m_bDigital ? 0 : 1;
}

CString CChip::GetDigitalInputName(int i) const
{
    if (i >= 0 && i < DigitalCount() && i < GetPortCount()) return m_ports[i]->m_strName;
    return "Input" + FormatInt(i);
}

CString CChip::GetAnalogInputName(int i) const
{
    const int port = DigitalCount() + i;
    if (i >= 0 && i < AnalogueCount() && port < GetPortCount()) return m_ports[port]->m_strName;
    return "a_Input" + FormatInt(i);
}

CString CChip::GetOutputName(int i) const
{
    const int port = GetInputCount() + i;
    if (i >= 0 && i < OutputCount() && port < GetPortCount()) return m_ports[port]->m_strName;
    return "Output" + FormatInt(i);
}

void CChip::SetDigitalInputName(int i, const CString& name)
{
    if (i >= 0 && i < DigitalCount()) RenamePort(i, name);
}

void CChip::SetAnalogInputName(int i, const CString& name)
{
    if (i >= 0 && i < AnalogueCount()) RenamePort(DigitalCount() + i, name);
}

void CChip::SetOutputName(int i, const CString& name)
{
    if (i >= 0 && i < OutputCount()) RenamePort(GetInputCount() + i, name);
}

CString CChip::GetPinName(int i) const
{
    const int port = (i < DigitalCount() + AnalogueCount() || !m_nResetPin) ? i : i + 1;
    const CChipPort* p = GetPort(port);
    return p ? p->m_strName : CString();
}

void CChip::SetPinName(int i, const CString& name)
{
    const int port = (i < DigitalCount() + AnalogueCount() || !m_nResetPin) ? i : i + 1;
    RenamePort(port, name);
}

// ---- the design's flowcharts ----

CString CChip::GetFreeFlowchartNames() const
{
    const CCircuit* d = GetDesign();
    std::vector<CString> names;
    if (d)
        for (CPart* p : d->CollectFlowStarts()) {
            auto* start = dynamic_cast<CFlowObject*>(p);
            if (!start) continue;
            CString name;
            start->GetProgramName(name);
            if (!IsFlowchartNameUsed(name)) names.push_back(name);
        }
    if (names.empty()) return m_strFlowchartName;
    return JoinNames(names, "");
}

// ---- the advanced dialog's choices ----

void CChip::BuildInputCountChoices()
{
    const CString name = GetClassName();
    if (name == "STAMP") {
        m_strInputCountChoices.clear();
        for (int n = 2; n <= m_nMaxDigital - OutputCount(); ++n) {
            if (!m_strInputCountChoices.empty()) m_strInputCountChoices += "\n";
            m_strInputCountChoices += FormatInt(n);
        }
    } else if (name == "Generic") {
        m_strInputCountChoices = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16";
    } else if (name == "18 pin PIC") {
        m_strInputCountChoices = "1\n2\n3\n4";
    } else {
        m_strInputCountChoices = "1\n2\n3\n4\n5\n6\n7\n8";
    }
}

void CChip::BuildOutputCountChoices()
{
    const CString name = GetClassName();
    if (name == "STAMP") {
        m_strOutputCountChoices.clear();
        for (int n = 2; n <= m_nMaxOutputs - DigitalCount() - AnalogueCount(); ++n) {
            if (!m_strOutputCountChoices.empty()) m_strOutputCountChoices += "\n";
            m_strOutputCountChoices += FormatInt(n);
        }
    } else if (name == "Generic") {
        m_strOutputCountChoices = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n13\n14\n15\n16";
    } else {
        m_strOutputCountChoices = "1\n2\n3\n4\n5\n6\n7\n8";
    }
}

// ---- class ----

CString CChip::GetClassName() const
{
    switch (m_nClassCode) {
    case CHIP_GENERIC: return "Generic";
    case CHIP_PIC18: return "18 pin PIC";
    case CHIP_PIC28_USART: return "28 pin PIC (USART)";
    case CHIP_STAMP: return "STAMP";
    default: return "28 pin PIC";
    }
}

void CChip::SetClassByName(const CString& name)
{
    int code = -1;
    if (name == "Generic") code = CHIP_GENERIC;
    else if (name == "18 pin PIC") code = CHIP_PIC18;
    else if (name == "28 pin PIC") code = CHIP_PIC28;
    else if (name == "28 pin PIC (USART)") code = CHIP_PIC28_USART;
    else if (name == "STAMP") code = CHIP_STAMP;
    if (code < 0) return;
    if (code != m_nClassCode) m_bClassChanged = 1;
    m_nClassCode = code;
}
