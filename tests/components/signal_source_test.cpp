// The signal generator: sine, square and triangle outputs sample by sample
// against their formulas (also above half the update rate), the rate it
// asks of the design, its file record and its property items.
#include "transducers_support.h"

#include "components/vpulse.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/text/sinevalue.h"
#include "model/parts/part_records.h"
#include "platform/archive.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

namespace {

// The waves written out from their definitions: p the phase in cycles.
double Expected(int waveform, double p, double a, double o)
{
    switch (waveform) {
    case 0: return o + a * std::sin(2.0 * std::numbers::pi * p);
    case 1: return p > 0.5 ? o : o + a;
    default: return p <= 0.5 ? o + 2.0 * a * p : o + 2.0 * a * (1.0 - p);
    }
}

struct SourceRig {
    SwitchBench b;
    CVPulse* source;
    CDiodesResistor* load;
    SourceRig(int waveform, double hertz, double rate)
    {
        source = b.Add<CVPulse>(400, 400);
        source->SetWaveform(waveform);
        load = AddTestPart<CDiodesResistor>(b.d, 100, 100);
        load->ohms = 1000.0;
        Join(b.d, source->GetTerminal(0), load->A());
        Join(b.d, load->B(), source->GetTerminal(1));
        source->GetSineLabel()->SetNumber(hertz, 4);
        b.d.ResetRun(0);
        b.d.SetUpdateRate(rate);
    }
};

TEST(SignalSource, OutputsFollowTheirFormulasSampleBySample)
{
    struct Case {
        int waveform;
        double hertz;
        double rate;
    };
    // 500 Hz at 10000 updates: 0.05 cycle a step.  Rates that do not
    // divide the frequency exercise the wrap of the phase.
    for (Case c : {Case{0, 500.0, 10000.0}, Case{1, 500.0, 10000.0}, Case{2, 500.0, 10000.0}, Case{0, 3.0, 7.0},
                   Case{1, 130.0, 999.0}, Case{2, 1.7, 5.0}}) {
        SourceRig r(c.waveform, c.hertz, c.rate);
        const double step = c.hertz / c.rate;
        double p = 0.0;
        r.b.Run(1);
        for (int n = 1; n <= 60; ++n) {
            // The output of a step is the one its predecessor computed.
            p = std::fmod(p + step, 1.0);
            r.b.Run(1);
            const double v = VoltsAcross(r.source);
            EXPECT_NEAR(v, Expected(c.waveform, p, 5.0, 0.0), 1e-9) << c.waveform << " " << c.hertz << " " << n;
            EXPECT_NEAR(r.load->A()->GetCurrent(), v / 1000.0, 1e-12);
        }
    }
}

TEST(SignalSource, AboveHalfTheUpdateRateTheOutputAlternates)
{
    for (int waveform : {0, 1, 2}) {
        SourceRig r(waveform, 7000.0, 10000.0);
        r.b.Run(1);
        // From phase 0 the phase goes to 0.75, then 0.25, and so on.
        for (int n = 1; n <= 10; ++n) {
            r.b.Run(1);
            const double p = n % 2 ? 0.75 : 0.25;
            EXPECT_NEAR(VoltsAcross(r.source), Expected(waveform, p, 5.0, 0.0), 1e-9) << waveform << " " << n;
        }
    }
}

TEST(SignalSource, OffsetAndPhaseComeFromTheAdvancedSettings)
{
    SourceRig r(0, 500.0, 10000.0);
    CSineValue* label = r.source->GetSineLabel();
    // 1500 mV offset, 90 degrees: the wave starts at its crest.
    label->ApplyAdvanced(1500.0, 0, 90.0);
    EXPECT_NEAR(label->dcOffset, 1.5, 1e-12);
    r.source->OnSettingsChanged(0);
    EXPECT_NEAR(r.source->GetPhase(), 0.25, 1e-12);
    const double a = label->amplitude.value;
    EXPECT_NEAR(a, 0.005, 1e-15); // the mantissa 5 is now in millivolts
    for (int n = 0; n < 20; ++n) {
        r.b.Run(1);
        EXPECT_NEAR(VoltsAcross(r.source), Expected(0, 0.25 + 0.05 * n, a, 1.5), 1e-9) << n;
    }
}

TEST(SignalSource, TheSourceAsksForTwentyStepsACycle)
{
    SourceRig r(0, 500.0, 5.0);
    double rate = 0.0;
    EXPECT_EQ(r.source->GetRateRequest(&rate), 3);
    EXPECT_EQ(rate, 10000.0);
    EXPECT_TRUE(r.b.d.RecalcStepLimit());
    EXPECT_EQ(r.b.d.GetUpdateRate(), 10000.0);
    // A higher frequency raises the design's rate; removing it lowers it
    // back to the display rate.
    r.source->GetSineLabel()->SetNumber(2.0, 5);
    EXPECT_TRUE(r.b.d.RecalcStepLimit());
    EXPECT_EQ(r.b.d.GetUpdateRate(), 40000.0);
    r.b.d.RemovePart(r.source);
    delete r.source;
    r.b.d.RecalcStepLimit();
    EXPECT_LT(r.b.d.GetUpdateRate(), 1000.0);
}

std::unique_ptr<CVPulse> ReadBack(CVPulse& source, WORD version)
{
    CArchive out;
    out.SetVersion(version);
    out.WriteObject(&source);
    const std::vector<uint8_t> bytes = out.GetBuffer();
    CArchive in(bytes);
    in.SetVersion(version);
    std::unique_ptr<CVPulse> back(dynamic_cast<CVPulse*>(in.ReadNewObject(RUNTIME_CLASS(CPart))));
    EXPECT_EQ(in.BytesLeft(), 0u);
    return back;
}

TEST(SignalSource, TheWaveformIsKeptInTheFile)
{
    for (int waveform : {0, 1, 2}) {
        SourceRig r(waveform, 500.0, 10000.0);
        auto back = ReadBack(*r.source, kCurrentVersion);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->GetWaveform(), waveform);
        EXPECT_EQ(back->m_wStateWord, waveform);
        EXPECT_EQ(back->GetKindCode(), waveform == 0 ? 2 : 3);
        ASSERT_NE(back->GetSineLabel(), nullptr);
        EXPECT_EQ(back->GetFrequency(), 500.0);
    }
}

