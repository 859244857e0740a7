// Part classes for the part tests, registered under names no real class
// uses; their declared bases put them in the families that filing tests.
#pragma once

#include "model/parts/partcircuit.h"
#include "model/parts/parttree.h"

#include <cstring>
#include <vector>

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

// Serializes as a design: the part tree layout.
class CTestTreeDesign : public CPartTree {
    WB_DECLARE_SERIAL(CTestTreeDesign)
public:
    void Serialize(CArchive& ar) override { SerializeTree(ar); }
};

// Builds archive bytes by hand from the encoding rules.
struct ByteWriter {
    std::vector<uint8_t> b;
    ByteWriter& w8(int v) { b.push_back(uint8_t(v)); return *this; }
    ByteWriter& w16(int v) { w8(v & 0xFF); return w8((v >> 8) & 0xFF); }
    ByteWriter& w32(uint32_t v) { w16(int(v & 0xFFFF)); return w16(int(v >> 16)); }
    ByteWriter& raw(const char* s, size_t n) { b.insert(b.end(), s, s + n); return *this; }
    ByteWriter& raw8(const char* s) { return raw(s, 8); }
    ByteWriter& str(const char* s) { size_t n = strlen(s); w8(int(n)); return raw(s, n); }
    ByteWriter& newClass(const char* name, int schema) { w16(0xFFFF).w16(schema).w16(int(strlen(name))); return raw(name, strlen(name)); }
    ByteWriter& classRef(int index) { return w16(0x8000 | index); }
    ByteWriter& rect(int l, int t, int r, int bo) { return w16(l).w16(t).w16(r).w16(bo); }
};
