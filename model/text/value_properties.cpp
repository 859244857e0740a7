// A value label answers the standard value items of its owner's property
// toolbar: the number typed or stepped, the prefix letter typed or
// stepped, the advanced editor and the in-place edit box.  The results are
// the number's edit results (0 unchanged, 1 taken, 2 clamped, 4 refused),
// which are the toolbar's result bits.
#include "model/parts/controlitem.h"
#include "model/text/value.h"

namespace {
enum : int {
    kValueNumber = 36053,
    kValueSpin = 36054,
    kValuePrefix = 36055,
    kPrefixSpin = 36056,
    kValueAdvanced = 36074,
    kValueEditBox = 36089,
};
} // namespace

int CValue::OnPropertyCommand(int commandId, const CString& text)
{
    switch (commandId) {
    case kValueNumber: return SetValueFromText(text);
    case kValueSpin: {
        const int amount = SpinAmount(text);
        return amount ? StepValue(amount) : 0;
    }
    case kValuePrefix: return SetPrefixFromText(text);
    case kPrefixSpin: {
        const int amount = SpinAmount(text);
        return amount ? StepPrefix(amount > 0 ? 1 : -1) : 0;
    }
    case kValueAdvanced: return EditAdvanced(OwnerPart());
    case kValueEditBox: return ApplyEditedText();
    default: return CText::OnPropertyCommand(commandId, text);
    }
}
