// The part-tree round trip of the tree targets.  A tree that reads is
// written back; what was written must read, and read and write again to the
// same bytes.  A failure there aborts, which is what the fuzzer looks for.
#pragma once

#include "platform/archive.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace treefuzz {

template <class Design>
bool ReadTree(const uint8_t* data, size_t size, WORD version, Design& d)
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

template <class Design>
std::vector<uint8_t> WriteTree(Design& d, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    d.SerializeTree(ar);
    return ar.GetBuffer();
}

template <class Design>
void CheckWritesBackSteadily(Design& first, WORD version)
{
    const std::vector<uint8_t> w1 = WriteTree(first, version);
    Design second;
    if (!ReadTree(w1.data(), w1.size(), version, second)) std::abort();
    const std::vector<uint8_t> w2 = WriteTree(second, version);
    Design third;
    if (!ReadTree(w2.data(), w2.size(), version, third)) std::abort();
    if (WriteTree(third, version) != w2) std::abort();
}

} // namespace treefuzz
