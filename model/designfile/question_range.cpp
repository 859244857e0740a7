#include "model/designfile/question_range.h"

#include "model/parts/parttree.h"
#include "model/text/textlabel.h"
#include "platform/messagebox.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"

#include <algorithm>

WB_IMPLEMENT_SERIAL(CQuestionRange, "CObject", 2)

namespace {

std::vector<CQuestionRange::Collector>& Collectors()
{
    static std::vector<CQuestionRange::Collector> list;
    return list;
}

bool EqualNoCase(const CString& a, const CString& b)
{
    CString x = a, y = b;
    return x.MakeUpper() == y.MakeUpper();
}

void CollectInTree(CPart* part, std::vector<CQuestionLink*>& out)
{
    for (CPart* p = part; p; p = p->GetNextSibling()) {
        if (auto* label = dynamic_cast<CTextLabel*>(p)) out.push_back(&label->question);
        for (const auto& c : Collectors()) c(p, out);
        CollectInTree(p->GetFirstChild(), out);
    }
}

// Lets a question that goes away release its entry, and lets the text
// parts read the score and the answers of their design's master range.
class CRangeQuestionSource : public CQuestionSource {
public:
    int CountCorrect(CPartTree* d) override
    {
        CQuestionRange* r = Master(d);
        if (!r) return 0;
        CQuestionCounts c;
        r->CountAnswers(c);
        return c.correct;
    }
    bool Lookup(CPartTree* d, int number, QuestionState* out) override
    {
        CQuestionRange* r = Master(d);
        const CQuestionLink* q = r ? r->GetLink(number) : nullptr;
        if (!q) return false;
        out->userAnswer = q->userAnswer;
        out->correctAnswer = q->correctAnswer;
        out->correct = IsQuestionCorrect(*q);
        return true;
    }
    void Release(CQuestionLink* link) override
    {
        if (auto* r = static_cast<CQuestionRange*>(link->range)) r->ReleaseQuestion(link);
    }

private:
    static CQuestionRange* Master(CPartTree* d)
    {
        CQuestionRange* own = d && CQuestionRange::RangeOfDesign() ? CQuestionRange::RangeOfDesign()(d) : nullptr;
        return own ? own->GetMasterRange() : nullptr;
    }
};

CRangeQuestionSource g_rangeSource;
// Installed when this file is linked: every program that has question
// ranges routes the question links' release through them.
const bool g_installed = [] {
    CQuestionSource::Install(&g_rangeSource);
    return true;
}();

} // namespace

CQuestionRange* (*&CQuestionRange::RangeOfDesign())(CPartTree*)
{
    static CQuestionRange* (*hook)(CPartTree*) = nullptr;
    return hook;
}

bool IsQuestionCorrect(const CQuestionLink& q)
{
    if (q.kind == 0) return EqualNoCase(q.userAnswer, q.correctAnswer);
    if (q.kind == 2) return q.pictureSelected != 0;
    return false;
}

CQuestionRange::~CQuestionRange()
{
    for (CQuestionLink* q : questions)
        if (q && q->range == this) q->range = nullptr;
    for (CQuestionRange* r : links) {
        auto& back = r->links;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
    }
}

void CQuestionRange::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << count << name << static_cast<WORD>(linked);
        return;
    }
    LONG n = 0;
    WORD w = 0;
    ar >> n >> name >> w;
    linked = w;
    NormalizePathSeparators(name);
    // The count sizes the array: a damaged count must not.
    count = std::clamp<LONG>(n, 0, kMaxQuestionCount);
    for (CQuestionLink* q : questions)
        if (q && q->range == this) q->range = nullptr;
    questions.assign(static_cast<size_t>(count), nullptr);
}

CQuestionRange* CQuestionRange::GetMasterRange()
{
    if (!linked) return this;
    return links.empty() ? nullptr : links.front();
}

void CQuestionRange::AddLink(CQuestionRange* range)
{
    if (!range || std::find(links.begin(), links.end(), range) != links.end()) return;
    if (linked) links.clear();
    links.push_back(range);
}

