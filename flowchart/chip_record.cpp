// The chip's record: the CComponent record, then the chip's fields in their
// order, the ports each followed by its name message, and the serial bit
// buffer.  Designs from before the ports carry a fixed eight-pin record
// that loads as a four-in, four-out chip of the old terminal layout.
#include "flowchart/chip.h"

#include "flowchart/meter_message.h"
#include "model/components/terminal.h"
#include "model/parts/part_records.h"

#include <algorithm>

// The picture set of a chip of the old layout (chip_draw.cpp).
CVisual* OldChipVisual();

namespace {
// The current record from revision 0x83 of either family on (8323 in the
// second); the older files carry the fixed eight-pin record.
constexpr WORD kPortsFamily1 = 0x1083;
constexpr WORD kPortsFamily2 = 0x2083;
// The advanced dialog's flag from (4275, 8375) on.
constexpr WORD kCustomFamily1 = 4275;
constexpr WORD kCustomFamily2 = 8375;
constexpr int kOldPorts = 8;

DWORD ReadDword(CArchive& ar)
{
    DWORD v = 0;
    ar >> v;
    return v;
}

int ReadFlag(CArchive& ar) { return ReadDword(ar) ? 1 : 0; }

// A message of this chip's own children, or null: a damaged file may name
// an object of another part.
CFlowMeterMessage* ReadOwnMessage(CArchive& ar, const CPart* owner)
{
    CObject* o = ar.ReadObjectRef("CFlowMeterMessage");
    for (CPart* c = owner->GetFirstChild(); c; c = c->GetNextSibling())
        if (c == o) return static_cast<CFlowMeterMessage*>(c);
    return nullptr;
}
} // namespace

void CChip::Serialize(CArchive& ar)
{
    CComponent::Serialize(ar);
    if (ar.IsStoring() || IsVersionAtLeast(ar.GetVersion(), kPortsFamily1, kPortsFamily2)) {
        SerializeCurrent(ar);
        return;
    }
    LoadOldRecord(ar);
}

void CChip::SerializeCurrent(CArchive& ar)
{
    const bool custom = IsVersionAtLeast(ar.GetVersion(), kCustomFamily1, kCustomFamily2);
    if (ar.IsStoring()) {
        ar << m_strCaption << m_strFlowchartName << m_strFlowchartChoices << m_strNameCopy << m_strPinCaption
           << m_strPinNameText << m_strPinCaption2 << m_dwSelectedPin;
        ar << m_legacyInputs << m_legacyOutputs;
        ar << m_strSignalMode << m_dwKept1 << static_cast<DWORD>(m_nResetPin) << m_wPortCount << m_dwKept2
           << static_cast<DWORD>(m_nMaxDigital) << static_cast<DWORD>(m_nMaxOutputs)
           << static_cast<DWORD>(m_bClassChanged) << static_cast<DWORD>(m_bResetChanged)
           << static_cast<DWORD>(m_bNewLayout) << static_cast<DWORD>(m_nClassCode) << m_dwKept3;
        ar << m_digitalInputs << m_analogueInputs << m_outputs;
        ar << static_cast<DWORD>(m_nSavedDigitalNames) << static_cast<DWORD>(m_nSavedAnalogueNames)
           << static_cast<DWORD>(m_nSavedOutputNames) << m_strClassName << static_cast<DWORD>(m_bUsart)
           << static_cast<DWORD>(m_bSerial) << static_cast<DWORD>(m_nMaxAnalogue)
           << static_cast<DWORD>(m_bTransmitting) << static_cast<DWORD>(m_nBitIndex)
           << static_cast<DWORD>(m_nBitCount) << static_cast<DWORD>(m_bClassPending);
        if (custom) ar << static_cast<DWORD>(m_bCustomSizes);
        for (int i = 0; i < GetPortCount(); ++i) {
            m_ports[i]->Serialize(ar);
            ar.WriteObjectRef(GetPortMessage(i));
        }
        for (DWORD b : m_bits) ar << b;
        return;
    }

    ar >> m_strCaption >> m_strFlowchartName >> m_strFlowchartChoices >> m_strNameCopy >> m_strPinCaption >>
        m_strPinNameText >> m_strPinCaption2 >> m_dwSelectedPin;
    ar >> m_legacyInputs >> m_legacyOutputs;
    ar >> m_strSignalMode >> m_dwKept1;
    m_nResetPin = ReadFlag(ar);
    ar >> m_wPortCount >> m_dwKept2;
    m_nMaxDigital = static_cast<int>(std::min<DWORD>(ReadDword(ar), 255));
    m_nMaxOutputs = static_cast<int>(std::min<DWORD>(ReadDword(ar), 255));
    m_bClassChanged = ReadFlag(ar);
    m_bResetChanged = ReadFlag(ar);
    m_bNewLayout = ReadFlag(ar);
    m_nClassCode = static_cast<int>(std::min<DWORD>(ReadDword(ar), CHIP_INITIAL));
    ar >> m_dwKept3;
    ar >> m_digitalInputs >> m_analogueInputs >> m_outputs;
    m_nSavedDigitalNames = static_cast<int>(std::min<DWORD>(ReadDword(ar), 255));
    m_nSavedAnalogueNames = static_cast<int>(std::min<DWORD>(ReadDword(ar), 255));
    m_nSavedOutputNames = static_cast<int>(std::min<DWORD>(ReadDword(ar), 255));
    ar >> m_strClassName;
    m_bUsart = ReadFlag(ar);
    m_bSerial = ReadFlag(ar);
    m_nMaxAnalogue = static_cast<int>(std::min<DWORD>(ReadDword(ar), 255));
    m_bTransmitting = ReadFlag(ar);
    // The bit position stays inside the buffer whatever the file says.
    m_nBitIndex = static_cast<int>(std::min<DWORD>(ReadDword(ar), kBitBufferSize));
    m_nBitCount = static_cast<int>(std::min<DWORD>(ReadDword(ar), kBitBufferSize));
    m_bClassPending = ReadFlag(ar);
    m_bCustomSizes = custom ? ReadFlag(ar) : 0;

    // The counts must describe the ports before any is read: a damaged
    // count would otherwise lead the reader through thousands of records.
    const int expected = m_nResetPin + DigitalCount() + AnalogueCount() + OutputCount();
    if (m_wPortCount != expected) throw CArchiveException(CArchiveException::badSchema);
    for (CChipPort* p : m_ports) delete p;
    m_ports.clear();
    m_messages.clear();
    for (int i = 0; i < m_wPortCount; ++i) {
        auto* p = new CChipPort;
        m_ports.push_back(p);
        p->Serialize(ar);
        m_messages.push_back(ReadOwnMessage(ar, this));
    }
    for (DWORD& b : m_bits) {
        ar >> b;
        b = b ? 1 : 0;
    }
    if (!m_bNewLayout) m_pVisual = OldChipVisual();
    CheckLoadedRecord();
}

