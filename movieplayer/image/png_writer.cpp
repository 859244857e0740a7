#include "movieplayer/image/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>

namespace movie {

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

// A chunk: length, type, data, CRC of type and data.
void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    Put32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    Put32(out, uint32_t(crc));
}

}  // namespace

std::vector<uint8_t> EncodePng(const uint32_t* pixels, int width, int height, int stride)
{
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Put32(header, uint32_t(width));
    Put32(header, uint32_t(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});   // 8 bits, RGBA, deflate, no filter, no interlace
    Chunk(out, "IHDR", header);

    std::vector<uint8_t> raw;
    raw.reserve(size_t(height) * (size_t(width) * 4 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);   // filter: none
        const uint32_t* row = pixels + size_t(y) * size_t(stride);
        for (int x = 0; x < width; ++x) {
            uint32_t p = row[x];
            uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (a != 0 && a != 255) {
                r = std::min<uint32_t>(255, (r * 255 + a / 2) / a);
                g = std::min<uint32_t>(255, (g * 255 + a / 2) / a);
                b = std::min<uint32_t>(255, (b * 255 + a / 2) / a);
            }
            raw.insert(raw.end(), {uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a)});
        }
    }
    uLongf n = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(n);
    if (compress2(packed.data(), &n, raw.data(), uLong(raw.size()), 6) != Z_OK) return {};
    packed.resize(n);
    Chunk(out, "IDAT", packed);
    Chunk(out, "IEND", {});
    return out;
}

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int stride)
{
    std::vector<uint8_t> png = EncodePng(pixels, width, height, stride);
    if (png.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace movie
