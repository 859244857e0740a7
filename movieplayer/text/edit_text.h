// An editable text field: its definition (DefineEditText), the text as
// 16-bit characters with caret and selection, the editing commands behind
// the player's key codes, the line table and scrolling.
//
// Positions are in the field's own twips (the coordinates of its bounds).
// Lines break at line feeds (indent 0), carriage returns (first-line
// indent) and, in word-wrap fields, after the last blank, tab or hyphen
// that keeps the line inside the text area, else before the character that
// overflows.  Glyphs sit on the baseline at the font's ascent below the
// line's top; each line is shifted by its alignment within the text area
// (the bounds inset by 40 twips, less the margins).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "movieplayer/geometry.h"
#include "movieplayer/text/field_font.h"

namespace movie {

struct Character;

// Definition flag bits (UI16 little-endian after the bounds).
enum EditFlags : uint16_t {
    kEditHasFont = 0x0001,
    kEditHasMaxLength = 0x0002,
    kEditHasColour = 0x0004,
    kEditReadOnly = 0x0008,
    kEditPassword = 0x0010,
    kEditMultiLine = 0x0020,
    kEditWordWrap = 0x0040,
    kEditHasText = 0x0080,
    kEditUseOutlines = 0x0100,
    kEditBorder = 0x0800,
    kEditNoSelect = 0x1000,
    kEditHasLayout = 0x2000,
};

// Key codes of the player (the rest are characters).
enum KeyCode : int {
    kKeyLeft = 1,
    kKeyRight = 2,
    kKeyHome = 3,
    kKeyEnd = 4,
    kKeyInsert = 5,
    kKeyDelete = 6,
    kKeyClear = 7,
    kKeyBackspace = 8,
    kKeyCut = 9,
    kKeyCopy = 10,
    kKeyPaste = 11,
    kKeySelectAll = 12,
    kKeyEnter = 13,
    kKeyUp = 14,
    kKeyDown = 15,
    kKeyPageUp = 16,
    kKeyPageDown = 17,
    kKeyTab = 18,
    kKeyEscape = 19,
};
enum KeyModifiers : int { kModShift = 1, kModControl = 2 };

// What a field needs of its surroundings while it is edited.
class EditHost {
public:
    virtual ~EditHost() = default;
    virtual std::u16string ReadClipboard() = 0;
    virtual void WriteClipboard(const std::u16string& text) = 0;
    // Shared by every field of the player.
    bool insertMode = true;
};

class EditText {
public:
    static constexpr int32_t kInset = 40;
    static constexpr uint32_t kDoubleClickMs = 500;

    // Reads the definition; the font is loaded separately.
    void Read(const Character& c);

    // Definition
    MovieRect bounds;
    uint16_t flags = 0;
    uint16_t fontId = 0, fontHeight = 0;
    uint32_t colour = 0xFF000000u;   // packed: red low byte, alpha top
    int maxLength = 0;               // 0: no limit
    int align = 0;
    int32_t leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;
    std::string variable;
    std::string initialText;
    FieldFont font;

    bool Has(uint16_t bit) const { return (flags & bit) != 0; }
    bool ReadOnly() const { return Has(kEditReadOnly); }

    // Text: the bytes of a variable value, one character each, and back
    // (characters above 255 as two bytes, high byte first).
    void SetText(const std::string& bytes);
    std::string TextBytes() const;
    const std::u16string& Text() const { return text_; }

    // Editing.  Key returns whether the text changed.
    bool Key(int code, int modifiers, EditHost& host);
    // Types characters at the caret (the selection goes first).
    bool Type(const std::u16string& chars, EditHost& host);
    void SelectAll();
    // Focus selects everything; losing it clears the selection and blink.
    void Focus();
    void Blur();

    // Mouse, in field twips; time in ms for the double press.
    void MouseDown(MoviePoint p, uint32_t time);
    void MouseDrag(MoviePoint p);
    void MouseUp(MoviePoint p);
    bool Selecting() const { return selecting_; }

    // Layout
    void Layout();
    int LineCount() const { return int(lines_.size()); }
    int LineStart(int line) const { return lines_[size_t(line)]; }
    // End of a line's characters (before its line break).
    int LineEnd(int line) const;
    int LineOf(int index) const;
    int VisibleLines() const;
    int scroll = 0;
    int maxScroll = 0;
    int hscroll = 0;   // first shown character of a sideways-scrolling field
    void SetScroll(int line);
    // Keeps the caret in view.
    void ScrollToCaret();

    // Geometry for drawing and hit tests (field twips).
    MovieRect Area() const;
    int32_t LineStep() const { return font.LineHeight() + leading; }
    int32_t LineTop(int line) const { return Area().ymin + (line - scroll) * LineStep(); }
    // x of the character at index (its left side) on its line.
    int32_t CharX(int index) const;
    int32_t LineX(int line) const;
    int IndexAt(MoviePoint p) const;
    // The character a field shows at index ("*" in a password field).
    uint16_t Shown(int index) const;
    int32_t AdvanceOf(uint16_t ch) const;

    int anchor = 0, caret = 0;
    int SelectionStart() const { return anchor < caret ? anchor : caret; }
    int SelectionEnd() const { return anchor < caret ? caret : anchor; }
    bool blink = false;
    bool showSelection = false;
    bool changed = false;

private:
    bool SidewaysScroll() const;
    bool DeleteRange(int from, int to);
    bool DeleteSelection() { return DeleteRange(SelectionStart(), SelectionEnd()); }
    void MoveCaret(int to, bool extend);
    int WordLeft(int from) const;
    int WordRight(int from) const;
    std::u16string Filter(const std::u16string& chars) const;

    std::u16string text_;
    std::vector<int> lines_{0};
    bool selecting_ = false;
    MoviePoint lastClick_{-1, -1};
    uint32_t lastClickTime_ = 0;
    bool hadClick_ = false;
};

}  // namespace movie
