// What the simulation controller needs of its view and the event loop, and
// of the probe and graph parts.  The controller never touches a window: the
// canvas view implements CSimulationHost (timer 1, the input check, cursor,
// status bar, sound), and tests script a fake.
//
// The Qt host: an application event filter raises an input flag for every
// key or button event (mouse moves only while dragging) and the host answers
// PeekInput from that flag; an idle burst also reports input once its time
// budget is spent, so that the event loop runs.  The controller guarantees
// progress: a pass cut short by input is redone later, and the redone pass
// does not yield again before it has gone further than the one cut short.
#pragma once

#include "platform/cstring.h"

class CCircuit;
class CPart;

class CSimulationGraph;
class CSoundSystem;

class CSimulationHost {
public:
    enum class Input { kNone, kMouseMove, kOther };

    virtual ~CSimulationHost() = default;
    // Timer 1 of the view; false when it could not be set.
    virtual bool SetStepTimer(int intervalMs) = 0;
    virtual void KillStepTimer() = 0;
    // A timer tick is already queued: removes it and returns true.
    virtual bool TakePendingTick() = 0;
    // The first waiting input, not removed.
    virtual Input PeekInput() = 0;
    // Removes the waiting mouse move.
    virtual void DiscardMouseMove() = 0;
    // The view is dragging (mouse moves count as input then).
    virtual bool IsDragging() { return false; }
    virtual void SetBusyCursor() {}
    virtual void UpdateCursor() {}
    virtual void SetStatusText(const CString&) {}
    virtual void TickBubbleHelp() {}
    virtual void Repaint() {}
    // The sound system: the buzzer, stopping output, queued buffers.
    virtual void SetBuzzer(bool) {}
    virtual void StopSound(bool close, bool reset) {}
    virtual bool IsSoundQueued() { return false; }
    // The sound output parts play through (null: none).
    virtual CSoundSystem* GetSoundSystem() { return nullptr; }
    // The graph view of the design, when one is active.
    virtual CSimulationGraph* GetGraph() { return nullptr; }
};

// The graph window as the controller sees it.
class CSimulationGraph {
public:
    virtual ~CSimulationGraph() = default;
    virtual bool DrawNewSamples(int count) = 0;
    virtual bool WouldOverflow(int count) = 0;
    virtual bool StopsAtEnd() = 0;
    virtual int GetStartSample() = 0;
    virtual void SetStartSample(int sample) = 0;
    // Samples the graph can show.
    virtual int GetCapacity() = 0;
    virtual void Invalidate() {}
    // The graph wants the design redrawn after every sample.
    virtual bool WantsRedraw() { return false; }
};

// What a probe does for the controller.  Probe parts implement it beside
// their CPart base; the controller finds it on the parts of the PROBES group.
class CProbeRecorder {
public:
    virtual ~CProbeRecorder() = default;
    // Stores the probed quantities at ring position (step + ring start) % 2000.
    virtual void RecordSample(int step) = 0;
    // Links the probe to the part under its tip.
    virtual void ConnectToPart() {}
    // The channel the probe records on (0..3; 4 none).
    virtual int GetChannel() const { return 4; }
    // The probe records into another design (the one shown while this
    // design is a temporary copy).
    virtual void AttachToDesign(CCircuit*) {}
    // The design has cleared its channel flags (after reading): the probe
    // marks its channel there again, or takes a free one when its own is
    // taken.
    virtual void ClaimChannel(CCircuit*) {}
    // The design is going away: a probe that records there lets go of it.
    virtual void ForgetDesign(const CCircuit*) {}
};
