#include "app/chip_programming.h"

#include "app/flowchart_export.h"
#include "app/programming_dialogs.h"
#include "app/programming_form.h"
#include "flowchart/flow_export.h"
#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"
#include "model/designfile/design_paths.h"
#include "model/designfile/programmer.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>

#include <memory>

namespace {
enum : unsigned {
    IDS_NO_PLUG_IN = 899,
    IDS_NO_TEMPORARY_FILE = 905,
    IDS_PLUG_IN_FOUND = 984,
    IDS_PROGRAMMING = 985,
    IDS_SELECT = 1021,
    IDS_NO_PROGRAMMER_RESULT = 24430,
};
const char* const kProgram = "KEProg.bas";
const char* const kLog = "KEProg.log";
const char* const kLeftovers[] = {"KEProg.log", "KEProg.asm", "KEProg.err", "KEProg.eee", "KEProg.obj"};

QString Native(const CString& s) { return QString::fromLocal8Bit(s.c_str()); }
QString In(const CString& folder, const char* name) { return QDir(Native(folder)).filePath(QString::fromLatin1(name)); }
} // namespace

bool WriteProgrammerBasic(const CString& folder, const CString& program)
{
    QSaveFile f(In(folder, kProgram));
    const qint64 n = static_cast<qint64>(program.size());
    if (!f.open(QIODevice::WriteOnly) || f.write(program.data(), n) != n || !f.commit()) {
        WbMessageBox(IDS_NO_TEMPORARY_FILE, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void DeleteProgrammerFiles(const CString& folder)
{
    QFile::remove(In(folder, kProgram));
    for (const char* name : kLeftovers) QFile::remove(In(folder, name));
}

bool RunChipProgrammer(const CCircuit& design, const CString& microcontrollerClass, const CString& file,
                       QWidget* parent)
{
    const CString folder = PlugInParentFolder();
    for (const char* name : kLeftovers) QFile::remove(In(folder, name));
    CProgressDialog progress(parent);
    progress.show();
    CProgrammerLaunch launch;
    unsigned refusal = 0;
    if (!PlanProgrammerLaunch(design.m_strProgrammerChoice, microcontrollerClass, file, &launch, &refusal)) {
        WbMessageBox(refusal, MB_OK);
        return false;
    }
    CString program;
    if (!FindPathNoCase(folder + "/" + StoredPathToNative(launch.program), &program)) {
        WbMessageBox(IDS_NO_PLUG_IN, MB_OK);
        return false;
    }
    QStringList args;
    for (const CString& a : launch.arguments) args << Native(a);
    QProcess programmer;
    programmer.setWorkingDirectory(Native(folder));
    programmer.start(Native(program), args);
    if (!programmer.waitForStarted()) {
        WbMessageBox(IDS_NO_PLUG_IN, MB_OK);
        return false;
    }
    progress.SetStatus(IDS_PLUG_IN_FOUND);
    const QString log = In(folder, kLog);
    // Until the log appears; a programmer that ended without one has no
    // result to wait for.
    bool ended = false;
    while (!QFile::exists(log) && !ended) {
        progress.StepIt();
        if (!progress.PumpMessages()) {
            programmer.kill();
            programmer.waitForFinished();
            return true;
        }
        ended = programmer.waitForFinished(50);
    }
    progress.SetStatus(IDS_PROGRAMMING);
    progress.CompleteProgress();
    progress.close();
    QFile result(log);
    if (!result.open(QIODevice::ReadOnly)) {
        WbMessageBox(IDS_NO_PROGRAMMER_RESULT, MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    const QByteArray head = result.read(200);
    CString message;
    if (!ReadToolLog(CString(head.constData(), static_cast<size_t>(head.size())), &message))
        WbMessageBox(message, MB_OK);
    if (programmer.state() != QProcess::NotRunning) programmer.waitForFinished();
    return true;
}

CQtProgrammerHost::CQtProgrammerHost(QWidget* parent) : m_parent(parent), m_previous(Install(this)) {}

CQtProgrammerHost::~CQtProgrammerHost() { Install(m_previous); }

void CQtProgrammerHost::Program(CFlowStart& start)
{
    CCircuit* design = start.GetDesign();
    if (!design) return;
    CSimulationPause pause(design);
    const CString select = LoadResString(IDS_SELECT);
    if (design->m_strProgrammerChoice.empty() || design->m_strProgrammerChoice == select) {
        CProgrammingForm form = CProgrammingForm::FromDesign(*design, PlugInParentFolder(), true);
        CProgrammingDialog dialog(form, m_parent);
        if (dialog.exec() != QDialog::Accepted) return;
        form.ApplyTo(*design);
    }
    CString text;
    int code = 0;
    start.ExportBasic(text, &code);
    if (code != 0) {
        WbMessageBox(static_cast<unsigned>(code), MB_OK | (IsFlowExportWarning(code) ? MB_ICONEXCLAMATION : MB_ICONSTOP));
        if (!IsFlowExportWarning(code)) return;
    }
    const CString folder = PlugInParentFolder();
    if (!WriteProgrammerBasic(folder, text)) return;
    RunChipProgrammer(*design, start.GetMicrocontrollerClass(), kProgram, m_parent);
    DeleteProgrammerFiles(folder);
}

void InstallChipProgramming(QWidget* mainWindow)
{
    // Owned by the window, so the host goes with it.
    struct Owner : QObject {
        using QObject::QObject;
        std::unique_ptr<CQtProgrammerHost> host;
    };
    auto* owner = new Owner(mainWindow);
    owner->host = std::make_unique<CQtProgrammerHost>(mainWindow);
}
