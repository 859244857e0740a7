#include "app/tesk_doc.h"

#include "app/file_dialogs.h"
#include "model/circuit/circuit.h"
#include "model/designfile/design_file.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

int g_untitledCount = 0;

// Runs controller code 1 before and 0 after a long operation on the design.
class CStopDesign {
public:
    explicit CStopDesign(CCircuit* design) : m_design(design)
    {
        if (m_design) m_design->ControlSimulation(SIM_DEACTIVATE);
    }
    ~CStopDesign()
    {
        if (m_design) m_design->ControlSimulation(SIM_ACTIVATE);
    }
    CStopDesign(const CStopDesign&) = delete;
    CStopDesign& operator=(const CStopDesign&) = delete;

private:
    CCircuit* m_design;
};

} // namespace

CTeskDoc::CTeskDoc()
    : m_handlers([this] {
          CCircuit* d = GetDesign();
          return CHandlerMap::DesignState{d != nullptr, d && d->IsLocked()};
      })
{
    m_handlers.Add(57603, [this] {
        CStopDesign stop(GetDesign());
        DoFileSave();
    });
    m_handlers.Add(57604, [this] {
        CStopDesign stop(GetDesign());
        DoSave(QString());
    });
    m_handlers.Add(
        57643, [this] { Undo(); },
        [this](CCmdUI& ui) {
            CCircuit* d = GetDesign();
            ui.Enable(d && !d->IsLocked() && !d->HasBlownPart() && m_item->CanUndo());
        });
    m_handlers.Add(
        57644, [this] { Redo(); },
        [this](CCmdUI& ui) {
            CCircuit* d = GetDesign();
            ui.Enable(d && !d->IsLocked() && !d->HasBlownPart() && m_item->CanRedo());
        });
    m_handlers.Add(
        36007, [this] { OnEditCopy(); }, [this](CCmdUI& ui) { ui.Enable(CanCopy()); });
    m_handlers.Add(
        36005, [this] { OnEditCut(); },
        [this](CCmdUI& ui) { ui.Enable(CanCopy() && !GetDesign()->IsLocked()); });
    m_handlers.Add(
        36006, [this] { OnEditPaste(); }, [this](CCmdUI& ui) { ui.Enable(CanPaste()); });
    m_handlers.Add(35016, [this] { OnCopySimulation(); });
    m_handlers.Add(34219, [this] { ExportNetlist(); });
    m_handlers.Add(
        34260, [this] { ExportFlowchartCommand(); }, [this](CCmdUI& ui) { ui.Enable(GetDesign() != nullptr); });
    m_handlers.Add(34261, [this] { EditProgrammer(); });
    m_handlers.Add(
        34207, [this] { LockFile(); },
        [this](CCmdUI& ui) {
            CCircuit* d = GetDesign();
            ui.Enable(d && !d->TestOptions(0x8000));
            ui.SetCheck(d && d->IsLocked());
        });
    m_handlers.Add(
        34208, [this] { UnlockFile(); },
        [this](CCmdUI& ui) {
            CCircuit* d = GetDesign();
            ui.Enable(d && !d->TestOptions(0x8000));
            ui.SetCheck(d && !d->IsLocked());
        });
}

CTeskDoc::~CTeskDoc() = default;

QString& CTeskDoc::DefaultFolder()
{
    static QString folder;
    return folder;
}

bool CTeskDoc::OnNewDocument()
{
    m_item = std::make_unique<CTeskItem>(this);
    GetDesign()->ResetToDefaults();
    m_path.clear();
    SetTitle(FromWindows1252(LoadResString(61702)) + QString::number(++g_untitledCount));
    SetModifiedFlag(false);
    emit designReplaced();
    return true;
}

