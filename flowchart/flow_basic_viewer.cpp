#include "flowchart/flow_basic_viewer.h"

#include "flowchart/flow_errors.h"
#include "flowchart/flow_panel_texts.h"
#include "flowchart/flow_start.h"
#include "flowchart/flow_viewer.h"
#include "model/circuit/circuit.h"
#include "model/display/bitmap256.h"
#include "model/parts/controlitem.h"
#include "platform/strings.h"

WB_IMPLEMENT_SERIAL(CPBasicViewer, "CTextLabel", 2)

namespace {
constexpr int IDC_PANEL_LABEL = 36052;
constexpr int IDC_PANEL_FLOWCHART = 36053;
constexpr int IDC_PANEL_LANGUAGE_LABEL = 36058;
constexpr int IDC_PANEL_LANGUAGE = 36059;
constexpr int IDC_ADD_BASIC_VIEWER = 33893;
constexpr int kBasicViewerBitmap = 591;
constexpr int kWidth = 200, kHeight = 150;
const char* const kBasicC2 = "BASIC C2";

// The names of the design's flowcharts, one a line; "Flowchart 1" when it
// has none.
CString FlowchartNames(const CPartTree* design)
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
} // namespace

CPBasicViewer::CPBasicViewer()
{
    flags = kFlowViewerStyle;
    m_rect.SetRect(0, 0, kWidth, kHeight);
    m_strFlowchart = LoadResString(IDS_FLOW_NAME_PREFIX) + "1";
    m_strTitle = m_strFlowchart + Suffix();
    m_strShown = m_strTitle + "\n\n";
}

CPBasicViewer::~CPBasicViewer() = default;

CString CPBasicViewer::Suffix() const
{
    return LoadResString(m_strLanguage == kBasicC2 ? IDS_PANEL_BASIC_C2 : IDS_PANEL_BASIC_C1);
}

void CPBasicViewer::Serialize(CArchive& ar)
{
    CTextLabel::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_strTitle << m_strFlowchart << m_strLanguage << m_strShown;
        return;
    }
    ar >> m_strTitle >> m_strFlowchart >> m_strLanguage >> m_strShown;
    if (m_strFlowchart.empty()) m_strFlowchart = " ";
}

void CPBasicViewer::CreateChildren()
{
    CTextLabel::CreateChildren();
    LayOut();
}

void CPBasicViewer::OnSimulationReset()
{
    CTextLabel::OnSimulationReset();
    LayOut();
}

bool CPBasicViewer::TooLong(const CString& text)
{
    if (text.empty()) return false;
    const int limit = GetTextLimit();
    if (limit > 0 && text.size() >= static_cast<size_t>(limit)) return true;
    CString probe = text;
    return MeasureText(&probe, 0) != 0;
}

void CPBasicViewer::LayOut()
{
    CText::SetText(m_strShown.c_str());
    const CString more = "\n" + LoadResString(IDS_PANEL_MORE);
    while (TooLong(m_strShown)) {
        // A line break after the first character: there are lines to drop.
        const size_t first = m_strShown.find('\n', 1);
        if (first == CString::npos) break;
        CString cut = m_strShown;
        for (int k = 0; k < 2; ++k) {
            const size_t at = cut.rfind('\n');
            if (at == CString::npos || at < first) break;
            cut.resize(at);
        }
        // Nothing left to drop but the heading: the text stays.
        if (cut.size() + more.size() >= m_strShown.size()) break;
        m_strShown = cut + more;
        CText::SetText(m_strShown.c_str());
    }
}

void CPBasicViewer::ShowProgram(const CString& program, bool redraw)
{
    m_strTitle = m_strFlowchart + Suffix();
    m_strShown = m_strTitle + "\n\n" + program;
    LayOut();
    if (redraw) Redraw(GetCircuit() ? GetCircuit()->GetRedrawFlags() : 0);
}

void CPBasicViewer::RefreshText(int)
{
    if (m_strFlowchart.empty()) m_strFlowchart = " ";
    m_strTitle = m_strFlowchart + Suffix();
    m_strShown = m_strTitle + "\n\n" + "\n\n";
    LayOut();
    Redraw(GetCircuit() ? GetCircuit()->GetRedrawFlags() : 0);
    const auto* design = dynamic_cast<const CCircuit*>(GetCircuit());
    if (!design) return;
    for (CPart* p : design->CollectFlowStarts()) {
        auto* start = static_cast<CFlowStart*>(p);
        CString name;
        start->GetProgramName(name);
        if (name == m_strFlowchart) start->RefreshBasicViewers();
    }
}

int CPBasicViewer::BuildInfo(CString& text, UINT, CPoint)
{
    text = m_strTitle;
    return 1;
}

int CPBasicViewer::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_PANEL_SHOWING), IDC_PANEL_LABEL, 55));
    items.Add(CControlItem(CI_DROPLIST, FlowchartNames(GetCircuit()), IDC_PANEL_FLOWCHART, 120));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_PANEL_LANGUAGE), IDC_PANEL_LANGUAGE_LABEL, 65));
    items.Add(CControlItem(CI_DROPLIST, LoadResString(IDS_PANEL_DIALECTS), IDC_PANEL_LANGUAGE, 120));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_BASIC_VIEWER, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CPBasicViewer::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_PANEL_FLOWCHART, m_strFlowchart, -1);
    items.SetItemText(IDC_PANEL_LANGUAGE, m_strLanguage, -1);
    return 2;
}

int CPBasicViewer::GetPropertyBitmap(int id) { return id == IDC_ADD_BASIC_VIEWER ? kBasicViewerBitmap : 0; }

int CPBasicViewer::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.assign({IDC_ADD_BASIC_VIEWER});
    if (bitmap && !AttachPicture(bitmap, kBasicViewerBitmap)) return -1;
    return 1;
}

int CPBasicViewer::OnPropertyCommand(int commandId, const CString& text)
{
    if (!GetCircuit()) return commandId == IDC_PANEL_FLOWCHART || commandId == IDC_PANEL_LANGUAGE ? 0 : CTextLabel::OnPropertyCommand(commandId, text);
    if (commandId == IDC_PANEL_FLOWCHART) {
        m_strFlowchart = text;
        RefreshText(1);
        return 65;
    }
    if (commandId == IDC_PANEL_LANGUAGE) {
        m_strLanguage = text;
        RefreshText(2);
        return 65;
    }
    return CTextLabel::OnPropertyCommand(commandId, text);
}
