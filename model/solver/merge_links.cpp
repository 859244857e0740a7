// Link trees: every group of nodes tied together by ideal links becomes one
// tree, each node standing for ratio * root + offset, found by a depth-first
// walk over the links in declaration order.  Loops are checked as they
// close: a consistent loop is noted, an inconsistent one (two EMFs in
// parallel) drives 1e30 round it, and one whose ratios disagree (gears that
// cannot turn) is cut, its nodes tied to node 0.
#include "model/solver/matrix.h"

#include <algorithm>
#include <cmath>

namespace {
uint16_t OtherEnd(const CIdeal& link, uint16_t node) { return link.m_NodeA == node ? link.m_NodeB : link.m_NodeA; }

void ResetLink(CIdeal& link)
{
    link.m_Ratio = 1.0;
    link.m_Offset = 0.0;
    link.m_Current = 0.0;
    link.m_LoopState = 0;
}

// Ties the end of the link at node to node 0, unless an end is node 0 already.
void MoveEndToGround(CIdeal& link, uint16_t node)
{
    if (link.m_NodeA == 0 || link.m_NodeB == 0) return;
    if (link.m_NodeA == node) link.m_NodeA = 0;
    else link.m_NodeB = 0;
}
}

void CMatrix::BuildAdjacency()
{
    m_AdjStart.assign(static_cast<size_t>(m_Size) + 1, 0);
    for (const CIdeal& link : m_Links) {
        if (link.m_Rejected) continue;
        ++m_AdjStart[static_cast<size_t>(link.m_NodeA) + 1];
        if (link.m_NodeB != link.m_NodeA) ++m_AdjStart[static_cast<size_t>(link.m_NodeB) + 1];
    }
    for (size_t i = 0; i < m_Size; ++i) m_AdjStart[i + 1] += m_AdjStart[i];
    m_Adj.resize(static_cast<size_t>(m_AdjStart.back()));
    m_Fill.assign(m_AdjStart.begin(), m_AdjStart.end() - 1);
    for (size_t l = 0; l < m_Links.size(); ++l) {
        const CIdeal& link = m_Links[l];
        if (link.m_Rejected) continue;
        m_Adj[static_cast<size_t>(m_Fill[link.m_NodeA]++)] = static_cast<int>(l);
        if (link.m_NodeB != link.m_NodeA) m_Adj[static_cast<size_t>(m_Fill[link.m_NodeB]++)] = static_cast<int>(l);
    }
}

// Node value carried across a link from node `from` (offset os, ratio rs):
// the other end gets offset x and ratio r.  An end in an inconsistent loop
// carries no offset.
void CMatrix::CarryValue(const CIdeal& link, uint16_t from, double os, double rs, uint16_t& to, double& x,
                         double& r) const
{
    const double o = link.m_LoopState == 2 ? 0.0 : link.m_Offset;
    if (link.m_NodeA == from) {
        to = link.m_NodeB;
        x = o + link.m_Ratio * os;
        r = link.m_Ratio * rs;
    } else {
        to = link.m_NodeA;
        x = (os - o) / link.m_Ratio;
        r = rs / link.m_Ratio;
    }
}

// Current x carried across a link from node `from`; returns what arrives at
// the other end.
double CMatrix::CarryCurrent(CIdeal& link, uint16_t from, double x)
{
    if (link.m_NodeA == from) {
        link.m_Current -= x;
        return x / link.m_Ratio;
    }
    link.m_Current += x * link.m_Ratio;
    return x * link.m_Ratio;
}

void CMatrix::CutLoop(int closing, uint16_t current, uint16_t other)
{
    CIdeal& close = m_Links[static_cast<size_t>(closing)];
    ResetLink(close);
    MoveEndToGround(close, other);
    uint16_t n = current;
    for (int guard = 0; n != other && m_ParentLink[n] >= 0 && guard <= m_Size; ++guard) {
        CIdeal& tree = m_Links[static_cast<size_t>(m_ParentLink[n])];
        uint16_t up = OtherEnd(tree, n);
        ResetLink(tree);
        MoveEndToGround(tree, n);
        n = up;
    }
}

