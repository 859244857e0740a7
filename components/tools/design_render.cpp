// Draws a design file into a PNG picture, headless, as the canvas draws it:
//
//   wb_design_render DESIGN OUT.png [--zoom 2] [--run N] [--arrows]
//
// --zoom 2 draws the double-size view; --run N runs N simulation passes
// first, so that the live state shows (LED brightness, meter ranges, blown
// fuses, current arrows with --arrows).  The picture covers the parts'
// extent with a 16-pixel margin.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/circuit/circuit_render.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: wb_design_render DESIGN OUT.png [--zoom 2] [--run N] [--arrows]\n");
    return 2;
}

bool ParseCount(const char* s, int* out)
{
    char* end = nullptr;
    const long v = std::strtol(s, &end, 10);
    if (end == s || *end != '\0' || v < 0 || v > 1000000) return false;
    *out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return Usage();
    int zoom = 1, passes = 0;
    bool arrows = false;
    for (int i = 3; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--zoom") && i + 1 < argc) {
            if (!ParseCount(argv[++i], &zoom) || (zoom != 1 && zoom != 2)) return Usage();
        } else if (!std::strcmp(argv[i], "--run") && i + 1 < argc) {
            if (!ParseCount(argv[++i], &passes)) return Usage();
        } else if (!std::strcmp(argv[i], "--arrows")) {
            arrows = true;
        } else {
            return Usage();
        }
    }
    // Labels and values need text; an offscreen platform serves when no
    // display is set.
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString error;
    std::unique_ptr<CCircuit> design = LoadDesignFile(QString::fromLocal8Bit(argv[1]), &error);
    if (!design) {
        std::fprintf(stderr, "wb_design_render: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    if (arrows) design->SetOptionBits(0x10, true);
    for (int i = 0; i < passes; ++i) design->RunSolverPass();
    CDesignRenderOptions options;
    options.zoom = zoom;
    const QImage image = RenderDesign(*design, options);
    if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "wb_design_render: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
