#include "model/text/charformat.h"

#include "platform/archive.h"

#include <algorithm>
#include <cstring>

namespace {

void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

CString CCharFormat::Face() const
{
    size_t n = 0;
    while (n < faceName.size() && faceName[n]) ++n;
    return CString(faceName.data(), n);
}

void CCharFormat::SetFace(const CString& face)
{
    faceName.fill(0);
    std::memcpy(faceName.data(), face.data(), std::min(face.size(), faceName.size() - 1));
}

std::array<uint8_t, kCharFormatBytes> CCharFormat::ToBytes() const
{
    std::array<uint8_t, kCharFormatBytes> b{};
    Put32(&b[0], size);
    Put32(&b[4], mask);
    Put32(&b[8], effects);
    Put32(&b[12], static_cast<uint32_t>(height));
    Put32(&b[16], static_cast<uint32_t>(offset));
    Put32(&b[20], textColor);
    b[24] = charset;
    b[25] = pitchAndFamily;
    std::memcpy(&b[26], faceName.data(), faceName.size());
    b[58] = padding[0];
    b[59] = padding[1];
    return b;
}

CCharFormat CCharFormat::FromBytes(const uint8_t* b)
{
    CCharFormat cf;
    cf.size = Get32(&b[0]);
    cf.mask = Get32(&b[4]);
    cf.effects = Get32(&b[8]);
    cf.height = static_cast<int32_t>(Get32(&b[12]));
    cf.offset = static_cast<int32_t>(Get32(&b[16]));
    cf.textColor = Get32(&b[20]);
    cf.charset = b[24];
    cf.pitchAndFamily = b[25];
    std::memcpy(cf.faceName.data(), &b[26], cf.faceName.size());
    cf.padding = {b[58], b[59]};
    return cf;
}

void InitDefaultCharFormat(CCharFormat* cf)
{
    *cf = CCharFormat{};
    cf->mask = 0xE800000F;
    cf->charset = 1;
    cf->pitchAndFamily = 0x22;
    cf->SetFace("Arial");
}

int GetDefaultTextHeightTwips(int logicalFontHeight, int pixelsPerInch)
{
    int points = pixelsPerInch > 0 ? logicalFontHeight * 72 / pixelsPerInch : 0;
    if (points == 0) points = 8;
    return points * 20 - (180 - pixelsPerInch) / 2;
}

RtfCharFormat ToRtfFormat(const CCharFormat& cf, int defaultHeightTwips)
{
    RtfCharFormat f;
    const CString face = cf.Face();
    if ((cf.mask & kCfmFace) && !face.empty()) {
        f.face = face;
        f.pitchFamily = cf.pitchAndFamily;
    }
    if (cf.mask & kCfmCharset) f.charset = cf.charset == kCharsetDefault ? kCharsetAnsi : cf.charset;
    const int twips = (cf.mask & kCfmSize) && cf.height > 0 ? cf.height : defaultHeightTwips;
    f.halfPoints = std::clamp(twips / 10, 1, 3276);
    f.bold = (cf.mask & kCfmBold) && (cf.effects & kCfeBold);
    f.italic = (cf.mask & kCfmItalic) && (cf.effects & kCfeItalic);
    f.underline = (cf.mask & kCfmUnderline) && (cf.effects & kCfeUnderline);
    f.strike = (cf.mask & kCfmStrikeOut) && (cf.effects & kCfeStrikeOut);
    f.hasColor = (cf.mask & kCfmColor) && !(cf.effects & kCfeAutoColor) && (cf.textColor & 0xFFFFFF) != 0;
    f.color = f.hasColor ? cf.textColor & 0xFFFFFF : 0;
    return f;
}

void SerializeCharFormat(CArchive& ar, CCharFormat* cf)
{
    if (ar.IsStoring()) {
        const auto bytes = cf->ToBytes();
        ar.Write(bytes.data(), bytes.size());
    } else {
        std::array<uint8_t, kCharFormatBytes> bytes{};
        ar.ReadExact(bytes.data(), bytes.size());
        *cf = CCharFormat::FromBytes(bytes.data());
    }
}
