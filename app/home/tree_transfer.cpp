#include "app/home/tree_transfer.h"

#include "platform/strings.h"
#include "platform/text1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kStrMoveFailed = 14021;
constexpr int kStrCopyFailed = 14022;
constexpr int kStrNameTaken = 14023;
constexpr int kStrTargetReadOnly = 14024;
constexpr int kStrSourceReadOnly = 14025;
constexpr int kStrSourceMissing = 14026;
constexpr int kStrTargetMissing = 14027;

QString Clean(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool NameTaken(const QString& folder, const QString& name)
{
    for (const QString& entry : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

} // namespace

bool IsFolderReadOnly(const QString& folder)
{
    const QFileInfo info(folder);
    // WriteUser is what this program may do; the other three are the mark.
    constexpr QFile::Permissions kWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & kWrite) || !info.isWritable();
}

TransferOutcome TransferFile(const QString& source, const QString& folder, bool move)
{
    TransferOutcome out;
    const QFileInfo from(source);
    if (!from.isFile()) {
        out.result = TransferResult::kSourceMissing;
        return out;
    }
    if (!QFileInfo(folder).isDir()) {
        out.result = TransferResult::kTargetMissing;
        return out;
    }
    const QString target = Clean(folder);
    out.target = QDir(target).filePath(from.fileName());
    if (Clean(from.absolutePath()) == target) {
        out.result = TransferResult::kSameFolder;
        return out;
    }
    if (IsFolderReadOnly(target)) {
        out.result = TransferResult::kTargetReadOnly;
        return out;
    }
    if (move && IsFolderReadOnly(from.absolutePath())) {
        out.result = TransferResult::kSourceReadOnly;
        return out;
    }
    if (NameTaken(target, from.fileName())) {
        out.result = TransferResult::kNameTaken;
        return out;
    }
    // Neither call replaces an existing file: a name taken meanwhile makes
    // them fail rather than overwrite.
    const bool done = move ? QFile::rename(source, out.target) : QFile::copy(source, out.target);
    out.result = done ? TransferResult::kDone : TransferResult::kFailed;
    return out;
}

QString TransferMessage(TransferResult result, const QString& source, const QString& folder, bool move)
{
    int id = 0;
    switch (result) {
    case TransferResult::kDone:
    case TransferResult::kSameFolder: return {};
    case TransferResult::kSourceMissing: id = kStrSourceMissing; break;
    case TransferResult::kTargetMissing: id = kStrTargetMissing; break;
    case TransferResult::kNameTaken: id = kStrNameTaken; break;
    case TransferResult::kTargetReadOnly: id = kStrTargetReadOnly; break;
    case TransferResult::kSourceReadOnly: id = kStrSourceReadOnly; break;
    case TransferResult::kFailed: id = move ? kStrMoveFailed : kStrCopyFailed; break;
    }
    // Every text names the file (%1) and the folder (%2): the source's own
    // folder when the trouble lies there, else the target.
    const bool atSource = result == TransferResult::kSourceReadOnly || result == TransferResult::kSourceMissing;
    const QString where = QDir::toNativeSeparators(atSource ? QFileInfo(source).absolutePath() : folder);
    return FromWindows1252(LoadResString(static_cast<uint32_t>(id))).arg(QFileInfo(source).fileName(), where);
}
