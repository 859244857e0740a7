// Terminals, wires and the design root on their own: read-back rules,
// level codes, records, the option word, logic families, filing and probes.
#include "circuit_testparts.h"

#include "model/parts/part_records.h"
#include "model/parts/partcircuit.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(CircuitTerminal, StubLayoutBySideAndKind)
{
    struct Case {
        int side, kind;
        CRect rect;
        CPoint outer;
    };
    const Case cases[] = {
        {0, 0, CRect(10, -10, 11, 11), CPoint(10, -10)}, {1, 0, CRect(10, 10, 31, 11), CPoint(30, 10)},
        {2, 0, CRect(10, 10, 11, 31), CPoint(10, 30)},   {3, 0, CRect(-10, 10, 11, 11), CPoint(-10, 10)},
        {1, 3, CRect(10, 10, 23, 11), CPoint(22, 10)},   {1, 4, CRect(10, 10, 67, 11), CPoint(66, 10)},
        {3, 5, CRect(-38, 10, 11, 11), CPoint(-38, 10)},
    };
    for (const Case& c : cases) {
        CTerminal t(c.side, CPoint(10, 10), 3, c.kind);
        EXPECT_EQ(t.GetRect(), c.rect) << c.side << " " << c.kind;
        EXPECT_EQ(t.GetOuterEnd(), c.outer);
        EXPECT_EQ(t.GetPinPoint(), CPoint(10, 10));
        EXPECT_EQ(t.m_nDirection, 3);
        EXPECT_EQ(t.m_nLevelCode, 4);
        EXPECT_EQ(t.m_wLevelStyle, LEVEL_NONE);
        EXPECT_TRUE(t.GetFirstChild() && t.GetFirstChild()->IsKindOf("CDummyPart"));
    }
}

TEST(CircuitTerminal, OldFilesTakeTheSideFromWhereTheStubStands)
{
    // A 24 x 24 part at (100, 100) with a stub on each side; the side a file
    // of version 2 wrote is replaced by the one the stub's place tells, and
    // the outer end where wires join follows it.
    const CRect owner(100, 100, 124, 124);
    struct Case {
        int side;
        CPoint pin;
        CPoint outer;
    };
    const Case cases[] = {
        {0, CPoint(112, 100), CPoint(112, 80)},
        {1, CPoint(123, 112), CPoint(143, 112)},
        {2, CPoint(112, 123), CPoint(112, 143)},
        {3, CPoint(100, 112), CPoint(80, 112)},
    };
    for (const Case& c : cases) {
        CTerminal t(c.side, c.pin, 3, 0);
        const CRect stub = t.GetRect();
        EXPECT_EQ(t.SideFromOwner(owner), c.side);
        for (int wrong = 0; wrong < 4; ++wrong) {
            t.m_nOrientation = wrong;
            t.TakeSideFromOwner(owner);
            EXPECT_EQ(t.GetSide(), c.side) << wrong;
            EXPECT_EQ(t.GetRect(), stub);
            EXPECT_EQ(t.GetOuterEnd(), c.outer) << c.side;
            EXPECT_EQ(t.GetPinPoint(), c.pin) << c.side;
            ASSERT_NE(t.GetFirstChild(), nullptr);
            EXPECT_EQ(t.GetFirstChild()->GetRect(), stub) << "the pin marker covers the stub";
        }
    }
}

TEST(CircuitTerminal, CurrentDirectionThreshold)
{
    struct Case {
        int side;
        double current;
        int direction;
    };
    const Case cases[] = {{0, 5e-9, 0},   {0, 5.1e-9, 1}, {0, -5.1e-9, 2}, {3, 1.0, 1},
                          {1, 5.1e-9, 2}, {2, -1.0, 1},   {1, -5e-9, 0}};
    for (const Case& c : cases) {
        CTerminal t(c.side, CPoint(0, 0), 1);
        t.SetCurrent(c.current);
        t.UpdateCurrentDirection();
        EXPECT_EQ(t.m_nDirection, c.direction) << c.side << " " << c.current;
    }
}

