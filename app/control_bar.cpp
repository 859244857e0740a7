#include "app/control_bar.h"

#include "model/circuit/circuit.h"
#include "model/circuit/design_document.h"
#include "model/display/bitmap256.h"
#include "model/parts/part.h"
#include "model/text/number.h"
#include "platform/strings.h"

#include <algorithm>

namespace {
constexpr int kDeleteCommand = 35007;
constexpr int kBackCommand = 36076;
constexpr int kFirstOrientCommand = 36043;
constexpr int kLastOrientCommand = 36050;
constexpr int kEditBoxCommand = 36089;
constexpr int kValueNumberCommand = 36053;
constexpr int kValuePrefixCommand = 36055;
constexpr int kValueUnitCommand = 36057;
constexpr UINT kStrValueKept = 62210;
constexpr UINT kStrValueLimited = 62211;
// The orientation buttons' own pictures, frame k for orientation code k.
constexpr int kOrientationPictures = 458;

QImage Cell(const QImage& strip, int cell)
{
    if (cell < 0 || (cell + 1) * 32 > strip.width()) return {};
    return strip.copy(cell * 32, 0, 32, std::min(32, strip.height()));
}
} // namespace

void CPropertyBarHost::ReorientPart(CPart* part)
{
    part->ApplySettingsText();
    if (CCircuit* d = GetDesign()) d->OnDesignChanged();
}

void CPropertyBarHost::RedrawPart(CPart*) {}

namespace {
bool Holds(CPart* root, CPart* part)
{
    for (CPart* c = root->GetFirstChild(); c; c = c->GetNextSibling())
        if (c == part || Holds(c, part)) return true;
    return false;
}
} // namespace

CPart* CControlBar::Part() const
{
    if (!m_part) return nullptr;
    CCircuit* design = m_host.GetDesign();
    if (!design) return nullptr;
    if (m_part == m_outside) return m_part;
    if (Holds(design, m_part)) return m_part;
    if (CCircuit* floating = design->GetLinkedDesign(); floating && Holds(floating, m_part)) return m_part;
    return nullptr;
}

int SpinAcceleration(uint32_t heldMs)
{
    if (heldMs <= 2000) return 1;
    if (heldMs <= 5000) return 2;
    if (heldMs <= 8000) return 3;
    if (heldMs <= 12000) return 4;
    return 5;
}

void CControlBar::ShowOutsidePart(CPart* part)
{
    ShowPart(part);
    m_outside = part;
}

void CControlBar::ShowPart(CPart* part)
{
    m_outside = nullptr;
    // A change made through the toolbar becomes one modification before
    // the toolbar turns to another part.
    if (CCircuit* d = m_host.GetDesign(); d && d->GetPendingRefresh() && part != m_part) d->OnDesignChanged();
    m_part = part;
    m_items = CControlItemList();
    if (!part) return;
    // The shared orientation pictures lie across at code 0 unless the part
    // stands upright in that orientation (taller than wide at an even code,
    // wider than tall at an odd one).
    const CRect r = part->GetRect();
    const bool odd = IsOddOrientation(part->GetOrientation());
    m_uprightAtZero = odd ? r.Width() > r.Height() : r.Height() > r.Width();
    CControlItemList filled;
    part->FillProperties(filled);
    // The part's bitmap buttons: an id the list already holds only gets its
    // picture; the others become toolbar buttons (a gap for id 0), after a
    // gap when the list holds items and the first button is not among them.
    m_strip.DeleteObject();
    m_cells.clear();
    std::vector<int> ids;
    // Without a picture strip the buttons still come, drawn with text.
    int buttons = part->GetPropertyBitmap(ids, &m_strip);
    if (buttons < 0) {
        m_strip.DeleteObject();
        buttons = part->GetPropertyBitmap(ids, nullptr);
    }
    if (buttons > 0) {
        if (filled.GetCount() > 0 && !ids.empty() && filled.FindById(ids[0]) < 0)
            filled.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
        for (size_t k = 0; k < ids.size(); ++k) {
            const int id = ids[k];
            if (id == 0) {
                filled.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
                continue;
            }
            m_cells[id] = static_cast<int>(k);
            if (filled.FindById(id) >= 0) continue;
            CControlItem button(CI_TOOLBUTTON, CString(), id, DefaultItemWidth(CI_TOOLBUTTON) + 6);
            button.SetFlag1(m_addMode);
            filled.Add(button);
        }
    }
    // The leading delete button and its gap come first; the list keeps its
    // 30 records, so the part's last items give way rather than overflow.
    if (m_leadingDelete && !m_host.SuppressDelete()) {
        m_items.Add(CControlItem(CI_TOOLBUTTON, CString(), kDeleteCommand, -1));
        m_items.Add(CControlItem(CI_SEPARATOR, CString(), 0, -1));
    }
    for (int i = 0; i < filled.GetCount(); ++i) m_items.Add(filled[i]);
    m_items.m_nOption1 = filled.m_nOption1;
    m_items.m_nOption2 = filled.m_nOption2;
    m_items.m_nOption3 = filled.m_nOption3;
    CControlItem back(CI_TOOLBUTTON, CString(), kBackCommand, -1);
    back.SetFlags(CIO_LOCK_DISABLED, false);
    m_items.Add(back);
}

