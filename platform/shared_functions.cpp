#include "platform/shared_functions.h"

#include "platform/numtext.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

CString FormatValueWithPrefix(double value, bool magnitude, bool smallPrefixes, bool largePrefixes, bool roundUp,
                              bool oneDecimal)
{
    double v = magnitude ? std::fabs(value) : value;
    double a = std::fabs(v);
    const char* prefix = "";
    if (a >= 0.9995) {
        if (largePrefixes && a > 999.5) {
            if (a < 999500) {
                prefix = "k";
                v *= 0.001;
            } else if (a >= 9.995e8) {
                prefix = "G";
                v *= 1e-9;
            } else {
                prefix = "M";
                v *= 1e-6;
            }
        }
    } else if (!smallPrefixes) {
        if (a >= 0.0009995) {
            prefix = "m";
            v *= 1000;
        } else {
            prefix = "\xB5";
            v *= 1e6;
        }
    } else if (a < 9.995e-10) {
        prefix = "p";
        v *= 1e12;
    } else if (a < 9.995e-7) {
        prefix = "n";
        v *= 1e9;
    } else if (a >= 0.0009995) {
        prefix = "m";
        v *= 1000;
    } else {
        prefix = "\xB5";
        v *= 1e6;
    }
    a = std::fabs(v);
    if (a < 0.005) return " 0";
    auto fractional = [](double x) { return x != std::trunc(x); };
    CString text;
    if (a >= 9999.5 && !largePrefixes) return v >= 0 ? "+++++" : "-----";
    if (a >= 99.95) {
        if (roundUp && fractional(v)) v += 1;
        text = FormatFixed(v, 5, 0);
    } else if (a >= 9.995 || oneDecimal) {
        if (roundUp && fractional(v * 10)) v += 0.1;
        text = FormatFixed(v, 5, 1);
    } else {
        if (roundUp && fractional(v * 100)) v += 0.01;
        text = FormatFixed(v, 5, 2);
    }
    return text + prefix;
}

bool IsPathSeparator(char c) { return c == '\\' || c == ':' || c == '/'; }

int NormalizePathSeparators(CString& path)
{
    if (path.rfind("<LOCAL>=", 0) == 0) return 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (!IsPathSeparator(path[i])) continue;
        if (i + 1 < path.size() && IsPathSeparator(path[i + 1])) {
            path[i] = ':';
            path[i + 1] = '\\';
            ++i;
        } else {
            path[i] = '\\';
        }
    }
    return path.GetLength();
}

bool MakeRelativePath(const CString& path, const CString& base, CString& out)
{
    CString p = path, b = base;
    p.MakeUpper();
    b.MakeUpper();
    const size_t limit = std::min<size_t>(b.size(), 260);
    size_t componentStart = 0;
    size_t i = 0;
    for (; i < limit; ++i) {
        if (i >= p.size() || p[i] != b[i]) break;
        if (IsPathSeparator(b[i])) componentStart = i + 1;
    }
    const size_t common = componentStart;
    int levels = 0;
    for (size_t k = common; k < limit; ++k)
        if (IsPathSeparator(b[k])) ++levels;
    if (common < 2) {
        out = path;
        return false;
    }
    CString rel;
    if (levels == 0) rel = ".\\";
    for (int k = 0; k < levels; ++k) rel += "..\\";
    out = rel + path.Mid(static_cast<int>(common));
    return true;
}

CString ToNativePath(const CString& path)
{
    CString n = path;
    for (char& c : n)
        if (c == '\\') c = '/';
    return n;
}

bool ResolveRelativePath(const CString& relative, const CString& base, CString& out)
{
    out = base;
    if (relative.IsEmpty()) return false;
    if (relative[0] != '.') {
        out = relative;
        return true;
    }
    if (base.IsEmpty()) return false;
    std::error_code ec;
    fs::path folder = fs::path(ToNativePath(base).c_str()).parent_path();
    if (folder.empty()) folder = fs::current_path(ec);
    if (ec) {
        out = relative;
        return false;
    }
    fs::path full = fs::absolute(folder / fs::path(ToNativePath(relative).c_str()), ec).lexically_normal();
    if (ec) {
        out = relative;
        return false;
    }
    out = CString(full.string());
    return true;
}

bool FileExistsNotEmpty(const CString& path, const CString* baseFolder)
{
    CString resolved = path;
    if (baseFolder) ResolveRelativePath(path, *baseFolder, resolved);
    std::error_code ec;
    auto size = fs::file_size(fs::path(ToNativePath(resolved).c_str()), ec);
    return !ec && size > 0;
}

bool IsFileReadOnly(const CString& path)
{
    std::error_code ec;
    auto st = fs::status(fs::path(ToNativePath(path).c_str()), ec);
    if (ec || !fs::exists(st)) return false;
    return (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}

bool ChangeFileAttributes(const char* path, bool set, unsigned char bits)
{
    if (!path || !*path) return false;
    std::error_code ec;
    const fs::path p(ToNativePath(path).c_str());
    auto st = fs::status(p, ec);
    if (ec || !fs::exists(st)) return false;
    if (!(bits & FILE_ATTR_READONLY)) return true;
    const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (set)
        fs::permissions(p, write, fs::perm_options::remove, ec);
    else if ((st.permissions() & fs::perms::owner_write) == fs::perms::none)
        fs::permissions(p, fs::perms::owner_write, fs::perm_options::add, ec);
    return !ec;
}
