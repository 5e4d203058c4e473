#include "framework/core/Archive.h"

#include "framework/core/File.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

// Objects and classes share one index space per archive; index 0 is the null object.
struct CArchive::MapState
{
    struct Loaded
    {
        void* p;
        bool isClass;
        UINT schema;
    };
    std::unordered_map<const void*, DWORD> stored;
    std::vector<Loaded> loaded{Loaded{nullptr, false, 0}};
    DWORD count = 1;
};

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pDocument(nullptr), m_pFile(pFile), m_nMode(nMode), m_nObjectSchema(static_cast<UINT>(-1)),
      m_nBufSize(nBufSize < 128 ? 128u : static_cast<UINT>(nBufSize)), m_bUserBuf(lpBuf != nullptr), m_pMaps(nullptr)
{
    if (m_bUserBuf && nBufSize < 128)
        m_bUserBuf = FALSE; // too small to use; take our own
    m_lpBufStart = m_bUserBuf ? static_cast<BYTE*>(lpBuf) : new BYTE[m_nBufSize];
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
    if (m_pFile)
        m_strFileName = m_pFile->GetFilePath();
}

CArchive::~CArchive()
{
    if (m_pFile && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    if (!m_bUserBuf)
        delete[] m_lpBufStart;
    delete m_pMaps;
}

BOOL CArchive::IsBufferEmpty() const
{
    return m_lpBufCur == m_lpBufMax;
}

UINT CArchive::GetObjectSchema()
{
    const UINT schema = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return schema;
}

void CArchive::CheckStoring() const
{
    if (!IsStoring())
        AfxThrowArchiveException(CArchiveException::readOnly, m_strFileName);
    if (!m_pFile)
        AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
}

void CArchive::CheckLoading() const
{
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, m_strFileName);
    if (!m_pFile)
        AfxThrowArchiveException(CArchiveException::genericException, m_strFileName);
}

void CArchive::FillBuffer()
{
    const UINT got = m_pFile->Read(m_lpBufStart, m_nBufSize);
    m_lpBufCur = m_lpBufStart;
    m_lpBufMax = m_lpBufStart + got;
}

void CArchive::FlushBuffer()
{
    const UINT pending = static_cast<UINT>(m_lpBufCur - m_lpBufStart);
    m_lpBufCur = m_lpBufStart;
    if (pending > 0)
        m_pFile->Write(m_lpBufStart, pending);
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    CheckLoading();
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        UINT available = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (available == 0) {
            if (nMax - done >= m_nBufSize) {
                // Large reads bypass the buffer.
                const UINT got = m_pFile->Read(out + done, nMax - done);
                done += got;
                break;
            }
            FillBuffer();
            available = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
            if (available == 0)
                break;
        }
        const UINT take = available < nMax - done ? available : nMax - done;
        std::memcpy(out + done, m_lpBufCur, take);
        m_lpBufCur += take;
        done += take;
    }
    return done;
}

void CArchive::ReadExact(void* lpBuf, UINT nBytes)
{
    if (Read(lpBuf, nBytes) != nBytes)
        AfxThrowArchiveException(CArchiveException::endOfFile, m_strFileName);
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    CheckStoring();
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    while (nMax > 0) {
        UINT space = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (space == 0) {
            FlushBuffer();
            space = m_nBufSize;
        }
        if (m_lpBufCur == m_lpBufStart && nMax >= m_nBufSize) {
            m_pFile->Write(in, nMax);
            return;
        }
        const UINT take = space < nMax ? space : nMax;
        std::memcpy(m_lpBufCur, in, take);
        m_lpBufCur += take;
        in += take;
        nMax -= take;
    }
}

void CArchive::Flush()
{
    if (!m_pFile)
        return;
    if (IsStoring()) {
        FlushBuffer();
    } else if (m_lpBufMax != m_lpBufCur) {
        m_pFile->Seek(-static_cast<LONGLONG>(m_lpBufMax - m_lpBufCur), CFile::current);
        m_lpBufCur = m_lpBufMax = m_lpBufStart;
    }
}

void CArchive::Close()
{
    if (!m_pFile)
        return;
    if (IsStoring())
        FlushBuffer();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
}

CArchive::MapState& CArchive::Maps()
{
    if (!m_pMaps)
        m_pMaps = new MapState;
    return *m_pMaps;
}

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
        return;
    }
    *this << static_cast<WORD>(0xFFFF);
    if (static_cast<ULONGLONG>(dwCount) < 0xFFFFFFFFull) {
        *this << static_cast<DWORD>(dwCount);
        return;
    }
    *this << static_cast<DWORD>(0xFFFFFFFF) << static_cast<ULONGLONG>(dwCount);
}

DWORD_PTR CArchive::ReadCount()
{
    WORD wCount = 0;
    *this >> wCount;
    if (wCount != 0xFFFF)
        return wCount;
    DWORD dwCount = 0;
    *this >> dwCount;
    if (dwCount != 0xFFFFFFFF)
        return dwCount;
    ULONGLONG qwCount = 0;
    *this >> qwCount;
    return static_cast<DWORD_PTR>(qwCount);
}

