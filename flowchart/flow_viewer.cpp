#include "flowchart/flow_viewer.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_panel_texts.h"
#include "model/circuit/circuit.h"
#include "model/display/part_resize.h"
#include "model/parts/part_records.h"
#include "platform/strings.h"

// No factory: every viewer is a display box or a monitor.
WB_IMPLEMENT_RUNTIMECLASS(CFlowViewer, "CTextLabel", 2)

namespace {
constexpr int IDC_PANEL_FLOWCHART = 36053;
} // namespace

CFlowViewer::CFlowViewer()
{
    flags = kFlowViewerStyle;
    m_strFlowchart = LoadResString(IDS_FLOW_NAME_PREFIX) + "1";
    m_strPrevName = m_strFlowchart;
}

CFlowViewer::~CFlowViewer() = default;

void CFlowViewer::Serialize(CArchive& ar)
{
    CTextLabel::Serialize(ar);
    // A monitor's flag came with a later revision; a display box always
    // carried it.  Written only where it is read: in an older tree the
    // bytes would be taken for the next record.
    const bool gated = IsKindOf("CMonitor");
    const bool carried = !gated || IsVersionAtLeast(ar.GetVersion(), 0x10B3, 0x20B6);
    if (ar.IsStoring()) {
        ar << m_strFlowchart << static_cast<LONG>(m_bRunning) << m_strPanelText << m_strPrevName << m_strReserved;
        if (carried) ar << static_cast<LONG>(m_bMonitor);
        return;
    }
    LONG running = 0;
    ar >> m_strFlowchart >> running >> m_strPanelText >> m_strPrevName >> m_strReserved;
    m_bRunning = running ? 1 : 0;
    if (carried) {
        LONG monitor = 0;
        ar >> monitor;
    }
    // What the panel is follows its class, whatever the word says.
    m_bMonitor = IsKindOf("CMonitor") ? 1 : 0;
}

void CFlowViewer::CreateChildren()
{
    CTextLabel::CreateChildren();
    CText::SetText(m_strPanelText.c_str());
}

void CFlowViewer::ShowPanelText(bool redraw)
{
    CText::SetText(m_strPanelText.c_str());
    if (redraw) Redraw(GetCircuit() ? GetCircuit()->GetRedrawFlags() : 0);
}

bool CFlowViewer::TooLong(const CString& text)
{
    // The panel's own box and format decide; an empty text always fits, so
    // the loops that shorten a text end whatever the box measures.
    if (text.empty()) return false;
    CString probe = text;
    return MeasureText(&probe, 0) != 0;
}

CString CFlowViewer::FlowchartNames(const CPartTree* design)
{
    CString out;
    if (const auto* circuit = dynamic_cast<const CCircuit*>(design))
        for (CPart* p : circuit->CollectFlowStarts()) {
            if (!out.empty()) out += "\n";
            out += p->GetLinkName() ? p->GetLinkName() : "";
        }
    if (out.empty()) out = LoadResString(IDS_FLOW_NAME_PREFIX) + "1";
    return out;
}

int CFlowViewer::TakeFlowchartName(int commandId, const CString& text)
{
    if (commandId != IDC_PANEL_FLOWCHART || !GetCircuit()) return 0;
    m_strFlowchart = text;
    RefreshText(1);
    return 65;
}
