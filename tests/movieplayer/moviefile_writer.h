// Writes movie files for tests, field by field, from the byte layout of the
// format.  It shares no code with the engine's reader, and its own output is
// checked against bytes worked out by hand (moviefile_writer_test.cpp), so a
// misreading of the layout cannot hide in both at once.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace moviefile_test {

using Bytes = std::vector<uint8_t>;

// Bits most significant first; byte fields align to the next whole byte.
class BitWriter {
public:
    void UB(uint32_t value, int nbits)
    {
        for (int i = nbits - 1; i >= 0; --i) {
            cur_ = static_cast<uint8_t>((cur_ << 1) | ((value >> i) & 1));
            if (++used_ == 8) {
                bytes_.push_back(cur_);
                cur_ = 0;
                used_ = 0;
            }
        }
    }
    void SB(int32_t value, int nbits) { UB(static_cast<uint32_t>(value), nbits); }
    void Align()
    {
        if (used_ > 0) UB(0, 8 - used_);
    }
    void UI8(uint32_t v) { Align(); bytes_.push_back(static_cast<uint8_t>(v)); }
    void UI16(uint32_t v) { UI8(v & 0xFF); UI8((v >> 8) & 0xFF); }
    void UI32(uint32_t v) { UI16(v & 0xFFFF); UI16(v >> 16); }
    void Append(const Bytes& b) { Align(); bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void String(const std::string& s) { Align(); for (char ch : s) UI8(uint8_t(ch)); UI8(0); }
    // Colour as red, green, blue (then alpha) bytes.
    void Rgb(uint8_t r, uint8_t g, uint8_t b) { UI8(r); UI8(g); UI8(b); }
    void Rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { Rgb(r, g, b); UI8(a); }
    // Colour given as 0xRRGGBBAA.
    void Colour(uint32_t rgba, bool withAlpha)
    {
        Rgb(rgba >> 24, (rgba >> 16) & 0xFF, (rgba >> 8) & 0xFF);
        if (withAlpha) UI8(rgba & 0xFF);
    }
    Bytes Take() { Align(); Bytes out; out.swap(bytes_); return out; }
    size_t Size() const { return bytes_.size(); }

    // Bits a signed field needs to hold every value given (at least 1).
    static int SignedBits(std::initializer_list<int32_t> values)
    {
        int n = 1;
        for (int32_t v : values) {
            int64_t x = v;
            int b = 1;
            while (x < -(int64_t(1) << (b - 1)) || x >= (int64_t(1) << (b - 1))) ++b;
            n = std::max(n, b);
        }
        return n;
    }
    static int UnsignedBits(uint32_t v)
    {
        int b = 0;
        while (b < 32 && (v >> b) != 0) ++b;
        return b;
    }

private:
    Bytes bytes_;
    uint8_t cur_ = 0;
    int used_ = 0;
};

inline void WriteRect(BitWriter& w, int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax)
{
    w.Align();
    int n = BitWriter::SignedBits({xmin, xmax, ymin, ymax});
    w.UB(n, 5);
    w.SB(xmin, n); w.SB(xmax, n); w.SB(ymin, n); w.SB(ymax, n);
    w.Align();
}

struct Matrix {
    int32_t a = 0x10000, b = 0, c = 0, d = 0x10000;   // 16.16
    int32_t tx = 0, ty = 0;                           // twips
    static Matrix Translate(int32_t x, int32_t y) { Matrix m; m.tx = x; m.ty = y; return m; }
    static Matrix Scale(int32_t sx, int32_t sy, int32_t x = 0, int32_t y = 0)
    {
        Matrix m; m.a = sx; m.d = sy; m.tx = x; m.ty = y; return m;
    }
};

// Writes the scale and rotate groups only when they differ from the default.
inline void WriteMatrix(BitWriter& w, const Matrix& m)
{
    w.Align();
    bool scale = m.a != 0x10000 || m.d != 0x10000;
    w.UB(scale, 1);
    if (scale) {
        int n = BitWriter::SignedBits({m.a, m.d});
        w.UB(n, 5); w.SB(m.a, n); w.SB(m.d, n);
    }
    bool rotate = m.b != 0 || m.c != 0;
    w.UB(rotate, 1);
    if (rotate) {
        int n = BitWriter::SignedBits({m.b, m.c});
        w.UB(n, 5); w.SB(m.b, n); w.SB(m.c, n);
    }
    int n = (m.tx == 0 && m.ty == 0) ? 0 : BitWriter::SignedBits({m.tx, m.ty});
    w.UB(n, 5);
    w.SB(m.tx, n); w.SB(m.ty, n);
    w.Align();
}

struct Cxform {
    // red, green, blue, alpha; multipliers 8.8 (256 = 1.0), offsets 0-255 scale
    int32_t mul[4] = {256, 256, 256, 256};
    int32_t add[4] = {0, 0, 0, 0};
};

inline void WriteCxform(BitWriter& w, const Cxform& x, bool withAlpha)
{
    w.Align();
    int channels = withAlpha ? 4 : 3;
    bool hasMul = false, hasAdd = false;
    for (int i = 0; i < channels; ++i) {
        hasMul |= x.mul[i] != 256;
        hasAdd |= x.add[i] != 0;
    }
    int n = 1;
    for (int i = 0; i < channels; ++i) {
        if (hasMul) n = std::max(n, BitWriter::SignedBits({x.mul[i]}));
        if (hasAdd) n = std::max(n, BitWriter::SignedBits({x.add[i]}));
    }
    w.UB(hasAdd, 1);
    w.UB(hasMul, 1);
    w.UB(n, 4);
    if (hasMul) for (int i = 0; i < channels; ++i) w.SB(x.mul[i], n);
    if (hasAdd) for (int i = 0; i < channels; ++i) w.SB(x.add[i], n);
    w.Align();
}

// A tag record: short form for bodies under 63 bytes, else long form.
inline Bytes Tag(int code, const Bytes& body, bool forceLong = false)
{
    BitWriter w;
    if (body.size() < 63 && !forceLong) {
        w.UI16(uint32_t(code) << 6 | uint32_t(body.size()));
    } else {
        w.UI16(uint32_t(code) << 6 | 0x3F);
        w.UI32(uint32_t(body.size()));
    }
    w.Append(body);
    return w.Take();
}

// Builds a whole movie: header, then tags; Finish fills in the length.
class MovieWriter {
public:
    int32_t width = 11000, height = 8000;   // twips (550 x 400 pixels)
    uint16_t rate = 0x0C00;                 // 12 frames per second
    uint16_t frameCount = 1;
    uint8_t version = 4;

