#include "model/solver/sparse_lu.h"

#include <algorithm>
#include <cmath>

void CSparseLU::Reset()
{
    m_Nodes.clear();
    m_Index.clear();
    m_RowStart.assign(1, 0);
    m_Col.clear();
    m_Val.clear();
    m_Diag.clear();
    m_LowStart.assign(1, 0);
    m_LowRow.clear();
    m_LowSlot.clear();
    m_UpStart.assign(1, 0);
    m_UpRow.clear();
    m_UpSlot.clear();
    m_Tape.clear();
    m_TapeCursor = 0;
    m_Pending.clear();
}

void CSparseLU::SetActive(const std::vector<uint16_t>& nodes, uint16_t nodeCount)
{
    if (nodes == m_Nodes && m_Index.size() == nodeCount && !m_RowStart.empty()) return;
    Reset();
    m_Nodes = nodes;
    m_Index.assign(nodeCount, -1);
    for (size_t i = 0; i < nodes.size(); ++i) m_Index[nodes[i]] = static_cast<int>(i);
    // Diagonal only; stamps add the rest.
    Rebuild();
}

int CSparseLU::Find(int r, int c) const
{
    auto first = m_Col.begin() + m_RowStart[static_cast<size_t>(r)];
    auto last = m_Col.begin() + m_RowStart[static_cast<size_t>(r) + 1];
    auto it = std::lower_bound(first, last, c);
    return (it != last && *it == c) ? static_cast<int>(it - m_Col.begin()) : -1;
}

void CSparseLU::AddStampSlow(uint16_t c, uint16_t d, uint16_t a, uint16_t b, double vca, double vda, double vcb,
                             double vdb)
{
    TapeEntry t{Key(c, d, a, b), {-1, -1, -1, -1}};
    const uint16_t rows[4] = {c, d, c, d};
    const uint16_t cols[4] = {a, a, b, b};
    const double values[4] = {vca, vda, vcb, vdb};
    for (int i = 0; i < 4; ++i) {
        const int r = m_Index[rows[i]], k = m_Index[cols[i]];
        if (r < 0 || k < 0) continue;
        const int s = Find(r, k);
        if (s >= 0) {
            t.slot[i] = s;
            m_Val[static_cast<size_t>(s)] += values[i];
        } else {
            t.key = kNoKey;
            m_Pending.push_back({r, k, values[i]});
        }
    }
    if (m_TapeCursor < m_Tape.size()) m_Tape[m_TapeCursor] = t;
    else m_Tape.push_back(t);
    ++m_TapeCursor;
}

void CSparseLU::ClearValues()
{
    if (!m_Pending.empty()) Rebuild();
    std::fill(m_Val.begin(), m_Val.end(), 0.0);
    m_TapeCursor = 0;
}

void CSparseLU::Finalize()
{
    if (!m_Pending.empty()) Rebuild();
}

double CSparseLU::Get(uint16_t rowNode, uint16_t colNode)
{
    Finalize();
    if (rowNode >= m_Index.size() || colNode >= m_Index.size()) return 0.0;
    int r = m_Index[rowNode], c = m_Index[colNode];
    if (r < 0 || c < 0) return 0.0;
    int s = Find(r, c);
    return s >= 0 ? m_Val[static_cast<size_t>(s)] : 0.0;
}

void CSparseLU::ExportDense(std::vector<double>& dense, uint16_t n)
{
    Finalize();
    dense.assign(static_cast<size_t>(n) * n, 0.0);
    const int m = Size();
    for (int r = 0; r < m; ++r)
        for (int s = m_RowStart[r]; s < m_RowStart[r + 1]; ++s) {
            size_t k = m_Nodes[static_cast<size_t>(r)], j = m_Nodes[static_cast<size_t>(m_Col[s])];
            dense[j * n + k] = m_Val[static_cast<size_t>(s)];
        }
}

