// fuzz-links: wb_platform
// The string table's reader: any text gives some table, and a table written
// back in the file's form (escaping \, line breaks and tabs) reads back to
// the same texts.
#include "platform/strings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string Escape(const CString& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unordered_map<uint32_t, CString> table;
    ParseStringTable(std::string_view(reinterpret_cast<const char*>(data), size), table);

    std::string written;
    for (const auto& [id, text] : table) written += std::to_string(id) + "\t" + Escape(text) + "\n";
    std::unordered_map<uint32_t, CString> again;
    ParseStringTable(written, again);
    if (again != table) std::abort();
    return 0;
}
