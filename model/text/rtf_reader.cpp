// A forgiving RTF reader for the subset that labels use: font and colour
// tables, character formats, paragraphs with alignment, indents and tab
// stops, line breaks, tabs, \'hh and \u escapes.  Destinations it does not
// show (\* groups, style sheets, document info, pictures, headers) are
// skipped whole.  It never throws and never reads past the input: nesting
// deeper than kMaxDepth is skipped, numbers saturate, truncated escapes end
// the text.
#include "model/text/rtf_codepage.h"
#include "model/text/rtf_model.h"

#include <algorithm>
#include <array>
#include <map>

namespace {

constexpr int kMaxDepth = 200;
constexpr int kMaxTabs = 64;
constexpr int kMaxTwips = 31680;  // 22 inches, the largest page RTF allows
constexpr int kMaxHalfPoints = 3276;
// A label holds a few lines; past this many paragraphs, breaks become line
// breaks so that a file full of \par cannot make millions of paragraphs.
constexpr size_t kMaxParagraphs = 10000;

enum class Dest { Text, FontTable, FontEntry, ColorTable, Skip };

struct FontDef {
    CString name;
    int charset = -1;  // -1: not given, the document's code page applies
    int pitchFamily = 0;
};

struct Color {
    bool isAuto = true;
    uint32_t rgb = 0;
};

struct State {
    Dest dest = Dest::Text;
    int font = -1;  // -1: the default font
    RtfCharFormat fmt;
    RtfAlign align = RtfAlign::Left;
    int leftIndent = 0, rightIndent = 0, firstIndent = 0;
    std::vector<int> tabs;
    int uc = 1;
};

// Destinations whose content is not text of the label.
constexpr std::array<std::string_view, 40> kSkipped = {
    "stylesheet", "info",      "pict",       "object",     "header",      "footer",
    "headerl",    "headerr",   "headerf",    "footerl",    "footerr",     "footerf",
    "footnote",   "fldinst",   "xe",         "tc",         "txe",         "annotation",
    "atnid",      "atnauthor", "bkmkstart",  "bkmkend",    "listtable",   "listoverridetable",
    "revtbl",     "rsidtbl",   "generator",  "pntext",     "pntxta",      "pntxtb",
    "listtext",   "themedata", "colorschememapping", "latentstyles", "datastore", "filetbl",
    "private",    "nonshppict", "shpinst",   "template",
};

int CharsetOfCodePage(int cp)
{
    switch (cp) {
    case 1253: return kCharsetGreek;
    case 1250: return 238;
    case 1251: return 204;
    case 1254: return 162;
    case 1255: return 177;
    case 1256: return 178;
    case 1257: return 186;
    case 1258: return 163;
    case 874: return 222;
    case 932: return 128;
    case 936: return 134;
    case 949: return 129;
    case 950: return 136;
    default: return kCharsetAnsi;
    }
}

int Clamp(long long v, int lo, int hi)
{
    return static_cast<int>(std::clamp<long long>(v, lo, hi));
}

class Reader {
public:
    Reader(std::string_view in, const RtfCharFormat& base) : in_(in), base_(base)
    {
        st_.fmt = base;
    }

    RtfDocument Run()
    {
        while (pos_ < in_.size() && !done_) Step();
        if (!done_) Finish();
        return std::move(doc_);
    }

private:
    void Step()
    {
        const char c = in_[pos_++];
        switch (c) {
        case '{': Open(); break;
        case '}': Close(); break;
        case '\\': Control(); break;
        case '\r':
        case '\n': break;  // line ends of the file are not text
        default: Byte(static_cast<unsigned char>(c)); break;
        }
    }

    void Open()
    {
        Flush();
        skip_ = 0;
        if (overflow_ > 0 || stack_.size() >= kMaxDepth) { ++overflow_; return; }
        stack_.push_back(st_);
        if (st_.dest == Dest::FontTable) {
            st_.dest = Dest::FontEntry;
            BeginFont();
        } else if (st_.dest == Dest::FontEntry || st_.dest == Dest::ColorTable) {
            st_.dest = Dest::Skip;  // \*\panose, \*\falt and the like
        }
    }

    void Close()
    {
        Flush();
        skip_ = 0;
        if (overflow_ > 0) { --overflow_; return; }
        if (st_.dest == Dest::FontEntry && fontOpen_) CommitFont();
        if (stack_.empty()) return;  // a stray brace before the document
        if (stack_.size() == 1) {  // the document group ends here
            Finish();
            done_ = true;
            return;
        }
        st_ = std::move(stack_.back());
        stack_.pop_back();
    }

