#include "movieplayer/character/bitmap_decode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <zlib.h>

namespace movie {

namespace {

// libjpeg's default error handler prints and calls exit(); this one jumps
// back to the decoder, which reports failure.
struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

void JpegSilence(j_common_ptr, int) {}
void JpegNoOutput(j_common_ptr) {}

// Reads from memory; when the data runs out it supplies an end-of-image
// marker, so a truncated image ends instead of waiting for more.
struct JpegSource {
    jpeg_source_mgr mgr;
    const uint8_t* data;
    size_t size;
    bool given;
};

const JOCTET kEndOfImage[2] = {0xFF, 0xD9};

void SourceInit(j_decompress_ptr) {}

boolean SourceFill(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<JpegSource*>(cinfo->src);
    if (!src->given && src->size > 0) {
        src->mgr.next_input_byte = src->data;
        src->mgr.bytes_in_buffer = src->size;
        src->given = true;
    } else {
        src->mgr.next_input_byte = kEndOfImage;
        src->mgr.bytes_in_buffer = 2;
    }
    return TRUE;
}

void SourceSkip(j_decompress_ptr cinfo, long n)
{
    auto* src = reinterpret_cast<JpegSource*>(cinfo->src);
    while (n > 0) {
        if (src->mgr.bytes_in_buffer == 0) SourceFill(cinfo);
        size_t step = size_t(n) < src->mgr.bytes_in_buffer ? size_t(n) : src->mgr.bytes_in_buffer;
        src->mgr.next_input_byte += step;
        src->mgr.bytes_in_buffer -= step;
        n -= long(step);
        // The synthetic marker is never skipped past.
        if (src->given && src->mgr.next_input_byte == kEndOfImage + 2) break;
    }
}

void SourceTerm(j_decompress_ptr) {}

void SetSource(JpegSource* src, const uint8_t* data, size_t size)
{
    src->mgr.init_source = SourceInit;
    src->mgr.fill_input_buffer = SourceFill;
    src->mgr.skip_input_data = SourceSkip;
    src->mgr.resync_to_restart = jpeg_resync_to_restart;
    src->mgr.term_source = SourceTerm;
    src->mgr.next_input_byte = nullptr;
    src->mgr.bytes_in_buffer = 0;
    src->data = data;
    src->size = size;
    src->given = false;
}

// Some writers put a stray end-of-image marker before the start of image.
void SkipStrayMarkers(const uint8_t*& data, size_t& size)
{
    if (size >= 4 && data[0] == 0xFF && data[1] == 0xD9 && data[2] == 0xFF && data[3] == 0xD8) {
        data += 4;
        size -= 4;
    }
}

// Decodes into out (allocated here, once the size is known and checked).
// Only trivially destructible locals live between setjmp and longjmp, and
// no argument changes after setjmp.
bool DecodeJpegInto(const uint8_t* tables, size_t tablesSize, const uint8_t* data, size_t size,
                    DecodedBitmap* out)
{
    jpeg_decompress_struct cinfo;
    JpegError err;
    JpegSource src;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegErrorExit;
    err.mgr.emit_message = JpegSilence;
    err.mgr.output_message = JpegNoOutput;
    // Changed after setjmp and used after a longjmp, so volatile.
    JSAMPLE* volatile row = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(row);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.src = &src.mgr;
    if (tables && tablesSize > 0) {
        SetSource(&src, tables, tablesSize);
        jpeg_read_header(&cinfo, FALSE);
    }
    SetSource(&src, data, size);
    // The image may itself begin with a table-only stream.
    int r = jpeg_read_header(&cinfo, FALSE);
    if (r == JPEG_HEADER_TABLES_ONLY) r = jpeg_read_header(&cinfo, TRUE);
    if (r != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxBitmapSide ||
        cinfo.image_height > kMaxBitmapSide ||
        uint64_t(cinfo.image_width) * cinfo.image_height > kMaxBitmapPixels) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out->width = int(cinfo.output_width);
    out->height = int(cinfo.output_height);
    // The pixels belong to the caller, so a longjmp past this frame leaks
    // nothing.
    try {
        out->pixels.resize(size_t(out->width) * size_t(out->height));
    } catch (const std::bad_alloc&) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    row = static_cast<JSAMPLE*>(std::malloc(size_t(out->width) * 3));
    if (!row) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {static_cast<JSAMPROW>(row)};
        size_t y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
        uint32_t* dst = out->pixels.data() + y * size_t(out->width);
        const JSAMPLE* rgb = row;
        for (int x = 0; x < out->width; ++x)
            dst[x] = 0xFF000000u | uint32_t(rgb[3 * x]) << 16 | uint32_t(rgb[3 * x + 1]) << 8 | rgb[3 * x + 2];
    }
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::free(row);
    return true;
}

}  // namespace

BitmapRecord* DecodedBitmap::Record()
{
    if (record) return record.get();
    std::unique_ptr<BitmapRecord> r(new (std::nothrow) BitmapRecord);
    if (!r || !r->Init(kBitmap32, width, height, nullptr)) return nullptr;
    // 0xAARRGGBB words are blue, green, red, alpha bytes in memory, the
    // 32-bit format's order.
    for (int y = 0; y < height; ++y)
        std::memcpy(r->pixels + size_t(y) * size_t(r->rowBytes), pixels.data() + size_t(y) * size_t(width),
                    size_t(width) * 4);
    r->hasAlpha = hasAlpha;
    record = std::move(r);
    std::vector<uint32_t>().swap(pixels);   // one copy of the pixels is enough
    return record.get();
}

