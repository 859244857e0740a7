#include "movieplayer/text/edit_text.h"

#include <algorithm>

#include "movieplayer/character/character.h"
#include "movieplayer/stream/records.h"

namespace movie {

namespace {

bool IsBreak(char16_t c)
{
    return c == 10 || c == 13;
}

// Lines may break after these.
bool BreaksAfter(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'-';
}

// Letters and digits of Windows-1252 (and anything above it) make words.
bool IsWordChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' ||
           c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9A || c == 0x9C || c == 0x9E || c == 0x9F ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

}  // namespace

void EditText::Read(const Character& c)
{
    bounds = c.bounds;
    StreamCursor r = c.Cursor();
    flags = r.UI16();
    if (Has(kEditHasFont)) {
        fontId = r.UI16();
        fontHeight = r.UI16();
    }
    if (Has(kEditHasColour)) colour = r.Rgba();
    if (Has(kEditHasMaxLength)) maxLength = r.UI16();
    if (Has(kEditHasLayout)) {
        align = r.UI8();
        leftMargin = r.UI16();
        rightMargin = r.UI16();
        indent = r.UI16();
        leading = r.UI16();
    }
    size_t n = 0;
    const char* v = r.String(&n);
    variable.assign(v ? v : "", v ? n : 0);
    if (Has(kEditHasText)) {
        const char* t = r.String(&n);
        initialText.assign(t ? t : "", t ? n : 0);
    }
    if (RectIsEmpty(bounds)) bounds = MovieRect{0, 0, 0, 0};
}

// ---- Text ------------------------------------------------------------------

void EditText::SetText(const std::string& bytes)
{
    std::u16string t;
    t.reserve(bytes.size());
    for (char b : bytes) t.push_back(char16_t(static_cast<unsigned char>(b)));
    if (t == text_) return;
    text_ = std::move(t);
    int n = int(text_.size());
    anchor = std::min(anchor, n);
    caret = std::min(caret, n);
    changed = true;
    Layout();
}

std::string EditText::TextBytes() const
{
    std::string out;
    out.reserve(text_.size());
    for (char16_t c : text_) {
        if (c > 255) out.push_back(char(c >> 8));
        out.push_back(char(c & 0xFF));
    }
    return out;
}

uint16_t EditText::Shown(int index) const
{
    return Has(kEditPassword) ? u'*' : text_[size_t(index)];
}

int32_t EditText::AdvanceOf(uint16_t ch) const
{
    return font.Advance(font.GlyphOf(ch));
}

std::u16string EditText::Filter(const std::u16string& chars) const
{
    std::u16string out;
    for (char16_t c : chars) {
        if (IsBreak(c) || !font.Glyphs() || font.GlyphOf(c) >= 0) {
            out.push_back(c);
            continue;
        }
        // A letter the font lacks is tried in the other case.
        char16_t other = c >= u'a' && c <= u'z' ? char16_t(c - 32) : c >= u'A' && c <= u'Z' ? char16_t(c + 32) : 0;
        if (other && font.GlyphOf(other) >= 0) out.push_back(other);
    }
    return out;
}

bool EditText::DeleteRange(int from, int to)
{
    from = std::clamp(from, 0, int(text_.size()));
    to = std::clamp(to, from, int(text_.size()));
    anchor = caret = from;
    if (from == to) return false;
    text_.erase(size_t(from), size_t(to - from));
    return true;
}

bool EditText::Type(const std::u16string& chars, EditHost& host)
{
    std::u16string in = Filter(chars);
    bool any = DeleteSelection();
    if (in.empty()) return any;
    size_t at = size_t(caret);
    size_t n = in.size();
    if (host.insertMode) {
        if (maxLength > 0) n = std::min(n, size_t(std::max(0, maxLength - int(text_.size()))));
        text_.insert(at, in, 0, n);
    } else {
        size_t limit = maxLength > 0 ? size_t(maxLength) : SIZE_MAX;
        if (at + n > limit) n = limit > at ? limit - at : 0;
        size_t over = std::min(n, text_.size() - at);
        text_.replace(at, over, in, 0, n);
    }
    caret = anchor = int(at + n);
    return any || n > 0;
}

void EditText::MoveCaret(int to, bool extend)
{
    caret = std::clamp(to, 0, int(text_.size()));
    if (!extend) anchor = caret;
}

int EditText::WordLeft(int from) const
{
    int i = from;
    while (i > 0 && !IsWordChar(text_[size_t(i - 1)])) --i;
    while (i > 0 && IsWordChar(text_[size_t(i - 1)])) --i;
    return i;
}

int EditText::WordRight(int from) const
{
    int n = int(text_.size()), i = from;
    while (i < n && IsWordChar(text_[size_t(i)])) ++i;
    while (i < n && !IsWordChar(text_[size_t(i)])) ++i;
    return i;
}

bool EditText::Key(int code, int mods, EditHost& host)
{
    const bool shift = mods & kModShift, control = mods & kModControl;
    const bool ro = ReadOnly();
    bool edited = false;
    changed = true;
    switch (code) {
    case kKeyLeft: MoveCaret(control ? WordLeft(caret) : caret - 1, shift); break;
    case kKeyRight: MoveCaret(control ? WordRight(caret) : caret + 1, shift); break;
    case kKeyHome: MoveCaret(control ? 0 : LineStart(LineOf(caret)), shift); break;
    case kKeyEnd: MoveCaret(control ? int(text_.size()) : LineEnd(LineOf(caret)), shift); break;
    case kKeyInsert: host.insertMode = !host.insertMode; break;
    case kKeyDelete:
        if (ro || (control && shift)) break;
        if (SelectionStart() != SelectionEnd()) edited = DeleteSelection();
        else if (control) {
            // To the end of the next word.
            int n = int(text_.size()), e = caret;
            while (e < n && !IsWordChar(text_[size_t(e)])) ++e;
            while (e < n && IsWordChar(text_[size_t(e)])) ++e;
            edited = DeleteRange(caret, e);
        } else {
            edited = DeleteRange(caret, caret + 1);
        }
        break;
    case kKeyClear:
        if (!ro) edited = DeleteSelection();
        break;
    case kKeyBackspace:
        if (ro) break;
        if (SelectionStart() != SelectionEnd()) edited = DeleteSelection();
        else if (caret > 0) edited = DeleteRange(caret - 1, caret);
        break;
    case kKeyCut:
    case kKeyCopy:
        if (code == kKeyCut && ro) break;
        if (SelectionStart() != SelectionEnd())
            host.WriteClipboard(text_.substr(size_t(SelectionStart()), size_t(SelectionEnd() - SelectionStart())));
        if (code == kKeyCut) edited = DeleteSelection();
        break;
    case kKeyPaste:
        if (!ro) edited = Type(host.ReadClipboard(), host);
        break;
    case kKeySelectAll:
        anchor = int(text_.size());
        caret = 0;
        scroll = 0;
        hscroll = 0;
        showSelection = true;
        break;
    case kKeyEnter:
        if (Has(kEditMultiLine) && !ro) edited = Type(u"\r", host);
        break;
    case kKeyUp:
    case kKeyDown: {
        int line = LineOf(caret);
        int to = code == kKeyUp ? line - 1 : line + 1;
        if (to < 0 || to >= LineCount()) break;
        int column = caret - LineStart(line);
        MoveCaret(std::min(LineStart(to) + column, LineEnd(to)), shift);
        break;
    }
    case kKeyPageUp: MoveCaret(0, shift); break;
    case kKeyPageDown: MoveCaret(int(text_.size()), shift); break;
    case kKeyTab:
    case kKeyEscape: break;
    default:
        if (!ro && code >= 0 && code <= 0xFFFF) edited = Type(std::u16string(1, char16_t(code)), host);
        break;
    }
    if (code != kKeySelectAll) showSelection = true;
    Layout();
    if (code != kKeySelectAll) ScrollToCaret();
    return edited;
}

void EditText::SelectAll()
{
    anchor = int(text_.size());
    caret = 0;
    scroll = 0;
    hscroll = 0;
    changed = true;
}

void EditText::Focus()
{
    SelectAll();
    showSelection = true;
    blink = true;
}

void EditText::Blur()
{
    blink = false;
    showSelection = false;
    selecting_ = false;
    anchor = caret;
    changed = true;
}

// ---- Layout ------------------------------------------------------------------

MovieRect EditText::Area() const
{
    MovieRect a = bounds;
    a.xmin += kInset;
    a.xmax -= kInset;
    a.ymin += kInset;
    a.ymax -= kInset;
    if (a.xmax < a.xmin) a.xmax = a.xmin;
    if (a.ymax < a.ymin) a.ymax = a.ymin;
    return a;
}

bool EditText::SidewaysScroll() const
{
    return !Has(kEditMultiLine) && !Has(kEditWordWrap) && align == 0;
}

void EditText::Layout()
{
    lines_.assign(1, 0);
    const MovieRect area = Area();
    const int32_t width = area.xmax - area.xmin - leftMargin - rightMargin;
    const bool wrap = Has(kEditWordWrap);
    const int n = int(text_.size());
    int32_t x = indent;
    int lineStart = 0, lastBreak = -1;
    for (int i = 0; i < n; ++i) {
        char16_t c = text_[size_t(i)];
        if (IsBreak(c)) {
            // "\r\n" is one break.
            if (c == 13 && i + 1 < n && text_[size_t(i) + 1] == 10) ++i;
            lines_.push_back(i + 1);
            lineStart = i + 1;
            x = c == 13 ? indent : 0;
            lastBreak = -1;
            continue;
        }
        int32_t adv = AdvanceOf(Shown(i));
        if (wrap && i > lineStart && x + adv > width) {
            int start = lastBreak > lineStart ? lastBreak : i;
            lines_.push_back(start);
            lineStart = start;
            x = 0;
            for (int k = start; k < i; ++k) x += AdvanceOf(Shown(k));
            lastBreak = -1;
        }
        x += adv;
        if (BreaksAfter(c)) lastBreak = i + 1;
    }
    maxScroll = std::max(0, LineCount() - VisibleLines());
    scroll = std::clamp(scroll, 0, maxScroll);
    if (!SidewaysScroll()) hscroll = 0;
    hscroll = std::clamp(hscroll, 0, n);
}

int EditText::LineEnd(int line) const
{
    int end = line + 1 < LineCount() ? LineStart(line + 1) : int(text_.size());
    // Back over the line's break ("\r\n" counts as one).
    if (end > LineStart(line) && line + 1 < LineCount() && IsBreak(text_[size_t(end - 1)])) {
        --end;
        if (end > LineStart(line) && text_[size_t(end)] == 10 && text_[size_t(end - 1)] == 13) --end;
    }
    return end;
}

int EditText::LineOf(int index) const
{
    auto it = std::upper_bound(lines_.begin(), lines_.end(), index);
    int line = int(it - lines_.begin()) - 1;
    return std::clamp(line, 0, LineCount() - 1);
}

int EditText::VisibleLines() const
{
    // Lines that fit whole: n lines take n steps less one leading.
    const MovieRect area = Area();
    int32_t step = LineStep();
    int n = step > 0 ? int((area.ymax - area.ymin + leading) / step) : 1;
    return std::max(1, n);
}

void EditText::SetScroll(int line)
{
    scroll = std::clamp(line, 0, maxScroll);
    changed = true;
}

void EditText::ScrollToCaret()
{
    int line = LineOf(caret);
    if (line < scroll) scroll = line;
    else if (line >= scroll + VisibleLines()) scroll = line - VisibleLines() + 1;
    scroll = std::clamp(scroll, 0, maxScroll);
    if (!SidewaysScroll()) return;
    const MovieRect area = Area();
    const int32_t width = area.xmax - area.xmin - leftMargin - rightMargin;
    if (caret < hscroll) {
        // Back by a quarter of the field's width.
        int i = caret;
        int32_t w = 0;
        while (i > 0 && w < width / 4) w += AdvanceOf(Shown(--i));
        hscroll = i;
    }
    int32_t w = 0;
    for (int i = hscroll; i < caret; ++i) w += AdvanceOf(Shown(i));
    while (w > width && hscroll < caret) w -= AdvanceOf(Shown(hscroll++));
}

int32_t EditText::LineX(int line) const
{
    const MovieRect area = Area();
    int32_t x = area.xmin + leftMargin;
    int start = LineStart(line);
    if (start == 0 || (start > 0 && text_[size_t(start - 1)] == 13) ||
        (start > 1 && text_[size_t(start - 1)] == 10 && text_[size_t(start - 2)] == 13))
        x += indent;
    if (align == 1 || align == 2) {
        int32_t width = area.xmax - area.xmin - leftMargin - rightMargin;
        int32_t used = 0;
        for (int i = start; i < LineEnd(line); ++i) used += AdvanceOf(Shown(i));
        int32_t free = std::max(0, width - used - (x - area.xmin - leftMargin));
        x += align == 1 ? free : free / 2;
    }
    return x;
}

int32_t EditText::CharX(int index) const
{
    int line = LineOf(index);
    int32_t x = LineX(line);
    int from = LineStart(line);
    if (line == 0 && hscroll > 0) {
        for (int i = hscroll; i < index; ++i) x += AdvanceOf(Shown(i));
        for (int i = index; i < hscroll; ++i) x -= AdvanceOf(Shown(i));
        return x;
    }
    for (int i = from; i < index; ++i) x += AdvanceOf(Shown(i));
    return x;
}

int EditText::IndexAt(MoviePoint p) const
{
    int32_t step = LineStep();
    int line = scroll + (step > 0 ? int((p.y - Area().ymin) / step) : 0);
    if (p.y < Area().ymin) line = scroll - 1;
    line = std::clamp(line, 0, LineCount() - 1);
    int end = LineEnd(line);
    for (int i = line == 0 ? std::max(LineStart(0), hscroll) : LineStart(line); i < end; ++i) {
        int32_t x = CharX(i), a = AdvanceOf(Shown(i));
        if (p.x < x + a / 2) return i;
    }
    return end;
}

// ---- Mouse ----------------------------------------------------------------------

void EditText::MouseDown(MoviePoint p, uint32_t time)
{
    if (Has(kEditNoSelect)) return;
    const bool again = hadClick_ && p.x == lastClick_.x && p.y == lastClick_.y && time - lastClickTime_ < kDoubleClickMs;
    caret = anchor = IndexAt(p);
    if (again) {
        // The word around the caret, up to a break or a line end.
        int line = LineOf(caret), a = caret, b = caret;
        while (a > LineStart(line) && IsWordChar(text_[size_t(a - 1)])) --a;
        while (b < LineEnd(line) && IsWordChar(text_[size_t(b)])) ++b;
        anchor = a;
        caret = b;
        hadClick_ = false;
    } else {
        hadClick_ = true;
        lastClick_ = p;
        lastClickTime_ = time;
        selecting_ = true;
    }
    showSelection = true;
    changed = true;
}

void EditText::MouseDrag(MoviePoint p)
{
    if (!selecting_) return;
    const MovieRect area = Area();
    // Dragged beyond the field: scroll a line or a character per event.
    if (p.y < area.ymin && scroll > 0) --scroll;
    else if (p.y > area.ymax && scroll < maxScroll) ++scroll;
    if (SidewaysScroll()) {
        if (p.x < area.xmin && hscroll > 0) --hscroll;
        else if (p.x > area.xmax && hscroll < int(text_.size())) ++hscroll;
    }
    caret = IndexAt(p);
    changed = true;
}

void EditText::MouseUp(MoviePoint p)
{
    if (!selecting_) return;
    caret = IndexAt(p);
    selecting_ = false;
    changed = true;
}

}  // namespace movie
