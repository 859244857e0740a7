// Part classes for the part tests, registered under names no real class
// uses; their declared bases put them in the families that filing tests.
#pragma once

#include "model/parts/partcircuit.h"
#include "model/parts/parttree.h"

class CTestComp : public CPartCircuit {
    WB_DECLARE_SERIAL(CTestComp)
public:
    CTestComp() = default;
    explicit CTestComp(const CRect& r) { m_rect = r; }
};

class CTestWire : public CPart {
    WB_DECLARE_SERIAL(CTestWire)
public:
    DWORD GetHitClass() override { return 0x20; }
};

// A terminal: a subclass of the wire family.
class CTestTerminal : public CTestWire {
    WB_DECLARE_SERIAL(CTestTerminal)
};

class CTestProbe : public CPart {
    WB_DECLARE_SERIAL(CTestProbe)
public:
    CPart* GetAttachedPart() override { return m_pAttached; }
    CPart* m_pAttached = nullptr;
};

class CTestFlow : public CPart {
    WB_DECLARE_SERIAL(CTestFlow)
};

// A part with a field of its own after the CPart record.
class CTestValue : public CPart {
    WB_DECLARE_SERIAL(CTestValue)
public:
    void Serialize(CArchive& ar) override
    {
        CPart::Serialize(ar);
        if (ar.IsStoring())
            ar << m_value;
        else
            ar >> m_value;
    }
    LONG m_value = 0;
};

// A design for tests.
class CTestDesign : public CPartTree {
    WB_DECLARE_SERIAL(CTestDesign)
};
