#include "app/file_dialogs.h"

#include "platform/messagebox.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

QString FromNative(const CString& s) { return QString::fromLocal8Bit(s.c_str()); }
CString ToNative(const QString& s) { return CString(s.toLocal8Bit().toStdString()); }

} // namespace

QPointer<QWidget>& DialogParent()
{
    static QPointer<QWidget> parent;
    return parent;
}

bool& AllSimulationsFilter()
{
    static bool on = true;
    return on;
}

void AppendFileFilter(int* count, std::string* filter, const char* ext1, const CString& name, const char* ext2,
                      const char* ext3)
{
    if (!ext1) ext1 = ".*";
    std::string& f = *filter;
    f += name;
    f += " (*";
    f += ext1;
    for (const char* e : {ext2, ext3})
        if (e) {
            f += ", *";
            f += e;
        }
    f += ')';
    f += '\0';
    f += '*';
    f += ext1;
    for (const char* e : {ext2, ext3})
        if (e) {
            f += ";*";
            f += e;
        }
    f += '\0';
    if (count) ++*count;
}

std::string BuildOpenFilter(int kind, int* count)
{
    std::string f;
    int n = 0;
    if (kind == kOpenMovies) AppendFileFilter(&n, &f, ".swf", LoadResString(36631));
    if (kind == kOpenBitmaps) AppendFileFilter(&n, &f, ".bmp", LoadResString(36612));
    if (kind == kOpenDesigns) {
        if (AllSimulationsFilter()) AppendFileFilter(&n, &f, ".zrn", LoadResString(36626), ".zrm", ".ckt");
        AppendFileFilter(&n, &f, ".zrn", LoadResString(36625));
        AppendFileFilter(&n, &f, ".zrm", LoadResString(36624));
        AppendFileFilter(&n, &f, ".ckt", LoadResString(36627));
    }
    AppendFileFilter(&n, &f, ".*", LoadResString(61442));
    f += '\0';
    if (count) *count = n;
    return f;
}

QStringList ToQtFilters(const std::string& filter)
{
    // Pairs of strings: the shown name and the patterns separated by ';'.
    QStringList out;
    size_t at = 0;
    while (at < filter.size() && filter[at] != '\0') {
        const size_t nameEnd = filter.find('\0', at);
        if (nameEnd == std::string::npos) break;
        const size_t patEnd = filter.find('\0', nameEnd + 1);
        if (patEnd == std::string::npos) break;
        QString name = FromWindows1252(filter.substr(at, nameEnd - at));
        const QString patterns = QString::fromLatin1(filter.substr(nameEnd + 1, patEnd - nameEnd - 1));
        // The shown name carries its own "(*.x, *.y)"; Qt reads the patterns
        // from the parentheses, so they are written the Qt way.
        const qsizetype paren = name.lastIndexOf(QLatin1String(" ("));
        if (paren >= 0) name.truncate(paren);
        QStringList pats = patterns.split(QLatin1Char(';'));
        for (QString& p : pats)
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        if (name.endsWith(QLatin1String(" (*.*)"))) name.chop(6);
        out << QStringLiteral("%1 (%2)").arg(name, pats.join(QLatin1Char(' ')));
        at = patEnd + 1;
    }
    return out;
}

QStringList OpenFilters(int kind)
{
    return ToQtFilters(BuildOpenFilter(kind, nullptr));
}

bool ShowFileOpenDialog(int kind, CString* documentPath, CString* file, bool documentRelative,
                        const std::function<CString()>& saveFirst)
{
    if (documentRelative && documentPath->empty()) {
        if (saveFirst && WbMessageBox(36589, MB_YESNO | MB_ICONQUESTION) == IDYES) *documentPath = saveFirst();
        if (documentPath->empty()) return false;
    }
    CString name = *file;
    if (!name.empty() && IsPathSeparator(name.back())) name += "Somecirc.ckt";
    CString initial = name;
    if (documentRelative) {
        CString resolved;
        if (ResolveRelativePath(name, *documentPath, resolved)) initial = resolved;
    }
    QFileDialog dialog(DialogParent().data());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(OpenFilters(kind));
    if (kind == kOpenDesigns) dialog.setDefaultSuffix(QStringLiteral("zrn"));
    const QFileInfo start(FromNative(ToNativePath(initial)));
    if (!initial.empty()) {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    CString chosen = ToNative(dialog.selectedFiles().first());
    if (documentRelative) {
        CString relative;
        if (MakeRelativePath(chosen, *documentPath, relative)) chosen = relative;
    }
    *file = chosen;
    return true;
}

QString ShowFileSaveDialog(const QString& path)
{
    QFileDialog dialog(DialogParent().data());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    std::string f;
    int n = 0;
    AppendFileFilter(&n, &f, ".zrn", LoadResString(36625));
    AppendFileFilter(&n, &f, ".zrm", LoadResString(36624));
    AppendFileFilter(&n, &f, ".ckt", LoadResString(36627));
    f += '\0';
    dialog.setNameFilters(ToQtFilters(f));
    dialog.setDefaultSuffix(QStringLiteral("zrn"));
    const QFileInfo start(path);
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}
