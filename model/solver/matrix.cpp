#include "model/solver/matrix.h"

#include "platform/messagebox.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {
// Program-wide: the memory warning shows once until a resize succeeds again.
bool g_MemoryWarning = false;

constexpr uint32_t kIdsNoMemory = 137;

bool Finite(double x) { return std::isfinite(x); }
}

bool CMatrix::IsMemoryWarningPending() { return g_MemoryWarning; }

void CMatrix::Release()
{
    m_Links.clear();
    m_Links.shrink_to_fit();
    m_ReadHead = 0;
    m_Size = 0;
    m_ParentLink = {};
    m_Depth = {};
    m_Offset = {};
    m_Ratio = {};
    m_Root = {};
    m_Rhs = {};
    m_Solution = {};
    m_AdjStart = {};
    m_Adj = {};
    m_Fill = {};
    m_DepthStart = {};
    m_ByDepth = {};
    m_Active = {};
    m_Lu.Reset();
    m_Phase = kCollectLinks;
}

bool CMatrix::Resize(uint16_t nodeCount)
{
    if (nodeCount != m_Size || m_Solution.size() != nodeCount) {
        Release();
        try {
            m_Size = nodeCount;
            m_Rhs.resize(nodeCount);
            m_Solution.resize(nodeCount);
            m_ParentLink.resize(nodeCount);
            m_Depth.resize(nodeCount);
            m_Offset.resize(nodeCount);
            m_Ratio.resize(nodeCount);
            m_Root.resize(nodeCount);
        } catch (const std::bad_alloc&) {
            Release();
            if (!g_MemoryWarning) {
                // The flag keeps the box's result (never 0 for a shown box).
                g_MemoryWarning = WbMessageBox(kIdsNoMemory, MB_OK | MB_ICONSTOP) != 0;
            }
            return false;
        }
    }
    g_MemoryWarning = false;
    ResetPass();
    return true;
}

void CMatrix::ResetPass()
{
    std::fill(m_Offset.begin(), m_Offset.end(), 0.0);
    std::fill(m_Solution.begin(), m_Solution.end(), 0.0);
    std::fill(m_Ratio.begin(), m_Ratio.end(), 1.0);
    std::fill(m_Depth.begin(), m_Depth.end(), uint16_t{0});
    std::fill(m_ParentLink.begin(), m_ParentLink.end(), -1);
    std::fill(m_Rhs.begin(), m_Rhs.end(), 0.0);
    for (uint16_t i = 0; i < m_Size; ++i) m_Root[i] = i;
    m_Links.clear();
    m_ReadHead = 0;
    m_ReadBackMismatches = 0;
    m_Fault = Fault::kNone;
    m_InputFault = false;
    m_Phase = kCollectLinks;
}

void CMatrix::AddIdealLink(double ratio, double offset, CSolverTerminal* first, CSolverTerminal* second)
{
    uint16_t n1 = Node(first), n2 = Node(second);
    const bool badNode = n1 >= m_Size || n2 >= m_Size;
    if (m_Phase == kLinkReadBack && !badNode && n1 == n2 && offset != 0.0) {
        // A source shorted onto one node: the huge current burns it out.
        double big = offset > 0 ? 1e30 : -1e30;
        if (first) first->AddCurrent(big);
        if (second) second->AddCurrent(-big);
    }
    if (!badNode && n1 == n2) {
        if (std::fabs(ratio - 1.0) <= 1e-6 || n1 == 0) return;
        // A ratio other than 1 between a node and itself forces it to 0.
        ratio = 1.0;
        offset = 0.0;
        n1 = 0;
    }
    if (m_Phase == kCollectLinks) {
        CIdeal link;
        link.m_NodeA = n1;
        link.m_NodeB = n2;
        link.m_Ratio = ratio;
        link.m_Offset = offset;
        link.m_DeclaredA = n1;
        link.m_DeclaredB = n2;
        link.m_Rejected = badNode || !Finite(ratio) || !Finite(offset) || ratio == 0.0;
        if (link.m_Rejected) m_InputFault = true;
        m_Links.push_back(link);
    } else if (m_Phase == kLinkReadBack) {
        // The read-back consumes the list in declaration order; a call that
        // does not match the head is counted and reports nothing.
        if (m_ReadHead >= m_Links.size()) {
            ++m_ReadBackMismatches;
            return;
        }
        const CIdeal& link = m_Links[m_ReadHead];
        if (link.m_DeclaredA != n1 || link.m_DeclaredB != n2) {
            ++m_ReadBackMismatches;
            return;
        }
        ++m_ReadHead;
        if (link.m_Rejected) return;
        if (first) first->AddCurrent(link.m_Current);
        if (second) second->AddCurrent(-(link.m_Current / link.m_Ratio));
    }
}

bool CMatrix::EndLinkReadBack()
{
    bool complete = m_ReadHead == m_Links.size() && m_ReadBackMismatches == 0;
    if (m_ReadHead < m_Links.size()) m_ReadBackMismatches += static_cast<int>(m_Links.size() - m_ReadHead);
    m_Links.clear();
    m_ReadHead = 0;
    return complete;
}

