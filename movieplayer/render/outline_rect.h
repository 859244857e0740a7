// A rectangle as edges: filled (winding rule) or outlined by a 1-unit
// stroke.  Text fields draw their backgrounds and borders with it.
#pragma once

#include "movieplayer/curve.h"
#include "movieplayer/geometry.h"

namespace movie {

class StrokeBuilder;

// The four sides of r (twips) through m.  Without a stroke builder the
// sides become fill edges of `fill` (rule 2, the direction following the
// y order of each side; horizontal sides add nothing); with one they are
// stroked 1 unit wide in `fill`.
void OutlineRect(const MovieRect& r, const MovieMatrix& m, FillRecord* fill, EdgeSink& sink,
                 StrokeBuilder* stroke = nullptr);

}  // namespace movie
