#include "components/diode.h"

#include "model/display/visual.h"
#include "model/components/terminal.h"

#include <cstring>

WB_IMPLEMENT_SERIAL(CDiode, "CComponent", 2)

// Ratings text of the rectifier diode: 400 V reverse, 1 A.
constexpr UINT IDS_DIODE_RATINGS = 18;

// Picture 325: one 24 x 24 frame, drawn pointing down (anode on top), the
// pin axis in column 12.  The pins stand on the frame's edge ring, so the
// quarter-turned frames keep them there with no offset correction (row 0).
static CVisual& DiodeVisual()
{
    static CVisual visual(1, 1, 325, 1, 0, 2, 24, 24);
    static const bool ready = (visual.SetOrientationMask(15), true);
    (void)ready;
    return visual;
}

CDiode::CDiode()
{
    m_pVisual = &DiodeVisual();
    m_nOrientationMask = 15;
    m_nOrientation = 1;
    LoadRatings(IDS_DIODE_RATINGS);
}

void CDiode::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

int CDiode::OrientationOfVariant(const CRuntimeClass* variant)
{
    struct Row {
        const char* name;
        int code;
    };
    static const Row kRows[] = {{"CDiodeD", 0}, {"CDiodeR", 3}, {"CDiodeU", 2}};
    if (variant)
        for (const Row& r : kRows)
            if (std::strcmp(variant->m_lpszClassName, r.name) == 0) return r.code;
    return 1;
}

void CDiode::TurnTo(int code)
{
    // A part read from an old file already has its terminals where the old
    // class drew them: only the code and the terminal order follow it.
    ApplyOrientation(code);
}

void CDiode::InitVariant(const CRuntimeClass* variant)
{
    TurnTo(OrientationOfVariant(variant));
    m_rcPicture.SetRect(-12, 0, 12, 24);
    CComponent::InitVariant(variant);
}

void CDiode::Stamp(CMatrix* matrix)
{
    if (m_terminals.size() < 2) return;
    CTerminal* a = m_terminals[0];
    CTerminal* k = m_terminals[1];
    matrix->StampTransfer(m_model.GetSlope(), m_model.GetIntercept(), a, k, a, k);
}

void CDiode::LimitStep(CState** out, double* fraction, const double* nodeValues)
{
    if (m_terminals.size() < 2) return;
    m_model.LimitStep(out, fraction, nodeValues[m_terminals[0]->GetNode()] - nodeValues[m_terminals[1]->GetNode()]);
}

int CDiode::AfterStep()
{
    const int broken = CComponent::AfterStep();
    m_model.Commit();
    return broken;
}

double CDiode::GetForwardVoltage() const
{
    if (m_terminals.size() < 2) return 0.0;
    return m_terminals[0]->GetVoltage() - m_terminals[1]->GetVoltage();
}

double CDiode::GetModelCurrent() const
{
    return GetForwardVoltage() * m_model.GetSlope() + m_model.GetIntercept();
}
