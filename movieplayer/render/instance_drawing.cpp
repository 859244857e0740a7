#include "movieplayer/render/instance_drawing.h"

#include "movieplayer/display/drawing_hooks.h"

namespace movie {

void FreeDrawing(Instance* inst)
{
    delete inst->drawing;
    inst->drawing = nullptr;
}

}  // namespace movie
