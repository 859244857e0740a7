// The chip on the canvas and in the property toolbar: the drawn box with
// its pin lines, the picture set of a chip of the old layout, the info
// text, and the toolbar's items and commands.
#include "flowchart/chip.h"
#include "flowchart/chip_options.h"

#include "flowchart/flow_object.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/bitmap256.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"

#include <memory>

namespace {
// Toolbar ids.
constexpr int kItemRunning = 36052;
constexpr int kItemFlowchart = 36096;
constexpr int kItemClassLabel = 36058;
constexpr int kItemClass = 36059;
constexpr int kItemSerial = 36114;
constexpr int kItemAdvanced = 36074;
constexpr int kItemAsDrawn = 36043;
constexpr int kItemPinName = 36089;
// The strip of the three buttons (serial, advanced, as drawn).
constexpr int kButtonStrip = 577;
constexpr int kButtonIds[] = {kItemSerial, kItemAdvanced, kItemAsDrawn};
// The picture of a chip of the old layout: the 64 x 144 box with 8 pins.
constexpr int kOldPicture = 4247;

// Results of a property command: handled, and the toolbar rebuilt with
// the part laid out again (structure changes) or its texts refreshed.
constexpr int kHandled = 1;
constexpr int kRelayout = 24;
constexpr int kRefresh = 64;

// Pin lines run 8 units from the body to the pin.
constexpr int kPinLine = 8;
constexpr int kResetRing = 3;
} // namespace

CVisual* OldChipVisual()
{
    static const std::unique_ptr<CVisual> visual = [] {
        auto v = std::make_unique<CVisual>(0, 0, kOldPicture, 1, 0, 0, 64, 144);
        v->SetOrientationMask(1);
        return v;
    }();
    return visual.get();
}

// ---- drawing ----

int CChip::Draw(DWORD flags)
{
    if (!m_bNewLayout) return CComponent::Draw(flags);
    const bool broken = IsBroken() != 0;
    const COLORREF ink = broken ? ColourRGB(0xFF, 0xFF, 0xFF) : ColourRGB(0, 0, 0);
    const COLORREF mark = broken ? ColourRGB(0xC0, 0xC0, 0xC0) : ColourRGB(0, 0xFF, 0);
    const int left = m_rect.left, right = m_rect.left + 64;
    // The body between the pin lines, with a notch at the top as a chip
    // outline is drawn in a textbook.
    const CPoint a(left + kPinLine, m_rect.top + 4), b(right - kPinLine, m_rect.bottom - 4);
    CDisplay::DrawRect(a, b, ink);
    const int mid = (a.x + b.x) / 2;
    CDisplay::DrawLine(mid - 6, a.y, mid - 6, a.y + 4, ink, PS_SOLID, 1);
    CDisplay::DrawLine(mid - 6, a.y + 4, mid + 6, a.y + 4, ink, PS_SOLID, 1);
    CDisplay::DrawLine(mid + 6, a.y + 4, mid + 6, a.y - 1, ink, PS_SOLID, 1);
    for (int port = 0; port < GetPortCount(); ++port) {
        const CTerminal* t = GetPortTerminal(port);
        if (!t) continue;
        const CPoint pin = t->GetPinPoint();
        const bool onLeft = pin.x <= left;
        const int body = onLeft ? a.x : b.x;
        if (m_ports[port]->m_nKind == CHIP_PIN_RESET) {
            // An active-low input: a small ring at the body.
            const int cx = body - kResetRing - 1;
            CDisplay::DrawLine(pin.x, pin.y, cx - kResetRing, pin.y, ink, PS_SOLID, 1);
            CDisplay::DrawCircle(CPoint(cx, pin.y), kResetRing * kResetRing / 2 + 1, 0, 1, ink);
            continue;
        }
        CDisplay::DrawLine(pin.x, pin.y, body, pin.y, ink, PS_SOLID, 1);
        // Serial pins carry a short mark of the second colour.
        if (m_ports[port]->m_nKind == CHIP_PIN_SEND || m_ports[port]->m_nKind == CHIP_PIN_RECEIVE)
            CDisplay::DrawLine(onLeft ? body + 2 : body - 6, pin.y, onLeft ? body + 6 : body - 2, pin.y, mark,
                               PS_SOLID, 1);
    }
    return CPartCircuit::Draw(flags);
}

// ---- info ----

int CChip::HasInfo(int, int) { return m_strFlowchartName != " " ? 1 : 0; }

int CChip::BuildInfo(CString& text, UINT, CPoint)
{
    text = m_strCaption;
    return 1;
}

// ---- the property toolbar ----

int CChip::FillProperties(CControlItemList& items)
{
    items.AddStandardItems(4);
    items.Add(CControlItem(CI_STATIC, CString("Running "), kItemRunning, 40));
    items.Add(CControlItem(CI_DROPLIST, GetFreeFlowchartNames(), kItemFlowchart, 120));
    items.Add(CControlItem(CI_STATIC, CString("    Microcontroller Class: "), kItemClassLabel, 120));
    items.Add(CControlItem(CI_DROPLIST, CString("STAMP\n18 pin PIC\n28 pin PIC\nGeneric"), kItemClass, 100));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    items.Add(CControlItem(CI_TOOLBUTTON, kItemSerial, kItemSerial, -1));
    items.Add(CControlItem(CI_TOOLBUTTON_LOCKED, kItemAdvanced, kItemAdvanced, -1));
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), kItemAsDrawn, -1, CIO_ADDS_PART));
    return 0;
}

int CChip::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(kItemFlowchart, m_strFlowchartName, -1);
    items.SetItemText(kItemClass, GetClassName(), -1);
    return 2;
}

int CChip::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.assign(std::begin(kButtonIds), std::end(kButtonIds));
    if (bitmap && !AttachPicture(bitmap, kButtonStrip)) return -1;
    return static_cast<int>(ids.size());
}

int CChip::IsPropertyChecked(int commandId, int& flag)
{
    if (commandId == kItemSerial) {
        flag = 1;
        return m_bSerial;
    }
    return CComponent::IsPropertyChecked(commandId, flag);
}

int CChip::OnPropertyCommand(int commandId, const CString& text)
{
    int code = 0;
    switch (commandId) {
    case kItemFlowchart:
        m_strFlowchartName = text;
        code = 1;
        break;
    case kItemClass:
        m_strClassName = text;
        code = 2;
        break;
    case kItemSerial:
        m_bSerial = m_bSerial ? 0 : 1;
        code = 3;
        break;
    case kItemPinName:
        m_strPinNameText = text.empty() ? CString(" ") : text;
        code = 7;
        break;
    case kItemAdvanced: {
        CChipDialogHost* host = CChipDialogHost::Current();
        CAdvancedChipForm form(*this);
        if (!host || !host->Edit(form)) return 0;
        form.ApplyTo(*this);
        code = 4;
        break;
    }
    default: return CComponent::OnPropertyCommand(commandId, text);
    }
    UpdateDisplay(code);
    int result = kRefresh + kHandled;
    if (code == 2 || code == 3 || (code == 4 && m_bClassChanged)) {
        if (CCircuit* d = GetDesign()) d->SetPendingRefresh(0);
        result = kRelayout + kHandled;
    }
    if (const CCircuit* d = GetDesign())
        if (auto* start = dynamic_cast<CFlowObject*>(d->FindFlowStart(m_strFlowchartName)))
            start->RefreshBasicViewers();
    return result;
}
