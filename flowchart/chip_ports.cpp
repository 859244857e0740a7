// The chip's ports and layout: the class table, the first naming, the
// ports in pin order with their terminals and name messages, the rebuild
// after a property change and the change codes that lead to it.
#include "flowchart/chip.h"

#include "flowchart/meter_message.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "platform/numtext.h"

#include <algorithm>
#include <cmath>

WB_IMPLEMENT_SERIAL(CChip, "CComponent", 2)

const char kChipUnnamedClass[] = "NONAMEYETPLEASE";
const char kChipNoNextOutput[] = "INTERNAL - DON'T TRANSLATE";

namespace {
// The box: 64 wide, pins 32 apart from 24 below the top; the reset pin 24
// above the bottom.
constexpr int kBoxWidth = 64;
constexpr int kMinHeight = 144;
constexpr int kPinPitch = 32;
constexpr int kFirstPin = 24;
constexpr int kSideRight = 1;
constexpr int kSideLeft = 3;
// The pin names: 26 wide in the left-aligned mode, above the stubs, the
// inputs' ending just before their pin (27 left of the left edge), the
// outputs' starting just after theirs (90 right of the left edge).
constexpr int kMessageWidth = 26;
constexpr int kMessageMode = 1;
constexpr int kInputMessageX = -27;
constexpr int kOutputMessageX = 90;
constexpr int kMessageRise = 10;
// Counts beyond any class: a file that asks for more is refused.
constexpr int kMaxGroupCount = 64;

struct NamedClassRow {
    const char* name;
    ChipClassRow row;
};
// code, D, A, Q, max digital, max analogue, max outputs.
constexpr NamedClassRow kClassRows[] = {
    {"STAMP", {CHIP_STAMP, 4, 0, 4, 8, 0, 8}},
    {"18 pin PIC", {CHIP_PIC18, 4, 0, 8, 4, 0, 8}},
    {"28 pin PIC", {CHIP_PIC28, 8, 4, 8, 8, 4, 8}},
    {"28 pin PIC (USART)", {CHIP_PIC28_USART, 8, 4, 8, 8, 4, 8}},
};
constexpr ChipClassRow kGenericRow{CHIP_GENERIC, 8, 8, 16, 8, 8, 16};
} // namespace

// ---- CChipPort ----

void CChipPort::Set(const CString& name, int kind, int digital)
{
    m_strName = name;
    m_nKind = kind;
    m_bDigital = kind != CHIP_PIN_INPUT ? 1 : (digital ? 1 : 0);
    m_nValue = 0;
}

void CChipPort::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_strName << static_cast<DWORD>(m_bDigital) << static_cast<DWORD>(m_nValue)
           << static_cast<DWORD>(m_nKind);
        return;
    }
    DWORD digital = 0, value = 0, kind = 0;
    ar >> m_strName >> digital >> value >> kind;
    if (kind > CHIP_PIN_SEND) throw CArchiveException(CArchiveException::badSchema);
    m_bDigital = digital ? 1 : 0;
    m_nValue = static_cast<int>(value);
    m_nKind = static_cast<int>(kind);
}

// ---- construction ----

CChip::CChip()
{
    m_legacyInputs = 4.0;
    m_legacyOutputs = 4.0;
    m_digitalInputs = 4.0;
    m_analogueInputs = 0.0;
    m_outputs = 4.0;
    m_strCaption = "Running " + m_strFlowchartName;
    // The box is laid out for its one orientation.
    SetOrientationMask(1);
}

CChip::~CChip()
{
    // The messages are children and go with them; the ports are the chip's.
    for (CChipPort* p : m_ports) delete p;
}

int CChip::CountOf(const CNumber& n)
{
    const double v = std::floor(n.value + 0.5);
    if (!(v > 0)) return 0;
    return v > kMaxGroupCount ? kMaxGroupCount : static_cast<int>(v);
}

int CChip::BoxHeight(int reset, int digital, int analogue, int outputs)
{
    const int inputs = reset + digital + analogue;
    const int lines = outputs <= inputs ? 2 * reset + digital + analogue : outputs;
    return std::max(kMinHeight, kMinHeight + kPinPitch * (lines - 4));
}

ChipClassRow CChip::ClassRow(const CString& className, int usart)
{
    for (const NamedClassRow& r : kClassRows)
        if (className == r.name) {
            ChipClassRow row = r.row;
            if (row.code == CHIP_PIC28 && usart) row.code = CHIP_PIC28_USART;
            return row;
        }
    return kGenericRow;
}

int CChip::Range() const
{
    const CCircuit* d = GetDesign();
    return d ? d->GetAnalogRange() : 255;
}

// ---- terminals ----

