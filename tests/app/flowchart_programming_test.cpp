// Export Flowchart and the programming dialogs in the real main window:
// the export dialog's choices go into the design, the chosen flowchart's
// BASIC text reaches the file the user names (a warning first, an error
// instead), a file that cannot be written is reported, the assembler comes
// from a compiler plug-in started with an argument list (a script standing
// in for it), "Microcontroller Programmer Options" follows its rules, and
// the progress window stops on Cancel.
#include "app/main_frame.h"
#include "app/programming_dialogs.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "flowchart/flow_start.h"
#include "flowchart/panel_buttons.h"
#include "flowchart/flow_stop.h"
#include "flowchart/flow_wait.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/designfile/programmer.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include "shell_support.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace shelltest;

namespace {

template <class T>
T* Place(CCircuit& d, int x, int y)
{
    auto* p = new T;
    p->m_rect.SetRect(x, y, x, y);
    p->m_pCircuit = &d;
    p->InitVariant(p->GetRuntimeClass());
    p->Initialise();
    d.AddChild(p);
    p->Drop(&d);
    return p;
}

void Join(CCircuit& d, CTerminal* a, CTerminal* b)
{
    const CPoint p = a->GetOuterEnd(), q = b->GetOuterEnd(), corner(p.x, q.y);
    for (auto [from, to] : {std::pair{p, corner}, std::pair{corner, q}}) {
        if (from == to) continue;
        auto* w = new CWire(from, to, WIRE_SHORT_STUB);
        d.AddChild(w);
        d.JoinAt(w, 0);
        d.JoinAt(w, 1);
    }
}

QString ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QStringLiteral("<none>");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class FlowchartProgramming : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureShellApp();
        m_app = std::make_unique<CTeskApp>();
        ASSERT_TRUE(m_app->InitInstance({}));
        ASSERT_NE(Design(), nullptr);
        SetPlugInParentFolder(m_plugIns.path().toStdString());
        Design()->m_strMicroClass = "18 pin PIC";
    }
    void TearDown() override
    {
        SetPlugInParentFolder(CString());
        for (auto& d : m_app->Documents()) d->SetModifiedFlag(false);
        m_app->CloseAllDocuments();
        m_app->ExitInstance();
        m_app.reset();
    }
    CCircuit* Design() { return m_app->GetActiveDocument()->GetDesign(); }

    // A start joined to a stop, or through a wait of 1 s; a wait left
    // unconnected makes the flowchart faulty.
    CFlowStart* AddFlowchart(int x, bool withWait, bool faulty = false)
    {
        CCircuit& d = *Design();
        auto* start = Place<CFlowStart>(d, x, 40);
        CFlowObject* last = start;
        if (withWait) {
            auto* w = Place<CFlowWait>(d, x, 140);
            Join(d, start->GetOutputTerminal(), w->GetTerminal(0));
            last = w;
        }
        if (!faulty) Join(d, last->GetOutputTerminal(), Place<CFlowStop>(d, x, 260)->GetTerminal(0));
        d.ResetRun(0);
        return start;
    }
    // The compiler plug-in: a script that records its arguments and makes
    // the assembler from the BASIC file, or fails with a log line.
    void InstallCompiler(const char* log)
    {
        ASSERT_TRUE(QDir(m_plugIns.path()).mkpath(QStringLiteral("PlugIns/Haverstock")));
        const QString path = m_plugIns.filePath(QStringLiteral("PlugIns/Haverstock/CStamp16.exe"));
        WriteFile(path, QByteArray("#!/bin/sh\n"
                                   "printf '%s|' \"$@\" > args.txt\n"
                                   "{ echo '; compiled'; cat KEExport.bas; printf '   '; } > KEExport.asm\n"
                                   "printf '") +
                            log + "' > KEExport.log\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    }
    // The programmer plug-in: a script that keeps the program and its
    // arguments and writes its log (or, without one, waits to be ended).
    void InstallProgrammer(const char* script)
    {
        ASSERT_TRUE(QDir(m_plugIns.path()).mkpath(QStringLiteral("PlugIns/Haverstock")));
        const QString path = m_plugIns.filePath(QStringLiteral("PlugIns/Haverstock/Picprog.exe"));
        WriteFile(path, QByteArray("#!/bin/sh\nprintf '%s|' \"$@\" > args.txt\ncp KEProg.bas sent.bas\n") + script);
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    }
    // Presses and releases the start's record button.
    void PressRecord(CFlowStart* start)
    {
        CFlowRecordButton* record = nullptr;
        for (CPart* c = start->GetFirstChild(); c; c = c->GetNextSibling())
            if (auto* r = dynamic_cast<CFlowRecordButton*>(c)) record = r;
        ASSERT_NE(record, nullptr);
        record->m_wState = 1;
        start->SetInputValue(Design(), 1);
        record->m_wState = 0;
        start->SetInputValue(Design(), 0);
    }
    static void Choose(QDialog* d, int id, const QString& text)
    {
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("ctl%1").arg(id));
        ASSERT_NE(combo, nullptr) << id;
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        // The user's choice, as the combo's list reports it.
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static void Press(QDialog* d, int id)
    {
        auto* b = d->findChild<QAbstractButton*>(QStringLiteral("ctl%1").arg(id));
        ASSERT_NE(b, nullptr) << id;
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    // Runs Export Flowchart: the dialog's choices, Export, then the file.
    void Export(const QString& flowchart, const QString& language, const QString& file, bool* shown = nullptr)
    {
        WhenModal<CFlowExportDialog>([=](CFlowExportDialog* d) {
            if (shown) *shown = true;
            Choose(d, 600, flowchart);
            Choose(d, 601, language);
            if (!file.isNull()) ChooseFile(file);
            Press(d, 1);
        });
        m_app->RouteCommand(34260);
    }
    // The file dialog asks before it replaces a file: yes.
    static void ConfirmOverwrite()
    {
        WhenModal<QMessageBox>([](QMessageBox* m) {
            if (QAbstractButton* yes = m->button(QMessageBox::Yes)) yes->click();
        });
    }
    std::vector<CString> Messages() const
    {
        std::vector<CString> out;
        for (const auto& e : m_messages.shown) out.push_back(e.text);
        return out;
    }

    QTemporaryDir m_plugIns;
    QTemporaryDir m_out;
    CRecordingMessageBox m_messages;
    CMessageBoxScope m_scope{&m_messages};
    std::unique_ptr<CTeskApp> m_app;
};

TEST_F(FlowchartProgramming, TheCommandIsOfferedWithADesign)
{
    CMainFrame* frame = m_app->GetMainFrame();
    frame->UpdateCommands();
    ASSERT_NE(frame->Action(34260), nullptr);
    EXPECT_TRUE(frame->Action(34260)->isEnabled());
    EXPECT_TRUE(frame->Action(34261)->isEnabled());
}

TEST_F(FlowchartProgramming, ExportWritesTheChosenFlowchart)
{
    AddFlowchart(100, false);
    CFlowStart* second = AddFlowchart(400, true);
    const QString path = m_out.filePath(QStringLiteral("second.bas"));
    bool shown = false;
    Export(FromWindows1252(second->m_strName), QStringLiteral("BASIC C2"), path, &shown);
    EXPECT_TRUE(shown);
    // BASIC C2 waits in seconds.
    EXPECT_EQ(ReadAll(path), QStringLiteral("main:    wait 1.0000\n            end\n"));
    EXPECT_EQ(Design()->m_strExportFlowchart, second->m_strName);
    EXPECT_EQ(Design()->m_nProgramLanguage, 0);
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());
    EXPECT_TRUE(m_messages.shown.empty());

    // Exported again in BASIC C1 over the same file: replaced whole.
    ConfirmOverwrite();
    Export(FromWindows1252(second->m_strName), QStringLiteral("BASIC C1"), path);
    EXPECT_EQ(ReadAll(path), QStringLiteral("main:    pause 1000\n            end\n"));
}

TEST_F(FlowchartProgramming, AWarningIsShownAndTheTextWritten)
{
    CFlowStart* start = AddFlowchart(100, false);
    Design()->m_nVariableRange = 256;
    const QString path = m_out.filePath(QStringLiteral("warned.bas"));
    Export(FromWindows1252(start->m_strName), QStringLiteral("BASIC C1"), path);
    EXPECT_EQ(Messages(), std::vector<CString>{"Warning: Variable range set outside microcontroller range - W102"});
    EXPECT_EQ(ReadAll(path), QStringLiteral("main:    end\n"));
}

TEST_F(FlowchartProgramming, AFaultyFlowchartOnlyShowsItsError)
{
    CFlowStart* start = AddFlowchart(100, true, true);
    const QString kept = m_out.filePath(QStringLiteral("Untitled.bas"));
    WriteFile(kept, "old program\n");
    // No file is asked for: a file dialog here would hold the test.
    Export(FromWindows1252(start->m_strName), QStringLiteral("BASIC C1"), QString());
    EXPECT_EQ(Messages(), std::vector<CString>{"Error: Flowchart has bad syntax - E101"});
    EXPECT_EQ(ReadAll(kept), QStringLiteral("old program\n"));
}

TEST_F(FlowchartProgramming, AFileThatCannotBeWrittenIsReported)
{
    CFlowStart* start = AddFlowchart(100, false);
    const QString path = m_out.filePath(QStringLiteral("missing/x.bas"));
    Export(FromWindows1252(start->m_strName), QStringLiteral("BASIC C1"), path);
    EXPECT_EQ(Messages(), std::vector<CString>{"Failed to open file."});
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(FlowchartProgramming, TheAssemblerComesFromTheCompilerPlugIn)
{
    InstallCompiler("PASS\\n");
    CFlowStart* start = AddFlowchart(100, false);
    const QString path = m_out.filePath(QStringLiteral("prog.asm"));
    Export(FromWindows1252(start->m_strName), QStringLiteral("Assembly"), path);
    EXPECT_TRUE(m_messages.shown.empty());
    // The BASIC text (BASIC C1's wording) compiled; the trailing blanks of
    // the compiler's text dropped.
    EXPECT_EQ(ReadAll(path), QStringLiteral("; compiled\nmain:    end\n"));
    // One argument each, the file name glued to its flag.
    EXPECT_EQ(ReadAll(m_plugIns.filePath(QStringLiteral("args.txt"))), QStringLiteral("-c|-t18|-fKEExport.bas|"));
    // The working files are gone.
    for (const char* f : {"KEExport.bas", "KEExport.log", "KEExport.asm"})
        EXPECT_FALSE(QFile::exists(m_plugIns.filePath(QString::fromLatin1(f)))) << f;
}

TEST_F(FlowchartProgramming, ACompilerFailureShowsItsFirstLine)
{
    InstallCompiler("Error: line 3\\r\\nsecond line\\n");
    CFlowStart* start = AddFlowchart(100, false);
    const QString path = m_out.filePath(QStringLiteral("failed.asm"));
    WriteFile(path, "kept\n");
    ConfirmOverwrite();
    Export(FromWindows1252(start->m_strName), QStringLiteral("Assembly"), path);
    EXPECT_EQ(Messages(), std::vector<CString>{"Error: line 3"});
    EXPECT_EQ(ReadAll(path), QStringLiteral("kept\n"));
}

TEST_F(FlowchartProgramming, TheAssemblerNeedsAPic)
{
    InstallCompiler("PASS\\n");
    Design()->m_strMicroClass = "STAMP";
    CFlowStart* start = AddFlowchart(100, false);
    Export(FromWindows1252(start->m_strName), QStringLiteral("Assembly"), QString());
    EXPECT_EQ(Messages(), std::vector<CString>{"Assembly export requires the flowchart to be associated with an "
                                                "on-screen 18 pin or 28 pin PIC"});
    EXPECT_FALSE(QFile::exists(m_plugIns.filePath(QStringLiteral("args.txt"))));
}

// ---- Microcontroller Programmer Options ----

TEST(ProgrammingForm, ChoicesFollowThePlugIns)
{
    EnsureShellApp();
    QTemporaryDir dir;
    CCircuit d;
    CProgrammingForm f = CProgrammingForm::FromDesign(d, dir.path().toStdString(), false);
    EXPECT_EQ(f.programmers, (std::vector<CString>{"- Select -", "STAMP Controller", "Chip Foundry", "QUILLON",
                                                   "Brackley CHIPLAB", "PIC Flowlink", "Cantrell Programmer"}));
    EXPECT_EQ(f.Programmer(), "- Select -");
    EXPECT_FALSE(f.ModelsEnabled());
    EXPECT_EQ(f.Hint(), " ");
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("PlugIns/Tollard")));
    WriteFile(dir.filePath(QStringLiteral("PlugIns/Tollard/picprog.exe")), "");
    f = CProgrammingForm::FromDesign(d, dir.path().toStdString(), true);
    EXPECT_EQ(f.programmers[6], "ChipTalk");
    EXPECT_FALSE(f.OkEnabled());
    EXPECT_EQ(f.Hint(), "To return to this screen click on \"Options\" and then \"Programming\"");
    // The programmers that want the older parts, the STAMP's that wants
    // none, and the others.
    f.ChooseProgrammer(6);
    EXPECT_EQ(f.Programmer(), "ChipTalk");
    EXPECT_EQ(f.programmers.front(), "STAMP Controller");
    EXPECT_EQ(f.model18, "16F84");
    EXPECT_EQ(f.model28, "16F873");
    EXPECT_TRUE(f.OkEnabled());
    f.ChooseProgrammer(1);
    EXPECT_EQ(f.model18, "16F84A");
    EXPECT_EQ(f.model28, "16F73");
    f.ChooseProgrammer(0);
    EXPECT_EQ(f.model18, "16F84A");
    EXPECT_FALSE(f.ModelsEnabled());
}

