// Byte <-> Unicode for the charsets that RTF font tables name.  Windows-1252
// (ANSI, the default), Greek (1253) and the Symbol font's own encoding are
// built in; other charsets go through Qt's converters when they know the
// code page and read as 1252 otherwise.
#pragma once

#include <QString>

#include <string>
#include <string_view>

QString DecodeCharset(int charset, const std::string& bytes);
// Encodes one character; false when the charset has no byte for it.
bool EncodeCharset(int charset, char16_t c, std::string* out);

// A character of the Symbol font as Unicode: Greek letters for the Latin
// ones, mathematical signs elsewhere; the bytes without a Unicode
// counterpart go to the private-use area U+F000 + byte.
char16_t SymbolToUnicode(unsigned char b);

// A font whose face is Symbol is read in the Symbol encoding whatever
// charset its table entry claims (older files store it as charset 0).
// The face is the table's bytes (Latin-1 letters fold to no ASCII letter,
// so the bytes compare as the text would).
bool IsSymbolFace(std::string_view face);
