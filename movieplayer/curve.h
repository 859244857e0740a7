// Quadratic curves and the edge records the rasteriser steps.
//
// Everything drawn is a quadratic curve: a straight segment is a curve whose
// control point is the chord midpoint. Curves are never flattened; they are
// cut into pieces that are monotonic in y and at most 256 units tall, and the
// rasteriser steps each piece by forward differencing.
#pragma once

#include "movieplayer/chunkallocator.h"
#include "movieplayer/geometry.h"

namespace movie {

struct Curve {
    MoviePoint start;
    MoviePoint control;
    MoviePoint end;
    bool isLine = false;
    bool operator==(const Curve&) const = default;
};

Curve MakeLine(MoviePoint p, MoviePoint q);
Curve MakeCurve(MoviePoint p, MoviePoint c, MoviePoint q);

int32_t Flatness(const Curve& c);
void SplitHalf(const Curve& c, Curve& first, Curve& second);
void SplitAt(const Curve& c, Fixed t, Curve& first, Curve& second);
MoviePoint PointAt(const Curve& c, Fixed t);
int32_t AxisExtreme(int32_t a, int32_t b, int32_t c);
MovieRect Bounds(const Curve& c);
MovieRect ControlBounds(const Curve& c);
Curve Map(const Curve& c, const MovieMatrix& m);
Curve Reverse(const Curve& c);
Fixed Length(const Curve& c);
Fixed ParamAtLength(const Curve& c, Fixed len);
Fixed Tangent(const Curve& c, Fixed t);
Fixed Nearest(const Curve& c, MoviePoint p, int32_t tolerance);
void SplitBetween(const Curve& c, Fixed t1, Fixed t2, Curve& a, Curve& b, Curve& d);
int Crossings(const Curve& c, MoviePoint p, int depth = 0);
bool Overlap(const Curve& c1, const Curve& c2, int32_t tol1, int32_t tol2);

struct FillRecord;

// Fill rules of an edge.
enum EdgeRule : uint8_t {
    kRuleTwoFillsParity = 0,
    kRuleOneFillParity = 1,
    kRuleWinding = 2,
};

struct EdgeRecord {
    EdgeRecord* next = nullptr;          // next edge of the character's list
    EdgeRecord* nextInBucket = nullptr;  // next edge starting on the same scan line
    FillRecord* fillA = nullptr;
    FillRecord* fillB = nullptr;
    int16_t x0 = 0, y0 = 0, cx = 0, cy = 0, x1 = 0, y1 = 0;  // y0 <= y1
    bool isLine = false;
    uint8_t rule = kRuleOneFillParity;
    int8_t direction = 1;
};

// Where edge making puts its records: the display's edge pool (600 per
// block) and the head of the character's list.
struct EdgeSink {
    RecordPool<EdgeRecord>* pool = nullptr;
    EdgeRecord* head = nullptr;
    // Set when the character's bounds reach beyond ±32000 units, so that
    // pieces far outside the 16-bit range are dropped or folded.
    bool guard = false;
    int dropped = 0;  // pieces lost to pool exhaustion or the depth limit
    // The rasteriser's clip in edge units (Rasteriser::EdgeClip), or empty.
    // Pieces wholly above or below it change no pixel inside and are left
    // out before they are cut to 256 units; pieces wholly left or right of
    // it only count crossings and become vertical lines just outside it,
    // cut to its height.  Crossings outside then come in another order,
    // which shows only where a clip layer is changed under an opaque fill
    // it does not gate, with a fill it gates above that one: a movie's clip
    // layer gates the objects right after it, so this never happens there.
    // Empty, every piece is kept: the reference path.
    MovieRect cull;
};

void AddFillEdge(const Curve& curve, FillRecord* fillA, FillRecord* fillB, int rule, EdgeSink& sink, int depth = 0);

// Frees every record of a list back into its pool.
void FreeEdgeList(EdgeSink& sink);

}  // namespace movie
