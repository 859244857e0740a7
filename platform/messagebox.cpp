#include "platform/messagebox.h"

#include "platform/strings.h"

namespace {

class CSilentMessageBox : public IMessageBox {
public:
    int Show(const CString&, unsigned) override { return IDOK; }
};

CSilentMessageBox g_silent;
IMessageBox* g_service = nullptr;

} // namespace

int CRecordingMessageBox::Show(const CString& text, unsigned type)
{
    shown.push_back({text, type});
    if (!queuedAnswers.empty()) {
        int a = queuedAnswers.front();
        queuedAnswers.erase(queuedAnswers.begin());
        return a;
    }
    return answer;
}

IMessageBox& MessageBoxService() { return g_service ? *g_service : g_silent; }

IMessageBox* SetMessageBoxService(IMessageBox* service)
{
    IMessageBox* prev = g_service;
    g_service = service;
    return prev;
}

int WbMessageBox(const CString& text, unsigned type) { return MessageBoxService().Show(text, type); }

int WbMessageBox(unsigned stringId, unsigned type) { return WbMessageBox(LoadResString(stringId), type); }
