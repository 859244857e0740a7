#include "app/view_command_host.h"

#include "app/canvas/tesk_view.h"
#include "app/add_menu.h"
#include "app/clipboard.h"
#include "app/control_toolbar.h"
#include "app/file_dialogs.h"
#include "app/flowchart_dialogs.h"
#include "app/main_frame.h"
#include "app/probe_copy_dialog.h"
#include "app/save_sound_dialog.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "measure/sound_system.h"
#include "app/toolbar_layouts.h"
#include "app/view_dialogs.h"
#include "model/circuit/circuit.h"
#include "model/designfile/settings_file.h"
#include "model/text/charformat.h"
#include "platform/messagebox.h"
#include "platform/text1252.h"

#include <QFontDialog>
#include <QScrollBar>

CTeskView* CFrameViewCommandHost::View() { return m_app.GetActiveView(); }

CCircuit* CFrameViewCommandHost::GetDesign()
{
    CTeskDoc* doc = m_app.GetActiveDocument();
    return doc ? doc->GetDesign() : nullptr;
}

void CFrameViewCommandHost::Repaint()
{
    if (CTeskView* v = View()) v->UpdateView();
}

// The frame of the active view: the design window whose graph pane opens.
static CTeskFrame* ActiveFrame(CTeskView* view)
{
    for (QWidget* w = view; w; w = w->parentWidget())
        if (auto* f = qobject_cast<CTeskFrame*>(w)) return f;
    return nullptr;
}

bool CFrameViewCommandHost::CanShowGraph() { return ActiveFrame(View()) != nullptr; }

void CFrameViewCommandHost::ShowGraph()
{
    if (CTeskFrame* f = ActiveFrame(View())) f->ShowGraph();
}

void CFrameViewCommandHost::UpdateScrollSizes() { Repaint(); }

void CFrameViewCommandHost::RefreshToolBars()
{
    if (CMainFrame* f = m_app.GetMainFrame()) f->SwitchToolBar(999);
}

void CFrameViewCommandHost::RefreshPropertyBar()
{
    if (m_bar) m_bar->Rebuild();
}

void CFrameViewCommandHost::RefreshPropertyValues()
{
    if (m_bar) m_bar->RefreshValues(false);
}

void CFrameViewCommandHost::EndHover()
{
    if (CTeskView* v = View()) v->Controller().EndHover();
}

bool CFrameViewCommandHost::HasToolBar(int id)
{
    return ToolBarLayouts().layouts.count(id) != 0 || id == 284 || id == 285 || id == 286;
}

void CFrameViewCommandHost::ShowToolBar(int id)
{
    if (CMainFrame* f = m_app.GetMainFrame()) f->SwitchToolBar(id, 0, true);
}

int CFrameViewCommandHost::CurrentToolBar()
{
    CMainFrame* f = m_app.GetMainFrame();
    return f ? f->ToolBarLayout() : kMainToolBarId;
}

void CFrameViewCommandHost::AddPart(int commandId) { m_app.RouteCommand(commandId); }

CPart* CFrameViewCommandHost::PropertyPart() { return m_bar ? m_bar->Part() : nullptr; }

void CFrameViewCommandHost::DeselectAll()
{
    if (CTeskView* v = View()) {
        v->Controller().DeselectAll(true, true);
        v->UpdateView();
    }
    if (m_bar) m_bar->ShowPart(nullptr, nullptr);
}

void CFrameViewCommandHost::TitleChanged()
{
    if (CTeskDoc* doc = m_app.GetActiveDocument())
        for (CTeskFrame* f : m_app.FramesOf(doc)) f->OnUpdateFrameTitle();
}

CPoint CFrameViewCommandHost::ScrollPosition()
{
    CTeskView* v = View();
    return v ? CPoint(v->horizontalScrollBar()->value(), v->verticalScrollBar()->value()) : CPoint();
}

void CFrameViewCommandHost::ShowMessage(const CString& text) { WbMessageBox(text, MB_OK); }

bool CFrameViewCommandHost::GetSelectWhenAdding()
{
    CTeskView* v = View();
    return v && v->Controller().GetSelectWhenAdding();
}

void CFrameViewCommandHost::SetSelectWhenAdding(bool on)
{
    if (CTeskView* v = View()) v->Controller().SetSelectWhenAdding(on);
}

namespace {
template <class Dialog, class... Args>
bool Run(Args&&... args)
{
    Dialog dialog(std::forward<Args>(args)..., DialogParent().data());
    return dialog.exec() == QDialog::Accepted;
}
} // namespace

