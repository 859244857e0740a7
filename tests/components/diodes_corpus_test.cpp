// Part trees of diodes, LEDs and meters as fuzz seeds: run
//   test_components --gtest_also_run_disabled_tests --gtest_filter='*DiodesCorpus*'
// and commit the part-tree fuzz corpus.  The enabled test reads the seeds
// back, so a change of the records shows here first.
#include "components/ammeter.h"
#include "components/diode.h"
#include "components/led.h"
#include "components/voltmeter.h"
#include "model/parts/part_records.h"
#include "model/parts/parttree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

class CSeedDesign : public CPartTree {};

template <class T>
void Add(CSeedDesign& d, int x, int y, int orientation, WORD state)
{
    auto* p = new T;
    p->m_rect.SetRect(x, y, x, y);
    p->InitVariant(p->GetRuntimeClass());
    p->m_nOrientation = orientation;
    p->Initialise();
    p->m_wStateWord = state;
    d.AddChild(p);
}

std::vector<uint8_t> Seed(WORD version, void (*fill)(CSeedDesign&))
{
    CSeedDesign d;
    d.CreateMissingGroups();
    fill(d);
    CArchive ar;
    ar.SetVersion(version);
    d.SerializeTree(ar);
    const auto& b = ar.GetBuffer();
    std::vector<uint8_t> out;
    out.reserve(2 + b.size());
    out.push_back(static_cast<uint8_t>(version & 0xFF));
    out.push_back(static_cast<uint8_t>(version >> 8));
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

struct SeedCase {
    const char* name;
    void (*fill)(CSeedDesign&);
};

const SeedCase kSeeds[] = {
    {"diodes", [](CSeedDesign& d) {
         Add<CDiode>(d, 10, 10, 1, 0);
         Add<CDiode>(d, 60, 10, 2, 0);
     }},
    {"leds", [](CSeedDesign& d) {
         Add<CLED>(d, 10, 10, 7, 3);
         Add<CLED_G>(d, 60, 10, 0, 10);
         Add<CLED_Y>(d, 110, 10, 1, 0);
     }},
    {"meters", [](CSeedDesign& d) {
         Add<CAmmeter>(d, 10, 10, 3, 1);
         Add<CVoltmeter>(d, 60, 10, 6, 2);
     }},
};

std::string CorpusDir() { return std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/parttree"; }

} // namespace

TEST(DiodesCorpus, DISABLED_WriteFuzzSeeds)
{
    std::filesystem::create_directories(CorpusDir());
    for (const SeedCase& s : kSeeds) {
        const std::vector<uint8_t> b = Seed(kCurrentVersion, s.fill);
        std::ofstream out(CorpusDir() + "/diodes_seed_" + s.name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    }
}

TEST(DiodesCorpus, SeedsAreTheRecordsOfToday)
{
    for (const SeedCase& s : kSeeds) {
        std::ifstream in(CorpusDir() + "/diodes_seed_" + s.name, std::ios::binary);
        ASSERT_TRUE(in) << s.name;
        const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(file, Seed(kCurrentVersion, s.fill)) << s.name;
    }
}
