// The message-box service: how the model and the shell tell the user about a
// failure or ask a yes/no question.  The window implementation lives with
// the application (it needs Qt Widgets); the model calls the service, and
// tests install the recording fake.
#pragma once

#include "platform/cstring.h"

#include <vector>

// Button sets and icons (the low bits choose the buttons).
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};

// Answers.
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows text with the button set and icon of type; returns the answer.
    virtual int Show(const CString& text, unsigned type) = 0;
};

// A fake that remembers every message and gives a fixed answer (or the
// queued answers in order, then the fixed one).
class CRecordingMessageBox : public IMessageBox {
public:
    struct Entry {
        CString text;
        unsigned type;
    };
    int Show(const CString& text, unsigned type) override;

    std::vector<Entry> shown;
    std::vector<int> queuedAnswers;
    int answer = IDOK;
};

// The service in use; without one installed a silent fake answers IDOK (the
// headless engine and its tests never block on a dialog).
IMessageBox& MessageBoxService();
// Installs a service (null restores the silent default); returns the previous.
IMessageBox* SetMessageBoxService(IMessageBox* service);

// Shows a text / a string-table text through the service.
int WbMessageBox(const CString& text, unsigned type = MB_OK);
int WbMessageBox(unsigned stringId, unsigned type = MB_OK);

// Installs a service for the lifetime of a scope (tests).
class CMessageBoxScope {
public:
    explicit CMessageBoxScope(IMessageBox* service) : m_prev(SetMessageBoxService(service)) {}
    ~CMessageBoxScope() { SetMessageBoxService(m_prev); }
    CMessageBoxScope(const CMessageBoxScope&) = delete;
    CMessageBoxScope& operator=(const CMessageBoxScope&) = delete;

private:
    IMessageBox* m_prev;
};