bool CFrameViewCommandHost::EditLogic(CLogicDlgData& data) { return Run<CLogicDialog>(data); }
bool CFrameViewCommandHost::EditTitle(CString& title) { return Run<CTitleDialog>(title); }
bool CFrameViewCommandHost::EditMeterSettings(CMeterSettings& data) { return Run<CMeterDialog>(data); }
bool CFrameViewCommandHost::EditUnits(CMeasurementUnitsDlgData& data) { return Run<CMeasurementUnitsDialog>(data); }
bool CFrameViewCommandHost::EditSampleRate(CSampleRateDlgData& data) { return Run<CSampleRateDialog>(data); }
bool CFrameViewCommandHost::EditPageSize(CPageSizeDlgData& data) { return Run<CPageSizeDialog>(data); }
bool CFrameViewCommandHost::EditLockedConstraints(CLockedConstraintsData& data)
{
    return Run<CLockedConstraintsDialog>(data);
}

bool CFrameViewCommandHost::EditRescaleFactor(double& factor) { return Run<CFontRescaleDialog>(factor); }
bool CFrameViewCommandHost::EditCopyData(CCopyDataForm& form) { return Run<CCopyDataDialog>(form); }
bool CFrameViewCommandHost::EditFlowchartOptions(CFlowchartOptionsData& data)
{
    return Run<CFlowchartDialog>(data);
}
bool CFrameViewCommandHost::PutTextOnClipboard(const CString& text) { return ::PutTextOnClipboard(text); }
bool CFrameViewCommandHost::CanCreatePart(int commandId) { return ::CanCreatePart(commandId); }
bool CFrameViewCommandHost::HasSoundProbe() { return FindSoundRecording(GetDesign()) != nullptr; }

void CFrameViewCommandHost::StopSound() { m_app.Sound().Stop(true, true); }

bool CFrameViewCommandHost::IsSoundLooping() { return m_app.Sound().IsSoundLooping(); }

void CFrameViewCommandHost::CheckSampleRate(int rate) { m_app.Sound().CheckSampleRate(rate); }

bool CFrameViewCommandHost::CanPlaySound()
{
    const CSoundRecording* recording = FindSoundRecording(GetDesign());
    return recording && recording->Length() > 0;
}

void CFrameViewCommandHost::ShowStatusText(unsigned stringId)
{
    if (CMainFrame* f = m_app.GetMainFrame()) f->SetStatusTextId(static_cast<int>(stringId));
}

bool CFrameViewCommandHost::EditSaveSound(CSaveSoundChoice& choice, CString* path)
{
    if (!Run<CSaveSoundDialog>(choice)) return false;
    const QString file = ChooseSoundFile(DialogParent().data());
    if (file.isEmpty()) return false;
    *path = CString(file.toLocal8Bit().toStdString());
    return true;
}

bool CFrameViewCommandHost::EditSoundLength(CSoundLengthDlgData& data)
{
    CCircuit* design = GetDesign();
    std::function<void()> rate;
    if (design && design->CanChangeSettings()) rate = [this] { m_app.RouteCommand(36012); };
    return Run<CSoundLengthDialog>(data, rate);
}

bool CFrameViewCommandHost::EditDefaultFont(CCircuit& design)
{
    CCharFormat format = CCharFormat::FromBytes(design.m_defaultFont);
    QFont font(FromWindows1252(format.Face()));
    if (format.height > 0) font.setPointSizeF(format.height / 20.0);
    font.setBold(format.effects & kCfeBold);
    font.setItalic(format.effects & kCfeItalic);
    font.setUnderline(format.effects & kCfeUnderline);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, DialogParent().data());
    if (!ok) return false;
    format.SetFace(ToWindows1252(chosen.family()));
    format.height = static_cast<int32_t>(chosen.pointSizeF() * 20.0 + 0.5);
    format.effects &= ~(kCfeBold | kCfeItalic | kCfeUnderline);
    if (chosen.bold()) format.effects |= kCfeBold;
    if (chosen.italic()) format.effects |= kCfeItalic;
    if (chosen.underline()) format.effects |= kCfeUnderline;
    format.mask |= kCfmFace | kCfmSize | kCfmBold | kCfmItalic | kCfmUnderline;
    const auto bytes = format.ToBytes();
    std::copy(bytes.begin(), bytes.end(), design.m_defaultFont);
    ProgramDefaultFont() = format;
    LoadDefaultFont(false, SettingsFilePath());
    return true;
}
