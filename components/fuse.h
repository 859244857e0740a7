// CFuse: an ideal conductor (a link) until the current through it exceeds
// its rating (the value label, amperes); then it blows once, unless the
// design's components are indestructible.
#pragma once

#include "model/components/component.h"

class CFuse : public CComponent {
    WB_DECLARE_SERIAL(CFuse)
public:
    CFuse();
    void CreateChildren() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    // The intact or the blown picture (the blown one while the simulation
    // runs), then the selection frame.
    int Draw(DWORD flags) override;
    double GetRating();
    // The picture frame to show: 1 (blown) while the simulation runs and
    // the fuse is broken, else 0.
    int GetPictureFrame();
};
