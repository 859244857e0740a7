#include "model/designfile/design_paths.h"

#include "platform/shared_functions.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsDrivePrefix(const CString& s)
{
    return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

} // namespace

CString StoredPathToNative(const CString& stored)
{
    CString s = IsDrivePrefix(stored) ? stored.Mid(2) : stored;
    return ToNativePath(s);
}

bool FindPathNoCase(const CString& native, CString* found)
{
    std::error_code ec;
    const fs::path p(native.c_str());
    if (fs::exists(p, ec)) {
        *found = native;
        return true;
    }
    fs::path current = p.is_absolute() ? p.root_path() : fs::path(".");
    for (const fs::path& part : p.relative_path()) {
        const std::string name = part.string();
        if (name.empty() || name == ".") continue;
        fs::path next = current / part;
        if (name != ".." && !fs::exists(next, ec)) {
            bool matched = false;
            for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
                if (EqualNoCase(it->path().filename().string(), name)) {
                    next = it->path();
                    matched = true;
                    break;
                }
            }
            if (!matched) return false;
        }
        current = next;
    }
    if (!fs::exists(current, ec)) return false;
    *found = CString(current.lexically_normal().string());
    return true;
}

bool ResolveStoredPath(const CString& stored, const CString& designPath, CString* out)
{
    if (stored.IsEmpty()) return false;
    CString candidate = stored;
    if (stored[0] == '.' && !designPath.IsEmpty()) ResolveRelativePath(stored, designPath, candidate);
    candidate = StoredPathToNative(candidate);
    *out = candidate;
    if (FindPathNoCase(candidate, out)) return true;
    if (!designPath.IsEmpty()) {
        CString name = stored;
        for (int i = name.GetLength() - 1; i >= 0; --i)
            if (IsPathSeparator(name[static_cast<size_t>(i)]) || name[static_cast<size_t>(i)] == '/') {
                name = name.Mid(i + 1);
                break;
            }
        const fs::path folder = fs::path(ToNativePath(designPath).c_str()).parent_path();
        CString inFolder((folder / name.c_str()).string());
        if (FindPathNoCase(inFolder, out)) return true;
    }
    *out = candidate;
    return false;
}