QImage CControlBar::ButtonPicture(int id) const
{
    auto it = m_cells.find(id);
    if (it != m_cells.end() && !m_strip.IsNull())
        if (QImage cell = Cell(m_strip.Image(), it->second); !cell.isNull()) return cell;
    // A part without turned pictures of its own: the orientation buttons
    // show the shared outline in that orientation.
    if (id >= kFirstOrientCommand && id <= kLastOrientCommand) {
        if (m_orientations.IsNull()) m_orientations.LoadBitmap256(kOrientationPictures);
        return Cell(m_orientations.Image(), id - kFirstOrientCommand + (m_uprightAtZero ? 8 : 0));
    }
    // The buttons the toolbar adds itself: delete and back.
    static const struct {
        int command, picture;
    } kOwnButtons[] = {{kDeleteCommand, 457}, {kBackCommand, 418}};
    for (const auto& b : kOwnButtons)
        if (b.command == id) {
            CBitmap256& icon = m_icons[id];
            if (icon.IsNull()) icon.LoadBitmap256(b.picture);
            return Cell(icon.Image(), 0);
        }
    return {};
}

std::vector<std::optional<CString>> CControlBar::ReadTexts(bool liveOnly) const
{
    std::vector<std::optional<CString>> texts(static_cast<size_t>(m_items.GetCount()));
    CPart* part = Part();
    if (!part) return texts;
    // The part writes its texts into the labels of a blank copy of the list.
    CControlItemList copy = m_items;
    for (int i = 0; i < copy.GetCount(); ++i) copy[i].label.clear();
    part->GetPropertyTexts(copy);
    for (int i = 0; i < copy.GetCount(); ++i) {
        const CString& t = copy[i].label;
        if (t.empty()) continue;
        if (liveOnly && !(m_items[i].options & CIO_LIVE)) continue;
        texts[static_cast<size_t>(i)] = t == " " ? CString() : t;
    }
    return texts;
}

bool CControlBar::IsItemEnabled(int index) const
{
    CPart* part = Part();
    if (!part || index < 0 || index >= m_items.GetCount()) return false;
    const CControlItem& item = m_items[index];
    if (item.options & CIO_DISABLED) return false;
    CCircuit* design = m_host.GetDesign();
    const bool locked = design && design->IsLocked();
    if (!locked) return true;
    if (item.options & CIO_LOCK_DISABLED) return false;
    if (item.options & CIO_EDIT_LOCKED) return part->CanMoveWhenLocked(design);
    return part->CanSelectWhenLocked(design);
}

int CControlBar::Command(int id, const CString& text)
{
    CPart* part = Part();
    if (!part) return 0;
    const int index = m_items.FindById(id);
    const bool orientation = id >= kFirstOrientCommand && id <= kLastOrientCommand;
    if (index < 0 && !orientation) return 0;
    if (index >= 0 && (m_items[index].options & CIO_ADDS_PART)) {
        m_host.AddPart(id);
        return PR_REDROP;
    }
    CCircuit* design = m_host.GetDesign();
    if (design && design->HasBlownPart()) return 0;
    if (index >= 0 && !IsItemEnabled(index)) return 0;
    int enabled = 1;
    part->IsPropertyChecked(id, enabled);
    if (!enabled) return 0;
    return Dispatch(part, id, text);
}