void CQuestionRange::RemoveLink(CQuestionRange* range)
{
    if (linked) {
        links.clear();
        return;
    }
    auto it = std::find(links.begin(), links.end(), range);
    if (it != links.end()) links.erase(it);
}

CQuestionLink* CQuestionRange::GetLink(int n) const
{
    if (n <= 0 || n > count || static_cast<size_t>(n) > questions.size()) return nullptr;
    return questions[static_cast<size_t>(n - 1)];
}

void CQuestionRange::Resize(int n)
{
    n = std::clamp<int>(n, 0, kMaxQuestionCount);
    count = n;
    if (questions.size() > static_cast<size_t>(n))
        for (size_t i = static_cast<size_t>(n); i < questions.size(); ++i)
            if (questions[i] && questions[i]->range == this) questions[i]->range = nullptr;
    questions.resize(static_cast<size_t>(n), nullptr);
}

int CQuestionRange::Register(CQuestionLink* q)
{
    if (!q || q->number == 0 || q->number > count || q->number > questions.size()) return QR_INVALID;
    if (q->kind == 1) return QR_PICTURE_NOT_CORRECT;
    CQuestionLink*& entry = questions[q->number - 1u];
    if (!entry || entry == q) {
        entry = q;
        return QR_REGISTERED;
    }
    return QR_CONFLICT;
}

int CQuestionRange::SetRange(CQuestionLink* q)
{
    if (!q) return QR_INVALID;
    if (auto* old = static_cast<CQuestionRange*>(q->range)) old->ReleaseQuestion(q);
    q->range = nullptr;
    const int r = Register(q);
    if (r == QR_REGISTERED) q->range = this;
    return r;
}

void CQuestionRange::ReleaseQuestion(CQuestionLink* q)
{
    for (CQuestionLink*& e : questions)
        if (e == q) e = nullptr;
}

void CQuestionRange::CountAnswers(CQuestionCounts& c) const
{
    c = CQuestionCounts();
    for (const CQuestionLink* q : questions) {
        if (!q) continue;
        ++c.present;
        if (IsQuestionCorrect(*q)) ++c.correct;
        if (!q->userAnswer.IsEmpty() || q->kind != 0) ++c.answered;
    }
    c.total = count;
}

void CQuestionRange::AddCollector(Collector c) { Collectors().push_back(std::move(c)); }

std::vector<CQuestionLink*> CQuestionRange::CollectQuestions(CPartTree* d)
{
    std::vector<CQuestionLink*> out;
    if (d) CollectInTree(d->GetFirstChild(), out);
    return out;
}

void CQuestionRange::CheckQuestionNumbers()
{
    std::vector<CPartTree*> designs{design};
    for (CQuestionRange* r : links)
        if (r && std::find(designs.begin(), designs.end(), r->design) == designs.end()) designs.push_back(r->design);
    std::vector<CQuestionLink*> all;
    for (CPartTree* d : designs) {
        auto qs = CollectQuestions(d);
        all.insert(all.end(), qs.begin(), qs.end());
    }
    int highest = count;
    for (CQuestionLink* q : all) highest = std::max<int>(highest, q->number);
    if (highest > count) Resize(highest);

    for (CQuestionLink*& e : questions) e = nullptr;
    bool reported = false;
    for (CQuestionLink* q : all) {
        q->range = nullptr;
        const int r = Register(q);
        if (r == QR_REGISTERED) {
            q->range = this;
        } else if (r == QR_CONFLICT) {
            CQuestionLink* holder = GetLink(q->number);
            if (q->kind == 2 && holder && holder->kind == 2) {
                q->kind = 1;
                WbMessageBox(LoadResString(36617) + std::to_string(q->number), MB_OK);
            } else if (!reported) {
                reported = true;
                WbMessageBox(LoadResString(36586) + std::to_string(q->number), MB_OK);
            }
        }
    }
}
