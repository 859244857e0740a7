// CChip: the microcontroller part.  A box with its input pins on the left
// edge and its output pins on the right edge, bound by name to the
// flowchart it "runs".  The chip executes nothing itself: the flowchart
// elements run as electric signals and call the pin operations below
// through their start element; the chip turns output values into Norton
// sources on every solve and node voltages back into input values after it.
// It also plays the bit-serial line of the send element.
//
// Files: chip_ports.cpp (ports, layout, class table, rebuild),
// chip_pins.cpp (stamping, reading pins, the pin operations, the serial
// line), chip_record.cpp (the record), chip_draw.cpp (drawing and the
// property toolbar).  See README.md.
#pragma once

#include "flowchart/flow_chip_link.h"
#include "model/components/component.h"
#include "model/text/number.h"

#include <memory>
#include <vector>

class CCircuit;
class CFlowMeterMessage;

// Port kinds.
enum : int {
    CHIP_PIN_INPUT = 0,
    CHIP_PIN_OUTPUT = 1,
    CHIP_PIN_RESET = 2,
    CHIP_PIN_RECEIVE = 3,
    CHIP_PIN_SEND = 4,
};

// Class codes.
enum : int {
    CHIP_GENERIC = 0,
    CHIP_PIC18 = 1,
    CHIP_PIC28 = 2,
    CHIP_PIC28_USART = 3,
    CHIP_STAMP = 4,
    CHIP_INITIAL = 5, // a new part's code, which reads as "28 pin PIC"
};

// Look-up answers of the pin operations.
constexpr int kChipNoSuchPin = 50;
constexpr int kChipDigitalPin = 51;
constexpr int kChipNotAnalogue = -2;
constexpr int kChipNoSuchInput = -5;

// The class name a part carries until it is first placed in a design.
extern const char kChipUnnamedClass[];
// The answer of GetNextOutputName when no output follows.
extern const char kChipNoNextOutput[];

// One named pin.  Its record: name, digital flag, value, kind.
class CChipPort : public CObject {
public:
    CChipPort() = default;
    CChipPort(const CString& name, int kind, int digital) { Set(name, kind, digital); }
    // Every non-input pin is digital; the value starts at 0.
    void Set(const CString& name, int kind, int digital);
    void Serialize(CArchive& ar) override;
    // A name of one blank is "no name": such pins stay out of name lists.
    bool IsNamed() const { return m_strName != " "; }

    CString m_strName = "     Port";
    int m_bDigital = 1;
    int m_nKind = CHIP_PIN_INPUT;
    int m_nValue = 0;
};

// A flowchart head that the chip's reset pin starts anew.  The flowchart
// start derives from it; refuse non-zero keeps the run from starting.
class CChipRunTarget {
public:
    virtual void StartRunFromChip(int refuse) = 0;

protected:
    ~CChipRunTarget() = default;
};

// One row of the class table.
struct ChipClassRow {
    int code;
    int digital, analogue, outputs;
    int maxDigital, maxAnalogue, maxOutputs;
};

class CChip : public CComponent {
    WB_DECLARE_SERIAL(CChip)
public:
    CChip();
    ~CChip() override;

    // The CComponent record, then the chip's fields (chip_record.cpp).
    void Serialize(CArchive& ar) override;

    // ---- CPart / CComponent overrides ----
    // The children without the base's label placement: the pin names stand
    // over the stubs on purpose.
    int Initialise() override;
    // First naming, ports in pin order, serial pins, terminals, pin names.
    void CreateChildren() override;
    // A part named while it floated in a temporary design is named again
    // for the design it lands in.
    void Drop(CPartTree* design) override;
    void OnChildPressed(int flag, CPart* child) override;
    int HasInfo(int x, int y) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    int Draw(DWORD flags) override;
    // The rebuild after a property change.
    int ApplySettingsText() override;
    using CComponent::ApplySettingsText;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    using CComponent::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    int GetKindCode() override { return 7; }
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // The change codes of UpdateDisplay: 1 flowchart chosen, 2 class
    // chosen, 3 serial toggled, 4 advanced options, 7 pin renamed.
    virtual void UpdateDisplay(int code);

    // ---- pin operations (the flowchart start calls them for its elements) ----
    bool IsFlowchartNameUsed(const CString& name) const;
    CString GetClassName() const;
    void SetClassByName(const CString& name);
    bool SetOutputByName(const CString& name, int level);
    int SetOutputsFromByte(int bits);
    bool SetMotorPins(const CString& name, int direction);
    int GetInputDigitalFlag(const CString& name) const;
    int GetInputValue(const CString& name) const;
    CString GetNextOutputName(const CString& name) const;
    bool IsResetHigh() const;
    CString GetMotorOutputNames() const;
    CString GetOutputNames() const;
    CString GetAnalogInputNames() const;
    CString GetInputNames() const;
    int GetDigitalPinIndex(const CString& name) const;
    int GetAnalogPinIndex(const CString& name) const;
    int IsAnalogPin(const CString& name) const;
    CString GetDigitalInputName(int i) const;
    CString GetAnalogInputName(int i) const;
    CString GetOutputName(int i) const;
    void SetDigitalInputName(int i, const CString& name);
    void SetAnalogInputName(int i, const CString& name);
    void SetOutputName(int i, const CString& name);
    CString GetPinName(int i) const;
    void SetPinName(int i, const CString& name);
    int ResetPins();
    int ReadDigitalByte() const;
    int ReadAnalogInput(int i) const;
    int ReadReceivePin() const;
    int GetSendPinIndex() const;
    // values: six values for the addresses 1..6, -1 for none.  Result: 1 in
    // the low word and the bit count in the high word; 0 when serial
    // communications are off.
    int StartTransmission(const int values[6], bool whole);
    CString GetFreeFlowchartNames() const;
    void BuildInputCountChoices();
    void BuildOutputCountChoices();
    void ResetFlowchartRuns(int refuse);
    // What the flowchart start sees of this chip (chip_link.cpp).
    CFlowChipLink* GetFlowLink();