TEST(CircuitTerminal, LevelCodes)
{
    struct Case {
        double v;
        WORD style, number;
        int code;
    };
    const Case cases[] = {{-0.5, 2, 1, 4}, {-0.49, 0, 0, 4}, {8.49, 0, 8, 6},  {8.5, 1, 8, 6},
                          {-20, 3, 8, 4},  {1.0, 0, 1, 5},   {5000, 1, 8, 6}};
    for (const Case& c : cases) {
        CTerminal t(1, CPoint(0, 0), 1);
        t.m_wLevelStyle = LEVEL_DEFAULT;
        t.m_dVoltage = c.v;
        t.GetLevelCode(0.8, 2.0);
        EXPECT_EQ(t.m_wLevelStyle, c.style) << c.v;
        EXPECT_EQ(t.m_wLevelNumber, c.number) << c.v;
        EXPECT_EQ(t.m_nLevelCode, c.code) << c.v;
    }
    CTerminal fixed(1, CPoint(0, 0), 1);
    fixed.SetStyle(1);
    fixed.m_dVoltage = 5;
    EXPECT_EQ(fixed.GetLevelCode(0.8, 2.0), 0);
    EXPECT_EQ(fixed.m_wLevelStyle, LEVEL_FIXED_MARKER);
}

TEST(CircuitTerminal, ReadSolutionAndDisconnect)
{
    CTerminal t(1, CPoint(0, 0), 2);
    t.m_wLevelStyle = LEVEL_DEFAULT;
    const double values[] = {0.0, 1.0, 3.3};
    t.AddCurrent(0.002);
    t.AddCurrent(0.001);
    int flags = t.ReadSolution(values, 0, 0.8, 2.0);
    EXPECT_DOUBLE_EQ(t.GetVoltage(), 3.3);
    EXPECT_DOUBLE_EQ(t.GetCurrent(), 0.003);
    EXPECT_DOUBLE_EQ(t.m_dPendingCurrent, 0.0);
    EXPECT_EQ(flags & 8, 8);
    EXPECT_EQ(t.ReadSolution(values, 1, 0.8, 2.0), 3);
    EXPECT_EQ(t.m_bBroken, 1);
    EXPECT_EQ(t.ReadSolution(values, 1, 0.8, 2.0), 3);
    EXPECT_EQ(t.ReadSolution(values, 0, 0.8, 2.0) & 0x31, 0x31);
    EXPECT_EQ(t.m_bBroken, 0);
}

using Bytes = std::vector<uint8_t>;