    bool Skipping() const { return overflow_ > 0 || st_.dest == Dest::Skip; }

    void Control()
    {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (!IsLetter(c)) {
            ++pos_;
            Symbol(c);
            return;
        }
        size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
        std::string_view word = in_.substr(start, std::min<size_t>(pos_ - start, 32));
        bool hasParam = false;
        bool negative = false;
        long long param = 0;
        if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            hasParam = true;
            param = std::min<long long>(param * 10 + (in_[pos_] - '0'), 1000000000000LL);
            ++pos_;
        }
        if (negative) param = -param;
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        Word(word, hasParam, param);
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    static int HexValue(char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    void Symbol(char c)
    {
        if (c == '\'') {
            int v = 0, digits = 0;
            while (digits < 2 && pos_ < in_.size() && HexValue(in_[pos_]) >= 0) {
                v = v * 16 + HexValue(in_[pos_++]);
                ++digits;
            }
            if (digits == 0) return;
            if (Skipping()) return;
            if (ConsumeSkip()) return;
            EscapedByte(static_cast<unsigned char>(v));
            return;
        }
        if (c == '*') {
            Flush();
            if (!Skipping() && !stack_.empty()) st_.dest = Dest::Skip;
            return;
        }
        if (Skipping()) return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            if (ConsumeSkip()) return;
            EscapedByte(static_cast<unsigned char>(c));
            return;
        case '\r':
        case '\n':
            Flush();
            if (ConsumeSkip()) return;
            if (st_.dest == Dest::Text) EndParagraph();
            return;
        case '~': Special(u'\u00A0'); return;
        case '_': Special(u'\u2011'); return;
        default: Flush(); ConsumeSkip(); return;  // \- \| \: and unknown symbols
        }
    }

    // Consumes one of the characters that stand in for the last \u.
    bool ConsumeSkip()
    {
        if (skip_ <= 0) return false;
        --skip_;
        return true;
    }

    void Special(char16_t ch)
    {
        Flush();
        if (ConsumeSkip()) return;
        if (st_.dest == Dest::Text) AppendText(QString(QChar(ch)));
    }

    void Word(std::string_view w, bool hasParam, long long param)
    {
        Flush();
        if (w == "bin") {
            // Binary data: its bytes are not RTF, whatever they look like.
            size_t n = hasParam && param > 0 ? static_cast<size_t>(param) : 0;
            pos_ += std::min(n, in_.size() - pos_);
            return;
        }
        if (Skipping()) return;
        if (skip_ > 0) { --skip_; return; }
        const int p = Clamp(param, -1000000000, 1000000000);
        const bool on = !hasParam || param != 0;

        if (st_.dest == Dest::FontTable || st_.dest == Dest::FontEntry) {
            FontWord(w, hasParam, p);
            return;
        }
        if (st_.dest == Dest::ColorTable) {
            int v = Clamp(param, 0, 255);
            if (w == "red") { red_ = v; colorGiven_ = true; }
            else if (w == "green") { green_ = v; colorGiven_ = true; }
            else if (w == "blue") { blue_ = v; colorGiven_ = true; }
            return;
        }
        RtfCharFormat& f = st_.fmt;
        if (w == "par" || w == "sect" || w == "page") EndParagraph();
        else if (w == "line") AppendText(QString(QChar(u'\u2028')));
        else if (w == "tab") AppendText(QStringLiteral("\t"));
        else if (w == "u") {
            long long v = param % 65536;
            if (v < 0) v += 65536;
            AppendText(QString(QChar(static_cast<char16_t>(v))));
            skip_ = st_.uc;
        }
        else if (w == "uc") st_.uc = Clamp(param, 0, 10);
        else if (w == "fonttbl") st_.dest = Dest::FontTable;
        else if (w == "colortbl") { st_.dest = Dest::ColorTable; red_ = green_ = blue_ = 0; colorGiven_ = false; }
        else if (w == "ansicpg") docCharset_ = CharsetOfCodePage(p);
        else if (w == "deff") deff_ = p;
        else if (w == "plain") { st_.font = -1; f = base_; }
        else if (w == "f") st_.font = p;
        else if (w == "fs") f.halfPoints = hasParam ? Clamp(param, 1, kMaxHalfPoints) : 24;
        else if (w == "b") f.bold = on;
        else if (w == "i") f.italic = on;
        else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth") f.underline = on;
        else if (w == "ulnone") f.underline = false;
        else if (w == "strike" || w == "striked") f.strike = on;
        else if (w == "cf") {
            if (p >= 0 && p < static_cast<int>(colors_.size()) && !colors_[static_cast<size_t>(p)].isAuto) {
                f.hasColor = true;
                f.color = colors_[static_cast<size_t>(p)].rgb;
            } else {
                f.hasColor = false;
                f.color = 0;
            }
        }
        else if (w == "pard") {
            st_.align = RtfAlign::Left;
            st_.leftIndent = st_.rightIndent = st_.firstIndent = 0;
            st_.tabs.clear();
        }
        else if (w == "ql") st_.align = RtfAlign::Left;
        else if (w == "qc") st_.align = RtfAlign::Center;
        else if (w == "qr") st_.align = RtfAlign::Right;
        else if (w == "qj") st_.align = RtfAlign::Justify;
        else if (w == "li") st_.leftIndent = Clamp(param, -kMaxTwips, kMaxTwips);
        else if (w == "ri") st_.rightIndent = Clamp(param, -kMaxTwips, kMaxTwips);
        else if (w == "fi") st_.firstIndent = Clamp(param, -kMaxTwips, kMaxTwips);
        else if (w == "tx") {
            if (st_.tabs.size() < kMaxTabs) st_.tabs.push_back(Clamp(param, 0, kMaxTwips));
        }
        else if (w == "emdash") AppendText(QString(QChar(u'\u2014')));
        else if (w == "endash") AppendText(QString(QChar(u'\u2013')));
        else if (w == "emspace") AppendText(QString(QChar(u'\u2003')));
        else if (w == "enspace") AppendText(QString(QChar(u'\u2002')));
        else if (w == "bullet") AppendText(QString(QChar(u'\u2022')));
        else if (w == "lquote") AppendText(QString(QChar(u'\u2018')));
        else if (w == "rquote") AppendText(QString(QChar(u'\u2019')));
        else if (w == "ldblquote") AppendText(QString(QChar(u'\u201C')));
        else if (w == "rdblquote") AppendText(QString(QChar(u'\u201D')));
        else if (std::find(kSkipped.begin(), kSkipped.end(), w) != kSkipped.end()) st_.dest = Dest::Skip;
    }

