// CRailThru: a two-terminal connector that links its terminals and has no
// picture of its own; the part attached to its second terminal (a rail or
// an earth) is drawn in its place.  Old files name it CRailEnd.
#pragma once

#include "model/components/component.h"

class CRailThru : public CComponent {
    WB_DECLARE_SERIAL(CRailThru)
public:
    CRailThru();
    // The component record; on loading, an even-orientation rectangle more
    // than 8 pixels high is cut to its bottom 8 pixels (again after the
    // after-load fix-up, which may turn the part).
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    // CRailEndL: the terminal at the right; any other: at the left.
    void InitVariant(const CRuntimeClass* variant) override;
    DWORD GetHitClass() override { return 4; }
    void Stamp(CMatrix* matrix) override;
    // When either terminal shows the earth level (9), both do.
    void ReadSolution(const double* nodeValues) override;

    // Drawing (the attached part is drawn in its place): Draw erases the
    // part's area and the attached part's, then frames it when selected.
    int Draw(DWORD flags) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    void DrawTreeInRect(DWORD flags, int mode, const CRect& rect, CPart* except) override;
    // The part attached to the second terminal (its first child), or null.
    CPart* GetCarriedPart() const;

private:
    // In an even orientation the part is 8 pixels high: a taller rectangle
    // keeps its bottom 8 pixels.
    void CutToRailHeight();
};
