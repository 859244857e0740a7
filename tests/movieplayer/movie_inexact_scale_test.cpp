// Shapes drawn where twips do not map to whole pixels: every product on the
// way to device pixels must land on the nearest pixel edge, so a square
// covers exactly the pixels of its exact area at any scale, and a circle's
// rows follow the exact curve.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "movieplayer/moviefile_writer.h"
#include "movieplayer/render/movie_renderer.h"

using namespace moviefile_test;
using namespace movie;

namespace {

constexpr uint32_t kOpaqueRed = 0xFFFF0000u;

// A movie of frame w x h twips with one shape (id 1) placed at depth 1.
Bytes OneShapeMovie(int32_t w, int32_t h, const Bytes& shape, const Matrix* at = nullptr)
{
    MovieWriter m;
    m.width = w;
    m.height = h;
    m.Add(shape);
    Place p;
    p.id = 1;
    p.depth = 1;
    p.matrix = at;
    m.Add(PlaceObject2(p));
    m.ShowFrame();
    return m.Finish();
}

struct Arc {
    double x0, y0, cx, cy, x1, y1;   // twips
};

// A circle of radius r twips about (cx, cy) from eight quadratic arcs whose
// control points lie on the tangents (within 0.4% of r); the arcs as written
// go to `arcs`.
Bytes CircleShape(int32_t cx, int32_t cy, int32_t r, std::vector<Arc>* arcs)
{
    BitWriter w;
    w.UI16(1);
    WriteRect(w, cx - r, cx + r, cy - r, cy + r);
    WriteStyleCount(w, 1);
    WriteSolidFill(w, 0xFF0000FF, false);
    WriteStyleCount(w, 0);
    WriteIndexBits(w, 1, 0);
    const double kPi = 3.14159265358979323846;
    auto pt = [&](int k, double scale) {
        double a = k * kPi / 4;
        return std::pair<int32_t, int32_t>{int32_t(std::lround(cx + scale * r * std::cos(a))),
                                           int32_t(std::lround(cy + scale * r * std::sin(a)))};
    };
    StyleChange s;
    s.move = true;
    s.x = pt(0, 1).first;
    s.y = pt(0, 1).second;
    s.fill0 = 0;
    s.fill1 = 1;
    WriteStyleChange(w, s, 1, 0);
    const double controlScale = 1 / std::cos(kPi / 8);
    auto at = pt(0, 1);
    for (int k = 0; k < 8; ++k) {
        double am = (k + 0.5) * kPi / 4;
        std::pair<int32_t, int32_t> c{int32_t(std::lround(cx + controlScale * r * std::cos(am))),
                                      int32_t(std::lround(cy + controlScale * r * std::sin(am)))};
        auto e = pt(k + 1, 1);
        WriteCurve(w, c.first - at.first, c.second - at.second, e.first - c.first, e.second - c.second);
        arcs->push_back({double(at.first), double(at.second), double(c.first), double(c.second), double(e.first),
                         double(e.second)});
        at = e;
    }
    WriteEndShape(w);
    return Tag(2, w.Take());
}

// Coverage of a pixel by the red shape over white: 0..1 from the green channel.
double Coverage(const MovieRenderer& r, int x, int y)
{
    return (255 - ((r.At(x, y) >> 8) & 0xFF)) / 255.0;
}

struct Stage {
    int width, height;
    double scale, tx, ty;   // twips to pixels, whole movie visible and centred
};

Stage FitStage(int w, int h, int32_t fw, int32_t fh)
{
    // The frame's centre goes to the output's centre in whole pixels; the
    // scale is a 16.16 number, truncated.
    double s = std::min(std::floor(w * 65536.0 / fw), std::floor(h * 65536.0 / fh)) / 65536;
    return {w, h, s, (w / 2) - fw / 2.0 * s, (h / 2) - fh / 2.0 * s};
}

struct SquareCase {
    int32_t x0, x1;   // shape corners (twips, both axes)
    Matrix at;        // placement
};

const SquareCase kSquareCases[] = {
    {-1000, 1000, Matrix::Scale(0x10000, 0x10000, 3000, 3000)},
    {0, 100, Matrix::Scale(20 * 0x10000, 20 * 0x10000, 2000, 2000)},
    {0, 2000, Matrix::Scale(0x10000, 0x10000, 2020, 2040)},
    {2000, 4000, Matrix::Scale(0x10000, 0x10000, 0, 0)},
    {-333, 777, Matrix::Scale(0x18000, 0x18000, 4321, 3210)},
};

// Leftmost and rightmost x (pixels) where the arcs, mapped to the stage,
// cross the line y (pixels); false when none does.
bool ArcsSpan(const std::vector<Arc>& arcs, const Stage& st, double y, double* left, double* right)
{
    bool any = false;
    for (const Arc& a : arcs) {
        // y(t) = (1-t)^2 y0 + 2t(1-t) cy + t^2 y1 in pixels; solve for t in [0, 1].
        auto py = [&](double v) { return v * st.scale + st.ty; };
        auto px = [&](double v) { return v * st.scale + st.tx; };
        const double y0 = py(a.y0), yc = py(a.cy), y1 = py(a.y1);
        const double qa = y0 - 2 * yc + y1, qb = 2 * (yc - y0), qc = y0 - y;
        double roots[2];
        int n = 0;
        if (std::fabs(qa) < 1e-12) {
            if (qb != 0) roots[n++] = -qc / qb;
        } else {
            const double disc = qb * qb - 4 * qa * qc;
            if (disc >= 0) {
                roots[n++] = (-qb + std::sqrt(disc)) / (2 * qa);
                roots[n++] = (-qb - std::sqrt(disc)) / (2 * qa);
            }
        }
        for (int i = 0; i < n; ++i) {
            const double t = roots[i];
            if (t < 0 || t > 1) continue;
            const double x = (1 - t) * (1 - t) * px(a.x0) + 2 * t * (1 - t) * px(a.cx) + t * t * px(a.x1);
            if (!any) *left = *right = x;
            *left = std::min(*left, x);
            *right = std::max(*right, x);
            any = true;
        }
    }
    return any;
}

const int kSizes[][2] = {{440, 320}, {333, 257}, {517, 389}, {1003, 700}};

}  // namespace

