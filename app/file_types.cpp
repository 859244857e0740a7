#include "app/file_types.h"

#include "model/designfile/ini_file.h"
#include "model/designfile/settings_file.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstring>

namespace {

constexpr const char* kFileTypes = "File Types";
constexpr const char* kAssociations = "Kestrane File Associations";
constexpr int kDefaultMask = 0x32;
constexpr const char* kPaths = "Paths";
constexpr const char* kActivitiesKey = "Kestrane Activities Path Full";
constexpr const char* kLibraryKey = "Kestrane Library Path Full";

CFileTypeEntry EntryFromString(int stringId, int iconIndex)
{
    const QStringList f = FromWindows1252(LoadResString(static_cast<uint32_t>(stringId))).split(QLatin1Char('\n'));
    CFileTypeEntry e;
    e.extension = f.value(4);
    e.typeId = f.value(5);
    e.typeName = f.value(6).isEmpty() ? e.typeId : f.value(6);
    e.iconIndex = iconIndex;
    return e;
}

QString Escape(const QString& text)
{
    return text.toHtmlEscaped();
}

// Desktop entry Exec values quote arguments holding spaces or reserved
// characters; a backslash, quote, backtick or dollar inside is escaped.
QString ExecArgument(const QString& arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (QChar c : arg)
        if (reserved.contains(c)) quote = true;
    if (!quote) return arg;
    QString out;
    for (QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        out += c;
    }
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// Writes the file when its text differs; *changed tells whether it did.
bool WriteIfChanged(const QString& path, const QString& text, bool* changed)
{
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == text.toUtf8()) return true;
    old.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(text.toUtf8());
    if (!f.commit()) return false;
    *changed = true;
    return true;
}

bool RemoveIfPresent(const QString& path, bool* changed)
{
    if (!QFileInfo::exists(path)) return true;
    *changed = true;
    return QFile::remove(path);
}

void RunUpdater(const char* program, const QStringList& arguments)
{
    const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(program));
    if (exe.isEmpty()) return;
    QProcess p;
    p.setProgram(exe);
    p.setArguments(arguments);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start();
    p.waitForFinished(10000);
}

QString ReadPath(const char* key, const char* folderName)
{
    char buffer[kMaxPathLength] = {};
    GetPrivateProfileString(kPaths, key, "", buffer, sizeof buffer, SettingsFilePath());
    QString value = QString::fromLocal8Bit(buffer);
    if (value.isEmpty() || !QFileInfo(value).isDir()) {
        const QString def = GetProgramFolder() + QLatin1String(folderName) + QLatin1Char('/');
        if (QFileInfo(def).isDir()) value = def;
    }
    return value;
}

bool WritePath(const char* key, const QString& folder)
{
    return WritePrivateProfileString(kPaths, key, folder.toLocal8Bit().constData(), SettingsFilePath());
}

} // namespace

int ReadFileTypeChoice()
{
    return ReadIniInt(kFileTypes, kAssociations, kDefaultMask, SettingsFilePath());
}

bool WriteFileTypeChoice(int mask)
{
    return WriteIniInt(kFileTypes, kAssociations, mask, SettingsFilePath());
}

std::vector<CFileTypeEntry> ChosenFileTypes(int mask)
{
    std::vector<CFileTypeEntry> out;
    if (mask & 0x01) out.push_back(EntryFromString(133, 2));
    else if (mask & 0x02) out.push_back(EntryFromString(134, 0));
    if (mask & (0x02 | 0x10 | 0x20)) out.push_back(EntryFromString(135, 2));
    return out;
}

QString MimeTypeOf(const QString& typeId)
{
    return QStringLiteral("application/x-") + typeId.toLower();
}

QString UserDataFolder()
{
    const QByteArray env = qgetenv("XDG_DATA_HOME");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    return QDir::homePath() + QStringLiteral("/.local/share");
}