bool CTeskDoc::OnOpenDocument(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        CString text = LoadResString(61703);
        const size_t at = text.find("%1");
        if (at != CString::npos) text.replace(at, 2, ToWindows1252(QDir::toNativeSeparators(path)));
        WbMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const QByteArray data = f.readAll();
    const std::vector<uint8_t> bytes(data.begin(), data.end());
    auto item = std::make_unique<CTeskItem>(this);
    // Parts find their files relative to the design's path while it loads.
    const QString previousPath = m_path;
    m_path = path;
    m_loadingPath = QFileInfo(path).absoluteFilePath();
    const CTeskItem::ReadResult r = item->Load(bytes);
    m_loadingPath.clear();
    if (r == CTeskItem::ReadResult::kNotADesign) WbMessageBox(61700, MB_OK | MB_ICONEXCLAMATION);
    if (r != CTeskItem::ReadResult::kOk) {
        // The item made for the read is dropped; the design this document
        // held (none for a fresh open) stays.
        m_path = previousPath;
        return false;
    }
    m_item = std::move(item);
    SetPathName(path);
    m_modified = false;
    emit designReplaced();
    emit titleChanged();
    return true;
}

bool CTeskDoc::OnSaveDocument(const QString& path)
{
    if (!GetDesign()) return false;
    std::vector<uint8_t> bytes;
    try {
        bytes = m_item->Store(true);
    } catch (const std::exception&) {
        WbMessageBox(61698, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!SaveBytesSafely(ToWindows1252(path), bytes)) {
        WbMessageBox(61698, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CTeskDoc::DoFileSave()
{
    CCircuit* design = GetDesign();
    CStopDesign stop(design);
    if (design && design->IsLocked()) {
        WbMessageBox(36620, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return DoSave(m_path);
}

bool CTeskDoc::SaveWithoutLockTest()
{
    CStopDesign stop(GetDesign());
    return DoSave(m_path);
}

QString CTeskDoc::AskSavePath()
{
    QString start = m_path;
    if (start.isEmpty()) {
        const QString folder = DefaultFolder().isEmpty() ? QDir::homePath() : DefaultFolder();
        start = QDir(folder).filePath(m_title + QStringLiteral(".zrn"));
    }
    return ShowFileSaveDialog(start);
}

bool CTeskDoc::DoSave(const QString& path, bool replace)
{
    QString target = path;
    if (target.isEmpty()) {
        target = AskSavePath();
        if (target.isEmpty()) return false;
    }
    if (!OnSaveDocument(target)) return false;
    if (replace) SetPathName(target);
    return true;
}

bool CTeskDoc::SaveModified()
{
    if (!m_modified) return true;
    CString text = LoadResString(61699);
    const size_t at = text.find("%1");
    if (at != CString::npos) text.replace(at, 2, ToWindows1252(m_title));
    switch (WbMessageBox(text, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL: return false;
    case IDNO: return true;
    default: return DoFileSave();
    }
}

void CTeskDoc::SetPathName(const QString& path)
{
    m_path = QFileInfo(path).absoluteFilePath();
    SetTitle(QFileInfo(m_path).fileName());
}

void CTeskDoc::SetTitle(const QString& title)
{
    m_title = title;
    emit titleChanged();
}

int CTeskDoc::SaveUndoSnapshot()
{
    return m_item ? m_item->SaveUndoSnapshot() : 0;
}

CString CTeskDoc::GetDesignPath() const
{
    return CString(ToWindows1252(m_loadingPath.isEmpty() ? m_path : m_loadingPath));
}

void CTeskDoc::SetModifiedFlag(bool modified)
{
    CCircuit* d = GetDesign();
    if (d && d->IsLocked() && modified) return;
    if (d) d->SetPendingRefresh(0);
    if (m_modified == modified) return;
    m_modified = modified;
    emit titleChanged();
}

void CTeskDoc::DesignChanged()
{
    emit designReplaced();
    if (CCircuit* d = GetDesign()) {
        d->RestartRecording(1);
        d->OnSimulationStopped();
        d->ResetRun(0);
    }
}

bool CTeskDoc::Undo()
{
    if (!m_item || !m_item->CanUndo() || !m_item->RestoreSnapshot(true)) return false;
    SetModifiedFlag(true);
    DesignChanged();
    return true;
}

bool CTeskDoc::Redo()
{
    if (!m_item || !m_item->CanRedo() || !m_item->RestoreSnapshot(false)) return false;
    SetModifiedFlag(true);
    DesignChanged();
    return true;
}

bool CTeskDoc::OnCommand(int id) { return m_handlers.OnCommand(id); }
bool CTeskDoc::OnUpdateCommand(CCmdUI& ui) { return m_handlers.OnUpdateCommand(ui); }
