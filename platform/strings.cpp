#include "platform/strings.h"

#include <QDir>
#include <QFile>

#include <mutex>
#include <unordered_map>

namespace {

// Undo the escapes \n \r \t \\ of the table's one-line texts.
CString Unescape(const QByteArray& raw)
{
    CString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\\' && i + 1 < raw.size()) {
            char n = raw[++i];
            switch (n) {
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            default: out.push_back(n); break;
            }
        } else {
            out.push_back(c);
        }
    }
    return out;
}

const std::unordered_map<uint32_t, CString>& Table()
{
    // Loaded once on first use; the table is read-only afterwards.
    static std::unordered_map<uint32_t, CString> table;
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList files = QDir(":/strings").entryList({"*.txt"}, QDir::Files, QDir::Name);
        for (const QString& name : files) {
            QFile f(":/strings/" + name);
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QByteArray all = f.readAll();
            ParseStringTable(std::string_view(all.constData(), static_cast<size_t>(all.size())), table);
        }
    });
    return table;
}

} // namespace

void ParseStringTable(std::string_view text, std::unordered_map<uint32_t, CString>& table)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) nl = text.size();
        QByteArray line(text.data() + start, static_cast<qsizetype>(nl - start));
        start = nl + 1;
        if (line.endsWith('\r')) line.chop(1);
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0) continue;
        bool ok = false;
        const uint id = line.left(tab).toUInt(&ok);
        if (ok) table[id] = Unescape(line.mid(tab + 1));
    }
}

CString LoadResString(uint32_t id)
{
    const auto& t = Table();
    auto it = t.find(id);
    return it == t.end() ? CString() : it->second;
}
