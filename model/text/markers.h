// Answer-dependent label text: the response map of a label, its response
// mode, and the choice of the text a label shows for the current answers.
#pragma once

#include "model/text/rtfdata.h"
#include "platform/cstring.h"

#include <memory>
#include <utility>
#include <vector>

constexpr uint32_t kTextQuestion = 0x80;

// Keys in file order; one entry per key (setting a key again replaces its
// text).  The map owns its blocks.
class CResponseMap {
public:
    using Entry = std::pair<CString, std::unique_ptr<CRTFData>>;

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }
    void RemoveAll() { m_entries.clear(); }
    void SetAt(const CString& key, std::unique_ptr<CRTFData> text);
    // The block of a key (exact match), or null.
    const CRTFData* Lookup(const CString& key) const;
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

// Response modes as the question dialog shows them: 0 plain label, 1 shows
// the score, 2 the label is a question, 3 shows the user's answer, 4 shows
// the correct answer, 5 shows the response chosen by the answer.
int GetResponseMode(uint32_t textFlags, const CResponseMap& responses);

// Copies every entry into new blocks; the markers "$CORRECT", "$WRONG" and
// "$NOTHING" become the display names "Correct", "Wrong" and "Nothing".
void CopyResponses(const CResponseMap& from, CResponseMap* to);

// What the label's question looks like in the design's question range.
struct QuestionState {
    CString userAnswer;
    CString correctAnswer;
    bool correct = false;
};

// The text a label shows.
struct LabelTextChoice {
    enum Kind { Own, Generated, Response } kind = Own;
    CString generated;                  // for Generated: the shared marker text
    const CRTFData* response = nullptr; // for Response
};

// The rule of every text part: an own plain text that begins with "$" and
// holds "$MACRO_SCORE" shows the count of correct answers.
LabelTextChoice ChooseTextPartText(const CString& ownPlain, int correctCount);

// The choice of a free label; `question` is null when the label's question
// number names no question of the design.
LabelTextChoice ChooseLabelText(uint32_t textFlags, const CString& ownPlain, const CResponseMap& responses,
                                const QuestionState* question, int correctCount);

// Whether a redraw pass for answer-dependent texts must redraw the label.
bool LabelDependsOnAnswers(uint32_t textFlags, const CString& ownPlain, const CResponseMap& responses);

// White space trimmed at both ends (the user's answer typed into a label).
CString TrimAnswer(const CString& text);
