// CTransformer: turns ratio n : 1 (n = the value label).  Terminals 1 and 2
// are the n-turn winding, 0 and 3 the one-turn winding.  The windings are
// perfectly coupled through a 1 ohm winding resistance on the n side:
//   i(0->3) = n^2 V03 - n V12,   i(1->2) = V12 - n V03 + i_m
// so the open one-turn winding shows V12 / n, and a 10 H magnetising
// inductance (a CLR, backward Euler) sits across the n-turn winding.
#pragma once

#include "model/components/component.h"
#include "model/solver/lr_model.h"

class CTransformer : public CComponent {
    WB_DECLARE_SERIAL(CTransformer)
public:
    CTransformer();
    // Serialize: the component record, nothing more.
    void Serialize(CArchive& ar) override;
    void CreateChildren() override;
    int AllowsSharedLabelSide() override { return 1; }
    int SetOrientation(int newCode, int oldCode, int flag, const CPoint* anchor) override;
    // The component's items, the unit item reading ": 1" (the turns ratio).
    int FillProperties(CControlItemList& items) override;
    void PrepareStep() override;
    void Stamp(CMatrix* matrix) override;
    int AfterStep() override;
    void ResetSimulation() override;

    double GetRatio();
    CLR m_model{0.0};
};
