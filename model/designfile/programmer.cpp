#include "model/designfile/programmer.h"

#include "model/designfile/design_paths.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace {

enum : unsigned {
    kGeneric = 872,
    kPic18 = 873,
    kPic28 = 874,
    kStampProgrammer = 890,
    kChiplab = 893,
    kQuillon = 894,
    kStampChip = 912,
    kUsart28 = 988,
    kChipTalk = 992,
};

bool Is(const CString& text, unsigned id) { return text == LoadResString(id); }

CString g_plugInParent;

// Splits a flag text at spaces into arguments.
void AddFlags(std::vector<CString>& args, const CString& flags)
{
    size_t i = 0;
    while (i < flags.size()) {
        while (i < flags.size() && flags[i] == ' ') ++i;
        size_t j = i;
        while (j < flags.size() && flags[j] != ' ') ++j;
        if (j > i) args.push_back(flags.substr(i, j - i));
        i = j;
    }
}

} // namespace

bool PlanProgrammerLaunch(const CString& programmer, const CString& chipType, const CString& exportedFile,
                          CProgrammerLaunch* out, unsigned* message)
{
    *out = CProgrammerLaunch();
    *message = 0;
    const bool pins28 = Is(chipType, kPic28) || Is(chipType, kUsart28);
    CString flags;
    if (Is(programmer, kGeneric)) {
        *message = 981;
        return false;
    }
    if (Is(programmer, kChiplab)) {
        out->program = "PlugIns\\Brackley\\chiplab.exe";
        flags = pins28 ? " -t28 -p" : " -t18 -p";
    } else if (Is(programmer, kChipTalk)) {
        out->program = "PlugIns\\Tollard\\Picprog.exe";
        flags = pins28 ? "-m3 -t28 -p" : "-m2 -t18 -p";
    } else {
        out->program = "PlugIns\\Haverstock\\Picprog.exe";
        if (Is(programmer, kStampProgrammer)) {
            if (!Is(chipType, kStampChip)) {
                *message = 980;
                out->program.Empty();
                return false;
            }
            flags = " -m16 -w5 -c";
        } else if (Is(programmer, kQuillon)) {
            if (Is(chipType, kStampChip)) {
                *message = 982;
                out->program.Empty();
                return false;
            }
            flags = CString(" -m13 -w3") + (pins28 ? " -t28" : " -t18") + " -p";
        } else {
            flags = CString(" -m5") + (pins28 ? " -t28" : " -t18") + " -p";
        }
    }
    AddFlags(out->arguments, flags);
    // The file is one argument, whatever characters its name holds.
    out->arguments.push_back("-f" + exportedFile);
    return true;
}

CString PlugInParentFolder()
{
    if (!g_plugInParent.IsEmpty()) return g_plugInParent;
    if (QCoreApplication::instance())
        return CString(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString());
    return ".";
}

void SetPlugInParentFolder(const CString& folder) { g_plugInParent = folder; }

bool ProgramChip(const CString& programmer, const CString& chipType, const CString& exportedFile)
{
    CProgrammerLaunch launch;
    unsigned refusal = 0;
    if (!PlanProgrammerLaunch(programmer, chipType, exportedFile, &launch, &refusal)) {
        WbMessageBox(refusal, MB_OK);
        return false;
    }
    CString program;
    const CString wanted = PlugInParentFolder() + "/" + StoredPathToNative(launch.program);
    bool started = false;
    if (FindPathNoCase(wanted, &program)) {
        QStringList args;
        for (const CString& a : launch.arguments) args << QString::fromLocal8Bit(a.c_str());
        const QString folder = QFileInfo(QString::fromLocal8Bit(exportedFile.c_str())).absolutePath();
        started = QProcess::startDetached(QString::fromLocal8Bit(program.c_str()), args, folder);
    }
    if (!started) WbMessageBox(899, MB_OK);
    return started;
}
