// Seeds of the flowchart part-tree fuzz target (tests/fuzz/fuzz_flowtree.cpp):
// a small flowchart saved idle and mid-run, and the panel controls.  Write
// them with
//   test_flowchart --gtest_also_run_disabled_tests --gtest_filter='FlowCorpus*'
// and commit tests/fuzz/corpus/flowtree/.  The enabled test reads the
// committed seeds back with their elements.
#include "flow_support.h"
#include "flowchart/meter_message.h"
#include "flowchart/panel_buttons.h"
#include "model/parts/part_records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string CorpusDir() { return std::string(WB_SOURCE_DIR) + "/tests/fuzz/corpus/flowtree"; }

std::vector<uint8_t> TreeSeed(CCircuit& d)
{
    CArchive ar;
    ar.SetVersion(kCurrentVersion);
    d.SerializeTree(ar);
    std::vector<uint8_t> out{static_cast<uint8_t>(kCurrentVersion & 0xFF), static_cast<uint8_t>(kCurrentVersion >> 8)};
    out.insert(out.end(), ar.GetBuffer().begin(), ar.GetBuffer().end());
    return out;
}

// A head, three steps in a chain and a loop back to the second; the head
// carries the four panel buttons.
void BuildFlowchart(FlowBench& b)
{
    auto* head = b.Add<CTestFlowHead>(100, 40);
    CTerminal* out = head->GetOutputTerminal();
    std::vector<CTestFlowStep*> steps;
    for (int i = 0; i < 3; ++i) {
        auto* s = b.Add<CTestFlowStep>(100, 120 + 80 * i);
        b.Join(out, s->GetTerminal(0));
        out = s->GetOutputTerminal();
        s->m_pFlowStart = head;
        steps.push_back(s);
    }
    head->AddChild(new CFlowStartButton(3, head));
    head->AddChild(new CFlowRecordButton(3, head));
    head->AddChild(new CFlowSubmitButton(1, head));
    head->AddChild(new CFlowMoreArrow(1, head));
}

const char* const kSeeds[] = {"flowchart_idle", "flowchart_running"};

} // namespace

TEST(FlowCorpus, DISABLED_WriteFuzzSeeds)
{
    std::filesystem::create_directories(CorpusDir());
    for (int running = 0; running < 2; ++running) {
        FlowBench b;
        BuildFlowchart(b);
        b.Reset();
        if (running) {
            for (CPart* p : b.d.CollectFlowObjects())
                if (auto* h = dynamic_cast<CTestFlowHead*>(p)) h->Fire();
            b.Run(3);
        }
        const std::vector<uint8_t> bytes = TreeSeed(b.d);
        std::ofstream f(CorpusDir() + "/" + kSeeds[running], std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
}

TEST(FlowCorpus, SeedsLoadWithTheirElements)
{
    for (const char* name : kSeeds) {
        std::ifstream f(CorpusDir() + "/" + name, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
        ASSERT_GT(bytes.size(), 2u) << name << ": write the seeds (see the top of this file)";
        CCircuit d;
        CArchive ar(bytes.data() + 2, bytes.size() - 2);
        ar.SetVersion(static_cast<WORD>(bytes[0] | (bytes[1] << 8)));
        d.SerializeTree(ar);
        d.AfterLoad(&d, 0, ar.GetVersion());
        EXPECT_EQ(d.CollectFlowObjects().size(), 4u) << name;
    }
}