    void Add(const Bytes& tag) { tags_.insert(tags_.end(), tag.begin(), tag.end()); }
    void Add(int code, const Bytes& body) { Add(Tag(code, body)); }
    void ShowFrame() { Add(1, {}); }
    void Background(uint8_t r, uint8_t g, uint8_t b) { Add(9, {r, g, b}); }

    Bytes Finish(bool withEnd = true) const
    {
        BitWriter w;
        w.UI8('F'); w.UI8('W'); w.UI8('S'); w.UI8(version);
        w.UI32(0);
        WriteRect(w, 0, width, 0, height);
        w.UI16(rate);
        w.UI16(frameCount);
        w.Append(tags_);
        if (withEnd) w.UI16(0);
        Bytes out = w.Take();
        uint32_t n = uint32_t(out.size());
        out[4] = n & 0xFF; out[5] = (n >> 8) & 0xFF; out[6] = (n >> 16) & 0xFF; out[7] = n >> 24;
        return out;
    }

private:
    Bytes tags_;
};

// Reads an annotated hex fixture: pairs of hex digits; "#" starts a comment
// that runs to the end of the line.
inline Bytes ReadHexFixture(const std::string& path)
{
    std::ifstream in(path);
    Bytes out;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string word;
        while (words >> word)
            for (size_t i = 0; i + 1 < word.size(); i += 2)
                out.push_back(static_cast<uint8_t>(std::strtoul(word.substr(i, 2).c_str(), nullptr, 16)));
    }
    return out;
}

}  // namespace moviefile_test
