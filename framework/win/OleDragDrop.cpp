// OLE drag and drop: the COM faces of the framework's data source, drop source and drop target.
#include "framework/win/OleDragDrop.h"

#include "framework/core/ScopedHandles.h"

#include <shlobj.h>

#include <vector>

namespace {

// A copy of a global block that the receiver of a medium owns.
HGLOBAL CopyGlobal(HGLOBAL hSource)
{
    if (hSource == nullptr)
        return nullptr;
    const SIZE_T nSize = ::GlobalSize(hSource);
    CScopedGlobal hCopy(::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, nSize));
    if (!hCopy)
        return nullptr;
    void* pSource = ::GlobalLock(hSource);
    void* pCopy = ::GlobalLock(hCopy);
    if (pSource == nullptr || pCopy == nullptr) {
        if (pSource != nullptr)
            ::GlobalUnlock(hSource);
        if (pCopy != nullptr)
            ::GlobalUnlock(hCopy);
        return nullptr;
    }
    memcpy(pCopy, pSource, nSize);
    ::GlobalUnlock(hCopy);
    ::GlobalUnlock(hSource);
    return hCopy.Detach();
}

FORMATETC MakeFormatEtc(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed)
{
    if (lpFormatEtc != nullptr) {
        FORMATETC formatEtc = *lpFormatEtc;
        formatEtc.cfFormat = cfFormat;
        return formatEtc;
    }
    // Pictures travel in media of their own; asking for them in memory finds nothing.
    if (cfFormat == CF_BITMAP || cfFormat == CF_PALETTE)
        tymed = TYMED_GDI;
    else if (cfFormat == CF_ENHMETAFILE)
        tymed = TYMED_ENHMF;
    else if (cfFormat == CF_METAFILEPICT)
        tymed = TYMED_MFPICT;
    return FORMATETC{cfFormat, nullptr, DVASPECT_CONTENT, -1, tymed};
}

const LONG kMaxBitmapSide = 4096;

// A top-down 32-bit DIB section of the size, its pixels in *ppBits.
HBITMAP CreateDib32(LONG cx, LONG cy, void** ppBits)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    return ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, ppBits, nullptr, 0);
}

CPoint ClientPoint(HWND hWnd, POINTL pt)
{
    POINT point{pt.x, pt.y};
    ::ScreenToClient(hWnd, &point);
    return CPoint(point.x, point.y);
}

} // namespace

// ---- COleDataObject

COleDataObject::COleDataObject() : m_lpDataObject(nullptr), m_bAutoRelease(TRUE), m_lpEnumerator(nullptr) {}

COleDataObject::~COleDataObject()
{
    Release();
}

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    LPDATAOBJECT lpDataObject = m_lpDataObject;
    m_lpDataObject = nullptr;
    if (m_lpEnumerator != nullptr) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    return lpDataObject;
}

void COleDataObject::Release()
{
    if (m_lpEnumerator != nullptr) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    if (m_lpDataObject != nullptr && m_bAutoRelease)
        m_lpDataObject->Release();
    m_lpDataObject = nullptr;
}

BOOL COleDataObject::AttachClipboard()
{
    LPDATAOBJECT lpDataObject = nullptr;
    if (FAILED(::OleGetClipboard(&lpDataObject)) || lpDataObject == nullptr)
        return FALSE;
    Attach(lpDataObject, TRUE);
    return TRUE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr)
        return FALSE;
    FORMATETC formatEtc = MakeFormatEtc(cfFormat, lpFormatEtc, TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_FILE);
    return m_lpDataObject->QueryGetData(&formatEtc) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr)
        return FALSE;
    FORMATETC formatEtc = MakeFormatEtc(cfFormat, lpFormatEtc, TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_FILE);
    *lpStgMedium = STGMEDIUM{};
    return SUCCEEDED(m_lpDataObject->GetData(&formatEtc, lpStgMedium));
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (m_lpDataObject == nullptr)
        return nullptr;
    FORMATETC formatEtc = MakeFormatEtc(cfFormat, lpFormatEtc, TYMED_HGLOBAL);
    STGMEDIUM stgMedium{};
    if (FAILED(m_lpDataObject->GetData(&formatEtc, &stgMedium)))
        return nullptr;
    if (stgMedium.tymed != TYMED_HGLOBAL) {
        ::ReleaseStgMedium(&stgMedium);
        return nullptr;
    }
    // A medium still owned by its source is copied; one handed over is kept as it is.
    if (stgMedium.pUnkForRelease == nullptr)
        return stgMedium.hGlobal;
    HGLOBAL hCopy = CopyGlobal(stgMedium.hGlobal);
    ::ReleaseStgMedium(&stgMedium);
    return hCopy;
}

