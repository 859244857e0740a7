// Runtime class records: every object that can be stored in an archive or
// created by name has one.  A record carries the class name, object size,
// schema number, the name of its declared base class and a factory.
//
// The declared base is looked up by name, so it can differ from the C++ base
// (an old class name kept for files can declare the class that replaced it as
// its base) and can name a class whose code lives in a library linked later.
// Kind-of tests walk the declared bases.
#pragma once

#include <cstdint>
#include <vector>

class CObject;
class CArchive;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const char* m_lpszBaseClassName; // null for the root class CObject

    // A new object of this class, or null when the class cannot be created.
    CObject* CreateObject() const;
    // The declared base's record, or null (root, or a base not registered).
    const CRuntimeClass* GetBaseClass() const;
    // True when this class or one of its declared bases is pBase (compared by
    // name, so two records of one name count as the same class).
    bool IsDerivedFrom(const CRuntimeClass* pBase) const;
    bool IsDerivedFrom(const char* baseName) const;
    bool IsNamed(const char* name) const;

    // The registered record of a name, or null.
    static const CRuntimeClass* FromName(const char* name);
    // A new object of the named class, or null.
    static CObject* CreateObject(const char* name);
    // Every registered record, in no particular order.
    static std::vector<const CRuntimeClass*> AllClasses();
};

// Enters a record in the table of classes by name.  The first record of a
// name wins and a second one is ignored (reported by the return value),
// except that a weak record gives way to a later ordinary one: tests enter
// weak stand-ins for base classes that a later library defines, and the
// real class replaces them whatever the order of static initialisation.
bool RegisterRuntimeClass(const CRuntimeClass* rc, bool weak = false);

// Registers a record when constructed; one static instance per class.
struct CClassRegistrar {
    explicit CClassRegistrar(const CRuntimeClass* rc, bool weak = false) { RegisterRuntimeClass(rc, weak); }
};

class CObject {
public:
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& ar);

    bool IsKindOf(const CRuntimeClass* rc) const;
    bool IsKindOf(const char* className) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(name) (&name::class##name)

// In the class body: the record and its overrides.
#define WB_DECLARE_SERIAL(name)                                  \
public:                                                           \
    static const CRuntimeClass class##name;                      \
    const CRuntimeClass* GetRuntimeClass() const override;       \
    static CObject* CreateObject();

// In one source file: the record, the factory and the registration.
// base is the declared base's name as text, schema the schema number.
#define WB_IMPLEMENT_SERIAL(name, baseName, schema)                             \
    CObject* name::CreateObject() { return new name; }                           \
    const CRuntimeClass name::class##name = {#name, static_cast<int>(sizeof(name)), \
                                             schema, &name::CreateObject, baseName}; \
    const CRuntimeClass* name::GetRuntimeClass() const { return &class##name; }  \
    static const CClassRegistrar s_register_##name(&name::class##name);

// A class with a record but no factory (abstract or not creatable by name).
#define WB_IMPLEMENT_RUNTIMECLASS(name, baseName, schema)                       \
    CObject* name::CreateObject() { return nullptr; }                            \
    const CRuntimeClass name::class##name = {#name, static_cast<int>(sizeof(name)), \
                                             schema, nullptr, baseName};         \
    const CRuntimeClass* name::GetRuntimeClass() const { return &class##name; }  \
    static const CClassRegistrar s_register_##name(&name::class##name);
