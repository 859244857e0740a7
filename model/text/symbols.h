// The label's symbol palette: which character a chosen palette entry
// inserts, and in which font.
#pragma once

#include "platform/cstring.h"

// The palette's entries, one per line, drawn in the Symbol font.
extern const char* const kSymbolPalette;

// The character code a palette selection inserts: "2" and "3" insert the
// superscripts 178 and 179, an empty selection inserts "a".
int PaletteCode(const CString& selection);

// A Symbol-font letter in the Greek code page (1253): the Latin letters that
// the Symbol font shows as Greek are moved to their Greek letter, then 128
// is added (modulo 256), except for the superscripts 178 and 179.
int MapSymbolToGreek(int code);

// How a code goes into the selection.
struct SymbolInsert {
    int code;             // the byte inserted
    enum Font { Keep, Symbol, Arial } font;  // the font switched to while inserting
};

// selectionCharset and selectionFace describe the selection's format.
SymbolInsert PlanSymbolInsert(int code, int selectionCharset, const CString& selectionFace);
