#include "movieplayer/stream/records.h"

#include <algorithm>
#include <new>

#include "movieplayer/character/morph.h"

namespace movie {

MovieRect ReadRect(StreamCursor& c)
{
    c.Align();
    unsigned n = c.UB(5);
    MovieRect r;
    r.xmin = c.SB(n);
    r.xmax = c.SB(n);
    r.ymin = c.SB(n);
    r.ymax = c.SB(n);
    c.Align();
    return r;
}

MovieMatrix ReadMatrix(StreamCursor& c)
{
    c.Align();
    MovieMatrix m;
    if (c.UB(1)) {
        unsigned n = c.UB(5);
        m.a = c.SB(n);
        m.d = c.SB(n);
    }
    if (c.UB(1)) {
        unsigned n = c.UB(5);
        m.b = c.SB(n);
        m.c = c.SB(n);
    }
    unsigned n = c.UB(5);
    m.tx = c.SB(n);
    m.ty = c.SB(n);
    c.Align();
    return m;
}

ColorTransform ReadColorTransform(StreamCursor& c, bool withAlpha)
{
    c.Align();
    ColorTransform x;
    unsigned flags = c.UB(2);
    unsigned n = c.UB(4);
    // Values are kept in 16 bits; a 15-bit field already covers any sane
    // transform, so wider ones are clamped rather than wrapped.
    auto field = [&] {
        int32_t v = c.SB(n);
        return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
    };
    if (flags & 1) {
        x.rMul = field();
        x.gMul = field();
        x.bMul = field();
        if (withAlpha) x.aMul = field();
    }
    if (flags & 2) {
        x.rAdd = field();
        x.gAdd = field();
        x.bAdd = field();
        if (withAlpha) x.aAdd = field();
    }
    c.Align();
    ColorTransformUpdateFlags(x);
    return x;
}

uint32_t ShapeReader::ReadColour()
{
    return c_.Colour(format_.alpha || format_.morph);
}

uint32_t ShapeReader::ReadMorphColour()
{
    uint32_t a = c_.Rgba();
    uint32_t b = c_.Rgba();
    return RgbaInterpolate(a, b, format_.ratio);
}

MovieMatrix ShapeReader::ReadMorphMatrix()
{
    MovieMatrix a = ReadMatrix(c_);
    MovieMatrix b = ReadMatrix(c_);
    return MatrixInterpolate(a, b, format_.ratio);
}

bool ShapeReader::ReadFillStyle(FillStyle& f)
{
    f.type = c_.UI8();
    if (f.type & 0x10) {
        f.matrix = format_.morph ? ReadMorphMatrix() : ReadMatrix(c_);
        unsigned count = c_.UI8();
        for (unsigned i = 0; i < count; ++i) {
            StyleStop s;
            if (format_.morph) {
                uint8_t r0 = c_.UI8();
                uint32_t c0 = c_.Rgba();
                uint8_t r1 = c_.UI8();
                uint32_t c1 = c_.Rgba();
                s.ratio = uint8_t(InterpolateValue(r0, r1, format_.ratio));
                s.colour = RgbaInterpolate(c0, c1, format_.ratio);
                if ((c0 >> 24) < 255 || (c1 >> 24) != 255) f.transparent = true;
            } else {
                s.ratio = c_.UI8();
                s.colour = ReadColour();
                if ((s.colour >> 24) < 255) f.transparent = true;
            }
            if (i < unsigned(kMaxGradientStops)) f.stops[f.stopCount++] = s;
            if (c_.Overrun()) break;
        }
    } else if (f.type & 0x40) {
        f.bitmapId = c_.UI16();
        f.matrix = format_.morph ? ReadMorphMatrix() : ReadMatrix(c_);
    } else {
        f.type = kStyleSolid;
        f.colour = format_.morph ? ReadMorphColour() : ReadColour();
        if ((f.colour >> 24) < 255) f.transparent = true;
    }
    return !c_.Overrun();
}

bool ShapeReader::ReadStyles()
{
    fills_.clear();
    lines_.clear();
    // A count is a claim of the file: every style takes at least one byte,
    // so no more than the bytes left are reserved.
    auto count = [&] {
        unsigned n = c_.UI8();
        if (n == 0xFF) n = c_.UI16();
        return n;
    };
    try {
        unsigned nFills = count();
        fills_.reserve(nFills < c_.Remaining() ? nFills : c_.Remaining());
        for (unsigned i = 0; i < nFills; ++i) {
            FillStyle f;
            bool ok = ReadFillStyle(f);
            f.globalIndex = styleBase_ + int(i) + 1;
            if (!ok) {
                failed_ = true;
                return false;
            }
            fills_.push_back(f);
        }
        unsigned nLines = count();
        lines_.reserve(nLines < c_.Remaining() ? nLines : c_.Remaining());
        for (unsigned i = 0; i < nLines; ++i) {
            LineStyle l;
            if (format_.morph) {
                uint16_t w0 = c_.UI16(), w1 = c_.UI16();
                l.width = uint16_t(InterpolateValue(w0, w1, format_.ratio));
                uint32_t c0 = c_.Rgba(), c1 = c_.Rgba();
                l.colour = RgbaInterpolate(c0, c1, format_.ratio);
                l.transparent = (c0 >> 24) < 255 || (c1 >> 24) != 255;
            } else {
                l.width = c_.UI16();
                l.colour = ReadColour();
                l.transparent = (l.colour >> 24) < 255;
            }
            if (c_.Overrun()) {
                failed_ = true;
                return false;
            }
            lines_.push_back(l);
        }
    } catch (const std::bad_alloc&) {
        failed_ = true;
        return false;
    }
    ReadIndexBits(0);
    return !failed_;
}

void ShapeReader::ReadIndexBits(size_t fills)
{
    suppliedFills_ = fills;
    c_.Align();
    fillBits_ = c_.UB(4);
    lineBits_ = c_.UB(4);
    if (c_.Overrun()) failed_ = true;
}

MoviePoint ShapeReader::Map() const
{
    return MatrixMapPointRound(matrix_, {SaturateToInt32(x_), SaturateToInt32(y_)});
}

const ShapeRecord& ShapeReader::Next()
{
    if (done_ || failed_) {
        record_.flags = ShapeRecord::kEnd;
        done_ = true;
        return record_;
    }
    ShapeRecord r;
    bool edge = c_.UB(1);
    if (edge) {
        bool straight = c_.UB(1);
        unsigned n = c_.UB(4) + 2;
        MoviePoint p0 = Map();
        if (straight) {
            int32_t dx = 0, dy = 0;
            if (c_.UB(1)) {
                dx = c_.SB(n);
                dy = c_.SB(n);
            } else if (c_.UB(1)) {
                dy = c_.SB(n);
            } else {
                dx = c_.SB(n);
            }
            x_ += dx;
            y_ += dy;
            r.end = Map();
            r.control = {int32_t((int64_t(p0.x) + r.end.x) >> 1), int32_t((int64_t(p0.y) + r.end.y) >> 1)};
            r.line = true;
        } else {
            int32_t cdx = c_.SB(n), cdy = c_.SB(n);
            x_ += cdx;
            y_ += cdy;
            r.control = Map();
            int32_t adx = c_.SB(n), ady = c_.SB(n);
            x_ += adx;
            y_ += ady;
            r.end = Map();
            r.line = false;
        }
        r.start = p0;
        r.flags = ShapeRecord::kEdge;
        // Positions stay within what 32 bits can map; a file that walks the
        // pen further is clamped rather than wrapped.
        if (x_ > INT32_MAX) x_ = INT32_MAX;
        if (x_ < INT32_MIN) x_ = INT32_MIN;
        if (y_ > INT32_MAX) y_ = INT32_MAX;
        if (y_ < INT32_MIN) y_ = INT32_MIN;
    } else {
        int flags = int(c_.UB(5));
        if (flags == 0) {
            done_ = true;
            record_ = ShapeRecord{};
            return record_;
        }
        r.flags = flags;
        if (flags & ShapeRecord::kMoveTo) {
            unsigned n = c_.UB(5);
            x_ = c_.SB(n);
            y_ = c_.SB(n);
        }
        auto index = [](uint32_t i, size_t size) { return i <= size ? int(i) : 0; };
        size_t fillCount = std::max(fills_.size(), suppliedFills_);
        if (flags & ShapeRecord::kFill0) r.fill0 = index(c_.UB(fillBits_), fillCount);
        if (flags & ShapeRecord::kFill1) r.fill1 = index(c_.UB(fillBits_), fillCount);
        if (flags & ShapeRecord::kLine) r.lineStyle = index(c_.UB(lineBits_), lines_.size());
        if (flags & ShapeRecord::kNewStyles) {
            styleBase_ += int(fills_.size() + lines_.size());
            if (!ReadStyles()) {
                done_ = true;
                record_ = ShapeRecord{};
                return record_;
            }
        }
    }
    // A record cut off by the end of the tag is not used: the shape ends.
    if (c_.Overrun()) {
        done_ = true;
        record_ = ShapeRecord{};
        return record_;
    }
    record_ = r;
    return record_;
}

}  // namespace movie
