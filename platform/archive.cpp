#include "platform/archive.h"

#include "platform/archive_reference.h"
#include "platform/text1252.h"

#include <QString>

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the archive copies numbers as little-endian bytes");

namespace {

constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr DWORD kBigClassTag = 0x80000000u;
constexpr WORD kBigObjectTag = 0x7FFF;
// Class names longer than this are refused, as the encoding's readers
// always have; it also bounds what a damaged name length can ask for.
constexpr WORD kMaxClassName = 64;
// Records nest (a part's children are records inside its record).  Real
// designs nest a handful of levels; the bound keeps a damaged or hostile
// archive from exhausting the stack.
constexpr int kMaxDepth = 200;


} // namespace

CArchive::CNestingGuard::CNestingGuard(CArchive& ar) : m_ar(ar)
{
    if (m_ar.m_depth >= kMaxDepth) throw CArchiveException(CArchiveException::genericException);
    ++m_ar.m_depth;
}

CArchive::CNestingGuard::~CNestingGuard() { --m_ar.m_depth; }

const char* CArchiveException::what() const noexcept
{
    switch (m_cause) {
    case none: return "archive: no error";
    case genericException: return "archive: damaged data";
    case readOnly: return "archive: written while loading";
    case endOfFile: return "archive: unexpected end of data";
    case writeOnly: return "archive: read while storing";
    case badIndex: return "archive: bad object index";
    case badClass: return "archive: bad class";
    case badSchema: return "archive: bad schema";
    }
    return "archive";
}

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(const void* data, size_t size)
    : m_mode(load), m_in(static_cast<const uint8_t*>(data)), m_size(size)
{
    m_load.push_back({}); // index 0: the null object
}

void CArchive::Need(size_t n)
{
    if (!IsLoading()) throw CArchiveException(CArchiveException::writeOnly);
    if (n > m_size - m_pos) {
        m_pos = m_size;
        throw CArchiveException(CArchiveException::endOfFile);
    }
}

void CArchive::Write(const void* p, size_t n)
{
    if (!IsStoring()) throw CArchiveException(CArchiveException::readOnly);
    const auto* b = static_cast<const uint8_t*>(p);
    m_out.insert(m_out.end(), b, b + n);
}

size_t CArchive::Read(void* p, size_t n)
{
    if (!IsLoading()) throw CArchiveException(CArchiveException::writeOnly);
    size_t k = std::min(n, m_size - m_pos);
    if (k) std::memcpy(p, m_in + m_pos, k);
    m_pos += k;
    return k;
}

void CArchive::ReadExact(void* p, size_t n)
{
    Need(n);
    if (n) std::memcpy(p, m_in + m_pos, n);
    m_pos += n;
}

CArchive& CArchive::operator<<(BYTE v) { Write(&v, 1); return *this; }
CArchive& CArchive::operator<<(WORD v) { Write(&v, 2); return *this; }
CArchive& CArchive::operator<<(LONG v) { Write(&v, 4); return *this; }
CArchive& CArchive::operator<<(DWORD v) { Write(&v, 4); return *this; }
CArchive& CArchive::operator<<(double v) { Write(&v, 8); return *this; }
CArchive& CArchive::operator<<(float v) { Write(&v, 4); return *this; }

CArchive& CArchive::operator>>(BYTE& v) { ReadExact(&v, 1); return *this; }
CArchive& CArchive::operator>>(WORD& v) { ReadExact(&v, 2); return *this; }
CArchive& CArchive::operator>>(LONG& v) { ReadExact(&v, 4); return *this; }
CArchive& CArchive::operator>>(DWORD& v) { ReadExact(&v, 4); return *this; }
CArchive& CArchive::operator>>(int16_t& v) { ReadExact(&v, 2); return *this; }
CArchive& CArchive::operator>>(int8_t& v) { ReadExact(&v, 1); return *this; }
CArchive& CArchive::operator>>(double& v) { ReadExact(&v, 8); return *this; }
CArchive& CArchive::operator>>(float& v) { ReadExact(&v, 4); return *this; }

