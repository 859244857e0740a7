// The light-emitting diodes: CLED (red) and its colours CLED_G (green) and
// CLED_Y (yellow).  They are diodes with a higher knee; after every step
// the solved current chooses a brightness level 0-10 (1 mA a level, full at
// 10 mA), kept in the state word and drawn as the picture frame.
#pragma once

#include "components/diode.h"

class CLED : public CDiode {
    WB_DECLARE_SERIAL(CLED)
public:
    CLED();

    // Orientation 7, picture rect (-12, 0, 20, 24), part rect 2 pixels taller.
    void InitVariant(const CRuntimeClass* variant) override;
    // The diode's step, then the brightness level from the model's current.
    int AfterStep() override;
    void ResetState() override { m_wStateWord = 0; }

    // Level 0 below 0 A, 10 above 10 mA, else whole milliamps.
    static int BrightnessOfCurrent(double amps);

protected:
    // Colour classes choose their picture and knee.
    CLED(CVisual* visual, double knee);
};

class CLED_G : public CLED {
    WB_DECLARE_SERIAL(CLED_G)
public:
    CLED_G();
};

class CLED_Y : public CLED {
    WB_DECLARE_SERIAL(CLED_Y)
public:
    CLED_Y();
};
