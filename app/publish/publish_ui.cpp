#include "app/publish/publish_ui.h"

#include "model/circuit/circuit.h"

namespace {
CPublishUi*& Slot()
{
    static CPublishUi* ui = nullptr;
    return ui;
}
} // namespace

CPublishUi* CPublishUi::Current() { return Slot(); }

CPublishUi* CPublishUi::Install(CPublishUi* ui)
{
    CPublishUi* old = Slot();
    Slot() = ui;
    return old;
}

CString DesignPathOf(CPartTree* design)
{
    auto* root = dynamic_cast<CCircuit*>(design);
    // A floating or pasted design finds its pictures beside the design it
    // belongs to.
    if (root && !root->m_pDocument && root->m_pHostDesign) root = root->m_pHostDesign;
    return root && root->m_pDocument ? root->m_pDocument->GetDesignPath() : CString();
}
