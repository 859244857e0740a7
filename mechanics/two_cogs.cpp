#include "mechanics/two_cogs.h"

#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"
#include "platform/archive.h"
#include "platform/numtext.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

WB_IMPLEMENT_SERIAL(CTwoCogs, "CMechComp", 4)

namespace {

// Property items: the two tooth-count lists, the colon between them, the
// caption after them.
constexpr int kTeeth1Item = 36053;
constexpr int kColonItem = 36057;
constexpr int kTeeth2Item = 36059;
constexpr int kCaptionItem = 36063;
constexpr unsigned IDS_TEETH = 36577;
constexpr int kRedrop = 8;

// A left wheel smaller than its partner: where its edge line starts, so the
// line clears the bigger wheel's rim instead of crossing it.
int PairRimOffset(int left, int right)
{
    struct Row {
        int left, right, offset;
    };
    static constexpr Row kRows[] = {{8, 16, 33}, {8, 24, 51}, {8, 40, 83}, {16, 40, 76}};
    for (const Row& r : kRows)
        if (r.left == left && r.right == right) return r.offset;
    return 0;
}

} // namespace

int CTwoCogs::Initialise()
{
    CMechComp::Initialise();
    return Build(8, 8);
}

double CTwoCogs::Ratio() const { return -static_cast<double>(m_cog2.GetTeeth()) / m_cog1.GetTeeth(); }

void CTwoCogs::DrawWheels(CPoint corner, DWORD flags)
{
    m_cog1.Draw(corner, 1, flags);
    m_cog2.Draw(corner, 1, flags);
}

int CTwoCogs::Build(int teeth1, int teeth2)
{
    // A count that is no wheel's leaves that wheel as it was (laid out anew).
    if (!m_cog1.SetTeeth(teeth1 ? teeth1 : 8)) m_cog1.SetTeeth(m_cog1.GetTeeth());
    if (!m_cog2.SetTeeth(teeth2 ? teeth2 : 8)) m_cog2.SetTeeth(m_cog2.GetTeeth());
    const int r1 = m_cog1.GetPitchRadius(), r2 = m_cog2.GetPitchRadius();
    const int height = 2 * std::max(r1, r2) + 7;
    const CRect local(0, 0, 2 * r1 + 2 * r2 + 7, height);
    // The pitch circles touch; the smaller wheel sits lower so that both
    // centres lie on one line.
    m_cog1.Place(0, r1 < r2 ? r2 - r1 : 0, local);
    m_cog2.Place(2 * r1, r2 < r1 ? r1 - r2 : 0, local);
    const CPoint corner = m_rect.TopLeft();
    m_rect.SetRect(corner.x, corner.y, corner.x + local.Width(), corner.y + height);

    // Wires joined to the old shafts forget them before they go; the
    // rebuilt shafts join what touches their ends when the part is dropped.
    if (CCircuit* d = GetDesign())
        for (CTerminal* t : m_terminals) d->UnlinkEverywhere(t);
    DetachTerminals();
    AddShafts(corner);

    m_inertia1.SetMass(InertiaOf(m_cog1.GetTeeth()));
    m_inertia2.SetMass(InertiaOf(m_cog2.GetTeeth()));
    m_cog1.SetFixedRimOffset(PairRimOffset(m_cog1.GetTeeth(), m_cog2.GetTeeth()));
    m_cog2.SetFixedRimOffset(0);
    m_cog1.SetRestAngle(0.0);
    // Half a tooth on, the right wheel's teeth fall between the left one's.
    m_cog2.SetRestAngle(m_cog2.GetToothAngle() / 2.0);
    AddHandles();
    return 1;
}

void CTwoCogs::Serialize(CArchive& ar)
{
    CTwoWheels::Serialize(ar);
    if (ar.IsStoring()) return;
    // The inertias follow from the wheels, whatever the record said: a
    // massless wheel would leave its node floating.
    m_inertia1.SetMass(InertiaOf(m_cog1.GetTeeth()));
    m_inertia2.SetMass(InertiaOf(m_cog2.GetTeeth()));
    if (ar.GetVersion() <= 3) ReplaceOldHandles(ar);
}

int CTwoCogs::ApplySettingsText(const CString& text, int flag)
{
    int a = 0, b = 0;
    char tail = 0;
    if (text.IsEmpty() || !std::isdigit(static_cast<unsigned char>(text[0])) ||
        std::sscanf(text.c_str(), "%d:%d%c", &a, &b, &tail) != 2)
        return CMechComp::ApplySettingsText(text, flag);
    const CRect old = m_rect;
    const int oldRight = m_cog2.GetTeeth();
    ResetSimulation();
    const int r = Build(a, b);
    // The wheel that kept its count keeps its place.
    if (b == oldRight)
        Offset(old.right - m_rect.right, old.top - m_rect.top);
    else
        Offset(old.left - m_rect.left, old.top - m_rect.top);
    // The new shafts join the wires that end where they end (those of the
    // wheel that kept its place).
    if (m_pFiledIn)
        for (CTerminal* t : m_terminals) m_pFiledIn->JoinAt(t, t->GetOuterEndIndex());
    return r;
}

int CTwoCogs::FillProperties(CControlItemList& items)
{
    const CString counts("8\n16\n24\n40");
    items.Add(CControlItem(CI_DROPLIST, counts, kTeeth1Item, -1));
    items.Add(CControlItem(CI_STATIC, CString("  : "), kColonItem, 28));
    items.Add(CControlItem(CI_DROPLIST, counts, kTeeth2Item, -1));
    items.Add(CControlItem(CI_STATIC, IDS_TEETH, kCaptionItem, -1));
    return 0;
}

int CTwoCogs::GetPropertyTexts(CControlItemList& items)
{
    const int n = CMechComp::GetPropertyTexts(items);
    items.SetItemText(kTeeth1Item, FormatInt(m_cog1.GetTeeth()), -1);
    items.SetItemText(kTeeth2Item, FormatInt(m_cog2.GetTeeth()), -1);
    return n + 2;
}

int CTwoCogs::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId == kTeeth1Item || commandId == kTeeth2Item) {
        const int n = std::atoi(text.c_str());
        const bool left = commandId == kTeeth1Item;
        if (n == (left ? m_cog1.GetTeeth() : m_cog2.GetTeeth())) return 0;
        m_strSettingsText = FormatInt(left ? n : m_cog1.GetTeeth());
        m_strSettingsText += ":";
        m_strSettingsText += FormatInt(left ? m_cog2.GetTeeth() : n);
        return kRedrop;
    }
    const int r = CMechComp::OnPropertyCommand(commandId, text);
    return r == kRedrop ? 0 : r;
}
