// The settings file: a Windows-style INI text of "[Section]" lines and
// "key=value" lines, read and written by our own code so that the layout
// stays the one the program's earlier editions wrote (section and key names
// with spaces, values unescaped, structures as hexadecimal bytes with a
// checksum).  Section and key names compare without regard to ASCII case.
// Lines the program does not touch are kept as they stand.
#pragma once

#include "platform/cstring.h"

#include <cstddef>
#include <vector>

class CIniFile {
public:
    explicit CIniFile(const CString& path) : m_path(path) {}

    // Reads the file; a missing file reads as empty (false).
    bool Load();
    // Writes the text beside the file and renames it over the old one, so
    // a failed write leaves the old file as it was.
    bool Save() const;

    // The value of the key (spaces around it trimmed, one pair of enclosing
    // quotes removed); false when the section or key is absent.
    bool GetString(const CString& section, const CString& key, CString* out) const;
    // Sets the key, adding the section and the key at their ends.
    void SetString(const CString& section, const CString& key, const CString& value);
    void DeleteKey(const CString& section, const CString& key);
    void DeleteSection(const CString& section);

    // The whole text as it would be saved.
    CString GetText() const;
    void SetText(const CString& text);

private:
    // Index of the section's header line, or -1.
    int FindSection(const CString& section) const;
    // Index of the key's line within the section starting at header, or -1.
    int FindKey(int header, const CString& key) const;
    // Index of the line after the section's last line.
    int SectionEnd(int header) const;

    CString m_path;
    std::vector<CString> m_lines;
};

// The private-profile functions on a file path.
// Copies the value (or def when the key is absent) into buf, cut to
// size - 1 characters and terminated; returns the characters copied.
int GetPrivateProfileString(const char* section, const char* key, const char* def, char* buf, int size,
                            const CString& path);
// A null value deletes the key, a null key the whole section.
bool WritePrivateProfileString(const char* section, const char* key, const char* value, const CString& path);
// The text form of a structure and its reading (false on a wrong length, a
// bad digit or a wrong checksum; data is untouched then).
CString EncodeProfileStruct(const void* data, size_t size);
bool DecodeProfileStruct(const CString& text, void* data, size_t size);
// A structure: its bytes as two upper-case hexadecimal digits each, then
// the low byte of their sum.  Reading fails on a wrong length, a bad digit
// or a wrong checksum.
bool GetPrivateProfileStruct(const char* section, const char* key, void* data, size_t size, const CString& path);
bool WritePrivateProfileStruct(const char* section, const char* key, const void* data, size_t size,
                               const CString& path);
