// The stand-in message box is entered as a weak record of the flowchart
// library's class name, so the real class wins in a program that has it.
#include "systems_support.h"

namespace {
CObject* MakeStandInSignText() { return new CStandInSignText; }
} // namespace

const CRuntimeClass CStandInSignText::record = {kSignTextClass, static_cast<int>(sizeof(CStandInSignText)), 1,
                                                &MakeStandInSignText, "CPart"};
static const CClassRegistrar s_registerStandInSignText(&CStandInSignText::record, true);