namespace {

void WriteTag(CArchive& ar, DWORD index, bool isClass)
{
    if (index < CArchive::wBigObjectTag) {
        ar << static_cast<WORD>(isClass ? (CArchive::wClassTag | index) : index);
    } else {
        ar << CArchive::wBigObjectTag << static_cast<DWORD>(isClass ? (CArchive::dwBigClassTag | index) : index);
    }
}

} // namespace

void CArchive::WriteClass(const CRuntimeClass* pClassRef)
{
    CheckStoring();
    MapState& maps = Maps();
    const auto found = maps.stored.find(pClassRef);
    if (found != maps.stored.end()) {
        WriteTag(*this, found->second, true);
        return;
    }
    if (maps.count >= nMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    *this << wNewClassTag;
    pClassRef->Store(*this);
    maps.stored.emplace(pClassRef, maps.count++);
}

void CArchive::WriteObject(const CObject* pOb)
{
    CheckStoring();
    if (!pOb) {
        *this << wNullTag;
        return;
    }
    MapState& maps = Maps();
    const auto found = maps.stored.find(pOb);
    if (found != maps.stored.end()) {
        WriteTag(*this, found->second, false);
        return;
    }
    WriteClass(pOb->GetRuntimeClass());
    if (maps.count >= nMaxMapCount) {
        delete pOb;
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    }
    // Mapped before its data, so that objects inside it can refer back to it.
    maps.stored.emplace(pOb, maps.count++);
    const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag)
{
    CheckLoading();
    MapState& maps = Maps();
    WORD wTag = 0;
    *this >> wTag;
    DWORD obTag;
    if (wTag == wBigObjectTag)
        *this >> obTag;
    else
        obTag = (static_cast<DWORD>(wTag & wClassTag) << 16) | (wTag & ~wClassTag);

    if (!(obTag & dwBigClassTag)) {
        // An object reference where only a class may stand.
        if (!pObTag)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        *pObTag = obTag;
        return nullptr;
    }

    CRuntimeClass* pClassRef;
    UINT nSchema;
    if (wTag == wNewClassTag) {
        nSchema = 0;
        pClassRef = CRuntimeClass::Load(*this, &nSchema);
        if (!pClassRef)
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        if ((pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) != nSchema && !(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
            AfxThrowArchiveException(CArchiveException::badSchema, m_strFileName);
        if (maps.count >= nMaxMapCount)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        maps.loaded.push_back(MapState::Loaded{pClassRef, true, nSchema});
        ++maps.count;
    } else {
        const DWORD index = obTag & ~dwBigClassTag;
        // Only classes read earlier may be named here; an object's index is not a class.
        if (index == 0 || index >= maps.loaded.size() || !maps.loaded[index].isClass)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        pClassRef = static_cast<CRuntimeClass*>(maps.loaded[index].p);
        nSchema = maps.loaded[index].schema;
    }

    if (pClassRefRequested && !pClassRef->IsDerivedFrom(pClassRefRequested))
        AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
    if (pSchema)
        *pSchema = nSchema;
    else
        m_nObjectSchema = nSchema;
    if (pObTag)
        *pObTag = obTag;
    return pClassRef;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested)
{
    CheckLoading();
    UINT nSchema = 0;
    DWORD obTag = 0;
    CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);
    MapState& maps = Maps();

    if (!pClassRef) {
        if (obTag >= maps.loaded.size() || maps.loaded[obTag].isClass)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
        CObject* pOb = static_cast<CObject*>(maps.loaded[obTag].p);
        if (pOb && pClassRefRequested && !pOb->IsKindOf(pClassRefRequested))
            AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
        return pOb;
    }

    if (!pClassRef->m_pfnCreateObject)
        AfxThrowArchiveException(CArchiveException::badClass, m_strFileName);
    CObject* pOb = pClassRef->CreateObject();
    if (!pOb)
        AfxThrowMemoryException();
    if (maps.count >= nMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    // Mapped before its data, so that objects inside it can refer back to it.
    const size_t nIndex = maps.loaded.size();
    maps.loaded.push_back(MapState::Loaded{pOb, false, 0});
    ++maps.count;

    const UINT nSchemaSave = m_nObjectSchema;
    m_nObjectSchema = nSchema;
    try {
        pOb->Serialize(*this);
    } catch (...) {
        // Nobody holds the half-read object yet: without this it would leak with every damaged archive.
        maps.loaded[nIndex].p = nullptr;
        m_nObjectSchema = nSchemaSave;
        delete pOb;
        throw;
    }
    m_nObjectSchema = nSchemaSave;
    return pOb;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef)
{
    if (IsStoring())
        WriteClass(pClassRef);
    else
        ReadClass(pClassRef);
}

void CArchive::MapObject(const CObject* pOb)
{
    if (!pOb)
        return;
    MapState& maps = Maps();
    if (maps.count >= nMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    if (IsStoring()) {
        if (maps.stored.emplace(pOb, maps.count).second)
            ++maps.count;
    } else {
        maps.loaded.push_back(MapState::Loaded{const_cast<CObject*>(pOb), false, 0});
        ++maps.count;
    }
}

void CArchive::SetStoreParams(UINT nHashSize, UINT)
{
    if (IsStoring())
        Maps().stored.reserve(nHashSize);
}

void CArchive::SetLoadParams(UINT nGrowBy)
{
    if (IsLoading())
        Maps().loaded.reserve(nGrowBy);
}

// ---------------------------------------------------------------------------------------------------------------
// Strings

namespace {

const UINT kStringSlice = 0x8000; // characters read per step, so a corrupt length cannot claim memory early

void WriteStringLength(CArchive& ar, ULONGLONG length, bool wide)
{
    if (wide)
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFE);
    if (length < 0xFF) {
        ar << static_cast<BYTE>(length);
        return;
    }
    ar << static_cast<BYTE>(0xFF);
    // 0xFFFE after 0xFF would read as the wide marker, so WORD lengths stop below it.
    if (length < 0xFFFE) {
        ar << static_cast<WORD>(length);
        return;
    }
    ar << static_cast<WORD>(0xFFFF);
    if (length < 0xFFFFFFFFull) {
        ar << static_cast<DWORD>(length);
        return;
    }
    ar << static_cast<DWORD>(0xFFFFFFFF) << length;
}

ULONGLONG ReadStringLength(CArchive& ar, bool& wide)
{
    wide = false;
    BYTE byLength = 0;
    ar >> byLength;
    if (byLength < 0xFF)
        return byLength;
    WORD wLength = 0;
    ar >> wLength;
    if (wLength == 0xFFFE) {
        wide = true;
        ar >> byLength;
        if (byLength < 0xFF)
            return byLength;
        ar >> wLength;
        if (wLength == 0xFFFE)
            AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    }
    if (wLength < 0xFFFF)
        return wLength;
    DWORD dwLength = 0;
    ar >> dwLength;
    if (dwLength < 0xFFFFFFFF)
        return dwLength;
    ULONGLONG qwLength = 0;
    ar >> qwLength;
    return qwLength;
}

template <typename Ch> void ReadChars(CArchive& ar, std::basic_string<Ch>& out, ULONGLONG length)
{
    // No string can be longer than a CString holds.
    if (length > 0x3FFFFFFF)
        AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
    out.clear();
    while (out.size() < length) {
        const size_t have = out.size();
        const size_t slice = length - have < kStringSlice ? static_cast<size_t>(length - have) : kStringSlice;
        out.resize(have + slice);
        const UINT bytes = static_cast<UINT>(slice * sizeof(Ch));
        if (ar.Read(&out[have], bytes) != bytes)
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    }
}

// Either form of the string, as wide or narrow text.
void ReadAnyString(CArchive& ar, std::wstring& wide, std::string& narrow, bool& isWide)
{
    const ULONGLONG length = ReadStringLength(ar, isWide);
    if (isWide)
        ReadChars(ar, wide, length);
    else
        ReadChars(ar, narrow, length);
}

} // namespace

CArchive& AFXAPI operator<<(CArchive& ar, const CString& string)
{
    const int length = string.GetLength();
    WriteStringLength(ar, static_cast<ULONGLONG>(length), true);
    ar.Write(string.GetString(), static_cast<UINT>(length) * sizeof(wchar_t));
    return ar;
}

CArchive& AFXAPI operator<<(CArchive& ar, const CStringA& string)
{
    const int length = string.GetLength();
    WriteStringLength(ar, static_cast<ULONGLONG>(length), false);
    ar.Write(string.GetString(), static_cast<UINT>(length));
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, CString& string)
{
    std::wstring wide;
    std::string narrow;
    bool isWide = false;
    ReadAnyString(ar, wide, narrow, isWide);
    if (isWide)
        string = CString(wide.data(), static_cast<int>(wide.size()));
    else
        string = CString(narrow.data(), static_cast<int>(narrow.size()));
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, CStringA& string)
{
    std::wstring wide;
    std::string narrow;
    bool isWide = false;
    ReadAnyString(ar, wide, narrow, isWide);
    if (isWide)
        string = CStringA(wide.data(), static_cast<int>(wide.size()));
    else
        string = CStringA(narrow.data(), static_cast<int>(narrow.size()));
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, const CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}

CArchive& AFXAPI operator<<(CArchive& ar, SIZE size)
{
    return ar << size.cx << size.cy;
}

CArchive& AFXAPI operator<<(CArchive& ar, POINT point)
{
    return ar << point.x << point.y;
}

CArchive& AFXAPI operator<<(CArchive& ar, const RECT& rect)
{
    return ar << rect.left << rect.top << rect.right << rect.bottom;
}

CArchive& AFXAPI operator>>(CArchive& ar, SIZE& size)
{
    return ar >> size.cx >> size.cy;
}

CArchive& AFXAPI operator>>(CArchive& ar, POINT& point)
{
    return ar >> point.x >> point.y;
}

CArchive& AFXAPI operator>>(CArchive& ar, RECT& rect)
{
    return ar >> rect.left >> rect.top >> rect.right >> rect.bottom;
}
