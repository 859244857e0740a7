// Bounded reading of movie data: little-endian integers, bit fields,
// strings and colours.  A cursor covers one byte range [begin, end) of a
// buffer it does not own; it never reads outside that range.  A read that
// wants bytes beyond the end yields zeros and sets the overrun flag, so the
// record readers above stay simple and a truncated or lying record stops at
// the end of its tag instead of wandering into the next one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace movie {

class StreamCursor {
public:
    StreamCursor() = default;
    StreamCursor(const uint8_t* data, size_t begin, size_t end)
        : data_(data), pos_(begin), end_(end) {}

    const uint8_t* Data() const { return data_; }
    size_t Pos() const { return pos_; }
    size_t End() const { return end_; }
    size_t Remaining() const { return pos_ < end_ ? end_ - pos_ : 0; }
    bool AtEnd() const { return pos_ >= end_; }
    // Some read wanted bytes beyond the end of the range.
    bool Overrun() const { return overrun_; }

    // Moves to an absolute position (clamped to the end); drops partial bits.
    void Seek(size_t pos);
    void Skip(size_t n);
    // A cursor over the next n bytes (fewer when the range ends first); this
    // cursor moves past them.
    StreamCursor Sub(size_t n);

    // Byte-aligned reads; each first discards a partly used byte.
    uint8_t UI8();
    uint16_t UI16();
    uint32_t UI32();
    int8_t SI8() { return static_cast<int8_t>(UI8()); }
    int16_t SI16() { return static_cast<int16_t>(UI16()); }
    int32_t SI32() { return static_cast<int32_t>(UI32()); }

    // n bits (0..32), most significant first; SB sign-extends from bit n-1.
    uint32_t UB(unsigned n);
    int32_t SB(unsigned n);
    // Discards the rest of a partly used byte.
    void Align() { bitCount_ = 0; }

    // The zero-terminated text at the cursor, read in place.  Returns null
    // (and moves to the end) when no zero byte lies inside the range.
    const char* String(size_t* length = nullptr);

    // A colour packed as one word: red in bits 0-7, green 8-15, blue 16-23,
    // alpha 24-31.  Without alpha in the record the alpha is 255.
    uint32_t Rgb();
    uint32_t Rgba();
    uint32_t Colour(bool withAlpha) { return withAlpha ? Rgba() : Rgb(); }

private:
    const uint8_t* data_ = nullptr;
    size_t pos_ = 0;
    size_t end_ = 0;
    uint32_t bitBuffer_ = 0;   // the byte being read bit by bit
    unsigned bitCount_ = 0;    // its bits not yet used
    bool overrun_ = false;
};

}  // namespace movie