// One walk from node start; false when it does not settle.  Sets cut when a
// loop of conflicting ratios was cut (the whole merge must then start again).
// A closed loop that turns a tree link inconsistent zeroes that link's
// offset, which moves the values of every node below it: the walk then starts
// again from its first node to carry them anew.  Any other loop changes only
// its closing link, so the walk goes on (a few hundred links closing
// hundreds of loops were quadratic in the number of loops otherwise).
bool CMatrix::Walk(uint16_t start, bool& cut, long passBudget)
{
    auto adjBegin = [&](uint16_t n) { return m_AdjStart[n]; };
    auto adjEnd = [&](uint16_t n) { return m_AdjStart[static_cast<size_t>(n) + 1]; };
    auto indexOf = [&](uint16_t n, int link) {
        auto first = m_Adj.begin() + adjBegin(n), last = m_Adj.begin() + adjEnd(n);
        return static_cast<int>(std::find(first, last, link) - m_Adj.begin());
    };
    if (adjBegin(start) == adjEnd(start)) return true;
    int restarts = 0;
    const int maxRestarts = 2 * static_cast<int>(m_Links.size()) + 4;

    long budget = 0;
restart:
    if (++restarts > maxRestarts) return false;
    budget = passBudget;
    uint16_t cur = start;
    int at = adjBegin(start);  // index in m_Adj of the current link
    for (;;) {
        if (--budget < 0) return false;
        const int l = m_Adj[static_cast<size_t>(at)];
        CIdeal& link = m_Links[static_cast<size_t>(l)];
        uint16_t a;
        double x, r;
        CarryValue(link, cur, m_Offset[cur], m_Ratio[cur], a, x, r);
        if (m_Depth[a] == 0 && a != start) {
            m_Depth[a] = static_cast<uint16_t>(m_Depth[cur] + 1);
            m_ParentLink[a] = l;
            m_Offset[a] = x;
            m_Ratio[a] = r;
            cur = a;
            at = indexOf(a, l);
        } else if (m_Depth[cur] >= m_Depth[a]) {
            if (std::fabs(r - m_Ratio[a]) <= 1e-6) {
                const int level = std::fabs(x - m_Offset[a]) <= 1e-6 ? 1 : 2;
                if (link.m_LoopState < level) {
                    link.m_LoopState = level;
                    bool treeChanged = false;
                    if (level == 2) {
                        double arriving = CarryCurrent(link, a, x > m_Offset[a] ? 1e30 : -1e30);
                        uint16_t n = cur;
                        for (int guard = 0; n != a && m_ParentLink[n] >= 0 && guard <= m_Size; ++guard) {
                            CIdeal& tree = m_Links[static_cast<size_t>(m_ParentLink[n])];
                            treeChanged = treeChanged || tree.m_LoopState < level;
                            tree.m_LoopState = std::max(tree.m_LoopState, level);
                            uint16_t up = OtherEnd(tree, n);
                            arriving = CarryCurrent(tree, n, arriving);
                            n = up;
                        }
                    }
                    if (treeChanged) goto restart;
                    // Only the closing link changed, and it is no tree link,
                    // so no node value moves: walking again from the start
                    // would redo the same steps up to here.
                    if (++restarts > maxRestarts) return false;
                }
            } else {
                CutLoop(l, cur, a);
                cut = true;
                return true;
            }
        } else {
            m_Offset[a] = x;
            m_Ratio[a] = r;
            cur = a;
            at = indexOf(a, l);
        }
        // Advance to the next link of the walk.
        for (;;) {
            if (--budget < 0) return false;
            ++at;
            if (at >= adjEnd(cur)) {
                if (m_ParentLink[cur] < 0) return true;
                at = adjBegin(cur);
            }
            const int next = m_Adj[static_cast<size_t>(at)];
            if (next == m_ParentLink[cur]) {
                uint16_t up = OtherEnd(m_Links[static_cast<size_t>(next)], cur);
                cur = up;
                at = indexOf(up, next);
                continue;
            }
            const uint16_t other = OtherEnd(m_Links[static_cast<size_t>(next)], cur);
            if (m_Depth[other] > m_Depth[cur] && m_ParentLink[other] != next) continue;
            break;
        }
    }
}

void CMatrix::MergeLinks() { MergeWith(&CMatrix::Walk); }

void CMatrix::MergeLinksReference() { MergeWith(&CMatrix::WalkReference); }

