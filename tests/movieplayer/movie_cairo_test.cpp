// The rasteriser against Cairo on the same quadratic paths: anti-aliased
// renders agree exactly inside shapes and within a small tolerance along
// edges (Cairo integrates area, the rasteriser counts 4 x 4 samples).
#include "movie_raster_util.h"

#include <cairo/cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace movie;
using namespace movietest;

namespace {

struct Path {
    std::vector<Curve> pieces;  // in pixels × 4 (quarter pixels)
};

Path Scene(int which)
{
    Path p;
    auto q = [](double x, double y) { return MoviePoint{static_cast<int32_t>(std::lround(x * 4)), static_cast<int32_t>(std::lround(y * 4))}; };
    switch (which) {
    case 0:
        AppendArc(p.pieces, q(40, 30), 4 * 22, 0, 360 << 16);
        break;
    case 1:  // a leaf of two quadratic pieces
        p.pieces.push_back(MakeCurve(q(8, 52), q(20, -10), q(72, 8)));
        p.pieces.push_back(MakeCurve(q(72, 8), q(60, 60), q(8, 52)));
        break;
    default:  // a slanted triangle
        p.pieces.push_back(MakeLine(q(5.25, 5.5), q(74.75, 20.25)));
        p.pieces.push_back(MakeLine(q(74.75, 20.25), q(30.5, 57.75)));
        p.pieces.push_back(MakeLine(q(30.5, 57.75), q(5.25, 5.5)));
        break;
    }
    return p;
}

}  // namespace

TEST(MovieCairo, AntiAliasedPathsAgree)
{
    const int w = 80, h = 60;
    for (int which = 0; which < 3; ++which) {
        const Path path = Scene(which);
        Image ours(w, h, Argb(255, 255, 255));
        Rasteriser r;
        r.Attach(ours.Target(), 0, 0, w, h, true);
        r.BeginFrame();
        r.backgroundPresent = true;
        FillRecord* f = r.NewSolidFill(Rgba(20, 60, 200));
        Shape s;
        for (const Curve& c : path.pieces) s.Add(c, f);
        r.AddEdges(s.Edges(), f, nullptr);
        r.Paint();
        r.EndFrame();

        Image theirs(w, h, Argb(255, 255, 255));
        cairo_surface_t* cs = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(theirs.px.data()), CAIRO_FORMAT_ARGB32, w, h, w * 4);
        cairo_t* cr = cairo_create(cs);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        // Quadratic pieces as the equivalent cubics, from quarter pixels.
        const Curve& first = path.pieces.front();
        cairo_move_to(cr, first.start.x / 4.0, first.start.y / 4.0);
        for (const Curve& c : path.pieces) {
            const double x0 = c.start.x / 4.0, y0 = c.start.y / 4.0, cx = c.control.x / 4.0, cy = c.control.y / 4.0;
            const double x1 = c.end.x / 4.0, y1 = c.end.y / 4.0;
            cairo_curve_to(cr, x0 + 2 * (cx - x0) / 3, y0 + 2 * (cy - y0) / 3, x1 + 2 * (cx - x1) / 3, y1 + 2 * (cy - y1) / 3, x1, y1);
        }
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 20 / 255.0, 60 / 255.0, 200 / 255.0);
        cairo_fill(cr);
        cairo_surface_flush(cs);
        cairo_destroy(cr);
        cairo_surface_destroy(cs);

        int inside = 0, edge = 0, worst = 0;
        double sum = 0;
        for (int y = 1; y < h - 1; ++y)
            for (int x = 1; x < w - 1; ++x) {
                // A pixel whose neighbourhood is uniform in Cairo's render is
                // well inside or outside the shape.
                bool uniform = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (theirs.At(x + dx, y + dy) != theirs.At(x, y)) uniform = false;
                const uint32_t a = ours.At(x, y), b = theirs.At(x, y);
                if (uniform) {
                    ++inside;
                    ASSERT_EQ(a, b) << "scene " << which << " at " << x << "," << y;
                    continue;
                }
                int d = 0;
                for (int k = 0; k < 24; k += 8) d = std::max(d, std::abs(int((a >> k) & 255) - int((b >> k) & 255)));
                ++edge;
                sum += d;
                worst = std::max(worst, d);
            }
        EXPECT_GT(inside, 1000);
        // One sample of 16 is 1/16 of the colour step (up to 15 levels here).
        // Up to five samples at the sharp tips, where a sliver narrower than a
        // sample column falls between the samples.
        EXPECT_LE(worst, 5 * 15) << "scene " << which;
        std::printf("scene %d: %d edge pixels, mean difference %.2f, worst %d\n", which, edge, sum / edge, worst);
        EXPECT_LE(sum / edge, 12.0) << "scene " << which << " over " << edge << " edge pixels";
    }
}
