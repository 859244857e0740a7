#include "model/designfile/settings_file.h"

#include "model/designfile/ini_file.h"

#include <QStandardPaths>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

CString SettingsFilePath()
{
    if (const char* env = std::getenv("WB_SETTINGS_FILE"); env && *env) return env;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return CString((folder + "/Marrowgate/varnholt.ini").toLocal8Bit().toStdString());
}

CString IntToIniLetters(int value)
{
    uint32_t v = static_cast<uint32_t>(value);
    if (v == 0) return "a";
    CString out;
    while (v) {
        out.push_back(static_cast<char>('A' + v % 26));
        v /= 26;
    }
    std::reverse(out.begin(), out.end());
    return out;
}

bool IniLettersToInt(const CString& text, int* value)
{
    uint64_t v = 0;
    for (char c : text) {
        if (c < 'A' || c > 'Z') break;
        v = v * 26 + static_cast<uint64_t>(c - 'A');
        if (v > 0xFFFFFFFFu) return false;
    }
    *value = static_cast<int>(static_cast<uint32_t>(v));
    return true;
}

int ReadIniInt(const char* section, const char* key, int def, const CString& file)
{
    static const char kSentinel[] = "SHITE";
    char buf[20];
    const int n = GetPrivateProfileString(section, key, kSentinel, buf, sizeof buf, file);
    if (n == 0 || std::strcmp(buf, kSentinel) == 0) return def;
    int v = 0;
    return IniLettersToInt(CString(buf, static_cast<size_t>(n)), &v) ? v : def;
}

bool WriteIniInt(const char* section, const char* key, int value, const CString& file)
{
    const CString letters = IntToIniLetters(value);
    return WritePrivateProfileString(section, key, letters.c_str(), file);
}

CCharFormat& ProgramDefaultFont()
{
    static CCharFormat font = [] {
        CCharFormat cf;
        InitDefaultCharFormat(&cf);
        cf.height = 200;
        cf.charset = 1;
        return cf;
    }();
    return font;
}

bool LoadDefaultFont(bool load, const CString& file)
{
    CCharFormat& font = ProgramDefaultFont();
    if (!load) {
        const auto bytes = font.ToBytes();
        return WritePrivateProfileStruct("Default Font", "Format", bytes.data(), bytes.size(), file);
    }
    uint8_t bytes[kCharFormatBytes];
    if (GetPrivateProfileStruct("Default Font", "Format", bytes, sizeof bytes, file)) {
        font = CCharFormat::FromBytes(bytes);
        return true;
    }
    InitDefaultCharFormat(&font);
    font.height = 200;
    font.charset = 1;
    return false;
}
