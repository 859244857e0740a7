// CLoudSpeaker: a two-pin component that behaves as a resistor (8 ohms at
// first, its value label) and records the voltage across its pins as sound:
// one 16-bit frame per simulation step, at a full scale of 10 V, into its
// own sound sample.  While a loudspeaker is in a design the design steps at
// the sound sample rate.  During a run it plays each completed stretch of
// the auto-play length (the loop segment of the new frames, repeated until
// the next stretch replaces it); in Record Sound mode it stops the run when
// the sample is full.  Its probe (channel 4, the design's extra probe)
// shows the sample in the graph, where a stretch can be selected, played
// and saved.
#pragma once

#include "measure/sound_sample.h"
#include "model/components/component.h"
#include "model/text/number.h"

class CProbe;
class CSoundSystem;

class CLoudSpeaker : public CComponent {
    WB_DECLARE_SERIAL(CLoudSpeaker)
public:
    static constexpr double kDefaultResistance = 8.0;

    CLoudSpeaker();
    ~CLoudSpeaker() override;

    // The component record, then the number (files of version word 3 or
    // below: the resistance as a double, and the rectangle one pixel
    // narrower).
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    void Drop(CPartTree* design) override;
    void OnSimulationReset() override;
    void RefreshState() override;
    int FillProperties(CControlItemList& items) override;
    int OnPropertyCommand(int commandId, const CString& text) override;
    DWORD GetProbeQuantities(int, int) override { return 0x403; }
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void FlushOutput() override;
    // 0 play the graph's selection, looped; 1 play the whole sample,
    // looped; 2 clear; 3 take the design's sample rate; 4 size the sample.
    void OnSimulationEvent(int code) override;
    // The design's sound sample rate, fixed (code 4).
    int GetRateRequest(double* rate) override;

    double GetResistance();
    CSoundSample& Sample() { return m_sample; }
    CProbe* SoundProbe() const { return m_pProbe; }
    bool IsRecording() const { return m_bRecording; }

private:
    // What loading and dropping share: the old resistance becomes the
    // value, the design's extra probe becomes this speaker's, the sample
    // starts empty at the design's rate and is sized.
    void Attach(CCircuit* design);
    CSoundSystem* Sound() const;

    CSoundSample m_sample;
    CNumber m_number;
    CProbe* m_pProbe = nullptr;
    bool m_bRecording = false;
    double m_dOldResistance = 0.0;
};
