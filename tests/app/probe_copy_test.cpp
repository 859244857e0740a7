// Copy Probe Data: the quantity boxes the probes offer, the text for the
// chosen quantities, and the command in the real main window putting it on
// the clipboard (Cancel copies nothing and reports nothing).
#include "app/main_frame.h"
#include "app/probe_copy.h"
#include "app/probe_copy_dialog.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"

#include "measure/probe_bench.h"
#include "shell_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>

using namespace shelltest;

namespace {

// Channel 0 records voltage and current (2 V + 0.5 V per sample, 0.1 A),
// channel 2 the angle and a quantity that has no box (0x800).
struct TwoProbes : CProbeDataSource {
    bool HasProbe(int c) const override { return c == 0 || c == 2; }
    CString GetProbeName(int c) const override { return c == 0 ? "Probe A" : "Probe C"; }
    DWORD GetQuantityMask(int c) const override { return c == 0 ? 0x3 : 0x20 | 0x800; }
    bool HasProbedPart(int) const override { return true; }
    double GetSample(int c, int i, DWORD bit) const override
    {
        if (c == 2) return bit == 0x20 ? 0.25 : 7.0;
        return bit == 1 ? 2.0 + 0.5 * i : 0.1;
    }
};

struct NoProbes : CProbeDataSource {
    bool HasProbe(int) const override { return false; }
    CString GetProbeName(int) const override { return CString(); }
    DWORD GetQuantityMask(int) const override { return 0xFFFF; }
    bool HasProbedPart(int) const override { return false; }
    double GetSample(int, int, DWORD) const override { return 0.0; }
};

} // namespace

TEST(CopyProbeData, BoxesFollowTheProbesQuantities)
{
    const CCopyDataForm none = CCopyDataForm::FromSource(NoProbes());
    for (const CQuantityBox& b : QuantityBoxes()) {
        EXPECT_FALSE(none.IsEnabled(b.bit)) << b.label;
        EXPECT_EQ(none.IsQuantityChecked(b.bit), 0) << b.label;
    }
    CCopyDataForm form = CCopyDataForm::FromSource(TwoProbes());
    const std::map<DWORD, bool> offered = {{0x1, true}, {0x2, true}, {0x20, true}, {0x4, false}, {0x8000, false}};
    for (const auto& [bit, on] : offered) {
        EXPECT_EQ(form.IsEnabled(bit), on) << bit;
        EXPECT_EQ(form.IsQuantityChecked(bit), on ? 1 : 0) << bit;
    }
    // A bit without a box is never reported checked.
    EXPECT_EQ(form.IsQuantityChecked(0x800), 0);
    // A disabled box cannot be checked.
    form.SetChecked(0x4, true);
    EXPECT_EQ(form.IsQuantityChecked(0x4), 0);
    form.SetChecked(0x2, false);
    EXPECT_EQ(form.IsQuantityChecked(0x2), 0);
}

TEST(CopyProbeData, TextHoldsTheChosenColumns)
{
    CCircuit design;
    design.m_nRecordedCount = 2;
    design.m_nSampleCounter = 12;
    design.SetUpdateRate(4.0);  // 0.25 s per step
    CCopyDataForm form = CCopyDataForm::FromSource(TwoProbes());
    form.SetChecked(0x2, false);
    CString text;
    ASSERT_TRUE(BuildDesignProbeText(design, TwoProbes(), form, &text));
    // Samples 10 and 11 of the counter: 2.5 s and 2.75 s.  The box-less
    // quantity keeps its column.
    const std::string lines[] = {"2.50000000\t2.00000000", "2.75000000\t2.50000000"};
    ASSERT_NE(text.find("\r\n"), CString::npos);
    const CString header = text.substr(0, text.find("\r\n"));
    EXPECT_EQ(header.rfind("Time (s)\tProbe A (V)\tProbe C (", 0), 0u) << header;
    EXPECT_EQ(header.find("(A)"), CString::npos) << header;
    const CString body = text.substr(text.find("\r\n") + 2);
    EXPECT_EQ(body.rfind(lines[0], 0), 0u) << body;
    EXPECT_NE(body.find("\r\n" + lines[1]), CString::npos) << body;
    // Time, voltage, angle and the box-less quantity on every line.
    EXPECT_EQ(std::count(body.begin(), body.end(), '\t'), 2 * 3) << body;
}