template <class T>
std::unique_ptr<T> RoundTrip(const CPart& p, WORD version = kCurrentVersion)
{
    CArchive out;
    out.SetVersion(version);
    out.WriteObject(&p);
    CArchive in(out.GetBuffer());
    in.SetVersion(version);
    std::unique_ptr<T> back(static_cast<T*>(in.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(in.BytesLeft(), 0u);
    return back;
}

TEST(CircuitTerminal, RecordWithAndWithoutPinMarker)
{
    CTerminal t(2, CPoint(5, 6), 4, 0, 0x12345678);
    t.m_dVoltage = 1.5;
    t.m_dCurrent = -0.25;
    t.m_wLevelStyle = 3;
    t.m_wFlagsWord = 7;
    auto back = RoundTrip<CTerminal>(t);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetRect(), t.GetRect());
    EXPECT_EQ(back->GetSide(), 2);
    EXPECT_EQ(back->GetNodeNumber(), 4);
    EXPECT_DOUBLE_EQ(back->GetVoltage(), 1.5);
    EXPECT_DOUBLE_EQ(back->GetCurrent(), -0.25);
    EXPECT_EQ(back->m_wLevelStyle, 3);
    EXPECT_EQ(back->m_wFlagsWord, 7);
    EXPECT_EQ(back->m_dwExtra, 0x12345678u);
    EXPECT_EQ(back->ChildCount(), 1);  // the marker made again, not read
    // Without the marker: style + 100 on file, no marker when read.
    CTerminal bare(1, CPoint(0, 0), 1);
    bare.DeleteChildren();
    bare.m_bHasPinMarker = false;
    bare.m_wLevelStyle = 5;
    auto back2 = RoundTrip<CTerminal>(bare);
    EXPECT_EQ(back2->m_wLevelStyle, 5);
    EXPECT_EQ(back2->ChildCount(), 0);
}

TEST(CircuitTerminal, RecordOfEveryVersionReadsBackWhole)
{
    // Each version's record holds only the fields its reader takes (the
    // extra word from 0x10B3 / 0x20B1), so it reads back whole and writes the
    // same bytes.
    struct Case {
        WORD version;
        bool flags, extra;
    };
    const Case cases[] = {{0x1000, true, false}, {0x10B2, true, false}, {0x10B3, true, true},
                          {0x2098, true, false}, {0x20B0, true, false}, {0x20B1, true, true},
                          {kCurrentVersion, true, true}};
    CTerminal t(2, CPoint(5, 6), 4, 0, 0x12345678);
    t.m_dVoltage = 1.5;
    t.m_wFlagsWord = 7;
    for (const Case& c : cases) {
        CArchive out;
        out.SetVersion(c.version);
        out.WriteObject(&t);
        auto back = RoundTrip<CTerminal>(t, c.version);
        ASSERT_TRUE(back) << std::hex << c.version;
        EXPECT_DOUBLE_EQ(back->GetVoltage(), 1.5);
        EXPECT_EQ(back->m_wFlagsWord, c.flags ? 7 : 0) << std::hex << c.version;
        EXPECT_EQ(back->m_dwExtra, c.extra ? 0x12345678u : 0u) << std::hex << c.version;
        CArchive again;
        again.SetVersion(c.version);
        again.WriteObject(back.get());
        EXPECT_EQ(again.GetBuffer(), out.GetBuffer()) << std::hex << c.version;
    }
}

TEST(CircuitTerminal, ChildrenOnFileStayBehindTheMarker)
{
    // A record may hold children of the terminal besides the marker (damaged
    // or hand-made files).  They are read first and the marker is made
    // afterwards; it must still come first, since storing leaves the first
    // child out as the marker: otherwise a stored child would be lost and the
    // marker written in its place.
    CTerminal t(1, CPoint(0, 0), 1);
    t.AppendChild(new CPart);
    t.AppendChild(new CPart);
    auto back = RoundTrip<CTerminal>(t);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->ChildCount(), 3);
    EXPECT_TRUE(back->GetFirstChild()->IsKindOf("CDummyPart"));
    for (CPart* c = back->GetFirstChild()->GetNextSibling(); c; c = c->GetNextSibling())
        EXPECT_FALSE(c->IsKindOf("CDummyPart"));
    // Read back twice, the record keeps its bytes.
    auto again = RoundTrip<CTerminal>(*back);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->ChildCount(), 3);
    CArchive a, b;
    a.SetVersion(kCurrentVersion);
    b.SetVersion(kCurrentVersion);
    a.WriteObject(back.get());
    b.WriteObject(again.get());
    EXPECT_EQ(a.GetBuffer(), b.GetBuffer());
}

TEST(CircuitWire, EndPointsAndSides)
{
    CWire h(CPoint(40, 10), CPoint(0, 10));
    EXPECT_EQ(h.GetEndA(), CPoint(0, 10));
    EXPECT_EQ(h.GetEndB(), CPoint(40, 10));
    EXPECT_EQ(h.GetRect(), CRect(0, 10, 41, 11));
    EXPECT_EQ(h.GetOrientation(), WIRE_HORIZONTAL);
    CWire v(CPoint(5, 0), CPoint(5, 30));
    EXPECT_EQ(v.GetOrientation(), WIRE_VERTICAL);
    CWire d(CPoint(0, 20), CPoint(20, 0), WIRE_ROTATIONAL);
    EXPECT_EQ(d.GetOrientation(), WIRE_DIAGONAL_UP);
    EXPECT_EQ(d.GetEndA(), CPoint(0, 20));
    EXPECT_EQ(d.GetEndB(), CPoint(20, 0));
    EXPECT_EQ(h.GetProbeQuantities(0, 0), 3u);
    EXPECT_EQ(d.GetProbeQuantities(0, 0), 64u);
}

