// Writes action lists for test movies, byte by byte from the action record
// layout (code, UI16 length when the code has bit 0x80, operands).
#pragma once

#include <cstring>
#include <string>

#include "moviefile_writer.h"

namespace moviefile_test {

class ActionWriter {
public:
    ActionWriter& Op(uint8_t code)
    {
        b_.push_back(code);
        return *this;
    }
    ActionWriter& Record(uint8_t code, const Bytes& operands)
    {
        b_.push_back(code);
        b_.push_back(uint8_t(operands.size() & 0xFF));
        b_.push_back(uint8_t(operands.size() >> 8));
        b_.insert(b_.end(), operands.begin(), operands.end());
        return *this;
    }
    ActionWriter& Push(const std::string& s)
    {
        Bytes o{0};
        o.insert(o.end(), s.begin(), s.end());
        o.push_back(0);
        return Record(0x96, o);
    }
    ActionWriter& PushFloat(float f)
    {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        return Record(0x96, {1, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24)});
    }
    ActionWriter& SetVariable(const std::string& path, const std::string& value)
    {
        return Push(path).Push(value).Op(0x1D);
    }
    ActionWriter& GetVariable(const std::string& path) { return Push(path).Op(0x1C); }
    ActionWriter& GotoFrame(uint16_t f) { return Record(0x81, {uint8_t(f), uint8_t(f >> 8)}); }
    ActionWriter& GotoLabel(const std::string& label) { return Record(0x8C, Text(label)); }
    ActionWriter& SetTarget(const std::string& path) { return Record(0x8B, Text(path)); }
    ActionWriter& GetURL(const std::string& url, const std::string& target)
    {
        Bytes o = Text(url);
        Bytes t = Text(target);
        o.insert(o.end(), t.begin(), t.end());
        return Record(0x83, o);
    }
    // Pops target and url (push url first).
    ActionWriter& GetURL2(uint8_t method) { return Record(0x9A, {method}); }
    ActionWriter& GotoFrame2(bool play) { return Record(0x9F, {uint8_t(play ? 1 : 0)}); }
    ActionWriter& Jump(int16_t offset) { return Record(0x99, {uint8_t(offset), uint8_t(uint16_t(offset) >> 8)}); }
    ActionWriter& If(int16_t offset) { return Record(0x9D, {uint8_t(offset), uint8_t(uint16_t(offset) >> 8)}); }
    ActionWriter& Raw(const Bytes& bytes)
    {
        b_.insert(b_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    size_t Size() const { return b_.size(); }
    // The DoAction tag (12) with the End action.
    Bytes Tag() const
    {
        Bytes body = b_;
        body.push_back(0);
        return moviefile_test::Tag(12, body, true);
    }

private:
    static Bytes Text(const std::string& s)
    {
        Bytes o(s.begin(), s.end());
        o.push_back(0);
        return o;
    }
    Bytes b_;
};

// DefineSprite (39) with its own tags (End added).
inline Bytes DefineSpriteTag(uint16_t id, uint16_t frames, const Bytes& tags)
{
    BitWriter w;
    w.UI16(id);
    w.UI16(frames);
    w.Append(tags);
    w.UI16(0);
    return Tag(39, w.Take(), true);
}

inline Bytes FrameLabel(const std::string& label)
{
    Bytes o(label.begin(), label.end());
    o.push_back(0);
    return Tag(43, o);
}

}  // namespace moviefile_test
