// A design holding one part of every component class of the program, as
// fuzz seeds of the design and part-tree targets (so the fuzzers start
// inside every record): run
//   test_components --gtest_also_run_disabled_tests --gtest_filter='AllClassesCorpus*'
// and commit tests/fuzz/corpus/{design,parttree}/all_classes.  The enabled
// test reads the committed seeds back: each must load with the classes it
// was written with (a class built since is missing until the seeds are
// written again).  The sign's message box is this test's stand-in class,
// unknown to the fuzz targets: there it loads as a placeholder inside the
// sign, so the seeds also start in that path.
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/parts/part_records.h"
#include "part_by_name.h"

#include <gtest/gtest.h>

#include <QFile>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

std::string Corpus(const char* target) { return std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/" + target + "/all_classes"; }

// The classes with a second picture set, which are also seeded in that look
// (its records carry the look flags of the part and of its control).
const char* const kAlternateLooks[] = {"CSPST",  "CSPDT", "CPushMake", "CBuzzer", "CResistor",
                                       "CVResistor", "CFuse", "CLED",      "CFilament"};

// Every creatable component class, on a grid, built as the Add menu builds it.
void Fill(CCircuit& d)
{
    std::set<std::string> names;
    for (const CRuntimeClass* rc : CRuntimeClass::AllClasses())
        if (rc->IsDerivedFrom("CComponent") && !rc->IsNamed("CComponent") && !rc->IsNamed("CMechComp"))
            names.insert(rc->m_lpszClassName);
    int i = 0;
    for (const std::string& name : names) {
        if (AddPartByName(d, name.c_str(), 80 + 120 * (i % 8), 80 + 120 * (i / 8))) ++i;
    }
    for (const char* name : kAlternateLooks)
        if (names.count(name) && AddPartByName(d, name, 80 + 120 * (i % 8), 80 + 120 * (i / 8), true)) ++i;
}

std::set<std::string> ClassesIn(CPartTree* root)
{
    std::set<std::string> out;
    CPartIterator it(root, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (dynamic_cast<CComponent*>(p)) out.insert(p->GetRuntimeClass()->m_lpszClassName);
    return out;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
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
    CCircuit d;
    Fill(d);
    d.ResetRun(0);
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(&d);
    WriteFile(Corpus("design"), ar.GetBuffer());
    WriteFile(Corpus("parttree"), TreeSeed(d));
}

TEST(AllClassesCorpus, SeedsLoadWithTheirClasses)
{
    const std::vector<uint8_t> bytes = ReadFile(Corpus("design"));
    ASSERT_FALSE(bytes.empty()) << "write the seeds (see the top of this file)";
    CArchive ar(bytes);
    ar.SetVersion(kCurrentVersion);
    std::unique_ptr<CObject> o(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
    auto* design = dynamic_cast<CCircuit*>(o.get());
    ASSERT_NE(design, nullptr);
    design->AfterLoad(design, 0, ar.GetVersion());
    // The seed was written with every class then built; all of them are
    // still read (at least the passives, supplies, semiconductors and chips).
    const std::set<std::string> classes = ClassesIn(design);
    for (const char* name : {"CResistor", "CBattery", "CDiode", "CNPN", "C741", "C555", "CNAND"})
        EXPECT_TRUE(classes.count(name)) << name;
    // The parts seeded in their other look read back in it, with pins.
    std::set<std::string> alternate;
    CPartIterator it(design, 0);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent())
        if (auto* c = dynamic_cast<CComponent*>(p); c && c->HasAlternateLook() && c->GetTerminalCount() > 0)
            alternate.insert(c->GetRuntimeClass()->m_lpszClassName);
    for (const char* name : kAlternateLooks) EXPECT_TRUE(alternate.count(name)) << name << " in its other look";
    CCircuit fresh;
    Fill(fresh);
    const std::set<std::string> now = ClassesIn(&fresh);
    for (const std::string& c : classes) EXPECT_TRUE(now.count(c)) << c << " is in the seed but no longer built";
}

namespace {

std::vector<uint8_t> SaveDesign(CCircuit& d)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    ar.WriteObject(&d);
    return ar.GetBuffer();
}

std::unique_ptr<CCircuit> LoadDesign(const std::vector<uint8_t>& bytes)
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

} // namespace

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