TEST(SignalSource, TheOldSineAndTriangleClassesChooseTheirWave)
{
    EnsureTextGuiApp();
    struct Case {
        const char* name;
        int waveform;
    };
    for (Case c : {Case{"CVPulse", 0}, Case{"CVSine", 0}, Case{"CVTriangle", 2}}) {
        std::unique_ptr<CObject> made(CRuntimeClass::CreateObject(c.name));
        auto* source = dynamic_cast<CVPulse*>(made.get());
        ASSERT_NE(source, nullptr) << c.name;
        // A file's old class name is applied after loading, over the
        // square wave that old records load as.
        source->SetWaveform(1);
        source->InitVariant(source->m_pPendingVariant ? source->m_pPendingVariant : source->GetRuntimeClass());
        EXPECT_EQ(source->GetWaveform(), std::string(c.name) == "CVPulse" ? 1 : c.waveform) << c.name;
        EXPECT_EQ(source->m_rcPicture, CRect(-12, 0, 12, 24));
    }
}

TEST(SignalSource, WaveformButtonsAndAmplitudeItems)
{
    SourceRig r(0, 500.0, 10000.0);
    CControlItemList items;
    r.source->FillProperties(items);
    struct Row {
        int type;
        int id;
        int width;
    };
    const Row rows[] = {{0, 36053, -1}, {2, 36054, -1}, {0, 36055, 28}, {2, 36056, -1}, {1, 36057, 20},
                        {0, 36059, 44}, {2, 36060, -1}, {1, 36063, 20}, {4, 36070, -1}, {4, 36071, -1},
                        {4, 36072, -1}, {3, 36074, -1}, {5, 0, -1}};
    ASSERT_EQ(items.GetCount(), 13);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(items[i].type, rows[i].type) << i;
        EXPECT_EQ(items[i].id, rows[i].id) << i;
        EXPECT_EQ(items[i].width, rows[i].width < 0 ? DefaultItemWidth(rows[i].type) : rows[i].width) << i;
        EXPECT_EQ((items[i].options & CIO_ADDS_PART) != 0, i >= 8 && i <= 11) << i;
    }
    EXPECT_EQ(items[4].label, CString("Hz"));
    EXPECT_EQ(items[7].label, CString("V"));

    int flag = 0;
    EXPECT_EQ(r.source->IsPropertyChecked(36070, flag), 1);
    EXPECT_EQ(r.source->IsPropertyChecked(36072, flag), 0);
    // Choosing the wave that is on changes nothing.
    EXPECT_EQ(r.source->OnPropertyCommand(36070, CString()), 0);
    EXPECT_EQ(r.source->OnPropertyCommand(36072, CString()), 17);
    EXPECT_EQ(r.source->GetWaveform(), 2);
    EXPECT_EQ(r.source->m_wStateWord, 2);
    EXPECT_EQ(r.source->IsPropertyChecked(36072, flag), 1);

    // The amplitude typed, then its texts.
    EXPECT_NE(r.source->OnPropertyCommand(36059, CString("2.5")), 0);
    EXPECT_NEAR(r.source->GetAmplitude(), 2.5, 1e-12);
    r.source->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36059)].label, CString("2.5"));
    EXPECT_EQ(items[items.FindById(36063)].label, CString("V"));
    EXPECT_NE(r.source->OnPropertyCommand(36061, CString("m")), 0);
    r.source->GetPropertyTexts(items);
    EXPECT_EQ(items[items.FindById(36063)].label, CString("mV"));
}

} // namespace

namespace {

TEST(SignalSource, TheButtonStripShowsThePresentWave)
{
    SourceRig r(0, 500.0, 10000.0);
    for (int waveform : {0, 1, 2}) {
        r.source->SetWaveform(waveform);
        std::vector<int> ids;
        CBitmap bitmap;
        const int count = r.source->GetPropertyBitmap(ids, &bitmap);
        ASSERT_GE(count, 4);
        ASSERT_EQ(static_cast<int>(ids.size()), count);
        EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 4), (std::vector<int>{36074, 36070, 36071, 36072}));
        for (size_t i = 4; i < ids.size(); ++i) EXPECT_GE(ids[i], kFirstOrientCmd);
        ASSERT_EQ(bitmap.GetSize(), CSize(32 * count, 32));
        // The present wave's button is shaded, the others are not.
        for (int w = 0; w < 3; ++w)
            EXPECT_EQ(bitmap.Image().pixel(32 * (1 + w) + 2, 2) == qRgb(0xC8, 0xD8, 0xF0), w == waveform) << waveform;
    }
}

} // namespace
