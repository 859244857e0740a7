// One part's record written and read as a design file holds it, and the
// check that every cut of a record fails cleanly.
#pragma once

#include "model/parts/part.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace records {

using Bytes = std::vector<uint8_t>;

inline Bytes WriteOne(CObject* part, WORD version = kCurrentVersion)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

// The part read back, or none when it is not a T; the whole record is read.
template <class T>
std::unique_ptr<T> ReadOne(const Bytes& data, WORD version = kCurrentVersion)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    std::unique_ptr<T> out(dynamic_cast<T*>(p.get()));
    if (out) p.release();
    return out;
}

// Every step-th cut of the record throws the archive's exception and leaks
// nothing.
inline void ExpectTruncationsThrow(const Bytes& bytes, size_t step = 3)
{
    for (size_t cut = 1; cut < bytes.size(); cut += step) {
        Bytes part(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() - cut));
        CArchive ar(part);
        ar.SetVersion(kCurrentVersion);
        EXPECT_THROW(std::unique_ptr<CObject>(ar.ReadNewObject(RUNTIME_CLASS(CPart))), CException) << cut;
    }
}

}  // namespace records
