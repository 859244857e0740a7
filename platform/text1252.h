// Conversion between model text (Windows-1252 bytes) and Qt's Unicode text,
// used only at the user interface and where Qt renders text.
#pragma once

#include <QString>
#include <string>

// Each byte maps to one character; the five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the same code point.
QString FromWindows1252(const std::string& bytes);
// Characters outside Windows-1252 become '?'.
std::string ToWindows1252(const QString& text);
