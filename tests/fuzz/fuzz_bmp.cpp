// fuzz-links: wb_model
// Reads arbitrary bytes as a BMP file image (from memory, from a file and
// inline in an archive) and, separately, as a packed DIB.  Whatever decodes
// is encoded again as the program writes pictures into designs, and that
// must decode to the same pixels; it is also drawn, as the canvas would.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "model/display/bmp.h"
#include "model/display/dib.h"
#include "model/display/gdi.h"
#include "platform/archive.h"

namespace {

// The pixels as the screen shows them: colour without the alpha byte.
bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return false;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const std::uint32_t*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const std::uint32_t*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            if ((p[col] ^ q[col]) & 0xFFFFFF) return false;
    }
    return true;
}

void Draw(CBitmap& bitmap)
{
    QImage surface(64, 48, QImage::Format_RGB32);
    surface.fill(Qt::white);
    CDC screen;
    screen.AttachSurface(&surface);
    CDC memory;
    if (!memory.CreateCompatibleDC(&screen)) return;
    CBitmap* old = memory.SelectObject(&bitmap);
    const CSize s = bitmap.GetSize();
    screen.BitBlt(-3, 5, s.cx, s.cy, &memory, 0, 0, SRCCOPY);
    screen.StretchBlt(2, 2, 2 * s.cx + 1, s.cy / 2 + 1, &memory, 0, 0, s.cx, s.cy, SRCAND);
    memory.SelectObject(old);
}

// The file entry reads what the memory entry reads.
void ThroughAFile(const std::uint8_t* data, std::size_t size, const CBitmap& fromMemory, bool memoryOk)
{
    // Only small inputs: a temporary file per input costs more than the rest.
    if (size > 4096) return;
    char name[] = "/tmp/fuzz_bmp_XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return;
    const bool written = write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    if (written) {
        CBitmap fromFile;
        const bool fileOk = ReadBmp(std::string(name), fromFile, nullptr, nullptr) == 1;
        if (fileOk != memoryOk) std::abort();
        if (fileOk && !SamePixels(fromFile.Image(), fromMemory.Image())) std::abort();
    }
    unlink(name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CBitmap bitmap;
    BITMAPINFOHEADER header;
    const bool ok = ReadBmpFromMemory(data, size, bitmap, &header) == 1;
    if (ok) {
        int w = 0, h = 0;
        PackedDib again = GetDibFromBitmap(nullptr, bitmap, w, h, nullptr, false);
        const std::vector<std::uint8_t> file = MakeBmpFileImage(again);
        CBitmap round;
        if (ReadBmpFromMemory(file.data(), file.size(), round, nullptr) != 1) std::abort();
        if (!SamePixels(round.Image(), bitmap.Image())) std::abort();
        Draw(round);
    }
    ThroughAFile(data, size, bitmap, ok);
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
