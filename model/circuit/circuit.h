// CCircuit: the root of one design.  It owns every part (in the five groups
// of CPartTree), the network solver, the simulation controller's state and
// the design-wide settings.  The controller (controller.cpp) runs the
// simulation pass by pass; see README.md.
#pragma once

#include "model/circuit/circuit_settings.h"
#include "model/circuit/design_document.h"
#include "model/circuit/page_change.h"
#include "model/circuit/simhost.h"
#include "model/designfile/design_extras.h"
#include "model/parts/parttree.h"
#include "model/solver/matrix.h"
#include "model/solver/state.h"

class CComponent;
class CTerminal;
class CWire;

// Option-word bits used by the engine.
enum : DWORD {
    OPT_SIMULATE = 0x4,
    OPT_MUTED = 0x8,
    OPT_STOPPED_FOR_EDIT = 0x200,
    OPT_INDESTRUCTIBLE = 0x1000,
    OPT_LOCKED = 0x4000,
};

// Controller codes.
enum : int {
    SIM_ACTIVATE = 0,
    SIM_DEACTIVATE = 1,
    SIM_IDLE = 2,
    SIM_RESTART_RECORDING = 3,
    SIM_SWITCH_CHANGED = 4,
    SIM_SENSOR_CHANGED = 6,
    SIM_TIMER = 7,
};

// Samples held in the probe ring.
constexpr int kProbeRingSize = 2000;

// value x 1000^exponent (up) or / 1000^exponent.
double ScaleByThousands(double value, int exponent, bool up);

class CCircuit : public CPartTree, public CCircuitSettings, public CLogicLevels {
    WB_DECLARE_SERIAL(CCircuit)
public:
    CCircuit();
    ~CCircuit() override;

    // The design file layout (model/designfile/circuit_serialize.cpp).
    void Serialize(CArchive& ar) override;
    // The version marker and the product words; false for a newer file.
    bool WriteVersionMarker(CArchive& ar);

    // ---- virtual operations of the design root ----
    virtual void ResetToDefaults();
    virtual void SaveUndoSnapshot();

    // ---- CPart / CPartTree overrides ----
    CPart* AddChild(CPart* part) override;
    int RemoveChild(CPart* part) override;
    void OnSimulationStopped() override;
    int IsDesignItem() override { return 1; }
    int IsDeletable() override { return 1; }
    int Draw(DWORD) override { return 0; }
    // Drawing the design (circuit_draw.cpp): see README.md, "Drawing".
    void DrawTree(DWORD flags) override;
    void DrawTreeInRect(DWORD flags, int mode, const CRect& clip, CPart* except) override;
    // The option word as drawing flags (0x4: show the live state, 0x10:
    // current arrows), without the two bits that are drawing commands there
    // (0x200 frame every part, 0x80000 draw nothing).
    DWORD GetRedrawFlags() const override { return GetOptions() & ~DWORD(0x200 | 0x80000); }
    // A part that drew over its neighbours asks for the second pass of the
    // drawing in progress (DrawTreeInRect).
    void RequestSecondPass() { m_bSecondPass = 1; }
    DWORD GetOptionWord() const override { return GetOptions(); }

    // ---- options and permissions ----
    // The option word, with the running-only bits read as 0 while the
    // simulation is switched off.
    DWORD GetOptions() const;
    bool TestOptions(DWORD mask) const { return (GetOptions() & mask) != 0; }
    void ToggleOptions(DWORD mask) { m_dwOptions ^= mask; }
    void SetOptionBits(DWORD mask, bool on) { m_dwOptions = on ? (m_dwOptions | mask) : (m_dwOptions & ~mask); }
    bool IsAllowed(DWORD mask) const { return (m_dwPermissions & mask) != 0; }

    // ---- logic family (CLogicLevels for the device models) ----
    void SetLogicFamily(int family, double supply, int notify);
    double GetLogicConductance() const { return m_dLogicConductance; }
    double GetLogicHighCurrent() const override { return m_dLogicHighCurrent; }
    double GetLogicSupplyVoltage() const { return m_dLogicSupply; }
    double GetLogicThreshold() const override { return m_dLogicThreshold; }
    double GetInputHighThreshold() const { return m_dInputHighThreshold; }
    double GetInputLowThreshold() const { return m_dInputLowThreshold; }
    double GetSchmittThreshold() const { return m_dSchmittThreshold; }
    double GetSchmittHysteresis() const { return m_dSchmittHysteresis; }
    int GetAnalogRange() const { return m_nAnalogRange; }
    double GetFlowTimeStep() const { return m_dFlowTimeStep; }
    // "Assembly" 2, "BASIC C2" 0, else 1.
    void SetProgramLanguage(const CString& text);