int CChip::PortToTerminalIndex(int port) const
{
    const int count = GetPortCount();
    if (port < 0 || port >= count) return -1;
    if (!m_bNewLayout) return port;
    const int inputs = GetInputCount();
    // Outputs first in port order, then the inputs from the last up.
    return port >= inputs ? port - inputs : count - 1 - port;
}

CTerminal* CChip::GetPortTerminal(int port) const { return GetTerminal(PortToTerminalIndex(port)); }

// ---- names ----

CString CChip::DefaultPortName(int port) const
{
    const int d = DigitalCount(), a = AnalogueCount(), inputs = GetInputCount();
    if (port < d) return "Input" + FormatInt(port);
    if (port < d + a) return "a_Input" + FormatInt(port - d);
    if (port < inputs) return "Reset";
    return "Output" + FormatInt(port - inputs);
}

int CChip::ReceivePortOfClass() const
{
    const int port = m_nClassCode == CHIP_PIC28_USART ? 7 : 0;
    return port < GetPortCount() ? port : -1;
}

int CChip::SendPortOfClass() const
{
    // The last output, but for the 28-pin classes: port 19 of the plain
    // one, port 6 of the one with the USART.
    int port = GetPortCount() - 1;
    if (m_nClassCode == CHIP_PIC28_USART) port = 6;
    else if (m_nClassCode == CHIP_PIC28 || m_nClassCode == CHIP_INITIAL) port = 19;
    return port >= 0 && port < GetPortCount() && port != ReceivePortOfClass() ? port : -1;
}

int CChip::FindPort(const CString& name, int from, int to) const
{
    to = std::min(to, GetPortCount());
    for (int i = std::max(from, 0); i < to; ++i)
        if (m_ports[i]->m_strName == name) return i;
    return -1;
}

void CChip::RenamePort(int port, const CString& name)
{
    CChipPort* p = GetPort(port);
    if (!p) return;
    p->m_strName = name;
    CFlowMeterMessage* m = GetPortMessage(port);
    if (!m) return;
    m->SetTag(name);
    if (GetDesign()) m->FitText();
    else m->ShowMessage(name, 0, name);
}

void CChip::UnnameSerialPorts()
{
    for (int port : {ReceivePortOfClass(), SendPortOfClass()})
        if (port >= 0) RenamePort(port, DefaultPortName(port));
}

// ---- first naming ----

bool CChip::IsFlowchartNameUsed(const CString& name) const
{
    const CCircuit* d = GetDesign();
    if (!d) return 0;
    for (CPart* p : d->CollectChips())
        if (p != this && static_cast<CChip*>(p)->m_strFlowchartName == name) return 1;
    return 0;
}

void CChip::NameForDesign()
{
    CCircuit* d = GetDesign();
    if (!d || d->IsTemporary() || m_strClassName != kChipUnnamedClass) return;
    CString name = "Flowchart 1";
    for (int n = 2; IsFlowchartNameUsed(name); ++n) name = "Flowchart " + FormatInt(n);
    m_strFlowchartName = name;
    m_strCaption = "Running " + name;
    m_strNameCopy = name;
    m_strClassName = d->m_strMicroClass;
    const ChipClassRow row = ClassRow(m_strClassName, m_bUsart);
    m_nClassCode = row.code;
    // Only the named classes bring their counts; a generic part keeps its
    // own until the next rebuild.
    if (row.code != CHIP_GENERIC && m_strClassName != "28 pin PIC (USART)") {
        m_digitalInputs = row.digital;
        m_analogueInputs = row.analogue;
        m_outputs = row.outputs;
        m_nMaxDigital = row.maxDigital;
        m_nMaxAnalogue = row.maxAnalogue;
        m_nMaxOutputs = row.maxOutputs;
    }
}

// ---- children ----

int CChip::Initialise()
{
    AttachToCircuit(m_pCircuit);
    ResetSimulation();
    CreateChildren();
    return 1;
}

void CChip::CreateChildren()
{
    if (!m_ports.empty() || !m_terminals.empty()) return;
    NameForDesign();
    BuildPorts();
}

