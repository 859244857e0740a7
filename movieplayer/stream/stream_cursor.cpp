#include "movieplayer/stream/stream_cursor.h"

namespace movie {

void StreamCursor::Seek(size_t pos)
{
    pos_ = pos < end_ ? pos : end_;
    bitCount_ = 0;
}

void StreamCursor::Skip(size_t n)
{
    bitCount_ = 0;
    if (n > Remaining()) {
        overrun_ = true;
        pos_ = end_ > pos_ ? end_ : pos_;
        return;
    }
    pos_ += n;
}

StreamCursor StreamCursor::Sub(size_t n)
{
    bitCount_ = 0;
    size_t take = n < Remaining() ? n : Remaining();
    if (take < n) overrun_ = true;
    StreamCursor sub(data_, pos_, pos_ + take);
    pos_ += take;
    return sub;
}

uint8_t StreamCursor::UI8()
{
    bitCount_ = 0;
    if (pos_ >= end_) {
        overrun_ = true;
        return 0;
    }
    return data_[pos_++];
}

uint16_t StreamCursor::UI16()
{
    uint16_t lo = UI8();
    uint16_t hi = UI8();
    return static_cast<uint16_t>(lo | (hi << 8));
}

uint32_t StreamCursor::UI32()
{
    uint32_t lo = UI16();
    uint32_t hi = UI16();
    return lo | (hi << 16);
}

uint32_t StreamCursor::UB(unsigned n)
{
    if (n > 32) n = 32;
    uint32_t v = 0;
    while (n > 0) {
        if (bitCount_ == 0) {
            if (pos_ >= end_) {
                overrun_ = true;
                // The missing bits read as zero.
                return n >= 32 ? 0 : v << n;
            }
            bitBuffer_ = data_[pos_++];
            bitCount_ = 8;
        }
        unsigned take = n < bitCount_ ? n : bitCount_;
        uint32_t bits = (bitBuffer_ >> (bitCount_ - take)) & ((1u << take) - 1);
        // A 32-bit shift of a 32-bit value is undefined; take is at most 8.
        v = static_cast<uint32_t>((static_cast<uint64_t>(v) << take) | bits);
        bitCount_ -= take;
        n -= take;
    }
    return v;
}

int32_t StreamCursor::SB(unsigned n)
{
    if (n == 0) return 0;
    if (n > 32) n = 32;
    uint32_t v = UB(n);
    if (n < 32 && (v & (1u << (n - 1)))) v |= ~((1u << n) - 1);
    return static_cast<int32_t>(v);
}

const char* StreamCursor::String(size_t* length)
{
    bitCount_ = 0;
    for (size_t i = pos_; i < end_; ++i) {
        if (data_[i] == 0) {
            const char* s = reinterpret_cast<const char*>(data_ + pos_);
            if (length) *length = i - pos_;
            pos_ = i + 1;
            return s;
        }
    }
    overrun_ = true;
    if (pos_ < end_) pos_ = end_;
    if (length) *length = 0;
    return nullptr;
}

uint32_t StreamCursor::Rgb()
{
    uint32_t r = UI8(), g = UI8(), b = UI8();
    return r | (g << 8) | (b << 16) | 0xFF000000u;
}

uint32_t StreamCursor::Rgba()
{
    uint32_t r = UI8(), g = UI8(), b = UI8(), a = UI8();
    return r | (g << 8) | (b << 16) | (a << 24);
}

}  // namespace movie