CArchive& CArchive::operator<<(const CString& s)
{
    size_t n = s.size();
    if (n < 0xFF) {
        *this << static_cast<BYTE>(n);
    } else {
        *this << static_cast<BYTE>(0xFF);
        if (n < 0xFFFE) {
            *this << static_cast<WORD>(n);
        } else {
            *this << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(n);
        }
    }
    Write(s.data(), n);
    return *this;
}

CArchive& CArchive::operator>>(CString& s)
{
    auto readLength = [this](bool& wide) -> DWORD {
        BYTE b;
        *this >> b;
        if (b < 0xFF) return b;
        WORD w;
        *this >> w;
        if (w == 0xFFFE) {
            // 16-bit characters; the real length follows in the same form.
            wide = true;
            *this >> b;
            if (b < 0xFF) return b;
            *this >> w;
        }
        if (w < 0xFFFF) return w;
        DWORD d;
        *this >> d;
        return d;
    };
    bool wide = false;
    DWORD n = readLength(wide);
    uint64_t bytes = wide ? uint64_t(n) * 2 : n;
    Need(static_cast<size_t>(std::min<uint64_t>(bytes, SIZE_MAX)));
    if (!wide) {
        s.assign(reinterpret_cast<const char*>(m_in + m_pos), n);
    } else {
        std::u16string u(n, u'\0');
        std::memcpy(u.data(), m_in + m_pos, bytes);
        s = ToWindows1252(QString::fromUtf16(u.data(), static_cast<qsizetype>(n)));
    }
    m_pos += static_cast<size_t>(bytes);
    return *this;
}

// ---- storing object references ----

void CArchive::WriteIndexTag(DWORD index, bool isClass)
{
    if (index < kBigObjectTag) {
        *this << static_cast<WORD>(isClass ? (kClassTag | index) : index);
    } else {
        *this << kBigObjectTag << static_cast<DWORD>(isClass ? (kBigClassTag | index) : index);
    }
}

void CArchive::WriteNewClassOrTag(const CRuntimeClass* rc)
{
    auto it = m_storeMap.find(rc);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, true);
        return;
    }
    if (m_storeCount > kMaxMapCount) throw CArchiveException(CArchiveException::badIndex);
    size_t n = std::strlen(rc->m_lpszClassName);
    *this << kNewClassTag << static_cast<WORD>(rc->m_wSchema) << static_cast<WORD>(n);
    Write(rc->m_lpszClassName, n);
    m_storeMap.emplace(rc, m_storeCount++);
}

void CArchive::WriteClass(const CRuntimeClass* rc)
{
    if (!IsStoring()) throw CArchiveException(CArchiveException::readOnly);
    WriteNewClassOrTag(rc);
}

void CArchive::WriteObject(const CObject* obj)
{
    if (!IsStoring()) throw CArchiveException(CArchiveException::readOnly);
    if (!obj) {
        *this << kNullTag;
        return;
    }
    auto it = m_storeMap.find(obj);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, false);
        return;
    }
    WriteNewClassOrTag(obj->GetRuntimeClass());
    if (m_storeCount > kMaxMapCount) throw CArchiveException(CArchiveException::badIndex);
    // The object takes its index before its record, so references to it from
    // inside its own record are back references.
    m_storeMap.emplace(obj, m_storeCount++);
    const_cast<CObject*>(obj)->Serialize(*this);
}

void CArchive::WriteObjectRef(const CObject* obj)
{
    if (!IsStoring()) throw CArchiveException(CArchiveException::readOnly);
    auto it = obj ? m_storeMap.find(obj) : m_storeMap.end();
    if (it == m_storeMap.end()) {
        *this << kNullTag;
        return;
    }
    WriteIndexTag(it->second, false);
}

// ---- loading object references ----

DWORD CArchive::ReadTag(bool& newClass)
{
    WORD w;
    *this >> w;
    newClass = false;
    if (w == kBigObjectTag) {
        DWORD d;
        *this >> d;
        return d;
    }
    if (w == kNewClassTag) {
        newClass = true;
        return kBigClassTag;
    }
    return (DWORD(w & kClassTag) << 16) | DWORD(w & ~kClassTag);
}