void CMatrix::MergeWith(WalkFn walk)
{
    if (m_Phase != kCollectLinks) return;
    BuildAdjacency();
    const long passBudget = 64L * (static_cast<long>(m_Links.size()) + m_Size) + 1024;
    const int maxCuts = static_cast<int>(m_Links.size()) + 2;
    bool settled = true;
    for (int cuts = 0;; ++cuts) {
        bool cut = false;
        for (uint32_t i = 0; i < m_Size && settled && !cut; ++i) {
            uint16_t node = static_cast<uint16_t>(i);
            if (m_AdjStart[i] == m_AdjStart[i + 1] || m_Depth[node] != 0) continue;
            settled = (this->*walk)(node, cut, passBudget);
        }
        if (!settled || !cut) break;
        if (cuts >= maxCuts) {
            settled = false;
            break;
        }
        // Start again from node 0 with every node unplaced.
        std::fill(m_Depth.begin(), m_Depth.end(), uint16_t{0});
        std::fill(m_ParentLink.begin(), m_ParentLink.end(), -1);
        std::fill(m_Offset.begin(), m_Offset.end(), 0.0);
        std::fill(m_Ratio.begin(), m_Ratio.end(), 1.0);
        for (CIdeal& link : m_Links) link.m_LoopState = 0;
        BuildAdjacency();
    }
    if (!settled) m_Fault = Fault::kMergeDiverged;
    FinishMerge();
    m_Phase = kStamp;
}

// Nodes ordered by depth (counting sort); m_DepthStart[d] is where depth d
// begins in m_ByDepth.
void CMatrix::SortByDepth()
{
    uint16_t maxDepth = 0;
    for (uint16_t d : m_Depth) maxDepth = std::max(maxDepth, d);
    m_DepthStart.assign(static_cast<size_t>(maxDepth) + 2, 0);
    for (uint16_t d : m_Depth) ++m_DepthStart[static_cast<size_t>(d) + 1];
    for (size_t d = 0; d + 1 < m_DepthStart.size(); ++d) m_DepthStart[d + 1] += m_DepthStart[d];
    m_ByDepth.resize(m_Size);
    m_Fill.assign(m_DepthStart.begin(), m_DepthStart.end() - 1);
    for (uint32_t i = 0; i < m_Size; ++i) m_ByDepth[static_cast<size_t>(m_Fill[m_Depth[i]]++)] = static_cast<uint16_t>(i);
}

// Roots of every node and the set of nodes left for the elimination.
void CMatrix::FinishMerge()
{
    SortByDepth();
    for (size_t j = 0; j < m_ByDepth.size(); ++j) {
        const uint16_t n = m_ByDepth[j];
        m_Root[n] = m_Depth[n] == 0 ? n : m_Root[OtherEnd(m_Links[static_cast<size_t>(m_ParentLink[n])], n)];
    }
    m_Active.clear();
    for (uint32_t i = 1; i < m_Size; ++i)
        if (m_Depth[i] == 0) m_Active.push_back(static_cast<uint16_t>(i));
    m_Lu.SetActive(m_Active, m_Size);
}

// Turns the node current sums of the branch read-back into link currents,
// from the deepest nodes towards the roots.
void CMatrix::FoldLinkCurrents()
{
    if (m_Size > 0 && m_AdjStart.size() == static_cast<size_t>(m_Size) + 1) {
        SortByDepth();
        for (int d = static_cast<int>(m_DepthStart.size()) - 2; d >= 1; --d)
            for (int j = m_DepthStart[static_cast<size_t>(d)]; j < m_DepthStart[static_cast<size_t>(d) + 1]; ++j) {
                const uint16_t k = m_ByDepth[static_cast<size_t>(j)];
                int m = 0;
                for (int i = m_AdjStart[k]; i < m_AdjStart[static_cast<size_t>(k) + 1]; ++i)
                    if (m_Depth[OtherEnd(m_Links[static_cast<size_t>(m_Adj[static_cast<size_t>(i)])], k)] < d) ++m;
                if (m == 0) continue;
                const double share = m_Rhs[k] / m;
                for (int i = m_AdjStart[k]; i < m_AdjStart[static_cast<size_t>(k) + 1]; ++i) {
                    CIdeal& link = m_Links[static_cast<size_t>(m_Adj[static_cast<size_t>(i)])];
                    uint16_t other = OtherEnd(link, k);
                    if (m_Depth[other] < d) m_Rhs[other] += CarryCurrent(link, k, share);
                }
            }
    }
    std::fill(m_Rhs.begin(), m_Rhs.end(), 0.0);
}
