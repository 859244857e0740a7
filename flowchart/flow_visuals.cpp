#include "flowchart/flow_visuals.h"

#include "model/display/visual.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

namespace {
// Our pictures carry their pin marks on the frame's own edge ring, so the
// frames start at the bitmap's origin and the icon codes are positive.
struct FlowPictureRow {
    const char* className;
    int iconCode, iconCell, bitmapId, width, height;
};

// Terminators (491 start, 497 stop), process boxes (492), subroutine calls
// (550), input/output parallelograms (551), decisions (494) and the
// serial send box (596).
constexpr FlowPictureRow kRows[] = {
    {"CFlowStart", 18, 1, 491, 112, 24},     {"CFlowSubStart", 18, 9, 491, 112, 24},
    {"CFlowStop", 18, 4, 497, 112, 24},      {"CFlowReturn", 18, 10, 497, 112, 24},
    {"CFlowBeep", 18, 2, 492, 112, 32},      {"CFlowWait", 18, 3, 492, 112, 32},
    {"CFlowVariable", 38, 1, 492, 112, 32},  {"CFlowIncrement", 38, 2, 492, 112, 32},
    {"CFlowGoSub", 18, 8, 550, 112, 32},     {"CFlowOutput", 27, 4, 551, 120, 32},
    {"CFlowMotor", 27, 5, 551, 120, 32},     {"CFlowXanal", 27, 3, 551, 120, 32},
    {"CFlowWrite", 35, 1, 551, 120, 32},     {"CFlowRead", 35, 3, 551, 120, 32},
    {"CFlowDecision", 27, 2, 494, 152, 48},  {"CFlowCheckVar", 37, 1, 494, 152, 48},
    {"CFlowTestBit", 37, 2, 494, 152, 48},
    {"CFlowSend", 35, 5, 596, 112, 64},      {"CFlowReceive", 35, 6, 492, 112, 32},
};
constexpr int kFrames = 3;
} // namespace

CVisual* FlowVisual(const char* className)
{
    // Built together on first use and kept for the program's life.  The
    // sets are made while this table is initialised, so the drawing layer's
    // list of every picture set outlives them at exit.
    static const std::vector<std::unique_ptr<CVisual>> built = [] {
        std::vector<std::unique_ptr<CVisual>> out;
        for (const FlowPictureRow& r : kRows) {
            out.push_back(
                std::make_unique<CVisual>(r.iconCode, r.iconCell, r.bitmapId, kFrames, 0, 0, r.width, r.height));
            out.back()->SetOrientationMask(1);
        }
        return out;
    }();
    if (!className) return nullptr;
    for (size_t i = 0; i < std::size(kRows); ++i)
        if (std::strcmp(kRows[i].className, className) == 0) return built[i].get();
    return nullptr;
}
