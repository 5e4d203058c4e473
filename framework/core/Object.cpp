#include "framework/core/Object.h"

#include "framework/core/Archive.h"
#include "framework/core/Exceptions.h"

#include <cstring>
#include <new>
#include <string>

namespace {

// Zero-initialised before any constructor runs, so records may link themselves in from any translation unit.
CRuntimeClass* g_firstClass = nullptr;

} // namespace

CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr, nullptr,
                                       nullptr};
static const AFX_CLASSINIT _init_CObject(&CObject::classCObject);

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    pNewClass->m_pNextClass = g_firstClass;
    g_firstClass = pNewClass;
}

CRuntimeClass* AFXAPI AfxGetFirstRuntimeClass()
{
    return g_firstClass;
}

CObject* CRuntimeClass::CreateObject()
{
    if (!m_pfnCreateObject)
        return nullptr;
    try {
        return m_pfnCreateObject();
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (CMemoryException* e) {
        e->Delete();
        return nullptr;
    }
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* cls = this; cls; cls = cls->m_pBaseClass) {
        if (cls == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    for (CRuntimeClass* cls = g_firstClass; cls; cls = cls->m_pNextClass) {
        if (std::strcmp(cls->m_lpszClassName, lpszClassName) == 0)
            return cls;
    }
    return nullptr;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCWSTR lpszClassName)
{
    if (!lpszClassName)
        return nullptr;
    // Class names are plain identifiers: anything outside ASCII cannot name one.
    std::string narrow;
    for (const wchar_t* p = lpszClassName; *p; ++p) {
        if (*p > 0x7F)
            return nullptr;
        narrow += static_cast<char>(*p);
    }
    return FromName(narrow.c_str());
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCSTR lpszClassName)
{
    CRuntimeClass* cls = FromName(lpszClassName);
    return cls ? cls->CreateObject() : nullptr;
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCWSTR lpszClassName)
{
    CRuntimeClass* cls = FromName(lpszClassName);
    return cls ? cls->CreateObject() : nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const
{
    const size_t length = std::strlen(m_lpszClassName);
    ar << static_cast<WORD>(m_wSchema) << static_cast<WORD>(length);
    ar.Write(m_lpszClassName, static_cast<UINT>(length));
}

CRuntimeClass* PASCAL CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    WORD schema = 0;
    WORD length = 0;
    ar >> schema >> length;
    std::string name(length, '\0');
    if (length > 0 && ar.Read(&name[0], length) != length)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    if (name.find('\0') != std::string::npos)
        return nullptr;
    CRuntimeClass* cls = FromName(name.c_str());
    if (cls && pwSchemaNum)
        *pwSchemaNum = schema;
    return cls;
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}

CObject::~CObject() = default;

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

void CObject::Serialize(CArchive&) {}

CObject* AFXAPI AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject)
{
    return pObject && pObject->IsKindOf(pClass) ? pObject : nullptr;
}
