// The string table: user-visible texts by numeric id, built into the program
// from resources/strings/*.txt.
#pragma once

#include "platform/cstring.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

// The text of the id, empty when absent.
CString LoadResString(uint32_t id);

// Adds the texts of one table file: lines "id<TAB>text", the text with the
// escapes \n \r \t \\; lines without a numeric id before a tab are skipped,
// and a later line with the same id wins.
void ParseStringTable(std::string_view text, std::unordered_map<uint32_t, CString>& table);