CFile* COleDataObject::GetFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    HGLOBAL hGlobal = GetGlobalData(cfFormat, lpFormatEtc);
    if (hGlobal == nullptr)
        return nullptr;
    auto* pFile = new CSharedFile();
    pFile->SetHandle(hGlobal, FALSE);
    return pFile;
}

HBITMAP COleDataObject::GetBitmapCopy()
{
    if (m_lpDataObject == nullptr)
        return nullptr;
    STGMEDIUM medium{};
    if (GetData(CF_BITMAP, &medium)) {
        HBITMAP hCopy = medium.tymed == TYMED_GDI ? CopyBitmap32(medium.hBitmap) : nullptr;
        ::ReleaseStgMedium(&medium);
        if (hCopy != nullptr)
            return hCopy;
    }
    HGLOBAL hDib = GetGlobalData(CF_DIB);
    if (hDib == nullptr)
        return nullptr;
    HBITMAP hCopy = nullptr;
    if (const void* pDib = ::GlobalLock(hDib)) {
        hCopy = BitmapFromPackedDib(pDib, ::GlobalSize(hDib));
        ::GlobalUnlock(hDib);
    }
    ::GlobalFree(hDib);
    return hCopy;
}

HBITMAP PASCAL COleDataObject::CopyBitmap32(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (hBitmap == nullptr || ::GetObjectW(hBitmap, sizeof(bm), &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0 ||
        bm.bmWidth > kMaxBitmapSide || bm.bmHeight > kMaxBitmapSide)
        return nullptr;
    void* pBits = nullptr;
    CScopedBitmap hCopy(CreateDib32(bm.bmWidth, bm.bmHeight, &pBits));
    if (!hCopy)
        return nullptr;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    CScopedWindowDC screen(nullptr);
    if (::GetDIBits(screen, hBitmap, 0, static_cast<UINT>(bm.bmHeight), pBits, &bmi, DIB_RGB_COLORS) != bm.bmHeight)
        return nullptr;
    return hCopy.Detach();
}

HBITMAP PASCAL COleDataObject::BitmapFromPackedDib(const void* pDib, SIZE_T nBytes)
{
    // The block comes from another program: every size it states is checked against what it holds.
    BITMAPINFOHEADER bih{};
    if (pDib == nullptr || nBytes < sizeof(bih))
        return nullptr;
    memcpy(&bih, pDib, sizeof(bih));
    if (bih.biSize < sizeof(bih) || bih.biSize > nBytes || bih.biPlanes != 1 || bih.biWidth <= 0 ||
        bih.biWidth > kMaxBitmapSide || bih.biHeight == 0 || bih.biHeight > kMaxBitmapSide ||
        bih.biHeight < -kMaxBitmapSide)
        return nullptr;
    const WORD nBits = bih.biBitCount;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 16 && nBits != 24 && nBits != 32)
        return nullptr;
    const SIZE_T nHeader = bih.biSize;
    // The masks or colours the platform needs after the plain header, where they are, and how many bytes lie
    // between the stated header and the pixels.
    SIZE_T nExtra = 0, nExtraAt = nHeader, nBeforePixels = 0;
    if (bih.biCompression == BI_BITFIELDS && (nBits == 16 || nBits == 32)) {
        nExtra = 3 * sizeof(DWORD);
        nExtraAt = sizeof(BITMAPINFOHEADER);
        // A V4 or V5 header holds its masks; a plain one is followed by them.
        if (nHeader == sizeof(BITMAPINFOHEADER))
            nBeforePixels = nExtra;
        else if (nHeader < sizeof(BITMAPINFOHEADER) + nExtra)
            return nullptr;
    } else if (bih.biCompression != BI_RGB) {
        return nullptr;
    } else if (nBits <= 8) {
        const DWORD nMaxColors = 1u << nBits;
        if (bih.biClrUsed > nMaxColors)
            return nullptr;
        nExtra = nBeforePixels = (bih.biClrUsed != 0 ? bih.biClrUsed : nMaxColors) * sizeof(RGBQUAD);
    }
    const LONG cy = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    const SIZE_T nStride = ((static_cast<SIZE_T>(bih.biWidth) * nBits + 31) / 32) * 4;
    if (nHeader + nBeforePixels + nStride * static_cast<SIZE_T>(cy) > nBytes)
        return nullptr;

    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + nExtra);
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biSizeImage = 0;
    memcpy(info.data(), &bih, sizeof(bih));
    const BYTE* pSource = static_cast<const BYTE*>(pDib);
    if (nExtra != 0)
        memcpy(info.data() + sizeof(bih), pSource + nExtraAt, nExtra);
    const BYTE* pPixels = pSource + nHeader + nBeforePixels;

    void* pBits = nullptr;
    CScopedBitmap hCopy(CreateDib32(bih.biWidth, cy, &pBits));
    CScopedCreatedDC hdc(::CreateCompatibleDC(nullptr));
    if (!hCopy || !hdc)
        return nullptr;
    CScopedSelect select(hdc, hCopy);
    if (::SetDIBitsToDevice(hdc, 0, 0, static_cast<DWORD>(bih.biWidth), static_cast<DWORD>(cy), 0, 0, 0,
                            static_cast<UINT>(cy), pPixels, reinterpret_cast<const BITMAPINFO*>(info.data()),
                            DIB_RGB_COLORS) == 0)
        return nullptr;
    return hCopy.Detach();
}

