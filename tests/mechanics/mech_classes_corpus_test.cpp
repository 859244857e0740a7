// One small design per mechanism class, as fuzz seeds of the design target
// (which links the mechanism library), so the fuzzer starts inside every
// mechanism record: run
//   test_mechanics --gtest_also_run_disabled_tests --gtest_filter='MechClassesCorpus*'
// and commit tests/fuzz/corpus/design/class_*.  The enabled test reads the
// committed seeds back: each must load with the class it was written with.
#include "model/circuit/circuit.h"
#include "model/parts/part_records.h"
#include "tests/components/corpus_files.h"
#include "tests/components/part_by_name.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

std::set<std::string> MechanismClasses()
{
    std::set<std::string> names;
    for (const CRuntimeClass* rc : CRuntimeClass::AllClasses())
        // The stand-in parts of these tests are not the program's.
        if (rc->IsDerivedFrom("CMechComp") && !rc->IsNamed("CMechComp") &&
            std::string(rc->m_lpszClassName).rfind("CTest", 0) != 0)
            names.insert(rc->m_lpszClassName);
    return names;
}

} // namespace

TEST(MechClassesCorpus, DISABLED_WriteFuzzSeeds)
{
    for (const std::string& cls : MechanismClasses()) {
        CCircuit d;
        if (!AddPartByName(d, cls.c_str(), 80, 80)) continue;
        d.ResetRun(0);
        CArchive ar;
        ar.SetVersion(kCurrentVersion);
        ar.WriteObject(&d);
        WriteCorpusFile(CorpusDir("design") + "/class_" + cls, ar.GetBuffer());
    }
}

TEST(MechClassesCorpus, SeedsLoadWithTheirClasses)
{
    int seeds = 0;
    for (const std::string& cls : MechanismClasses()) {
        // The part as built today (a variant class builds its base class).
        CCircuit fresh;
        const CComponent* built = AddPartByName(fresh, cls.c_str(), 80, 80);
        if (!built) continue;
        const char* builtClass = built->GetRuntimeClass()->m_lpszClassName;
        const std::vector<uint8_t> bytes = ReadCorpusFile(CorpusDir("design") + "/class_" + cls);
        if (bytes.empty()) continue;  // a class built since the seeds were written
        ++seeds;
        CArchive ar(bytes);
        ar.SetVersion(kCurrentVersion);
        std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
        auto* design = dynamic_cast<CCircuit*>(o.get());
        ASSERT_NE(design, nullptr) << cls;
        design->AfterLoad(design, 0, ar.GetVersion());
        bool found = false;
        CPartIterator it(design, 0);
        for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
            if (p->GetRuntimeClass()->IsNamed(builtClass)) found = true;
        EXPECT_TRUE(found) << cls;
    }
    // The gear pair, the motor, the mass and the trolleys at least.
    EXPECT_GE(seeds, 4) << "write the seeds (see the top of this file)";
}
