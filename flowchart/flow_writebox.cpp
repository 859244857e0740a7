#include "flowchart/flow_writebox.h"

#include <vector>

#include "flowchart/flow_panel_texts.h"
#include "model/circuit/circuit.h"
#include "model/display/part_resize.h"
#include "model/parts/controlitem.h"
#include "model/display/bitmap256.h"
#include "platform/strings.h"

#include <string>

WB_IMPLEMENT_SERIAL(CWriteBox, "CFlowViewer", 2)

namespace {
constexpr int IDC_PANEL_LABEL = 36052;
constexpr int IDC_PANEL_FLOWCHART = 36053;
constexpr int IDC_ADD_WRITEBOX = 33899;
constexpr int kWriteBoxBitmap = 602;
constexpr int kWidth = 140, kHeight = 100;
} // namespace

CWriteBox::CWriteBox()
{
    m_rect.SetRect(0, 0, kWidth, kHeight);
    m_bMonitor = 0;
    m_strPanelText = Title();
}

CWriteBox::~CWriteBox() = default;

CString CWriteBox::Title() const { return m_strFlowchart + " " + LoadResString(IDS_PANEL_OUTPUT) + "\n\n"; }

void CWriteBox::Clear()
{
    m_strPanelText = Title();
    const auto* frame = dynamic_cast<const CPartResize*>(GetResizeFrame());
    ShowPanelText(frame && frame->m_activeHandle == RH_NONE);
}

void CWriteBox::Fit()
{
    if (!TooLong(m_strPanelText)) return;
    // The body is what follows the first blank line; without one the text
    // is the title alone and nothing more can go.
    const size_t at = m_strPanelText.find("\n\n");
    if (at == CString::npos) return;
    const CString title = Title();
    const CString body = m_strPanelText.substr(at + 2);
    // starts[k]: where the body begins once k lines have gone; the last
    // entry is the empty body.
    std::vector<size_t> starts{0};
    for (size_t p = body.find('\n'); p != CString::npos && p + 1 < body.size(); p = body.find('\n', p + 1))
        starts.push_back(p + 1);
    starts.push_back(body.size());
    // The smallest k >= 1 whose text fits; the empty body when none does.
    size_t lo = 1, hi = starts.size() - 1;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (TooLong(title + body.substr(starts[mid])))
            lo = mid + 1;
        else
            hi = mid;
    }
    m_strPanelText = title + body.substr(starts[lo]);
    CText::SetText(m_strPanelText.c_str());
}

void CWriteBox::FitOneLineAtATime()
{
    const CString title = Title();
    while (TooLong(m_strPanelText)) {
        const size_t at = m_strPanelText.find("\n\n");
        if (at == CString::npos) break;
        CString body = m_strPanelText.substr(at + 2);
        if (body.empty()) break;
        const size_t line = body.find('\n');
        body = line == CString::npos ? CString() : body.substr(line + 1);
        m_strPanelText = title + body;
        CText::SetText(m_strPanelText.c_str());
    }
}

void CWriteBox::AppendText(const CString& text)
{
    m_strPanelText += text;
    CText::SetText(m_strPanelText.c_str());
    Fit();
    ShowPanelText(true);
}

void CWriteBox::AppendNumber(int value) { AppendText(std::to_string(value)); }

void CWriteBox::OnSimulationReset()
{
    CFlowViewer::OnSimulationReset();
    Fit();
    ShowPanelText(false);
}

void CWriteBox::RefreshText(int redraw)
{
    const size_t eol = m_strPanelText.find('\n');
    if (eol == CString::npos || m_strPrevName != m_strFlowchart) {
        m_strPanelText = Title();
    } else {
        m_strPanelText = m_strFlowchart + " " + LoadResString(IDS_PANEL_OUTPUT) + m_strPanelText.substr(eol);
    }
    ShowPanelText(redraw != 0);
}

int CWriteBox::BuildInfo(CString& text, UINT, CPoint)
{
    text = m_strFlowchart + " " + LoadResString(IDS_PANEL_OUTPUT);
    return 1;
}

int CWriteBox::FillProperties(CControlItemList& items)
{
    m_strPrevName = m_strFlowchart;
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_DROPLIST, FlowchartNames(GetCircuit()), IDC_PANEL_FLOWCHART, 120));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_STATIC, LoadResString(IDS_PANEL_OUTPUT), IDC_PANEL_LABEL, 40));
    CControlItem add(CI_TOOLBUTTON, CString(), IDC_ADD_WRITEBOX, -1);
    add.SetFlag1(true);
    items.Add(add);
    return 0;
}

int CWriteBox::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(IDC_PANEL_FLOWCHART, m_strFlowchart, -1);
    return 1;
}

int CWriteBox::GetPropertyBitmap(int id) { return id == IDC_ADD_WRITEBOX ? kWriteBoxBitmap : 0; }

int CWriteBox::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.assign({IDC_ADD_WRITEBOX});
    if (bitmap && !AttachPicture(bitmap, kWriteBoxBitmap)) return -1;
    return 1;
}

int CWriteBox::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == IDC_PANEL_FLOWCHART) return TakeFlowchartName(commandId, text);
    return CFlowViewer::OnPropertyCommand(commandId, text);
}
