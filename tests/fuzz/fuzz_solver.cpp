// fuzz-links: wb_model
// Arbitrary networks of links and stamps (bad values and nodes included):
// the solver never hangs or crashes, a successful solve is finite and equal
// bit for bit to the dense reference, and the link read-back always matches.
#include "model/solver/matrix.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const double kValues[16] = {0.0, 1.0, -1.0, 2.0, 0.5, -0.5, 3.0, 1e-12, 1e-3, 1e3, 1e12, 1e300, 1e-300, NAN, INFINITY, 1.0 / 3.0};

struct Op {
    uint8_t kind, n1, n2, n3, n4, v1, v2;
};

void Declare(CMatrix& m, const std::vector<Op>& ops, std::vector<CNodeTerminal>& t)
{
    size_t ti = 0;
    for (const Op& op : ops) {
        CNodeTerminal* a = &t[ti++];
        CNodeTerminal* b = &t[ti++];
        CNodeTerminal* c = &t[ti++];
        CNodeTerminal* d = &t[ti++];
        const double x = kValues[op.v1 % 16], y = kValues[op.v2 % 16];
        switch (op.kind % 7) {
        case 0: m.AddLink(a, b); break;
        case 1: m.AddVoltageSource(x, a, b); break;
        case 2: m.AddRatioLink(x, a, b); break;
        case 3: m.AddIdealLink(x, y, a, b); break;
        case 4: m.StampConductance(x, a, b); break;
        case 5: m.StampTransfer(x, y, a, b, c, d); break;
        default: m.StampTransferToNodes(x, y, a, b, op.n3, op.n4); break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint16_t n = static_cast<uint16_t>(1 + data[0] % 40);
    std::vector<Op> ops;
    for (size_t i = 1; i + 7 <= size && ops.size() < 400; i += 7)
        ops.push_back({data[i], data[i + 1], data[i + 2], data[i + 3], data[i + 4], data[i + 5], data[i + 6]});
    std::vector<CNodeTerminal> terms;
    for (const Op& op : ops) {
        // Node numbers up to n + 2, so a few are out of range.
        for (uint8_t node : {op.n1, op.n2, op.n3, op.n4})
            terms.emplace_back(static_cast<uint16_t>(node % (n + 3)));
    }
    CMatrix m;
    if (!m.Resize(n)) return 0;
    Declare(m, ops, terms);
    m.MergeLinks();
    m.Clear();
    Declare(m, ops, terms);
    const bool refOk = m.SolveReference();
    std::vector<double> reference(m.GetSolution(), m.GetSolution() + n);
    m.Clear();
    Declare(m, ops, terms);
    const bool ok = m.Solve();
    if (ok != refOk) abort();
    if (!ok) return 0;
    for (uint16_t i = 0; i < n; ++i)
        if (!std::isfinite(m.GetValue(i))) abort();
    if (std::memcmp(reference.data(), m.GetSolution(), n * sizeof(double)) != 0) abort();
    m.BeginBranchReadBack();
    Declare(m, ops, terms);
    m.BeginLinkReadBack();
    Declare(m, ops, terms);
    if (!m.EndLinkReadBack()) abort();
    return 0;
}
