// Walks of a character's outline: shapes, morph shapes and static text
// become fill edges between fill styles and strokes along line styles,
// already mapped into buffer units.  What becomes of them is up to the sink:
// edge records for the rasteriser when drawing, crossing counts when
// hit-testing, bounds or a log in tests.
#pragma once

#include <vector>

#include "movieplayer/curve.h"
#include "movieplayer/geometry.h"
#include "movieplayer/stream/records.h"

namespace movie {

struct Character;
class CharacterDictionary;

class OutlineSink {
public:
    virtual ~OutlineSink() = default;
    // New style arrays (the shape's first, or a NewStyles record).
    virtual void Styles(const std::vector<FillStyle>& fills, const std::vector<LineStyle>& lines, int styleBase) {}
    // Static text: the colour of the glyphs that follow (fill index 1).
    virtual void TextColour(uint32_t rgba) {}
    // An edge with fill style a on its one side and b on the other (indices
    // into the current fill array, 1-based; b may be 0).
    virtual void FillEdge(const Curve& c, int a, int b, int rule) = 0;
    // A stroke along line style `line` (1-based) with its width mapped into
    // buffer units.
    virtual void BeginStroke(int line, int32_t width) {}
    virtual void StrokeSegment(const Curve& c) {}
    virtual void EndStroke() {}
};

struct OutlineOptions {
    bool glyph = false;   // glyph outlines fill with the winding rule
    bool morph = false;
};

// Walks shape records from a reader whose styles have been read (or, for
// glyphs, whose index widths have).  `matrix` is the reader's matrix; it
// scales the line widths.
void WalkShape(ShapeReader& reader, const MovieMatrix& matrix, const OutlineOptions& options, OutlineSink& sink);

// Walks a morph shape at ratio t (Fixed 0..0x10000): start and end records
// in step, every point interpolated.
void WalkMorph(ShapeReader& start, ShapeReader& end, const MovieMatrix& matrix, Fixed t, OutlineSink& sink);

// The outline of a character of kind shape, morph shape or static text,
// mapped by m.  Returns false when the kind has no outline.
bool WalkCharacter(const Character& c, const CharacterDictionary& dict, const MovieMatrix& m, uint16_t ratio,
                   OutlineSink& sink);

// Cuts a curve at its turning point in y, if it has one inside.
int SplitMonotonicY(const Curve& c, Curve out[2]);

// The width of a line style mapped into buffer units.
int32_t MapLineWidth(const MovieMatrix& m, uint16_t width);

}  // namespace movie
