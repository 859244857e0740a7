// CFlowStart: the head of one named flowchart ("Flowchart 1", "Flowchart
// 2", ...) and its hub.  The microcontroller part with the same flowchart
// name runs it.  During a run the start keeps the flowchart's variables, its
// subroutine call stack and its current element, and it answers every
// question an element asks about the microcontroller, finding the
// microcontroller anew by name for each (FindChip).  It checks its
// flowchart at reset (flow_check.cpp) and blocks a run while errors stand.
//
// Files: flow_start.cpp (children, naming, properties, record),
// flow_start_run.cpp (pressing, runs, variables, call stack, services),
// flow_check.cpp (the check).
#pragma once

#include "flowchart/chip.h"
#include "flowchart/flow_export.h"
#include "flowchart/flow_object.h"

#include <vector>

class CFlowChipLink;
class CFlowMeterMessage;

// Room in the start's tables.
constexpr int kFlowVariableSlots = 200;
constexpr int kFlowCallDepth = 100;
constexpr int kFlowErrorSlots = 200;

class CFlowStart : public CFlowObject, public CChipRunTarget {
    WB_DECLARE_SERIAL(CFlowStart)
public:
    CFlowStart();
    ~CFlowStart() override;

    void Serialize(CArchive& ar) override;

    // ---- CPart / CComponent overrides ----
    // A unique name, the start button, the name label, the caption label
    // and, when wanted, the record button.
    void CreateChildren() override;
    // A start made by the Add command takes a name no other start of the
    // design has (it did not know its design when it was made).
    void Drop(CPartTree* design) override;
    // The buttons: 1 on press, 0 on release; the release acts.
    int SetInputValue(CPartTree* design, int value) override;
    void OnSimulationStopped() override;
    void OnSimulationReset() override;
    void RefreshState() override;
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    void Stamp(CMatrix* matrix) override;
    const char* GetLinkName() override { return m_strName.c_str(); }
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    // ---- CFlowObject overrides ----
    void GetBasicText(CString& out, int* code, CFlowObject* exporting) override;
    void GetProgramName(CString& out) override { out = m_strName; }
    void UpdateCaption() override;
    void ApplyControlChoice(int choice);
    // The bound monitors follow when the flowchart starts or stops running.
    void SetCurrentElement(CFlowObject* element) override;
    // Every BASIC viewer bound to this flowchart shows its program, exported
    // in the viewer's dialect (the design's language is put back after).
    void RefreshBasicViewers() override;

    // ---- the flowchart ----
    // Traces the flowchart and gives every element found its errors; the
    // count is kept as the check result (non-zero blocks a run).
    int CheckFlowchart();
    // The duplicate-name rule after a rename: a start whose name is unique
    // again loses code 0, and so does every other start, which is traced
    // again.
    void ApplyNameRule();
    // Another start of the design has this name (case-sensitive).
    bool IsNameTaken(const CString& name) const;
    // Starts a run (the microcontroller's request); nothing when the
    // flowchart has errors or when `start` is 0.
    void StartRun(int start);
    // The microcontroller's reset pin held low: refuse 0 starts the run anew.
    void StartRunFromChip(int refuse) override { StartRun(refuse ? 0 : 1); }
    // Stops the element holding the token and unwinds the call stack.
    void StopCurrent();
    CFlowObject* GetCurrentElement() const { return m_pCurrent; }

    // ---- what elements ask of the microcontroller ----
    // The microcontroller bound to this flowchart, null when none.
    virtual CFlowChipLink* FindChip();
    int HasChip();
    CString GetMicrocontrollerClass();
    CString GetOutputLabels();
    CString GetInputLabels();
    CString GetAnalogLabels();
    CString GetMotorLabels();
    // The input's value; -1 without a microcontroller, -5 no such input.
    int ReadInput(const CString& label);
    int IsInputDigital(const CString& label);
    // 1 done, 0 no such output, -1 without a microcontroller.
    int SetOutputPin(const CString& label, int value);
    // Every output from one bit of the value: 1 done, -1 without a
    // microcontroller.
    int SetOutput(int value);
    // SetOutput with a variable's value; 0 when the variable has none.
    int SetOutputsFromVariable(const CString& name);
    // The motor on an output and the one after it (0 forwards, 1 halt, 2
    // backwards): 1 done, 0 refused, -1 without a microcontroller.
    int DriveMotor(const CString& lowerPin, int direction);
    // 50 when the label names no pin.
    int GetInputPinIndex(const CString& label);
    int GetAnalogPinIndex(const CString& label);
    CString GetNextOutputLabel(const CString& label);
    int GetInputCount();
    // The serial line (flow_start_serial.cpp): without a microcontroller
    // the readings answer -1, the pin indexes 50 and nothing is started.
    int ReadDigitalByte();
    int ReadAnalogInput(int i);
    int ReadReceivePin();
    int GetSendPinIndex();
    int StartTransmission(const int* values, bool whole);
    // A send element of this flowchart arms, then delivers to, the receive
    // elements of the other flowcharts.
    void ArmReceivers(bool hasChip);
    void DeliverToReceivers(const int* values);
    // The next number of the export's label counter (a receive element's
    // loop labels).
    int TakeLabelNumber();
    // The output's pin number (50 when no output has the name), the first
    // output's number and the output count; without a microcontroller the
    // default outputs "Output0".. "Output3" follow the class's inputs.
    int GetOutputPinNumber(const CString& label);
    int GetOutputPinOffset();
    int GetOutputCount();

    // ---- variables (names compare without case) ----
    int GetVariable(const CString& name) const;
    bool HasVariable(const CString& name) const;
    // 1 when the table is full.
    int AddVariable(const CString& name);
    void RenameVariable(const CString& oldName, const CString& newName);
    void SetVariable(const CString& name, int value);
    void ClearVariables();
    int GetVariableCount() const { return static_cast<int>(m_nVariableCount); }

