#include "app/publish/picture_options.h"

#include "platform/shared_functions.h"

void CPictureOptionsDlg::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        const WORD flags = static_cast<WORD>((openFile ? 1 : 0) | (viewBooks ? 2 : 0) | (pauseSimulation ? 4 : 0));
        ar << bubbleText << linkFile << flags;
        for (int v : {closeThisFile, answerPicture, reloadFile, closeSameAnswer, buttonFrame, scrollX, scrollY,
                      questionNumber, correctAnswer})
            ar << static_cast<WORD>(v);
        ar << spare;
        return;
    }
    WORD flags = 0;
    ar >> bubbleText >> linkFile >> flags;
    NormalizePathSeparators(linkFile);
    openFile = flags & 1 ? 1 : 0;
    viewBooks = flags & 2 ? 1 : 0;
    pauseSimulation = flags & 4 ? 1 : 0;
    // Every value is a word, widened without sign.
    for (int* v : {&closeThisFile, &answerPicture, &reloadFile, &closeSameAnswer, &buttonFrame, &scrollX, &scrollY,
                   &questionNumber, &correctAnswer}) {
        WORD w = 0;
        ar >> w;
        *v = w;
    }
    ar >> spare;
}

CPictureOptionsDlg::Enables CPictureOptionsDlg::ApplyEnableRules(Checks& c, bool answerPicture)
{
    Enables e;
    e.viewBooks = !c.pause;
    e.reload = !c.closeSame && !c.pause;
    if (!e.reload) c.reload = false;
    e.openFile = !c.pause;
    e.closeSame = !c.reload && !c.pause;
    if (!e.closeSame) c.closeSame = false;
    e.bubble = !answerPicture;
    e.linkFile = c.openFile && !c.pause;
    e.closeThis = e.linkFile;
    if (!e.closeThis) c.closeThis = false;
    return e;
}

CPictureOptionsDlg::Checks CPictureOptionsDlg::GetChecks() const
{
    Checks c;
    c.reload = reloadFile != 0;
    c.openFile = openFile != 0;
    c.closeSame = closeSameAnswer != 0;
    c.closeThis = closeThisFile != 0;
    c.pause = pauseSimulation != 0;
    c.viewBooks = viewBooks != 0;
    return c;
}

void CPictureOptionsDlg::SetChecks(const Checks& c)
{
    reloadFile = c.reload;
    openFile = c.openFile;
    closeSameAnswer = c.closeSame;
    closeThisFile = c.closeThis;
    pauseSimulation = c.pause;
    viewBooks = c.viewBooks;
}

bool CPictureOptionsDlg::HasClickAction(bool linkExists) const
{
    return (openFile && linkExists) || answerPicture || reloadFile || closeSameAnswer || viewBooks;
}
