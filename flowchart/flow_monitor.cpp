#include "flowchart/flow_monitor.h"

#include "flowchart/flow_panel_texts.h"
#include "flowchart/flow_start.h"
#include "model/circuit/circuit.h"
#include "model/display/bitmap256.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

#include <string>

WB_IMPLEMENT_SERIAL(CMonitor, "CFlowViewer", 2)

namespace {
constexpr int IDC_PANEL_LABEL = 36052;
constexpr int IDC_PANEL_FLOWCHART = 36053;
constexpr int IDC_ADD_MONITOR = 33892;
constexpr int kMonitorBitmap = 459;
constexpr int kWidth = 200, kHeight = 140;
// The markers the variable elements store outside the range.
constexpr int kAboveRange = -2;
constexpr int kBelowRange = -10;
} // namespace

CMonitor::CMonitor()
{
    m_rect.SetRect(0, 0, kWidth, kHeight);
    m_bMonitor = 1;
    m_strPanelText = FirstLine(false);
}

CMonitor::~CMonitor() = default;

CString CMonitor::FirstLine(bool running) const
{
    return LoadResString(IDS_PANEL_MONITORING) + m_strFlowchart + " : " +
           LoadResString(running ? IDS_PANEL_RUNNING : IDS_PANEL_STOPPED);
}

CString CMonitor::ValueText(int value)
{
    if (value >= 0) return std::to_string(value);
    if (value == kAboveRange) return "++++";
    if (value == kBelowRange) return "----";
    return CString();
}

void CMonitor::Update(const Entry* table, int count, bool running)
{
    CString text = FirstLine(running) + "\n\n";
    for (int i = 0; table && i < count; ++i) {
        if (table[i].value == -1) continue;
        text += table[i].name + " : " + ValueText(table[i].value) + "\n";
    }
    if (!text.empty() && text.back() == '\n') text.pop_back();
    m_strPanelText = text;
    m_bRunning = running ? 1 : 0;
    CText::SetText(m_strPanelText.c_str());
    Fit();
    ShowPanelText(true);
}

void CMonitor::Fit()
{
    const CString more = "\n" + LoadResString(IDS_PANEL_MORE);
    while (TooLong(m_strPanelText)) {
        const size_t first = m_strPanelText.find('\n', 1);
        if (first == CString::npos) break;
        // The last two lines go, and "more .." stands for them.
        CString cut = m_strPanelText;
        for (int k = 0; k < 2; ++k) {
            const size_t at = cut.rfind('\n');
            if (at == CString::npos || at < first) break;
            cut.resize(at);
        }
        // Nothing left to drop but the title: the text stays as it is.
        if (cut.size() + more.size() >= m_strPanelText.size()) break;
        m_strPanelText = cut + more;
        CText::SetText(m_strPanelText.c_str());
    }
}

void CMonitor::OnSimulationReset()
{
    CFlowViewer::OnSimulationReset();
    Fit();
    ShowPanelText(false);
}

void CMonitor::RefreshText(int redraw)
{
    const size_t eol = m_strPanelText.find('\n');
    if (eol != CString::npos && m_strPrevName == m_strFlowchart) {
        m_strPanelText = FirstLine(m_bRunning != 0) + m_strPanelText.substr(eol);
    } else {
        // Another flowchart: its start sends its variables again; none of
        // that name leaves the title of the new name.
        m_strPanelText = FirstLine(false);
        m_bRunning = 0;
        if (const auto* design = dynamic_cast<const CCircuit*>(GetCircuit()))
            if (auto* start = dynamic_cast<CFlowStart*>(design->FindFlowStart(m_strFlowchart)))
                start->RefreshMonitors();
    }
    ShowPanelText(redraw != 0);
}

int CMonitor::BuildInfo(CString& text, UINT, CPoint)
{
    text = LoadResString(IDS_PANEL_MONITORING) + m_strFlowchart;
    return 1;
}

int CMonitor::FillProperties(CControlItemList& items)
{
    m_strPrevName = m_strFlowchart;
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_PANEL_MONITOR), IDC_PANEL_LABEL, 40));
    items.Add(CControlItem(CI_DROPLIST, FlowchartNames(GetCircuit()), IDC_PANEL_FLOWCHART, 120));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_MONITOR, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CMonitor::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_PANEL_FLOWCHART, m_strFlowchart, -1);
    return 1;
}

int CMonitor::GetPropertyBitmap(int id) { return id == IDC_ADD_MONITOR ? kMonitorBitmap : 0; }

int CMonitor::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.assign({IDC_ADD_MONITOR});
    if (bitmap && !AttachPicture(bitmap, kMonitorBitmap)) return -1;
    return 1;
}

int CMonitor::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == IDC_PANEL_FLOWCHART) return TakeFlowchartName(commandId, text);
    return CFlowViewer::OnPropertyCommand(commandId, text);
}
