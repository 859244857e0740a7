// A seed of the flowchart part-tree fuzz target with the serial elements:
// two chips joined by their serial line, saved ten passes into a transfer.
// Write it with
//   test_flowchart --gtest_also_run_disabled_tests --gtest_filter='FlowSerialCorpus*'
// and commit tests/fuzz/corpus/flowtree/flowchart_serial.  The enabled test
// reads the committed seed back and finishes the transfer.
#include "flow_serial_support.h"
#include "model/parts/part_records.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string SeedPath() { return std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/flowtree/flowchart_serial"; }

} // namespace

TEST(FlowSerialCorpus, DISABLED_WriteFuzzSeed)
{
    SerialRig r;
    r.AddChips();
    r.WireLine();
    r.Sends(true, true, false, 4, true);
    ASSERT_TRUE(r.RunToTransfer(42));
    r.b.Run(10);
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    r.b.d.SerializeTree(ar);
    std::vector<uint8_t> bytes{static_cast<uint8_t>(kCurrentVersion & 0xFF), static_cast<uint8_t>(kCurrentVersion >> 8)};
    bytes.insert(bytes.end(), ar.GetBuffer().begin(), ar.GetBuffer().end());
    std::filesystem::create_directories(std::filesystem::path(SeedPath()).parent_path());
    std::ofstream f(SeedPath(), std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(FlowSerialCorpus, SeedLoadsMidTransfer)
{
    EnsureGuiApp();
    std::ifstream f(SeedPath(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 2u) << "write the seed (see the top of this file)";
    CCircuit d;
    CArchive ar(bytes.data() + 2, bytes.size() - 2);
    ar.SetVersion(static_cast<WORD>(bytes[0] | (bytes[1] << 8)));
    d.SerializeTree(ar);
    d.AfterLoad(&d, 0, ar.GetVersion());
    EXPECT_EQ(d.CollectChips().size(), 2u);
    EXPECT_EQ(d.CollectFlowObjects().size(), 7u);
    CFlowSend* send = nullptr;
    CFlowReceive* receive = nullptr;
    for (CPart* p : d.CollectFlowObjects()) {
        if (auto* s = dynamic_cast<CFlowSend*>(p)) send = s;
        if (auto* rc = dynamic_cast<CFlowReceive*>(p)) receive = rc;
    }
    ASSERT_NE(send, nullptr);
    ASSERT_NE(receive, nullptr);
    // Saved in pass T + 10: 11 of the 60 steps (x, the port, the end).
    EXPECT_EQ(send->m_bSending, 1);
    EXPECT_EQ(send->m_nStepCount, 11);
    EXPECT_EQ(send->m_values[0], 42);
    EXPECT_EQ(send->m_bWhole, 1);
    EXPECT_EQ(receive->m_bWaiting, 1);
    EXPECT_EQ(receive->m_nLineSamples, 1);
}
