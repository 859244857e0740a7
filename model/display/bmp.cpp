#include "model/display/bmp.h"

#include <QFile>

#include "platform/archive.h"
#include <algorithm>
#include <cstring>

bool CBmpSource::Skip(std::size_t size)
{
    std::uint8_t buffer[4096];
    while (size > 0) {
        const std::size_t n = std::min(size, sizeof buffer);
        if (!Read(buffer, n)) return false;
        size -= n;
    }
    return true;
}

bool CBmpMemorySource::Read(void* buffer, std::size_t size)
{
    if (size > m_size - m_pos) return false;
    if (size) std::memcpy(buffer, m_data + m_pos, size);
    m_pos += size;
    return true;
}

bool CBmpMemorySource::Skip(std::size_t size)
{
    if (size > m_size - m_pos) return false;
    m_pos += size;
    return true;
}

namespace {

class CFileSource : public CBmpSource {
public:
    explicit CFileSource(QFile& file) : m_file(file) {}
    bool Read(void* buffer, std::size_t size) override
    {
        return m_file.read(static_cast<char*>(buffer), static_cast<qint64>(size)) == static_cast<qint64>(size);
    }

private:
    QFile& m_file;
};

class CArchiveSource : public CBmpSource {
public:
    explicit CArchiveSource(CArchive& ar) : m_ar(ar) {}
    bool Read(void* buffer, std::size_t size) override
    {
        m_ar.ReadExact(buffer, size);   // raises endOfFile when the bytes end
        return true;
    }

private:
    CArchive& m_ar;
};

std::uint32_t Get32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }
void Put32(std::uint8_t* p, std::uint32_t v) { p[0] = v & 0xFF; p[1] = (v >> 8) & 0xFF; p[2] = (v >> 16) & 0xFF; p[3] = v >> 24; }

} // namespace

BmpResult ReadBmpImage(CBmpSource& source, PackedDib& dib, BITMAPINFOHEADER& header)
{
    std::uint8_t fileHeader[14];
    if (!source.Read(fileHeader, 2)) return BmpResult::Truncated;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') return BmpResult::NotBmp;
    if (!source.Read(fileHeader + 2, 12)) return BmpResult::Truncated;
    const std::uint32_t fileSize = Get32(fileHeader + 2);
    const std::uint32_t bitsOffset = Get32(fileHeader + 10);

    std::uint8_t info[40];
    if (!source.Read(info, 40)) return BmpResult::Truncated;
    header.Read(info, 40);
    // Only the 40-byte header is read here: its size decides where the
    // colour table starts, so any other value would misplace everything.
    if (header.biSize != 40 || header.biPlanes != 1) return BmpResult::BadHeader;
    const int bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return BmpResult::BadHeader;
    const bool fields = header.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32);
    if (header.biCompression != BI_RGB && !fields) return BmpResult::BadHeader;
    if (bits <= 8 && header.biClrUsed > (1u << bits)) return BmpResult::BadHeader;
    if (bits > 8 && header.biClrUsed > 256) return BmpResult::BadHeader;
    const std::int64_t width = header.biWidth;
    const std::int64_t height = header.biHeight < 0 ? -static_cast<std::int64_t>(header.biHeight) : header.biHeight;
    if (width <= 0 || height <= 0) return BmpResult::BadHeader;
    if (width > CBitmap::kMaxSide || height > CBitmap::kMaxSide || width * height > kMaxDibPixels)
        return BmpResult::TooLarge;

    // The colour table (or the three channel masks) follows the header.
    int colours = 0;
    if (bits <= 8) colours = header.biClrUsed ? static_cast<int>(header.biClrUsed) : (1 << bits);
    else colours = static_cast<int>(header.biClrUsed);
    const std::size_t tableBytes = static_cast<std::size_t>(colours) * 4 + (fields ? 12 : 0);
    const std::size_t headBytes = 14 + 40 + tableBytes;
    const std::int64_t stride = DibStride(width, bits);
    const std::int64_t pixelBytes = stride * height;
    // The pixels stand at the bits offset and run to the file's end.
    if (bitsOffset < headBytes || fileSize < bitsOffset) return BmpResult::BadHeader;
    if (static_cast<std::int64_t>(fileSize - bitsOffset) < pixelBytes) return BmpResult::BadHeader;

    dib.assign(40 + tableBytes + static_cast<std::size_t>(pixelBytes), 0);
    std::memcpy(dib.data(), info, 40);
    // Without biClrUsed the table is as long as the depth allows.
    if (bits <= 8 && header.biClrUsed == 0) {
        BITMAPINFOHEADER h = header;
        h.biClrUsed = static_cast<std::uint32_t>(colours);
        h.Write(dib.data());
    }
    if (tableBytes && !source.Read(dib.data() + 40, tableBytes)) return BmpResult::Truncated;
    if (!source.Skip(bitsOffset - headBytes)) return BmpResult::Truncated;
    if (!source.Read(dib.data() + 40 + tableBytes, static_cast<std::size_t>(pixelBytes))) return BmpResult::Truncated;
    // Bytes after the rows (padding some writers add) keep the source in step.
    if (!source.Skip(static_cast<std::size_t>(fileSize - bitsOffset - pixelBytes))) return BmpResult::Truncated;
    return BmpResult::Ok;
}

