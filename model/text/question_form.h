// The rules of the "Text Box Options" dialog of a free label: the response
// mode, the question number and correct answer, and the table of possible
// answers with their remarks.  The dialog only shows this record; every
// change and the check on OK happen here, without windows.
#pragma once

#include "model/text/markers.h"
#include "model/text/rtfdata.h"
#include "platform/cstring.h"

#include <vector>

class CTextLabel;

// One row of the table: the answer it responds to and the remark shown.
struct CQuestionResponse {
    CString key;
    CRTFData remark;
};

// The "Possible Answer" drop list: Correct, Wrong, Nothing, the letters A
// to E of multiple-choice answers, and another answer typed by the author.
enum : int {
    QF_ENTRY_CORRECT = 0,
    QF_ENTRY_WRONG = 1,
    QF_ENTRY_NOTHING = 2,
    QF_ENTRY_FIRST_LETTER = 3,
    QF_ENTRY_OTHER = 8,
    QF_ENTRY_COUNT = 9,
};

// Response modes (markers.h).
enum : int {
    QF_MODE_PLAIN = 0,
    QF_MODE_SCORE = 1,
    QF_MODE_QUESTION = 2,
    QF_MODE_USER = 3,
    QF_MODE_CORRECT = 4,
    QF_MODE_REMARKS = 5,
};

class CQuestionForm {
public:
    CQuestionForm() = default;
    // The label's converted responses (display-name keys), number, mode,
    // correct answer and border flag.
    static CQuestionForm FromLabel(const CTextLabel& label);
    // Stores the form in the label (its question settings operation).
    void ApplyTo(CTextLabel& label) const;

    // Choosing "Show score", "Show answer entered by the user" or "Show
    // correct answer" leaves the one special code of that mode; choosing
    // remarks empties the table and adds a new row.
    void SetMode(int newMode);

    // The number field is used in every mode except the plain label and
    // the score; the correct answer only by a question.
    bool NumberEnabled() const { return mode != QF_MODE_PLAIN && mode != QF_MODE_SCORE; }
    bool CorrectAnswerEnabled() const { return mode == QF_MODE_QUESTION; }
    bool RemarksEnabled() const { return mode == QF_MODE_REMARKS; }
    // The lowest number the field accepts: 1 for a question, else -1.
    int LowestNumber() const { return CorrectAnswerEnabled() ? 1 : -1; }

    // "New": a row "Some Answer<n>" with the sample remark, selected.
    // Refused (false, with the message) while a special code is present.
    bool NewResponse(CString* message);
    // "Remove": the selected row goes; the next row (or the first) is
    // selected.
    void RemoveSelected();
    // An entry of the "Possible Answer" list chosen: the selected row takes
    // the entry's key when no other row has it (without a selected row a
    // row is added); the row with that key is selected and an empty remark
    // gets the entry's default remark.
    void ChooseEntry(int entry);
    // The list entry that a key stands for (QF_ENTRY_OTHER for any other).
    static int EntryOfKey(const CString& key);
    // Typing in "Other Possible Answer": the selected row is renamed when
    // no other row has the key; false when refused.
    bool RenameSelected(const CString& key);
    // The remark field edited: stored under the selected row.
    void SetRemark(const CRTFData& remark);
    // "Clear and use default Font": the selected row's remark is emptied.
    void ClearRemark();
    int FindKey(const CString& key) const;
    bool HasSpecialCode() const;

    // The check on OK.  Refused: the message is shown and the dialog
    // stays open.  Accepted with a message: it is shown and the dialog
    // closes.
    enum class Verdict { Accept, AcceptWithWarning, Refuse };
    struct Check {
        Verdict verdict = Verdict::Accept;
        CString message;
    };
    Check Validate() const;

    // The table as a response map (display-name keys).
    void ToResponses(CResponseMap* out) const;

    int mode = QF_MODE_PLAIN;
    int number = 0;
    CString correctAnswer;
    bool border = false;
    std::vector<CQuestionResponse> rows;
    int selected = -1;
    int runningNumber = 0;
};

// The key an entry of the drop list stands for (QF_ENTRY_OTHER: none).
CString QuestionEntryKey(int entry);
// The default remark of an entry.
CString QuestionEntryRemark(int entry);
// The sample rich-text remark of a new row.
CRTFData SampleRemark();

constexpr int kMaxQuestionNumber = 9999;

// The Answer File entries: a range that links to an answer file needs its
// path.  False (with the message) refuses them.
bool CheckAnswerFileEntry(bool linked, const CString& path, CString* message);