    // ---- nodes and nets ----
    uint16_t NewNode() { return m_wNextNode++; }
    uint16_t GetNextNode() const { return m_wNextNode; }
    void SetNextNode(uint16_t n) { m_wNextNode = n; }
    // Numbers every net of the design from 0 (the reference net) up and
    // leaves the next-node counter after the last net.
    void RenumberNodes();
    CComponent* GetReferencePart() const { return m_pReferencePart; }
    // Every terminal of every component and every wire of the design.
    void CollectConnections(std::vector<CWire*>& out) const;
    // Clears every link word in the design that points to w.
    void UnlinkEverywhere(const CWire* w);
    // Joins the wire end or terminal end at p to every other wire end and
    // terminal outer end at p (kinds permitting).
    void JoinAt(CWire* w, int end);
    // Splits a plain wire at an inner point into two joined wires (the new
    // second half is returned, filed in WIRES); null when p is not inside.
    CWire* SplitWire(CWire* w, CPoint p);
    // Where exactly two plain wires of one kind meet end to end in line,
    // they become one; true when merged.
    bool MergeAt(CPoint p, CWire* keep = nullptr);
    // The rules of a dropped wire: ends join what ends there and split a
    // wire they land on (junction dot); ends and terminals standing on it
    // split it; wires crossing it get crossover pairs; then in-line merges.
    void LayWire(CWire* w);

    // ---- parts ----
    int RemovePart(CPart* part);
    // A light source left the design: no sensor keeps it.
    void DecoupleLight(CPart* source);
    CComponent* GetFirstComponent() const;
    CPart* GetFirstPart() const;
    int GetElectricCount() const { return m_wElectricCount; }
    int GetMechanicalCount() const { return m_wMechanicalCount; }
    void ClearDesign(int reset);
    void ResetRun(int markChanged);
    int OnDesignChanged();
    void BroadcastToComponents(int code);
    bool CanAddPart(int kind, bool extra, bool force) const;
    bool CanChangeSettings() const { return !IsLocked(); }
    int RepairOrDeleteBroken(CPart* part);
    // Probe channels 0..3; 4 when all are used.
    int AllocateProbeChannel();
    // Marks a channel 0..3 used; false when it is taken or out of range.
    bool MarkProbeChannel(int channel);
    // Clears a used channel's flag and counts one probe less.
    void ReleaseProbeChannel(int channel);
    // The channel flags and the probe count made again from the probes of
    // the PROBES group (the file's own words are not trusted).
    void RebuildProbeChannels();
    void RefreshProbes();
    // After-load fix-ups of the design root (circuit_load.cpp): counts the
    // electric and mechanical parts again, then every part's own; shows and
    // empties the file-open warnings of a design the user opened.
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    // This design's probes take their channels in target and record there.
    void RegisterProbes(CCircuit* target);
    // The probe on a channel (4: the extra probe); null when none.
    CPart* FindProbe(int channel) const;

    // ---- flowcharts (the flowchart parts fill these groups) ----
    // The parts of one class (by name, kinds included) in a group, in list order.
    std::vector<CPart*> CollectParts(int group, const char* className) const;
    std::vector<CPart*> CollectFlowObjects() const { return CollectParts(GROUP_COMPONENTS, "CFlowObject"); }
    std::vector<CPart*> CollectChips() const { return CollectParts(GROUP_COMPONENTS, "CChip"); }
    std::vector<CPart*> CollectFlowStarts() const { return CollectParts(GROUP_COMPONENTS, "CFlowStart"); }
    std::vector<CPart*> CollectFlowReceives() const { return CollectParts(GROUP_COMPONENTS, "CFlowReceive"); }
    std::vector<CPart*> CollectFlowViewers() const { return CollectParts(GROUP_OTHERS, "CFlowViewer"); }
    std::vector<CPart*> CollectInputBoxes() const { return CollectParts(GROUP_OTHERS, "CInputBox"); }
    std::vector<CPart*> CollectBasicViewers() const { return CollectParts(GROUP_OTHERS, "CPBasicViewer"); }
    // The flowchart start whose name (GetLinkName) matches.
    CPart* FindFlowStart(const CString& name) const;

    // ---- editing operations of the shell ----
    // The page is widened to at least the default page unless an offset is set.
    void SetPageRect(int l, int t, int r, int b);
    // A new offset moves every part by the change and deletes those left
    // outside the page.
    void SetOffset(CSize offset);
    // Removes and deletes every selected (DeleteSelected) or unselected
    // (DeleteUnselected) part that is a free design item.
    void DeleteSelected();
    void DeleteUnselected();
    // Selected parts in walk order; out receives the last one.  With
    // ignoreWiresOnly, 0 when every selected part is a wire.
    int CountSelected(CPart** out, int ignoreWiresOnly);
    // Takes the part out of its list and puts it back at the head (code 2)
    // or at the end (any other code).
    void MovePartInTree(CPart* part, int code);
    void SetLinkedDesign(CCircuit* linked);
    CCircuit* GetLinkedDesign() const { return m_pLinkedDesign; }

