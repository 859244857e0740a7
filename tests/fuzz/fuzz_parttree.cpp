// fuzz-links: wb_components
// Reads arbitrary bytes as a design's part tree, with every part class of the
// model and the component library present.  The first two bytes are the
// version word of the archive (family files carry named groups, older ones a
// plain chain), the rest is the tree.  A tree that reads is written back and
// must then read and write to the same bytes again.
#include "model/parts/parttree.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

class CFuzzDesign : public CPartTree {};

bool ReadTree(const uint8_t* data, size_t size, WORD version, CFuzzDesign& d)
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

std::vector<uint8_t> WriteTree(CFuzzDesign& d, WORD version)
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
    CFuzzDesign first;
    if (!ReadTree(data + 2, size - 2, version, first)) return 0;
    // Walks and searches over whatever was read.
    for (int filter : {0, 1}) {
        CPartIterator it(&first, filter);
        while (CPart* p = it.Next()) p->GetUnionRect();
    }
    first.FindPartAt(CPoint(5, 5), 1, 0, 0);

    const std::vector<uint8_t> w1 = WriteTree(first, version);
    CFuzzDesign second;
    if (!ReadTree(w1.data(), w1.size(), version, second)) std::abort();
    const std::vector<uint8_t> w2 = WriteTree(second, version);
    CFuzzDesign third;
    if (!ReadTree(w2.data(), w2.size(), version, third)) std::abort();
    if (WriteTree(third, version) != w2) std::abort();
    return 0;
}
