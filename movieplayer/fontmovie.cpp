#include "movieplayer/bitmaprecord.h"

#include <zlib.h>

#include <cstdlib>

namespace movie {

// Generated at build time by tools/make_font_movie from the Liberation fonts.
extern const unsigned char kFontMovieCompressed[];
extern const unsigned long kFontMovieCompressedSize;
extern const unsigned long kFontMovieSize;

long FontMovieInflatedSize() { return static_cast<long>(kFontMovieSize); }

long InflateFontMovie(uint8_t** out)
{
    *out = nullptr;
    auto* buf = static_cast<uint8_t*>(std::malloc(kFontMovieSize));
    if (!buf) return -1;
    uLongf len = kFontMovieSize;
    if (uncompress(buf, &len, kFontMovieCompressed, kFontMovieCompressedSize) != Z_OK || len != kFontMovieSize) {
        std::free(buf);
        return -1;
    }
    *out = buf;
    return static_cast<long>(len);
}

}  // namespace movie
