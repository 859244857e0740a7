// The CPart record: child list, base data and trailer.
#include "model/parts/part_records.h"
#include "model/text/text_classes.h"

#include "model/parts/catalogue.h"
#include "model/parts/part.h"

const char kSepTree[8] = {'+', '_', '@', 'T', 'R', '#', '^', ')'};
const char kSepGroupChild[8] = {'~', '$', '+', ']', 'O', 'B', '@', '#'};
const char kSepChild[8] = {'@', ':', '!', '_', 'B', 'M', '{', '^'};
const char kTrailer[8] = {'T', 'e', 's', 't', 'B', 'C', 'M', '\0'};
const char kNullTree[] = "NULLTREE";

bool IsVersionAtLeast(WORD version, WORD min1, WORD min2)
{
    switch (VersionFamily(version)) {
    case 0: return false;
    case 1: return VersionRevision(version) >= (min1 & 0xFFF);
    case 2: return VersionRevision(version) >= (min2 & 0xFFF);
    default: return true;
    }
}

int ChildListMode(WORD version) { return HasFamily(version) && VersionRevision(version) >= 0x82 ? 2 : 0; }

void WriteRectAsWords(CArchive& ar, const CRect& r)
{
    ar << static_cast<WORD>(r.left) << static_cast<WORD>(r.top) << static_cast<WORD>(r.right)
       << static_cast<WORD>(r.bottom);
}

void WriteSizeAsWords(CArchive& ar, const CSize& s) { ar << static_cast<WORD>(s.cx) << static_cast<WORD>(s.cy); }

void WritePairAsWords(CArchive& ar, int a, int b) { ar << static_cast<WORD>(a) << static_cast<WORD>(b); }

void ReadRectAsWords(CArchive& ar, CRect& r)
{
    int16_t l, t, rr, b;
    ar >> l >> t >> rr >> b;
    r.SetRect(l, t, rr, b);
}

void ReadSizeAsWords(CArchive& ar, CSize& s)
{
    int16_t cx, cy;
    ar >> cx >> cy;
    s = CSize(cx, cy);
}

void ReadPairAsWords(CArchive& ar, int& a, int& b)
{
    int16_t x, y;
    ar >> x >> y;
    a = x;
    b = y;
}

CPart* ReadPart(CArchive& ar)
{
    // Old files name old classes: their records must be registered in every
    // program that reads parts (this reference keeps them linked).
    static const bool legacy = LegacyClassesRegistered();
    static const bool text = TextPartClassesRegistered();
    (void)legacy;
    (void)text;
    return static_cast<CPart*>(ar.ReadNewObject(RUNTIME_CLASS(CPart)));
}

void CPart::Serialize(CArchive& ar)
{
    // A group of the part tree is written in mode 1 and without a trailer;
    // the design sets the one-shot flag just before each group.
    bool tree = ar.TakeTreeFlag();
    SerializeChildren(ar, tree ? 1 : ChildListMode(ar.GetVersion()));
    SerializeBase(ar);
    if (!tree) SerializeTrailer(ar);
}

void CPart::SerializeBase(CArchive& ar)
{
    const WORD v = ar.GetVersion();
    if (ar.IsStoring()) {
        WriteRectAsWords(ar, m_rect);
        // Selection is kept only in clipboard and undo data.
        if (v > 2) ar << static_cast<WORD>(ar.IsDocumentSerialization() ? 0 : m_bSelected);
        if (v > 3) ar << static_cast<WORD>(m_nOrientation);
        // The placeholder mark belongs to the load that set it (reading
        // clears it too): written, a second load and save would differ.
        if (v >= 400) ar << static_cast<WORD>(m_wFlags & ~PF_PLACEHOLDER);
        return;
    }
    ReadRectAsWords(ar, m_rect);
    WORD w;
    if (v > 2) {
        ar >> w;
        m_bSelected = w != 0;
    }
    if (v > 3) {
        ar >> w;
        // Codes beyond 0..7 would index the orientation tables of the part
        // classes; a damaged code reads as the unturned part.
        m_nOrientation = w <= 7 ? w : 0;
    }
    m_wFlags = 0;
    if (v >= 400) {
        ar >> w;
        m_wFlags = static_cast<WORD>(w & ~PF_PLACEHOLDER);
    }
}

