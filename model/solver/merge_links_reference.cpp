// Reference link merge (see merge_links.cpp for the fast walk).
#include "model/solver/matrix.h"

#include <algorithm>
#include <cmath>

namespace {
uint16_t OtherEnd(const CIdeal& link, uint16_t node) { return link.m_NodeA == node ? link.m_NodeB : link.m_NodeA; }
}

// The plain walk: every loop that changes a link's state sends it back to
// its first node, so every node value is carried again from the root.  A
// network of L links closing L loops costs L walks of the whole tree.
// Walk does the same work once and must leave everything exactly as this
// does (compared on random networks in the tests).
bool CMatrix::WalkReference(uint16_t start, bool& cut, long passBudget)
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
                    if (level == 2) {
                        double arriving = CarryCurrent(link, a, x > m_Offset[a] ? 1e30 : -1e30);
                        uint16_t n = cur;
                        for (int guard = 0; n != a && m_ParentLink[n] >= 0 && guard <= m_Size; ++guard) {
                            CIdeal& tree = m_Links[static_cast<size_t>(m_ParentLink[n])];
                            tree.m_LoopState = std::max(tree.m_LoopState, level);
                            uint16_t up = OtherEnd(tree, n);
                            arriving = CarryCurrent(tree, n, arriving);
                            n = up;
                        }
                    }
                    goto restart;
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

