// How a probe draws: its picture while it stands alone or on a wire, an
// outline in its channel's colour round the part it measures otherwise.
#include "measure/probe.h"

#include "model/circuit/circuit.h"
#include "model/display/bitmap256.h"
#include "model/display/display.h"
#include "model/display/gdi.h"
#include "model/display/visual.h"
#include "model/parts/controlitem.h"

#include <algorithm>

namespace {

constexpr DWORD kShowProbes = 0x2;
constexpr DWORD kFrameEveryPart = 0x200;
constexpr int kOutline = 2;

CVisual& ProbePicture()
{
    static CVisual picture(0, 0, 134, 8, 0, 0, CProbe::kPictureSize, CProbe::kPictureSize);
    return picture;
}

struct COutlineColour {
    COLORREF base;
    bool hatched;
};

COutlineColour OutlineColour(int channel, bool colourDisplay)
{
    static const COutlineColour colour[4] = {
        {ColourRGB(255, 0, 0), false}, {ColourRGB(0, 0, 255), false}, {ColourRGB(255, 0, 255), false}, {ColourRGB(0, 128, 0), false}};
    static const COutlineColour mono[4] = {
        {ColourRGB(0, 0, 0), false}, {ColourRGB(0, 0, 0), true}, {ColourRGB(128, 128, 128), false}, {ColourRGB(128, 128, 128), true}};
    if (channel < 0 || channel >= 4) return {ColourRGB(255, 255, 255), false};
    return colourDisplay ? colour[channel] : mono[channel];
}

void FillBand(const CRect& band, const COutlineColour& c)
{
    if (band.IsRectEmpty()) return;
    CDisplay::FillRectColour(band, c.base);
    if (!c.hatched) return;
    CBrush hatch(HS_FDIAGONAL, ColourRGB(255, 255, 255));
    CDisplay::FillRectBrush(band, &hatch);
}

bool IsPlainSize(const CRect& r) { return r.Width() == CProbe::kPictureSize && r.Height() == CProbe::kPictureSize; }

} // namespace

int CProbe::Draw(DWORD flags)
{
    if (!CDisplay::GetCurrentDC()) return 0;
    const bool plain = IsPlainSize(m_rect);
    if (flags & kShowProbes) {
        if (plain) {
            // A probe without a channel of its own draws as channel 0.
            const int frame = (m_wChannel < 4 ? m_wChannel : 0) + (CDisplay::IsColour() ? 0 : 4);
            ProbePicture().DrawWhole(m_rect.left, m_rect.top, frame, 0, 0);
        } else if (!m_bDetached && !m_bMechanism) {
            DrawTrace(false);
        }
        if ((flags & kFrameEveryPart) && !plain) CPart::Draw(flags);
    }
    // On a part the outline shows the probe: the selection frame is drawn
    // only while it is dragged, or on a wire.
    if (m_bSelected && (!IsDragIdle() || !m_pPart || m_pPart->IsWire())) return CPart::Draw(flags);
    return 1;
}

int CProbe::PtInPart(CPoint point)
{
    if (!m_rect.PtInRect(point)) return 0;
    if (IsPlainSize(m_rect)) return 1;
    // A narrow part (a resistor standing upright is 8 pixels wide) keeps
    // at least half of its width for itself.
    CRect inside = m_rect;
    inside.DeflateRect(std::min(kBandHit, m_rect.Width() / 4), std::min(kBandHit, m_rect.Height() / 4));
    return inside.IsRectEmpty() || !inside.PtInRect(point) ? 1 : 0;
}

void CProbe::DrawTrace(bool erase)
{
    if (!m_pDesign || !(m_pDesign->GetOptions() & kShowProbes)) return;
    if (!m_pPart || m_pPart->IsWire()) return;
    const COutlineColour c = erase ? COutlineColour{ColourRGB(255, 255, 255), false}
                                   : OutlineColour(m_wChannel, CDisplay::IsColour());
    const CRect& r = m_rect;
    FillBand(CRect(r.left, r.top, r.right, r.top + kOutline), c);
    FillBand(CRect(r.left, r.bottom - kOutline, r.right, r.bottom), c);
    FillBand(CRect(r.left, r.top + kOutline, r.left + kOutline, r.bottom - kOutline), c);
    FillBand(CRect(r.right - kOutline, r.top + kOutline, r.right, r.bottom - kOutline), c);
}

// ---- property toolbar ----

namespace {

constexpr int kButtonStrip = 354;
constexpr int kGraphCommand = 35004;
constexpr int kEraseCommand = 35006;
constexpr int kButtonIds[] = {kGraphCommand, kEraseCommand, kFirstOrientCmd};

} // namespace

int CProbe::FillProperties(CControlItemList& items)
{
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), kGraphCommand, DefaultItemWidth(CI_TOOLBUTTON)));
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), kEraseCommand, DefaultItemWidth(CI_TOOLBUTTON)));
    items.Add(CControlItem(CI_SEPARATOR, CString(), 0, DefaultItemWidth(CI_SEPARATOR)));
    // The one orientation shows as a checked button (IsPropertyChecked).
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), kFirstOrientCmd, DefaultItemWidth(CI_TOOLBUTTON)));
    return 0;
}

int CProbe::GetPropertyBitmap(int id)
{
    for (int known : kButtonIds)
        if (known == id) return kButtonStrip;
    return 0;
}

int CProbe::GetPropertyBitmap(std::vector<int>& ids, CBitmap* bitmap)
{
    ids.assign(std::begin(kButtonIds), std::end(kButtonIds));
    if (bitmap && !AttachPicture(bitmap, kButtonStrip)) return -1;
    return static_cast<int>(ids.size());
}

int CProbe::IsPropertyChecked(int commandId, int& flag)
{
    flag = 1;
    return commandId == kFirstOrientCmd ? 1 : 0;
}
