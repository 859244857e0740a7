// fuzz-links: wb_model
// Reads arbitrary bytes as a design file: the design object with its version
// marker, product words, part tree, links and settings.  A design that reads
// is written back; that must read again and write the same bytes.
#include "model/designfile/design_file.h"
#include "model/parts/parttree.h"
#include "platform/messagebox.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Stands in for the design root where the program links none (a weak
// record: the real design class replaces it).
class CFuzzCircuit : public CPartTree {
public:
    static const CRuntimeClass classCircuit;
    static CObject* Create() { return new CFuzzCircuit; }
    const CRuntimeClass* GetRuntimeClass() const override { return &classCircuit; }
    void Serialize(CArchive& ar) override { SerializeDesignLayout(ar, *this, data, range); }
    CDesignFileData data;
    CQuestionRange range{this};
};

const CRuntimeClass CFuzzCircuit::classCircuit = {"CCircuit", sizeof(CFuzzCircuit), 2, &CFuzzCircuit::Create,
                                                  "CPart"};
const bool s_registered = RegisterRuntimeClass(&CFuzzCircuit::classCircuit, true);

std::unique_ptr<CObject> Read(const uint8_t* data, size_t size)
{
    CArchive ar(data, size);
    ar.SetVersion(0x20B8);
    try {
        return std::unique_ptr<CObject>(ar.ReadNewObject(CRuntimeClass::FromName("CCircuit")));
    } catch (const CException&) {
        ReportDesignLoadFailure(ar);
        return nullptr;
    }
}

std::vector<uint8_t> Write(CObject* design)
{
    CArchive ar;
    ar.WriteObject(design);
    return ar.GetBuffer();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)s_registered;
    auto first = Read(data, size);
    if (!first) return 0;
    const std::vector<uint8_t> w1 = Write(first.get());
    auto second = Read(w1.data(), w1.size());
    if (!second) std::abort();
    const std::vector<uint8_t> w2 = Write(second.get());
    auto third = Read(w2.data(), w2.size());
    if (!third) std::abort();
    if (Write(third.get()) != w2) std::abort();
    return 0;
}
