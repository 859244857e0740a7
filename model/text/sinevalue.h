// CSineValue: the frequency and amplitude label of the sine source, with
// its DC offset, the volts/millivolts choice and the phase.
#pragma once

#include "model/text/value.h"

class CSineValue : public CValue {
    WB_DECLARE_SERIAL(CSineValue)
public:
    CSineValue() = default;
    // 500 Hz (the sine source passes type 6) and 5 V (type 7) beside rect;
    // the label is 8 pixels wider to the left.
    CSineValue(int sideAsked, const CRect& rect, int typeCode);

    void Serialize(CArchive& ar) override;
    int OnRelease(CPartTree*, int, int) override { return 1; }
    int EditAdvanced(CPart* design) override;

    // The advanced settings as the dialog returns them: the typed offset in
    // the chosen unit, the unit choice (1 volts, 0 millivolts), the phase.
    void ApplyAdvanced(double typedOffset, int volts, double phaseDegrees);
    // The offset as the dialog shows it, in the chosen unit.
    double TypedOffset() const { return unitChoice ? dcOffset : dcOffset * 1000.0; }

    CNumber amplitude;
    double dcOffset = 0.0;
    int unitChoice = 1;
    double phase = 0.0;
};

// The dialog of the advanced settings, provided by the user interface.
class CSineDialogHost {
public:
    virtual ~CSineDialogHost() = default;
    // Fills the three settings; false when cancelled.
    virtual bool Edit(double* typedOffset, int* volts, double* phase) = 0;
    static CSineDialogHost* Current();
    static CSineDialogHost* Install(CSineDialogHost* host);
};
