#include "components/system_message.h"

#include "components/sign_text.h"
#include "model/circuit/circuit.h"
#include "model/parts/controlitem.h"

WB_IMPLEMENT_SERIAL(CSystemMessage, "CSystemOutput", 2)

CSystemMessage::CSystemMessage() : m_strMessage(" "), m_strShown(" ") { TakePicture(SystemsPicture::kMessage); }

void CSystemMessage::Serialize(CArchive& ar)
{
    CSystemOutput::Serialize(ar);
    if (ar.IsStoring())
        ar << m_strMessage << m_strShown;
    else
        ar >> m_strMessage >> m_strShown;
}

CSignText* CSystemMessage::GetSignText() const
{
    for (CPart* c = GetFirstChild(); c; c = c->GetNextSibling())
        if (auto* t = dynamic_cast<CSignText*>(c)) return t;
    return nullptr;
}

void CSystemMessage::CreateChildren()
{
    if (!m_terminals.empty()) return;
    CreateTerminals(0);
    const CRuntimeClass* rc = CRuntimeClass::FromName(kSignTextClass);
    if (!rc || !rc->m_pfnCreateObject) return;
    CObject* made = rc->CreateObject();
    auto* part = dynamic_cast<CPart*>(made);
    auto* text = dynamic_cast<CSignText*>(made);
    if (!part || !text) {
        delete made;
        return;
    }
    text->SetUp(m_rect.TopLeft(), 77, -2, m_strMessage, 50, 0, 0);
    AddChild(part);
}

void CSystemMessage::UpdateText()
{
    if (m_strMessage.empty()) m_strMessage = " ";
    m_strShown = m_strMessage;
    CSignText* box = GetSignText();
    if (!box) return;
    bool cut = false;
    // An empty text always fits: the loop ends even with a box that
    // reports every text as too long.
    while (!m_strShown.empty() && box->TextOverflows(m_strShown)) {
        m_strShown.pop_back();
        cut = true;
    }
    if (cut) {
        m_strShown.resize(m_strShown.size() >= 2 ? m_strShown.size() - 2 : 0);
        m_strShown += "..";
    }
    box->ShowText(m_dwState ? m_strShown : CString(" "), GetDrawFlags());
}

int CSystemMessage::FillProperties(CControlItemList& items)
{
    items.Add(CControlItem(CI_EDIT, CString(), kSignMessageItem, 100));
    items.Add(CControlItem(CI_TOOLBUTTON, CString(), kSignAddCommand, -1));
    return 0;
}

int CSystemMessage::GetPropertyTexts(CControlItemList& items)
{
    items.SetItemText(kSignMessageItem, m_strMessage, -1);
    return 1;
}

int CSystemMessage::OnPropertyCommand(int commandId, const CString& text)
{
    if (commandId != kSignMessageItem) return CSystemOutput::OnPropertyCommand(commandId, text);
    m_strMessage = text;
    UpdateText();
    return 65;
}

int CSystemMessage::AfterStep()
{
    const int broken = CSystemOutput::AfterStep();
    CCircuit* design = GetDesign();
    if (!design) return broken;
    if (CSignText* box = GetSignText())
        box->ShowText(InputHigh() ? m_strShown : CString(" "), design->GetRedrawFlags());
    design->SetChanged();
    return broken;
}
