// A seed of the flowchart part-tree fuzz target with the variable and
// output elements: a counting loop that sets the outputs and turns a motor,
// run on a chip and saved mid-run.  Write it with
//   test_flowchart --gtest_also_run_disabled_tests --gtest_filter='FlowVarsCorpus*'
// and commit tests/fuzz/corpus/flowtree/flowchart_variables.  The enabled
// test reads the committed seed back with its elements.
#include "flow_vars_support.h"
#include "flowchart/flow_checkvar.h"
#include "flowchart/flow_increment.h"
#include "flowchart/flow_motor.h"
#include "flowchart/flow_output.h"
#include "flowchart/flow_variable.h"
#include "model/parts/part_records.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string SeedPath() { return std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/flowtree/flowchart_variables"; }

} // namespace

TEST(FlowVarsCorpus, DISABLED_WriteFuzzSeed)
{
    ChipFlowBench b;
    b.AddChip(700, 40, 4, 0, 0, 4);
    auto* start = b.AddFlow<CFlowStart>(100, 40);
    auto* assign = b.AddFlow<CFlowVariable>(100, 120);
    auto* add = b.AddFlow<CFlowIncrement>(100, 200);
    auto* out = b.AddFlow<CFlowOutput>(100, 280);
    auto* motor = b.AddFlow<CFlowMotor>(100, 360);
    auto* test = b.AddFlow<CFlowCheckVar>(80, 440);
    auto* stop = b.AddFlow<CFlowStop>(100, 560);
    b.Chain({start, assign, add, out, motor, test});
    b.Join(test->GetTerminal(1), stop->GetTerminal(0));
    b.Join(test->GetTerminal(2), add->GetTerminal(0));
    assign->OnPropertyCommand(36059, "1");
    assign->OnPropertyCommand(36065, " * ");
    assign->OnPropertyCommand(36081, "3");
    out->OnPropertyCommand(36053, "Outputs = ");
    out->OnPropertyCommand(36065, "x");
    motor->OnPropertyCommand(36065, "Backwards");
    test->OnPropertyCommand(36059, " >= ");
    test->OnPropertyCommand(36065, "9");
    b.RunToStop(start, stop, 30);
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    b.d.SerializeTree(ar);
    std::vector<uint8_t> bytes{static_cast<uint8_t>(kCurrentVersion & 0xFF), static_cast<uint8_t>(kCurrentVersion >> 8)};
    bytes.insert(bytes.end(), ar.GetBuffer().begin(), ar.GetBuffer().end());
    std::filesystem::create_directories(std::filesystem::path(SeedPath()).parent_path());
    std::ofstream f(SeedPath(), std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(FlowVarsCorpus, SeedLoadsWithItsElements)
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
    EXPECT_EQ(d.CollectChips().size(), 1u);
    EXPECT_EQ(d.CollectFlowObjects().size(), 7u);
    int outputs = 0, motors = 0;
    for (CPart* p : d.CollectFlowObjects()) {
        if (auto* o = dynamic_cast<CFlowOutput*>(p)) {
            ++outputs;
            EXPECT_EQ(o->m_nMode, 2);
        }
        if (auto* m = dynamic_cast<CFlowMotor*>(p)) {
            ++motors;
            EXPECT_EQ(m->m_nDirection, 2);
        }
    }
    EXPECT_EQ(outputs, 1);
    EXPECT_EQ(motors, 1);
}
