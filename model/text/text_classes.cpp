#include "model/text/text_classes.h"

#include "model/text/groupbox.h"
#include "model/text/meter.h"
#include "model/text/opampsupply.h"
#include "model/text/sinevalue.h"
#include "model/text/valuevariants.h"

bool TextPartClassesRegistered()
{
    const CRuntimeClass* classes[] = {
        RUNTIME_CLASS(CText),       RUNTIME_CLASS(CTextCallsParent), RUNTIME_CLASS(CTextLabel),
        RUNTIME_CLASS(CGroupBox),   RUNTIME_CLASS(CValue),           RUNTIME_CLASS(CFixedValue),
        RUNTIME_CLASS(CThermValue), RUNTIME_CLASS(CDummyValue),      RUNTIME_CLASS(CSineValue),
        RUNTIME_CLASS(COpampSupply), RUNTIME_CLASS(CMeter),
    };
    for (const CRuntimeClass* rc : classes)
        if (CRuntimeClass::FromName(rc->m_lpszClassName) != rc) return false;
    return true;
}