    void FontWord(std::string_view w, bool hasParam, int p)
    {
        if (w == "f") {
            if (!fontOpen_) BeginFont();
            fontNumber_ = p;
        }
        else if (w == "fcharset") font_.charset = std::clamp(p, 0, 255);
        else if (w == "fprq") font_.pitchFamily = (font_.pitchFamily & 0xF0) | (std::clamp(p, 0, 2));
        else if (w == "fnil") SetFamily(0x00);
        else if (w == "froman") SetFamily(0x10);
        else if (w == "fswiss") SetFamily(0x20);
        else if (w == "fmodern") SetFamily(0x30);
        else if (w == "fscript") SetFamily(0x40);
        else if (w == "fdecor") SetFamily(0x50);
        else if (w == "ftech" || w == "fbidi") SetFamily(0x00);
        else if (std::find(kSkipped.begin(), kSkipped.end(), w) != kSkipped.end() && st_.dest == Dest::FontEntry)
            st_.dest = Dest::Skip;
    }

    void SetFamily(int family)
    {
        if (!fontOpen_) BeginFont();
        font_.pitchFamily = (font_.pitchFamily & 0x0F) | family;
    }

    void BeginFont()
    {
        font_ = FontDef{};
        fontNumber_ = 0;
        fontName_.clear();
        fontOpen_ = true;
    }

    void CommitFont()
    {
        std::string name = fontName_;
        while (!name.empty() && name.back() == ' ') name.pop_back();
        while (!name.empty() && name.front() == ' ') name.erase(name.begin());
        font_.name = name;
        if (fonts_.size() < 4096 || fonts_.count(fontNumber_)) fonts_[fontNumber_] = font_;
        fontOpen_ = false;
        fontName_.clear();
    }

    // A byte of text, or of a table's entry.
    void Byte(unsigned char b)
    {
        if (Skipping()) return;
        if (st_.dest == Dest::FontTable || st_.dest == Dest::FontEntry) {
            if (b == ';') { if (fontOpen_) CommitFont(); }
            else if (fontOpen_ && fontName_.size() < 256) fontName_.push_back(static_cast<char>(b));
            return;
        }
        if (st_.dest == Dest::ColorTable) {
            if (b == ';') {
                if (colors_.size() < 4096) colors_.push_back({!colorGiven_, uint32_t(red_) | uint32_t(green_) << 8 | uint32_t(blue_) << 16});
                red_ = green_ = blue_ = 0;
                colorGiven_ = false;
            }
            return;
        }
        if (ConsumeSkip()) return;
        if (b == '\t') { Flush(); AppendText(QStringLiteral("\t")); return; }
        if (b < 0x20) return;
        pending_.push_back(static_cast<char>(b));
    }

