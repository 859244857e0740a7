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
#include <iterator>
#include <map>
#include <string_view>

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

// The control words the reader acts on, sorted for a binary search: a
// handful of comparisons per word instead of up to eighty.  Skip: a
// destination whose content is not text of the label.
enum class Kw {
    Par, Line, Tab, U, Uc, FontTbl, ColorTbl, AnsiCpg, Deff, Plain, F, Fs, B, I, Ul, UlNone, Strike, Cf,
    Pard, Ql, Qc, Qr, Qj, Li, Ri, Fi, Tx, Char, Skip,
};

struct Keyword {
    std::string_view word;
    Kw kind;
    char16_t ch = 0;  // the character of Kw::Char
};

constexpr Keyword kKeywords[] = {
    {"annotation", Kw::Skip}, {"ansicpg", Kw::AnsiCpg}, {"atnauthor", Kw::Skip}, {"atnid", Kw::Skip},
    {"b", Kw::B}, {"bkmkend", Kw::Skip}, {"bkmkstart", Kw::Skip}, {"bullet", Kw::Char, u'\u2022'},
    {"cf", Kw::Cf}, {"colorschememapping", Kw::Skip}, {"colortbl", Kw::ColorTbl}, {"datastore", Kw::Skip},
    {"deff", Kw::Deff}, {"emdash", Kw::Char, u'\u2014'}, {"emspace", Kw::Char, u'\u2003'},
    {"endash", Kw::Char, u'\u2013'}, {"enspace", Kw::Char, u'\u2002'}, {"f", Kw::F}, {"fi", Kw::Fi},
    {"filetbl", Kw::Skip}, {"fldinst", Kw::Skip}, {"fonttbl", Kw::FontTbl}, {"footer", Kw::Skip},
    {"footerf", Kw::Skip}, {"footerl", Kw::Skip}, {"footerr", Kw::Skip}, {"footnote", Kw::Skip},
    {"fs", Kw::Fs}, {"generator", Kw::Skip}, {"header", Kw::Skip}, {"headerf", Kw::Skip},
    {"headerl", Kw::Skip}, {"headerr", Kw::Skip}, {"i", Kw::I}, {"info", Kw::Skip},
    {"latentstyles", Kw::Skip}, {"ldblquote", Kw::Char, u'\u201C'}, {"li", Kw::Li}, {"line", Kw::Line},
    {"listoverridetable", Kw::Skip}, {"listtable", Kw::Skip}, {"listtext", Kw::Skip},
    {"lquote", Kw::Char, u'\u2018'}, {"nonshppict", Kw::Skip}, {"object", Kw::Skip}, {"page", Kw::Par},
    {"par", Kw::Par}, {"pard", Kw::Pard}, {"pict", Kw::Skip}, {"plain", Kw::Plain}, {"pntext", Kw::Skip},
    {"pntxta", Kw::Skip}, {"pntxtb", Kw::Skip}, {"private", Kw::Skip}, {"qc", Kw::Qc}, {"qj", Kw::Qj},
    {"ql", Kw::Ql}, {"qr", Kw::Qr}, {"rdblquote", Kw::Char, u'\u201D'}, {"revtbl", Kw::Skip},
    {"ri", Kw::Ri}, {"rquote", Kw::Char, u'\u2019'}, {"rsidtbl", Kw::Skip}, {"sect", Kw::Par},
    {"shpinst", Kw::Skip}, {"strike", Kw::Strike}, {"striked", Kw::Strike}, {"stylesheet", Kw::Skip},
    {"tab", Kw::Tab}, {"tc", Kw::Skip}, {"template", Kw::Skip}, {"themedata", Kw::Skip}, {"tx", Kw::Tx},
    {"txe", Kw::Skip}, {"u", Kw::U}, {"uc", Kw::Uc}, {"ul", Kw::Ul}, {"uld", Kw::Ul}, {"uldash", Kw::Ul},
    {"uldb", Kw::Ul}, {"ulnone", Kw::UlNone}, {"ulth", Kw::Ul}, {"ulw", Kw::Ul}, {"xe", Kw::Skip},
};

static_assert(std::is_sorted(std::begin(kKeywords), std::end(kKeywords),
                             [](const Keyword& a, const Keyword& b) { return a.word < b.word; }));