TEST_F(FlowchartProgramming, ProgrammerOptionsFollowTheirRulesAndAreKept)
{
    bool seen = false;
    WhenModal<CProgrammingDialog>([&](CProgrammingDialog* d) {
        seen = true;
        auto* m18 = d->findChild<QLineEdit*>(QStringLiteral("ctl610"));
        auto* m28 = d->findChild<QLineEdit*>(QStringLiteral("ctl612"));
        auto* programmers = d->findChild<QComboBox*>(QStringLiteral("ctl611"));
        ASSERT_TRUE(m18 && m28 && programmers);
        EXPECT_EQ(programmers->itemText(0), QStringLiteral("- Select -"));
        EXPECT_FALSE(m18->isEnabled());
        Choose(d, 611, QStringLiteral("QUILLON"));
        // "- Select -" has left the list; the models follow the programmer.
        EXPECT_EQ(programmers->itemText(0), QStringLiteral("STAMP Controller"));
        EXPECT_EQ(programmers->currentText(), QStringLiteral("QUILLON"));
        EXPECT_EQ(m18->text(), QStringLiteral("16F84A"));
        EXPECT_EQ(m28->text(), QStringLiteral("16F73"));
        EXPECT_TRUE(m28->isEnabled());
        m28->setFocus();
        m28->selectAll();
        QTest::keyClicks(m28, QStringLiteral("16F876ABCDEFG"));
        EXPECT_EQ(m28->text(), QStringLiteral("16F876ABCD"));
        Choose(d, 613, QStringLiteral("COM 3"));
        Choose(d, 623, QStringLiteral("28 pin PIC"));
        Press(d, 1);
    });
    m_app->RouteCommand(34261);
    ASSERT_TRUE(seen);
    CCircuit* d = Design();
    EXPECT_EQ(d->m_strProgrammerChoice, "QUILLON");
    EXPECT_EQ(d->m_strChipType, "16F84A");
    EXPECT_EQ(d->m_strSecondChipName, "16F876ABCD");
    EXPECT_EQ(ProgrammerPort(*d), 3);
    EXPECT_EQ(d->m_strMicroClass, "28 pin PIC");
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());

    // Opened again: the programmer is chosen, so no "- Select -";
    // Restore Defaults takes the first programmer, "COM 1" and the models.
    seen = false;
    WhenModal<CProgrammingDialog>([&](CProgrammingDialog* dlg) {
        seen = true;
        auto* programmers = dlg->findChild<QComboBox*>(QStringLiteral("ctl611"));
        EXPECT_EQ(programmers->currentText(), QStringLiteral("QUILLON"));
        EXPECT_EQ(dlg->findChild<QComboBox*>(QStringLiteral("ctl613"))->currentText(), QStringLiteral("COM 3"));
        Press(dlg, 57671);
        EXPECT_EQ(programmers->currentText(), QStringLiteral("STAMP Controller"));
        EXPECT_FALSE(dlg->findChild<QLineEdit*>(QStringLiteral("ctl610"))->isEnabled());
        Press(dlg, 1);
    });
    m_app->RouteCommand(34261);
    ASSERT_TRUE(seen);
    EXPECT_EQ(d->m_strProgrammerChoice, "STAMP Controller");
    EXPECT_EQ(d->m_strChipType, "16F84");
    EXPECT_EQ(d->m_strSecondChipName, "16F873");
    EXPECT_EQ(ProgrammerPort(*d), 1);
}

