// fuzz-links: wb_components
// Reads arbitrary bytes as a design's part tree, with every part class of the
// model and the component library present.  The first two bytes are the
// version word of the archive (family files carry named groups, older ones a
// plain chain), the rest is the tree.  A tree that reads is written back and
// must then read and write to the same bytes again.
#include "model/parts/parttree.h"
#include "tests/fuzz/tree_roundtrip.h"

#include <cstdint>

namespace {

class CFuzzDesign : public CPartTree {};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const WORD version = static_cast<WORD>(data[0] | (data[1] << 8));
    CFuzzDesign first;
    if (!treefuzz::ReadTree(data + 2, size - 2, version, first)) return 0;
    // Walks and searches over whatever was read.
    for (int filter : {0, 1}) {
        CPartIterator it(&first, filter);
        while (CPart* p = it.Next()) p->GetUnionRect();
    }
    first.FindPartAt(CPoint(5, 5), 1, 0, 0);

    treefuzz::CheckWritesBackSteadily(first, version);
    return 0;
}
