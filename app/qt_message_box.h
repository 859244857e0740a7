// The message-box service on screen: a modal Qt message box titled with the
// product name, with the button set and icon that the caller asked for.
#pragma once

#include "platform/messagebox.h"

class CQtMessageBox : public IMessageBox {
public:
    int Show(const CString& text, unsigned type) override;
};
