#include "model/text/question_form.h"

#include "model/text/text.h"
#include "model/text/textlabel.h"
#include "platform/strings.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint32_t kStrCorrect = 35125;
constexpr uint32_t kStrWrong = 35126;
constexpr uint32_t kStrNothing = 35127;
constexpr uint32_t kStrSomeAnswer = 36593;
constexpr uint32_t kStrRemarkCorrect = 36595;
constexpr uint32_t kStrRemarkWrong = 36596;
constexpr uint32_t kStrRemarkNothing = 36633;
constexpr uint32_t kStrRemarkChoice = 36611;
constexpr uint32_t kStrCodeCorrect = 36597;
constexpr uint32_t kStrCodeUser = 36598;
constexpr uint32_t kStrCodeScore = 36599;
constexpr uint32_t kStrSample1 = 36600;
constexpr uint32_t kStrSample2 = 36613;
constexpr uint32_t kStrSample3 = 36618;
constexpr uint32_t kStrSpecialAlone = 36601;
constexpr uint32_t kStrNoWrong = 36602;
constexpr uint32_t kStrNoRemarks = 36610;
constexpr uint32_t kStrNumberRange = 62100;
constexpr uint32_t kStrAnswerFilePath = 62101;

const char* const kScoreCode = "$SCORE_ALWAYS";
const char* const kUserCode = "$USER_ALWAYS";
const char* const kCorrectCode = "$CORRECT_ALWAYS";

bool IsSpecialKey(const CString& key)
{
    return key.Find(kScoreCode) >= 0 || key.Find(kUserCode) >= 0 || key.Find(kCorrectCode) >= 0;
}

CRTFData PlainRemark(const CString& text)
{
    CRTFData d;
    d.SetText(text);
    return d;
}

// RTF has no room for bytes above 0x7F or its own control characters as
// they are: they go as \'hh escapes.
std::string RtfEscape(const CString& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x80) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace

CString QuestionEntryKey(int entry)
{
    switch (entry) {
    case QF_ENTRY_CORRECT: return LoadResString(kStrCorrect);
    case QF_ENTRY_WRONG: return LoadResString(kStrWrong);
    case QF_ENTRY_NOTHING: return LoadResString(kStrNothing);
    default: break;
    }
    if (entry >= QF_ENTRY_FIRST_LETTER && entry < QF_ENTRY_OTHER)
        return CString(std::string(1, static_cast<char>('A' + entry - QF_ENTRY_FIRST_LETTER)));
    return CString();
}

CString QuestionEntryRemark(int entry)
{
    switch (entry) {
    case QF_ENTRY_CORRECT: return LoadResString(kStrRemarkCorrect);
    case QF_ENTRY_WRONG: return LoadResString(kStrRemarkWrong);
    case QF_ENTRY_NOTHING: return LoadResString(kStrRemarkNothing);
    default: break;
    }
    if (entry >= QF_ENTRY_FIRST_LETTER && entry < QF_ENTRY_OTHER) return LoadResString(kStrRemarkChoice);
    return CString();
}

CRTFData SampleRemark()
{
    const CString a = LoadResString(kStrSample1), b = LoadResString(kStrSample2), c = LoadResString(kStrSample3);
    CRTFData d;
    d.mode = kRtfFormatRtf;
    d.buffer = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}"
               "\\pard\\f0\\fs20 " +
               RtfEscape(a) + " {\\b " + RtfEscape(b) + "} {\\i\\cf2 " + RtfEscape(c) + "}\\par}";
    d.text = a + " " + b + " " + c + "\r\n";
    return d;
}

CQuestionForm CQuestionForm::FromLabel(const CTextLabel& label)
{
    CQuestionForm f;
    CResponseMap converted;
    CopyResponses(label.responses, &converted);
    for (const auto& [key, block] : converted.Entries()) f.rows.push_back({key, block ? *block : CRTFData()});
    f.mode = label.GetResponseMode();
    f.number = label.question.number;
    f.correctAnswer = label.question.correctAnswer;
    f.border = (label.flags & TF_BORDER) != 0;
    f.selected = f.rows.empty() ? -1 : 0;
    return f;
}

void CQuestionForm::ApplyTo(CTextLabel& label) const
{
    CResponseMap map;
    ToResponses(&map);
    // A label that names no question keeps 0: the file's 16-bit number
    // would otherwise make -1 question 65535, and the range would grow to
    // hold it.
    const WORD n = NumberEnabled() && number > 0 ? static_cast<WORD>(number) : 0;
    label.ApplyQuestionSettings(n, correctAnswer, mode, map, border);
}

int CQuestionForm::FindKey(const CString& key) const
{
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].key == key) return static_cast<int>(i);
    return -1;
}

bool CQuestionForm::HasSpecialCode() const
{
    return std::any_of(rows.begin(), rows.end(), [](const CQuestionResponse& r) { return IsSpecialKey(r.key); });
}

