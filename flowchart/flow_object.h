// CFlowObject: the base of every flowchart element.  An element is an
// ordinary component: its connectors are terminals of the flowchart wire
// kind, it is stamped into the design's network every solve and stepped
// after it.  Control passes between elements as a voltage: an element whose
// input node rises above the design's logic threshold becomes active, stays
// active for GetRunTime() x update rate steps (at least 2), then drives its
// output node for exactly one solve, which triggers the element wired to it.
// Loops and branches are wires; the solver carries the token.
//
// Terminals: 0 the input (a top connector, orientation code 0), 1 the output,
// 2 a branching element's second exit; a head's only connector, 0, is its
// output.  See README.md for the step-by-step timing.
#pragma once

#include "model/components/component.h"
#include "model/text/number.h"

class CFlowMeterMessage;

// Picture states (frames) of an element.
enum : int { FLOW_LOOK_IDLE = 0, FLOW_LOOK_RUNNING = 1, FLOW_LOOK_ERROR = 2 };

// The error code of an element without an error.
constexpr int kFlowNoError = -1;

// The branch that an element's output drives: 1e-9 S to ground with an
// idle source of 2e-5 A into the node and 5 A more while finishing.  Into
// the next element's 1 S input that gives about 20 uV idle and 5 V driving.
constexpr double kFlowInputConductance = 1.0;
constexpr double kFlowOutputConductance = 1e-9;
constexpr double kFlowIdleCurrent = -0.00002;
constexpr double kFlowDriveCurrent = -5.0;

// The blink cycle of an element that halts its flowchart with an error:
// error look from count 1, normal look from count 6, back to 0 at 12.
constexpr int kFlowBlinkErrorAt = 1;
constexpr int kFlowBlinkNormalAt = 6;
constexpr int kFlowBlinkPeriod = 12;

class CFlowObject : public CComponent {
    WB_DECLARE_SERIAL(CFlowObject)
public:
    CFlowObject();
    ~CFlowObject() override;

    // The CComponent record, then the element record (flow_object.cpp).
    void Serialize(CArchive& ar) override;

    // ---- CPart / CComponent overrides ----
    // The connectors (flowchart wire kind), then the caption's message label.
    void CreateChildren() override;
    void CreateTerminals(int flags) override;
    int CanProbeAt(int, int) override { return 0; }
    void OnSimulationStopped() override;
    void OnSimulationReset() override;
    int HasInfo(int x, int y) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    void RefreshState() override;
    int IsFlowchartPart() override { return 1; }
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetState() override {}
    int GetKindCode() override { return 7; }
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;
    // The picture in its state: the running look only while the live state
    // is shown (draw flag 0x4), the error look a check found always.
    int Draw(DWORD flags) override;

    // ---- virtual operations of the element, in their order ----
    // What the element refers to, checked at activation; stores and returns
    // the error code (-1 none).
    virtual int Validate();
    // Seconds the element stays active; base: the design's flow time step.
    virtual double GetRunTime();
    virtual void GetBasicText(CString& out, int* code, CFlowObject* exporting);
    virtual void GetBasicDeclarations(CString& out, int* kind, CFlowObject* exporting);
    virtual void GetBasicSubroutine(CString& out, int* kind, CFlowObject* exporting);
    virtual void ResetRun();
    virtual int CountChips();
    virtual void DetachStart() { m_pFlowStart = nullptr; }
    virtual void GetProgramName(CString& out) { out.Empty(); }
    virtual void RefreshBasicViewers();
    // Rebuilds the caption from the element's settings; base: nothing.
    virtual void UpdateCaption() {}
    // A head (start of a flowchart or subroutine): no input connector, its
    // only connector is the output.
    virtual bool IsHead() const;
    // The exit that finishing drives: 1; a branching element chooses.
    virtual int GetDrivenExit() const { return 1; }
    // A head keeps the element that holds its flowchart's token: the
    // element became active (this one) or stopped holding it (null).
    virtual void SetCurrentElement(CFlowObject*) {}
    // The text of an error code (empty: no text for it).
    virtual CString GetErrorText(int code) const;
    // The call stack of a start element talks to subroutine heads and to
    // the elements that call them through these; the base does nothing.
    // A subroutine head starts running for the flowchart, or the
    // flowchart's call into it ends (it leaves the head's queue).
    virtual void StartSubroutine(CFlowObject* flowchart) {}
    virtual void StopSubroutine(CFlowObject* flowchart) {}
    // A caller hears that its subroutine is busy (0), that control went in
    // (1), or that it returned and the caller may go on (2).
    virtual void OnCallState(int state) {}

    // ---- plain operations ----
    // Picture state 0 normal, 1 running, 2 error; other codes are ignored.
    void SetLook(int code);
    void SetError(int code);
    void ShowErrorInStatusBar();
    bool IsBranching() const;
    bool IsEndElement() const;
    // Terminal 0 is an input connector: the element is no head and the
    // terminal has orientation code 0.
    bool HasInputConnector() const;
    // The output connector: terminal 0 of a head, else terminal 1 (null when
    // the element has none).
    CTerminal* GetOutputTerminal() const;
    // The element's other terminals and whether each has orientation code 0:
    // from the last down to the first for a branching element turned by
    // code 0 or 3, else from the first up; the terminal on `node` is left out.
    std::vector<std::pair<uint16_t, int>> OtherTerminals(uint16_t node) const;
    // A terminal sits on the node: 1 + its flag (orientation code 0), else 0.
    int TerminalOnNode(uint16_t node) const;
    // Two distinct terminals share a node: the sum of their flags (+1 each
    // so that the answer is non-zero), else 0.
    int SharedNodeFlags() const;
    // The index of the terminal on the node (0 when none).
    int TerminalIndexOnNode(uint16_t node) const;
    // The owner that holds the token: the subroutine, else the flowchart;
    // only while it still stands in the element's design.
    CFlowObject* GetOwner() const;
    CFlowMeterMessage* GetMessageLabel() const;
    // Shows the caption on the message label with the message tag.
    void RefreshMessage();

    // ---- members, in the order of the description ----
    int m_bInputLatch = 0;
    int m_nShownState = 0;
    CPart* m_pLastDragged = nullptr;
    int m_bNeedsCheck = 1;
    int m_nReserved = 0;
    int m_nBusy = 0;
    int m_bFinishing = 0;
    int m_bActive = 0;
    CNumber m_parameter;
    CString m_strName;
    CString m_strChoices;
    int m_bResetRequested = 0;
    CString m_strCaption;
    CString m_strMessageTag;
    CFlowObject* m_pFlowStart = nullptr;
    CFlowObject* m_pSubStart = nullptr;
    double m_dSpare = 0.1;
    int m_nStepsLeft = -1;
    int m_nResetHold = 0;
    int m_nErrorCode = kFlowNoError;
    int m_nBlink = 0;
    int m_bErrorShown = 0;

protected:
    // Where the message label stands, relative to the element, and its
    // width, mode and value (the meter message constructor's arguments).
    struct LabelPlace {
        int x, y, width, mode, value;
    };
    // Base: by the element's group (flow_object.cpp's table).
    virtual LabelPlace GetLabelPlace() const;

private:
    // The element stands where the design's owner of the token is alive.
    bool IsOwnerAlive(const CFlowObject* owner) const;
    void Redraw();
};
