// The coefficient store and elimination of CMatrix.
//
// Only the unmerged nodes 1..N-1 take part ("active" nodes, numbered 0..M-1
// here in ascending node order).  Coefficients are kept row by row (CSR),
// restricted to the positions that stamps have touched plus the fill that the
// elimination in node order creates there, so the cost follows the couplings
// of the network rather than N^3.  The arithmetic is exactly that of the plain
// dense elimination: every stored element sees the same operations in the same
// order, and a skipped element is one whose update would be x - f * 0.
//
// Positions are learnt while stamping: a stamp that hits a position outside the
// structure is queued and the structure is rebuilt (with its fill) before the
// next elimination.  A tape remembers the slot of every stamp of a round, so a
// repeated round of the same stamps finds its slots without searching.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CSparseLU {
public:
    // Sets the active nodes (ascending node numbers, none of them 0) for a
    // node count of nodeCount.  A different set drops the learnt structure.
    void SetActive(const std::vector<uint16_t>& nodes, uint16_t nodeCount);
    void Reset();

    // Zeroes every coefficient and restarts the stamp tape.
    void ClearValues();
    // One stamp: coefficient(c, a) += vca, (d, a) += vda, (c, b) += vcb,
    // (d, b) += vdb, in that order.  Rows and columns of inactive nodes
    // (node 0, merged nodes) are left out.
    void AddStamp(uint16_t c, uint16_t d, uint16_t a, uint16_t b, double vca, double vda, double vcb, double vdb)
    {
        if (m_TapeCursor < m_Tape.size()) {
            const TapeEntry& t = m_Tape[m_TapeCursor];
            if (t.key == Key(c, d, a, b)) {
                ++m_TapeCursor;
                double* val = m_Val.data();
                // Most stamps have a leg on node 0; skipping its positions
                // keeps the stores independent.
                if (t.slot[0] >= 0) val[t.slot[0]] += vca;
                if (t.slot[1] >= 0) val[t.slot[1]] += vda;
                if (t.slot[2] >= 0) val[t.slot[2]] += vcb;
                if (t.slot[3] >= 0) val[t.slot[3]] += vdb;
                return;
            }
        }
        AddStampSlow(c, d, a, b, vca, vda, vcb, vdb);
    }

    // Eliminates in node order and back-substitutes.  rhs and solution are
    // indexed by node; only active nodes are written in solution.  Returns
    // false when a pivot, factor or value is not finite.  The coefficients
    // are consumed.
    bool Solve(const double* rhs, double* solution);

    // Makes the learnt structure include every queued position.
    void Finalize();
    // coefficient(row, col) at present (0 when not stored).
    double Get(uint16_t rowNode, uint16_t colNode);
    // Dense copy, element j * n + k holding coefficient(k, j).
    void ExportDense(std::vector<double>& dense, uint16_t n);

    int Size() const { return static_cast<int>(m_Nodes.size()); }
    const std::vector<uint16_t>& Nodes() const { return m_Nodes; }
    size_t StoredCount() const { return m_Col.size(); }
    size_t MemoryBytes() const;

private:
    // Slots of one stamp's four coefficients, -1 for a position that is
    // left out.  An entry with a queued position has kNoKey and is looked up
    // again.
    static constexpr uint64_t kNoKey = ~uint64_t{0};  // node 65535 never exists
    static uint64_t Key(uint16_t c, uint16_t d, uint16_t a, uint16_t b)
    {
        return uint64_t{c} | uint64_t{d} << 16 | uint64_t{a} << 32 | uint64_t{b} << 48;
    }
    struct TapeEntry {
        uint64_t key;
        int slot[4];
    };
    struct Pending {
        int row, col;
        double value;
    };
    int Find(int r, int c) const;
    void AddStampSlow(uint16_t c, uint16_t d, uint16_t a, uint16_t b, double vca, double vda, double vcb,
                      double vdb);
    void Rebuild();

    std::vector<uint16_t> m_Nodes;  // active index -> node
    std::vector<int> m_Index;       // node -> active index, -1 when inactive
    // Filled structure, CSR by rows, columns ascending.
    std::vector<int> m_RowStart;
    std::vector<int> m_Col;
    std::vector<double> m_Val;
    std::vector<int> m_Diag;
    // Per pivot p: rows k > p holding column p, with their slots.
    std::vector<int> m_LowStart, m_LowRow, m_LowSlot;
    // Per column p: rows q < p holding column p, with their slots.
    std::vector<int> m_UpStart, m_UpRow, m_UpSlot;

    std::vector<TapeEntry> m_Tape;
    size_t m_TapeCursor = 0;
    std::vector<Pending> m_Pending;
    std::vector<double> m_Work;     // right-hand side by active index
    std::vector<double> m_Factors;  // pivot row factors
};