    // ---- selection, drag and drop (circuit_select.cpp) ----
    // Select, Deselect and SelectIfInRect reach every part of the design.
    void Select(DWORD flags) override;
    void Deselect(DWORD flags) override;
    void SelectIfInRect(const CRect& rect, DWORD flags, int whole) override;
    // The base drag image; a failure resets the design and is passed on.
    CRect BeginDragImage() override;
    // The floating design follows the mouse: a pending drag operation of
    // another part gets the drag; otherwise the parts move to the grid point
    // and the parts dragged (the single part, or every selected one) are told.
    CRect OnDrag(CPartTree* design, CPoint point) override;
    // Releases the pending operation or drops the dragged parts into design
    // (9 dropped, 3 the drag goes on, 2 refused, 0 nothing armed); ends the
    // operation with the result.
    int OnRelease(CPartTree* design, int x, int y) override;
    void OnDragStarted(CPart* part) override;
    // FindPartAt with class mask 64, stop mask 1, options 1 (design items).
    CPart* FindPartAtPoint(CPoint point);
    // Empties the groups without deleting; with a part, that part alone
    // heads the group of its class; with null no press stays armed.
    void HoldOnlyPart(CPart* part);
    // Edit/Delete: the selection, or the part the linked design holds.
    void DeleteSelection();
    // The floating design and the view's scrolling: 0 may it scroll by
    // offset, 2 it was scrolled by offset, 3 scrolled after the design moved,
    // 4 draw it at its dragged place.
    int ForwardDrag(int code, CSize offset);
    // Ends the pending drag operation (a result of 3 keeps it: the drag goes
    // on); returns the result.
    int EndDragOperation(int result);
    // The point (snapped when asked) differs from the last drag point.
    bool HasPointMoved(CPoint point, bool snap) const;
    // Removes the part (RemovePart), makes the linked and host designs let
    // go of it, and deletes it: no design keeps a pointer to it.
    void DeletePart(CPart* part);
    // Takes the part out of this design's groups without unlinking it
    // (nothing when it does not stand here).
    void ForgetPart(CPart* part);
    // The part stands in one of this design's groups.
    bool HoldsTopLevel(const CPart* part) const;
    // The parts a drag or release goes to: the only part, else the selected.
    std::vector<CPart*> GetDragTargets();

    // ---- flags other parts set ----
    void SetChanged() { m_bChangeFlag = 1; }
    int GetChanged() const { return m_bChangeFlag; }
    void SetPendingRefresh(int v) { m_nPendingRefresh = v; }
    int GetPendingRefresh() const { return m_nPendingRefresh; }
    void RequestBuzzer() { m_bBuzzerRequest = 1; }
    void SetComponentDestroyed() { m_bComponentDestroyed = 1; }
    int HasBlownPart() const { return m_bComponentDestroyed; }

    // ---- the simulation controller (controller.cpp) ----
    int ControlSimulation(int code);
    void RunSolverPass();
    int YieldToInput();
    int GetTimerInterval() const;
    double GetStepPeriod() const { return 1.0 / m_dUpdateRate; }
    void SetStepTimer(int interval);
    void KillStepTimer(int force);
    void ScheduleStep(int code, int interval);
    int WantsIdle() const;
    int RecalcStepLimit();
    // The update rate a run of the design uses: the largest rate its parts
    // (nested ones too, depth first) ask for and at least the display rate,
    // unless a part fixes the rate (code 4); the present rate where nothing
    // asks for a positive one.  Changes nothing.
    double RequestedUpdateRate();
    int SetPaused(int paused);
    void RestartRecordingCore(int redraw, int restart, int keepOne);
    void RestartRecording(int redraw);
    void UpdateBlownState();
    void SetSlowMotion(int on) { m_bSlowMotion = on; }
    void SetUpdateRate(double rate) { m_dUpdateRate = rate; }
    void SetSoundPlaying(int on);
    void SetLoopPlayback(int on);

    double GetUpdateRate() const { return m_dUpdateRate; }
    WORD GetStepIndex() const { return m_wStepIndex; }
    int GetSampleCount() const { return m_nRecordedCount; }
    int GetRingStart() const { return m_nRingStart; }
    int IsPaused() const { return m_bPaused; }
    int IsIdlePending() const { return m_bIdlePending; }
    bool IsTimerSet() const { return m_nTimer != 0; }
    int GetTimerSetInterval() const { return m_nTimerInterval; }
    CMatrix& GetMatrix() { return m_matrix; }
    // Set while the design deletes its parts in its destructor.
    bool IsTearingDown() const { return m_bTearingDown; }

