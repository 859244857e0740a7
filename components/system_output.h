// CSystemOutput: the base of the systems outputs that follow one logic
// input (heater, lamp, alarm, can dispenser, illuminated sign,
// transmitter).  After every step it compares its first pin with the
// design's logic threshold; the outputs show the result by switching among
// the frames of their pictures.  Its pins are those of its picture: the
// input on the left edge, where a wire from a sensor or a chip on the left
// meets it.
//
// State word: byte 0 the input flag (the first pin above the threshold),
// byte 1 the shown flag (the "on" picture is shown).  A second word is kept
// in the archive unchanged.
#pragma once

#include "components/system_block.h"

class CSystemOutput : public CSystemBlock {
    WB_DECLARE_SERIAL(CSystemOutput)
public:
    CSystemOutput() = default;

    // The CComponent record, the state word and the second word (32 bits).
    void Serialize(CArchive& ar) override;
    // The input test: the rating test, the input flag, the design's change
    // flag.
    int AfterStep() override;
    // The base's reset, then the "on" picture again when it was shown.
    void OnSimulationReset() override;
    int GetKindCode() override { return 7; }

    bool InputHigh() const { return (m_dwState & 0xFF) != 0; }
    bool OnShown() const { return (m_dwState & 0xFF00) != 0; }

    DWORD m_dwState = 0;
    DWORD m_dwSecondWord = 0;

protected:
    // Frame 1 while the input is high, frame 0 while it is low, drawn only
    // when it changes.
    void ShowOnOff();
    void SetShown(bool on);
};