TEST(MovieInexactScale, SquaresCoverThePixelsOfTheirExactEdges)
{
    for (const SquareCase& q : kSquareCases) {
        Bytes movie = OneShapeMovie(8800, 6400, DefineRectShape(2, 1, q.x0, q.x0, q.x1, q.x1, 0xFF0000FF), &q.at);
        for (auto [w, h] : kSizes) {
            SCOPED_TRACE(testing::Message() << "square " << q.x0 << ".." << q.x1 << " at " << w << "x" << h);
            MovieRenderer r;
            ASSERT_TRUE(r.Load(movie.data(), movie.size()));
            ASSERT_TRUE(r.SetSize(w, h, false));
            r.Seek(0);
            r.Draw();
            Stage st = FitStage(w, h, 8800, 6400);
            const double a = q.at.a / 65536.0;
            const double ex0 = (q.x0 * a + q.at.tx) * st.scale + st.tx, ex1 = (q.x1 * a + q.at.tx) * st.scale + st.tx;
            const double ey0 = (q.x0 * a + q.at.ty) * st.scale + st.ty, ey1 = (q.x1 * a + q.at.ty) * st.scale + st.ty;
            // A pixel is covered when its centre is inside.  At 440 x 320
            // (1/20 pixel per twip but for the 16.16 scale) every edge is on
            // a whole pixel and is met exactly; elsewhere the translations of
            // stage, placement and point are each rounded to a whole pixel,
            // so an edge may be a pixel off but never shrinks toward the
            // origin.
            auto whole = [](double v) { return std::fabs(v - std::round(v)) < 0.05; };
            const bool exact = whole(ex0) && whole(ex1) && whole(ey0) && whole(ey1);
            const double tol = exact ? 0.03 : 1.0;
            int covered = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    covered += r.At(x, y) == kOpaqueRed;
                    const double cx = x + 0.5, cy = y + 0.5;
                    const bool inside = cx > ex0 && cx < ex1 && cy > ey0 && cy < ey1;
                    const bool nearEdge = std::fabs(cx - ex0) < tol || std::fabs(cx - ex1) < tol ||
                                          std::fabs(cy - ey0) < tol || std::fabs(cy - ey1) < tol;
                    if (nearEdge) continue;
                    ASSERT_EQ(r.At(x, y) == kOpaqueRed, inside) << "pixel " << x << "," << y;
                }
            }
            // The side in whole pixels: the exact side rounded, give or take
            // the one rounding of each edge.
            const double side = std::sqrt(double(covered));
            EXPECT_NEAR(side, ex1 - ex0, exact ? 0.03 : 1.0);
        }
    }
}

