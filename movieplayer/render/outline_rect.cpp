#include "movieplayer/render/outline_rect.h"

#include "movieplayer/stroke.h"

namespace movie {

void OutlineRect(const MovieRect& r, const MovieMatrix& m, FillRecord* fill, EdgeSink& sink, StrokeBuilder* stroke)
{
    if (RectIsEmpty(r)) return;
    const MoviePoint p[4] = {MatrixMapPointRound(m, {r.xmin, r.ymin}), MatrixMapPointRound(m, {r.xmax, r.ymin}),
                             MatrixMapPointRound(m, {r.xmax, r.ymax}), MatrixMapPointRound(m, {r.xmin, r.ymax})};
    if (stroke) {
        stroke->Begin(1, fill);
        for (int i = 0; i < 4; ++i) stroke->AddSegment(MakeLine(p[i], p[(i + 1) % 4]));
        stroke->End();
        return;
    }
    for (int i = 0; i < 4; ++i) AddFillEdge(MakeLine(p[i], p[(i + 1) % 4]), fill, nullptr, kRuleWinding, sink);
}

}  // namespace movie
