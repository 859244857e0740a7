// Small structural part classes: the part that knows its design
// (CPartCircuit), the proxy rectangle CDummyPart, the opto containers, and
// CSerializeHack, the version marker written first in every design archive.
#pragma once

#include "model/parts/part.h"

class CPartCircuit : public CPart {
    WB_DECLARE_SERIAL(CPartCircuit)
public:
    CPartCircuit() = default;
    // The CPart record, then the owning design as a reference.
    void Serialize(CArchive& ar) override;
    void AttachToCircuit(CPartTree* design) override;
    void AfterLoad(CPartTree* design, DWORD flags, WORD version) override;
    CPartTree* GetCircuit() override { return m_pCircuit; }
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    CPartTree* m_pCircuit = nullptr;
};

class CDummyPart : public CPart {
    WB_DECLARE_SERIAL(CDummyPart)
public:
    CDummyPart() = default;
    CDummyPart(const CRect& rect, CPart* target);
    int DefersToParent() override { return 1; }
    int OnPress(CPartTree* design, int x, int y) override;
    int OnRelease(CPartTree* design, int x, int y) override;
    int HasInfo(int x, int y) override;
    int BuildInfo(CString& text, UINT messageId, CPoint point) override;
    void PlaceLabel(int side, CPart* part, const CPoint* offset) override;
    // Children first, then the target as a reference.
    void SerializeLinks(CArchive& ar) override;
    void DropDeadLinks(const std::unordered_set<const CObject*>& gone) override;

    CPart* m_pTarget = nullptr;
    // The design whose tree HasInfo searches for this part's parent (the
    // active design); set by whoever shows information.
    static CPartTree*& ActiveDesign();
};

// C++ base CPartCircuit, declared base CPart: files before 402 hold the plain
// CPart record.
class COptoContainer : public CPartCircuit {
    WB_DECLARE_SERIAL(COptoContainer)
public:
    void Serialize(CArchive& ar) override;
};

class COptoContainerList : public CPart {
    WB_DECLARE_SERIAL(COptoContainerList)
};

class CSerializeHack : public CPart {
    WB_DECLARE_SERIAL(CSerializeHack)
public:
    CSerializeHack() = default;
    explicit CSerializeHack(WORD version) : m_wVersion(version) {}
    // The CPart record, then the version WORD.
    void Serialize(CArchive& ar) override;

    WORD m_wVersion = 0;
};
