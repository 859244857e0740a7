// The archive: the byte format in which designs, clipboard data and undo
// snapshots travel.  An object graph in a tagged little-endian encoding:
//
//   WORD 16 bits, LONG/int/unsigned 32 bits, double 8 bytes IEEE 754, BYTE.
//   String: BYTE length < 255, else 0xFF + WORD length < 0xFFFE, else
//           0xFF 0xFFFF + LONG length; then the 8-bit characters.  0xFF 0xFFFE
//           marks a 16-bit string (read, converted, never written).
//   Object reference: WORD 0 null; a back reference is the object's index as
//           a WORD < 0x7FFF or 0x7FFF + LONG; a new object is its class and then
//           its record.  A class seen before is WORD 0x8000|index (or 0x7FFF +
//           LONG 0x80000000|index); a new class is WORD 0xFFFF, schema WORD,
//           name length WORD and the name.  Classes and objects share one
//           index count from 1 in order of first appearance; an object takes
//           its index before its record is read or written.
//
// The archive also carries the per-archive state that records depend on: the
// version word of the data being read or written, the one-shot tree flag and
// whether a document is being serialized (selection is then not stored).
//
// Reading is defensive: every count and index from the data is checked
// before it sizes or indexes anything, and damage raises CArchiveException.
// Objects that the reader creates are deleted again when their record fails,
// and their indices are then dead, so no later reference can reach them.
#pragma once

#include "platform/cstring.h"
#include "platform/runtimeclass.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <unordered_map>
#include <vector>

using BYTE = uint8_t;
using WORD = uint16_t;
using LONG = int32_t;
using DWORD = uint32_t;
using UINT = unsigned int;

class CException : public std::exception {
public:
    const char* what() const noexcept override { return "exception"; }
};

class CMemoryException : public CException {
public:
    const char* what() const noexcept override { return "out of memory"; }
};

class CArchiveException : public CException {
public:
    enum Cause {
        none,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
    };
    explicit CArchiveException(Cause cause) : m_cause(cause) {}
    const char* what() const noexcept override;
    Cause m_cause;
};

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // An archive that writes into a growing byte buffer.
    CArchive();
    // An archive that reads the given bytes (kept by the caller).
    CArchive(const void* data, size_t size);
    CArchive(const std::vector<uint8_t>& data) : CArchive(data.data(), data.size()) {}
    // The archive does not copy what it reads: a temporary would dangle.
    CArchive(std::vector<uint8_t>&&) = delete;

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    // Written bytes (storing).
    const std::vector<uint8_t>& GetBuffer() const { return m_out; }
    // Read position and the bytes left (loading).
    size_t GetPosition() const { return m_pos; }
    size_t BytesLeft() const { return m_size - m_pos; }

    // Raw bytes.  Read returns how many bytes it read (fewer at the end).
    void Write(const void* p, size_t n);
    size_t Read(void* p, size_t n);
    // Reads exactly n bytes or raises endOfFile.
    void ReadExact(void* p, size_t n);

    CArchive& operator<<(BYTE v);
    CArchive& operator<<(WORD v);
    CArchive& operator<<(LONG v);
    CArchive& operator<<(DWORD v);
    CArchive& operator<<(int16_t v) { return *this << static_cast<WORD>(v); }
    CArchive& operator<<(int8_t v) { return *this << static_cast<BYTE>(v); }
    CArchive& operator<<(double v);
    CArchive& operator<<(float v);
    CArchive& operator<<(const CString& s);

    CArchive& operator>>(BYTE& v);
    CArchive& operator>>(WORD& v);
    CArchive& operator>>(LONG& v);
    CArchive& operator>>(DWORD& v);
    CArchive& operator>>(int16_t& v);
    CArchive& operator>>(int8_t& v);
    CArchive& operator>>(double& v);
    CArchive& operator>>(float& v);
    CArchive& operator>>(CString& s);

    // Object references.  WriteObject writes null, a back reference or the
    // whole object (class, then its Serialize).
    void WriteObject(const CObject* obj);
    // Writes null or a back reference only: an object that has not been
    // written yet is written as null, so a reference never carries an object
    // that no owner would take.
    void WriteObjectRef(const CObject* obj);

    // Reads an object that the caller will own: null or a new object whose
    // class is a kind of pRequested (any class when null).  A back reference
    // here would give one object two owners and raises badIndex.
    CObject* ReadNewObject(const CRuntimeClass* pRequested);
    // Reads a reference to an object read earlier: null or a back reference
    // to a live object whose class is a kind of pRequested (by name; any when
    // null).  A new object here raises badClass.
    CObject* ReadObjectRef(const CRuntimeClass* pRequested);
    CObject* ReadObjectRef(const char* requestedName);

    // The reader deleted these objects after reading them: their indices
    // die, so a later reference to one raises badIndex.
    template <class Set>
    void ForgetObjects(const Set& gone)
    {
        for (LoadEntry& e : m_load)
            if (e.kind == LoadEntry::kObject && gone.count(e.obj)) {
                e.kind = LoadEntry::kDead;
                e.obj = nullptr;
            }
    }

    // Class tags on their own.
    void WriteClass(const CRuntimeClass* rc);
    const CRuntimeClass* ReadClass(const CRuntimeClass* pRequested, unsigned* pSchema = nullptr);

    // Per-archive state.
    WORD GetVersion() const { return m_version; }
    void SetVersion(WORD v) { m_version = v; }
    // The one-shot tree flag: set before a group of the part tree is written
    // or read; the group's record takes (and clears) it.
    void SetTreeFlag() { m_treeFlag = true; }
    bool TakeTreeFlag()
    {
        bool f = m_treeFlag;
        m_treeFlag = false;
        return f;
    }
    bool PeekTreeFlag() const { return m_treeFlag; }
    // Set while a document (file or embedding) is serialized, as opposed to
    // clipboard and undo data.
    bool IsDocumentSerialization() const { return m_document; }
    void SetDocumentSerialization(bool on) { m_document = on; }

    // Entries in the shared index (classes and objects), for tests.
    size_t GetMapCount() const { return IsStoring() ? m_storeCount : m_load.size(); }

    // Counts one level of record nesting for readers that nest records
    // outside ReadNewObject (recovery readers); raises genericException past
    // the limit.
    class CNestingGuard {
    public:
        explicit CNestingGuard(CArchive& ar);
        ~CNestingGuard();
        CNestingGuard(const CNestingGuard&) = delete;
        CNestingGuard& operator=(const CNestingGuard&) = delete;

    private:
        CArchive& m_ar;
    };

    // The largest index the encoding can carry.
    static constexpr DWORD kMaxMapCount = 0x3FFFFFFE;

