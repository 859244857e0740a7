#include "app/qt_message_box.h"

#include "platform/strings.h"
#include "platform/text1252.h"

#include <QApplication>
#include <QMessageBox>

int CQtMessageBox::Show(const CString& text, unsigned type)
{
    using B = QMessageBox::StandardButton;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(FromWindows1252(LoadResString(1)));
    box.setText(FromWindows1252(text));
    switch (type & 0xF0) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    // Button sets of the low bits, each button with its answer.
    struct Button { B button; int answer; };
    static const Button sets[][3] = {
        {{B::Ok, IDOK}, {B::NoButton, 0}, {B::NoButton, 0}},
        {{B::Ok, IDOK}, {B::Cancel, IDCANCEL}, {B::NoButton, 0}},
        {{B::Abort, IDABORT}, {B::Retry, IDRETRY}, {B::Ignore, IDIGNORE}},
        {{B::Yes, IDYES}, {B::No, IDNO}, {B::Cancel, IDCANCEL}},
        {{B::Yes, IDYES}, {B::No, IDNO}, {B::NoButton, 0}},
        {{B::Retry, IDRETRY}, {B::Cancel, IDCANCEL}, {B::NoButton, 0}},
    };
    const unsigned set = type & 0x0F;
    const Button* buttons = sets[set < 6 ? set : 0];
    QMessageBox::StandardButtons all;
    for (int i = 0; i < 3; ++i)
        if (buttons[i].button != B::NoButton) all |= buttons[i].button;
    box.setStandardButtons(all);
    box.setDefaultButton(buttons[0].button);
    const auto pressed = static_cast<B>(box.exec());
    for (int i = 0; i < 3; ++i)
        if (buttons[i].button == pressed && pressed != B::NoButton) return buttons[i].answer;
    // Closed without a button: the set's cancel answer where it has one.
    return (set == MB_OK) ? IDOK : (set == MB_YESNO ? IDNO : IDCANCEL);
}
