#include "movieplayer/text/field_font.h"

#include <algorithm>

#include "movieplayer/character/character.h"
#include "movieplayer/player/number_text.h"
#include "movieplayer/stream/movie_buffer.h"
#include "movieplayer/stream/tag_codes.h"

namespace movie {

namespace {

// The Japanese generic names and faces, as Shift-JIS bytes.
const char kGothicGeneric[] = "_\x83\x53\x83\x56\x83\x62\x83\x4e";            // _gothic
const char kMinchoGeneric[] = "_\x96\xbe\x92\xa9";                            // _mincho
const char kFixedGeneric[] = "_\x93\x99\x95\x9d";                             // _fixed width
const char kGothicProportional[] = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
const char kMinchoFace[] = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9";
const char kGothicFace[] = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";

struct FaceRow {
    const char* name;
    const char* face;
};

const FaceRow kDeviceFaces[] = {
    {"_sans", "Arial"},
    {"_serif", "Times New Roman"},
    {"_typewriter", "Courier New"},
    {kGothicGeneric, kGothicProportional},
    {kMinchoGeneric, kMinchoFace},
    {kFixedGeneric, kGothicFace},
};

}  // namespace

std::string DeviceFaceName(const std::string& name)
{
    for (const FaceRow& r : kDeviceFaces)
        if (name == r.name) return r.face;
    return name;
}

uint16_t BuiltInFontId(const std::string& face, bool bold, bool italic)
{
    uint16_t id = EqualNoCase(face, "Arial") ? 9 : EqualNoCase(face, "Courier New") ? 17 : 1;
    return uint16_t(id + (bold ? 2 : 0) + (italic ? 4 : 0));
}

bool ReadFontStyle(const Character& c, std::string* name, bool* bold, bool* italic)
{
    if (c.kind != kCharFont || !c.movie) return false;
    name->clear();
    *bold = *italic = false;
    if (c.tagCode == kTagDefineFont2) {
        // The flags, language, name length and name lie between the id and
        // the offset table the character's data starts at.
        StreamCursor h(c.movie->Data(), c.tagStart, c.data);
        uint16_t code = h.UI16();
        size_t header = (code & 0x3F) == 0x3F ? 6 : 2;
        StreamCursor b(c.movie->Data(), c.tagStart + header + 2, c.data);
        uint8_t flags = b.UI8();
        b.UI8();
        uint8_t n = b.UI8();
        for (uint8_t i = 0; i < n && !b.AtEnd(); ++i) name->push_back(char(b.UI8()));
        *bold = flags & 0x01;
        *italic = flags & 0x02;
        return true;
    }
    if (c.fontInfoPos) {
        StreamCursor b(c.movie->Data(), c.fontInfoPos, c.movie->Received());
        uint8_t n = b.UI8();
        for (uint8_t i = 0; i < n && !b.AtEnd(); ++i) name->push_back(char(b.UI8()));
        uint8_t flags = b.UI8();
        *bold = flags & 0x02;
        *italic = flags & 0x04;
    }
    return true;
}

void FieldFont::Load(const Character* font, int height)
{
    font_ = nullptr;
    height_ = height > 0 ? height : kDefaultHeight;
    codes_.clear();
    advances_.clear();
    shapes_.clear();
    ascent_ = descent_ = 0;
    if (!font || font->kind != kCharFont || !font->movie) return;
    font_ = font;
    StreamCursor c = font->Cursor();
    const size_t table = c.Pos();
    const unsigned n = font->glyphCount;
    const bool second = font->tagCode == kTagDefineFont2;
    const bool wideOffsets = second && (font->fontFlags & 0x08);
    // Glyph shape offsets, then (second format) the code table's offset.
    for (unsigned i = 0; i <= n; ++i) {
        if (i == n && !second) break;
        uint32_t off = wideOffsets ? c.UI32() : c.UI16();
        if (c.Overrun()) break;
        shapes_.push_back(std::min(table + off, c.End()));
    }
    if (!second) shapes_.push_back(c.End());
    if (shapes_.size() != n + 1) {
        shapes_.clear();
        return;
    }
    // The code table (second format: after the shapes; first format: in
    // the DefineFontInfo record), one code per glyph.
    StreamCursor codes;
    bool wideCodes = false;
    if (second) {
        codes = StreamCursor(c.Data(), shapes_.back(), c.End());
        wideCodes = font->fontFlags & 0x04;
    } else if (font->fontInfoPos) {
        codes = StreamCursor(font->movie->Data(), font->fontInfoPos, font->movie->Received());
        codes.Skip(codes.UI8());
        wideCodes = codes.UI8() & 0x01;
    }
    if (codes.Data()) {
        for (unsigned i = 0; i < n; ++i) {
            uint16_t code = wideCodes ? codes.UI16() : codes.UI8();
            if (codes.Overrun()) break;
            codes_.push_back({code, uint16_t(i)});
        }
        std::stable_sort(codes_.begin(), codes_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    // Layout: ascent, descent, leading, then one advance per glyph.
    if (second && (font->fontFlags & 0x80) && !codes.Overrun()) {
        ascent_ = codes.SI16();
        descent_ = codes.SI16();
        codes.SI16();
        for (unsigned i = 0; i < n; ++i) advances_.push_back(codes.SI16());
        if (codes.Overrun()) {
            advances_.clear();
            ascent_ = descent_ = 0;
        }
    }
}

int FieldFont::GlyphOf(uint16_t code) const
{
    auto it = std::lower_bound(codes_.begin(), codes_.end(), code,
                               [](const std::pair<uint16_t, uint16_t>& e, uint16_t v) { return e.first < v; });
    if (it == codes_.end() || it->first != code) return -1;
    return it->second;
}

int32_t FieldFont::Advance(int glyph) const
{
    // A font without layout gives no advances: every glyph takes 0.6 em,
    // about the mean width of a text face.
    int em = glyph >= 0 && size_t(glyph) < advances_.size() ? advances_[size_t(glyph)] : kEm * 6 / 10;
    return int32_t(int64_t(em) * height_ / kEm);
}

int32_t FieldFont::Ascent() const
{
    int em = ascent_ > 0 ? ascent_ : kEm * 9 / 10;
    return int32_t(int64_t(em) * height_ / kEm);
}

int32_t FieldFont::LineHeight() const
{
    int em = ascent_ + descent_ > 0 ? ascent_ + descent_ : kEm;
    return std::max<int32_t>(1, int32_t(int64_t(em) * height_ / kEm));
}

size_t FieldFont::GlyphShape(int glyph, size_t* end) const
{
    if (glyph < 0 || size_t(glyph) + 1 >= shapes_.size()) return 0;
    size_t a = shapes_[size_t(glyph)], b = shapes_[size_t(glyph) + 1];
    *end = b > a ? b : shapes_.back();
    return a;
}

}  // namespace movie