TEST(CopyProbeData, RealProbesGiveTheirRecordedSamples)
{
    // A probe on the capacitor of 10 V, 1 k and 100 uF (tau 0.1 s), five
    // steps of 1 ms: the voltage column follows V (1 - exp(-t / tau)) within
    // the backward-Euler lag V h / (2 tau).
    EnsureShellApp();
    RCBench b(10.0, 1000.0, 1e-4);
    CProbe* probe = b.ProbeOn(b.c);
    ASSERT_EQ(probe->GetChannel(), 0);
    b.Start(1000.0);
    b.Run(5);
    const std::unique_ptr<CProbeDataSource> source = MakeProbeSource(b.d);
    ASSERT_TRUE(source->HasProbe(0));
    EXPECT_FALSE(source->HasProbe(1));
    const CCopyDataForm form = CCopyDataForm::FromSource(*source);
    for (DWORD bit : {0x1u, 0x2u, 0x100u, 0x200u}) EXPECT_EQ(form.IsQuantityChecked(bit), 1) << bit;
    EXPECT_FALSE(form.IsEnabled(0x4));
    CString text;
    ASSERT_TRUE(BuildDesignProbeText(b.d, *source, form, &text));
    std::istringstream lines(text);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind("Time (s)\tProbe 1 (V)\tProbe 1 (A)\tProbe 1 (", 0), 0u) << line;
    int rows = 0;
    while (std::getline(lines, line)) {
        ++rows;
        std::istringstream fields(line);
        double t = 0.0, v = 0.0;
        fields >> t >> v;
        EXPECT_NEAR(t, (rows - 1) * 0.001, 1e-9) << line;
        EXPECT_NEAR(v, 10.0 * (1.0 - std::exp(-rows * 0.001 / 0.1)), 10.0 * 0.001 / 0.2) << line;
    }
    EXPECT_EQ(rows, 5);
}

TEST(CopyProbeData, CommandPutsTheTextOnTheClipboardAndCancelCopiesNothing)
{
    EnsureShellApp();
    CRecordingMessageBox messages;
    CMessageBoxScope scope(&messages);
    auto app = std::make_unique<CTeskApp>();
    ASSERT_TRUE(app->InitInstance({}));
    CCircuit* design = app->GetActiveDocument()->GetDesign();
    design->m_nRecordedCount = 1;
    design->m_nSampleCounter = 1;
    InstallProbeSourceFactory([](CCircuit&) { return std::make_unique<TwoProbes>(); });
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    bool seen = false;
    WhenModal<CCopyDataDialog>([&](CCopyDataDialog* d) {
        seen = true;
        EXPECT_FALSE(d->findChild<QCheckBox*>("ctl1009")->isEnabled());
        EXPECT_TRUE(d->findChild<QCheckBox*>("ctl1004")->isChecked());
        d->reject();
    });
    app->RouteCommand(36004);
    EXPECT_TRUE(seen);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_TRUE(messages.shown.empty());

    WhenModal<CCopyDataDialog>([&](CCopyDataDialog* d) {
        auto* current = d->findChild<QCheckBox*>("ctl1006");
        QTest::mouseClick(current, Qt::LeftButton, {}, QPoint(6, current->height() / 2));
        d->accept();
    });
    app->RouteCommand(36004);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Time (s)\tProbe A (V)\tProbe C ("))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("(A)")));
    EXPECT_TRUE(messages.shown.empty());

    InstallProbeSourceFactory(nullptr);
    app->GetActiveDocument()->SetModifiedFlag(false);
    app->CloseAllDocuments();
    app->ExitInstance();
}