void CChip::BuildPorts()
{
    const int d = DigitalCount(), a = AnalogueCount(), r = m_nResetPin ? 1 : 0, q = OutputCount();
    m_nResetPin = r;
    for (int i = 0; i < d; ++i) m_ports.push_back(new CChipPort("Input" + FormatInt(i), CHIP_PIN_INPUT, 1));
    for (int i = 0; i < a; ++i) m_ports.push_back(new CChipPort("a_Input" + FormatInt(i), CHIP_PIN_INPUT, 0));
    if (r) m_ports.push_back(new CChipPort("Reset", CHIP_PIN_RESET, 1));
    for (int j = 0; j < q; ++j) m_ports.push_back(new CChipPort("Output" + FormatInt(j), CHIP_PIN_OUTPUT, 1));
    m_wPortCount = static_cast<WORD>(m_ports.size());

    m_rect.right = m_rect.left + kBoxWidth;
    m_rect.bottom = m_rect.top + BoxHeight(r, d, a, q);

    if (m_bSerial) {
        if (const int rx = ReceivePortOfClass(); rx >= 0) m_ports[rx]->Set("Receive", CHIP_PIN_RECEIVE, 1);
        if (const int tx = SendPortOfClass(); tx >= 0) m_ports[tx]->Set("Send", CHIP_PIN_SEND, 1);
    }

    // Terminals in the order of the layout flag: the outputs, then the
    // inputs from the last (the reset pin) up to the first.
    const int inputs = r + d + a;
    const auto pinOf = [&](int port) {
        if (port >= inputs) return CPoint(m_rect.left + kBoxWidth, m_rect.top + kFirstPin + kPinPitch * (port - inputs));
        if (port < d + a) return CPoint(m_rect.left, m_rect.top + kFirstPin + kPinPitch * port);
        return CPoint(m_rect.left, m_rect.bottom - kFirstPin);
    };
    m_bNewLayout = 1;
    for (int port = inputs; port < GetPortCount(); ++port) AddTerminal(kSideRight, pinOf(port));
    for (int port = inputs - 1; port >= 0; --port) AddTerminal(kSideLeft, pinOf(port));

    m_messages.clear();
    for (int port = 0; port < GetPortCount(); ++port) {
        const CPoint pin = pinOf(port);
        const int x = m_rect.left + (port < inputs ? kInputMessageX : kOutputMessageX);
        const int value = m_ports[port]->m_nKind == CHIP_PIN_RESET ? 0 : 1;
        auto* m = new CFlowMeterMessage(x, pin.y - kMessageRise, m_ports[port]->m_strName, kMessageWidth,
                                        kMessageMode, value);
        m->AttachToCircuit(m_pCircuit);
        AppendChild(m);
        m_messages.push_back(m);
    }
    std::fill(std::begin(m_bits), std::end(m_bits), 0);
}

void CChip::DeletePortsAndMessages()
{
    for (CFlowMeterMessage* m : m_messages) {
        CPart::RemoveChild(m);
        delete m;
    }
    m_messages.clear();
    for (CChipPort* p : m_ports) delete p;
    m_ports.clear();
    m_wPortCount = 0;
}

void CChip::Drop(CPartTree* design)
{
    auto* d = dynamic_cast<CCircuit*>(design);
    if (d && !d->IsTemporary() && m_strClassName == kChipUnnamedClass) {
        // Named for the design it lands in, and laid out for its class.
        for (CTerminal* t : m_terminals) t->JoinConnections(d);
        DetachTerminals();
        DeletePortsAndMessages();
        AttachToCircuit(d);
        NameForDesign();
        BuildPorts();
    }
    CComponent::Drop(design);
}

// ---- the rebuild ----

void CChip::ApplyClassRow()
{
    const ChipClassRow row = ClassRow(m_strClassName, m_bUsart);
    m_nClassCode = row.code;
    m_nMaxDigital = row.maxDigital;
    m_nMaxAnalogue = row.maxAnalogue;
    m_nMaxOutputs = row.maxOutputs;
    m_digitalInputs = row.digital;
    m_analogueInputs = row.analogue;
    m_outputs = row.outputs;
}