// Symbolic elimination: row k of the factor holds the union of its own
// positions and the upper part of every pivot row p < k whose column it meets.
void CSparseLU::Rebuild()
{
    const int m = Size();
    std::vector<std::vector<int>> rows(static_cast<size_t>(m));
    for (int r = 0; r < m; ++r) {
        auto& row = rows[static_cast<size_t>(r)];
        row.push_back(r);
        if (static_cast<size_t>(r) + 1 < m_RowStart.size())
            for (int s = m_RowStart[r]; s < m_RowStart[r + 1]; ++s) row.push_back(m_Col[s]);
    }
    for (const Pending& p : m_Pending) rows[static_cast<size_t>(p.row)].push_back(p.col);
    for (auto& row : rows) {
        std::sort(row.begin(), row.end());
        row.erase(std::unique(row.begin(), row.end()), row.end());
    }
    std::vector<std::vector<int>> cols(static_cast<size_t>(m));
    for (int r = 0; r < m; ++r)
        for (int c : rows[static_cast<size_t>(r)]) cols[static_cast<size_t>(c)].push_back(r);

    std::vector<int> merged, added;
    for (int p = 0; p < m; ++p) {
        const auto& prow = rows[static_cast<size_t>(p)];
        auto upFirst = std::upper_bound(prow.begin(), prow.end(), p);
        if (upFirst == prow.end()) continue;
        auto& pcol = cols[static_cast<size_t>(p)];
        std::sort(pcol.begin(), pcol.end());
        for (int k : pcol) {
            if (k <= p) continue;
            auto& krow = rows[static_cast<size_t>(k)];
            merged.clear();
            added.clear();
            auto a = krow.begin();
            for (auto b = upFirst; b != prow.end(); ++b) {
                while (a != krow.end() && *a < *b) merged.push_back(*a++);
                if (a != krow.end() && *a == *b) {
                    merged.push_back(*a++);
                } else {
                    merged.push_back(*b);
                    added.push_back(*b);
                }
            }
            if (added.empty()) continue;
            merged.insert(merged.end(), a, krow.end());
            krow.swap(merged);
            for (int q : added) cols[static_cast<size_t>(q)].push_back(k);
        }
    }

    // Lay out the new structure and carry the values over.
    std::vector<int> rowStart(static_cast<size_t>(m) + 1, 0);
    for (int r = 0; r < m; ++r)
        rowStart[static_cast<size_t>(r) + 1] = rowStart[static_cast<size_t>(r)] + static_cast<int>(rows[static_cast<size_t>(r)].size());
    std::vector<int> col(static_cast<size_t>(rowStart.back()));
    for (int r = 0; r < m; ++r) std::copy(rows[static_cast<size_t>(r)].begin(), rows[static_cast<size_t>(r)].end(), col.begin() + rowStart[static_cast<size_t>(r)]);
    std::vector<double> val(col.size(), 0.0);
    auto findIn = [&](int r, int c) {
        auto first = col.begin() + rowStart[static_cast<size_t>(r)];
        auto last = col.begin() + rowStart[static_cast<size_t>(r) + 1];
        return static_cast<size_t>(std::lower_bound(first, last, c) - col.begin());
    };
    if (m_RowStart.size() == static_cast<size_t>(m) + 1)
        for (int r = 0; r < m; ++r)
            for (int s = m_RowStart[r]; s < m_RowStart[r + 1]; ++s)
                val[findIn(r, m_Col[s])] = m_Val[static_cast<size_t>(s)];
    // A queued position was outside the old structure, so all its stamps of
    // this round are queued and are summed here in their original order.
    for (const Pending& p : m_Pending) val[findIn(p.row, p.col)] += p.value;
    m_Pending.clear();
    m_Diag.assign(static_cast<size_t>(m), 0);
    for (int r = 0; r < m; ++r) m_Diag[static_cast<size_t>(r)] = static_cast<int>(findIn(r, r));
    m_RowStart.swap(rowStart);
    m_Col.swap(col);
    m_Val.swap(val);

    // Column lists below and above the diagonal, ascending by row.
    m_LowStart.assign(static_cast<size_t>(m) + 1, 0);
    m_UpStart.assign(static_cast<size_t>(m) + 1, 0);
    for (int r = 0; r < m; ++r)
        for (int s = m_RowStart[r]; s < m_RowStart[r + 1]; ++s) {
            int c = m_Col[s];
            if (r > c) ++m_LowStart[static_cast<size_t>(c) + 1];
            else if (r < c) ++m_UpStart[static_cast<size_t>(c) + 1];
        }
    for (int i = 0; i < m; ++i) {
        m_LowStart[static_cast<size_t>(i) + 1] += m_LowStart[static_cast<size_t>(i)];
        m_UpStart[static_cast<size_t>(i) + 1] += m_UpStart[static_cast<size_t>(i)];
    }
    m_LowRow.assign(static_cast<size_t>(m_LowStart.back()), 0);
    m_LowSlot.assign(m_LowRow.size(), 0);
    m_UpRow.assign(static_cast<size_t>(m_UpStart.back()), 0);
    m_UpSlot.assign(m_UpRow.size(), 0);
    std::vector<int> lowFill(m_LowStart.begin(), m_LowStart.end() - 1);
    std::vector<int> upFill(m_UpStart.begin(), m_UpStart.end() - 1);
    for (int r = 0; r < m; ++r)
        for (int s = m_RowStart[r]; s < m_RowStart[r + 1]; ++s) {
            int c = m_Col[s];
            if (r > c) {
                int at = lowFill[static_cast<size_t>(c)]++;
                m_LowRow[static_cast<size_t>(at)] = r;
                m_LowSlot[static_cast<size_t>(at)] = s;
            } else if (r < c) {
                int at = upFill[static_cast<size_t>(c)]++;
                m_UpRow[static_cast<size_t>(at)] = r;
                m_UpSlot[static_cast<size_t>(at)] = s;
            }
        }
    // Slots moved: the tape must learn them again.
    m_Tape.clear();
    m_TapeCursor = 0;
}

