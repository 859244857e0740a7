// fuzz-links: wb_flowchart
// Reads arbitrary bytes as a design's part tree with the flowchart library
// present: the element record, its meter message and the panel buttons.
// The first two bytes are the version word.  The element classes of the
// flowchart tests stand in for the element kinds (same names, so the seeds
// that the tests write load here).  A tree that reads is run for a few
// passes, written back, and must then read and write to the same bytes.
#include "model/circuit/circuit.h"
#include "tests/flowchart/flow_support.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

WB_IMPLEMENT_SERIAL(CTestFlowStep, "CFlowObject", 2)
WB_IMPLEMENT_SERIAL(CTestFlowHead, "CFlowObject", 2)

namespace {

bool ReadTree(const uint8_t* data, size_t size, WORD version, CCircuit& d)
{
    CArchive ar(data, size);
    ar.SetVersion(version);
    try {
        d.SerializeTree(ar);
    } catch (const CException&) {
        return false;
    }
    d.AfterLoad(&d, 0, version);
    return true;
}

std::vector<uint8_t> WriteTree(CCircuit& d, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    d.SerializeTree(ar);
    return ar.GetBuffer();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const WORD version = static_cast<WORD>(data[0] | (data[1] << 8));
    CCircuit first;
    if (!ReadTree(data + 2, size - 2, version, first)) return 0;
    first.ResetRun(0);
    for (int pass = 0; pass < 3; ++pass) first.RunSolverPass();

    const std::vector<uint8_t> w1 = WriteTree(first, version);
    CCircuit second;
    if (!ReadTree(w1.data(), w1.size(), version, second)) std::abort();
    const std::vector<uint8_t> w2 = WriteTree(second, version);
    CCircuit third;
    if (!ReadTree(w2.data(), w2.size(), version, third)) std::abort();
    if (WriteTree(third, version) != w2) std::abort();
    return 0;
}
