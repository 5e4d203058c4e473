#include "views/Picture.h"

#include "framework/core/FileReading.h"
#include "framework/core/ScopedHandles.h"

#include <cwchar>
#include <vector>

namespace {

const LONG kIconSize = 16;
const DWORD kMaxIconFileSize = 1024 * 1024;
const LONG kHimetricPerInch = 2540;

void ShowErrorBox(LPCWSTR text, LPCWSTR caption)
{
    ::MessageBoxExW(nullptr, text, caption, MB_ICONHAND, MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL));
}

CPicture::ErrorReporter g_reporter = ShowErrorBox;

void ReportError(LPCWSTR text)
{
    g_reporter(text, L"CPicture Error");
}

} // namespace

CPicture::ErrorReporter CPicture::SetErrorReporter(ErrorReporter reporter)
{
    ErrorReporter previous = g_reporter;
    g_reporter = reporter ? reporter : ShowErrorBox;
    return previous;
}

CPicture::~CPicture()
{
    Clear();
}

void CPicture::Clear()
{
    if (m_pPicture) {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
    m_nHeight = m_nSize = m_nWidth = 0;
    if (m_hIcon) {
        ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }
}

void CPicture::SizeFromPicture()
{
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (m_pPicture && SUCCEEDED(m_pPicture->get_Width(&width)) && SUCCEEDED(m_pPicture->get_Height(&height))) {
        m_nWidth = ::MulDiv(width, 96, kHimetricPerInch);
        m_nHeight = ::MulDiv(height, 96, kHimetricPerInch);
    } else {
        m_nWidth = m_nHeight = 0;
    }
}

BOOL CPicture::LoadFromBuffer(const BYTE* data, UINT nSize)
{
    if (!data || nSize == 0)
        return FALSE;
    CScopedGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, nSize));
    void* bytes = memory ? ::GlobalLock(memory) : nullptr;
    if (!bytes)
        return FALSE;
    memcpy(bytes, data, nSize);
    ::GlobalUnlock(memory);
    CScopedComPtr<IStream> stream;
    // The stream frees the memory once it has it.
    if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.Receive())))
        return FALSE;
    memory.Detach();
    IPicture* picture = nullptr;
    const HRESULT hr = ::OleLoadPicture(stream.Get(), static_cast<LONG>(nSize), FALSE, IID_IPicture,
                                        reinterpret_cast<void**>(&picture));
    stream.Release();
    if (hr == E_NOINTERFACE) {
        ReportError(L"IPicture interface is not supported\t");
        return FALSE;
    }
    // Bytes that are no picture at all are refused rather than held as an empty success.
    if (FAILED(hr) || !picture)
        return FALSE;
    if (m_pPicture)
        m_pPicture->Release();
    m_pPicture = picture;
    return TRUE;
}

BOOL CPicture::LoadFromFile(LPCWSTR path)
{
    if (!path || !*path)
        return FALSE;
    if (wcsstr(path, L".ico")) {
        // A site icon comes from the network: a file far larger than any icon is refused before it is read.
        WIN32_FILE_ATTRIBUTE_DATA attributes = {};
        if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &attributes) || attributes.nFileSizeHigh != 0 ||
            attributes.nFileSizeLow == 0 || attributes.nFileSizeLow > kMaxIconFileSize)
            return FALSE;
        HICON icon = static_cast<HICON>(::LoadImageW(nullptr, path, IMAGE_ICON, kIconSize, kIconSize, LR_LOADFROMFILE));
        if (!icon)
            return FALSE;
        Clear();
        m_hIcon = icon;
        m_nWidth = m_nHeight = kIconSize;
        return TRUE;
    }
    Clear();
    std::vector<BYTE> bytes;
    // A logo or channel image is small; a file that is not cannot be one.
    if (!ReadWholeFile(path, bytes, 16 * 1024 * 1024, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) ||
        bytes.empty())
        return FALSE;
    const BOOL loaded = LoadFromBuffer(bytes.data(), static_cast<UINT>(bytes.size()));
    m_nSize = static_cast<LONG>(bytes.size());
    SizeFromPicture();
    return loaded && m_pPicture;
}

BOOL CPicture::LoadFromResource(UINT nResourceID, LPCWSTR resourceType)
{
    Clear();
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(nResourceID), resourceType);
    if (!found) {
        ReportError(L"FindResource() Failed\t");
        return FALSE;
    }
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded) {
        ReportError(L"LoadResource() Failed\t");
        return FALSE;
    }
    const BYTE* bytes = static_cast<const BYTE*>(::LockResource(loaded));
    if (!bytes) {
        ReportError(L"LockResource() Failed\t");
        return FALSE;
    }
    const DWORD size = ::SizeofResource(module, found);
    const BOOL result = LoadFromBuffer(bytes, size);
    m_nSize = static_cast<LONG>(size);
    SizeFromPicture();
    return result;
}

BOOL CPicture::Render(HDC hDC, const RECT& rect, const RECT* pSourceRect)
{
    if (!hDC)
        return FALSE;
    if (m_hIcon)
        return ::DrawIconEx(hDC, rect.left, rect.top, m_hIcon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    if (!m_pPicture)
        return FALSE;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    m_pPicture->get_Width(&width);
    m_pPicture->get_Height(&height);
    // HIMETRIC pictures are stored bottom-up: the source starts at the picture's height and runs upwards.
    LONG x = 0, y = height, cx = width, cy = -height;
    if (pSourceRect) {
        x = pSourceRect->left;
        y = pSourceRect->top;
        cx = pSourceRect->right - pSourceRect->left;
        cy = pSourceRect->bottom - pSourceRect->top;
    }
    if (FAILED(m_pPicture->Render(hDC, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, x, y, cx,
                                  cy, nullptr))) {
        ReportError(L"Can not allocate enough memory\t");
        return FALSE;
    }
    return TRUE;
}

BOOL CPicture::UpdateSize(HDC hDC)
{
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (!hDC || !m_pPicture || FAILED(m_pPicture->get_Width(&width)) || FAILED(m_pPicture->get_Height(&height))) {
        m_nWidth = m_nHeight = 0;
        return FALSE;
    }
    const bool printing = ::GetDeviceCaps(hDC, TECHNOLOGY) == DT_RASPRINTER;
    const int dpiX = printing ? 96 : ::GetDeviceCaps(hDC, LOGPIXELSX);
    const int dpiY = printing ? 96 : ::GetDeviceCaps(hDC, LOGPIXELSY);
    m_nWidth = ::MulDiv(width, dpiX, kHimetricPerInch);
    m_nHeight = ::MulDiv(height, dpiY, kHimetricPerInch);
    return TRUE;
}
