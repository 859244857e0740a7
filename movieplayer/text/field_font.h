// The font of an editable text field: which font character supplies the
// glyphs (the movie's own, or one of the built-in font movie's faces for
// device fonts), the code table that maps characters to glyphs, and the
// advances and line metrics on the font's 1024-unit em.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace movie {

struct Character;
class CharacterDictionary;

// The face a device font name stands for ("_sans" is "Arial", ...); any
// other name stands for itself.
std::string DeviceFaceName(const std::string& name);
// The built-in font movie's character for a face: 9 for "Arial", 17 for
// "Courier New", 1 for any other; bold adds 2, italic 4.
uint16_t BuiltInFontId(const std::string& face, bool bold, bool italic);

// Name and style of a font character (DefineFont2, or DefineFont with its
// DefineFontInfo); false when c is not a font.
bool ReadFontStyle(const Character& c, std::string* name, bool* bold, bool* italic);

class FieldFont {
public:
    static constexpr int kEm = 1024;
    static constexpr int kDefaultHeight = 360;   // twips, with no font at all

    // Reads the code table and layout of a font character (null: no glyphs).
    void Load(const Character* font, int height);

    const Character* Glyphs() const { return font_; }
    int Height() const { return height_; }
    // Glyph index of a character code, -1 when the font has none.
    int GlyphOf(uint16_t code) const;
    // Advance of a glyph in twips at the field's height.
    int32_t Advance(int glyph) const;
    // Distance from the top of a line to its baseline, and the line's
    // height without leading (twips).
    int32_t Ascent() const;
    int32_t LineHeight() const;
    // Where the glyph's shape starts in its movie's bytes (0: none).
    size_t GlyphShape(int glyph, size_t* end) const;

    std::string face;
    bool bold = false, italic = false, device = false;

private:
    const Character* font_ = nullptr;
    int height_ = kDefaultHeight;
    std::vector<std::pair<uint16_t, uint16_t>> codes_;   // sorted by code
    std::vector<int16_t> advances_;                      // em units; empty: none in the font
    std::vector<size_t> shapes_;                         // glyph shape starts, then the table's end
    int ascent_ = 0, descent_ = 0;
};

}  // namespace movie
