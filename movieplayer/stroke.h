// StrokeBuilder: turns a line style running along a path into closed
// outlines that the rasteriser fills with the winding rule.
//
// Thick strokes (wider than 3 units) offset every piece of the path by half
// the width on both sides and close each piece into its own loop; every
// vertex of the path (ends, joins, a lone point) gets a disc of the stroke's
// width, which is exactly the union of a round join or round cap with the
// neighbouring pieces. Thin strokes (1-3 units, only without anti-aliasing)
// become bands shifted along the minor axis, with a square of the band's
// width at every vertex so that corners have no gaps. Every loop is oriented
// the same way, so overlapping loops never cancel under the winding rule.
#pragma once

#include "movieplayer/curve.h"

#include <vector>

namespace movie {

class StrokeBuilder {
public:
    StrokeBuilder(EdgeSink& sink, bool antiAliased) : sink_(sink), antiAliased_(antiAliased) {}

    void Begin(int32_t width, FillRecord* fill);
    // Adds one piece of the path; a piece that starts where the last one
    // ended continues the path, any other starts a new one.
    void AddSegment(const Curve& c);
    // A lone point (a move without drawing): drawn as a dot.
    void AddPoint(MoviePoint p);
    void End();

    int32_t Width() const { return width_; }
    bool Thick() const { return thick_; }

private:
    void AddThickPiece(const Curve& c, int depth);
    void AddThinPiece(const Curve& c, int depth);
    void AddVertex(MoviePoint p);
    void EmitLoop(std::vector<Curve>& loop);
    void BandShift(const Curve& c, int32_t& s0, int32_t& s1, bool& alongY) const;

    EdgeSink& sink_;
    bool antiAliased_;
    FillRecord* fill_ = nullptr;
    int32_t width_ = 1;
    bool thick_ = false;
    bool started_ = false;
    MoviePoint first_{};
    MoviePoint lastEnd_{kEmptyMarker, kEmptyMarker};
    bool pendingPoint_ = false;
};

// Arc of quadratic curves around centre from angle a0 sweeping by sweep
// (Fixed degrees, either sign), radius r; n = (|sweep| + 44°) / 45° pieces.
void AppendArc(std::vector<Curve>& out, MoviePoint centre, int32_t r, Fixed a0, Fixed sweep);

}  // namespace movie
