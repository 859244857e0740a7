#include "platform/text1252.h"

#include <array>

namespace {
// Code points of bytes 0x80..0x9F; the rest of the range equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}

QString FromWindows1252(const std::string& bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes)
        out.append(QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b)));
    return out;
}

std::string ToWindows1252(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar qc : text) {
        char16_t c = qc.unicode();
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) { out.push_back(static_cast<char>(c)); continue; }
        char mapped = '?';
        for (size_t i = 0; i < kHigh.size(); ++i)
            if (kHigh[i] == c) { mapped = static_cast<char>(0x80 + i); break; }
        out.push_back(mapped);
    }
    return out;
}
