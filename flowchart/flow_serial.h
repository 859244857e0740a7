// The serial elements: one flowchart passes up to six numbers to another
// over the serial line between two microcontroller parts.
//
// CFlowSend collects its values when it receives control (a variable, the
// chip's digital inputs as one byte, up to four analogue inputs), arms the
// receive elements of the other flowcharts, starts the bit frames on its
// chip's Send pin and, once the frames have had time to pass (20 steps a
// frame), hands the values to the armed receivers.  CFlowReceive holds its
// flowchart until values arrive and stores them in its six target
// variables.  Without a chip the transfer takes one step.  Addresses: 1
// variable, 2 digital port, 3..6 analogue inputs 0..3; end marker $66.
//
// Files: flow_serial_send.cpp, flow_serial_receive.cpp, flow_serial_basic.cpp
// (the exported BASIC lines).  See README.md.
#pragma once

#include "flowchart/flow_object.h"

class CFlowStart;

// The six addresses of a transfer.
constexpr int kSerialAddresses = 6;
// A value not sent.
constexpr int kSerialNotSent = -1;
// Steps one frame (an address byte and a value byte) takes on the line.
constexpr int kSerialFrameSteps = 20;
// A variable whose value does not fit the line's byte or the range.
constexpr int kSerialErrRange = 6040;

class CFlowSend : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowSend)
public:
    CFlowSend();

    // The element record, then the send fields (step count, sending, the
    // four flags, the analogue count and the six values).
    void Serialize(CArchive& ar) override;
    // The connectors and the message label, then the caption; the values
    // start unsent.
    void CreateChildren() override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    using CFlowObject::GetPropertyBitmap;
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    // 36053 variable name, 36059 analogue count, 36074 the options dialog,
    // 36111-36113 the three toggles: 65; others to the base.
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Counts the transfer's steps and delivers when they are over.
    int AfterStep() override;
    // Captures the values, arms the receivers and starts the bits.
    int Validate() override;
    // The flow time step plus the transfer's steps at the update rate.
    double GetRunTime() override;
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting) override;
    void GetBasicSubroutine(CString& out, int* kind, CFlowObject* exporting) override;
    void ResetRun() override;
    void UpdateCaption() override;

    // Steps the transfer takes: with a chip 20 a frame (every value sent
    // and the end marker) when the whole sequence is played, else 20; one
    // without a chip.
    int TransferSteps(bool hasChip) const;
    int AnalogueInputsSent() const { return m_bSendAnalogue ? m_nAnalogueCount : 0; }

    // ---- fields, in archive order ----
    int m_nStepCount = 0;
    int m_bSending = 0;
    int m_bSendAnalogue = 0;
    int m_bWhole = 0;
    int m_bSendDigital = 1;
    int m_bSendVariable = 1;
    int m_nAnalogueCount = 4;
    int m_values[kSerialAddresses] = {-1, -1, -1, -1, -1, -1};
    // In memory: the variable sent.
    CString m_strVariable = "x";
};

class CFlowReceive : public CFlowObject {
    WB_DECLARE_SERIAL(CFlowReceive)
public:
    CFlowReceive();

    // The element record, then the receive fields.
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    void OnSimulationStopped() override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    // 36053 chooses an address (65), 36059 names its variable (65; 4 when
    // the name was shortened to differ from the others).
    int OnPropertyCommand(int commandId, const CString& text) override;
    // Samples the line while armed; holds the flowchart until values came.
    int AfterStep() override;
    // Makes the six target variables and sets them to 0; 2048 table full.
    int Validate() override;
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting) override;
    void GetBasicSubroutine(CString& out, int* kind, CFlowObject* exporting) override;
    void ResetRun() override;
    // "Receive".
    void UpdateCaption() override;
    // 1 an address chosen (the edited name becomes its variable's), 2 the
    // edited name stored as the chosen address's variable (a name with a
    // blank is refused: the old name comes back).
    void ApplyChoice(int code);

    // ---- the sender's start calls these ----
    // Armed by a sender whose chip situation matches this flowchart's;
    // whether the element is active.
    int Arm(bool senderHasChip);
    // The values reach the target variables (unsent ones as 0) when the
    // element is armed and, on a chip, the Receive pin saw the line high.
    void Deliver(const int values[kSerialAddresses]);
    // Whether a sender may arm it: always when not asked; else only when
    // active in a flowchart whose chip situation matches the sender's.
    bool CanAccept(bool asked, bool senderHasChip) const;
    // The element belongs to a flowchart other than `start`.
    bool IsOtherFlowchart(const CFlowObject* start) const;

    // ---- fields, in archive order ----
    int m_bWaiting = 0;
    int m_bReceived = 0;
    int m_nLineSamples = 0;
    int m_nSelected = 0;
    CString m_strSelectedLabel;
    CString m_strEdited = "x";
    CString m_targets[kSerialAddresses];

private:
    // This flowchart's chip exists and carries serial communications.
    bool ChipSituationMatches(CFlowStart& flowchart, bool senderHasChip) const;
};

// The receive elements of the design that a sender in `sender`'s flowchart
// reaches: those of other flowcharts that accept it (at most 100).
std::vector<CFlowReceive*> SerialReceivers(CFlowStart& sender, bool senderHasChip, bool asked);

// "Advanced Send Options": the user interface's dialog edits the whole
// flag ("Animate Full Sequence"); true on OK.
class CFlowSendDialogHost {
public:
    virtual ~CFlowSendDialogHost() = default;
    virtual bool Edit(int& whole) = 0;
    static CFlowSendDialogHost* Current();
    // Installs a host and returns the one it replaces.
    static CFlowSendDialogHost* Install(CFlowSendDialogHost* host);
};
