// fuzz-links: wb_model
// Reads arbitrary bytes as a BMP file image and, separately, as a packed
// DIB; whatever decodes is converted back to a DIB and decoded again.
#include <cstddef>
#include <cstdint>

#include "model/display/bmp.h"
#include "model/display/dib.h"

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
    PackedDib dib(data, data + size);
    QImage image;
    DibToImage(dib, image);
    (void)DibColourCount(dib);
    (void)DibFindBits(dib);
    return 0;
}