    // The view that drives this design (null: none; the controller then
    // runs without timer and input checks).
    void SetHost(CSimulationHost* host) { m_pHost = host; }
    CSimulationHost* GetHost() const { return m_pHost; }
    // The design of the active view.
    static CCircuit*& ActiveCircuit();

    // Re-solves allowed in one pass; past the cap the pass finishes with the
    // last solution.  Tests lower it.
    static constexpr int kDefaultResolveCap = 400;
    void SetResolveCap(int cap) { m_nResolveCap = cap; }
    int GetResolveCap() const { return m_nResolveCap; }
    // Figures of the last pass: re-solves made, whether the cap ended it,
    // whether input interrupted it, node count.
    int GetLastPassResolves() const { return m_nLastResolves; }
    bool WasLastPassCapped() const { return m_bLastCapped; }
    bool WasLastPassInterrupted() const { return m_bLastInterrupted; }
    int GetCompletedPasses() const { return m_nCompletedPasses; }
    uint16_t GetNodeCount() const { return m_wNodeCount; }

    // ---- members (the settings are in CCircuitSettings) ----
    uint16_t m_wNextNode = 1;
    CComponent* m_pReferencePart = nullptr;
    WORD m_wProbeCount = 0;
    int m_bChangeFlag = 0;
    int m_probeChannels[4] = {0, 0, 0, 0};
    CPart* m_pExtraProbe = nullptr;
    CDesignDocument* m_pDocument = nullptr;
    int m_bIdlePending = 0;
    int m_nTimer = 0;
    int m_nTimerInterval = 0;
    int m_bBuzzerRequest = 0;
    int m_bComponentDestroyed = 0;
    int m_bSecondPass = 0;
    int m_bPaused = 0;
    int m_bSlowMotion = 0;
    double m_dUpdateRate = 5.0;
    WORD m_wStepIndex = 0;
    int m_nRecordedCount = 0;
    int m_nRingStart = 0;
    int m_nSampleCounter = 0;
    WORD m_wElectricCount = 0;
    WORD m_wMechanicalCount = 0;
    int m_bSoundPlaying = 0;
    int m_bRecordingHeld = 0;
    int m_nPendingRefresh = 0;
    int m_nStepFlags = 0;
    int m_nRecordingFlags = 0;
    CCircuit* m_pLinkedDesign = nullptr;
    CCircuit* m_pHostDesign = nullptr;
    // What the file carries beyond the engine's members.
    CDesignFileExtras m_fileExtras{this};
    // The page change a clicked picture asked for (page_change.h).
    CPageChange m_pageChange;

private:
    // The components of a group as the pass walks them, kept from pass to
    // pass: each pass compares the group's parts and their classes with the
    // list (pointer compares) and casts again only when they differ.
    struct CPassList {
        std::vector<CPart*> parts;
        std::vector<const CRuntimeClass*> classes;
        std::vector<CComponent*> components;
        std::vector<char> broken;
        void Refresh(CPart* group);
    };
    void MarkBroken(CPassList& list);
    int AssignNodes();
    void StampAll();
    CState* FindStepLimiter();
    void DropPendingTimer();
    void FinishStep();
    void SampleProbes();
    void UpdateBuzzer(int code);

    CMatrix m_matrix;
    CPassList m_passComponents;
    CPassList m_passFlowObjects;
    CSimulationHost* m_pHost = nullptr;
    uint16_t m_wNetCount = 1; // nodes the net numbering used; internal nodes follow
    // Whether the nets have been numbered since the design was made or
    // cleared: a loaded design's terminals carry the numbers of the design
    // that saved them, which this design's matrix does not cover yet.
    bool m_bNetsNumbered = false;
    uint16_t m_wNodeCount = 0;
    int m_nResolveCap = kDefaultResolveCap;
    int m_nLastResolves = 0;
    bool m_bLastCapped = false;
    bool m_bLastInterrupted = false;
    // Twice the re-solves the last interrupted pass had made: the redone
    // pass does not yield before it has gone past them.
    int m_nNoYieldBefore = 0;
    int m_nCompletedPasses = 0;
    bool m_bTearingDown = false;
};

// No drag or insert operation is pending.
bool IsDragIdle();

// Pauses a design for the life of a scope (modal dialogs), restoring the
// pause state it found.
class CSimulationPause {
public:
    explicit CSimulationPause(CCircuit* design);
    ~CSimulationPause();
    CSimulationPause(const CSimulationPause&) = delete;
    CSimulationPause& operator=(const CSimulationPause&) = delete;

private:
    CCircuit* m_pDesign;
    int m_bWasPaused;
};
