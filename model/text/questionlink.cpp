#include "model/text/questionlink.h"

namespace {
CQuestionSource* g_source = nullptr;
}

CQuestionSource* CQuestionSource::Current() { return g_source; }

CQuestionSource* CQuestionSource::Install(CQuestionSource* source)
{
    CQuestionSource* old = g_source;
    g_source = source;
    return old;
}

CQuestionLink::~CQuestionLink()
{
    if (range && g_source) g_source->Release(this);
    range = nullptr;
}

void CQuestionLink::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << correctAnswer << userAnswer << number << static_cast<WORD>(pictureSelected) << static_cast<WORD>(kind);
        return;
    }
    WORD selected = 0, k = 0;
    ar >> correctAnswer >> userAnswer >> number >> selected >> k;
    pictureSelected = selected;
    kind = k;
}

CArchive& operator<<(CArchive& ar, CQuestionLink& q)
{
    q.Serialize(ar);
    return ar;
}

CArchive& operator>>(CArchive& ar, CQuestionLink& q)
{
    q.Serialize(ar);
    return ar;
}
