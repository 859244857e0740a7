#include "platform/runtimeclass.h"

#include <cstring>
#include <string>
#include <unordered_map>

namespace {

// The table of classes by name.  Filled by static registration before main
// and read-only afterwards.
struct Entry {
    const CRuntimeClass* rc;
    bool weak;
};

std::unordered_map<std::string, Entry>& Registry()
{
    static std::unordered_map<std::string, Entry> table;
    return table;
}

} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                             nullptr, nullptr};
static const CClassRegistrar s_register_CObject(&CObject::classCObject);

bool RegisterRuntimeClass(const CRuntimeClass* rc, bool weak)
{
    auto [it, added] = Registry().emplace(rc->m_lpszClassName, Entry{rc, weak});
    if (added) return true;
    if (it->second.weak && !weak) {
        it->second = Entry{rc, false};
        return true;
    }
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name)
{
    if (!name) return nullptr;
    const auto& t = Registry();
    auto it = t.find(name);
    return it == t.end() ? nullptr : it->second.rc;
}

CObject* CRuntimeClass::CreateObject(const char* name)
{
    const CRuntimeClass* rc = FromName(name);
    return rc ? rc->CreateObject() : nullptr;
}

std::vector<const CRuntimeClass*> CRuntimeClass::AllClasses()
{
    std::vector<const CRuntimeClass*> out;
    for (const auto& [name, e] : Registry()) out.push_back(e.rc);
    return out;
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

const CRuntimeClass* CRuntimeClass::GetBaseClass() const
{
    return m_lpszBaseClassName ? FromName(m_lpszBaseClassName) : nullptr;
}

bool CRuntimeClass::IsNamed(const char* name) const
{
    return name && std::strcmp(m_lpszClassName, name) == 0;
}

bool CRuntimeClass::IsDerivedFrom(const char* baseName) const
{
    if (!baseName) return false;
    // The walk follows declared base names; a name that is not registered
    // ends it.  The depth bound guards against a cycle of declared bases.
    const CRuntimeClass* rc = this;
    const char* name = m_lpszClassName;
    for (int depth = 0; depth < 64 && name; ++depth) {
        if (std::strcmp(name, baseName) == 0) return true;
        name = rc ? rc->m_lpszBaseClassName : nullptr;
        rc = name ? FromName(name) : nullptr;
    }
    return false;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBase) const
{
    return pBase && IsDerivedFrom(pBase->m_lpszClassName);
}

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CObject::IsKindOf(const CRuntimeClass* rc) const { return GetRuntimeClass()->IsDerivedFrom(rc); }

bool CObject::IsKindOf(const char* className) const { return GetRuntimeClass()->IsDerivedFrom(className); }
