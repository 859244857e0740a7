// CSpringFixed: a spring fixed to a wall at end B, its free end A the one
// linear terminal.  A new one has rest length 8 mm, travel from -12.5 mm to
// +6 mm (two stops on the terminal) and stiffness 1 N/m; it pushes its end
// back towards rest with k times the displacement.
//
// A resize handle on the free (left) edge lengthens it.  The wall stays
// where it is on the canvas; of the e pixels the part grows, half go to the
// rod in front of end A and half to the coil, so the rest length grows by
// e / 2 pixels (e / 8000 m), the travel outwards by the same and the travel
// inwards by three quarters of it (3 e / 32000 m), keeping the proportions
// of a new spring.  It is never narrower than 108 pixels.
#pragma once

#include "mechanics/spring.h"

class CSpringFixed : public CSpring {
    WB_DECLARE_SERIAL(CSpringFixed)
public:
    CSpringFixed() = default;

    // The terminal (end A, on the left), the resize handle and the label.
    void CreateChildren() override;
    // handle: the resize handle's anchor x; movement: how far the left edge
    // is dragged (negative lengthens).  0 when the drag was clipped at the
    // least width.
    int AttachMechanism(int handle, int movement) override;
    void Stamp(CMatrix* matrix) override;
    void LimitStep(CState** out, double* fraction, const double* nodeValues) override;
    int AfterStep() override;
    // A spring wider than the least width restarts with the rest length and
    // travel of its width.
    void ResetSimulation() override;
    void ResetState() override;

    // The resize handle's anchor from the part's top-left.
    static constexpr int kGripX = 16;
    static constexpr int kGripY = 9;
    static constexpr double kRestLength = 0.008;
    static constexpr double kLowerLimit = -0.0125;
    static constexpr double kUpperLimit = 0.006;

protected:
    void RestoreOldLayout(CArchive& ar) override;

private:
    void AddHandle();
    // The models follow a drag of the left edge by d pixels.
    void Stretch(int d);
};