TEST(MovieInexactScale, AntialiasedSquaresKeepTheirExactArea)
{
    for (const SquareCase& q : kSquareCases) {
        Bytes movie = OneShapeMovie(8800, 6400, DefineRectShape(2, 1, q.x0, q.x0, q.x1, q.x1, 0xFF0000FF), &q.at);
        for (auto [w, h] : kSizes) {
            SCOPED_TRACE(testing::Message() << "square " << q.x0 << ".." << q.x1 << " at " << w << "x" << h);
            MovieRenderer r;
            ASSERT_TRUE(r.Load(movie.data(), movie.size()));
            ASSERT_TRUE(r.SetSize(w, h, true));
            r.Seek(0);
            r.Draw();
            Stage st = FitStage(w, h, 8800, 6400);
            const double side = (q.x1 - q.x0) * (q.at.a / 65536.0) * st.scale;
            const double ey0 = (q.x0 * q.at.a / 65536.0 + q.at.ty) * st.scale + st.ty;
            double area = 0;
            for (int y = 0; y < h; ++y) {
                double row = 0;
                for (int x = 0; x < w; ++x) row += Coverage(r, x, y);
                area += row;
                // Rows wholly inside: the width to a quarter pixel (the
                // sub-pixel grid) and the eighth-pixel steps of the alpha.
                if (y > ey0 + 1 && y + 1 < ey0 + side - 1) {
                    ASSERT_NEAR(row, side, 0.3) << "row " << y;
                }
            }
            EXPECT_NEAR(area, side * side, side * 0.6);
        }
    }
}

TEST(MovieInexactScale, CircleRowsFollowTheCurveInTheMiddleOfTheRow)
{
    // Radius 3000 twips = 150 px at 440 x 320 for the 8800 x 6400 frame.
    std::vector<Arc> arcs;
    Bytes movie = OneShapeMovie(8800, 6400, CircleShape(4400, 3200, 3000, &arcs));
    for (auto [w, h] : kSizes) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Stage st = FitStage(w, h, 8800, 6400);
        const double rad = 3000 * st.scale;
        for (bool aa : {false, true}) {
            MovieRenderer r;
            ASSERT_TRUE(r.Load(movie.data(), movie.size()));
            ASSERT_TRUE(r.SetSize(w, h, aa));
            r.Seek(0);
            r.Draw();
            double area = 0;
            for (int y = 0; y < h; ++y) {
                double row = 0;
                int first = -1, last = -1;
                for (int x = 0; x < w; ++x) {
                    const bool red = r.At(x, y) == kOpaqueRed;
                    row += aa ? Coverage(r, x, y) : red;
                    if (red) {
                        if (first < 0) first = x;
                        last = x;
                    }
                }
                area += row;
                if (aa) continue;
                // The outline's span on the middle of the row: the pixels
                // whose centres lie inside it, to the rounding of the
                // translations (see above) and of the curve's end points.
                // A row may also move by the one-unit rounding of y: the
                // span is bounded by those a unit above and below.
                double left = 0, right = 0;
                if (!ArcsSpan(arcs, st, y + 0.5, &left, &right) || right - left < 0.2) {
                    double l, rt;
                    const int near = w == 440 ? 0 : 1;
                    if (!ArcsSpan(arcs, st, y + 0.5 - near, &l, &rt) && !ArcsSpan(arcs, st, y + 0.5 + near, &l, &rt)) {
                        ASSERT_LE(row, 1) << "row " << y;
                    }
                    continue;
                }
                double leftLo = left, leftHi = left, rightLo = right, rightHi = right;
                for (double dy : {-1.0, 1.0}) {
                    double l, rt;
                    if (!ArcsSpan(arcs, st, y + 0.5 + dy, &l, &rt)) {
                        l = rt = (left + right) / 2;
                    }
                    leftLo = std::min(leftLo, l);
                    leftHi = std::max(leftHi, l);
                    rightLo = std::min(rightLo, rt);
                    rightHi = std::max(rightHi, rt);
                }
                const double t = w == 440 ? 0.55 : 1.05;   // as for the squares
                ASSERT_GE(first + 0.5, leftLo - t) << "row " << y;
                ASSERT_LE(first + 0.5, leftHi + 0.5 + t) << "row " << y;
                ASSERT_GE(last + 0.5, rightLo - 0.5 - t) << "row " << y;
                ASSERT_LE(last + 0.5, rightHi + t) << "row " << y;
            }
            const double kPi = 3.14159265358979323846;
            EXPECT_NEAR(area, kPi * rad * rad, kPi * rad * rad * 0.006) << (aa ? "anti-aliased" : "plain");
        }
    }
}
