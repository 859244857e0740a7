// The PNG writer: signature, chunk CRCs and the pixel rows read back with
// zlib, straight alpha in the file.
#include <gtest/gtest.h>

#include <zlib.h>

#include "movieplayer/image/png_writer.h"

using movie::EncodePng;

namespace {

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

TEST(MoviePng, ChunksAndPixelsReadBack)
{
    // 2 x 1, stride 3: opaque red, half-transparent white (premultiplied 0x80808080).
    const uint32_t pixels[3] = {0xFFFF0000u, 0x80808080u, 0xDEADBEEFu};
    std::vector<uint8_t> png = EncodePng(pixels, 2, 1, 3);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    size_t pos = 8;
    std::vector<std::string> types;
    std::vector<uint8_t> idat;
    while (pos + 12 <= png.size()) {
        uint32_t len = Get32(&png[pos]);
        std::string type(png.begin() + long(pos) + 4, png.begin() + long(pos) + 8);
        uint32_t crc = Get32(&png[pos + 8 + len]);
        EXPECT_EQ(crc, uint32_t(crc32(0, &png[pos + 4], len + 4))) << type;
        if (type == "IHDR") {
            EXPECT_EQ(Get32(&png[pos + 8]), 2u);
            EXPECT_EQ(Get32(&png[pos + 12]), 1u);
        }
        if (type == "IDAT") idat.assign(png.begin() + long(pos) + 8, png.begin() + long(pos) + 8 + len);
        types.push_back(type);
        pos += 12 + len;
    }
    EXPECT_EQ(pos, png.size());
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    uint8_t raw[9];
    uLongf n = sizeof raw;
    ASSERT_EQ(uncompress(raw, &n, idat.data(), uLong(idat.size())), Z_OK);
    ASSERT_EQ(n, 9u);
    EXPECT_EQ(std::vector<uint8_t>(raw, raw + 9), (std::vector<uint8_t>{0, 255, 0, 0, 255, 255, 255, 255, 128}));
}