DWORD CArchive::AddLoadEntry(const LoadEntry& e)
{
    if (m_load.size() > kMaxMapCount) throw CArchiveException(CArchiveException::badIndex);
    m_load.push_back(e);
    return static_cast<DWORD>(m_load.size() - 1);
}

const CRuntimeClass* CArchive::TryLoadNewClass(unsigned& schema, CArchiveException::Cause& cause)
{
    WORD wSchema, nLen;
    *this >> wSchema >> nLen;
    if (nLen >= kMaxClassName) throw CArchiveException(CArchiveException::badClass);
    char name[kMaxClassName + 1];
    ReadExact(name, nLen);
    name[nLen] = '\0';
    const CRuntimeClass* rc = CRuntimeClass::FromName(name);
    if (!rc || rc->m_wSchema != wSchema) {
        // The writer gave this class an index: keep the count in step so that
        // a reader that recovers from the failure still resolves the
        // references that follow.  A later use of the class fails again.
        AddLoadEntry({LoadEntry::kDeadClass, nullptr, nullptr});
        cause = rc ? CArchiveException::badSchema : CArchiveException::badClass;
        return nullptr;
    }
    schema = wSchema;
    AddLoadEntry({LoadEntry::kClass, rc, nullptr});
    return rc;
}

const CRuntimeClass* CArchive::LoadNewClass(unsigned& schema)
{
    CArchiveException::Cause cause = CArchiveException::none;
    const CRuntimeClass* rc = TryLoadNewClass(schema, cause);
    if (!rc) throw CArchiveException(cause);
    return rc;
}

CArchiveException::Cause CArchive::ClassIndexFailure(DWORD index) const
{
    if (index < m_load.size() && m_load[index].kind == LoadEntry::kDeadClass) return CArchiveException::badClass;
    if (index >= m_load.size() || m_load[index].kind != LoadEntry::kClass) return CArchiveException::badIndex;
    return CArchiveException::none;
}

const CRuntimeClass* CArchive::ClassAtIndex(DWORD index)
{
    if (CArchiveException::Cause cause = ClassIndexFailure(index)) throw CArchiveException(cause);
    return m_load[index].rc;
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pRequested, unsigned* pSchema)
{
    bool newClass;
    DWORD tag = ReadTag(newClass);
    if (!newClass && !(tag & kBigClassTag)) throw CArchiveException(CArchiveException::badIndex);
    unsigned schema = 0;
    const CRuntimeClass* rc = newClass ? LoadNewClass(schema) : ClassAtIndex(tag & ~kBigClassTag);
    if (!newClass) schema = rc->m_wSchema;
    if (pRequested && !rc->IsDerivedFrom(pRequested)) throw CArchiveException(CArchiveException::badClass);
    if (pSchema) *pSchema = schema;
    return rc;
}

CObject* CArchive::ReadNewObject(const CRuntimeClass* pRequested)
{
    return ReadObjectImpl(pRequested ? pRequested->m_lpszClassName : nullptr, RefMode::newOnly);
}

CObject* CArchive::ReadObjectRef(const CRuntimeClass* pRequested)
{
    return ReadObjectImpl(pRequested ? pRequested->m_lpszClassName : nullptr, RefMode::refOnly);
}

CObject* CArchive::ReadObjectRef(const char* requestedName)
{
    return ReadObjectImpl(requestedName, RefMode::refOnly);
}