long InflateInto(const uint8_t* data, size_t size, uint8_t* out, size_t outSize)
{
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (inflateInit(&z) != Z_OK) return -1;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(size);
    z.next_out = out;
    z.avail_out = uInt(outSize);
    int r = Z_OK;
    while (z.avail_out > 0 && r == Z_OK) r = inflate(&z, Z_NO_FLUSH);
    long produced = long(outSize - z.avail_out);
    inflateEnd(&z);
    if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) return -1;
    return produced;
}

std::shared_ptr<DecodedBitmap> DecodeJpeg(const uint8_t* tables, size_t tablesSize, const uint8_t* data,
                                          size_t size)
{
    auto bm = std::shared_ptr<DecodedBitmap>(new (std::nothrow) DecodedBitmap);
    if (!bm) return nullptr;
    if (tables) SkipStrayMarkers(tables, tablesSize);
    SkipStrayMarkers(data, size);
    try {
        if (!DecodeJpegInto(tables, tablesSize, data, size, bm.get())) return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return bm;
}

std::shared_ptr<DecodedBitmap> DecodeJpegWithAlpha(const uint8_t* body, size_t size)
{
    if (size < 4) return nullptr;
    size_t jpegSize = body[0] | size_t(body[1]) << 8 | size_t(body[2]) << 16 | size_t(body[3]) << 24;
    if (jpegSize > size - 4) return nullptr;
    auto bm = DecodeJpeg(nullptr, 0, body + 4, jpegSize);
    if (!bm) return nullptr;
    const uint8_t* alpha = body + 4 + jpegSize;
    size_t alphaSize = size - 4 - jpegSize;
    size_t n = bm->pixels.size();
    std::vector<uint8_t> plane;
    try {
        plane.assign(n, 255);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    // A missing or short alpha plane leaves the rest opaque.
    if (alphaSize > 0 && InflateInto(alpha, alphaSize, plane.data(), n) < 0) return nullptr;
    bm->hasAlpha = true;
    for (size_t i = 0; i < n; ++i) {
        uint32_t a = plane[i], p = bm->pixels[i];
        uint32_t r = std::min<uint32_t>((p >> 16) & 0xFF, a);
        uint32_t g = std::min<uint32_t>((p >> 8) & 0xFF, a);
        uint32_t b = std::min<uint32_t>(p & 0xFF, a);
        bm->pixels[i] = a << 24 | r << 16 | g << 8 | b;
    }
    return bm;
}

std::shared_ptr<DecodedBitmap> DecodeLossless(const uint8_t* body, size_t size, bool alpha)
{
    if (size < 5) return nullptr;
    int format = body[0];
    uint32_t width = body[1] | uint32_t(body[2]) << 8;
    uint32_t height = body[3] | uint32_t(body[4]) << 8;
    if (width == 0 || height == 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        uint64_t(width) * height > kMaxBitmapPixels)
        return nullptr;
    static const int kBits[6] = {1, 2, 4, 8, 16, 32};
    if (format > 5) return nullptr;
    int bits = kBits[format];
    size_t rowBytes = ((size_t(width) * bits + 31) / 32) * 4;
    size_t pos = 5;
    int tableSize = 0;
    if (format <= 3) {
        if (size < 6) return nullptr;
        tableSize = body[5] + 1;
        pos = 6;
    }
    int entryBytes = alpha ? 4 : 3;
    size_t tableBytes = size_t(tableSize) * entryBytes;
    std::vector<uint8_t> raw;
    auto bm = std::shared_ptr<DecodedBitmap>(new (std::nothrow) DecodedBitmap);
    if (!bm) return nullptr;
    try {
        raw.resize(tableBytes + rowBytes * height);
        bm->pixels.resize(size_t(width) * height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    long got = InflateInto(body + pos, size - pos, raw.data(), raw.size());
    if (got < long(tableBytes)) return nullptr;
    // Rows the data did not reach stay zero (transparent or black).
    bm->width = int(width);
    bm->height = int(height);
    bm->hasAlpha = alpha;

    auto premultiplied = [](uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
        r = std::min(r, a);
        g = std::min(g, a);
        b = std::min(b, a);
        return a << 24 | r << 16 | g << 8 | b;
    };
    uint32_t table[256] = {};
    for (int i = 0; i < tableSize; ++i) {
        const uint8_t* e = raw.data() + size_t(i) * entryBytes;
        uint32_t a = alpha ? e[3] : 255;
        if (a < 255) bm->hasAlpha = true;
        table[i] = premultiplied(a, e[0], e[1], e[2]);
    }
    const uint8_t* rows = raw.data() + tableBytes;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* src = rows + size_t(y) * rowBytes;
        uint32_t* dst = bm->pixels.data() + size_t(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t p = 0;
            if (format <= 3) {
                // First pixel in the highest bits of a byte.
                size_t bit = size_t(x) * bits;
                unsigned index = (src[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1);
                // An index beyond the table draws nothing.
                p = int(index) < tableSize ? table[index] : 0;
            } else if (format == 4) {
                // 16-bit big-endian 0RRRRRGG GGGBBBBB.
                unsigned v = unsigned(src[2 * x]) << 8 | src[2 * x + 1];
                uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                p = premultiplied(255, r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
            } else {
                const uint8_t* e = src + 4 * size_t(x);   // alpha (or padding), red, green, blue
                p = premultiplied(alpha ? e[0] : 255, e[1], e[2], e[3]);
            }
            dst[x] = p;
        }
    }
    return bm;
}

}  // namespace movie
