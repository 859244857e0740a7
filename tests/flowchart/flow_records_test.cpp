// The records of the start, stop, wait and decision: every field
// round-trips, the version-gated tails are read only from files new
// enough, and a flowchart saved in a design runs again after loading.
#include "flow_start_support.h"
#include "flowchart/flow_decision.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_wait.h"
#include "model/parts/part_records.h"
#include "tests/model/design_roundtrip.h"

#include <gtest/gtest.h>

#include <QFile>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WriteOne(CObject* part, WORD version)
{
    CArchive ar;
    ar.SetVersion(version);
    ar.WriteObject(part);
    return ar.GetBuffer();
}

template <class T>
std::unique_ptr<T> ReadOne(const Bytes& data, WORD version)
{
    CArchive ar(data);
    ar.SetVersion(version);
    std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
    EXPECT_EQ(ar.BytesLeft(), 0u);
    std::unique_ptr<T> out(dynamic_cast<T*>(p.get()));
    if (out) p.release();
    return out;
}

// A start without children (so that the record ends with its own fields)
// and every field away from its default.
std::unique_ptr<CFlowStart> FilledStart()
{
    auto s = std::make_unique<CFlowStart>();
    s->m_strName = "Lights";
    s->m_strDisplayName = "Lig..";
    s->AddVariable("count");
    s->SetVariable("count", 7);
    s->AddVariable("x");
    s->m_nCheckResult = 0;
    s->m_nWord2 = 5;
    s->m_nExportWarning = 2003;
    for (int i = 0; i < 8; ++i) s->m_words[i] = i + 1;
    s->m_bPendingRequest = 1;
    s->m_nPendingValue = 9;
    s->m_nInputBoxCount = 2;
    s->m_bHasRecordButton = 0;
    s->m_bReadyToProgram = 0;
    s->m_nAppendedRoutines = 3;
    s->m_strProgramButton = "No";
    return s;
}

TEST(FlowRecords, StartRoundTrip)
{
    auto s = FilledStart();
    const Bytes bytes = WriteOne(s.get(), kCurrentVersion);
    auto back = ReadOne<CFlowStart>(bytes, kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_strName, "Lights");
    EXPECT_EQ(back->m_strDisplayName, "Lig..");
    EXPECT_EQ(back->GetVariableCount(), 2);
    EXPECT_EQ(back->GetVariable("COUNT"), 7);
    EXPECT_TRUE(back->HasVariable("x"));
    EXPECT_EQ(back->m_nWord2, 5);
    EXPECT_EQ(back->m_nExportWarning, 2003u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(back->m_words[i], i + 1);
    EXPECT_EQ(back->m_bPendingRequest, 1);
    EXPECT_EQ(back->m_nPendingValue, 9u);
    EXPECT_EQ(back->m_nInputBoxCount, 2u);
    EXPECT_EQ(back->m_bHasRecordButton, 0);
    EXPECT_EQ(back->m_bReadyToProgram, 0);
    EXPECT_EQ(back->m_nAppendedRoutines, 3);
    EXPECT_EQ(back->m_strProgramButton, "No");
    EXPECT_FALSE(back->m_bFreshName);
    EXPECT_EQ(WriteOne(back.get(), kCurrentVersion), bytes);
}

// The tails: 20 bytes from (0x10B3, 0x20B6), then 4 + "No" (3 bytes) from
// (0x10B3, 0x20B7).
struct StartGate {
    WORD version;
    size_t cut;
    bool hasFirst, hasSecond;
};
class FlowStartGates : public ::testing::TestWithParam<StartGate> {};

TEST_P(FlowStartGates, TailsFollowTheVersion)
{
    const StartGate g = GetParam();
    auto s = FilledStart();
    Bytes bytes = WriteOne(s.get(), g.version);
    bytes.resize(bytes.size() - g.cut);
    auto back = ReadOne<CFlowStart>(bytes, g.version);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_bPendingRequest, g.hasFirst ? 1 : 0);
    EXPECT_EQ(back->m_bHasRecordButton, g.hasFirst ? 0 : 1);
    EXPECT_EQ(back->m_bReadyToProgram, g.hasFirst ? 0 : 1);
    EXPECT_EQ(back->m_nAppendedRoutines, g.hasSecond ? 3 : 0);
    EXPECT_EQ(back->m_strProgramButton, g.hasSecond ? "No" : "Yes");
    EXPECT_EQ(back->m_strName, "Lights");
}