TEST(CircuitWire, CrossOverPairGoesWithEitherWire)
{
    CCircuit dsg;
    auto* a = AddWire(dsg, {0, 50}, {100, 50});
    auto* b = AddWire(dsg, {50, 0}, {50, 100});
    // The drop of b made the pair where it crosses a.
    EXPECT_EQ(a->ChildCount(), 1);
    EXPECT_EQ(b->ChildCount(), 1);
    dsg.RemovePart(a);
    delete a;
    EXPECT_EQ(b->ChildCount(), 0);
}

// A design whose record is its part tree (the design file layout itself
// belongs to the file code).
class CTestCircuitFile : public CCircuit {
    WB_DECLARE_SERIAL(CTestCircuitFile)
public:
    void Serialize(CArchive& ar) override { SerializeTree(ar); }
};
WB_IMPLEMENT_SERIAL(CTestCircuitFile, "CCircuit", 2)

TEST(CircuitWire, DesignRoundTripKeepsTheNets)
{
    CTestCircuitFile d;
    auto* cell = AddPart<CTestCell>(d, 100, 100);
    AddPart<CTestResistor>(d, 300, 100);
    AddWire(d, {160, 100}, {280, 100});
    AddWire(d, {360, 100}, {400, 100});
    AddWire(d, {400, 100}, {80, 100 + 0});
    d.RenumberNodes();
    (void)cell;
    CArchive out;
    out.SetVersion(kCurrentVersion);
    out.WriteObject(&d);
    // Read into a design of the same layout.
    CArchive in(out.GetBuffer());
    in.SetVersion(kCurrentVersion);
    std::unique_ptr<CTestCircuitFile> owned(static_cast<CTestCircuitFile*>(in.ReadNewObject(nullptr)));
    ASSERT_TRUE(owned);
    CTestCircuitFile& back = *owned;
    EXPECT_EQ(in.BytesLeft(), 0u);
    auto* c2 = dynamic_cast<CTestCell*>(back.GetFirstComponent());
    ASSERT_NE(c2, nullptr);
    ASSERT_EQ(c2->GetTerminalCount(), 2);
    EXPECT_TRUE(c2->A()->IsJoined());
    EXPECT_TRUE(c2->B()->IsJoined());
    back.ResetRun(0);
    back.RunSolverPass();
    auto* r2 = dynamic_cast<CTestResistor*>(c2->GetNextSibling());
    ASSERT_NE(r2, nullptr);
    EXPECT_NEAR(r2->B()->GetCurrent(), 0.009, 1e-12);
}

TEST(CircuitRoot, OptionWord)
{
    CCircuit d;
    EXPECT_EQ(d.GetOptions(), 0xE97324D7u);
    d.ToggleOptions(OPT_SIMULATE);
    EXPECT_EQ(d.m_dwOptions, 0xE97324D7u & ~0x4u);
    EXPECT_EQ(d.GetOptions(), 0xE97324D7u & ~DWORD(0x4 | 0x10 | 0x20 | 0x40 | 0x80 | 0x20000 | 0x40000 | 0x100000));
    EXPECT_EQ(d.SnapToGrid(CPoint(13, 4)), CPoint(16, 8));
    EXPECT_TRUE(d.IsAllowed(0x80));
}

