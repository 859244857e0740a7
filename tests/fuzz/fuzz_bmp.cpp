// fuzz-links: wb_model
// Reads arbitrary bytes as a BMP file image (from memory and inline in an
// archive) and, separately, as a packed DIB; whatever decodes is converted
// back to a DIB and decoded again.
#include <cstddef>
#include <cstdint>

#include "model/display/bmp.h"
#include "model/display/dib.h"
#include "platform/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CBitmap bitmap;
    BITMAPINFOHEADER header;
    if (ReadBmpFromMemory(data, size, bitmap, &header)) {
        int w = 0, h = 0;
        PackedDib again = GetDibFromBitmap(nullptr, bitmap, w, h, nullptr, false);
        CBitmap round;
        if (!CreateBitmapFromDib(again, nullptr, round)) __builtin_trap();
    }
    {
        CArchive ar(data, size);
        CBitmap inline_;
        try {
            ReadBmp(ar, inline_, nullptr, nullptr);
        } catch (const CArchiveException&) {
        }
    }
    PackedDib dib(data, data + size);
    QImage image;
    DibToImage(dib, image);
    (void)DibColourCount(dib);
    (void)DibFindBits(dib);
    return 0;
}
