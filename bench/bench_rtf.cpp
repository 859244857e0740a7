// bench-links: wb_model
// Cost of showing a label: reading and writing its stored RTF, painting it
// (laid out once and kept), and laying it out again after a change.
#include "model/text/richtext.h"
#include "model/text/rtf_model.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>

namespace {

const char* kLabel =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}"
    "{\\f2\\fswiss\\fprq2 Arial;}}\r\n{\\colortbl\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
    "\\deflang2057\\pard\\plain\\f2\\fs20 The resistance R = 4.7k\\plain\\f1\\fs20 W\\plain\\f2\\fs20 "
    "limits the \\b current\\b0  through the \\cf1 LED\\cf0 .\r\n\\par }";

void EnsureApp()
{
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "bench_rtf";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

void BM_ReadLabelRtf(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(ReadRtf(kLabel));
}
BENCHMARK(BM_ReadLabelRtf);

void BM_WriteLabelRtf(benchmark::State& state)
{
    const RtfDocument d = ReadRtf(kLabel);
    for (auto _ : state) benchmark::DoNotOptimize(WriteRtf(d));
}
BENCHMARK(BM_WriteLabelRtf);

// The stored label and the default character format it is drawn with.
struct LabelText {
    CRTFData block;
    CCharFormat cf;
    LabelText()
    {
        block.mode = 2;
        block.buffer = kLabel;
        InitDefaultCharFormat(&cf);
    }
};

void BM_PaintLabel(benchmark::State& state)
{
    EnsureApp();
    const LabelText t;
    QImage img(400, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    for (auto _ : state) PaintRichText(p, t.block, t.cf, CRect(10, 10, 150, 60), kNoBackground);
}
BENCHMARK(BM_PaintLabel);

// Reading and laying the label out again, as a label that changed is.
void BM_LayOutLabel(benchmark::State& state)
{
    EnsureApp();
    const LabelText t;
    for (auto _ : state) benchmark::DoNotOptimize(MeasureRichTextHeight(t.block, t.cf, 140));
}
BENCHMARK(BM_LayOutLabel);

// A label printed: laid out afresh in twips at the printer's resolution
// (600 pixels per inch here, a painter scaled by 6.25).
void BM_PrintLabel(benchmark::State& state)
{
    EnsureApp();
    const LabelText t;
    QImage img(1000, 400, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.scale(6.25, 6.25);
    for (auto _ : state) PrintRichText(p, t.block, t.cf, CRect(10, 10, 150, 60), kNoBackground, PrintPlacement{});
}
BENCHMARK(BM_PrintLabel);

}  // namespace
