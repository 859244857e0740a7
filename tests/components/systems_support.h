// Test-only helpers for the systems parts: a bench design with a chosen
// logic family in which the simulation and the animation are on (so that
// the stimulus sliders answer the mouse), the stimulus control of a sensor,
// and a stand-in for the flowchart library's message box that measures
// text in 6-pixel characters.
#pragma once

#include "logic_support.h"

#include "components/sign_text.h"
#include "components/toggle.h"

struct SystemsBench : LogicBench {
    explicit SystemsBench(int family = 0, double supply = 5.0) : LogicBench(family, supply)
    {
        d.SetOptionBits(OPT_SIMULATE | 0x80, true);
    }
    // The pin voltage of a part's terminal after one more pass.
    double After(CComponent* part, int pin = 0)
    {
        Run();
        return part->GetTerminal(pin)->GetVoltage();
    }
};

// The stimulus control that a sensor carries.
template <class Control = CToggle>
Control* ControlOf(CPart* sensor)
{
    for (CPart* c = sensor->GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* t = dynamic_cast<Control*>(c)) return t;
    return nullptr;
}

// The message box of the illuminated sign, as the flowchart library will
// provide it: a box from x - 25 to x + width that holds (width + 25 - 6) / 6
// characters.
class CStandInSignText : public CPart, public CSignText {
public:
    static const CRuntimeClass record;
    const CRuntimeClass* GetRuntimeClass() const override { return &record; }

    void SetUp(CPoint ownerPlace, int x, int y, const CString& text, int width, int mode, int value) override
    {
        m_rect.SetRect(ownerPlace.x + x - 25, ownerPlace.y + y - 5, ownerPlace.x + x + width, ownerPlace.y + y + 9);
        shown = text;
        tag = text;
        (void)mode;
        (void)value;
    }
    void ShowMessage(const CString& text, DWORD, const CString& newTag) override
    {
        tag = newTag;
        if (text != shown) {
            shown = text;
            ++changes;
        }
    }
    void ShowText(const CString& text, DWORD flags) override { ShowMessage(text, flags, text); }
    bool TextOverflows(const CString& text) override { return static_cast<int>(text.size()) * 6 > m_rect.Width() - 6; }

    CString shown;
    CString tag;
    int changes = 0;
};
