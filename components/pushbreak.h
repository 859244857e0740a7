// CPushBreak: a push-to-break button: the contact conducts at rest (state
// 0) and opens while the key is held.
#pragma once

#include "components/pushmake.h"

class CPushBreak : public CPushMake {
    WB_DECLARE_SERIAL(CPushBreak)
public:
    CPushBreak();
    void CreateChildren() override;
    void InitVariant(const CRuntimeClass* variant) override;

protected:
    bool IsClosed() const override { return m_wStateWord == 0; }
};