void CQuestionForm::SetMode(int newMode)
{
    const char* code = nullptr;
    uint32_t remark = 0;
    switch (newMode) {
    case QF_MODE_SCORE: code = kScoreCode, remark = kStrCodeScore; break;
    case QF_MODE_USER: code = kUserCode, remark = kStrCodeUser; break;
    case QF_MODE_CORRECT: code = kCorrectCode, remark = kStrCodeCorrect; break;
    default: break;
    }
    mode = newMode;
    if (code) {
        rows.clear();
        rows.push_back({CString(code), PlainRemark(LoadResString(remark))});
        selected = 0;
    } else if (newMode == QF_MODE_REMARKS) {
        rows.clear();
        selected = -1;
        CString ignored;
        NewResponse(&ignored);
    }
}

bool CQuestionForm::NewResponse(CString* message)
{
    if (HasSpecialCode()) {
        *message = LoadResString(kStrSpecialAlone);
        return false;
    }
    runningNumber = rows.empty() ? 1 : runningNumber + 1;
    const CString base = LoadResString(kStrSomeAnswer);
    CString key;
    for (;; ++runningNumber) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%i", runningNumber);
        key = base + digits;
        if (FindKey(key) < 0) break;
    }
    rows.push_back({key, SampleRemark()});
    selected = static_cast<int>(rows.size()) - 1;
    return true;
}

void CQuestionForm::RemoveSelected()
{
    if (selected < 0 || selected >= static_cast<int>(rows.size())) return;
    rows.erase(rows.begin() + selected);
    if (rows.empty()) selected = -1;
    else if (selected >= static_cast<int>(rows.size())) selected = 0;
}

int CQuestionForm::EntryOfKey(const CString& key)
{
    for (int e = 0; e < QF_ENTRY_OTHER; ++e)
        if (QuestionEntryKey(e) == key) return e;
    return QF_ENTRY_OTHER;
}

void CQuestionForm::ChooseEntry(int entry)
{
    if (entry < 0 || entry >= QF_ENTRY_COUNT) return;
    CString key = QuestionEntryKey(entry);
    if (entry == QF_ENTRY_OTHER) {
        // Another answer: a row of its own to type the answer into, unless
        // the selected row already is one.
        if (selected >= 0 && EntryOfKey(rows[selected].key) == QF_ENTRY_OTHER) return;
        CString message;
        NewResponse(&message);
        return;
    }
    const int existing = FindKey(key);
    if (existing >= 0) {
        selected = existing;
    } else if (selected >= 0 && !IsSpecialKey(rows[selected].key)) {
        rows[selected].key = key;
    } else {
        if (HasSpecialCode()) return;
        rows.push_back({key, CRTFData()});
        selected = static_cast<int>(rows.size()) - 1;
    }
    if (rows[selected].remark.text.IsEmpty()) rows[selected].remark = PlainRemark(QuestionEntryRemark(entry));
}

bool CQuestionForm::RenameSelected(const CString& key)
{
    if (selected < 0 || key.IsEmpty()) return false;
    const int other = FindKey(key);
    if (other >= 0 && other != selected) return false;
    rows[selected].key = key;
    return true;
}

void CQuestionForm::SetRemark(const CRTFData& remark)
{
    if (selected >= 0 && selected < static_cast<int>(rows.size())) rows[selected].remark = remark;
}

void CQuestionForm::ClearRemark()
{
    if (selected >= 0 && selected < static_cast<int>(rows.size())) rows[selected].remark = CRTFData();
}

CQuestionForm::Check CQuestionForm::Validate() const
{
    Check c;
    if (NumberEnabled() && (number < LowestNumber() || number > kMaxQuestionNumber)) {
        char text[160];
        std::snprintf(text, sizeof text, LoadResString(kStrNumberRange).c_str(), LowestNumber(), kMaxQuestionNumber);
        c.verdict = Verdict::Refuse;
        c.message = text;
        return c;
    }
    if (HasSpecialCode() && rows.size() > 1) {
        c.verdict = Verdict::Refuse;
        c.message = LoadResString(kStrSpecialAlone);
        return c;
    }
    if (mode == QF_MODE_REMARKS) {
        if (rows.empty()) {
            c.verdict = Verdict::Refuse;
            c.message = LoadResString(kStrNoRemarks);
        } else if (FindKey(LoadResString(kStrWrong)) < 0) {
            c.verdict = Verdict::AcceptWithWarning;
            c.message = LoadResString(kStrNoWrong);
        }
    }
    return c;
}

void CQuestionForm::ToResponses(CResponseMap* out) const
{
    out->RemoveAll();
    for (const CQuestionResponse& r : rows) out->SetAt(r.key, std::make_unique<CRTFData>(r.remark));
}

bool CheckAnswerFileEntry(bool linked, const CString& path, CString* message)
{
    CString trimmed = path;
    while (!trimmed.IsEmpty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
    if (linked && trimmed.IsEmpty()) {
        *message = LoadResString(kStrAnswerFilePath);
        return false;
    }
    return true;
}
