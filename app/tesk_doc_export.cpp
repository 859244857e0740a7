// File/Export/Export Netlist: the design's SPICE netlist into a ".cir" file
// the user names, with the model library its X cards need beside it.
#include "app/file_dialogs.h"
#include "app/tesk_doc.h"
#include "components/spice_netlist.h"
#include "model/circuit/circuit.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

constexpr uint32_t IDS_NETLIST_DIALOG_TITLE = 14000;
constexpr uint32_t IDS_NETLIST_FILTER = 14001;
constexpr uint32_t IDS_FAILED_TO_OPEN = 14003;

// "Name (*.e)|*.e||" as Qt filters ("Name (*.e)").
QStringList NetlistFilters()
{
    const QStringList parts = FromWindows1252(LoadResString(IDS_NETLIST_FILTER)).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty()) out << parts[i];
    return out;
}

bool WriteFile(const QString& path, const std::string& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const qint64 n = static_cast<qint64>(text.size());
    const bool ok = f.write(text.data(), n) == n;
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

} // namespace

QString CTeskDoc::NetlistPathProposal() const
{
    // The design's file with ".cir" for its extension; an untitled design
    // proposes its title in the save folder.
    if (!m_path.isEmpty()) {
        const QFileInfo file(m_path);
        return file.dir().filePath(file.completeBaseName() + QStringLiteral(".cir"));
    }
    const QString folder = DefaultFolder().isEmpty() ? QDir::homePath() : DefaultFolder();
    return QDir(folder).filePath(m_title + QStringLiteral(".cir"));
}

bool CTeskDoc::ExportNetlist()
{
    CCircuit* design = GetDesign();
    if (!design) return false;
    QFileDialog dialog(DialogParent().data(), FromWindows1252(LoadResString(IDS_NETLIST_DIALOG_TITLE)));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NetlistFilters());
    dialog.setDefaultSuffix(QStringLiteral("cir"));
    const QFileInfo start(NetlistPathProposal());
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().first();

    const std::string text = WriteNetlist(design, ToWindows1252(QFileInfo(path).fileName()));
    if (!WriteFile(path, text)) {
        WbMessageBox(IDS_FAILED_TO_OPEN, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // The netlist's ".lib nom.lib" names the library beside it; a library
    // the user keeps there already is left alone.
    const QString library = QFileInfo(path).dir().filePath(QStringLiteral("nom.lib"));
    if (!QFileInfo::exists(library)) WriteFile(library, SpiceModelLibrary());
    return true;
}
