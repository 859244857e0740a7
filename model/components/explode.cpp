#include "model/components/explode.h"

#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/display/animate.h"
#include "model/display/display.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include <cstdio>

WB_IMPLEMENT_SERIAL(CExplode, "CPart", 3)

CExplode::CExplode(CCircuit* design, const CRect& rect, double excess, double rating, WORD messageId, char unit)
    : m_dRating(rating), m_dExcess(excess), m_wMessageId(messageId), m_cUnit(unit), m_wFrameCounter(9)
{
    m_rect = rect;
    if (design) design->SetComponentDestroyed();
}

void CExplode::Serialize(CArchive& ar)
{
    CPart::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_dExcess << m_dRating << m_wMessageId << static_cast<BYTE>(m_cUnit);
    } else {
        BYTE unit = 0;
        ar >> m_dExcess >> m_dRating >> m_wMessageId >> unit;
        m_cUnit = static_cast<char>(unit);
        m_wFrameCounter = 0;
    }
}

namespace {
// " %.5g%c.\n\n" in the C locale (%g has no locale-dependent point in the
// C library's default locale; the program never changes LC_NUMERIC).
CString FormatReading(double value, char unit)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, " %.5g%c.\n\n", value, unit);
    return CString(buf);
}
} // namespace

CString CExplode::BuildMessage() const
{
    CString text = LoadResString(m_wMessageId);
    text += FormatReading(m_dExcess, m_cUnit);
    text += LoadResString(16);
    text += FormatReading(m_dRating, m_cUnit);
    text += LoadResString(43);
    return text;
}

int CExplode::GetMessageText(int offerDelete)
{
    // No part draws while the box is up: the canvas's DC is parked.
    CDisplay::SuspendDrawing();
    int answer = WbMessageBox(BuildMessage(), MB_YESNO | MB_ICONQUESTION);
    int second = IDNO;
    if (answer != IDYES && offerDelete) second = WbMessageBox(LoadResString(44), MB_YESNO | MB_ICONQUESTION);
    CDisplay::ResumeDrawing();
    if (answer == IDYES) return IDYES;
    if (!offerDelete) return IDCANCEL;
    return second == IDYES ? IDNO : IDCANCEL;
}

