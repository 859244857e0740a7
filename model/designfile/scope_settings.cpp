#include "model/designfile/scope_settings.h"

WB_IMPLEMENT_SERIAL(CScale, "CObject", 4)

namespace {

void SerializeWords(CArchive& ar, WORD* words, int n)
{
    for (int i = 0; i < n; ++i) {
        if (ar.IsStoring())
            ar << words[i];
        else
            ar >> words[i];
    }
}

void SerializeDword(CArchive& ar, DWORD& v)
{
    if (ar.IsStoring())
        ar << v;
    else
        ar >> v;
}

void SerializeDouble(CArchive& ar, double& v)
{
    if (ar.IsStoring())
        ar << v;
    else
        ar >> v;
}

} // namespace
DWORD ScaleQuantityBit(int index)
{
    if (index < 0 || index > 14) return 0;
    if (index <= 10) return DWORD(1) << index;
    static const DWORD high[] = {4096, 8192, 0x4000, 0x8000};
    return high[index - 11];
}

// ---- CScale ----

void CScale::Serialize(CArchive& ar)
{
    const WORD v = ar.GetVersion();
    if (v > 3) {
        DWORD count = 2;
        SerializeDword(ar, count);
        if (ar.IsLoading() && count != 2) throw CArchiveException(CArchiveException::badIndex);
        for (Graph& g : graph) {
            SerializeDouble(ar, g.maximum);
            SerializeDouble(ar, g.minimum);
            SerializeDword(ar, g.prefixCode);
            SerializeWords(ar, g.channel.data(), 4);
            SerializeWords(ar, g.difference.data(), 2);
            SerializeDword(ar, g.quantityIndex);
        }
        SerializeDouble(ar, timePerDivision);
        SerializeDword(ar, setting1);
        SerializeWords(ar, &setting2, 1);
        SerializeDword(ar, setting3);
        return;
    }
    SerializeDouble(ar, timePerDivision);
    SerializeDouble(ar, graph[0].maximum);
    SerializeDouble(ar, graph[0].minimum);
    SerializeDword(ar, setting1);
    SerializeDword(ar, graph[0].prefixCode);
    SerializeWords(ar, graph[0].difference.data(), 2);
    SerializeWords(ar, &setting2, 1);
}
