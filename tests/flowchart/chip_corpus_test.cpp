// A seed of the flowchart part-tree fuzz target with the microcontroller:
// a chip of every pin kind (reset and serial pins included, a transmission
// under way) driving a resistor to earth.  Write it with
//   test_flowchart --gtest_also_run_disabled_tests --gtest_filter='ChipCorpus*'
// and commit tests/fuzz/corpus/flowtree/chip_wired.  The enabled test reads
// the committed seed back.
#include "chip_support.h"

#include "components/earth.h"
#include "components/resistor.h"
#include "model/parts/part_records.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string SeedPath() { return std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/flowtree/chip_wired"; }

} // namespace

TEST(ChipCorpus, DISABLED_WriteFuzzSeed)
{
    ChipBench b;
    CChip* chip = b.AddChip(100, 40, 4, 2, 1, 4);
    chip->m_strClassName = "STAMP";
    chip->OnPropertyCommand(36114, "");
    chip->ApplySettingsText();
    auto* load = b.Add<CResistor>(400, 100);
    auto* earth = b.Add<CEarth>(400, 300);
    b.Wire(chip->GetPortTerminal(chip->GetInputCount()), load->GetTerminal(0));
    b.Wire(load->GetTerminal(1), earth->GetTerminal(0));
    b.Start();
    const int values[6] = {7, -1, 200, -1, -1, 1};
    chip->StartTransmission(values, true);
    chip->SetOutputByName("Output0", 1);
    b.Run(5);
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    b.d.SerializeTree(ar);
    std::vector<uint8_t> bytes{static_cast<uint8_t>(kCurrentVersion & 0xFF), static_cast<uint8_t>(kCurrentVersion >> 8)};
    bytes.insert(bytes.end(), ar.GetBuffer().begin(), ar.GetBuffer().end());
    std::filesystem::create_directories(std::filesystem::path(SeedPath()).parent_path());
    std::ofstream f(SeedPath(), std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ChipCorpus, SeedLoadsWithItsChip)
{
    EnsureTextGuiApp();
    std::ifstream f(SeedPath(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 2u) << "write the seed (see the top of this file)";
    CCircuit d;
    CArchive ar(bytes.data() + 2, bytes.size() - 2);
    ar.SetVersion(static_cast<WORD>(bytes[0] | (bytes[1] << 8)));
    d.SerializeTree(ar);
    d.AfterLoad(&d, 0, ar.GetVersion());
    ASSERT_EQ(d.CollectChips().size(), 1u);
    auto* chip = static_cast<CChip*>(d.CollectChips()[0]);
    EXPECT_EQ(chip->m_bSerial, 1);
    EXPECT_EQ(chip->m_bTransmitting, 1);
    // The STAMP's four inputs, the reset pin and four outputs.
    EXPECT_EQ(chip->GetPortCount(), 9);
    EXPECT_EQ(chip->GetSendPinIndex(), 8);
}
