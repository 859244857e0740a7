// CVPulse: the signal generator, an ideal voltage source (first pin
// positive) whose output follows a sine, square or triangle wave with the
// frequency, amplitude, DC offset and phase of its CSineValue label.  The
// source advances its phase once per accepted step by f / r cycles (r the
// design's update rate) and asks the design for at least 20 steps a cycle.
// Above half the update rate the phase alternates between 0.25 and 0.75,
// so the output alternates between the wave's two extremes.
#pragma once

#include "model/components/component.h"

class CSineValue;

class CVPulse : public CComponent {
    WB_DECLARE_SERIAL(CVPulse)
public:
    enum Waveform : int { kSine = 0, kSquare = 1, kTriangle = 2 };

    CVPulse();

    // The component record, then the waveform (16 bits); files before
    // version 4 carry none and load as square waves.
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    // The catalogue's sine and triangle entries choose their waveform.
    void InitVariant(const CRuntimeClass* variant) override;
    void ResetSimulation() override;
    // The waveform frame stays.
    void ResetState() override {}
    void OnSettingsChanged(int value) override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    // Twenty steps a cycle: frequency x 20, code 3.
    int GetRateRequest(double* rate) override;
    int GetKindCode() override { return m_nWaveform == kSine ? 2 : 3; }
    int Draw(DWORD flags) override;
    DWORD GetProbeQuantities(int, int) override { return 0x403; }

    // Property toolbar (vpulse_properties.cpp).
    int FillProperties(CControlItemList& items) override;
    int GetPropertyTexts(CControlItemList& items) override;
    using CComponent::GetPropertyBitmap;
    // The advanced-options and the three wave buttons (the present wave's
    // strip), then the turns.
    int GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap) override;
    int IsPropertyChecked(int commandId, int& flag) override;
    int OnPropertyCommand(int commandId, const CString& text) override;

    // The first operation of its own: the output for the present phase.
    virtual void ComputeOutput();
    void AdvancePhase(double updateRate);
    // The wave's value at phase p for amplitude a and offset o.
    static double WaveAt(int waveform, double p, double a, double o);

    // Selects a waveform; false when it was already chosen.
    bool SetWaveform(int waveform);
    int GetWaveform() const { return m_nWaveform; }
    double GetPhase() const { return m_dPhase; }
    double GetOutput() const { return m_dOutput; }
    CSineValue* GetSineLabel() const;
    double GetFrequency() const;
    double GetAmplitude() const;
    double GetOffset() const;

private:
    double m_dPhase = 0.0;
    double m_dOutput = 0.0;
    int m_nWaveform = kSine;
};
