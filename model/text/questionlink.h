// The question record that text labels (and pictures) carry, and the
// design's question range as the text parts see it.
#pragma once

#include "model/text/markers.h"
#include "platform/archive.h"
#include "platform/cstring.h"

class CPart;
class CPartTree;

class CQuestionLink {
public:
    virtual ~CQuestionLink();
    // Correct answer, user answer, question number, picture-selected flag
    // and kind, the last three as words.
    virtual void Serialize(CArchive& ar);

    WORD number = 0;  // 0: none
    CString correctAnswer;
    CString userAnswer;
    int pictureSelected = 0;
    int kind = 0;  // 0 text question, 1 picture not marked correct, 2 picture marked correct
    void* range = nullptr;  // the question range the link is entered in
    CPart* owner = nullptr;
};

CArchive& operator<<(CArchive& ar, CQuestionLink& q);
CArchive& operator>>(CArchive& ar, CQuestionLink& q);

// The design's master question range, provided by the publishing code; with
// none installed there are no questions and no correct answers.
class CQuestionSource {
public:
    virtual ~CQuestionSource() = default;
    virtual int CountCorrect(CPartTree* design) = 0;
    // False when the number names no question of the design.
    virtual bool Lookup(CPartTree* design, int number, QuestionState* out) = 0;
    // A link is going away: its entry in the range is released.
    virtual void Release(CQuestionLink* link) = 0;

    static CQuestionSource* Current();
    static CQuestionSource* Install(CQuestionSource* source);
};
