// CChain: a chain drive, an 8-tooth sprocket (left) and a 24-tooth one
// (right) joined by a chain, each on its own shaft.  A chain moves both
// pitch circles at the same speed, r1 theta1 = r2 theta2, so with the
// teeth's common pitch
//     theta1 = (N2 / N1) theta2 = 3 theta2:
// the ratio link of the two-wheel base is +3, and unlike meshed gears both
// sprockets turn the same way.  Each sprocket carries the inertia of a cog
// wheel of its teeth.  Wheel 1 is the small sprocket, wheel 2 the big one.
//
// The sprockets are CCog objects that draw nothing themselves: the part
// draws the chain picture (16 frames per tooth of the small sprocket, in
// which the big one turns by the same fraction of its tooth) at the small
// sprocket's frame.
#pragma once

#include "mechanics/two_wheels.h"

class CChain : public CTwoWheels {
    WB_DECLARE_SERIAL(CChain)
public:
    CChain();

    // The two-wheel record (sprockets for wheels).  An older file (version
    // 3 or lower) resets the part and gives it fresh handles.
    void Serialize(CArchive& ar) override;

    // ---- CPart ----
    // The fixed layout: terminals, sprockets and handles.
    void CreateChildren() override;
    int FillProperties(CControlItemList&) override { return 0; }

    // ---- the chain drive ----
    double Ratio() const override { return kRatio; }
    // The chain picture at the small sprocket's frame and the edge lines.
    void DrawWheels(CPoint corner, DWORD flags) override;

    static constexpr double kRatio = 3.0;
    static constexpr int kWidth = 176;
    static constexpr int kHeight = 107;

private:
    void LaySprockets();
};
