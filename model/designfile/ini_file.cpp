#include "model/designfile/ini_file.h"
#include "platform/safe_save.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace {

CString Trim(const CString& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

bool EqualNoCase(const CString& a, const CString& b)
{
    CString x = a, y = b;
    return x.MakeUpper() == y.MakeUpper();
}

// "[name]" -> name; false for other lines.
bool SectionName(const CString& line, CString* name)
{
    CString t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == CString::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// "key=value" -> key and value; false for lines without '='.
bool KeyValue(const CString& line, CString* key, CString* value)
{
    size_t eq = line.find('=');
    if (eq == CString::npos) return false;
    *key = Trim(line.substr(0, eq));
    if (value) *value = Trim(line.substr(eq + 1));
    return true;
}

const char kHex[] = "0123456789ABCDEF";

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

bool CIniFile::Load()
{
    m_lines.clear();
    QFile f(QString::fromLocal8Bit(m_path.c_str()));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray all = f.readAll();
    SetText(CString(all.constData(), static_cast<size_t>(all.size())));
    return true;
}

bool CIniFile::Save() const
{
    const CString text = GetText();
    return SaveFileSafely(QString::fromLocal8Bit(m_path.c_str()), text.data(), static_cast<int64_t>(text.size()));
}

void CIniFile::SetText(const CString& text)
{
    m_lines.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == CString::npos) nl = text.size();
        CString line = text.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        m_lines.push_back(line);
        start = nl + 1;
    }
}

CString CIniFile::GetText() const
{
    CString out;
    for (const CString& l : m_lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

int CIniFile::FindSection(const CString& section) const
{
    CString name;
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (SectionName(m_lines[i], &name) && EqualNoCase(name, section)) return static_cast<int>(i);
    return -1;
}

int CIniFile::SectionEnd(int header) const
{
    CString name;
    size_t i = static_cast<size_t>(header) + 1;
    while (i < m_lines.size() && !SectionName(m_lines[i], &name)) ++i;
    return static_cast<int>(i);
}

int CIniFile::FindKey(int header, const CString& key) const
{
    const int end = SectionEnd(header);
    CString k;
    for (int i = header + 1; i < end; ++i) {
        const CString& l = m_lines[static_cast<size_t>(i)];
        if (!l.empty() && l[0] == ';') continue;
        if (KeyValue(l, &k, nullptr) && EqualNoCase(k, key)) return i;
    }
    return -1;
}

bool CIniFile::GetString(const CString& section, const CString& key, CString* out) const
{
    const int h = FindSection(section);
    if (h < 0) return false;
    const int i = FindKey(h, key);
    if (i < 0) return false;
    CString k, v;
    KeyValue(m_lines[static_cast<size_t>(i)], &k, &v);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    *out = v;
    return true;
}

void CIniFile::SetString(const CString& section, const CString& key, const CString& value)
{
    int h = FindSection(section);
    if (h < 0) {
        m_lines.push_back("[" + section + "]");
        h = static_cast<int>(m_lines.size()) - 1;
    }
    const CString line = key + "=" + value;
    const int i = FindKey(h, key);
    if (i >= 0) {
        m_lines[static_cast<size_t>(i)] = line;
        return;
    }
    // After the section's last non-empty line.
    int end = SectionEnd(h);
    while (end > h + 1 && Trim(m_lines[static_cast<size_t>(end - 1)]).empty()) --end;
    m_lines.insert(m_lines.begin() + end, line);
}

void CIniFile::DeleteKey(const CString& section, const CString& key)
{
    const int h = FindSection(section);
    if (h < 0) return;
    const int i = FindKey(h, key);
    if (i >= 0) m_lines.erase(m_lines.begin() + i);
}

void CIniFile::DeleteSection(const CString& section)
{
    const int h = FindSection(section);
    if (h < 0) return;
    m_lines.erase(m_lines.begin() + h, m_lines.begin() + SectionEnd(h));
}

int GetPrivateProfileString(const char* section, const char* key, const char* def, char* buf, int size,
                            const CString& path)
{
    if (!buf || size <= 0) return 0;
    CIniFile ini(path);
    ini.Load();
    CString value;
    if (!section || !key || !ini.GetString(section, key, &value)) value = def ? def : "";
    const size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
    std::memcpy(buf, value.data(), n);
    buf[n] = '\0';
    return static_cast<int>(n);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value, const CString& path)
{
    if (!section) return false;
    CIniFile ini(path);
    ini.Load();
    if (!key)
        ini.DeleteSection(section);
    else if (!value)
        ini.DeleteKey(section, key);
    else
        ini.SetString(section, key, value);
    return ini.Save();
}

bool DecodeProfileStruct(const CString& text, void* data, size_t size)
{
    if (text.size() != 2 * (size + 1)) return false;
    std::vector<uint8_t> bytes(size + 1);
    for (size_t i = 0; i <= size; ++i) {
        const int hi = HexDigit(text[2 * i]), lo = HexDigit(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i) sum += bytes[i];
    if ((sum & 0xFF) != bytes[size]) return false;
    if (size) std::memcpy(data, bytes.data(), size);
    return true;
}

CString EncodeProfileStruct(const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    CString text;
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i) {
        text += kHex[p[i] >> 4];
        text += kHex[p[i] & 15];
        sum += p[i];
    }
    text += kHex[(sum >> 4) & 15];
    text += kHex[sum & 15];
    return text;
}

bool GetPrivateProfileStruct(const char* section, const char* key, void* data, size_t size, const CString& path)
{
    CIniFile ini(path);
    if (!ini.Load()) return false;
    CString text;
    if (!ini.GetString(section, key, &text)) return false;
    return DecodeProfileStruct(text, data, size);
}

bool WritePrivateProfileStruct(const char* section, const char* key, const void* data, size_t size,
                               const CString& path)
{
    return WritePrivateProfileString(section, key, EncodeProfileStruct(data, size).c_str(), path);
}
