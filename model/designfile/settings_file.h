// The program's settings file varnholt.ini: integers stored as capital
// letters in base 26 and the default text format of new designs.
//
// Place: the user's configuration folder (on Linux $XDG_CONFIG_HOME, else
// ~/.config) in the folder "Marrowgate"; WB_SETTINGS_FILE overrides it.
#pragma once

#include "model/text/charformat.h"
#include "platform/cstring.h"

// The full path of varnholt.ini.
CString SettingsFilePath();

// The letter form: base 26, "A" = 0 .. "Z" = 25, most significant letter
// first; 0 is written "a".  Negative values are written as their unsigned
// 32-bit pattern so that every int round-trips.
CString IntToIniLetters(int value);
// Reads capital letters from the start of the text and stops at the first
// other character ("a" reads 0).  Returns false when the value would not fit
// in 32 bits.
bool IniLettersToInt(const CString& text, int* value);

// The value of the key, or def when it is absent, empty, the sentinel text
// comes back, or the letters overflow 32 bits.  Only the first 19
// characters are read.
int ReadIniInt(const char* section, const char* key, int def, const CString& file);
bool WriteIniInt(const char* section, const char* key, int value, const CString& file);

// The program-wide default text format that every new design copies.
CCharFormat& ProgramDefaultFont();
// load: reads section "Default Font", key "Format" (60 bytes) into the
// program-wide format and returns true; when that fails the built-in format
// with a height of 200 twips and character set 1 takes its place and false
// is returned.  !load: stores the format and returns the write's success.
bool LoadDefaultFont(bool load, const CString& file);
