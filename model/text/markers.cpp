#include "model/text/markers.h"

#include "platform/numtext.h"
#include "platform/strings.h"

#include <cctype>

namespace {

constexpr uint32_t kStrCorrect = 35125;
constexpr uint32_t kStrWrong = 35126;
constexpr uint32_t kStrNothing = 35127;
constexpr uint32_t kStrNotAnswered = 36587;

bool Contains(const CString& s, const char* marker)
{
    return s.Find(marker) >= 0;
}

bool EqualNoCase(const CString& a, const CString& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const CString* SingleKey(const CResponseMap& m)
{
    return m.GetCount() == 1 ? &m.Entries().front().first : nullptr;
}

LabelTextChoice Generated(const CString& text)
{
    LabelTextChoice c;
    c.kind = LabelTextChoice::Generated;
    c.generated = text;
    return c;
}

}  // namespace

void CResponseMap::SetAt(const CString& key, std::unique_ptr<CRTFData> text)
{
    for (Entry& e : m_entries)
        if (e.first == key) {
            e.second = std::move(text);
            return;
        }
    m_entries.emplace_back(key, std::move(text));
}

const CRTFData* CResponseMap::Lookup(const CString& key) const
{
    for (const Entry& e : m_entries)
        if (e.first == key) return e.second.get();
    return nullptr;
}

int GetResponseMode(uint32_t textFlags, const CResponseMap& responses)
{
    if (textFlags & kTextQuestion) return 2;
    if (const CString* k = SingleKey(responses)) {
        if (Contains(*k, "$SCORE_ALWAYS")) return 1;
        if (Contains(*k, "$USER_ALWAYS")) return 3;
        if (Contains(*k, "$CORRECT_ALWAYS")) return 4;
    }
    return responses.IsEmpty() ? 0 : 5;
}

void CopyResponses(const CResponseMap& from, CResponseMap* to)
{
    to->RemoveAll();
    for (const CResponseMap::Entry& e : from.Entries()) {
        CString key = e.first;
        if (key == "$CORRECT") key = LoadResString(kStrCorrect);
        else if (key == "$WRONG") key = LoadResString(kStrWrong);
        else if (key == "$NOTHING") key = LoadResString(kStrNothing);
        to->SetAt(key, std::make_unique<CRTFData>(e.second ? *e.second : CRTFData()));
    }
}

LabelTextChoice ChooseTextPartText(const CString& ownPlain, int correctCount)
{
    if (!ownPlain.IsEmpty() && ownPlain[0] == '$' && Contains(ownPlain, "$MACRO_SCORE"))
        return Generated(FormatInt(correctCount));
    return {};
}

LabelTextChoice ChooseLabelText(uint32_t textFlags, const CString& ownPlain, const CResponseMap& responses,
                                const QuestionState* q, int correctCount)
{
    // A question, and a plain label (no responses), follow the rule of every
    // text part: a plain label whose text is "$MACRO_SCORE" shows the score,
    // which is why the answer-dependent redraw pass redraws such labels.
    if ((textFlags & kTextQuestion) || responses.IsEmpty()) return ChooseTextPartText(ownPlain, correctCount);
    if (ownPlain.IsEmpty()) return {};
    if (const CString* k = SingleKey(responses)) {
        if (Contains(*k, "$USER_ALWAYS")) return Generated(q ? q->userAnswer : LoadResString(kStrNotAnswered));
        if (Contains(*k, "$CORRECT_ALWAYS")) return Generated(q ? q->correctAnswer : LoadResString(kStrNotAnswered));
        if (Contains(*k, "$SCORE_ALWAYS")) return Generated(FormatInt(correctCount));
    }
    if (!q) return {};
    for (const CResponseMap::Entry& e : responses.Entries())
        if (EqualNoCase(e.first, q->userAnswer)) return {LabelTextChoice::Response, {}, e.second.get()};
    uint32_t name = kStrWrong;
    const char* marker = "$WRONG";
    if (q->userAnswer.IsEmpty()) { name = kStrNothing; marker = "$NOTHING"; }
    else if (q->correct) { name = kStrCorrect; marker = "$CORRECT"; }
    const CRTFData* found = responses.Lookup(LoadResString(name));
    if (!found) found = responses.Lookup(marker);
    if (found) return {LabelTextChoice::Response, {}, found};
    return {};
}

bool LabelDependsOnAnswers(uint32_t textFlags, const CString& ownPlain, const CResponseMap& responses)
{
    if (ownPlain.GetLength() > 1 && ownPlain[0] == '$') return true;
    return !(textFlags & kTextQuestion) && !responses.IsEmpty();
}

CString TrimAnswer(const CString& text)
{
    size_t a = 0, b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
    return text.substr(a, b - a);
}
