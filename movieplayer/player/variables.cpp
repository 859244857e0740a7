#include "movieplayer/player/variables.h"

#include "movieplayer/player/number_text.h"

namespace movie {

const std::string* VariableList::Find(const std::string& name) const
{
    for (const Variable& v : vars_)
        if (EqualNoCase(v.name, name)) return &v.value;
    return nullptr;
}

void VariableList::Set(const std::string& name, const std::string& value)
{
    for (Variable& v : vars_)
        if (EqualNoCase(v.name, name)) {
            v.value = value;
            return;
        }
    vars_.push_back({name, value});
}

std::string FormEncode(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c == ' ') {
            out += '+';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string FormEncodeVariables(const VariableList& vars)
{
    std::string out;
    for (const Variable& v : vars.All()) {
        if (v.name.empty()) continue;
        if (!out.empty()) out += '&';
        out += FormEncode(v.name);
        out += '=';
        out += FormEncode(v.value);
    }
    return out;
}

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string FormDecode(const char* p, const char* end)
{
    std::string out;
    while (p < end) {
        char c = *p++;
        if (c == '+') {
            out += ' ';
        } else if (c != '%') {
            out += c;
        } else {
            if (p >= end) break;
            int hi = HexValue(*p++);
            if (hi < 0) continue;   // the "%" and that character go
            if (p >= end) break;
            int lo = HexValue(*p++);
            if (lo < 0) continue;   // all three go
            out += char(hi * 16 + lo);
        }
    }
    return out;
}

void ParseFormVariables(const std::string& text, VariableList& vars)
{
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const char* name = p;
        while (p < end && *p != '=' && *p != '&') ++p;
        const char* nameEnd = p;
        const char* value = p;
        const char* valueEnd = p;
        if (p < end && *p == '=') {
            value = ++p;
            while (p < end && *p != '&') ++p;
            valueEnd = p;
        }
        if (p < end && *p == '&') ++p;
        std::string n = FormDecode(name, nameEnd);
        if (n.empty()) continue;
        vars.Set(n, FormDecode(value, valueEnd));
    }
}

}  // namespace movie
