// A whole design as the file holds it, at the current version: the bytes it
// saves to, and a design read back from such bytes with its after-load
// fix-ups run (null when the bytes are no design).
#pragma once

#include "model/circuit/circuit.h"
#include "model/parts/part_records.h"

#include <cstdint>
#include <memory>
#include <vector>

inline std::vector<uint8_t> SaveDesign(CCircuit& d)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(&d);
    return ar.GetBuffer();
}

inline std::unique_ptr<CCircuit> LoadDesign(const std::vector<uint8_t>& bytes)
{
    CArchive ar(bytes);
    ar.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
    auto* design = dynamic_cast<CCircuit*>(o.get());
    if (!design) return nullptr;
    o.release();
    std::unique_ptr<CCircuit> owned(design);
    owned->AfterLoad(owned.get(), 0, ar.GetVersion());
    return owned;
}
