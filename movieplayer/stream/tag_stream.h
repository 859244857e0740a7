// Walks the tag records of a movie or of a sprite's own tag list.
//
// A record header is a UI16 holding the code (upper 10 bits) and the length
// (lower 6 bits); a length of 63 means a UI32 length follows.  A record is
// only read when all of it lies within the bytes present, so a movie that
// arrives in pieces is read tag by tag as each one completes, and a length
// field, however large, never points the reader beyond the data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "movieplayer/stream/stream_cursor.h"

namespace movie {

struct TagRecord {
    int code = -1;
    size_t start = 0;   // position of the record header
    size_t body = 0;    // first byte of the body
    size_t end = 0;     // one past the body; the next record starts here
};

// Reads the record header at pos out of data[0, present).  Returns false and
// leaves *out alone when fewer than 2 bytes remain, when the 4 bytes of a long
// length are not all there, or when the body does not end within present.
bool ReadTagRecord(const uint8_t* data, size_t present, size_t pos, TagRecord* out);

class TagStream {
public:
    TagStream() = default;
    // Tags from first up to limit (the bytes present so far, or the end of the
    // enclosing sprite record).
    TagStream(const uint8_t* data, size_t first, size_t limit)
        : data_(data), first_(first), pos_(first), limit_(limit) {}

    // More bytes have arrived (the buffer may have moved).
    void Extend(const uint8_t* data, size_t limit) { data_ = data; limit_ = limit; }

    // The next complete record, or code -1 with the position unchanged.  On
    // success the position is already at the record's end: whatever a handler
    // reads from the body, reading continues with the next record.
    TagRecord Next();
    // A cursor over the body of a record returned by Next.
    StreamCursor Body(const TagRecord& tag) const { return StreamCursor(data_, tag.body, tag.end); }

    size_t Pos() const { return pos_; }
    void Rewind() { pos_ = first_; }
    void Seek(size_t pos) { pos_ = pos; }
    size_t First() const { return first_; }
    size_t Limit() const { return limit_; }
    const uint8_t* Data() const { return data_; }

private:
    const uint8_t* data_ = nullptr;
    size_t first_ = 0;
    size_t pos_ = 0;
    size_t limit_ = 0;
};

}  // namespace movie
