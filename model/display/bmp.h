// Reading BMP images: a complete BMP file image (14-byte file header,
// 40-byte info header, colour table, pixel rows) from a file or from inside
// a design archive, where the archive continues right after the image.
//
// Every size in the image is checked before it is used: header sizes,
// colour counts, dimensions, the bits offset and the file size, and no
// allocation is larger than the picture the header describes (at most
// kMaxDibPixels pixels).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/display/dib.h"

class CArchive;

// Where the bytes come from.  Read fills exactly `size` bytes or fails.
class CBmpSource {
public:
    virtual ~CBmpSource() = default;
    virtual bool Read(void* buffer, std::size_t size) = 0;
    // Passes over bytes that the picture does not need.
    virtual bool Skip(std::size_t size);
};

class CBmpMemorySource : public CBmpSource {
public:
    CBmpMemorySource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool Read(void* buffer, std::size_t size) override;
    bool Skip(std::size_t size) override;
    std::size_t Position() const { return m_pos; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

enum class BmpResult {
    Ok,
    NotBmp,        // does not start with "BM"
    BadHeader,     // sizes, depth, compression or colour count not acceptable
    TooLarge,      // more pixels than the reader accepts
    Truncated,     // the bytes end before the image does
};

// Reads one BMP file image from the source into a packed DIB (header,
// colour table, pixels).  On success the source stands right after the
// image's last byte (file size bytes from its start).
BmpResult ReadBmpImage(CBmpSource& source, PackedDib& dib, BITMAPINFOHEADER& header);

// Reads a BMP file into the bitmap; 1 on success, 0 on any failure (the
// bitmap keeps its previous picture then).
int ReadBmp(const std::string& fileName, CBitmap& bitmap, BITMAPINFOHEADER* header, CPalette* palette);
// Reads a BMP image from memory (the fuzz target's entry).
int ReadBmpFromMemory(const std::uint8_t* data, std::size_t size, CBitmap& bitmap, BITMAPINFOHEADER* header);
// True when the file starts with "BM".
bool IsBmpFile(const std::string& fileName);
// Reads the BMP image that stands inline in a design archive; the archive
// continues right after it.  1 on success.  A damaged image cannot be
// passed over (its sizes are not to be trusted), so it raises the archive
// exception like any other damaged record: genericException for a bad
// header, endOfFile when the bytes end early.
int ReadBmp(CArchive& ar, CBitmap& bitmap, BITMAPINFOHEADER* header, CPalette* palette);
// The BMP file image of a packed DIB (14-byte file header, then the DIB), as
// pictures are written into files and design archives.
std::vector<std::uint8_t> MakeBmpFileImage(const PackedDib& dib);
