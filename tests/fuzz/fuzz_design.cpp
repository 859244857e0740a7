// fuzz-links: wb_mechanics wb_measure
// Reads arbitrary bytes as a design file with the whole component library
// linked, as File/Open does: the archive and the after-load fix-ups.  A
// design that reads is saved (that must read again and save to the same
// bytes), then reset and run for a few simulation passes, drawn into an
// image and saved again: those bytes must load too.
#include "model/circuit/circuit.h"
#include "model/circuit/circuit_render.h"
#include "model/designfile/design_file.h"
#include "model/parts/part_records.h"
#include "platform/messagebox.h"

#include "tests/fuzz/gui_app.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// fontconfig keeps its font cache to the end of the process by design.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

std::unique_ptr<CCircuit> Read(const uint8_t* data, size_t size)
{
    CArchive ar(data, size);
    ar.SetVersion(kCurrentVersion);
    try {
        std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
        auto* design = dynamic_cast<CCircuit*>(o.get());
        if (!design) return nullptr;
        o.release();
        std::unique_ptr<CCircuit> owned(design);
        owned->AfterLoad(owned.get(), 0, ar.GetVersion());
        return owned;
    } catch (const CException&) {
        ReportDesignLoadFailure(ar);
        return nullptr;
    }
}

std::vector<uint8_t> Write(CCircuit* design)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(design);
    return ar.GetBuffer();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzgui::EnsureApplication("fuzz_design");
    auto first = Read(data, size);
    if (!first) return 0;
    const std::vector<uint8_t> w1 = Write(first.get());
    auto second = Read(w1.data(), w1.size());
    if (!second) std::abort();
    if (Write(second.get()) != w1) std::abort();

    // A few passes, as a running canvas would make them.  The cap on the
    // models' re-solves within a pass is low: a design whose models hand the
    // step back and forth reaches it either way, and each re-solve is a
    // whole elimination (a design of every class made 80 of them per input,
    // two thirds of the time of a run, with a cap of 50).
    first->ResetRun(0);
    first->SetResolveCap(6);
    for (int i = 0; i < 3; ++i) first->RunSolverPass();
    // The drawing covers the parts' top left, at most 320 x 240 pixels.
    CDesignRenderOptions options;
    const CRect extent = DesignExtent(*first);
    options.area.SetRect(extent.left, extent.top, extent.left + std::clamp(extent.Width(), 1, 320),
                         extent.top + std::clamp(extent.Height(), 1, 240));
    (void)RenderDesign(*first, options);
    const std::vector<uint8_t> w3 = Write(first.get());
    if (!Read(w3.data(), w3.size())) std::abort();
    return 0;
}