bool CSparseLU::Solve(const double* rhs, double* solution)
{
    Finalize();
    const int m = Size();
    m_Work.resize(static_cast<size_t>(m));
    double* b = m_Work.data();
    for (int k = 0; k < m; ++k) b[k] = rhs[m_Nodes[static_cast<size_t>(k)]];
    double* val = m_Val.data();
    const int* col = m_Col.data();

    for (int p = 0; p < m; ++p) {
        const int dp = m_Diag[static_cast<size_t>(p)];
        if (val[dp] == 0.0) val[dp] = 1e-18;
        const double pivot = val[dp];
        const double r = b[p] / pivot;
        if (!std::isfinite(pivot) || !std::isfinite(r)) return false;
        const int u0 = dp + 1, nu = m_RowStart[static_cast<size_t>(p) + 1] - u0;
        if (m_Factors.size() < static_cast<size_t>(nu)) m_Factors.resize(static_cast<size_t>(nu));
        double* f = m_Factors.data();
        for (int j = 0; j < nu; ++j) {
            f[j] = val[u0 + j] / pivot;
            if (!std::isfinite(f[j])) return false;
        }
        for (int i = m_LowStart[static_cast<size_t>(p)]; i < m_LowStart[static_cast<size_t>(p) + 1]; ++i) {
            const int s = m_LowSlot[static_cast<size_t>(i)];
            const double c = val[s];
            if (c == 0.0) continue;
            b[m_LowRow[static_cast<size_t>(i)]] -= r * c;
            int at = s + 1;
            const int rest = m_RowStart[static_cast<size_t>(m_LowRow[static_cast<size_t>(i)]) + 1] - at;
            if (rest == nu) {
                // Row k beyond column p holds exactly the pivot row's columns
                // (dense blocks).  A zero factor changes nothing here either:
                // x - 0 * c is x for every finite c, and a non-finite c makes
                // the solve fail through the right-hand side anyway.
                double* row = val + at;
                for (int j = 0; j < nu; ++j) row[j] -= f[j] * c;
                continue;
            }
            for (int j = 0; j < nu; ++j) {
                if (f[j] == 0.0) continue;
                const int q = col[u0 + j];
                while (col[at] != q) ++at;
                val[at] -= f[j] * c;
            }
        }
    }
    for (int p = m - 1; p >= 0; --p) {
        const double v = -(b[p] / val[m_Diag[static_cast<size_t>(p)]]);
        if (!std::isfinite(v)) return false;
        solution[m_Nodes[static_cast<size_t>(p)]] = v;
        for (int i = m_UpStart[static_cast<size_t>(p)]; i < m_UpStart[static_cast<size_t>(p) + 1]; ++i)
            b[m_UpRow[static_cast<size_t>(i)]] += v * val[m_UpSlot[static_cast<size_t>(i)]];
    }
    return true;
}

size_t CSparseLU::MemoryBytes() const
{
    auto bytes = [](const auto& v) { return v.capacity() * sizeof(v[0]); };
    return bytes(m_Nodes) + bytes(m_Index) + bytes(m_RowStart) + bytes(m_Col) + bytes(m_Val) + bytes(m_Diag) +
           bytes(m_LowStart) + bytes(m_LowRow) + bytes(m_LowSlot) + bytes(m_UpStart) + bytes(m_UpRow) +
           bytes(m_UpSlot) + bytes(m_Tape) + bytes(m_Pending) + bytes(m_Work) + bytes(m_Factors);
}
