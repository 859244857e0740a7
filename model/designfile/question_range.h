// The design's question range: the answer set that numbers the questions of
// a published activity, counts the score and can take its questions from
// another design (the answer file) so that several activities share one
// score.  Entry n - 1 of the array belongs to question n.
#pragma once

#include "model/text/questionlink.h"
#include "platform/runtimeclass.h"

#include <array>
#include <functional>
#include <vector>

class CPartTree;

// Results of Register.
enum : int {
    QR_REGISTERED = 0,
    QR_INVALID = 2,
    QR_CONFLICT = 3,
    QR_PICTURE_NOT_CORRECT = 5,
};

// The counts record: count of the range, answered, correct, present.
struct CQuestionCounts {
    LONG total = 0;
    LONG answered = 0;
    LONG correct = 0;
    LONG present = 0;
};

class CQuestionRange : public CObject {
    WB_DECLARE_SERIAL(CQuestionRange)
public:
    CQuestionRange() = default;
    explicit CQuestionRange(CPartTree* owner) : design(owner) {}
    ~CQuestionRange() override;
    CQuestionRange(const CQuestionRange&) = delete;
    CQuestionRange& operator=(const CQuestionRange&) = delete;

    // count (32 bits), name, linked (16 bits).  After loading the name's
    // separators are normalised and the array holds count empty entries.
    void Serialize(CArchive& ar) override;

    CQuestionRange* GetMasterRange();
    void AddLink(CQuestionRange* range);
    void RemoveLink(CQuestionRange* range);
    // The question of number n (1-based); null for 0 or beyond count.
    CQuestionLink* GetLink(int n) const;
    int Register(CQuestionLink* question);
    // Releases the question's old entry and registers it; without result 0
    // the question has no range.
    int SetRange(CQuestionLink* question);
    void ReleaseQuestion(CQuestionLink* question);
    void CountAnswers(CQuestionCounts& counts) const;
    // Grows count to n (never shrinks below the entries it must hold).
    void Resize(int n);

    // Over this range's design and the designs of its linked ranges: count
    // grows to the highest question number, every question registers again,
    // and conflicts are reported (two correct pictures: the newcomer is
    // made incorrect, string 36617; any other: the first only, 36586).
    void CheckQuestionNumbers();

    // The question links of a design's parts; text labels are found by the
    // default, other parts that carry questions add a collector.
    using Collector = std::function<void(CPart*, std::vector<CQuestionLink*>&)>;
    static void AddCollector(Collector c);
    static std::vector<CQuestionLink*> CollectQuestions(CPartTree* design);

    // The question range of a design (set by the design root).
    static CQuestionRange* (*&RangeOfDesign())(CPartTree*);

    CPartTree* design = nullptr;
    LONG count = 0;
    int linked = 0;
    CString name;
    std::vector<CQuestionLink*> questions;
    std::vector<CQuestionRange*> links;
};

// A question counts as correct: a text question when the user's answer
// equals the correct answer without regard to case, a picture when it is
// marked correct and selected.
bool IsQuestionCorrect(const CQuestionLink& q);

// Question numbers run from 1 to 9999 (the question dialogs allow no
// more): a count read from a file sizes the array, so it is clamped there.
constexpr LONG kMaxQuestionCount = 9999;
