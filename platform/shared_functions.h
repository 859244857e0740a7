// Small functions that every subsystem calls: values printed in five
// characters with an SI letter, file tests and attributes, path separators,
// and paths relative to a design file and back.
//
// Stored paths use the separators '\\' and ':' of the files this program
// reads; '/' counts as a separator too, so that paths of this system work.
// Paths reach the file system only through ToNativePath.
#pragma once

#include "platform/cstring.h"

// A number in five characters followed by an SI prefix letter (p n µ m k M
// G; µ is the byte 0xB5), e.g. " 4.70k".  magnitude: print |value|;
// smallPrefixes: allow p and n; largePrefixes: allow k, M, G (without them
// values of 9999.5 and more print as "+++++" or "-----"); roundUp: round away
// from the value's remaining digits; oneDecimal: one decimal below 10.
CString FormatValueWithPrefix(double value, bool magnitude, bool smallPrefixes, bool largePrefixes, bool roundUp,
                              bool oneDecimal);

bool IsPathSeparator(char c);
// Turns every separator into '\\', except that of two separators in a row
// the first becomes ':' (so "C:\\" survives); a built-in picture name
// ("<LOCAL>=...") is left alone and gives 0; else returns the length.
int NormalizePathSeparators(CString& path);

// path relative to the folder of the file base: "..\\" per level up, or
// ".\\"; 0 and path unchanged when they share less than two characters.
// Compared without regard to case.
bool MakeRelativePath(const CString& path, const CString& base, CString& out);
// A relative path (one that begins with '.') resolved against the folder of
// the file base; other paths are returned as they are.
bool ResolveRelativePath(const CString& relative, const CString& base, CString& out);

// The path as this system's file functions take it ('\\' becomes '/').
CString ToNativePath(const CString& path);

// True when the file exists and is not empty; with a base, the path is
// first resolved against it.
bool FileExistsNotEmpty(const CString& path, const CString* baseFolder);

// File attribute bits of the stored format; only read-only maps onto this
// system (the write permissions).
enum : unsigned char { FILE_ATTR_READONLY = 0x01 };
// Sets or clears attribute bits; false for an empty path or when the
// file's status cannot be read or written.
bool ChangeFileAttributes(const char* path, bool set, unsigned char bits);
// True when the file is read-only.
bool IsFileReadOnly(const CString& path);
