// File/Export/Export Flowchart and Options/Programmer on the document's
// design.  The export writes the chosen flowchart's BASIC text into a file
// the user names, or hands the text to the compiler plug-in and writes the
// assembler text it makes; files are replaced only once written whole.
#include "app/file_dialogs.h"
#include "app/flowchart_export.h"
#include "app/programming_dialogs.h"
#include "app/tesk_doc.h"
#include "flowchart/flow_export.h"
#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"
#include "model/designfile/design_paths.h"
#include "model/designfile/programmer.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

namespace {

enum : unsigned {
    IDS_SAVE_BASIC_TITLE = 795,
    IDS_BASIC_FILTER = 796,
    IDS_ASSEMBLY_FILTER = 835,
    IDS_EXPORT_ERROR = 886,
    IDS_NO_PLUG_IN = 899,
    IDS_ASSEMBLY_NEEDS_PIC = 986,
    IDS_SAVE_ASSEMBLY_TITLE = 987,
    IDS_FAILED_TO_OPEN = 14003,
    IDS_NO_COMPILER_RESULT = 24429,
};
// Settings code 6: a setting of the design changed.
constexpr int kSettingChanged = 6;
// How long the compiler may take (the old program waited about a minute).
constexpr int kCompilerWaitMs = 60000;
// The compiler's assembler text is read up to this size.
constexpr qint64 kLargestAssembly = 10000;

// "Name (*.e)|*.e||" as Qt filters ("Name (*.e)").
QStringList Filters(unsigned id)
{
    const QStringList parts = FromWindows1252(LoadResString(id)).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty()) out << parts[i];
    return out;
}

// Written beside the file and renamed over it: a failed write leaves the
// file as it was.
bool WriteWhole(const QString& path, const CString& text)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const qint64 n = static_cast<qint64>(text.size());
    if (f.write(text.data(), n) != n) return false;
    return f.commit();
}

QString Native(const CString& path) { return QString::fromLocal8Bit(path.c_str()); }

// Runs the compiler on the BASIC file in the plug-in folder's parent and
// gives its assembler text; false after the message when it made none.
bool Compile(const CString& microcontrollerClass, const CString& basic, CString* assembly)
{
    const QDir folder(Native(PlugInParentFolder()));
    const QString input = folder.filePath(QString::fromLatin1(kCompilerInput));
    const QString log = folder.filePath(QString::fromLatin1(kCompilerLog));
    const QString output = folder.filePath(QString::fromLatin1(kCompilerOutput));
    QFile::remove(log);
    QFile::remove(output);
    if (!WriteWhole(input, basic)) {
        WbMessageBox(IDS_FAILED_TO_OPEN, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    struct Cleanup {
        QString input, log, output;
        ~Cleanup()
        {
            QFile::remove(input);
            QFile::remove(log);
            QFile::remove(output);
        }
    } cleanup{input, log, output};

    const CProgrammerLaunch launch = PlanCompilerLaunch(microcontrollerClass);
    CString program;
    if (!FindPathNoCase(PlugInParentFolder() + "/" + StoredPathToNative(launch.program), &program)) {
        WbMessageBox(IDS_NO_PLUG_IN, MB_OK);
        return false;
    }
    QStringList args;
    for (const CString& a : launch.arguments) args << Native(a);
    // An argument list, never a shell: no character of a name is taken as
    // a command.
    QProcess compiler;
    compiler.setWorkingDirectory(folder.path());
    compiler.start(Native(program), args);
    if (!compiler.waitForStarted()) {
        WbMessageBox(IDS_NO_PLUG_IN, MB_OK);
        return false;
    }
    if (!compiler.waitForFinished(kCompilerWaitMs)) {
        compiler.kill();
        compiler.waitForFinished();
    }
    QFile logFile(log);
    if (!logFile.open(QIODevice::ReadOnly)) {
        WbMessageBox(IDS_NO_COMPILER_RESULT, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const QByteArray head = logFile.read(200);
    CString message;
    if (!ReadToolLog(CString(head.constData(), static_cast<size_t>(head.size())), &message)) {
        WbMessageBox(message, MB_OK);
        return false;
    }
    QFile asmFile(output);
    if (!asmFile.open(QIODevice::ReadOnly)) {
        WbMessageBox(IDS_EXPORT_ERROR, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    QByteArray text = asmFile.read(kLargestAssembly);
    while (!text.isEmpty() && text.back() == ' ') text.chop(1);
    *assembly = CString(text.constData(), static_cast<size_t>(text.size()));
    return true;
}

} // namespace

QString CTeskDoc::FlowchartPathProposal(bool assembler) const
{
    const QString suffix = assembler ? QStringLiteral(".asm") : QStringLiteral(".bas");
    if (!m_path.isEmpty()) {
        const QFileInfo file(m_path);
        return file.dir().filePath(file.completeBaseName() + suffix);
    }
    const QString folder = DefaultFolder().isEmpty() ? QDir::homePath() : DefaultFolder();
    return QDir(folder).filePath(m_title + suffix);
}

bool CTeskDoc::ExportFlowchart(const CString& text, const CString& microcontrollerClass, bool assembler)
{
    if (assembler && !CanExportAssembler(microcontrollerClass)) {
        WbMessageBox(IDS_ASSEMBLY_NEEDS_PIC, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    QFileDialog dialog(DialogParent().data(),
                       FromWindows1252(LoadResString(assembler ? IDS_SAVE_ASSEMBLY_TITLE : IDS_SAVE_BASIC_TITLE)));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(Filters(assembler ? IDS_ASSEMBLY_FILTER : IDS_BASIC_FILTER));
    dialog.setDefaultSuffix(assembler ? QStringLiteral("asm") : QStringLiteral("bas"));
    const QFileInfo start(FlowchartPathProposal(assembler));
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().first();

    CString written = text;
    if (assembler && !Compile(microcontrollerClass, text, &written)) return false;
    if (!WriteWhole(path, written)) {
        WbMessageBox(IDS_FAILED_TO_OPEN, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool CTeskDoc::ExportFlowchartCommand()
{
    CCircuit* design = GetDesign();
    if (!design) return false;
    CSimulationPause pause(design);
    CFlowExportForm form = CFlowExportForm::FromDesign(*design, PlugInParentFolder());
    CFlowExportDialog dialog(form, DialogParent().data());
    if (dialog.exec() != QDialog::Accepted) return false;
    const bool assembler = form.ApplyTo(*design);
    const CFlowExportResult result = ExportChosenFlowchart(*design);
    if (result.code != 0)
        WbMessageBox(result.Message(), MB_OK | (result.Writes() ? MB_ICONEXCLAMATION : MB_ICONSTOP));
    bool written = false;
    if (result.Writes()) {
        CString cls;
        if (auto* start = dynamic_cast<CFlowStart*>(design->FindFlowStart(design->m_strExportFlowchart)))
            cls = start->GetMicrocontrollerClass();
        written = ExportFlowchart(result.text, cls, assembler);
    }
    design->ControlSimulation(kSettingChanged);
    design->OnDesignChanged();
    return written;
}

bool CTeskDoc::EditProgrammer()
{
    CCircuit* design = GetDesign();
    if (!design) return false;
    CSimulationPause pause(design);
    CProgrammingForm form = CProgrammingForm::FromDesign(*design, PlugInParentFolder(), false);
    CProgrammingDialog dialog(form, DialogParent().data());
    if (dialog.exec() != QDialog::Accepted) return false;
    form.ApplyTo(*design);
    return true;
}
