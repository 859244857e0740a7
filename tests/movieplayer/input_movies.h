// Test movies with buttons and editable text fields, written byte by byte
// from the record layouts.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "movieplayer/action_writer.h"

namespace moviefile_test {

// DefineButton2 (34): the up/hit-test record shows shape `up`, over and
// down show `over`; each condition is (condition word, actions).
inline Bytes ButtonTag(uint16_t id, uint16_t up, uint16_t over,
                       const std::vector<std::pair<uint16_t, ActionWriter>>& conditions)
{
    BitWriter w;
    w.UI16(id);
    w.UI8(0);
    BitWriter records;
    const std::pair<uint8_t, uint16_t> recs[2] = {{0x01 | 0x08, up}, {0x02 | 0x04, over}};
    for (auto [flags, shape] : recs) {
        records.UI8(flags);
        records.UI16(shape);
        records.UI16(1);
        WriteMatrix(records, Matrix{});
        WriteCxform(records, Cxform{}, true);
    }
    records.UI8(0);
    Bytes r = records.Take();
    w.UI16(uint32_t(r.size() + 2));
    w.Append(r);
    for (size_t i = 0; i < conditions.size(); ++i) {
        Bytes actions = conditions[i].second.Tag();
        // The DoAction tag's body: skip its 6-byte long header.
        Bytes body(actions.begin() + 6, actions.end());
        const bool last = i + 1 == conditions.size();
        w.UI16(last ? 0 : uint32_t(4 + body.size()));
        w.UI16(conditions[i].first);
        w.Append(body);
    }
    return Tag(34, w.Take(), true);
}

struct EditTextDef {
    int32_t xmin = 0, xmax = 4000, ymin = 0, ymax = 600;
    uint16_t flags = 0;
    uint16_t fontId = 0, height = 0;
    uint32_t rgba = 0x000000FF;   // 0xRRGGBBAA
    uint16_t maxLength = 0;
    uint8_t align = 0;
    uint16_t leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;
    std::string variable;
    std::string text;
};

// DefineEditText (37).  The flag bits for the optional fields follow the
// fields given: font when fontId, colour always, maximum length when set,
// layout when align or a margin is set, text when not empty.
inline Bytes EditTextTag(uint16_t id, EditTextDef d)
{
    d.flags |= 0x0004;
    if (d.fontId) d.flags |= 0x0001;
    if (d.maxLength) d.flags |= 0x0002;
    if (d.align || d.leftMargin || d.rightMargin || d.indent || d.leading) d.flags |= 0x2000;
    if (!d.text.empty()) d.flags |= 0x0080;
    BitWriter w;
    w.UI16(id);
    WriteRect(w, d.xmin, d.xmax, d.ymin, d.ymax);
    w.UI16(d.flags);
    if (d.flags & 0x0001) {
        w.UI16(d.fontId);
        w.UI16(d.height);
    }
    w.Colour(d.rgba, true);
    if (d.flags & 0x0002) w.UI16(d.maxLength);
    if (d.flags & 0x2000) {
        w.UI8(d.align);
        w.UI16(d.leftMargin);
        w.UI16(d.rightMargin);
        w.UI16(d.indent);
        w.UI16(d.leading);
    }
    w.String(d.variable);
    if (d.flags & 0x0080) w.String(d.text);
    return Tag(37, w.Take(), true);
}

// DefineFont2 named `name` with the writer's polygon glyphs for the codes
// 'A', 'B', ... and no layout.
inline Bytes NamedFont(uint16_t id, const std::string& name,
                       const std::vector<std::vector<std::pair<int32_t, int32_t>>>& glyphs)
{
    Bytes t = DefineFont2(id, glyphs);
    // Replace the name "Test" (length byte at body offset 4).
    Bytes body(t.begin() + 6, t.end());
    Bytes out(body.begin(), body.begin() + 4);
    out.push_back(uint8_t(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), body.begin() + 9, body.end());
    return Tag(48, out, true);
}

inline Bytes PlaceAt(uint16_t depth, uint16_t id, int32_t x, int32_t y, const char* name = nullptr)
{
    static Matrix m;
    m = Matrix::Translate(x, y);
    Place p;
    p.depth = depth;
    p.id = id;
    p.matrix = &m;
    p.name = name;
    return PlaceObject2(p);
}

}  // namespace moviefile_test
