// Editing operations of the component base: the drop test and the drop,
// the information text, the settings text and the property toolbar's
// operations (value, unit and orientation).
#include "model/components/component.h"

#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"
#include "model/text/value.h"
#include "platform/numtext.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

#include <cstdio>
#include <cstring>

namespace {

// Property item ids of the value label.
enum : int {
    IDC_VALUE_NUMBER = 36053,
    IDC_VALUE_UNIT = 36055,
    IDC_VALUE_UNIT_PICTURE = 36057,
    IDC_VALUE_MODE = 36089,
    IDC_VALUE_EXTRA = 36074,
};

// A settings text's orientation code ("Orient:%d"), or -1.
int ParseOrientation(const CString& text)
{
    const char* s = text;
    const char* at = std::strstr(s, "Orient:");
    int code = -1;
    if (!at || std::sscanf(at + 7, "%d", &code) != 1) return -1;
    return code >= 0 && code <= 7 ? code : -1;
}

} // namespace

int CComponent::CanDrop(CPartTree* design)
{
    if (!design) return 0;
    // The part with its terminals and labels stays on the page.
    CRect whole = GetUnionRect();
    CRect page = design->GetPageRect();
    CRect inter;
    inter.IntersectRect(whole, page);
    if (!(inter == whole)) return 0;
    if (GetHitClass() & 0x10) return 1;
    // Collision: the body of another part (not a wire) meets this body.
    // Terminals and wires may touch and cross, so parts can be joined.
    if (m_rect.IsRectEmpty()) return 1;
    CPartIterator it(design, 1);
    for (CPart* p = it.GetCurrent(); p; it.Next(), p = it.GetCurrent()) {
        if (p == this || p->IsWire() || p->GetRect().IsRectEmpty()) continue;
        if (inter.IntersectRect(p->GetRect(), m_rect)) return 0;
    }
    return 1;
}

void CComponent::Drop(CPartTree* design)
{
    m_bChanged = 0;
    if (!design) return;
    design->AddChild(this);
    for (CTerminal* t : m_terminals) t->Drop(design);
    FinishDrop(design);
}

int CComponent::HasInfo(int, int)
{
    if (IsBroken()) return 0;
    return m_bInfo || !m_terminals.empty();
}

int CComponent::BuildInfo(CString& text, UINT messageId, CPoint point)
{
    // Two-terminal parts: the current through them ("A"), and in mode 1 the
    // power ("W"); then the first terminal adds the net's own text.
    text.Empty();
    if (m_terminals.size() == 2) {
        text += FormatValueWithPrefix(m_terminals[0]->GetCurrent(), true, true, true, false, false);
        text += "A";
        if (messageId == 1) {
            text += ",";
            text += FormatValueWithPrefix(m_dPower, true, true, true, false, false);
            text += "W";
        }
    }
    CTerminal* first = GetFirstTerminal();
    if (!first) return 0;
    CString own;
    int code = first->BuildInfo(own, messageId, point);
    if (!text.IsEmpty() && !own.IsEmpty()) text += " ";
    text += own;
    return code;
}

int CComponent::ApplySettingsText() { return ApplySettingsText(m_strSettingsText, 1); }

int CComponent::ApplySettingsText(const CString& text, int flag)
{
    int code = ParseOrientation(text);
    if (code < 0) return 1;
    if (!IsOrientationAllowed(code)) return 6;
    // Flag 0: the part turns out of the way of its old place, so that the
    // drop test that follows does not meet the part itself.
    if (!flag) Offset(1000, 1000);
    int r = SetOrientation(code, m_nOrientation, 0, nullptr);
    if (!flag) Offset(-1000, -1000);
    return r;
}

int CComponent::FillProperties(CControlItemList& items)
{
    CPart* label = GetValueLabel();
    auto* value = dynamic_cast<CValue*>(label);
    if (!value) {
        items.AddStandardItems(4);
        return 0;
    }
    CString unit;
    value->GetUnitText(&unit);
    if (unit.IsEmpty() || unit == "Ohms") {
        items.AddStandardItems(2);
        items.SetItemText(IDC_VALUE_UNIT_PICTURE, "Ohms", -1);
    } else if (unit == "hFE") {
        items.AddStandardItems(2);
        items.SetItemText(IDC_VALUE_UNIT_PICTURE, "hFE", -1);
    } else {
        items.AddStandardItems(0);
        items.SetItemText(IDC_VALUE_UNIT_PICTURE, unit, unit.GetLength() >= 4 ? 8 * unit.GetLength() + 4 : -1);
    }
    return 0;
}

int CComponent::GetPropertyTexts(CControlItemList& items)
{
    auto* value = dynamic_cast<CValue*>(GetValueLabel());
    if (!value) return 0;
    // Item 36055 is the one-letter prefix field (its edit box takes one
    // character and its spinner steps the prefix), so it shows the prefix
    // letter: a resistor of 10k reads "10" and "k".  The unit itself is the
    // caption the item list was filled with.  A blank prefix is " ".
    CString prefix = value->GetPrefixText();
    if (prefix.IsEmpty()) prefix = " ";
    items.SetItemText(IDC_VALUE_NUMBER, value->GetNumberText(), -1);
    items.SetItemText(IDC_VALUE_UNIT, prefix, -1);
    return 2;
}

int CComponent::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.clear();
    if (!m_pVisual) return 0;
    int r = m_pVisual->GetOrientationImages(ids, bitmap);
    return r < 0 ? r : static_cast<int>(ids.size());
}

int CComponent::IsPropertyChecked(int commandId, int& flag)
{
    flag = 1;
    return commandId == kFirstOrientCmd + m_nOrientation ? 1 : 0;
}

int CComponent::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId >= kFirstOrientCmd && commandId <= kFirstOrientCmd + 7) {
        m_strSettingsText = "Orient:";
        m_strSettingsText += FormatInt(commandId - kFirstOrientCmd);
        return 8;
    }
    CPart* label = GetValueLabel();
    if (!label) return 0;
    if (commandId == IDC_VALUE_MODE) return label->OnPropertyCommand(commandId, text) | 0xC0;
    if ((commandId >= IDC_VALUE_NUMBER && commandId <= IDC_VALUE_NUMBER + 3) || commandId == IDC_VALUE_EXTRA)
        return label->OnPropertyCommand(commandId, text);
    return 0;
}
