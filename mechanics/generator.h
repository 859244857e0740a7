// CGenerator: the motor's machine driven from its shaft.  The same
// armature, constants and rotor as CMotorEM; turned at w it shows the EMF
// -Ke w from terminal 1 to terminal 0 and drives Ke w / (R + 1/Ga) through
// a load R.  It never brakes its shaft, stands a voltage of any size and
// keeps terminal 1 on the design's 0 V through 5e-10 S, so an open
// generator's pins still have defined voltages.
#pragma once

#include "mechanics/motor_em.h"

class CGenerator : public CMotorEM {
    WB_DECLARE_SERIAL(CGenerator)
public:
    CGenerator();

    void Stamp(CMatrix* matrix) override;
    int GetKindCode() override { return 2; }

    static constexpr double kLeakage = 5e-10;

protected:
    CVisual& BodyPicture() override;
    // The rotor follows the shaft's node value.
    double AnimationAngle() const override;
    bool BrakesWhenIdle() const override { return false; }
};