TEST_F(FlowchartProgramming, FirstUseWaitsForAProgrammer)
{
    CProgrammingForm form = CProgrammingForm::FromDesign(*Design(), PlugInParentFolder(), true);
    CProgrammingDialog d(form);
    d.show();
    auto* ok = d.findChild<QPushButton*>(QStringLiteral("ctl1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("ctl624"))->text(),
              QStringLiteral("To return to this screen click on \"Options\" and then \"Programming\""));
    Choose(&d, 611, QStringLiteral("Brackley CHIPLAB"));
    EXPECT_TRUE(ok->isEnabled());
    Press(&d, 1);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(form.Programmer(), "Brackley CHIPLAB");
}

// ---- programming a chip ----

TEST_F(FlowchartProgramming, TheRecordButtonProgramsTheChip)
{
    InstallProgrammer("printf 'PASS\\n' > KEProg.log\n");
    CFlowStart* start = AddFlowchart(100, false);
    // No programmer chosen yet: the dialog comes first and waits for one.
    bool asked = false;
    WhenModal<CProgrammingDialog>([&](CProgrammingDialog* d) {
        asked = true;
        EXPECT_FALSE(d->findChild<QPushButton*>(QStringLiteral("ctl1"))->isEnabled());
        Choose(d, 611, QStringLiteral("QUILLON"));
        Press(d, 1);
    });
    PressRecord(start);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Design()->m_strProgrammerChoice, "QUILLON");
    EXPECT_TRUE(m_messages.shown.empty());
    // QUILLON on an 18-pin PIC, one argument each.
    EXPECT_EQ(ReadAll(m_plugIns.filePath(QStringLiteral("args.txt"))), QStringLiteral("-m13|-w3|-t18|-p|-fKEProg.bas|"));
    EXPECT_EQ(ReadAll(m_plugIns.filePath(QStringLiteral("sent.bas"))), QStringLiteral("main:    end\n"));
    for (const char* f : {"KEProg.bas", "KEProg.log"})
        EXPECT_FALSE(QFile::exists(m_plugIns.filePath(QString::fromLatin1(f)))) << f;
    EXPECT_EQ(start->m_bReadyToProgram, 1);
}

