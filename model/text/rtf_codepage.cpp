#include "model/text/rtf_codepage.h"

#include "model/text/rtf_model.h"
#include "platform/text1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace {

constexpr char16_t kNone = 0;

// Symbol font bytes 0x20..0x7E.
constexpr std::array<char16_t, 95> kSymbolLow = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B,  // 20
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,  // 28
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  // 30
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  // 38
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,  // 40
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,  // 48
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,  // 50
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,  // 58
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,  // 60
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,  // 68
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,  // 70
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C,          // 78
};

// Symbol font bytes 0xA0..0xFF; kNone where only the private-use area fits
// (bracket pieces, the logo slot) or where an earlier byte has the same sign.
constexpr std::array<char16_t, 96> kSymbolHigh = {
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,  // A0
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,  // A8
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,  // B0
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,  // B8
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,  // C0
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,  // C8
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,  // D0
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,  // D8
    0x25CA, 0x2329, kNone,  kNone,  kNone,  0x2211, kNone,  kNone,   // E0
    kNone,  kNone,  kNone,  kNone,  kNone,  kNone,  kNone,  kNone,   // E8
    kNone,  0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, kNone,  kNone,   // F0
    kNone,  kNone,  kNone,  kNone,  kNone,  kNone,  kNone,  kNone,   // F8
};

// Windows-1253 bytes 0x80..0xBF; 0xC0..0xFE are U+0390 + (byte - 0xC0)
// except the unused 0xD2.  Unused bytes map to their own code point.
constexpr std::array<char16_t, 64> kGreekHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x008A, 0x2039, 0x008C, 0x008D, 0x008E, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x009A, 0x203A, 0x009C, 0x009D, 0x009E, 0x009F,  // 98
    0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F,  // B8
};

char16_t GreekToUnicode(unsigned char b)
{
    if (b < 0x80) return b;
    if (b < 0xC0) return kGreekHigh[b - 0x80];
    if (b == 0xD2 || b == 0xFF) return b;
    return static_cast<char16_t>(0x0390 + (b - 0xC0));
}

// ICU code-page names of the other charsets of RTF font tables.
const char* CodecName(int charset)
{
    switch (charset) {
    case 77: return "macintosh";
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 134: return "GBK";
    case 136: return "Big5";
    case 162: return "windows-1254";
    case 163: return "windows-1258";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 238: return "windows-1250";
    case 255: return "IBM437";
    default: return nullptr;
    }
}

}  // namespace

char16_t SymbolToUnicode(unsigned char b)
{
    char16_t c = kNone;
    if (b >= 0x20 && b < 0x7F) c = kSymbolLow[b - 0x20];
    else if (b >= 0xA0) c = kSymbolHigh[b - 0xA0];
    return c != kNone ? c : static_cast<char16_t>(0xF000 + b);
}

bool IsSymbolFace(std::string_view face)
{
    constexpr std::string_view kSymbol = "symbol";
    if (face.size() != kSymbol.size()) return false;
    for (size_t i = 0; i < face.size(); ++i) {
        const char c = face[i] >= 'A' && face[i] <= 'Z' ? static_cast<char>(face[i] - 'A' + 'a') : face[i];
        if (c != kSymbol[i]) return false;
    }
    return true;
}

QString DecodeCharset(int charset, const std::string& bytes)
{
    QString out;
    if (charset == kCharsetSymbol) {
        for (unsigned char b : bytes) out.append(QChar(b < 0x20 ? char16_t(b) : SymbolToUnicode(b)));
        return out;
    }
    if (charset == kCharsetGreek) {
        for (unsigned char b : bytes) out.append(QChar(GreekToUnicode(b)));
        return out;
    }
    if (const char* name = CodecName(charset)) {
        QStringDecoder decoder(name);
        if (decoder.isValid()) return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    return FromWindows1252(bytes);
}

bool EncodeCharset(int charset, char16_t c, std::string* out)
{
    if (charset == kCharsetSymbol) {
        if (c < 0x20) { out->push_back(static_cast<char>(c)); return true; }
        if (c >= 0xF000 && c <= 0xF0FF) { out->push_back(static_cast<char>(c - 0xF000)); return true; }
        for (int b = 0x20; b < 0x100; ++b)
            if (SymbolToUnicode(static_cast<unsigned char>(b)) == c) { out->push_back(static_cast<char>(b)); return true; }
        return false;
    }
    if (charset == kCharsetGreek) {
        for (int b = 0; b < 0x100; ++b)
            if (GreekToUnicode(static_cast<unsigned char>(b)) == c) { out->push_back(static_cast<char>(b)); return true; }
        return false;
    }
    if (const char* name = CodecName(charset)) {
        QStringEncoder encoder(name, QStringConverter::Flag::ConvertInvalidToNull);
        if (encoder.isValid()) {
            QByteArray bytes = encoder.encode(QStringView(&c, 1));
            if (encoder.hasError() || bytes.isEmpty() || (bytes.size() == 1 && bytes[0] == 0 && c != 0)) return false;
            // Converters map some characters to a look-alike byte; only a
            // byte that reads back as the same character will do.
            if (DecodeCharset(charset, bytes.toStdString()) != QString(QChar(c))) return false;
            out->append(bytes.constData(), static_cast<size_t>(bytes.size()));
            return true;
        }
    }
    // Windows-1252 keeps ASCII and Latin-1's upper half as they are; only
    // the 0x80 row needs its table (a string made per character was a tenth
    // of the writer's time under the sanitizers).
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
        out->push_back(static_cast<char>(c));
        return true;
    }
    std::string b = ToWindows1252(QString(QChar(c)));
    if (b == "?" && c != u'?') return false;
    out->append(b);
    return true;
}
