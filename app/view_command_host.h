// The view commands' host on the real windows: the active document's
// design and canvas view, the main frame's toolbars, and the dialogs.
#pragma once

#include "app/view_commands.h"

class CTeskApp;
class CTeskView;
class CControlToolBar;

class CFrameViewCommandHost : public CViewCommandHost {
public:
    explicit CFrameViewCommandHost(CTeskApp& app) : m_app(app) {}

    void SetControlToolBar(CControlToolBar* bar) { m_bar = bar; }

    CCircuit* GetDesign() override;
    void Repaint() override;
    void UpdateScrollSizes() override;
    void RefreshToolBars() override;
    void RefreshPropertyBar() override;
    void RefreshPropertyValues() override;
    void EndHover() override;
    bool HasToolBar(int id) override;
    void ShowToolBar(int id) override;
    int CurrentToolBar() override;
    void AddPart(int commandId) override;
    CPart* PropertyPart() override;
    void DeselectAll() override;
    void TitleChanged() override;
    CPoint ScrollPosition() override;
    void ShowMessage(const CString& text) override;
    bool GetSelectWhenAdding() override;
    void SetSelectWhenAdding(bool on) override;

    bool EditLogic(CLogicDlgData& data) override;
    bool EditTitle(CString& title) override;
    bool EditMeterSettings(CMeterSettings& data) override;
    bool EditUnits(CMeasurementUnitsDlgData& data) override;
    bool EditSampleRate(CSampleRateDlgData& data) override;
    bool EditSoundLength(CSoundLengthDlgData& data) override;
    bool EditPageSize(CPageSizeDlgData& data) override;
    bool EditLockedConstraints(CLockedConstraintsData& data) override;
    bool EditDefaultFont(CCircuit& design) override;
    bool EditRescaleFactor(double& factor) override;
    bool EditCopyData(CCopyDataForm& form) override;
    bool EditFlowchartOptions(CFlowchartOptionsData& data) override;
    bool PutTextOnClipboard(const CString& text) override;
    bool HasSoundProbe() override;
    void StopSound() override;
    bool IsSoundLooping() override;
    void CheckSampleRate(int rate) override;
    bool CanPlaySound() override;
    bool CanCreatePart(int commandId) override;
    void ShowStatusText(unsigned stringId) override;
    bool CanShowGraph() override;
    void ShowGraph() override;
    bool EditSaveSound(CSaveSoundChoice& choice, CString* path) override;

private:
    CTeskView* View();
    CTeskApp& m_app;
    CControlToolBar* m_bar = nullptr;
};