TEST_F(FlowchartProgramming, AProgrammerFailureShowsItsFirstLine)
{
    InstallProgrammer("printf 'FAIL: no chip found\\r\\nmore\\n' > KEProg.log\n");
    Design()->m_strProgrammerChoice = "QUILLON";
    CFlowStart* start = AddFlowchart(100, false);
    PressRecord(start);
    EXPECT_EQ(Messages(), std::vector<CString>{"FAIL: no chip found"});
}

TEST_F(FlowchartProgramming, CancelEndsTheProgrammer)
{
    InstallProgrammer("exec sleep 30\n");
    Design()->m_strProgrammerChoice = "QUILLON";
    CFlowStart* start = AddFlowchart(100, false);
    bool pressed = false;
    QTimer::singleShot(200, [&pressed] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<CProgressDialog*>(w); d && d->isVisible()) {
                Press(d, 614);
                pressed = true;
            }
    });
    PressRecord(start);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(Messages(), std::vector<CString>{"Programming Cancelled"});
    EXPECT_FALSE(QFile::exists(m_plugIns.filePath(QStringLiteral("KEProg.bas"))));
}

// ---- Programming in progress ----

TEST_F(FlowchartProgramming, ProgressStopsAtThePumpAfterCancel)
{
    CProgressDialog d;
    d.show();
    EXPECT_EQ(d.Status(), QStringLiteral("Finding Plug-In ..."));
    d.SetStatus(984);
    EXPECT_EQ(d.Status(), QStringLiteral("Plug-In found. Starting programming ..."));
    for (int i = 0; i < 5; ++i) d.StepIt();
    EXPECT_EQ(d.Position(), 5);
    EXPECT_TRUE(d.PumpMessages());
    Press(&d, 614);
    EXPECT_FALSE(d.PumpMessages());
    EXPECT_EQ(Messages(), std::vector<CString>{"Programming Cancelled"});
    d.CompleteProgress();
    EXPECT_EQ(d.Position(), CProgressDialog::kFull);
}

} // namespace
