// CMatrix: the nodal network solver of a design.
//
// One pass: Resize -> link declarations (phase 0) -> MergeLinks (phase 1) ->
// repeated { Clear, stamps, Solve } -> BeginBranchReadBack (phase 2) ->
// stamps again (branch currents) -> BeginLinkReadBack (phase 3) -> link
// declarations again (link currents) -> EndLinkReadBack.
//
// For every node k the balance equation is
//     sum_j coefficient(k, j) * value(j) + rhs(k) = 0,
// i.e. rhs(k) is the constant part of the current leaving node k.  Node 0 is
// the reference and always 0.  Ideal links tie node values together
// (value(B) = ratio * value(A) + offset); linked nodes are merged into trees
// whose roots alone are solved for.  See README.md.
#pragma once

#include "model/solver/solver_terminal.h"
#include "model/solver/sparse_lu.h"

#include <cmath>
#include <cstdint>
#include <vector>

// One ideal link: value(B) = ratio * value(A) + offset.
struct CIdeal {
    uint16_t m_NodeA = 0;
    uint16_t m_NodeB = 0;
    double m_Ratio = 1.0;
    double m_Offset = 0.0;
    double m_Current = 0.0;  // through-value, measured on the A side
    int m_LoopState = 0;     // 0 no loop, 1 consistent loop, 2 inconsistent loop
    // As declared, before MergeLinks may re-point a cut loop: the read-back
    // checks its declarations against these.
    uint16_t m_DeclaredA = 0;
    uint16_t m_DeclaredB = 0;
    bool m_Rejected = false;  // non-finite or zero ratio, or bad node: not merged
};

class CMatrix {
public:
    enum Phase { kCollectLinks = 0, kStamp = 1, kBranchReadBack = 2, kLinkReadBack = 3 };

    // Why the last Solve (or the pass so far) failed; kNone when it did not.
    enum class Fault {
        kNone,
        kBadInput,        // a non-finite value or an out-of-range node was stamped or linked
        kMergeDiverged,   // the link merge did not settle (guard against a runaway walk)
        kNotFinite,       // the elimination met a non-finite pivot, factor or value
        kWrongPhase,      // Solve called outside phase 1
    };

    // When memory runs out, Resize shows string 137 once for the whole
    // program, until a later Resize succeeds.
    static bool IsMemoryWarningPending();

    CMatrix() = default;
    CMatrix(const CMatrix&) = delete;
    CMatrix& operator=(const CMatrix&) = delete;

    // Pass control.
    bool Resize(uint16_t nodeCount);
    void Release();
    void MergeLinks();
    // The plain link merge, walking again from the first node at every loop
    // that changes a link: for checking MergeLinks, which must leave every
    // node, link and fault exactly as this does.
    void MergeLinksReference();
    void Clear();
    bool Solve();
    void BeginBranchReadBack();
    void BeginLinkReadBack();
    // Ends the link read-back: true when every declared link was read back in
    // declaration order; leftover links are dropped.
    bool EndLinkReadBack();

    // The same system solved by the plain dense elimination, for checking
    // the fast path: fills the solution exactly as Solve does.
    bool SolveReference();

    // Link declarations (every phase; the same calls in the same order in
    // phases 0 and 3).  A null terminal is node 0.
    void AddIdealLink(double ratio, double offset, CSolverTerminal* first, CSolverTerminal* second);
    void AddLink(CSolverTerminal* a, CSolverTerminal* b) { AddIdealLink(1.0, 0.0, a, b); }
    void AddVoltageSource(double emf, CSolverTerminal* a, CSolverTerminal* b) { AddIdealLink(1.0, emf, b, a); }
    void AddRatioLink(double ratio, CSolverTerminal* a, CSolverTerminal* b) { AddIdealLink(ratio, 0.0, a, b); }

    // Stamps (phases 1 and 2): a current g * (value(a) - value(b)) + I0
    // leaves node c and enters node d; in phase 2 it is reported to the
    // read-back terminals (+I to the first, -I to the second).
    void Stamp(double g, double i0, uint16_t a, uint16_t b, uint16_t c, uint16_t d,
               CSolverTerminal* first, CSolverTerminal* second)
    {
        // Phase 1 with sound input is the hot path of every re-solve.
        if (m_Phase == kStamp && a < m_Size && b < m_Size && c < m_Size && d < m_Size && std::isfinite(g) &&
            std::isfinite(i0))
            StampMatrix(g, i0, a, b, c, d);
        else
            StampOther(g, i0, a, b, c, d, first, second);
    }
    void StampConductance(double g, CSolverTerminal* a, CSolverTerminal* b)
    {
        Stamp(g, 0.0, Node(a), Node(b), Node(a), Node(b), a, b);
    }
    void StampConductanceNodes(double g, uint16_t a, uint16_t b) { Stamp(g, 0.0, a, b, a, b, nullptr, nullptr); }
    void StampTransfer(double g, double i0, CSolverTerminal* a, CSolverTerminal* b, CSolverTerminal* c,
                       CSolverTerminal* d)
    {
        Stamp(g, i0, Node(a), Node(b), Node(c), Node(d), c, d);
    }
    void StampTransferFromNodes(double g, double i0, uint16_t a, uint16_t b, CSolverTerminal* c,
                                CSolverTerminal* d)
    {
        Stamp(g, i0, a, b, Node(c), Node(d), c, d);
    }
    void StampTransferToNodes(double g, double i0, CSolverTerminal* a, CSolverTerminal* b, uint16_t c,
                              uint16_t d)
    {
        Stamp(g, i0, Node(a), Node(b), c, d, nullptr, nullptr);
    }

