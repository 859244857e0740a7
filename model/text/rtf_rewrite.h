// Byte-exact repairs of stored RTF, run by the document-wide text commands
// on every label: everything outside the rewritten control words is copied
// unchanged.
#pragma once

#include <string>
#include <string_view>

// Every \fs control word (followed by a digit, a backslash or white space)
// gets the size n x factor, truncated to an integer; n is its parameter, or
// 24 half-points when it has none.  Escaped backslashes (\\), \'hh escapes
// and \bin data are copied as they are, so text that merely shows "\fs" is
// never touched.
std::string RescaleRtfFontSizes(std::string_view rtf, double factor);

// Gives every brace-delimited entry of the font table that mentions "Symbol"
// or "symbol" the charset 2: its \fcharset parameter becomes 2, or
// \fcharset2 is inserted after the last control word before the font name.
std::string FixRtfFontTable(std::string_view rtf);