const Keyword* FindKeyword(std::string_view w)
{
    const Keyword* it = std::lower_bound(std::begin(kKeywords), std::end(kKeywords), w,
                                         [](const Keyword& k, std::string_view v) { return k.word < v; });
    return it != std::end(kKeywords) && it->word == w ? it : nullptr;
}

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
        AppendChar(ch);
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
        const Keyword* k = FindKeyword(w);
        if (!k) return;
        RtfCharFormat& f = st_.fmt;
        switch (k->kind) {
        case Kw::Par: EndParagraph(); break;
        case Kw::Line: AppendChar(u'\u2028'); break;
        case Kw::Tab: AppendChar(u'\t'); break;
        case Kw::Char: AppendChar(k->ch); break;
        case Kw::U: {
            long long v = param % 65536;
            if (v < 0) v += 65536;
            AppendChar(static_cast<char16_t>(v));
            skip_ = st_.uc;
            break;
        }
        case Kw::Uc: st_.uc = Clamp(param, 0, 10); break;
        case Kw::FontTbl: st_.dest = Dest::FontTable; break;
        case Kw::ColorTbl:
            st_.dest = Dest::ColorTable;
            red_ = green_ = blue_ = 0;
            colorGiven_ = false;
            break;
        case Kw::AnsiCpg: docCharset_ = CharsetOfCodePage(p); break;
        case Kw::Deff: deff_ = p; break;
        case Kw::Plain: st_.font = -1; f = base_; break;
        case Kw::F: st_.font = p; break;
        case Kw::Fs: f.halfPoints = hasParam ? Clamp(param, 1, kMaxHalfPoints) : 24; break;
        case Kw::B: f.bold = on; break;
        case Kw::I: f.italic = on; break;
        case Kw::Ul: f.underline = on; break;
        case Kw::UlNone: f.underline = false; break;
        case Kw::Strike: f.strike = on; break;
        case Kw::Cf:
            if (p >= 0 && p < static_cast<int>(colors_.size()) && !colors_[static_cast<size_t>(p)].isAuto) {
                f.hasColor = true;
                f.color = colors_[static_cast<size_t>(p)].rgb;
            } else {
                f.hasColor = false;
                f.color = 0;
            }
            break;
        case Kw::Pard:
            st_.align = RtfAlign::Left;
            st_.leftIndent = st_.rightIndent = st_.firstIndent = 0;
            st_.tabs.clear();
            break;
        case Kw::Ql: st_.align = RtfAlign::Left; break;
        case Kw::Qc: st_.align = RtfAlign::Center; break;
        case Kw::Qr: st_.align = RtfAlign::Right; break;
        case Kw::Qj: st_.align = RtfAlign::Justify; break;
        case Kw::Li: st_.leftIndent = Clamp(param, -kMaxTwips, kMaxTwips); break;
        case Kw::Ri: st_.rightIndent = Clamp(param, -kMaxTwips, kMaxTwips); break;
        case Kw::Fi: st_.firstIndent = Clamp(param, -kMaxTwips, kMaxTwips); break;
        case Kw::Tx:
            if (st_.tabs.size() < kMaxTabs) st_.tabs.push_back(Clamp(param, 0, kMaxTwips));
            break;
        case Kw::Skip: st_.dest = Dest::Skip; break;
        }
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
        else if (st_.dest == Dest::FontEntry) {
            const Keyword* k = FindKeyword(w);
            if (k && k->kind == Kw::Skip) st_.dest = Dest::Skip;
        }
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
        if (b == '\t') { Flush(); AppendChar(u'\t'); return; }
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

    // One character, cleaned as AppendText cleans text, without a string of
    // its own: every \u, \tab and \line made one, only to append it to the
    // run before.
    void AppendChar(char16_t u)
    {
        if (st_.dest != Dest::Text || Skipping()) return;
        if (u == 0x2029 || u == u'\n' || u == u'\r') u = 0x2028;
        else if (u < 0x20 && u != u'\t') return;
        const RtfCharFormat f = Resolved();
        if (!para_.runs.empty() && para_.runs.back().format == f) para_.runs.back().text += QChar(u);
        else para_.runs.push_back({QString(QChar(u)), f});
    }

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
            AppendChar(u'\u2028');
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
