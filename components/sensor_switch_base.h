// The switch-type systems sensors: a block with one logic output and a
// stimulus picture on its left.  The picture tells the sensor 0 or 1; while
// the state is non-zero the output is driven high (G and the logic-high
// current Ih to the shared ground), otherwise nothing at all is stamped and
// the output is left to the rest of the circuit.  The state survives
// simulation resets and is stored with the part.
#pragma once

#include "components/logicin.h"
#include "components/systems_pictures.h"

struct SwitchSensorRow {
    SystemsPicture picture;
    // The stimulus picture, built beside the sensor on the side.
    CPart* (*makeControl)(int side, CPart* sensor);
    // The state takes the whole reported value (else its low 16 bits) and
    // is stored as a 16-bit word (else a 32-bit int).
    bool wordState;
};

class CSwitchTypeSensor : public CLogicIn {
public:
    // The CComponent record, then the state (see SwitchSensorRow).
    void Serialize(CArchive& ar) override;
    // The pin, state 0, then the stimulus picture on the left.
    void CreateChildren() override;
    // Takes the state and starts a new solve at once (sensor changed).
    int SetInputValue(CPartTree* design, int value) override;
    void Stamp(CMatrix* matrix) override;
    bool GetPinDrive(double* volts, double* conductance) const override;

    int GetState() const { return m_nState; }
    virtual const SwitchSensorRow& Row() const = 0;

    int m_nState = 0;

protected:
    // The sensor's picture set.
    void TakeRow();
};