    // ---- layout ----
    int GetInputCount() const { return m_nResetPin + DigitalCount() + AnalogueCount(); }
    int GetPortCount() const { return static_cast<int>(m_ports.size()); }
    int DigitalCount() const { return CountOf(m_digitalInputs); }
    int AnalogueCount() const { return CountOf(m_analogueInputs); }
    int OutputCount() const { return CountOf(m_outputs); }
    // The box height for the counts: 144 + 32 x (L - 4), at least 144.
    static int BoxHeight(int reset, int digital, int analogue, int outputs);
    // The terminal of a port by the layout flag (null when there is none).
    CTerminal* GetPortTerminal(int port) const;
    int PortToTerminalIndex(int port) const;
    const CChipPort* GetPort(int i) const { return i >= 0 && i < GetPortCount() ? m_ports[i] : nullptr; }
    CChipPort* GetPort(int i) { return i >= 0 && i < GetPortCount() ? m_ports[i] : nullptr; }
    CFlowMeterMessage* GetPortMessage(int i) const
    {
        return i >= 0 && i < static_cast<int>(m_messages.size()) ? m_messages[i] : nullptr;
    }
    // The row of a class name (any name not in the table is "Generic"),
    // with the code the USART flag gives a "28 pin PIC".
    static ChipClassRow ClassRow(const CString& className, int usart);
    // Where the class's serial pins stand (-1: the chip has no such port).
    int ReceivePortOfClass() const;
    int SendPortOfClass() const;
    // The default name of a port by its place in the pin order.
    CString DefaultPortName(int port) const;

    // ---- fields, in archive order ----
    CString m_strCaption;
    CString m_strFlowchartName = "Flowchart 1";
    CString m_strFlowchartChoices;
    CString m_strNameCopy;
    CString m_strPinCaption = "I/O 0 :";
    CString m_strPinNameText = "Input0";
    CString m_strPinCaption2 = "I/O 0 :";
    DWORD m_dwSelectedPin = 0;
    CNumber m_legacyInputs;
    CNumber m_legacyOutputs;
    CString m_strSignalMode = "Digital";
    DWORD m_dwKept1 = 1;
    int m_nResetPin = 0;
    WORD m_wPortCount = 8;
    DWORD m_dwKept2 = 0;
    int m_nMaxDigital = 8;
    int m_nMaxOutputs = 8;
    int m_bClassChanged = 0;
    int m_bResetChanged = 0;
    int m_bNewLayout = 1;
    int m_nClassCode = CHIP_INITIAL;
    DWORD m_dwKept3 = 4;
    CNumber m_digitalInputs;
    CNumber m_analogueInputs;
    CNumber m_outputs;
    int m_nSavedDigitalNames = 4;
    int m_nSavedAnalogueNames = 0;
    int m_nSavedOutputNames = 4;
    CString m_strClassName = kChipUnnamedClass;
    int m_bUsart = 1;
    int m_bSerial = 0;
    int m_nMaxAnalogue = 0;
    int m_bTransmitting = 0;
    int m_nBitIndex = 0;
    int m_nBitCount = 0;
    int m_bClassPending = 0;
    int m_bCustomSizes = 0;
    std::vector<CChipPort*> m_ports;
    std::vector<CFlowMeterMessage*> m_messages;
    static constexpr int kBitBufferSize = 120;
    DWORD m_bits[kBitBufferSize] = {};

    // In memory only: the advanced dialog's counts (used with the
    // custom-sizes flag), its choice lists and the old record's words.
    int m_nCustomDigital = 4;
    int m_nCustomOutputs = 4;
    int m_nCustomAnalogue = 0;
    CString m_strInputCountChoices;
    CString m_strOutputCountChoices;
    DWORD m_legacyWords[8] = {};
    CString m_legacyTexts[8];

protected:
    static int CountOf(const CNumber& n);
    int Range() const;
    // The first placement's naming (only in a design that is not temporary).
    void NameForDesign();
    // Ports, serial pins, terminals and messages for the present counts.
    void BuildPorts();
    void DeletePortsAndMessages();
    // Gives the two serial ports of the present class their default names.
    void UnnameSerialPorts();
    void ApplyClassRow();
    void RenamePort(int port, const CString& name);
    // The index of the first port named name in [from, to), or -1.
    int FindPort(const CString& name, int from, int to) const;
    void SetSendPins(int value);
    void ReadPorts();
    void SerializeCurrent(CArchive& ar);
    void LoadOldRecord(CArchive& ar);
    void CheckLoadedRecord() const;

    std::unique_ptr<CFlowChipLink> m_pFlowLink;
};

// The first chip of the design whose flowchart name equals name (compared
// without regard to case), or null: how a flowchart start finds its chip.
CChip* FindChipForFlowchart(const CCircuit* design, const CString& name);
