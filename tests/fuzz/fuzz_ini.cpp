// fuzz-links: wb_model
// The settings file is text a user may have edited by hand: any bytes must
// read, write back to a stable text, and keep the key operations honest (a
// key just set reads back as set, deleting never fails).  The
// hexadecimal structure form must decode only what it encoded.
#include "model/designfile/ini_file.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A name the operations below may use: letters and digits taken from the
// input, so that it never holds '=', ']' or a line break.
CString TakeName(const uint8_t*& p, const uint8_t* end)
{
    CString name;
    while (p < end && name.size() < 8) {
        const char c = static_cast<char>(*p++);
        if (c == 0) break;
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) name.push_back(c);
    }
    return name.empty() ? CString("k") : name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first bytes drive the operations, the rest is the file's text.
    const size_t ops = size < 32 ? size : 32;
    const uint8_t* p = data;
    const uint8_t* opsEnd = data + ops;

    CIniFile ini("");
    ini.SetText(CString(reinterpret_cast<const char*>(data + ops), size - ops));
    const CString once = ini.GetText();
    ini.SetText(once);
    if (ini.GetText() != once) std::abort();

    while (p < opsEnd) {
        const uint8_t op = *p++;
        const CString section = TakeName(p, opsEnd);
        const CString key = TakeName(p, opsEnd);
        CString value;
        switch (op % 4) {
        case 0: {
            // Values without line breaks, edge blanks or enclosing quotes
            // read back unchanged.
            const CString v = TakeName(p, opsEnd) + " x";
            ini.SetString(section, key, v);
            if (!ini.GetString(section, key, &value) || value != v) std::abort();
            break;
        }
        case 1:
            ini.DeleteKey(section, key);
            break;
        case 2:
            ini.DeleteSection(section);
            break;
        default:
            ini.GetString(section, key, &value);
            break;
        }
    }

    // Structures: whatever text decodes must encode to the same text (up to
    // the case of the hexadecimal digits); encoded bytes always decode.
    const CString text(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
    std::vector<uint8_t> buf(text.size() / 2 + 1);
    const size_t n = text.size() >= 2 ? text.size() / 2 - 1 : 0;
    if (DecodeProfileStruct(text, buf.data(), n)) {
        CString upper = text;
        if (EncodeProfileStruct(buf.data(), n) != upper.MakeUpper()) std::abort();
    }
    std::vector<uint8_t> back(n);
    if (!DecodeProfileStruct(EncodeProfileStruct(data, n), back.data(), n)) std::abort();
    if (n && std::memcmp(back.data(), data, n) != 0) std::abort();
    return 0;
}