void COleDataObject::BeginEnumFormats()
{
    if (m_lpEnumerator != nullptr) {
        m_lpEnumerator->Release();
        m_lpEnumerator = nullptr;
    }
    if (m_lpDataObject != nullptr)
        m_lpDataObject->EnumFormatEtc(DATADIR_GET, &m_lpEnumerator);
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc)
{
    if (m_lpEnumerator == nullptr)
        return FALSE;
    ULONG nFetched = 0;
    if (m_lpEnumerator->Next(1, lpFormatEtc, &nFetched) != S_OK || nFetched != 1)
        return FALSE;
    // The target device is not used by the framework's readers.
    if (lpFormatEtc->ptd != nullptr) {
        ::CoTaskMemFree(lpFormatEtc->ptd);
        lpFormatEtc->ptd = nullptr;
    }
    return TRUE;
}

// ---- COleDropSource

class COleDropSource::XDropSource final : public IDropSource
{
public:
    explicit XDropSource(COleDropSource* pOwner) : m_pOwner(pOwner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *ppv = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(m_pOwner->InternalAddRef()); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(m_pOwner->InternalRelease()); }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override
    {
        try {
            return m_pOwner->QueryContinueDrag(fEscapePressed, grfKeyState);
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
        return DRAGDROP_S_CANCEL;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD dwEffect) override
    {
        try {
            return m_pOwner->GiveFeedback(dwEffect);
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    COleDropSource* m_pOwner;
};

COleDropSource::COleDropSource()
    : m_rectStartDrag(0, 0, 0, 0), m_dwButtonDrop(MK_LBUTTON | MK_RBUTTON), m_dwButtonCancel(0),
      m_pXDropSource(new XDropSource(this))
{
}

COleDropSource::~COleDropSource()
{
    delete m_pXDropSource;
}

IDropSource* COleDropSource::GetInterface()
{
    return m_pXDropSource;
}

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed)
        return DRAGDROP_S_CANCEL;
    // The other button pressed during the drag gives it up.
    if (m_dwButtonCancel != 0 && (dwKeyState & m_dwButtonCancel))
        return DRAGDROP_S_CANCEL;
    if ((dwKeyState & m_dwButtonDrop) == 0)
        return DRAGDROP_S_DROP;
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

BOOL COleDropSource::OnBeginDrag(CWnd* pWnd)
{
    if (m_rectStartDrag.IsRectEmpty())
        return TRUE;
    HWND hWnd = pWnd->GetSafeHwnd();
    if (hWnd == nullptr)
        return TRUE;
    ::SetCapture(hWnd);
    BOOL bDrag = FALSE;
    for (;;) {
        if (::GetCapture() != hWnd)
            break;
        MSG msg;
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP ||
            (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
            break;
        if (msg.message == WM_MOUSEMOVE) {
            POINT pt;
            ::GetCursorPos(&pt);
            if (!m_rectStartDrag.PtInRect(pt)) {
                bDrag = TRUE;
                break;
            }
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    return bDrag;
}

// ---- COleDataSource

class COleDataSource::XDataObject final : public IDataObject
{
public:
    explicit XDataObject(COleDataSource* pOwner) : m_pOwner(pOwner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *ppv = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(m_pOwner->InternalAddRef()); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(m_pOwner->InternalRelease()); }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pFormatEtc, STGMEDIUM* pMedium) override
    {
        if (pFormatEtc == nullptr || pMedium == nullptr)
            return E_INVALIDARG;
        CacheEntry* pEntry = m_pOwner->Lookup(pFormatEtc);
        if (pEntry == nullptr)
            return DV_E_FORMATETC;
        *pMedium = STGMEDIUM{};
        if (pEntry->stgMedium.tymed == TYMED_HGLOBAL) {
            // Each reader gets its own block to keep or free; the cache keeps the original.
            pMedium->tymed = TYMED_HGLOBAL;
            pMedium->hGlobal = CopyGlobal(pEntry->stgMedium.hGlobal);
            return pMedium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
        }
        return ::CopyStgMedium(&pEntry->stgMedium, pMedium);
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pFormatEtc) override
    {
        if (pFormatEtc == nullptr)
            return E_INVALIDARG;
        return m_pOwner->Lookup(pFormatEtc) != nullptr ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pFormatEtcOut) override
    {
        if (pFormatEtcOut != nullptr)
            pFormatEtcOut->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppEnum) override
    {
        if (ppEnum == nullptr)
            return E_INVALIDARG;
        *ppEnum = nullptr;
        if (dwDirection != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC* pFormats = new FORMATETC[static_cast<size_t>(m_pOwner->m_nSize > 0 ? m_pOwner->m_nSize : 1)];
        for (int i = 0; i < m_pOwner->m_nSize; ++i)
            pFormats[i] = m_pOwner->m_pCache[i].formatEtc;
        const HRESULT hr = ::SHCreateStdEnumFmtEtc(static_cast<UINT>(m_pOwner->m_nSize), pFormats, ppEnum);
        delete[] pFormats;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    COleDataSource* m_pOwner;
};

COleDataSource::COleDataSource() : m_pCache(nullptr), m_nSize(0), m_nMax(0), m_pXDataObject(new XDataObject(this)) {}

COleDataSource::~COleDataSource()
{
    Empty();
    delete m_pXDataObject;
}

void COleDataSource::Empty()
{
    for (int i = 0; i < m_nSize; ++i) {
        if (m_pCache[i].formatEtc.ptd != nullptr)
            ::CoTaskMemFree(m_pCache[i].formatEtc.ptd);
        ::ReleaseStgMedium(&m_pCache[i].stgMedium);
    }
    delete[] m_pCache;
    m_pCache = nullptr;
    m_nSize = 0;
    m_nMax = 0;
}

COleDataSource::CacheEntry* COleDataSource::Lookup(const FORMATETC* lpFormatEtc)
{
    for (int i = 0; i < m_nSize; ++i) {
        const FORMATETC& cached = m_pCache[i].formatEtc;
        if (cached.cfFormat == lpFormatEtc->cfFormat && (cached.tymed & lpFormatEtc->tymed) != 0 &&
            (lpFormatEtc->dwAspect == 0 || cached.dwAspect == lpFormatEtc->dwAspect) &&
            (lpFormatEtc->lindex == -1 || cached.lindex == lpFormatEtc->lindex))
            return &m_pCache[i];
    }
    return nullptr;
}

void COleDataSource::CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc)
{
    FORMATETC formatEtc = MakeFormatEtc(cfFormat, lpFormatEtc, lpStgMedium->tymed);
    formatEtc.tymed = lpStgMedium->tymed;
    formatEtc.ptd = nullptr;
    // The same format offered again replaces the earlier data.
    if (CacheEntry* pOld = Lookup(&formatEtc)) {
        ::ReleaseStgMedium(&pOld->stgMedium);
        pOld->stgMedium = *lpStgMedium;
        return;
    }
    if (m_nSize == m_nMax) {
        const int nNewMax = m_nMax == 0 ? 4 : m_nMax * 2;
        auto* pNew = new CacheEntry[static_cast<size_t>(nNewMax)];
        for (int i = 0; i < m_nSize; ++i)
            pNew[i] = m_pCache[i];
        delete[] m_pCache;
        m_pCache = pNew;
        m_nMax = nNewMax;
    }
    m_pCache[m_nSize].formatEtc = formatEtc;
    m_pCache[m_nSize].stgMedium = *lpStgMedium;
    ++m_nSize;
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc)
{
    STGMEDIUM stgMedium{};
    stgMedium.tymed = TYMED_HGLOBAL;
    stgMedium.hGlobal = hGlobal;
    CacheData(cfFormat, &stgMedium, lpFormatEtc);
}

LPDATAOBJECT COleDataSource::GetDataObject()
{
    m_pXDataObject->AddRef();
    return m_pXDataObject;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag, COleDropSource* pDropSource)
{
    COleDropSource defaultSource;
    if (pDropSource == nullptr)
        pDropSource = &defaultSource;
    if (lpRectStartDrag != nullptr) {
        pDropSource->m_rectStartDrag = *lpRectStartDrag;
        if (!pDropSource->OnBeginDrag(CWnd::GetCapture()))
            return DROPEFFECT_NONE;
    }
    DWORD dwResultEffect = DROPEFFECT_NONE;
    // The system holds references to both for the drag only; this object's own reference keeps it alive.
    const HRESULT hr = ::DoDragDrop(m_pXDataObject, pDropSource->GetInterface(), dwEffects, &dwResultEffect);
    if (hr != DRAGDROP_S_DROP)
        return DROPEFFECT_NONE;
    return dwResultEffect;
}

void COleDataSource::SetClipboard()
{
    ::OleSetClipboard(m_pXDataObject);
}

void PASCAL COleDataSource::FlushClipboard()
{
    ::OleFlushClipboard();
}

// ---- COleDropTarget

class COleDropTarget::XDropTarget final : public IDropTarget
{
public:
    explicit XDropTarget(COleDropTarget* pOwner) : m_pOwner(pOwner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *ppv = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(m_pOwner->InternalAddRef()); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(m_pOwner->InternalRelease()); }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override
    {
        if (pdwEffect == nullptr)
            return E_INVALIDARG;
        const DWORD dwAllowed = *pdwEffect;
        *pdwEffect = DROPEFFECT_NONE;
        CWnd* pWnd = CWnd::FromHandle(m_pOwner->m_hWnd);
        if (pWnd == nullptr || pDataObj == nullptr)
            return S_OK;
        if (m_pOwner->m_lpDataObject != nullptr)
            m_pOwner->m_lpDataObject->Release();
        m_pOwner->m_lpDataObject = pDataObj;
        pDataObj->AddRef();
        COleDataObject dataObject;
        dataObject.Attach(pDataObj, FALSE);
        try {
            *pdwEffect =
                m_pOwner->OnDragEnter(pWnd, &dataObject, grfKeyState, ClientPoint(m_pOwner->m_hWnd, pt)) & dwAllowed;
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override
    {
        if (pdwEffect == nullptr)
            return E_INVALIDARG;
        const DWORD dwAllowed = *pdwEffect;
        *pdwEffect = DROPEFFECT_NONE;
        CWnd* pWnd = CWnd::FromHandle(m_pOwner->m_hWnd);
        if (pWnd == nullptr || m_pOwner->m_lpDataObject == nullptr)
            return S_OK;
        COleDataObject dataObject;
        dataObject.Attach(m_pOwner->m_lpDataObject, FALSE);
        try {
            const CPoint point = ClientPoint(m_pOwner->m_hWnd, pt);
            const DROPEFFECT scroll = m_pOwner->OnDragScroll(pWnd, grfKeyState, point);
            if (scroll & DROPEFFECT_SCROLL)
                *pdwEffect = scroll & (dwAllowed | DROPEFFECT_SCROLL);
            else
                *pdwEffect = m_pOwner->OnDragOver(pWnd, &dataObject, grfKeyState, point) & dwAllowed;
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        CWnd* pWnd = CWnd::FromHandle(m_pOwner->m_hWnd);
        try {
            if (pWnd != nullptr)
                m_pOwner->OnDragLeave(pWnd);
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
        m_pOwner->ReleaseDataObject();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override
    {
        if (pdwEffect == nullptr)
            return E_INVALIDARG;
        const DWORD dwAllowed = *pdwEffect;
        *pdwEffect = DROPEFFECT_NONE;
        CWnd* pWnd = CWnd::FromHandle(m_pOwner->m_hWnd);
        if (pWnd != nullptr && pDataObj != nullptr) {
            COleDataObject dataObject;
            dataObject.Attach(pDataObj, FALSE);
            try {
                const CPoint point = ClientPoint(m_pOwner->m_hWnd, pt);
                // The effect the drop would have had at this place decides the default.
                const DROPEFFECT dropDefault = m_pOwner->OnDragOver(pWnd, &dataObject, grfKeyState, point) & dwAllowed;
                DROPEFFECT dropEffect = m_pOwner->OnDropEx(pWnd, &dataObject, dropDefault, dwAllowed, point);
                if (dropEffect == static_cast<DROPEFFECT>(-1)) {
                    dropEffect = dropDefault;
                    if (dropEffect != DROPEFFECT_NONE && !m_pOwner->OnDrop(pWnd, &dataObject, dropEffect, point))
                        dropEffect = DROPEFFECT_NONE;
                }
                *pdwEffect = dropEffect & dwAllowed;
            } catch (CException* e) {
                e->Delete();
            } catch (...) {
            }
        }
        m_pOwner->ReleaseDataObject();
        return S_OK;
    }

private:
    COleDropTarget* m_pOwner;
};

COleDropTarget::COleDropTarget() : m_hWnd(nullptr), m_pXDropTarget(new XDropTarget(this)), m_lpDataObject(nullptr) {}

COleDropTarget::~COleDropTarget()
{
    Revoke();
    ReleaseDataObject();
    delete m_pXDropTarget;
}

IDropTarget* COleDropTarget::GetInterface()
{
    return m_pXDropTarget;
}

void COleDropTarget::ReleaseDataObject()
{
    if (m_lpDataObject != nullptr) {
        m_lpDataObject->Release();
        m_lpDataObject = nullptr;
    }
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    HWND hWnd = pWnd->GetSafeHwnd();
    if (hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    // Registration needs OLE on this thread; the count is the caller's (AfxOleInit) or left to the process.
    if (FAILED(::RegisterDragDrop(hWnd, m_pXDropTarget)))
        return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (m_hWnd == nullptr)
        return;
    ::RevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint)
{
    return static_cast<DROPEFFECT>(-1);
}

void COleDropTarget::OnDragLeave(CWnd*) {}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint)
{
    return DROPEFFECT_NONE;
}
