// CPictureOptionsDlg: what a picture does when it is clicked in a
// published activity (open another page, reload this one, close the pages
// that share an answer file, show the Books tree, pause), its bubble text
// and its answer settings.  Each picture embeds one and stores it in its
// record; the dialog window edits a copy through CPublishUi.
#pragma once

#include "platform/archive.h"
#include "platform/cstring.h"

class CPicture;

class CPictureOptionsDlg {
public:
    // The record: bubble text, link file (separators normalised on
    // loading), a flags word (bit 0 open file, bit 1 view Books, bit 2
    // pause), then ten words: close this file, answer picture, reload,
    // close same answer, button frame, scroll x, scroll y, question number,
    // correct answer, spare.
    void Serialize(CArchive& ar);

    // The check boxes of the dialog and what the enable rules make of them.
    struct Checks {
        bool reload = false;     // 195
        bool openFile = false;   // 196
        bool closeSame = false;  // 198
        bool closeThis = false;  // 200
        bool pause = false;      // 202
        bool viewBooks = false;  // 210
    };
    struct Enables {
        bool reload = true, openFile = true, closeSame = true, closeThis = true, viewBooks = true;
        bool bubble = true;      // 201
        bool linkFile = true;    // 203, its browse button 199, the scroll position 205 and 206
    };
    // Applies the enable rules to the checks (a disabled "Reloads this
    // file", "Closes all files with same answer file" or "Close this file"
    // is unchecked) and returns what is enabled.
    static Enables ApplyEnableRules(Checks& checks, bool answerPicture);

    Checks GetChecks() const;
    void SetChecks(const Checks& c);
    // True when a click can do something (the picture's hand cursor).
    bool HasClickAction(bool linkExists) const;

    CString basePath;
    CPicture* owner = nullptr;
    int openFile = 0;
    int closeThisFile = 0;
    CString bubbleText;
    CString linkFile;
    int answerPicture = 0;
    int reloadFile = 0;
    int closeSameAnswer = 0;
    int buttonFrame = 0;
    int scrollX = 0;
    int scrollY = 0;
    int questionNumber = 0;
    int correctAnswer = 0;
    WORD spare = 0;
    CString picturePath;
    int viewBooks = 0;
    int pauseSimulation = 0;
};

// The scroll values the dialog accepts.
constexpr int kMaxPictureScroll = 65000;
