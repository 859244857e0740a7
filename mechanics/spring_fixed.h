// CSpringFixed: a spring fixed to a wall at end B, its free end A the one
// linear terminal.  A new one has rest length 8 mm, travel from -12.5 mm to
// +6 mm (two stops on the terminal) and stiffness 1 N/m; it pushes its end
// back towards rest with k times the displacement.
#pragma once

#include "mechanics/spring.h"

class CSpringFixed : public CSpring {
    WB_DECLARE_SERIAL(CSpringFixed)
public:
    CSpringFixed() = default;

    // The terminal (end A, on the left) and the label.
    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    void ResetSimulation() override;
    void ResetState() override;

    static constexpr double kRestLength = 0.008;
    static constexpr double kLowerLimit = -0.0125;
    static constexpr double kUpperLimit = 0.006;
};
