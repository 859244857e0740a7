#include "model/text/rtf_rewrite.h"

#include "platform/numtext.h"

#include <cmath>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Length of the escape or control word that starts with the backslash at i
// (at least 1), without its parameter's binary payload.
size_t ControlLength(std::string_view s, size_t i)
{
    if (i + 1 >= s.size()) return 1;
    const char c = s[i + 1];
    if (c == '\'') return std::min<size_t>(4, s.size() - i);
    if (!IsLetter(c)) return 2;
    size_t j = i + 1;
    while (j < s.size() && IsLetter(s[j])) ++j;
    if (j < s.size() && s[j] == '-') ++j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    return j - i;
}

// When the control word at i is \binN, the number of raw bytes after it
// (its delimiter space included), else 0.
size_t BinaryPayload(std::string_view s, size_t i, size_t len)
{
    std::string_view w = s.substr(i, len);
    if (w.substr(0, 4) != "\\bin" || w.size() == 4) return 0;
    unsigned long long n = 0;
    for (char c : w.substr(4)) {
        if (!IsDigit(c)) return 0;
        n = std::min<unsigned long long>(n * 10 + unsigned(c - '0'), s.size());
    }
    const size_t after = i + len;
    const size_t space = after < s.size() && s[after] == ' ' ? 1 : 0;
    return std::min<size_t>(space + n, s.size() - after);
}

// The index just past the group that opens at s[open] == '{', or s.size().
size_t GroupEnd(std::string_view s, size_t open)
{
    int depth = 0;
    for (size_t i = open; i < s.size();) {
        const char c = s[i];
        if (c == '\\') {
            const size_t len = ControlLength(s, i);
            i += len + BinaryPayload(s, i, len);
            continue;
        }
        if (c == '{') ++depth;
        if (c == '}' && --depth == 0) return i + 1;
        ++i;
    }
    return s.size();
}

std::string FixEntry(std::string_view e)
{
    // Find \fcharset and the last control word before the name at the
    // entry's own level.
    size_t insertAt = std::string_view::npos;
    for (size_t i = 1; i < e.size();) {
        const char c = e[i];
        if (c == '\\') {
            const size_t len = ControlLength(e, i);
            std::string_view w = e.substr(i, len);
            if (w.substr(0, 9) == "\\fcharset" && (w.size() == 9 || IsDigit(w[9]) || w[9] == '-')) {
                return std::string(e.substr(0, i)) + "\\fcharset2" + std::string(e.substr(i + len));
            }
            if (len > 1 && IsLetter(e[i + 1])) insertAt = i + len;
            i += len + BinaryPayload(e, i, len);
            continue;
        }
        if (c == '{') {
            i = GroupEnd(e, i);
            continue;
        }
        if (c == ' ' && insertAt == i) {  // a control word's delimiter
            ++i;
            continue;
        }
        break;  // the font name, or the entry's end
    }
    if (insertAt == std::string_view::npos) insertAt = 1;
    return std::string(e.substr(0, insertAt)) + "\\fcharset2" + std::string(e.substr(insertAt));
}

}  // namespace

std::string RescaleRtfFontSizes(std::string_view s, double factor)
{
    std::string out;
    out.reserve(s.size() + 16);
    for (size_t i = 0; i < s.size();) {
        if (s[i] != '\\') {
            out.push_back(s[i++]);
            continue;
        }
        const size_t len = ControlLength(s, i);
        std::string_view w = s.substr(i, len);
        if (w.substr(0, 3) == "\\fs") {
            const std::string_view digits = w.substr(3);
            const size_t next = i + 3;
            const bool eligible = next < s.size() && (IsDigit(s[next]) || s[next] == '\\' || IsSpace(s[next]));
            if (eligible && digits.size() <= 9) {
                long long n = digits.empty() ? 24 : 0;
                for (char c : digits) n = n * 10 + (c - '0');
                double scaled = static_cast<double>(n) * factor;
                if (!(scaled > std::numeric_limits<int>::min() && scaled < std::numeric_limits<int>::max())) scaled = 0;
                out += "\\fs";
                out += FormatInt(static_cast<int>(scaled));
                i += len;
                continue;
            }
        }
        const size_t payload = BinaryPayload(s, i, len);
        out.append(s.substr(i, len + payload));
        i += len + payload;
    }
    return out;
}

std::string FixRtfFontTable(std::string_view s)
{
    const size_t at = s.find("\\fonttbl");
    if (at == std::string_view::npos) return std::string(s);
    std::string out(s.substr(0, at + 8));
    size_t i = at + 8;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '}') break;  // the end of the table
        if (c == '\\') {
            const size_t len = ControlLength(s, i);
            const size_t payload = BinaryPayload(s, i, len);
            out.append(s.substr(i, len + payload));
            i += len + payload;
            continue;
        }
        if (c == '{') {
            const size_t end = GroupEnd(s, i);
            std::string_view entry = s.substr(i, end - i);
            if (entry.find("Symbol") != std::string_view::npos || entry.find("symbol") != std::string_view::npos)
                out += FixEntry(entry);
            else
                out.append(entry);
            i = end;
            continue;
        }
        out.push_back(c);
        ++i;
    }
    out.append(s.substr(i));
    return out;
}