TEST(CircuitRoot, LogicFamilies)
{
    CCircuit d;
    EXPECT_DOUBLE_EQ(d.GetLogicConductance(), 0.06);
    EXPECT_DOUBLE_EQ(d.GetLogicHighCurrent(), -0.3);
    EXPECT_DOUBLE_EQ(d.GetLogicThreshold(), 1.48);
    d.SetLogicFamily(1, 5.0, 1);
    EXPECT_DOUBLE_EQ(d.GetLogicConductance(), 0.01);
    EXPECT_DOUBLE_EQ(d.GetLogicHighCurrent(), -0.05);
    EXPECT_DOUBLE_EQ(d.GetInputHighThreshold(), 3.495);
    EXPECT_DOUBLE_EQ(d.GetInputLowThreshold(), 1.505);
    EXPECT_DOUBLE_EQ(d.GetSchmittHysteresis(), 0.78);
    EXPECT_DOUBLE_EQ(d.GetSchmittThreshold(), 2.205);
    d.SetLogicFamily(2, 10.0, 1);
    EXPECT_DOUBLE_EQ(d.GetLogicConductance(), 0.002);
    EXPECT_DOUBLE_EQ(d.GetLogicThreshold(), 5.0);
    EXPECT_DOUBLE_EQ(d.GetLogicSupplyVoltage(), 10.0);
    d.SetProgramLanguage("Assembly");
    EXPECT_EQ(d.m_nProgramLanguage, 2);
    d.SetProgramLanguage("BASIC C2");
    EXPECT_EQ(d.m_nProgramLanguage, 0);
    d.SetProgramLanguage("x");
    EXPECT_EQ(d.m_nProgramLanguage, 1);
    EXPECT_EQ(d.m_strChipType, "16F84");
    EXPECT_EQ(d.m_strMicroClass, "18 pin PIC");
}

TEST(CircuitRoot, SourcesFileFirst)
{
    CCircuit d;
    auto* r = AddPart<CTestResistor>(d, 0, 0);
    auto* c6 = new CTestCell;
    c6->m_nKind = 6;
    c6->Place(&d, 0, 100);
    d.AddChild(c6);
    auto* c1 = new CTestCell;
    c1->m_nKind = 1;
    c1->Place(&d, 0, 200);
    d.AddChild(c1);
    auto* c1b = new CTestCell;
    c1b->m_nKind = 1;
    c1b->Place(&d, 0, 300);
    d.AddChild(c1b);
    std::vector<CPart*> order;
    for (CPart* p = d.m_pComponents->GetFirstChild(); p; p = p->GetNextSibling()) order.push_back(p);
    EXPECT_EQ(order, (std::vector<CPart*>{c1, c1b, c6, r}));
    EXPECT_EQ(d.GetElectricCount(), 4);
    d.RemovePart(c6);
    delete c6;
    EXPECT_EQ(d.GetElectricCount(), 3);
}

TEST(CircuitRoot, ProbeChannels)
{
    CCircuit d;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(d.CanAddPart(3, false, false));
        EXPECT_EQ(d.AllocateProbeChannel(), i);
    }
    EXPECT_FALSE(d.CanAddPart(3, false, false));
    EXPECT_EQ(d.AllocateProbeChannel(), 4);
    CCircuit e;
    for (int i = 0; i < 3; ++i) e.AllocateProbeChannel();
    EXPECT_FALSE(e.CanAddPart(3, true, false));
    EXPECT_TRUE(e.CanAddPart(3, false, false));
    e.ToggleOptions(OPT_LOCKED);
    EXPECT_FALSE(e.CanAddPart(0, false, false));
}

TEST(CircuitRoot, ReferencePrefersHigherKindAndJoinedTerminals)
{
    CCircuit d;
    auto* lone = AddPart<CTestResistor>(d, 0, 0);  // nothing joined
    auto* r = AddPart<CTestResistor>(d, 300, 100);
    AddWire(d, {280, 100}, {280, 150});
    AddWire(d, {360, 100}, {360, 150});
    d.RenumberNodes();
    EXPECT_EQ(d.GetReferencePart(), r);
    EXPECT_EQ(r->B()->GetNode(), 0);
    EXPECT_NE(lone->B()->GetNode(), 0);
    auto* cell = new CTestCell;
    cell->m_nKind = 1;
    cell->Place(&d, 0, 400);
    d.AddChild(cell);
    d.RenumberNodes();
    EXPECT_EQ(d.GetReferencePart(), cell);
    EXPECT_EQ(cell->B()->GetNode(), 0);
    EXPECT_EQ(d.GetNextNode(), 6);  // lone A, lone B, r A, r B, cell A; cell B is 0
}

} // namespace
