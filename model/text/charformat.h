// The 60-byte character format that text parts store: the font of plain
// text and the default font of rich text.  The byte layout is the one the
// design files hold (little-endian): size, mask, effects, height in twips,
// baseline offset, colour, charset, pitch and family, 32-byte face name and
// two bytes of padding.
#pragma once

#include "model/text/rtf_model.h"
#include "platform/cstring.h"

#include <array>
#include <cstdint>

constexpr uint32_t kCfmBold = 0x1;
constexpr uint32_t kCfmItalic = 0x2;
constexpr uint32_t kCfmUnderline = 0x4;
constexpr uint32_t kCfmStrikeOut = 0x8;
constexpr uint32_t kCfmCharset = 0x08000000;
constexpr uint32_t kCfmFace = 0x20000000;
constexpr uint32_t kCfmColor = 0x40000000;
constexpr uint32_t kCfmSize = 0x80000000;

constexpr uint32_t kCfeBold = 0x1;
constexpr uint32_t kCfeItalic = 0x2;
constexpr uint32_t kCfeUnderline = 0x4;
constexpr uint32_t kCfeStrikeOut = 0x8;
constexpr uint32_t kCfeAutoColor = 0x40000000;

constexpr size_t kCharFormatBytes = 60;

struct CCharFormat {
    uint32_t size = kCharFormatBytes;
    uint32_t mask = 0;
    uint32_t effects = 0;
    int32_t height = 0;  // twips; 0 means the default height, filled on first use
    int32_t offset = 0;
    uint32_t textColor = 0;  // 0x00BBGGRR
    uint8_t charset = 0;
    uint8_t pitchAndFamily = 0;
    std::array<char, 32> faceName{};
    std::array<uint8_t, 2> padding{};

    CString Face() const;
    void SetFace(const CString& face);  // cut to 31 bytes

    std::array<uint8_t, kCharFormatBytes> ToBytes() const;
    static CCharFormat FromBytes(const uint8_t* bytes);

    bool operator==(const CCharFormat&) const = default;
};

// Bold, italic, underline, strike-out, colour, face, size and charset valid;
// no effects; default height; black; DEFAULT_CHARSET; variable-pitch swiss
// "Arial".
void InitDefaultCharFormat(CCharFormat* cf);

// (logical font height x 72 / pixels per inch, or 8 when that is 0) x 20
// - (180 - pixels per inch) / 2: the height in twips of the default font.
int GetDefaultTextHeightTwips(int logicalFontHeight, int pixelsPerInch);

class CArchive;
// The 60 raw bytes.
void SerializeCharFormat(CArchive& ar, CCharFormat* cf);

// The format of text that names no format of its own in RTF.  A height of 0
// reads as the default height.
RtfCharFormat ToRtfFormat(const CCharFormat& cf, int defaultHeightTwips);