int ReadBmpFromMemory(const std::uint8_t* data, std::size_t size, CBitmap& bitmap, BITMAPINFOHEADER* header)
{
    CBmpMemorySource source(data, size);
    PackedDib dib;
    BITMAPINFOHEADER h;
    if (ReadBmpImage(source, dib, h) != BmpResult::Ok) return 0;
    CBitmap fresh;
    if (!CreateBitmapFromDib(dib, nullptr, fresh)) return 0;
    bitmap.Attach(fresh.Image());
    if (header) *header = h;
    return 1;
}

int ReadBmp(const std::string& fileName, CBitmap& bitmap, BITMAPINFOHEADER* header, CPalette* palette)
{
    QFile file(QString::fromLocal8Bit(fileName.c_str()));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    CFileSource source(file);
    PackedDib dib;
    BITMAPINFOHEADER h;
    if (ReadBmpImage(source, dib, h) != BmpResult::Ok) return 0;
    CBitmap fresh;
    if (!CreateBitmapFromDib(dib, palette, fresh)) return 0;
    bitmap.Attach(fresh.Image());
    if (header) *header = h;
    return 1;
}

bool IsBmpFile(const std::string& fileName)
{
    QFile file(QString::fromLocal8Bit(fileName.c_str()));
    if (!file.open(QIODevice::ReadOnly)) return false;
    char magic[2];
    return file.read(magic, 2) == 2 && magic[0] == 'B' && magic[1] == 'M';
}

int ReadBmp(CArchive& ar, CBitmap& bitmap, BITMAPINFOHEADER* header, CPalette* palette)
{
    CArchiveSource source(ar);
    PackedDib dib;
    BITMAPINFOHEADER h;
    const BmpResult r = ReadBmpImage(source, dib, h);
    if (r == BmpResult::Truncated) throw CArchiveException(CArchiveException::endOfFile);
    if (r != BmpResult::Ok) throw CArchiveException(CArchiveException::genericException);
    CBitmap fresh;
    if (!CreateBitmapFromDib(dib, palette, fresh)) throw CArchiveException(CArchiveException::genericException);
    bitmap.Attach(fresh.Image());
    if (header) *header = h;
    return 1;
}

std::vector<std::uint8_t> MakeBmpFileImage(const PackedDib& dib)
{
    std::vector<std::uint8_t> out;
    if (DibHeaderSize(dib) == 0) return out;
    const std::size_t bits = DibFindBits(dib);
    out.assign(14, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out.data() + 2, static_cast<std::uint32_t>(14 + dib.size()));
    Put32(out.data() + 10, static_cast<std::uint32_t>(14 + bits));
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}
