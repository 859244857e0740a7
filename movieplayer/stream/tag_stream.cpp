#include "movieplayer/stream/tag_stream.h"

namespace movie {

bool ReadTagRecord(const uint8_t* data, size_t present, size_t pos, TagRecord* out)
{
    if (pos > present || present - pos < 2) return false;
    uint32_t word = data[pos] | (uint32_t(data[pos + 1]) << 8);
    size_t body = pos + 2;
    size_t length = word & 0x3F;
    if (length == 0x3F) {
        if (present - body < 4) return false;
        length = data[body] | (uint32_t(data[body + 1]) << 8) | (uint32_t(data[body + 2]) << 16) |
                 (uint32_t(data[body + 3]) << 24);
        body += 4;
    }
    // Compare the length with what is left rather than adding it to body, so a
    // length near 2^32 cannot wrap around.
    if (length > present - body) return false;
    out->code = static_cast<int>(word >> 6);
    out->start = pos;
    out->body = body;
    out->end = body + length;
    return true;
}

TagRecord TagStream::Next()
{
    TagRecord tag;
    if (!data_ || !ReadTagRecord(data_, limit_, pos_, &tag)) return TagRecord{};
    pos_ = tag.end;
    return tag;
}

}  // namespace movie