INSTANTIATE_TEST_SUITE_P(Versions, FlowStartGates,
                         ::testing::Values(StartGate{0x20B5, 27, false, false}, StartGate{0x20B6, 7, true, false},
                                           StartGate{0x20B7, 0, true, true}, StartGate{0x10B3, 0, true, true},
                                           StartGate{0x20B8, 0, true, true}));

TEST(FlowRecords, StopAndWaitRoundTrip)
{
    CFlowStop stop;
    stop.m_bStopped = 1;
    auto stopBack = ReadOne<CFlowStop>(WriteOne(&stop, kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(stopBack);
    EXPECT_EQ(stopBack->m_bStopped, 1);
    EXPECT_EQ(stopBack->m_strCaption, "Stop");

    CFlowWait wait;
    wait.m_parameter.SetValue(2.5, kPrefixNone);
    wait.UpdateCaption();
    auto waitBack = ReadOne<CFlowWait>(WriteOne(&wait, kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(waitBack);
    EXPECT_DOUBLE_EQ(waitBack->GetRunTime(), 2.5);
    EXPECT_EQ(waitBack->m_strCaption, " Wait 2.5s");
}

std::unique_ptr<CFlowDecision> FilledDecision()
{
    auto d = std::make_unique<CFlowDecision>();
    d->m_nChosenExit = 1;
    d->m_bTestForOn = 0;
    d->m_strInputChoices = "A\nB";
    d->m_strInputLabel = "B";
    d->m_nPinNumber = 6;
    d->m_bDigital = 0;
    d->m_nOperator = 4;
    d->m_bCompareVariable = 1;
    d->m_strVariable = "level";
    return d;
}

TEST(FlowRecords, DecisionRoundTripAndGate)
{
    auto d = FilledDecision();
    auto back = ReadOne<CFlowDecision>(WriteOne(d.get(), kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nChosenExit, 1);
    EXPECT_EQ(back->m_bTestForOn, 0);
    EXPECT_EQ(back->m_strInputChoices, "A\nB");
    EXPECT_EQ(back->m_strInputLabel, "B");
    EXPECT_EQ(back->m_nPinNumber, 6u);
    EXPECT_EQ(back->m_legacyNames[1], "Input 1");
    EXPECT_EQ(back->m_bDigital, 0);
    EXPECT_EQ(back->m_nOperator, 4u);
    EXPECT_EQ(back->m_bCompareVariable, 1);
    EXPECT_EQ(back->m_strVariable, "level");

    // A file older than (0x10B3, 0x20B1): the base record lacks its last 8
    // bytes (the writer leaves them out at that version) and the decision
    // its comparison (4 + 4 + 4 + "level" 6 bytes).
    const WORD old = 0x20B0;
    Bytes bytes = WriteOne(d.get(), old);
    bytes.resize(bytes.size() - 18);
    auto oldBack = ReadOne<CFlowDecision>(bytes, old);
    ASSERT_TRUE(oldBack);
    EXPECT_EQ(oldBack->m_strInputLabel, "B");
    EXPECT_EQ(oldBack->m_bDigital, 1);
    EXPECT_EQ(oldBack->m_nOperator, 0u);
    EXPECT_EQ(oldBack->m_bCompareVariable, 0);
    EXPECT_EQ(oldBack->m_strVariable, "x");
}

TEST(FlowRecords, MalformedDecisionValuesAreBounded)
{
    auto d = FilledDecision();
    d->m_nChosenExit = 7;
    d->m_nOperator = 99;
    auto back = ReadOne<CFlowDecision>(WriteOne(d.get(), kCurrentVersion), kCurrentVersion);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_nChosenExit, 2);
    EXPECT_EQ(back->m_nOperator, 0u);
}

TEST(FlowRecords, TruncatedStartRecordsThrowAndLeakNothing)
{
    auto s = FilledStart();
    const Bytes bytes = WriteOne(s.get(), kCurrentVersion);
    for (size_t cut = 1; cut < bytes.size(); cut += 13) {
        Bytes part(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() - cut));
        CArchive ar(part);
        ar.SetVersion(kCurrentVersion);
        try {
            std::unique_ptr<CObject> p(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
        } catch (const CException&) {
        }
    }
}

TEST(FlowRecords, AFlowchartInADesignRunsAfterLoading)
{
    GuiBench b;
    auto* start = b.Add<CFlowStart>(100, 40);
    auto* wait = b.Add<CFlowWait>(100, 120);
    auto* stop = b.Add<CFlowStop>(100, 220);
    b.Join(start->GetOutputTerminal(), wait->GetTerminal(0));
    b.Join(wait->GetOutputTerminal(), stop->GetTerminal(0));
    wait->OnPropertyCommand(36053, "0.5");
    start->OnPropertyCommand(36053, "Lights");
    b.Reset();

    auto loaded = LoadDesign(SaveDesign(b.d));
    ASSERT_TRUE(loaded);
    CFlowStart* s = dynamic_cast<CFlowStart*>(loaded->FindFlowStart("Lights"));
    ASSERT_NE(s, nullptr);
    CFlowStop* st = nullptr;
    for (CPart* p : loaded->CollectFlowObjects())
        if (auto* x = dynamic_cast<CFlowStop*>(p)) st = x;
    ASSERT_NE(st, nullptr);
    loaded->ResetRun(0);
    EXPECT_EQ(s->m_nCheckResult, 0);
    loaded->SetUpdateRate(20.0);
    Press(s, *loaded);
    int passes = 0;
    while (!st->m_bStopped && passes < 100) {
        loaded->RunSolverPass();
        ++passes;
    }
    EXPECT_EQ(passes, 15);
}

} // namespace

namespace {

// A small flowchart as a design file under the build folder (the program
// opens it for a look): start -> wait -> decision -> two stops.  The file
// reads back with every element and checks clean.
TEST(FlowRecords, SampleFlowchartDesignFile)
{
    GuiBench b;
    auto* start = b.Add<CFlowStart>(200, 80);
    auto* wait = b.Add<CFlowWait>(200, 160);
    auto* decision = b.Add<CFlowDecision>(180, 250);
    auto* yes = b.Add<CFlowStop>(440, 360);
    auto* no = b.Add<CFlowStop>(200, 400);
    b.Join(start->GetOutputTerminal(), wait->GetTerminal(0));
    b.Join(wait->GetOutputTerminal(), decision->GetTerminal(0));
    b.Join(decision->GetTerminal(1), yes->GetTerminal(0));
    b.Join(decision->GetTerminal(2), no->GetTerminal(0));
    wait->OnPropertyCommand(36053, "0.5");
    b.Reset();
    ASSERT_EQ(start->m_nCheckResult, 0);

    const Bytes bytes = SaveDesign(b.d);
    QFile file(WB_BUILD_DIR "/flowchart_sample.zrn");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    file.close();

    auto loaded = LoadDesign(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->CollectFlowObjects().size(), 5u);
    loaded->ResetRun(0);
    auto* s = dynamic_cast<CFlowStart*>(loaded->FindFlowStart("Flowchart 1"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->m_nCheckResult, 0);
}

} // namespace