    // A byte given as \'hh (or an escaped brace or backslash).
    void EscapedByte(unsigned char b)
    {
        if (st_.dest == Dest::FontTable || st_.dest == Dest::FontEntry) {
            if (fontOpen_ && fontName_.size() < 256) fontName_.push_back(static_cast<char>(b));
            return;
        }
        if (st_.dest != Dest::Text) return;
        pending_.push_back(static_cast<char>(b));
    }

    RtfCharFormat Resolved() const
    {
        RtfCharFormat f = st_.fmt;
        const int n = st_.font >= 0 ? st_.font : deff_;
        auto it = fonts_.find(n);
        if (it != fonts_.end()) {
            f.face = it->second.name;
            f.charset = it->second.charset >= 0 ? it->second.charset : docCharset_;
            f.pitchFamily = it->second.pitchFamily;
        } else {
            f.face = base_.face;
            f.charset = base_.charset;
            f.pitchFamily = base_.pitchFamily;
        }
        if (IsSymbolFace(f.face))
            f.charset = kCharsetSymbol;
        return f;
    }

    void Flush()
    {
        if (pending_.empty()) return;
        RtfCharFormat f = Resolved();
        QString text = DecodeCharset(f.charset, pending_);
        pending_.clear();
        AppendText(text, f);
    }

    void AppendText(const QString& text) { AppendText(text, Resolved()); }

    void AppendText(QString text, const RtfCharFormat& f)
    {
        if (st_.dest != Dest::Text || Skipping()) return;
        // Only tabs and line breaks are layout characters of a paragraph;
        // other control characters and paragraph separators read as breaks
        // or go, so the document keeps one paragraph per \par.  Most text
        // has none of them and is taken as it is, without a copy.
        const auto layout = [](char16_t u) { return (u < 0x20 && u != u'\t') || u == 0x2029; };
        if (std::any_of(text.begin(), text.end(), [&](QChar ch) { return layout(ch.unicode()); })) {
            QString clean;
            clean.reserve(text.size());
            for (QChar ch : text) {
                char16_t u = ch.unicode();
                if (u == u'\t' || u >= 0x20) clean.append(u == 0x2029 ? QChar(u'\u2028') : ch);
                else if (u == u'\n' || u == u'\r') clean.append(QChar(u'\u2028'));
            }
            text = std::move(clean);
        }
        if (text.isEmpty()) return;
        if (!para_.runs.empty() && para_.runs.back().format == f) para_.runs.back().text += text;
        else para_.runs.push_back({std::move(text), f});
    }

    void EndParagraph()
    {
        Flush();
        if (doc_.paragraphs.size() + 1 >= kMaxParagraphs) {
            AppendText(QString(QChar(u'\u2028')));
            return;
        }
        TakeParagraph();
    }

    void TakeParagraph()
    {
        para_.align = st_.align;
        para_.leftIndent = st_.leftIndent;
        para_.rightIndent = st_.rightIndent;
        para_.firstIndent = st_.firstIndent;
        para_.tabs = st_.tabs;
        para_.markFormat = Resolved();
        doc_.paragraphs.push_back(std::move(para_));
        para_ = RtfParagraph{};
    }

    // The last paragraph needs no \par; an empty one after a final \par is
    // the paragraph mark's own and is not a paragraph of the text.
    void Finish()
    {
        Flush();
        if (!para_.runs.empty() || doc_.paragraphs.empty()) TakeParagraph();
    }

    std::string_view in_;
    size_t pos_ = 0;
    RtfCharFormat base_;
    State st_;
    std::vector<State> stack_;
    int overflow_ = 0;
    bool done_ = false;
    int skip_ = 0;

    std::map<int, FontDef> fonts_;
    int deff_ = -1;
    int docCharset_ = kCharsetAnsi;
    FontDef font_;
    int fontNumber_ = 0;
    std::string fontName_;
    bool fontOpen_ = false;

    std::vector<Color> colors_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorGiven_ = false;

    std::string pending_;
    RtfParagraph para_;
    RtfDocument doc_;
};

}  // namespace

RtfDocument ReadRtf(std::string_view bytes, const RtfCharFormat& base)
{
    return Reader(bytes, base).Run();
}

bool LooksLikeRtf(std::string_view bytes)
{
    return bytes.substr(0, 5) == "{\\rtf";
}

QString RtfDocument::PlainText() const
{
    QString out;
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i) out += QLatin1Char('\n');
        for (const RtfRun& r : paragraphs[i].runs) out += r.text;
    }
    return out;
}