void CChip::LoadOldRecord(CArchive& ar)
{
    for (DWORD& w : m_legacyWords) ar >> w;
    ar >> m_strCaption >> m_strFlowchartName >> m_strFlowchartChoices >> m_strNameCopy;
    for (CString& t : m_legacyTexts) ar >> t;
    ar >> m_strPinCaption >> m_strPinNameText >> m_strPinCaption2 >> m_dwSelectedPin;

    for (CChipPort* p : m_ports) delete p;
    m_ports.clear();
    for (int i = 0; i < kOldPorts; ++i)
        m_ports.push_back(new CChipPort("Input" + std::to_string(i), i < 4 ? CHIP_PIN_INPUT : CHIP_PIN_OUTPUT, 1));
    m_messages.assign(kOldPorts, nullptr);
    // The outputs first, from port 4 up; then the inputs from port 3 down.
    static constexpr int kOrder[kOldPorts] = {4, 5, 6, 7, 3, 2, 1, 0};
    for (int port : kOrder) {
        m_messages[port] = ReadOwnMessage(ar, this);
        ar >> m_ports[port]->m_strName;
    }

    m_nClassCode = CHIP_STAMP;
    m_strClassName = "STAMP";
    m_digitalInputs = 4.0;
    m_analogueInputs = 0.0;
    m_outputs = 4.0;
    m_legacyInputs = 4.0;
    m_legacyOutputs = 4.0;
    m_strSignalMode = "Digital";
    m_nMaxDigital = 8;
    m_nMaxOutputs = 8;
    m_nMaxAnalogue = 0;
    m_nResetPin = 0;
    m_bSerial = 0;
    m_bCustomSizes = 0;
    m_bClassPending = 0;
    m_bNewLayout = 0;
    m_wPortCount = kOldPorts;
    m_pVisual = OldChipVisual();
    CheckLoadedRecord();
}

void CChip::CheckLoadedRecord() const
{
    // One terminal per port: the pins are stamped and read by index.
    if (GetTerminalCount() != GetPortCount()) throw CArchiveException(CArchiveException::badSchema);
}