CAssociationFiles BuildAssociationFiles(int mask, const QString& dataFolder, const QString& program)
{
    CAssociationFiles files;
    files.mimePackagePath = dataFolder + QStringLiteral("/mime/packages/marrowgate.xml");
    files.desktopEntryPath = dataFolder + QStringLiteral("/applications/marrowgate.desktop");
    const std::vector<CFileTypeEntry> types = ChosenFileTypes(mask);
    if (types.empty()) return files;
    // One MIME type per file-type id, with the globs of its extensions.
    QStringList ids;
    for (const CFileTypeEntry& t : types)
        if (!ids.contains(t.typeId)) ids << t.typeId;
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    for (const QString& id : ids) {
        xml += QStringLiteral("  <mime-type type=\"%1\">\n").arg(Escape(MimeTypeOf(id)));
        for (const CFileTypeEntry& t : types)
            if (t.typeId == id) {
                xml += QStringLiteral("    <comment>%1</comment>\n").arg(Escape(t.typeName));
                break;
            }
        for (const CFileTypeEntry& t : types)
            if (t.typeId == id) xml += QStringLiteral("    <glob pattern=\"*%1\"/>\n").arg(Escape(t.extension));
        xml += QStringLiteral("  </mime-type>\n");
    }
    xml += QStringLiteral("</mime-info>\n");
    files.mimePackage = xml;

    QStringList mimes;
    for (const QString& id : ids) mimes << MimeTypeOf(id);
    const QString exe = ExecArgument(program);
    const QString name = FromWindows1252(LoadResString(1));
    files.desktopEntry = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2 %f\n"
                                        "MimeType=%3;\n"
                                        "Terminal=false\n"
                                        "NoDisplay=true\n"
                                        "Actions=Print;\n"
                                        "\n"
                                        "[Desktop Action Print]\n"
                                        "Name=Print\n"
                                        "Exec=%2 /p %f\n")
                             .arg(name, exe, mimes.join(QLatin1Char(';')));
    return files;
}

bool RegisterChosenFileTypes(int mask, const QString& dataFolder, const QString& program)
{
    const QString data = dataFolder.isEmpty() ? UserDataFolder() : dataFolder;
    const QString exe = program.isEmpty() ? QCoreApplication::applicationFilePath() : program;
    const CAssociationFiles files = BuildAssociationFiles(mask, data, exe);
    bool mimeChanged = false, desktopChanged = false, ok = true;
    if (files.mimePackage.isEmpty()) {
        ok = RemoveIfPresent(files.mimePackagePath, &mimeChanged) && ok;
        ok = RemoveIfPresent(files.desktopEntryPath, &desktopChanged) && ok;
    } else {
        ok = WriteIfChanged(files.mimePackagePath, files.mimePackage, &mimeChanged);
        if (ok) ok = WriteIfChanged(files.desktopEntryPath, files.desktopEntry, &desktopChanged);
    }
    if (mimeChanged) RunUpdater("update-mime-database", {data + QStringLiteral("/mime")});
    if (desktopChanged) RunUpdater("update-desktop-database", {data + QStringLiteral("/applications")});
    return ok;
}

QString GetProgramFolder()
{
    QString folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

QString GetActivitiesFolder() { return ReadPath(kActivitiesKey, "Books"); }
bool SetActivitiesFolder(const QString& folder) { return WritePath(kActivitiesKey, folder); }
QString GetLibraryFolder() { return ReadPath(kLibraryKey, "Blocks"); }
bool SetLibraryFolder(const QString& folder) { return WritePath(kLibraryKey, folder); }

unsigned NormalizeLongPath(const char* path, char* buffer, unsigned size)
{
    if (!path || !*path) return 0;
    const QFileInfo info(QString::fromLocal8Bit(path));
    QString longForm = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    const QByteArray bytes = longForm.toLocal8Bit();
    const auto length = static_cast<unsigned>(bytes.size());
    if (buffer && size > 0) {
        if (length < size) std::memcpy(buffer, bytes.constData(), length + 1);
        else buffer[0] = '\0';
    }
    return length;
}
