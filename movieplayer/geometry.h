// Points, rectangles and matrices of the movie engine, all in integers.
//
// Coordinates are twips (1/20 pixel) in movie space and sub-pixel units
// after mapping; scale factors are Fixed. A rectangle is inclusive on all
// four sides and is empty when xmin holds the 0x80000000 marker.
#pragma once

#include "movieplayer/fixed.h"

namespace movie {

struct MoviePoint {
    int32_t x = 0;
    int32_t y = 0;
    constexpr bool operator==(const MoviePoint&) const = default;
};

struct MovieRect {
    int32_t xmin = kEmptyMarker;
    int32_t xmax = kEmptyMarker;
    int32_t ymin = kEmptyMarker;
    int32_t ymax = kEmptyMarker;
    constexpr bool operator==(const MovieRect&) const = default;
};

struct MovieMatrix {
    Fixed a = kFixedOne;
    Fixed b = 0;
    Fixed c = 0;
    Fixed d = kFixedOne;
    int32_t tx = 0;
    int32_t ty = 0;
    constexpr bool operator==(const MovieMatrix&) const = default;
};

constexpr int32_t kHugeMin = -4194304;
constexpr int32_t kHugeMax = 4194303;

// Points and vectors
Fixed PointLength(MoviePoint v);
Fixed PointDistance(MoviePoint p, MoviePoint q);
int32_t PointApproxLength(MoviePoint v);
int32_t PointHalfChebyshev(MoviePoint p, MoviePoint q);
Fixed PointAngle(MoviePoint p, const MoviePoint* q = nullptr);
MoviePoint PointFromPolar(Fixed r, Fixed angle, const MoviePoint* origin = nullptr);
MoviePoint PointSetLength(MoviePoint v, Fixed len);
MoviePoint PointScale(MoviePoint p, Fixed f);
MoviePoint PointShift(MoviePoint p, int n);
MoviePoint PointInterpolate(MoviePoint p, MoviePoint q, Fixed t);
bool PointEqualWithin(MoviePoint p, MoviePoint q, int32_t tol);
Fixed NearestPointOnSegment(MoviePoint a, MoviePoint b, MoviePoint p, MoviePoint* out);

// Shifts one value left by n, or for negative n rounds it right by -n.
int32_t ShiftRound(int32_t v, int n);

// Rectangles
inline bool RectIsEmpty(const MovieRect& r) { return r.xmin == kEmptyMarker; }
void RectSetEmpty(MovieRect& r);
void RectSetHuge(MovieRect& r);
MovieRect RectFromCorners(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
MovieRect RectFromPoints(MoviePoint p, MoviePoint q);
MovieRect RectFromPoint(MoviePoint p);
MoviePoint RectCentre(const MovieRect& r);
void RectOffset(MovieRect& r, int32_t dx, int32_t dy);
void RectInset(MovieRect& r, int32_t d);
void RectShift(MovieRect& r, int n);
void RectNormalise(MovieRect& r);
MovieRect RectUnion(const MovieRect& a, const MovieRect& b);
void RectAddPoint(MovieRect& r, MoviePoint p);
MovieRect RectIntersect(const MovieRect& a, const MovieRect& b);
bool RectTestIntersect(const MovieRect& a, const MovieRect& b);
bool RectContainsPoint(const MovieRect& r, MoviePoint p);
bool RectEqualWithin(const MovieRect& a, const MovieRect& b, int32_t tol);
MoviePoint RectSize(const MovieRect& r);
Fixed RectDiagonal(const MovieRect& r);
Fixed RectDistanceToPoint(const MovieRect& r, MoviePoint p);
Fixed RectDistance(const MovieRect& a, const MovieRect& b);
MoviePoint RectHandlePoint(const MovieRect& r, int n);
int RectOppositeHandle(int n);

// Matrices
MovieMatrix MatrixIdentity();
MovieMatrix MatrixTranslation(int32_t tx, int32_t ty);
MovieMatrix MatrixScale(Fixed sx, Fixed sy);
MovieMatrix MatrixRotation(Fixed angle);
MoviePoint MatrixMapPoint(const MovieMatrix& m, MoviePoint p);
// Where the result is a device coordinate: the exact sum of the products,
// rounded once to the nearest unit, so shapes do not shrink toward their
// origin at scales that are not exact.
MoviePoint MatrixMapPointRound(const MovieMatrix& m, MoviePoint p);
MoviePoint MatrixMapVector(const MovieMatrix& m, MoviePoint v);
MovieRect MatrixMapRect(const MovieMatrix& m, const MovieRect& r);
int32_t MatrixMapLength(const MovieMatrix& m, int32_t len);
void MatrixConcat(const MovieMatrix& m1, const MovieMatrix& m2, MovieMatrix& out);
// As MatrixConcat, with the translation (a device coordinate when m2 maps to
// the device) rounded to the nearest unit instead of truncated.
void MatrixConcatRound(const MovieMatrix& m1, const MovieMatrix& m2, MovieMatrix& out);
void MatrixInvert(const MovieMatrix& m, MovieMatrix& out);
bool MatrixEqualWithin(const MovieMatrix& m1, const MovieMatrix& m2, int32_t tol);
MovieMatrix MatrixRectToRect(const MovieRect& from, const MovieRect& to);
MovieMatrix MatrixFitRect(const MovieRect& from, const MovieRect& to);
struct MatrixParts {
    Fixed xScale = 0;
    Fixed yScale = 0;
    Fixed rotation = 0;
};
MatrixParts MatrixDecompose(const MovieMatrix& m);
bool MatrixIsAxisAligned(const MovieMatrix& m);
bool MatrixIsIdentity(const MovieMatrix& m);

}  // namespace movie
