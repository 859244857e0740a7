// One component written alone into an archive and read back as a new object,
// for the record tests of every part family.
#pragma once

#include "model/components/component.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes WriteOne(CObject* part, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

// Reads one component; the whole record must be consumed.
inline std::unique_ptr<CComponent> ReadOne(const Bytes& data, WORD version)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CComponent> p(dynamic_cast<CComponent*>(ar.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    return p;
}