    // ---- call stack ----
    // -1 called (or waiting for the subroutine to be free); 5096 stack
    // full, 16 the subroutine's structure check failed, 32 none such.
    int CallSubroutine(const CString& name, CFlowObject* caller);
    // The callers of a subroutine hear that it is busy (0) or that control
    // went in (1).
    void NotifyCallers(CFlowObject* subroutine, int state);
    void Return();
    // Every call ends, from the top: the subroutines other than `except`
    // let this flowchart go and every caller stops calling.
    void UnwindCalls(CFlowObject* except);
    // A caller gives up its call: its entry and those above it end as in
    // UnwindCalls (flow_start_calls.cpp).
    void DropCall(CFlowObject* caller);
    int GetCallDepth() const { return static_cast<int>(m_nCallDepth); }

    // ---- BASIC export (flow_export.cpp) ----
    // The flowchart's whole program text and its code: 0, a warning
    // (2001-2099, the text usable) or an error (824 "Error in export").
    void ExportBasic(CString& out, int* code);
    // The operations of the walk; elements may call them while they give
    // their lines (a motor declares its second pin with Declare).
    void RegisterLabel(uint16_t node, const CString& text);
    // Writes the net's label definition ("label3:  "): always with write,
    // else only when the net had no label yet.  Clears the indent flag.
    void DefineLabel(uint16_t node, int write, int slot);
    // "goto " (unless labelOnly) and the net's labels; with findOrMake a net
    // without one gets a new label.  Whether the net had one before.
    bool Goto(uint16_t node, int findOrMake, int labelOnly, int slot);
    // 12 blanks when the indent flag is set; then sets it.
    void Indent(int slot);
    void SetIndentPending() { m_export.indentPending = true; }
    void Declare(const CString& text, int kind);
    void DeclareByte(const CString& name);
    void AppendToSlot(const CString& text, int slot);
    // Routine kinds 1 and 2 are appended once per export, after the slot.
    void AppendOnce(const CString& text, int kind, int slot);
    const CFlowExportState& GetExportState() const { return m_export; }

    // ---- panels bound by the flowchart's name (flow_start_panels.cpp) ----
    // Whether the flowchart runs: the start counts its own steps, or an
    // element other than a stop holds the token.
    bool IsRunning() const;
    // Every bound monitor shows the variables and whether the flowchart runs.
    void RefreshMonitors();
    // A run starts: the monitors show the table as running, the display
    // boxes are cleared.
    void RefreshPanelsForRun();
    // What display elements print, into every bound display box; a value
    // is the variable's, printed with "%d".
    void WriteText(const CString& text);
    void WriteValue(const CString& name);
    // A read element asks for input: every bound input box is armed and the
    // request is pending; the number of boxes armed (0: none).
    int RequestInput();
    // A box's submitted number meets the pending request (m_bPendingRequest
    // clears, m_nPendingValue holds it) and the other boxes are disarmed.
    void SubmitInput(int value);
    // Every bound box is disarmed and a pending request dropped.
    void ReleaseInputBoxes();
    // A read element asks for a number for the variable.  Done (true) when
    // a box submitted one since the last request: the variable is made when
    // missing (2048 the table is full), 128 when the number is above the
    // variable range, else it is stored (-1); or when no box is bound (258).
    // Not done while the boxes wait (they are armed).
    bool ReadRequest(const CString& name, int& code);

    // ---- members, in the order of the description ----
    int m_words[8] = {};
    CString m_strDisplayName;
    struct Variable {
        CString name;
        int value = -1;
    };
    Variable m_variables[kFlowVariableSlots];
    CFlowObject* m_pCurrent = nullptr;
    int m_nCheckResult = 0;
    int m_nWord2 = 0;
    unsigned m_nVariableCount = 0;
    unsigned m_nCallDepth = 0;
    struct Call {
        CFlowObject* caller = nullptr;
        CFlowObject* called = nullptr;
    };
    Call m_calls[kFlowCallDepth];
    struct ErrorEntry {
        CFlowObject* element = nullptr;
        int code = -1;
    };
    ErrorEntry m_errors[kFlowErrorSlots];
    unsigned m_nErrorCount = 0;
    unsigned m_nExportWarning = 0;
    int m_bPendingRequest = 0;
    unsigned m_nPendingValue = 0;
    unsigned m_nInputBoxCount = 0;
    int m_bHasRecordButton = 1;
    CString m_strProgramButton;
    int m_bReadyToProgram = 1;
    // A box submitted a number that no read element has taken yet (not in
    // the record: a run reloaded asks again).
    int m_bValueSubmitted = 0;
    int m_nAppendedRoutines = 0;
    CFlowExportState m_export;
    // Set on an Add command's new start until its first drop.
    bool m_bFreshName = true;

private:
    CFlowMeterMessage* GetNameLabel() const;
    CPart* FindChildOfClass(const char* className) const;
    // Tables emptied: variables, calls, errors, the current element.
    void ClearRunTables();
    void TakeUniqueName(const CCircuit* design);
    // Sets the active flag and the steps of the start's own run.
    void BeginOwnRun();
    // The walk from a net into a slot; `from` has its exit on the net.
    void ExportWalk(CFlowObject* from, uint16_t node, int slot, const std::vector<CFlowObject*>& elements);
    // A call's subroutine into the next free slot, once per export.
    void ExportSubroutine(CFlowObject* call, const std::vector<CFlowObject*>& elements);
    // The button that went down with the last press (null: none).
    CPart* m_pPressed = nullptr;
};
