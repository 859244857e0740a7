// The capacitor's charge display: coloured marks beside its plates that grow
// with the stored charge, red on the side of the positive plate and blue on
// the other (the marks of frames 1 and 2 of the capacitor picture).
//
// Geometry in the upright picture (24 x 24, plates across rows 10-14): bar 0
// is rows 8 and 16, bar 1 rows 6 and 18; a bar of length L covers the
// columns 12 - L/2 .. 12 + L/2, kept inside the frame's outer ring.  Turned
// parts turn the strips with the picture.
#include "components/capacitor.h"

#include "model/circuit/circuit.h"
#include "model/display/colour.h"
#include "model/display/display.h"
#include "model/display/visual.h"

#include <algorithm>
#include <cmath>

namespace {

// Charge of one bar level (coulombs).
constexpr double kChargePerLevel = 0.000099;
constexpr int kLevels = 12;
constexpr int kFrame = 24;
constexpr COLORREF kPositive = ColourRGB(0xE0, 0x10, 0x00);
constexpr COLORREF kNegative = ColourRGB(0x00, 0x60, 0xE0);
const int kBarRows[2][2] = {{8, 16}, {6, 18}};

// A rect of the upright frame turned to an orientation, as the picture's
// turned frames place their pixels.
CRect TurnFrameRect(const CRect& r, int orientation)
{
    auto turn = [orientation](int x, int y) {
        const CPoint t = TurnDoubled({2 * x - (kFrame - 1), 2 * y - (kFrame - 1)}, orientation);
        return CPoint((t.x + kFrame - 1) / 2, (t.y + kFrame - 1) / 2);
    };
    const CPoint a = turn(r.left, r.top), b = turn(r.right - 1, r.bottom - 1);
    return CRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1);
}

} // namespace

int CCapacitor::ChargeLevel(double charge)
{
    // Saturated before the conversion: a charge beyond the int range (or
    // not a number) must not reach the cast.
    const double q = std::fabs(charge / kChargePerLevel);
    if (!(q >= 1.0)) return 0;
    return q >= kLevels ? kLevels : static_cast<int>(q);
}

int CCapacitor::Draw(DWORD flags)
{
    const int result = CComponent::Draw(flags);
    // The picture shows no bars: they grow again from nothing.
    m_wBarSign = m_wBar0 = m_wBar1 = 0;
    if (flags & OPT_SIMULATE) DrawChargeBars();
    return result;
}

void CCapacitor::DrawChargeStrip(int start, int length, int bar, int sign)
{
    if (length <= 0 || bar < 0 || bar > 1 || !m_pVisual) return;
    const int from = std::max(1, 12 - (start + length) / 2), to = std::max(1, 12 - start / 2);
    const int from2 = std::min(kFrame - 1, 12 + start / 2), to2 = std::min(kFrame - 1, 12 + (start + length) / 2);
    for (int side = 0; side < 2; ++side) {
        const int row = kBarRows[bar][side];
        for (const CRect& cols : {CRect(from, row, to, row + 1), CRect(from2, row, to2, row + 1)}) {
            if (cols.IsRectEmpty()) continue;
            const CRect t = TurnFrameRect(cols, m_nOrientation);
            if (sign == 0) {
                // Erased from the part's own picture.
                m_pVisual->DrawBitmap(m_rect.left, m_rect.top, 0, GetDrawVariant(), t.TopLeft(), t.Size(),
                                      m_nOrientation);
                continue;
            }
            // The top plate's side is red for a positive charge.
            const bool red = (side == 0) == (sign == 1);
            CRect at = t;
            at.OffsetRect(m_rect.left, m_rect.top);
            CDisplay::FillRectColour(at, red ? kPositive : kNegative);
        }
    }
}

void CCapacitor::DrawChargeBars()
{
    const int level = ChargeLevel(m_dCharge);
    const WORD sign = m_dCharge > 0.0 ? 1 : 2;
    const int bar0 = level > 5 ? 24 : 4 * level;
    const int bar1 = level < 7 ? 0 : 4 * level - 24;
    const bool drawing = CDisplay::GetCurrentDC() && (GetDrawFlags() & OPT_SIMULATE);
    if (sign != m_wBarSign) {
        // The other plate is positive now: back to the plain picture.
        if (drawing && (m_wBar0 || m_wBar1)) {
            DrawChargeStrip(0, m_wBar0, 0, 0);
            DrawChargeStrip(0, m_wBar1, 1, 0);
        }
        m_wBarSign = sign;
        m_wBar0 = m_wBar1 = 0;
    }
    if (!drawing) return;
    const int drawn[2] = {m_wBar0, m_wBar1}, wanted[2] = {bar0, bar1};
    for (int bar = 0; bar < 2; ++bar) {
        if (wanted[bar] > drawn[bar])
            DrawChargeStrip(drawn[bar], wanted[bar] - drawn[bar], bar, sign);
        else if (wanted[bar] < drawn[bar])
            DrawChargeStrip(wanted[bar], drawn[bar] - wanted[bar], bar, 0);
    }
    m_wBar0 = static_cast<WORD>(bar0);
    m_wBar1 = static_cast<WORD>(bar1);
}