private:
    struct LoadEntry {
        enum Kind : uint8_t { kNull, kClass, kObject, kDead, kDeadClass } kind = kNull;
        const CRuntimeClass* rc = nullptr;
        CObject* obj = nullptr;
    };

    enum class RefMode { newOnly, refOnly };
    CObject* ReadObjectImpl(const char* requestedName, RefMode mode);
    void WriteNewClassOrTag(const CRuntimeClass* rc);
    void WriteIndexTag(DWORD index, bool isClass);
    // Reads a tag; returns the raw 32-bit form (0x80000000 set for classes)
    // and tells whether it was a new class.
    DWORD ReadTag(bool& newClass);
    const CRuntimeClass* LoadNewClass(unsigned& schema);
    // As LoadNewClass, but a class this reader cannot use (unknown, other
    // schema) returns null with its cause instead of raising; its index is
    // taken as dead.  Damage before the index is taken still raises.
    const CRuntimeClass* TryLoadNewClass(unsigned& schema, CArchiveException::Cause& cause);
    const CRuntimeClass* ClassAtIndex(DWORD index);
    // Why the index names no usable class (none when it does).
    CArchiveException::Cause ClassIndexFailure(DWORD index) const;
    DWORD AddLoadEntry(const LoadEntry& e);
    void Need(size_t n);

    Mode m_mode;
    std::vector<uint8_t> m_out;
    const uint8_t* m_in = nullptr;
    size_t m_size = 0;
    size_t m_pos = 0;

    // Storing: index of every class and object written.
    std::unordered_map<const void*, DWORD> m_storeMap;
    DWORD m_storeCount = 1;
    // Loading: entry 0 is the null object.
    std::vector<LoadEntry> m_load;

    int m_depth = 0;
    WORD m_version = 0x20B8;
    bool m_treeFlag = false;
    bool m_document = false;
};

// Reads bytes until the eight bytes of sep have been read in a row; true
// when found.  A mismatching byte restarts the match without being tried as
// the separator's first byte again.
bool ResyncArchive(CArchive& ar, const char* sep, int len = 8);
