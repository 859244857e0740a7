// The records of components, terminals, wires, crossovers and burn-out
// markers inside a part tree: a tree that reads writes back to the same
// bytes.  The disabled test writes the tree as a seed of the part-tree fuzz
// target:
//   test_model --gtest_also_run_disabled_tests --gtest_filter='*WriteCircuitSeed'
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/components/explode.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class CSeedDesign : public CPartTree {};

std::vector<uint8_t> BuildTree()
{
    CCircuit d;
    auto* c = new CComponent;
    c->m_rect.SetRect(100, 95, 141, 106);
    c->m_pCircuit = &d;
    c->AddTerminal(3, CPoint(100, 100));
    c->AddTerminal(1, CPoint(140, 100));
    d.AddChild(c);
    c->Explode(6.006, 6.0, 10, 'V');
    auto* w1 = new CWire(CPoint(160, 100), CPoint(240, 100));
    d.AddChild(w1);
    w1->Drop(&d);
    auto* w2 = new CWire(CPoint(200, 60), CPoint(200, 140));
    d.AddChild(w2);
    CCrossOver::MakePair(w1, w2, CPoint(200, 100));
    d.RenumberNodes();
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    d.SerializeTree(ar);
    return ar.GetBuffer();
}

bool ReadTree(const std::vector<uint8_t>& b, CSeedDesign& d)
{
    CArchive in(b);
    in.SetVersion(kCurrentVersion);
    d.SerializeTree(in);
    return in.BytesLeft() == 0;
}

std::vector<uint8_t> WriteTree(CSeedDesign& d)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    d.SerializeTree(ar);
    return ar.GetBuffer();
}

TEST(CircuitRecords, TreeReadsAndWritesTheSameBytes)
{
    std::vector<uint8_t> first = BuildTree();
    CSeedDesign a;
    ASSERT_TRUE(ReadTree(first, a));
    auto* c = dynamic_cast<CComponent*>(a.m_pComponents->GetFirstChild());
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->IsBroken());
    EXPECT_EQ(c->GetExplosion()->m_wFrameCounter, 0);
    ASSERT_EQ(c->GetTerminalCount(), 2);
    EXPECT_EQ(c->GetTerminal(1)->GetPinPoint(), CPoint(140, 100));
    auto* w = dynamic_cast<CWire*>(a.m_pWires->GetFirstChild());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->IsLinkedTo(c->GetTerminal(1)));
    EXPECT_EQ(w->ChildCount(), 1);
    std::vector<uint8_t> second = WriteTree(a);
    EXPECT_EQ(second, first);
}

TEST(CircuitRecords, DISABLED_WriteCircuitSeed)
{
    std::vector<uint8_t> tree = BuildTree();
    std::ofstream out(std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/parttree/circuit_parts", std::ios::binary);
    const uint8_t version[2] = {uint8_t(kCurrentVersion & 0xFF), uint8_t(kCurrentVersion >> 8)};
    out.write(reinterpret_cast<const char*>(version), 2);
    out.write(reinterpret_cast<const char*>(tree.data()), std::streamsize(tree.size()));
}

} // namespace
