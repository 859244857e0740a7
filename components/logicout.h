// CLogicOut: the logic indicator.  It loads the circuit with nothing; after
// every step its input voltage chooses the shown level: 0 at or below the
// design's input low threshold, 2 at or above the input high threshold, 1
// between.  The level is the state word and the picture frame.
#pragma once

#include "model/components/component.h"

class CLogicOut : public CComponent {
    WB_DECLARE_SERIAL(CLogicOut)
public:
    CLogicOut();

    // The base record; a file of version word 3 or lower drew the part one
    // pixel lower, so it moves up.
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    int AfterStep() override;
    int GetKindCode() override { return 7; }

    // The level of a voltage by the design's input thresholds.
    static int LevelOf(double volts, double lowThreshold, double highThreshold);
};
