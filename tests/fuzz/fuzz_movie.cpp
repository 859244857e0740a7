// fuzz-links: wb_movieplayer
// Feeds arbitrary bytes to the movie reader as a file arriving in pieces and
// walks every tag of the root timeline.
#include <cstddef>
#include <cstdint>

#include "movieplayer/stream/movie_buffer.h"
#include "movieplayer/stream/tag_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    movie::MovieBuffer buffer;
    // The first byte picks the piece size, so the same file is also read as a
    // stream of small pieces.
    size_t piece = size > 0 ? 1 + data[0] % 64 : 1;
    for (size_t pos = 0; pos < size; pos += piece) {
        size_t n = size - pos < piece ? size - pos : piece;
        if (!buffer.Append(data + pos, n)) break;
    }
    if (!buffer.HeaderRead()) return 0;
    movie::TagStream tags = buffer.Tags();
    for (movie::TagRecord t = tags.Next(); t.code >= 0; t = tags.Next()) {
        movie::StreamCursor body = tags.Body(t);
        while (!body.AtEnd()) body.UB(7);
    }
    return 0;
}
