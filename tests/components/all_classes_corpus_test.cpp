// One small design per component class of the program (and one per class
// with a second look, in that look), as fuzz seeds of the design and
// part-tree targets, so the fuzzers start inside every record: run
//   test_components --gtest_also_run_disabled_tests --gtest_filter='AllClassesCorpus*'
// and commit tests/fuzz/corpus/{design,parttree}/class_*.  A seed per class
// rather than one design holding them all: the fuzzers mutate inputs of the
// seeds' sizes, and a run of the 44 KB design of every class took 70 ms
// where a design of one part takes under 1 ms.  The enabled test reads the
// committed seeds back: each must load with the class it was written with
// (a class built since is missing until the seeds are written again).  The
// sign's message box is this test's stand-in class, unknown to the fuzz
// targets: there it loads as a placeholder inside the sign, so the seeds also
// start in that path.
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/parts/part_records.h"
#include "tests/model/design_roundtrip.h"
#include "corpus_files.h"
#include "part_by_name.h"

#include <gtest/gtest.h>

#include <QFile>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

// The classes with a second picture set, which are also seeded in that look
// (its records carry the look flags of the part and of its control).
const char* const kAlternateLooks[] = {"CSPST",  "CSPDT", "CPushMake", "CBuzzer", "CResistor",
                                       "CVResistor", "CFuse", "CLED",      "CFilament"};

// Every creatable component class, by name.
std::set<std::string> ComponentClasses()
{
    std::set<std::string> names;
    for (const CRuntimeClass* rc : CRuntimeClass::AllClasses())
        if (rc->IsDerivedFrom("CComponent") && !rc->IsNamed("CComponent") && !rc->IsNamed("CMechComp"))
            names.insert(rc->m_lpszClassName);
    return names;
}

// The seeds: file name, class and look.
struct Seed {
    std::string file, cls;
    bool alternate;
};

std::vector<Seed> Seeds()
{
    std::vector<Seed> out;
    const std::set<std::string> names = ComponentClasses();
    for (const std::string& name : names) out.push_back({"class_" + name, name, false});
    for (const char* name : kAlternateLooks)
        if (names.count(name)) out.push_back({std::string("class_") + name + "_alternate", name, true});
    return out;
}

std::set<std::string> ClassesIn(CPartTree* root)
{
    std::set<std::string> out;
    CPartIterator it(root, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (dynamic_cast<CComponent*>(p)) out.insert(p->GetRuntimeClass()->m_lpszClassName);
    return out;
}

// The part-tree target's input: the version word, then the tree.
std::vector<uint8_t> TreeSeed(CCircuit& d)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    d.SerializeTree(ar);
    std::vector<uint8_t> out{static_cast<uint8_t>(kCurrentVersion & 0xFF), static_cast<uint8_t>(kCurrentVersion >> 8)};
    out.insert(out.end(), ar.GetBuffer().begin(), ar.GetBuffer().end());
    return out;
}

} // namespace

TEST(AllClassesCorpus, DISABLED_WriteFuzzSeeds)
{
    for (const Seed& seed : Seeds()) {
        CCircuit d;
        if (!AddPartByName(d, seed.cls.c_str(), 80, 80, seed.alternate)) continue;
        d.ResetRun(0);
        CArchive ar;
        ar.SetVersion(kCurrentVersion);
        ar.WriteObject(&d);
        WriteCorpusFile(CorpusDir("design") + "/" + seed.file, ar.GetBuffer());
        WriteCorpusFile(CorpusDir("parttree") + "/" + seed.file, TreeSeed(d));
    }
}

TEST(AllClassesCorpus, SeedsLoadWithTheirClasses)
{
    std::set<std::string> classes, alternate;
    int seeds = 0;
    for (const Seed& seed : Seeds()) {
        const std::vector<uint8_t> bytes = ReadCorpusFile(CorpusDir("design") + "/" + seed.file);
        if (bytes.empty()) continue;  // a class built since the seeds were written
        ++seeds;
        CArchive ar(bytes);
        ar.SetVersion(kCurrentVersion);
        std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
        auto* design = dynamic_cast<CCircuit*>(o.get());
        ASSERT_NE(design, nullptr) << seed.file;
        design->AfterLoad(design, 0, ar.GetVersion());
        // The part as built today (a variant class builds its base class).
        CCircuit fresh;
        const CComponent* built = AddPartByName(fresh, seed.cls.c_str(), 80, 80, seed.alternate);
        ASSERT_TRUE(built) << seed.file;
        const std::set<std::string> in = ClassesIn(design);
        EXPECT_TRUE(in.count(built->GetRuntimeClass()->m_lpszClassName)) << seed.file;
        classes.insert(in.begin(), in.end());
        // A part seeded in its other look reads back in it, with pins.
        if (seed.alternate) {
            CPartIterator it(design, 0);
            for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
                if (auto* c = dynamic_cast<CComponent*>(p); c && c->HasAlternateLook() && c->GetTerminalCount() > 0)
                    alternate.insert(c->GetRuntimeClass()->m_lpszClassName);
        }
    }
    ASSERT_GT(seeds, 0) << "write the seeds (see the top of this file)";
    // At least the passives, supplies, semiconductors and chips are seeded.
    for (const char* name : {"CResistor", "CBattery", "CDiode", "CNPN", "C741", "C555", "CNAND"})
        EXPECT_TRUE(classes.count(name)) << name;
    for (const char* name : kAlternateLooks) EXPECT_TRUE(alternate.count(name)) << name << " in its other look";
    // No seed holds a class that is no longer built.
    const std::set<std::string> now = ComponentClasses();
    for (const std::string& c : classes) EXPECT_TRUE(now.count(c)) << c << " is in a seed but no longer built";
}

TEST(AllClassesCorpus, EveryClassSavesTheSameBytesAfterALoad)
{
    // Open and save, twice: the second save writes what the first wrote.
    for (const CRuntimeClass* rc : CRuntimeClass::AllClasses()) {
        if (!rc->IsDerivedFrom("CComponent") || rc->IsNamed("CComponent") || rc->IsNamed("CMechComp")) continue;
        CCircuit d;
        if (!AddPartByName(d, rc->m_lpszClassName, 100, 100)) continue;
        auto once = LoadDesign(SaveDesign(d));
        ASSERT_TRUE(once) << rc->m_lpszClassName;
        const std::vector<uint8_t> first = SaveDesign(*once);
        auto twice = LoadDesign(first);
        ASSERT_TRUE(twice) << rc->m_lpszClassName;
        EXPECT_EQ(SaveDesign(*twice), first) << rc->m_lpszClassName;
    }
}
