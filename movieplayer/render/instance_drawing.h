// Edges and fills built for one instance, kept until the instance changes.
#pragma once

#include "movieplayer/display/display_list.h"

namespace movie {

struct InstanceDrawing {
    int edgeCount = 0;
};

}  // namespace movie
