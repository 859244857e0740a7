// fuzz-links: wb_flowchart
// Reads arbitrary bytes as a design's part tree with the flowchart library
// present: the element record, its meter message and the panel buttons.
// The first two bytes are the version word.  The element classes of the
// flowchart tests stand in for the element kinds (same names, so the seeds
// that the tests write load here).  A tree that reads is run for a few
// passes, written back, and must then read and write to the same bytes.
#include "model/circuit/circuit.h"
#include "tests/flowchart/flow_support.h"

#include "tests/fuzz/gui_app.h"
#include "tests/fuzz/tree_roundtrip.h"

#include <cstdint>

WB_IMPLEMENT_SERIAL(CTestFlowStep, "CFlowObject", 2)
WB_IMPLEMENT_SERIAL(CTestFlowHead, "CFlowObject", 2)

// fontconfig keeps its font cache to the end of the process by design.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    // Display boxes measure their text when a run starts.
    fuzzgui::EnsureApplication("fuzz_flowtree");
    const WORD version = static_cast<WORD>(data[0] | (data[1] << 8));
    CCircuit first;
    if (!treefuzz::ReadTree(data + 2, size - 2, version, first)) return 0;
    first.ResetRun(0);
    for (int pass = 0; pass < 3; ++pass) first.RunSolverPass();

    treefuzz::CheckWritesBackSteadily(first, version);
    return 0;
}