void CPart::SerializeTrailer(CArchive& ar)
{
    const WORD v = ar.GetVersion();
    // Files without a family never carried the trailer, so it is written
    // and read only with one (the program always writes a family).
    if (v < 3 || !HasFamily(v)) return;
    if (ar.IsStoring()) {
        ar.Write(kTrailer, 8);
    } else {
        char skip[8];
        ar.ReadExact(skip, 8);
    }
}

namespace {

// Whether a part that failed to read is a part of a class this reader does
// not know (or not of the kind asked for): its record then begins where the
// archive stands, right after its class tag.
bool FailedAtItsClass(const CException& e)
{
    const auto* a = dynamic_cast<const CArchiveException*>(&e);
    return a && (a->m_cause == CArchiveException::badClass || a->m_cause == CArchiveException::badSchema);
}

// Reads the child list of owner.  A child that cannot be read is left to a
// placeholder where the list has separators (modes 1 and 2).  Inside a
// placeholder only a child of an unknown class gets a placeholder of its
// own: any other failure there means the bytes are not a record at all, and
// a placeholder for each of them would read the next two bytes as yet
// another record, one level deeper every time, down to the nesting limit
// (measured on mutated part trees: two thirds of all exceptions raised).
void ReadChildList(CPart& owner, CArchive& ar, int mode, bool inPlaceholder)
{
    const char* sep = mode == 1 ? kSepGroupChild : kSepChild;
    owner.DeleteChildren();
    CPart* last = nullptr;
    auto append = [&](CPart* p) {
        if (last)
            last->m_pNext = p;
        else
            owner.m_pFirstChild = p;
        last = p;
    };
    // Without separators (mode 0) a child that fails cannot be stepped over:
    // its failure passes on untouched, as catching it only to raise it again
    // costs a second unpoisoning of the whole stack at every level under
    // AddressSanitizer.
    const bool recover = mode == 1 || mode == 2;
    for (;;) {
        CPart* child = nullptr;
        if (!recover) {
            child = ReadPart(ar);
        } else {
            try {
                child = ReadPart(ar);
            } catch (const CException& e) {
                // At the end of the data no separator can follow, so nothing
                // is recovered: trying a placeholder there would only fail
                // again, one level deeper each time, down to the nesting limit
                // (hundreds of exceptions for every level of a truncated
                // design).
                if (ar.BytesLeft() == 0 || (inPlaceholder && !FailedAtItsClass(e))) throw;
                // A part that cannot be read (its class is unknown, say)
                // leaves its children and rectangle to a placeholder, which
                // reads them from where the part's record began; the rest of
                // the record is skipped up to the separator.
                CArchive::CNestingGuard nest(ar);
                auto* placeholder = new CPart;
                try {
                    ReadChildList(*placeholder, ar, ChildListMode(ar.GetVersion()), true);
                    placeholder->SerializeBase(ar);
                } catch (const CException&) {
                }
                if (!ResyncArchive(ar, sep, 8)) {
                    delete placeholder;
                    throw;
                }
                placeholder->m_wFlags |= PF_PLACEHOLDER;
                append(placeholder);
                continue;
            }
        }
        if (!child) break;
        append(child);
        if (recover) {
            char skip[8];
            ar.ReadExact(skip, 8);
        }
    }
}

} // namespace

void CPart::SerializeChildren(CArchive& ar, int mode)
{
    if (ar.IsStoring()) {
        const char* sep = mode == 1 ? kSepGroupChild : kSepChild;
        for (CPart* c = m_pFirstChild; c; c = c->m_pNext) {
            ar.WriteObject(c);
            if (mode == 1 || mode == 2) ar.Write(sep, 8);
        }
        ar.WriteObject(nullptr);
        return;
    }
    ReadChildList(*this, ar, mode, false);
}