int CControlBar::ConfirmText(int id, const CString& text, CString* message)
{
    if (message) message->clear();
    const int result = Command(id, text);
    if (!message || !(result & (PR_REFUSED | PR_CLAMPED))) return result;
    const std::vector<std::optional<CString>> texts = ReadTexts(false);
    auto textOf = [&](int item) {
        const int index = m_items.FindById(item);
        return index >= 0 && index < static_cast<int>(texts.size()) && texts[static_cast<size_t>(index)]
                   ? *texts[static_cast<size_t>(index)]
                   : CString();
    };
    CString held = textOf(id);
    // A component's value box reads with its prefix and unit: "4.7kΩ".
    if (id == kValueNumberCommand) held += textOf(kValuePrefixCommand) + textOf(kValueUnitCommand);
    CString s = LoadResString(HoldsNumber(text.c_str()) ? kStrValueLimited : kStrValueKept);
    const size_t at = s.find("%s");
    if (at != CString::npos) s.replace(at, 2, held);
    *message = s;
    return result;
}

int CControlBar::EditBoxCommand(const CString& text)
{
    CPart* part = Part();
    if (!part) return 0;
    if (CCircuit* design = m_host.GetDesign(); design && design->HasBlownPart()) return 0;
    return Dispatch(part, kEditBoxCommand, text);
}

int CControlBar::Dispatch(CPart* part, int id, const CString& text)
{
    CCircuit* design = m_host.GetDesign();
    CControlItemList texts = m_items;
    part->GetPropertyTexts(texts);
    const int result = part->OnPropertyCommand(id, text);
    if (result & PR_REDROP) {
        m_host.ReorientPart(part);
    } else if (result & (PR_CHANGED | PR_CLAMPED | PR_NO_REDRAW_CHANGE)) {
        if (design) {
            design->SetPendingRefresh(1);
            if (design->m_pDocument) design->m_pDocument->SetModifiedFlag(true);
            if (!(result & PR_NO_REDRAW_CHANGE)) {
                if (!(result & PR_NO_ERASE)) m_host.RedrawPart(part);
                design->ControlSimulation(SIM_SENSOR_CHANGED);
            }
        }
    }
    if (result & PR_REBUILD) m_host.RebuildBars();
    if (result & PR_REFRESH) m_host.RefreshValues();
    return result;
}

bool CControlBar::IsDeleteOrBack(int id) { return id == kDeleteCommand || id == kBackCommand; }

bool CControlBar::IsRoutedCommand(int id) { return IsDeleteOrBack(id) || !CPropertyCommands::IsPropertyId(id); }

bool CControlBar::UpdateCommand(CCmdUI& ui) const
{
    const int index = m_items.FindById(ui.id);
    if (index < 0) return false;
    CPart* part = Part();
    if (!part) return false;
    int enabled = 1;
    const int checked = part->IsPropertyChecked(ui.id, enabled);
    CCircuit* design = m_host.GetDesign();
    ui.Enable(enabled && IsItemEnabled(index) && !(design && design->HasBlownPart()));
    const int type = m_items[index].type;
    if (type == CI_TOOLBUTTON || type == CI_TOOLBUTTON_LOCKED) ui.SetCheck(checked != 0);
    return true;
}

bool CControlBar::OnItemFocus(int id, bool gained)
{
    CCircuit* design = m_host.GetDesign();
    if (!Part() || !design) return false;
    if (gained) {
        const int index = m_items.FindById(id);
        if (index >= 0 && (m_items[index].options & CIO_LIVE)) design->SetPaused(1);
        return false;
    }
    return !design->IsPaused();
}

bool CPropertyCommands::IsPropertyId(int id)
{
    return (id >= 36043 && id <= 36050) || (id >= 36052 && id <= 36098) || (id >= 36100 && id <= 36500);
}

bool CPropertyCommands::OnCommand(int id)
{
    if (!IsPropertyId(id) || !m_bar.Part()) return false;
    if (m_bar.Items().FindById(id) < 0 && !(id >= 36043 && id <= 36050)) return false;
    m_bar.Command(id, CString());
    return true;
}

bool CPropertyCommands::OnUpdateCommand(CCmdUI& ui)
{
    if (!IsPropertyId(ui.id)) return false;
    return m_bar.UpdateCommand(ui);
}
