// The string table: user-visible texts by numeric id, built into the program
// from resources/strings/*.txt.
#pragma once

#include "platform/cstring.h"

#include <cstdint>

// The text of the id, empty when absent.
CString LoadResString(uint32_t id);
