// Primitive records of the movie format read from a bounded cursor:
// rectangles, matrices, colour transforms, style arrays and shape records.
//
// RECT     UB[5] nbits, SB[nbits] xmin, xmax, ymin, ymax
// MATRIX   UB[1] HasScale [UB[5] n, SB[n] a, SB[n] d]
//          UB[1] HasRotate [UB[5] n, SB[n] b, SB[n] c]
//          UB[5] n, SB[n] tx, SB[n] ty
// CXFORM   UB[1] HasAdd, UB[1] HasMultiply, UB[4] n,
//          [SB[n] r, g, b(, a) multipliers], [SB[n] r, g, b(, a) offsets]
// Each starts at a whole byte.
#pragma once

#include <cstdint>
#include <vector>

#include "movieplayer/colortransform.h"
#include "movieplayer/geometry.h"
#include "movieplayer/stream/stream_cursor.h"

namespace movie {

MovieRect ReadRect(StreamCursor& c);
MovieMatrix ReadMatrix(StreamCursor& c);
ColorTransform ReadColorTransform(StreamCursor& c, bool withAlpha);

enum StyleType : uint8_t {
    kStyleSolid = 0x00,
    kStyleLinearGradient = 0x10,
    kStyleRadialGradient = 0x12,
    kStyleBitmap = 0x40,          // repeated, smoothed
    kStyleBitmapClipped = 0x41,   // bit 0: clipped instead of repeated
    kStyleBitmapNoSmooth = 0x42,  // bit 1: never smoothed
};

// The fill set-up holds 8 gradient stops; a style may list up to 255, and
// the ones beyond the eighth are read past and dropped.
constexpr int kMaxGradientStops = 8;

struct StyleStop {
    uint8_t ratio = 0;
    uint32_t colour = 0;   // packed, red in the low byte
};

struct FillStyle {
    uint8_t type = kStyleSolid;
    uint32_t colour = 0;        // solid fills
    MovieMatrix matrix;         // gradient or bitmap space to twips
    uint8_t stopCount = 0;
    StyleStop stops[kMaxGradientStops];
    uint16_t bitmapId = 0;
    bool transparent = false;
    int globalIndex = 0;        // style base + position (1-based)

    bool IsGradient() const { return (type & 0x10) != 0; }
    bool IsBitmap() const { return (type & 0x40) != 0 && !IsGradient(); }
};

struct LineStyle {
    uint16_t width = 0;   // twips, before the placement matrix
    uint32_t colour = 0;
    bool transparent = false;
};

// How one shape's records are read: colours with alpha (DefineShape3 and
// morphs), and for morph styles the ratio at which each pair is taken.
struct ShapeFormat {
    bool alpha = false;
    bool morph = false;
    Fixed ratio = 0;
};

// One record of a shape: an edge, a style change or the end.
struct ShapeRecord {
    enum : int {
        kEdge = 0,
        kMoveTo = 1,
        kFill0 = 2,
        kFill1 = 4,
        kLine = 8,
        kNewStyles = 16,
        kEnd = 128,
    };
    int flags = kEnd;
    // An edge, mapped by the reader's matrix: start, control and end.  A
    // straight edge has the midpoint of its ends as control point.
    MoviePoint start, control, end;
    bool line = true;
    // After a style change: indices into the current arrays (1-based, 0 none);
    // an index beyond the array reads as none.
    int fill0 = 0, fill1 = 0, lineStyle = 0;
};

class ShapeReader {
public:
    ShapeReader() = default;
    ShapeReader(const StreamCursor& c, const MovieMatrix& m, ShapeFormat format)
        : c_(c), matrix_(m), format_(format) {}

    // Fill and line style arrays, then the two index widths.  False when the
    // styles run past the end of the record.
    bool ReadStyles();
    // Only the index widths (glyph shapes and the end shape of a morph).
    // `fills` is the number of fill indices the caller supplies itself (a
    // glyph's fill 1 is the text colour); indices above it read as none.
    void ReadIndexBits(size_t fills = 0);
    // The next record; kEnd at the end of the shape, also when the data runs
    // out before an end record, and for every call after that.
    const ShapeRecord& Next();

    const std::vector<FillStyle>& Fills() const { return fills_; }
    const std::vector<LineStyle>& Lines() const { return lines_; }
    const ShapeRecord& Record() const { return record_; }
    int StyleBase() const { return styleBase_; }
    bool Failed() const { return failed_; }
    StreamCursor& Cursor() { return c_; }

private:
    bool ReadFillStyle(FillStyle& f);
    uint32_t ReadColour();
    uint32_t ReadMorphColour();
    MovieMatrix ReadMorphMatrix();
    MoviePoint Map() const;

    StreamCursor c_;
    MovieMatrix matrix_;
    ShapeFormat format_;
    std::vector<FillStyle> fills_;
    std::vector<LineStyle> lines_;
    unsigned fillBits_ = 0, lineBits_ = 0;
    size_t suppliedFills_ = 0;
    int styleBase_ = 0;
    int64_t x_ = 0, y_ = 0;   // pen position in twips
    ShapeRecord record_;
    bool done_ = false;
    bool failed_ = false;
};

}  // namespace movie