    // Results and state.
    int GetPhase() const { return m_Phase; }
    uint16_t GetSize() const { return m_Size; }
    const double* GetSolution() const { return m_Solution.data(); }
    double GetValue(uint16_t node) const { return node < m_Size ? m_Solution[node] : 0.0; }
    Fault GetFault() const { return m_Fault; }
    // Links that phase 3 could not match to the list (missing, out of order).
    int GetReadBackMismatches() const { return m_ReadBackMismatches; }

    // Tree of a node after MergeLinks: depth 0 for roots and unmerged nodes.
    uint16_t GetDepth(uint16_t node) const { return m_Depth[node]; }
    uint16_t GetRoot(uint16_t node) const { return m_Root[node]; }
    double GetNodeRatio(uint16_t node) const { return m_Ratio[node]; }
    double GetNodeOffset(uint16_t node) const { return m_Offset[node]; }
    const std::vector<CIdeal>& GetLinks() const { return m_Links; }
    // Present right-hand side (node current sums in phases 2 and 3).
    double GetRhs(uint16_t node) const { return m_Rhs[node]; }
    // Unmerged nodes 1..N-1 in the elimination, and stored coefficients.
    int GetEliminatedCount() const { return m_Lu.Size(); }
    size_t GetStoredCount() const { return m_Lu.StoredCount(); }
    // Bytes held by the solver's arrays (capacity, not just size).
    size_t GetMemoryBytes() const;

    // Coefficient(k, j) as the stamps built it (before Solve); 0 when absent.
    double GetCoefficient(uint16_t k, uint16_t j);

private:
    static uint16_t Node(const CSolverTerminal* t) { return t ? t->GetNode() : 0; }
    void StampOther(double g, double i0, uint16_t a, uint16_t b, uint16_t c, uint16_t d, CSolverTerminal* first,
                    CSolverTerminal* second);
    // Phase 1: the coefficients of a stamp, its nodes mapped to their roots.
    void StampMatrix(double g, double i0, uint16_t a, uint16_t b, uint16_t c, uint16_t d)
    {
        double ga = g, gb = -g, k = i0, wc = 1.0, wd = -1.0;
        if (m_Depth[a]) {
            ga = g * m_Ratio[a];
            k += g * m_Offset[a];
            a = m_Root[a];
        }
        if (m_Depth[b]) {
            gb = -(g * m_Ratio[b]);
            k -= g * m_Offset[b];
            b = m_Root[b];
        }
        if (m_Depth[c]) {
            wc = m_Ratio[c];
            c = m_Root[c];
        }
        if (m_Depth[d]) {
            wd = -m_Ratio[d];
            d = m_Root[d];
        }
        m_Lu.AddStamp(c, d, a, b, wc * ga, wd * ga, wc * gb, wd * gb);
        m_Rhs[c] += wc * k;
        m_Rhs[d] += wd * k;
    }
    void ResetPass();
    // MergeLinks helpers (merge_links.cpp).
    void BuildAdjacency();
    using WalkFn = bool (CMatrix::*)(uint16_t, bool&, long);
    void MergeWith(WalkFn walk);
    bool Walk(uint16_t start, bool& cut, long passBudget);
    bool WalkReference(uint16_t start, bool& cut, long passBudget);
    void CarryValue(const CIdeal& link, uint16_t from, double os, double rs, uint16_t& to, double& x,
                    double& r) const;
    double CarryCurrent(CIdeal& link, uint16_t from, double x);
    void CutLoop(int closing, uint16_t current, uint16_t other);
    void FinishMerge();
    void SortByDepth();
    void FoldLinkCurrents();
    void FillMergedValues();
    bool Fail(Fault fault);

    int m_Phase = kCollectLinks;
    uint16_t m_Size = 0;
    std::vector<CIdeal> m_Links;
    size_t m_ReadHead = 0;  // next link of the phase-3 read-back
    int m_ReadBackMismatches = 0;

    std::vector<int> m_ParentLink;  // -1: none
    std::vector<uint16_t> m_Depth;
    std::vector<double> m_Offset;
    std::vector<double> m_Ratio;
    std::vector<uint16_t> m_Root;
    std::vector<double> m_Rhs;
    std::vector<double> m_Solution;
    // Links touching each node, in list order (CSR form).
    std::vector<int> m_AdjStart;
    std::vector<int> m_Adj;
    // Scratch kept between passes.
    std::vector<int> m_Fill;
    std::vector<int> m_DepthStart;
    std::vector<uint16_t> m_ByDepth;
    std::vector<uint16_t> m_Active;

    CSparseLU m_Lu;
    Fault m_Fault = Fault::kNone;
    bool m_InputFault = false;
};
