#include "components/logic_visual.h"

#include "model/display/visual.h"

#include <map>
#include <memory>

CVisual& LogicVisual(int bitmapId, int frames, int width, int height, int orientationMask)
{
    // One set per bitmap for the life of the program, like every class's
    // picture set; the map only saves a function per class.
    // The program's registry of picture sets must outlive these.
    static const bool registryFirst = (CVisual::All(), true);
    (void)registryFirst;
    static std::map<int, std::unique_ptr<CVisual>> sets;
    auto& v = sets[bitmapId];
    if (!v) {
        v = std::make_unique<CVisual>(1, 1, bitmapId, frames, 0, 0, width, height);
        v->SetOrientationMask(orientationMask);
    }
    return *v;
}
