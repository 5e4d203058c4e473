// CObject and its run-time class records: class names, dynamic creation, serialisation schemas, kind tests.
#pragma once

#include <windows.h>

#ifndef AFXAPI
#define AFXAPI
#endif
#ifndef AFX_CDECL
#define AFX_CDECL
#endif

class CObject;
class CArchive;

// A class whose stored layout may differ from its current one reads older schemas itself (GetObjectSchema).
#define VERSIONABLE_SCHEMA (0x80000000)

// The run-time description of a class. Records are built by the IMPLEMENT_ macros as constant data and linked
// into one process-wide list while static objects are constructed, so FromName finds every linked-in class.
struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema; // 0xFFFF: not serialisable
    CObject*(PASCAL* m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;
    const void* m_pClassInit;

    // A new object of this class, or NULL when the class has no dynamic creation or memory ran out.
    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Exact, case-sensitive class names; NULL when no linked-in class has that name.
    static CRuntimeClass* PASCAL FromName(LPCSTR lpszClassName);
    static CRuntimeClass* PASCAL FromName(LPCWSTR lpszClassName);
    static CObject* PASCAL CreateObject(LPCSTR lpszClassName);
    static CObject* PASCAL CreateObject(LPCWSTR lpszClassName);

    // The archive's class record: the schema as a WORD, the name's length as a WORD, the narrow name.
    void Store(CArchive& ar) const;
    // Reads a class record; NULL when the named class is unknown. Data that ends early raises endOfFile.
    static CRuntimeClass* PASCAL Load(CArchive& ar, UINT* pwSchemaNum);
};

// Links a class record into the process-wide list (used by the IMPLEMENT_ macros).
struct AFX_CLASSINIT
{
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

// The first record of the list (walk it with m_pNextClass).
CRuntimeClass* AFXAPI AfxGetFirstRuntimeClass();

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                                                    \
public:                                                                                                                \
    static CRuntimeClass class##class_name;                                                                            \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                                                  \
    DECLARE_DYNAMIC(class_name)                                                                                        \
    static CObject* PASCAL CreateObject();

#define DECLARE_SERIAL(class_name)                                                                                     \
    DECLARE_DYNCREATE(class_name)                                                                                      \
    friend CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                                           \
    CRuntimeClass class_name::class##class_name = {#class_name,                                                        \
                                                   static_cast<int>(sizeof(class class_name)),                         \
                                                   static_cast<UINT>(wSchema),                                         \
                                                   pfnNew,                                                             \
                                                   RUNTIME_CLASS(base_class_name),                                     \
                                                   nullptr,                                                            \
                                                   nullptr};                                                           \
    static const AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);                                     \
    CRuntimeClass* class_name::GetRuntimeClass() const                                                                 \
    {                                                                                                                  \
        return RUNTIME_CLASS(class_name);                                                                              \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                                                 \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                                               \
    CObject* PASCAL class_name::CreateObject()                                                                         \
    {                                                                                                                  \
        return new class_name;                                                                                         \
    }                                                                                                                  \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                                         \
    CObject* PASCAL class_name::CreateObject()                                                                         \
    {                                                                                                                  \
        return new class_name;                                                                                         \
    }                                                                                                                  \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject)                             \
    [[maybe_unused]] CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb)                                       \
    {                                                                                                                  \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));                                      \
        return ar;                                                                                                     \
    }

class CObject
{
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    BOOL IsSerializable() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    // Storing writes this object's data into the archive; loading reads it back. The base does nothing.
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const {}

    static CRuntimeClass classCObject;

protected:
    CObject() = default;
};

// pObject when it is of class pClass or a class derived from it, else NULL (also for NULL).
CObject* AFXAPI AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject);

#define DYNAMIC_DOWNCAST(class_name, object)                                                                           \
    (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), (object))))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))

#ifndef ASSERT_KINDOF
#define ASSERT_KINDOF(class_name, object) ((void)0)
#endif
