// Model text: 8-bit Windows-1252 bytes, as designs store them (µ is 0xB5).
// A thin std::string with the handful of helpers the model's code reads best
// with; conversion to and from Unicode happens only at the user interface
// (text1252.h).
#pragma once

#include <algorithm>
#include <cctype>
#include <string>

class CString : public std::string {
public:
    using std::string::string;
    CString() = default;
    CString(const std::string& s) : std::string(s) {}
    CString(std::string&& s) : std::string(std::move(s)) {}

    int GetLength() const { return static_cast<int>(size()); }
    bool IsEmpty() const { return empty(); }
    void Empty() { clear(); }
    CString Left(int n) const { return substr(0, static_cast<size_t>(std::clamp(n, 0, GetLength()))); }
    CString Right(int n) const
    {
        n = std::clamp(n, 0, GetLength());
        return substr(size() - static_cast<size_t>(n));
    }
    CString Mid(int first) const { return first >= GetLength() ? CString() : substr(static_cast<size_t>(std::max(first, 0))); }
    CString Mid(int first, int count) const
    {
        first = std::max(first, 0);
        if (first >= GetLength() || count <= 0) return {};
        return substr(static_cast<size_t>(first), static_cast<size_t>(count));
    }
    // Index of the first match at or after start, or -1.
    int Find(const char* sub, int start = 0) const
    {
        size_t p = find(sub, static_cast<size_t>(std::max(start, 0)));
        return p == npos ? -1 : static_cast<int>(p);
    }
    int Find(char c, int start = 0) const
    {
        size_t p = find(c, static_cast<size_t>(std::max(start, 0)));
        return p == npos ? -1 : static_cast<int>(p);
    }
    int ReverseFind(char c) const
    {
        size_t p = rfind(c);
        return p == npos ? -1 : static_cast<int>(p);
    }
    // ASCII-only case changes: the model's upper-casing is used for file
    // names and keys, never for display.
    CString& MakeUpper()
    {
        for (char& c : *this) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return *this;
    }
    CString& MakeLower()
    {
        for (char& c : *this) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return *this;
    }
    operator const char*() const { return c_str(); }
};