CObject* CArchive::ReadObjectImpl(const char* requestedName, RefMode mode)
{
    if (!IsLoading()) throw CArchiveException(CArchiveException::writeOnly);
    bool newClass;
    DWORD tag = ReadTag(newClass);
    if (!newClass && !(tag & kBigClassTag)) {
        if (tag == 0) return nullptr;
        // A back reference.
        if (mode == RefMode::newOnly || tag >= m_load.size() || m_load[tag].kind != LoadEntry::kObject)
            throw CArchiveException(CArchiveException::badIndex);
        CObject* obj = m_load[tag].obj;
        if (requestedName && !obj->IsKindOf(requestedName))
            throw CArchiveException(CArchiveException::badClass);
        return obj;
    }
    if (mode == RefMode::refOnly) throw CArchiveException(CArchiveException::badClass);
    CNestingGuard depth(*this);
    // The writer counted an object index right after every class tag that
    // carried a class it knew.  When this reader cannot build the object
    // (unknown class, other schema, not the kind asked for, not creatable)
    // the index is still taken, as a dead entry, so that a reader that
    // recovers from the failure resolves the references after it.
    //
    // A failure raises once, here: an exception caught and raised again at
    // every level of nesting costs more than the rest of a damaged file's
    // reading under the sanitizers (each raise unpoisons the whole stack).
    const CRuntimeClass* rc = nullptr;
    unsigned schema = 0;
    if (newClass) {
        CArchiveException::Cause cause = CArchiveException::none;
        rc = TryLoadNewClass(schema, cause);
        if (!rc) {
            AddLoadEntry({LoadEntry::kDead, nullptr, nullptr});
            throw CArchiveException(cause);
        }
    } else {
        const DWORD classIndex = tag & ~kBigClassTag;
        if (CArchiveException::Cause cause = ClassIndexFailure(classIndex)) {
            if (classIndex < m_load.size()) AddLoadEntry({LoadEntry::kDead, nullptr, nullptr});
            throw CArchiveException(cause);
        }
        rc = m_load[classIndex].rc;
    }
    const DWORD index = AddLoadEntry({LoadEntry::kDead, nullptr, nullptr});
    if (requestedName && !rc->IsDerivedFrom(requestedName)) throw CArchiveException(CArchiveException::badClass);
    CObject* obj = rc->CreateObject();
    if (!obj) throw CMemoryException();
    m_load[index] = {LoadEntry::kObject, rc, obj};
    // When the record fails, the object and everything read inside its record
    // are gone: their indices die with them so that no later reference can
    // reach them.  Done while the failure passes (not caught and raised again).
    struct RecordGuard {
        CArchive& ar;
        size_t index;
        CObject* obj;
        ~RecordGuard()
        {
            if (!obj) return;
            for (size_t i = index; i < ar.m_load.size(); ++i) {
                if (ar.m_load[i].kind == LoadEntry::kObject) {
                    ar.m_load[i].kind = LoadEntry::kDead;
                    ar.m_load[i].obj = nullptr;
                }
            }
            delete obj;
        }
    } guard{*this, index, obj};
    obj->Serialize(*this);
    guard.obj = nullptr;
    return obj;
}

// A record that fails without a separator after it is searched to the end
// of the data, and a byte at a time through Read that was 6 % of the
// flowchart part-tree fuzz target's time.  At match state i the separator
// cannot end before len - i more bytes, and after a mismatch not before len
// more; so reading len - i bytes at a time and matching them one by one never
// reads past the separator's end, and leaves the archive where the byte
// loop would (ResyncArchiveReference, which the tests check it against).
bool ResyncArchive(CArchive& ar, const char* sep, int len)
{
    char chunk[256];
    int i = 0;
    try {
        while (i < len) {
            const size_t want = std::min<size_t>(size_t(len - i), sizeof chunk);
            const size_t got = ar.Read(chunk, want);
            for (size_t k = 0; k < got; ++k) {
                if (chunk[k] == sep[i])
                    ++i;
                else
                    i = 0;
            }
            if (got < want) return i >= len;
        }
    } catch (const CException&) {
        return false;
    }
    return true;
}

bool ResyncArchiveReference(CArchive& ar, const char* sep, int len)
{
    int i = 0;
    try {
        while (i < len) {
            BYTE b;
            if (ar.Read(&b, 1) != 1) return false;
            if (static_cast<char>(b) == sep[i])
                ++i;
            else
                i = 0;
        }
    } catch (const CException&) {
        return false;
    }
    return true;
}
