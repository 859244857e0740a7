// Writes the RTF of edited label text in the style of the rich-edit
// control's own output: a font table of the faces used (font 0 is the
// label's default font), a colour table, then per paragraph \pard with its
// alignment, indents and tab stops, and per run \plain with the run's
// format.  Characters outside printable ASCII go out as \'hh in the run's
// charset, or as \uN with a '?' stand-in when the charset has no byte.
#include "model/text/rtf_codepage.h"
#include "model/text/rtf_model.h"
#include "platform/numtext.h"

#include <algorithm>

namespace {

struct FontKey {
    CString face;
    int charset;
    int pitchFamily;
    bool operator==(const FontKey&) const = default;
};

const char* FamilyWord(int pitchFamily)
{
    switch (pitchFamily & 0xF0) {
    case 0x10: return "\\froman";
    case 0x20: return "\\fswiss";
    case 0x30: return "\\fmodern";
    case 0x40: return "\\fscript";
    case 0x50: return "\\fdecor";
    default: return "\\fnil";
    }
}

class Writer {
public:
    explicit Writer(const RtfCharFormat& base) : base_(base)
    {
        fonts_.push_back(KeyOf(base));
    }

    std::string Run(const RtfDocument& doc)
    {
        for (const RtfParagraph& p : doc.paragraphs) {
            for (const RtfRun& r : p.runs) Register(r.format);
            Register(p.markFormat);
        }
        std::string out = "{\\rtf1\\ansi\\deff0\\uc1{\\fonttbl";
        for (size_t i = 0; i < fonts_.size(); ++i) {
            const FontKey& f = fonts_[i];
            out += "{\\f" + FormatInt(static_cast<long long>(i)) + FamilyWord(f.pitchFamily);
            if (f.pitchFamily & 0x0F) out += "\\fprq" + FormatInt(f.pitchFamily & 0x0F);
            out += "\\fcharset" + FormatInt(f.charset) + " " + EscapeName(f.face) + ";}";
        }
        out += "}\r\n";
        if (!colors_.empty()) {
            out += "{\\colortbl ;";
            for (uint32_t c : colors_)
                out += "\\red" + FormatInt(c & 0xFF) + "\\green" + FormatInt((c >> 8) & 0xFF) + "\\blue" +
                       FormatInt((c >> 16) & 0xFF) + ";";
            out += "}\r\n";
        }
        for (const RtfParagraph& p : doc.paragraphs) Paragraph(p, &out);
        out += "}";
        return out;
    }

private:
    static FontKey KeyOf(const RtfCharFormat& f)
    {
        int charset = f.charset;
        if (IsSymbolFace(f.face))
            charset = kCharsetSymbol;
        return {f.face, charset, f.pitchFamily};
    }

    void Register(const RtfCharFormat& f)
    {
        FontKey k = KeyOf(f);
        if (std::find(fonts_.begin(), fonts_.end(), k) == fonts_.end()) fonts_.push_back(k);
        if (f.hasColor && std::find(colors_.begin(), colors_.end(), f.color) == colors_.end())
            colors_.push_back(f.color);
    }

    static std::string EscapeName(const CString& face)
    {
        std::string out;
        for (unsigned char c : face) {
            if (c == '\\' || c == '{' || c == '}' || c == ';' || c < 0x20 || c >= 0x80) Hex(c, &out);
            else out.push_back(static_cast<char>(c));
        }
        return out;
    }

    static void Hex(unsigned char b, std::string* out)
    {
        static const char digits[] = "0123456789abcdef";
        *out += "\\'";
        out->push_back(digits[b >> 4]);
        out->push_back(digits[b & 15]);
    }

    std::string FormatWords(const RtfCharFormat& f) const
    {
        const FontKey k = KeyOf(f);
        const size_t font = static_cast<size_t>(std::find(fonts_.begin(), fonts_.end(), k) - fonts_.begin());
        std::string w = "\\plain";
        if (font != 0) w += "\\f" + FormatInt(static_cast<long long>(font));
        // Every run names its size, so the bytes mean the same whatever
        // default format reads them (and the size rescaling finds them).
        w += "\\fs" + FormatInt(f.halfPoints);
        if (f.bold) w += "\\b";
        if (f.italic) w += "\\i";
        if (f.underline) w += "\\ul";
        if (f.strike) w += "\\strike";
        if (f.hasColor) {
            const size_t c = static_cast<size_t>(std::find(colors_.begin(), colors_.end(), f.color) - colors_.begin());
            w += "\\cf" + FormatInt(static_cast<long long>(c + 1));
        }
        // \plain restores the base's effects, which may not be the plain ones.
        if (base_.bold && !f.bold) w += "\\b0";
        if (base_.italic && !f.italic) w += "\\i0";
        if (base_.underline && !f.underline) w += "\\ulnone";
        if (base_.strike && !f.strike) w += "\\strike0";
        if (base_.hasColor && !f.hasColor) w += "\\cf0";
        return w;
    }

    void Paragraph(const RtfParagraph& p, std::string* out) const
    {
        *out += "\\pard";
        switch (p.align) {
        case RtfAlign::Center: *out += "\\qc"; break;
        case RtfAlign::Right: *out += "\\qr"; break;
        case RtfAlign::Justify: *out += "\\qj"; break;
        case RtfAlign::Left: break;
        }
        if (p.leftIndent) *out += "\\li" + FormatInt(p.leftIndent);
        if (p.rightIndent) *out += "\\ri" + FormatInt(p.rightIndent);
        if (p.firstIndent) *out += "\\fi" + FormatInt(p.firstIndent);
        for (int t : p.tabs) *out += "\\tx" + FormatInt(t);
        std::string current;
        for (const RtfRun& r : p.runs) {
            std::string words = FormatWords(r.format);
            if (words != current) {
                *out += words + " ";
                current = words;
            }
            Text(r.text, KeyOf(r.format).charset, out);
        }
        std::string mark = FormatWords(p.markFormat);
        if (mark != current) *out += mark + " ";
        *out += "\\par\r\n";
    }

    static void Text(const QString& text, int charset, std::string* out)
    {
        for (QChar qc : text) {
            const char16_t c = qc.unicode();
            if (c == u'\t') { *out += "\\tab "; continue; }
            if (c == 0x2028) { *out += "\\line "; continue; }
            if (c == 0x00A0) { *out += "\\~"; continue; }
            if (c < 0x20) continue;
            std::string bytes;
            // The symbol charset's bytes stand for U+F000 + byte too; such a
            // byte reads back as that character only where the symbol table
            // maps it to nothing and it is no control byte.
            if (EncodeCharset(charset, c, &bytes) &&
                (charset != kCharsetSymbol || DecodeCharset(charset, bytes) == QString(QChar(c)))) {
                for (unsigned char b : bytes) {
                    if (b == '\\' || b == '{' || b == '}') {
                        out->push_back('\\');
                        out->push_back(static_cast<char>(b));
                    } else if (b >= 0x20 && b < 0x80) {
                        out->push_back(static_cast<char>(b));
                    } else {
                        Hex(b, out);
                    }
                }
                continue;
            }
            *out += "\\u" + FormatInt(static_cast<int16_t>(c)) + "?";
        }
    }

    RtfCharFormat base_;
    std::vector<FontKey> fonts_;
    std::vector<uint32_t> colors_;
};

}  // namespace

std::string WriteRtf(const RtfDocument& doc, const RtfCharFormat& base)
{
    return Writer(base).Run(doc);
}