void CMatrix::StampOther(double g, double i0, uint16_t a, uint16_t b, uint16_t c, uint16_t d,
                         CSolverTerminal* first, CSolverTerminal* second)
{
    if (m_Phase != kStamp && m_Phase != kBranchReadBack) return;
    if (a >= m_Size || b >= m_Size || c >= m_Size || d >= m_Size || !Finite(g) || !Finite(i0)) {
        m_InputFault = true;
        return;
    }
    if (m_Phase == kBranchReadBack) {
        double current = (m_Solution[a] - m_Solution[b]) * g + i0;
        if (first) first->AddCurrent(current);
        if (second) second->AddCurrent(-current);
        m_Rhs[c] += current;
        m_Rhs[d] -= current;
        return;
    }
    StampMatrix(g, i0, a, b, c, d);
}

void CMatrix::Clear()
{
    m_Lu.ClearValues();
    std::fill(m_Rhs.begin(), m_Rhs.end(), 0.0);
}

bool CMatrix::Fail(Fault fault)
{
    m_Fault = fault;
    std::fill(m_Solution.begin(), m_Solution.end(), 0.0);
    return false;
}

void CMatrix::FillMergedValues()
{
    for (uint16_t i = 1; i < m_Size; ++i)
        if (m_Depth[i]) m_Solution[i] = m_Solution[m_Root[i]] * m_Ratio[i] + m_Offset[i];
}

bool CMatrix::Solve()
{
    if (m_Phase != kStamp) return Fail(Fault::kWrongPhase);
    if (m_Fault == Fault::kMergeDiverged) return Fail(m_Fault);
    if (m_InputFault) return Fail(Fault::kBadInput);
    m_Fault = Fault::kNone;
    if (m_Size == 0) return true;
    if (!m_Lu.Solve(m_Rhs.data(), m_Solution.data())) return Fail(Fault::kNotFinite);
    m_Solution[0] = 0.0;
    FillMergedValues();
    for (uint16_t i = 1; i < m_Size; ++i)
        if (!Finite(m_Solution[i])) return Fail(Fault::kNotFinite);
    return true;
}

// The plain dense elimination over the unmerged nodes, on a copy of the
// coefficients laid out column after column (element j * N + k holds
// coefficient(k, j)).
bool CMatrix::SolveReference()
{
    if (m_Phase != kStamp) return Fail(Fault::kWrongPhase);
    if (m_Fault == Fault::kMergeDiverged) return Fail(m_Fault);
    if (m_InputFault) return Fail(Fault::kBadInput);
    m_Fault = Fault::kNone;
    const size_t n = m_Size;
    if (n == 0) return true;
    std::vector<double> a;
    m_Lu.ExportDense(a, m_Size);
    std::vector<double> rhs(m_Rhs);
    std::vector<char> free(n, 0);
    for (size_t i = 1; i < n; ++i) free[i] = m_Depth[i] == 0;

    for (size_t p = 1; p < n; ++p) {
        if (!free[p]) continue;
        if (a[p * n + p] == 0.0) a[p * n + p] = 1e-18;
        const double pivot = a[p * n + p];
        const double r = rhs[p] / pivot;
        if (!Finite(pivot) || !Finite(r)) return Fail(Fault::kNotFinite);
        for (size_t k = p + 1; k < n; ++k)
            if (free[k]) rhs[k] -= (rhs[p] / pivot) * a[p * n + k];
        for (size_t q = p + 1; q < n; ++q) {
            if (!free[q]) continue;
            const double factor = a[q * n + p] / pivot;
            if (!Finite(factor)) return Fail(Fault::kNotFinite);
            if (factor == 0.0) continue;
            for (size_t k = p + 1; k < n; ++k)
                if (free[k]) a[q * n + k] -= factor * a[p * n + k];
        }
    }
    for (size_t p = n - 1; p >= 1; --p) {
        if (!free[p]) continue;
        const double v = -(rhs[p] / a[p * n + p]);
        if (!Finite(v)) return Fail(Fault::kNotFinite);
        m_Solution[p] = v;
        for (size_t q = 1; q < p; ++q)
            if (free[q]) rhs[q] += v * a[p * n + q];
    }
    m_Solution[0] = 0.0;
    FillMergedValues();
    for (uint16_t i = 1; i < m_Size; ++i)
        if (!Finite(m_Solution[i])) return Fail(Fault::kNotFinite);
    return true;
}

double CMatrix::GetCoefficient(uint16_t k, uint16_t j) { return m_Lu.Get(k, j); }

void CMatrix::BeginBranchReadBack()
{
    Clear();
    m_Phase = kBranchReadBack;
}

void CMatrix::BeginLinkReadBack()
{
    FoldLinkCurrents();
    m_ReadHead = 0;
    m_Phase = kLinkReadBack;
}

size_t CMatrix::GetMemoryBytes() const
{
    auto bytes = [](const auto& v) { return v.capacity() * sizeof(v[0]); };
    return bytes(m_Links) + bytes(m_ParentLink) + bytes(m_Depth) + bytes(m_Offset) + bytes(m_Ratio) + bytes(m_Root) +
           bytes(m_Rhs) + bytes(m_Solution) + bytes(m_AdjStart) + bytes(m_Adj) + bytes(m_Fill) + bytes(m_DepthStart) + bytes(m_ByDepth) + bytes(m_Active) +
           m_Lu.MemoryBytes();
}