int CChip::ApplySettingsText()
{
    // The groups as the ports stand now, before the counts change.
    const int oldD = std::min(DigitalCount(), GetPortCount());
    const int oldA = std::min(AnalogueCount(), GetPortCount() - oldD);
    int oldR = 0;
    for (const CChipPort* p : m_ports) oldR |= p->m_nKind == CHIP_PIN_RESET ? 1 : 0;
    const int oldQ = std::max(0, GetPortCount() - oldD - oldA - oldR);

    if (!m_bNewLayout) {
        m_bNewLayout = 1;
        m_bClassChanged = 1;
        m_pVisual = nullptr;
        m_bSerial = 0;
        m_dwSelectedPin = 0;
        m_strPinCaption2 = "I/O 0 :";
        m_rect.right = m_rect.left + kBoxWidth;
        m_rect.bottom = m_rect.top + kMinHeight;
    }
    if (m_bClassPending || m_bSerial) {
        ApplyClassRow();
        m_bClassPending = 0;
    }
    if (m_bCustomSizes) {
        m_digitalInputs = std::clamp(m_nCustomDigital, 0, kMaxGroupCount);
        m_analogueInputs = std::clamp(m_nCustomAnalogue, 0, kMaxGroupCount);
        m_outputs = std::clamp(m_nCustomOutputs, 0, kMaxGroupCount);
        m_bCustomSizes = 0;
    }
    if (!m_bClassChanged && !m_bResetChanged) return 1;

    std::vector<CString> digital, analogue, outputs;
    for (int i = 0; i < std::min(m_nSavedDigitalNames, oldD); ++i) digital.push_back(m_ports[i]->m_strName);
    for (int i = 0; i < std::min(m_nSavedAnalogueNames, oldA); ++i)
        analogue.push_back(m_ports[oldD + i]->m_strName);
    for (int j = 0; j < std::min(m_nSavedOutputNames, oldQ); ++j)
        outputs.push_back(m_ports[oldD + oldA + oldR + j]->m_strName);

    CCircuit* design = GetDesign();
    for (CTerminal* t : m_terminals) t->JoinConnections(design);
    DetachTerminals();
    EraseTree();
    DeletePortsAndMessages();
    m_bClassChanged = 0;
    m_bResetChanged = 0;
    BuildPorts();

    // The names go back group by group; the serial pins keep theirs.
    const int d = DigitalCount(), a = AnalogueCount(), inputs = GetInputCount();
    const auto giveBack = [this](const std::vector<CString>& names, int first, int count) {
        for (int k = 0; k < std::min(count, static_cast<int>(names.size())); ++k) {
            const int kind = m_ports[first + k]->m_nKind;
            if (kind != CHIP_PIN_RECEIVE && kind != CHIP_PIN_SEND) RenamePort(first + k, names[k]);
        }
    };
    giveBack(digital, 0, d);
    giveBack(analogue, d, a);
    giveBack(outputs, inputs, OutputCount());
    m_nSavedDigitalNames = d;
    m_nSavedAnalogueNames = a;
    m_nSavedOutputNames = OutputCount();
    if (m_dwSelectedPin >= static_cast<DWORD>(GetPortCount())) m_dwSelectedPin = 0;

    // The new terminals join what ends at their pins, and the nets are
    // numbered again: the solve of a running design is sized for the nets
    // it numbered, which the new terminals' own nodes lie beyond.
    if (design && design->HoldsTopLevel(this)) {
        for (CTerminal* t : m_terminals) t->Drop(design);
        design->RenumberNodes();
    }
    return 1;
}

void CChip::UpdateDisplay(int code)
{
    switch (code) {
    case 1: m_strCaption = "Running " + m_strFlowchartName; break;
    case 2:
        m_bClassChanged = 1;
        m_bClassPending = 1;
        if (m_bSerial) UnnameSerialPorts();
        break;
    case 3:
        m_bClassChanged = 1;
        if (!m_bSerial) UnnameSerialPorts();
        break;
    case 4:
        if (m_bCustomSizes) m_bClassChanged = 1;
        if (m_nClassCode == CHIP_PIC28 && m_bUsart) m_nClassCode = CHIP_PIC28_USART;
        else if (m_nClassCode == CHIP_PIC28_USART && !m_bUsart) m_nClassCode = CHIP_PIC28;
        break;
    case 7: {
        if (FindPort(m_strPinNameText, 0, GetPortCount()) >= 0) break;
        RenamePort(static_cast<int>(m_dwSelectedPin), m_strPinNameText);
        break;
    }
    default: break;
    }
}

void CChip::OnChildPressed(int flag, CPart* child)
{
    auto* pressed = dynamic_cast<CFlowMeterMessage*>(child);
    if (!pressed || std::find(m_messages.begin(), m_messages.end(), pressed) == m_messages.end()) {
        CComponent::OnChildPressed(flag, child);
        return;
    }
    const DWORD drawFlags = GetDrawFlags();
    for (CFlowMeterMessage* m : m_messages)
        if (m != pressed && m->IsSelected()) m->Deselect(drawFlags);
    const int port = FindPort(pressed->GetTag(), 0, GetPortCount());
    if (port >= 0) m_dwSelectedPin = static_cast<DWORD>(port);
}

void CChip::DropDeadLinks(const std::unordered_set<const CObject*>& gone)
{
    CComponent::DropDeadLinks(gone);
    for (CFlowMeterMessage*& m : m_messages)
        if (gone.count(m)) m = nullptr;
}

CChip* FindChipForFlowchart(const CCircuit* design, const CString& name)
{
    if (!design) return nullptr;
    for (CPart* p : design->CollectChips()) {
        auto* chip = static_cast<CChip*>(p);
        CString a = chip->m_strFlowchartName, b = name;
        if (a.MakeLower() == b.MakeLower()) return chip;
    }
    return nullptr;
}
