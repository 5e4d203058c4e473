#include "toolkit/customize/XTPImageEditorDlg.h"

#include "framework/core/ScopedHandles.h"
#include "framework/win/ColorDialog.h"
#include "framework/win/FileDialog.h"
#include "framework/win/OleDragDrop.h"
#include "framework/win/WinApp.h"
#include "framework/FrameworkMessages.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/customize/ImageEditorResource.h"

#include <wincodec.h>

#include <vector>

namespace {

const DWORD kTransparentPixel = 0x00FFFEFF;
const COLORREF kCheckerGrey = RGB(235, 235, 235);
const size_t kMaxUndo = 16;
// Imports larger than these are refused before their pixels are read.
const LONGLONG kMaxImportFile = 16 * 1024 * 1024;
const UINT kMaxImportSide = 4096;

struct PickerColor
{
    UINT nID;
    COLORREF clr;
};
// Two rows of eight, left to right.
const PickerColor kPickerColors[16] = {
    {XTP_IDS_CLR_BLACK, RGB(0, 0, 0)},          {XTP_IDS_CLR_GRAY50, RGB(128, 128, 128)},
    {XTP_IDS_CLR_DARK_RED, RGB(128, 0, 0)},     {XTP_IDS_CLR_DARK_YELLOW, RGB(128, 128, 0)},
    {XTP_IDS_CLR_GREEN, RGB(0, 128, 0)},        {XTP_IDS_CLR_TEAL, RGB(0, 128, 128)},
    {XTP_IDS_CLR_DARK_BLUE, RGB(0, 0, 128)},    {XTP_IDS_CLR_VIOLET, RGB(128, 0, 128)},
    {XTP_IDS_CLR_WHITE, RGB(255, 255, 255)},    {XTP_IDS_CLR_GRAY25, RGB(192, 192, 192)},
    {XTP_IDS_CLR_RED, RGB(255, 0, 0)},          {XTP_IDS_CLR_YELLOW, RGB(255, 255, 0)},
    {XTP_IDS_CLR_BRIGHT_GREEN, RGB(0, 255, 0)}, {XTP_IDS_CLR_TURQUOISE, RGB(0, 255, 255)},
    {XTP_IDS_CLR_BLUE, RGB(0, 0, 255)},         {XTP_IDS_CLR_PINK, RGB(255, 0, 255)},
};

const UINT kToolButtons[12] = {XTP_ID_BUTTON_PENCIL,    XTP_ID_BUTTON_FILL,   XTP_ID_BUTTON_UNDO,  XTP_ID_BUTTON_REDO,
                               XTP_ID_BUTTON_GETCOLOR,  XTP_ID_BUTTON_LINE,   XTP_ID_BUTTON_COPY,  XTP_ID_BUTTON_PASTE,
                               XTP_ID_BUTTON_RECTANGLE, XTP_ID_BUTTON_CIRCLE, XTP_ID_BUTTON_CLEAR, XTP_ID_BUTTON_OPEN};
const UINT kMoveButtons[4] = {XTP_ID_BUTTON_LEFT, XTP_ID_BUTTON_DOWN, XTP_ID_BUTTON_UP, XTP_ID_BUTTON_RIGHT};

DWORD PixelFromColor(COLORREF clr)
{
    return (static_cast<DWORD>(GetRValue(clr)) << 16) | (static_cast<DWORD>(GetGValue(clr)) << 8) | GetBValue(clr);
}

COLORREF ColorFromPixel(DWORD px)
{
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

HBITMAP CreateDib32(CSize size, DWORD** ppBits)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = size.cx;
    bmi.bmiHeader.biHeight = -size.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    *ppBits = static_cast<DWORD*>(pBits);
    return hBitmap;
}

CString LoadToolkitString(UINT nID)
{
    CString str;
    XTGetResourceHolder()->LoadString(&str, nID);
    return str;
}

HCURSOR LoadToolkitCursor(UINT nID)
{
    if (HCURSOR hCursor = ::LoadCursorW(XTGetResourceInstance(), MAKEINTRESOURCEW(nID)))
        return hCursor;
    return ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nID));
}

// Copies the pixels of a bitmap onto the image from its top left, clipped to the image; without bKeepAlpha only
// the colours count, with it a pixel of value 0 is the editor's transparent colour.
void CopyPixelsTopLeft(CXTPImageEditorBitmap* pImage, HBITMAP hSource, BOOL bKeepAlpha)
{
    CSize sizeSource;
    std::vector<DWORD> source;
    if (!CXTPImageManager::GetBitmapBits32(hSource, sizeSource, source))
        return;
    ::GdiFlush();
    const CSize size = pImage->GetSize();
    const int cx = std::min<int>(size.cx, sizeSource.cx);
    const int cy = std::min<int>(size.cy, sizeSource.cy);
    for (int y = 0; y < cy; ++y) {
        const DWORD* pSource = source.data() + static_cast<size_t>(y) * sizeSource.cx;
        DWORD* pTarget = pImage->GetBits() + static_cast<size_t>(y) * size.cx;
        for (int x = 0; x < cx; ++x) {
            const DWORD px = pSource[x];
            if (bKeepAlpha)
                pTarget[x] = px == 0 ? kTransparentPixel : px;
            else
                pTarget[x] = px & 0xFFFFFF;
        }
    }
}

// A frame of one pixel: top and left in one colour, bottom and right in the other.
void Draw3dFrame(HDC hdc, const CRect& rc, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    auto Fill = [hdc](int x, int y, int cx, int cy, COLORREF clr) {
        ::SetBkColor(hdc, clr);
        const RECT r{x, y, x + cx, y + cy};
        ::ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    };
    Fill(rc.left, rc.top, rc.Width() - 1, 1, clrTopLeft);
    Fill(rc.left, rc.top, 1, rc.Height() - 1, clrTopLeft);
    Fill(rc.right - 1, rc.top, 1, rc.Height(), clrBottomRight);
    Fill(rc.left, rc.bottom - 1, rc.Width(), 1, clrBottomRight);
}

// The file's size, or -1 when it cannot be opened.
LONGLONG FileSize(LPCTSTR lpszPath)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(lpszPath, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Whether a bitmap file's header states a size this editor reads.
BOOL IsReadableBitmapFile(LPCTSTR lpszPath, LONGLONG nFileSize)
{
    CScopedFile file(::CreateFileW(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    BYTE header[14 + sizeof(BITMAPINFOHEADER)] = {};
    DWORD nRead = 0;
    if (!file || !::ReadFile(file, header, sizeof(header), &nRead, nullptr) || nRead != sizeof(header) ||
        header[0] != 'B' || header[1] != 'M')
        return FALSE;
    BITMAPINFOHEADER bih;
    memcpy(&bih, header + 14, sizeof(bih));
    const LONG cy = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    if (bih.biWidth <= 0 || cy <= 0 || static_cast<UINT>(bih.biWidth) > kMaxImportSide ||
        static_cast<UINT>(cy) > kMaxImportSide)
        return FALSE;
    // A header that states more rows than the file holds is damaged.
    const LONGLONG nStride = ((static_cast<LONGLONG>(bih.biWidth) * bih.biBitCount + 31) / 32) * 4;
    return bih.biCompression != BI_RGB || nStride * cy <= nFileSize;
}

// A picture file decoded by the imaging component and scaled to the size; null when it cannot be read.
HBITMAP DecodeScaled(LPCTSTR lpszPath, CSize size)
{
    CScopedComPtr<IWICImagingFactory> factory;
    CScopedComPtr<IWICBitmapDecoder> decoder;
    CScopedComPtr<IWICBitmapFrameDecode> frame;
    CScopedComPtr<IWICBitmapScaler> scaler;
    CScopedComPtr<IWICBitmapSource> converted;
    UINT cx = 0, cy = 0;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.Receive()))) ||
        FAILED(factory->CreateDecoderFromFilename(lpszPath, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.Receive())) ||
        FAILED(decoder->GetFrame(0, frame.Receive())) || FAILED(frame->GetSize(&cx, &cy)) || cx == 0 || cy == 0 ||
        cx > kMaxImportSide || cy > kMaxImportSide)
        return nullptr;
    if (FAILED(factory->CreateBitmapScaler(scaler.Receive())) ||
        FAILED(scaler->Initialize(frame.Get(), static_cast<UINT>(size.cx), static_cast<UINT>(size.cy),
                                  WICBitmapInterpolationModeNearestNeighbor)) ||
        FAILED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, scaler.Get(), converted.Receive())))
        return nullptr;
    DWORD* pBits = nullptr;
    CScopedBitmap hBitmap(CreateDib32(size, &pBits));
    if (!hBitmap)
        return nullptr;
    const UINT nStride = static_cast<UINT>(size.cx) * 4;
    if (FAILED(converted->CopyPixels(nullptr, nStride, nStride * static_cast<UINT>(size.cy),
                                     reinterpret_cast<BYTE*>(pBits))))
        return nullptr;
    return hBitmap.Detach();
}

} // namespace

// ---- CXTPImageEditorBitmap

CXTPImageEditorBitmap::CXTPImageEditorBitmap(HBITMAP hBitmap, BOOL bAlpha)
    : m_hBitmap(hBitmap), m_bAlpha(bAlpha), m_size(0, 0), m_pBits(nullptr)
{
    DIBSECTION ds{};
    if (hBitmap != nullptr && ::GetObjectW(hBitmap, sizeof(ds), &ds) == sizeof(ds)) {
        m_size = CSize(ds.dsBm.bmWidth, ds.dsBm.bmHeight);
        m_pBits = static_cast<DWORD*>(ds.dsBm.bmBits);
    }
}

CXTPImageEditorBitmap::~CXTPImageEditorBitmap()
{
    if (m_hBitmap != nullptr)
        ::DeleteObject(m_hBitmap);
}

CXTPImageEditorBitmap* CXTPImageEditorBitmap::CreateBlank(CSize size, BOOL bAlpha)
{
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;
    DWORD* pBits = nullptr;
    HBITMAP hBitmap = CreateDib32(size, &pBits);
    if (hBitmap == nullptr)
        return nullptr;
    std::fill(pBits, pBits + static_cast<size_t>(size.cx) * size.cy, kTransparentPixel);
    return new CXTPImageEditorBitmap(hBitmap, bAlpha);
}

CXTPImageEditorBitmap* CXTPImageEditorBitmap::Copy() const
{
    DWORD* pBits = nullptr;
    HBITMAP hBitmap = CreateDib32(m_size, &pBits);
    if (hBitmap == nullptr)
        return nullptr;
    ::GdiFlush();
    memcpy(pBits, m_pBits, static_cast<size_t>(m_size.cx) * m_size.cy * sizeof(DWORD));
    return new CXTPImageEditorBitmap(hBitmap, m_bAlpha);
}

COLORREF CXTPImageEditorBitmap::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_size.cx || y >= m_size.cy)
        return XTP_IMAGEEDITOR_TRANSPARENT;
    ::GdiFlush();
    return ColorFromPixel(m_pBits[static_cast<size_t>(y) * m_size.cx + x]);
}

void CXTPImageEditorBitmap::SetPixel(int x, int y, COLORREF clr)
{
    if (x < 0 || y < 0 || x >= m_size.cx || y >= m_size.cy)
        return;
    ::GdiFlush();
    m_pBits[static_cast<size_t>(y) * m_size.cx + x] = PixelFromColor(clr);
}

// ---- CXTPImageEditorPicker

IMPLEMENT_DYNAMIC(CXTPImageEditorPicker, CStatic)

BEGIN_MESSAGE_MAP(CXTPImageEditorPicker, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_NCHITTEST()
END_MESSAGE_MAP()

CXTPImageEditorPicker::CXTPImageEditorPicker() : m_clr(0), m_bSelected(FALSE) {}

void CXTPImageEditorPicker::SetColor(COLORREF clr)
{
    m_clr = clr;
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void CXTPImageEditorPicker::SetSelected(BOOL bSelected)
{
    m_bSelected = bSelected;
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

LRESULT CXTPImageEditorPicker::OnNcHitTest(CPoint)
{
    // A static is transparent to the mouse unless it says otherwise.
    return HTCLIENT;
}

BOOL CXTPImageEditorPicker::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPImageEditorPicker::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    CRect rc;
    GetClientRect(&rc);
    auto Fill = [hdc](const RECT& r, COLORREF clr) {
        ::SetBkColor(hdc, clr);
        ::ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    };
    if (m_clr == XTP_IMAGEEDITOR_TRANSPARENT) {
        Fill(rc, RGB(255, 255, 255));
        const CPoint center = rc.CenterPoint();
        Fill(CRect(rc.left, rc.top, center.x, center.y), kCheckerGrey);
        Fill(CRect(center.x, center.y, rc.right, rc.bottom), kCheckerGrey);
    } else {
        Fill(rc, m_clr);
    }
    auto Frame = [hdc](CRect r, COLORREF clr) {
        CScopedBrush brush(::CreateSolidBrush(clr));
        ::FrameRect(hdc, &r, brush);
    };
    if (m_bSelected) {
        Frame(rc, RGB(0, 0, 0));
        rc.DeflateRect(1, 1);
        Frame(rc, RGB(255, 255, 255));
    } else {
        Frame(rc, ::GetSysColor(COLOR_3DDKSHADOW));
    }
    ::EndPaint(m_hWnd, &ps);
}

void CXTPImageEditorPicker::OnLButtonDown(UINT, CPoint)
{
    NMHDR hdr{};
    hdr.hwndFrom = m_hWnd;
    hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    hdr.code = NM_CLICK;
    if (HWND hParent = ::GetParent(m_hWnd))
        ::SendMessageW(hParent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

// ---- CXTPImageEditorPicture

BEGIN_MESSAGE_MAP(CXTPImageEditorPicture, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
ON_WM_SETCURSOR()
ON_WM_NCHITTEST()
END_MESSAGE_MAP()

CXTPImageEditorPicture::CXTPImageEditorPicture()
    : m_szImage(16, 16), m_szCell(1, 1), m_pDlg(nullptr), m_pStartImage(nullptr), m_pCurrentImage(nullptr),
      m_bDrawing(FALSE), m_clrStroke(0), m_hCursorLine(LoadToolkitCursor(XTP_IDC_IMAGEEDITOR_LINE)),
      m_hCursorFill(LoadToolkitCursor(XTP_IDC_IMAGEEDITOR_FILL)),
      m_hCursorPencil(LoadToolkitCursor(XTP_IDC_IMAGEEDITOR_PENCIL)),
      m_hCursorPickColor(LoadToolkitCursor(XTP_IDC_IMAGEEDITOR_GETCOLOR))
{
}

CXTPImageEditorPicture::~CXTPImageEditorPicture()
{
    for (CXTPImageEditorBitmap* p : m_undo)
        delete p;
    for (CXTPImageEditorBitmap* p : m_redo)
        delete p;
    delete m_pStartImage;
    delete m_pCurrentImage;
}

void CXTPImageEditorPicture::Init(CXTPImageEditorDlg* pDlg, CSize szImage)
{
    m_pDlg = pDlg;
    m_szImage = szImage;
    CRect rc;
    GetWindowRect(&rc);
    m_szCell.cx = std::max(1, rc.Width() / std::max(1, static_cast<int>(szImage.cx)));
    m_szCell.cy = std::max(1, rc.Height() / std::max(1, static_cast<int>(szImage.cy)));
    // Square cells read as pixels; the taller or wider side gives way.
    SetWindowPos(nullptr, 0, 0, szImage.cx * m_szCell.cx + 1, szImage.cy * m_szCell.cy + 1,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The window has no border of its own: the frame is painted.
    ModifyStyle(SS_SUNKEN, 0, SWP_FRAMECHANGED);
    ModifyStyleEx(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    SetWindowPos(nullptr, 0, 0, szImage.cx * m_szCell.cx + 1, szImage.cy * m_szCell.cy + 1,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CScopedWindowDC screen(nullptr);
    m_dcMem.Attach(::CreateCompatibleDC(screen));
}

CPoint CXTPImageEditorPicture::ClientToImage(CPoint point) const
{
    return CPoint(point.x / m_szCell.cx, point.y / m_szCell.cy);
}

void CXTPImageEditorPicture::SetImage(CXTPImageEditorBitmap* pImage)
{
    delete m_pCurrentImage;
    m_pCurrentImage = pImage;
    Redraw();
}

void CXTPImageEditorPicture::BeginChange()
{
    delete m_pStartImage;
    m_pStartImage = m_pCurrentImage;
    m_pCurrentImage =
        m_pStartImage != nullptr ? m_pStartImage->Copy() : CXTPImageEditorBitmap::CreateBlank(m_szImage, FALSE);
}

void CXTPImageEditorPicture::ReplaceImage(CXTPImageEditorBitmap* pImage)
{
    if (pImage == m_pCurrentImage)
        return;
    delete m_pCurrentImage;
    m_pCurrentImage = pImage;
}

void CXTPImageEditorPicture::Commit()
{
    for (CXTPImageEditorBitmap* p : m_redo)
        delete p;
    m_redo.clear();
    while (m_undo.size() >= kMaxUndo) {
        delete m_undo.front();
        m_undo.pop_front();
    }
    m_undo.push_back(m_pStartImage);
    m_pStartImage = nullptr;
    Redraw();
}

void CXTPImageEditorPicture::Undo()
{
    if (m_undo.empty())
        return;
    m_redo.push_back(m_pCurrentImage);
    m_pCurrentImage = m_undo.back();
    m_undo.pop_back();
    Redraw();
}

void CXTPImageEditorPicture::Redo()
{
    if (m_redo.empty())
        return;
    m_undo.push_back(m_pCurrentImage);
    m_pCurrentImage = m_redo.back();
    m_redo.pop_back();
    Redraw();
}

void CXTPImageEditorPicture::Clear()
{
    delete m_pStartImage;
    m_pStartImage = m_pCurrentImage;
    m_pCurrentImage = nullptr;
    Commit();
}

void CXTPImageEditorPicture::Shift(int dx, int dy)
{
    if (m_pCurrentImage == nullptr)
        return;
    CXTPImageEditorBitmap* pShifted = CXTPImageEditorBitmap::CreateBlank(m_szImage, m_pCurrentImage->IsAlpha());
    if (pShifted == nullptr)
        return;
    ::GdiFlush();
    const CSize size = m_pCurrentImage->GetSize();
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            const int tx = x + dx, ty = y + dy;
            if (tx >= 0 && ty >= 0 && tx < m_szImage.cx && ty < m_szImage.cy)
                pShifted->GetBits()[static_cast<size_t>(ty) * m_szImage.cx + tx] =
                    m_pCurrentImage->GetBits()[static_cast<size_t>(y) * size.cx + x];
        }
    }
    CommitNewImage(pShifted);
}

void CXTPImageEditorPicture::CommitNewImage(CXTPImageEditorBitmap* pImage)
{
    delete m_pStartImage;
    m_pStartImage = m_pCurrentImage;
    m_pCurrentImage = pImage;
    Commit();
}

void CXTPImageEditorPicture::RestoreAlpha(const CXTPImageEditorBitmap* pBefore, CXTPImageEditorBitmap* pEdited)
{
    if (pEdited == nullptr || !pEdited->IsAlpha())
        return;
    ::GdiFlush();
    const CSize size = pEdited->GetSize();
    const size_t nCount = static_cast<size_t>(size.cx) * size.cy;
    DWORD* pBits = pEdited->GetBits();
    const DWORD* pOld = pBefore != nullptr && pBefore->GetSize() == size ? pBefore->GetBits() : nullptr;
    for (size_t i = 0; i < nCount; ++i) {
        const DWORD rgb = pBits[i] & 0xFFFFFF;
        if (rgb == kTransparentPixel)
            pBits[i] = kTransparentPixel;
        else if (pOld != nullptr && (pOld[i] & 0xFFFFFF) == rgb)
            pBits[i] = pOld[i];
        else
            pBits[i] = rgb | 0xFF000000;
    }
}

void CXTPImageEditorPicture::Redraw()
{
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
    if (m_pDlg != nullptr)
        m_pDlg->OnPictureChanged();
}

LRESULT CXTPImageEditorPicture::OnNcHitTest(CPoint)
{
    return HTCLIENT;
}

BOOL CXTPImageEditorPicture::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPImageEditorPicture::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    CRect rc;
    GetClientRect(&rc);
    DWORD* pCanvas = nullptr;
    CScopedBitmap hCanvas(CreateDib32(rc.Size(), &pCanvas));
    if (hCanvas && m_dcMem.m_hDC != nullptr && rc.Width() > 0 && rc.Height() > 0) {
        const int cw = rc.Width(), ch = rc.Height();
        const CXTPImageEditorBitmap* pImage = m_pCurrentImage;
        ::GdiFlush();
        for (int j = 0; j < ch; ++j) {
            for (int i = 0; i < cw; ++i) {
                DWORD out = 0xFFFFFF;
                if (pImage != nullptr) {
                    const int x = i * m_szImage.cx / cw, y = j * m_szImage.cy / ch;
                    const DWORD px = pImage->GetBits()[static_cast<size_t>(y) * pImage->GetSize().cx + x];
                    const BYTE level = (((i + 3) / 4 + (j + 3) / 4) & 1) ? 235 : 255;
                    const DWORD checker = (static_cast<DWORD>(level) << 16) | (level << 8) | level;
                    if ((px & 0xFFFFFF) == kTransparentPixel) {
                        out = checker;
                    } else if (pImage->IsAlpha()) {
                        const int a = static_cast<int>(px >> 24);
                        out = 0;
                        for (int shift = 0; shift <= 16; shift += 8) {
                            const int c = static_cast<int>((px >> shift) & 0xFF);
                            out |= static_cast<DWORD>(level - a * (level - c) / 255) << shift;
                        }
                    } else {
                        out = px & 0xFFFFFF;
                    }
                }
                pCanvas[static_cast<size_t>(j) * cw + i] = out;
            }
        }
        CScopedSelect select(m_dcMem.m_hDC, hCanvas);
        CScopedBrush black(::CreateSolidBrush(RGB(0, 0, 0)));
        ::FrameRect(m_dcMem.m_hDC, &rc, black);
        ::BitBlt(hdc, 0, 0, cw, ch, m_dcMem.m_hDC, 0, 0, SRCCOPY);
    }
    ::EndPaint(m_hWnd, &ps);
}

void CXTPImageEditorPicture::FloodFill(CXTPImageEditorBitmap* pImage, CPoint pt, COLORREF clr) const
{
    // The surface of the colour under the point, reached through its four neighbours.
    ::GdiFlush();
    const CSize size = pImage->GetSize();
    if (pt.x < 0 || pt.y < 0 || pt.x >= size.cx || pt.y >= size.cy)
        return;
    DWORD* pBits = pImage->GetBits();
    const DWORD target = pBits[static_cast<size_t>(pt.y) * size.cx + pt.x] & 0xFFFFFF;
    const DWORD fill = PixelFromColor(clr);
    if (target == fill)
        return;
    std::vector<POINT> stack{pt};
    while (!stack.empty()) {
        const POINT p = stack.back();
        stack.pop_back();
        if (p.x < 0 || p.y < 0 || p.x >= size.cx || p.y >= size.cy)
            continue;
        DWORD& px = pBits[static_cast<size_t>(p.y) * size.cx + p.x];
        if ((px & 0xFFFFFF) != target)
            continue;
        px = fill;
        stack.push_back({p.x + 1, p.y});
        stack.push_back({p.x - 1, p.y});
        stack.push_back({p.x, p.y + 1});
        stack.push_back({p.x, p.y - 1});
    }
}

void CXTPImageEditorPicture::OnLButtonDown(UINT, CPoint point)
{
    if (m_pDlg == nullptr || m_bDrawing)
        return;
    const CPoint pixel = ClientToImage(point);
    const int nTool = m_pDlg->GetCurrentTool();
    const COLORREF clrUnder =
        m_pCurrentImage != nullptr ? m_pCurrentImage->GetPixel(pixel.x, pixel.y) : XTP_IMAGEEDITOR_TRANSPARENT;
    if (nTool == CXTPImageEditorDlg::toolPickColor) {
        m_pDlg->PickColor(clrUnder);
        return;
    }
    BeginChange();
    if (m_pCurrentImage == nullptr)
        return;
    if (nTool == CXTPImageEditorDlg::toolFill) {
        FloodFill(m_pCurrentImage, pixel, m_pDlg->GetSelectedColor());
        RestoreAlpha(m_pStartImage, m_pCurrentImage);
        Commit();
        return;
    }
    // A second click in the same colour erases.
    m_clrStroke = m_pDlg->GetSelectedColor();
    if (clrUnder == m_clrStroke)
        m_clrStroke = XTP_IMAGEEDITOR_TRANSPARENT;
    m_bDrawing = TRUE;
    m_ptStart = point;
    SetCapture();
    DrawStep(point);
}

void CXTPImageEditorPicture::DrawStep(CPoint point)
{
    if (m_pDlg == nullptr)
        return;
    const int nTool = m_pDlg->GetCurrentTool();
    const CPoint pixel = ClientToImage(point);
    CXTPImageEditorBitmap* pNew = nullptr;
    if (nTool == CXTPImageEditorDlg::toolPencil) {
        pNew = m_pCurrentImage != nullptr ? m_pCurrentImage->Copy() : nullptr;
        if (pNew != nullptr)
            pNew->SetPixel(pixel.x, pixel.y, m_clrStroke);
    } else {
        pNew = m_pStartImage != nullptr ? m_pStartImage->Copy() : CXTPImageEditorBitmap::CreateBlank(m_szImage, FALSE);
        if (pNew != nullptr && nTool >= CXTPImageEditorDlg::toolLine) {
            const CPoint start = ClientToImage(m_ptStart);
            const COLORREF clr = m_pDlg->GetSelectedColor();
            CScopedSelect bitmap(m_dcMem.m_hDC, pNew->GetBitmap());
            CScopedPenHandle pen(::CreatePen(PS_SOLID, 1, clr));
            CScopedSelect selectPen(m_dcMem.m_hDC, pen);
            if (nTool == CXTPImageEditorDlg::toolLine) {
                ::MoveToEx(m_dcMem.m_hDC, start.x, start.y, nullptr);
                ::LineTo(m_dcMem.m_hDC, pixel.x, pixel.y);
            } else {
                CRect rc(start, pixel);
                rc.NormalizeRect();
                // The shape reaches the pixel under the mouse.
                rc.right++;
                rc.bottom++;
                if (nTool == CXTPImageEditorDlg::toolRectangle) {
                    CScopedSelect brush(m_dcMem.m_hDC, ::GetStockObject(NULL_BRUSH));
                    ::Rectangle(m_dcMem.m_hDC, rc.left, rc.top, rc.right, rc.bottom);
                } else {
                    CScopedBrush inside(::CreateSolidBrush(XTP_IMAGEEDITOR_TRANSPARENT));
                    CScopedSelect brush(m_dcMem.m_hDC, inside);
                    ::Ellipse(m_dcMem.m_hDC, rc.left, rc.top, rc.right, rc.bottom);
                }
            }
            ::GdiFlush();
        }
    }
    if (pNew == nullptr)
        return;
    RestoreAlpha(m_pStartImage, pNew);
    ReplaceImage(pNew);
    Redraw();
}

void CXTPImageEditorPicture::OnMouseMove(UINT, CPoint point)
{
    if (m_bDrawing)
        DrawStep(point);
}

void CXTPImageEditorPicture::OnLButtonUp(UINT, CPoint)
{
    if (!m_bDrawing)
        return;
    // Losing the capture ends the stroke and commits it.
    ReleaseCapture();
    if (m_bDrawing) {
        m_bDrawing = FALSE;
        Commit();
    }
}

void CXTPImageEditorPicture::OnCaptureChanged(CWnd*)
{
    if (!m_bDrawing)
        return;
    m_bDrawing = FALSE;
    Commit();
}

BOOL CXTPImageEditorPicture::OnSetCursor(CWnd*, UINT nHitTest, UINT)
{
    HCURSOR hCursor = nullptr;
    if (nHitTest == HTCLIENT && m_pDlg != nullptr) {
        switch (m_pDlg->GetCurrentTool()) {
        case CXTPImageEditorDlg::toolPencil:
            hCursor = m_hCursorPencil;
            break;
        case CXTPImageEditorDlg::toolFill:
            hCursor = m_hCursorFill;
            break;
        case CXTPImageEditorDlg::toolPickColor:
            hCursor = m_hCursorPickColor;
            break;
        default:
            hCursor = m_hCursorLine;
            break;
        }
    }
    ::SetCursor(hCursor != nullptr ? hCursor : ::LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

// ---- CXTPImageEditorPreview

BEGIN_MESSAGE_MAP(CXTPImageEditorPreview, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CXTPImageEditorPreview::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPImageEditorPreview::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    CRect rc;
    GetClientRect(&rc);
    CScopedCreatedDC hdcMem(::CreateCompatibleDC(hdc));
    CScopedBitmap hCanvas(::CreateCompatibleBitmap(hdc, rc.Width(), rc.Height()));
    if (hdcMem && hCanvas) {
        CScopedSelect canvas(hdcMem, hCanvas);
        ::FillRect(hdcMem, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
        const CXTPImageEditorBitmap* pImage = m_pDlg->GetPicture().GetImage();
        const CSize size = m_pDlg->GetImageSize();
        const CPoint pt(10, (rc.Height() - size.cy) / 2);
        CRect rcFrame(pt, size);
        rcFrame.InflateRect(3, 3);
        Draw3dFrame(hdcMem, rcFrame, ::GetSysColor(COLOR_3DHIGHLIGHT), ::GetSysColor(COLOR_3DSHADOW));
        rcFrame.InflateRect(1, 1);
        Draw3dFrame(hdcMem, rcFrame, ::GetSysColor(COLOR_3DFACE), ::GetSysColor(COLOR_3DDKSHADOW));
        if (pImage != nullptr) {
            ::GdiFlush();
            const CSize sizeImage = pImage->GetSize();
            const size_t nCount = static_cast<size_t>(sizeImage.cx) * sizeImage.cy;
            std::vector<DWORD> pixels(pImage->GetBits(), pImage->GetBits() + nCount);
            const DWORD face = PixelFromColor(::GetSysColor(COLOR_BTNFACE));
            for (DWORD& px : pixels) {
                if (pImage->IsAlpha()) {
                    // Premultiplied for blending; the editor's transparent pixels show nothing.
                    const DWORD a = (px & 0xFFFFFF) == kTransparentPixel ? 0 : px >> 24;
                    px = (a << 24) | ((((px >> 16) & 0xFF) * a / 255) << 16) | ((((px >> 8) & 0xFF) * a / 255) << 8) |
                         ((px & 0xFF) * a / 255);
                } else {
                    px = (px & 0xFFFFFF) == kTransparentPixel ? face : (px & 0xFFFFFF);
                }
            }
            DWORD* pBits = nullptr;
            CScopedBitmap hImage(CreateDib32(sizeImage, &pBits));
            CScopedCreatedDC hdcImage(::CreateCompatibleDC(hdc));
            if (hImage && hdcImage) {
                memcpy(pBits, pixels.data(), nCount * sizeof(DWORD));
                CScopedSelect image(hdcImage, hImage);
                if (pImage->IsAlpha()) {
                    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                    ::AlphaBlend(hdcMem, pt.x, pt.y, sizeImage.cx, sizeImage.cy, hdcImage, 0, 0, sizeImage.cx,
                                 sizeImage.cy, blend);
                } else {
                    ::BitBlt(hdcMem, pt.x, pt.y, sizeImage.cx, sizeImage.cy, hdcImage, 0, 0, SRCCOPY);
                }
            }
        }
        ::BitBlt(hdc, 0, 0, rc.Width(), rc.Height(), hdcMem, 0, 0, SRCCOPY);
    }
    ::EndPaint(m_hWnd, &ps);
}

// ---- CXTPImageEditorDlg

BEGIN_MESSAGE_MAP(CXTPImageEditorDlg, CDialog)
ON_COMMAND_RANGE(XTP_ID_BUTTON_PENCIL, XTP_ID_BUTTON_CIRCLE, OnTool)
ON_UPDATE_COMMAND_UI_RANGE(XTP_ID_BUTTON_PENCIL, XTP_ID_BUTTON_CIRCLE, OnUpdateTool)
ON_COMMAND(XTP_ID_BUTTON_COPY, OnCopy)
ON_COMMAND(XTP_ID_BUTTON_PASTE, OnPaste)
ON_COMMAND(XTP_ID_BUTTON_CLEAR, OnClear)
ON_COMMAND(XTP_ID_BUTTON_UNDO, OnUndo)
ON_UPDATE_COMMAND_UI(XTP_ID_BUTTON_UNDO, OnUpdateUndo)
ON_COMMAND(XTP_ID_BUTTON_REDO, OnRedo)
ON_UPDATE_COMMAND_UI(XTP_ID_BUTTON_REDO, OnUpdateRedo)
ON_COMMAND(XTP_ID_BUTTON_OPEN, OnImport)
ON_COMMAND_RANGE(XTP_ID_BUTTON_LEFT, XTP_ID_BUTTON_RIGHT, OnMove)
ON_NOTIFY_RANGE(NM_CLICK, XTP_IDS_CLR_BLACK, XTP_IDS_CLR_LAST, OnPickerClick)
ON_NOTIFY_RANGE(NM_CLICK, XTP_IDC_CLR_ERASE, XTP_IDC_CLR_ERASE, OnPickerClick)
ON_NOTIFY(NM_CLICK, XTP_IDC_CLR_PICKER, OnCustomPickerClick)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

CXTPImageEditorDlg::CXTPImageEditorDlg(CWnd* pParentWnd)
    : m_wndPreview(this), m_pSelected(nullptr), m_nCurrentTool(toolPencil), m_nPreviousTool(toolPencil),
      m_szPicture(16, 16), m_pInitialImage(nullptr), m_szTip{}, m_szTipA{}
{
    m_pParentWnd = pParentWnd;
    if (LPCDLGTEMPLATE pTemplate = XTGetResourceHolder()->LoadDialogTemplate(XTP_IDD_IMAGEEDITOR_DIALOG))
        InitModalIndirect(pTemplate, pParentWnd);
}

CXTPImageEditorDlg::~CXTPImageEditorDlg()
{
    delete m_pInitialImage;
}

void CXTPImageEditorDlg::SetSize(int cx, int cy)
{
    m_szPicture = CSize(cx, cy);
}

void CXTPImageEditorDlg::SetIcon(const CXTPImageManagerIconHandle& hIcon)
{
    delete m_pInitialImage;
    m_pInitialImage = nullptr;
    if (hIcon.IsEmpty())
        return;
    m_szPicture = hIcon.GetExtent();
    CXTPImageEditorBitmap* pImage = CXTPImageEditorBitmap::CreateBlank(m_szPicture, hIcon.IsAlpha());
    if (pImage == nullptr)
        return;
    if (hIcon.IsAlpha()) {
        CScopedBitmap hCopy(COleDataObject::CopyBitmap32(hIcon.GetBitmap()));
        if (hCopy)
            CopyPixelsTopLeft(pImage, hCopy, TRUE);
    } else {
        CScopedCreatedDC hdc(::CreateCompatibleDC(nullptr));
        CScopedSelect select(hdc, pImage->GetBitmap());
        ::DrawIconEx(hdc, 0, 0, hIcon.GetIcon(), m_szPicture.cx, m_szPicture.cy, 0, nullptr, DI_NORMAL);
        ::GdiFlush();
        // Drawing clears the unused alpha byte of what it touches; the transparent colour must stay whole.
        const size_t nCount = static_cast<size_t>(m_szPicture.cx) * m_szPicture.cy;
        for (size_t i = 0; i < nCount; ++i)
            pImage->GetBits()[i] &= 0xFFFFFF;
    }
    m_pInitialImage = pImage;
}

void CXTPImageEditorDlg::GetIcon(CXTPImageManagerIconHandle* pIcon) const
{
    const CXTPImageEditorBitmap* pImage =
        m_wndPicture.GetImage() != nullptr ? m_wndPicture.GetImage() : m_pInitialImage;
    if (pIcon == nullptr || pImage == nullptr)
        return;
    ::GdiFlush();
    const CSize size = pImage->GetSize();
    const size_t nCount = static_cast<size_t>(size.cx) * size.cy;
    if (pImage->IsAlpha()) {
        // The editor's transparent colour goes back to a fully transparent pixel.
        std::vector<DWORD> pixels(pImage->GetBits(), pImage->GetBits() + nCount);
        for (DWORD& px : pixels) {
            if ((px & 0xFFFFFF) == kTransparentPixel)
                px = 0;
        }
        if (HBITMAP hBitmap = CXTPImageManager::CreateBitmap32(size, pixels.data()))
            pIcon->AttachBitmap(hBitmap);
        return;
    }
    CImageList list;
    if (!list.Create(size.cx, size.cy, ILC_COLOR24 | ILC_MASK, 0, 1))
        return;
    // The image list wants a bitmap of the screen's kind to take the mask from.
    CScopedWindowDC screen(nullptr);
    HBITMAP hCopy = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
    if (hCopy == nullptr)
        return;
    {
        CScopedCreatedDC hdcTo(::CreateCompatibleDC(screen));
        CScopedCreatedDC hdcFrom(::CreateCompatibleDC(screen));
        CScopedSelect to(hdcTo, hCopy);
        CScopedSelect from(hdcFrom, pImage->GetBitmap());
        ::BitBlt(hdcTo, 0, 0, size.cx, size.cy, hdcFrom, 0, 0, SRCCOPY);
    }
    CBitmap bmp;
    bmp.Attach(hCopy);
    list.Add(&bmp, XTP_IMAGEEDITOR_TRANSPARENT);
    if (list.GetImageCount() == 1) {
        if (HICON hIcon = list.ExtractIcon(0))
            pIcon->AttachIcon(hIcon);
    }
}

void CXTPImageEditorDlg::PlaceBar(CToolBar& bar, UINT nPlaceholder)
{
    CWnd* pPlaceholder = GetDlgItem(nPlaceholder);
    if (pPlaceholder == nullptr)
        return;
    CRect rc;
    pPlaceholder->GetWindowRect(&rc);
    ScreenToClient(&rc);
    const CSize size = bar.CalcFixedLayout(FALSE, TRUE);
    bar.SetWindowPos(nullptr, rc.left - 7, rc.top - 4, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // The placeholders share their ids with move commands: once placed by, they give their ids up, so that the
    // buttons' updates and commands never reach a hidden static.
    pPlaceholder->SetDlgCtrlID(0);
}

BOOL CXTPImageEditorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    const BOOL bVersion6 = CXTPImageManager::IsComCtl32Version6();
    CBitmap bmpTools;
    if (bVersion6 && m_ilTools.Create(16, 16, ILC_COLOR32, 0, 1) &&
        XTGetResourceHolder()->LoadBitmap(&bmpTools, XTP_IDB_IMAGEEDITOR_TOOLS32)) {
        m_ilTools.Add(&bmpTools, static_cast<CBitmap*>(nullptr));
    } else {
        m_ilTools.DeleteImageList();
        m_ilTools.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 1);
        if (XTGetResourceHolder()->LoadBitmap(&bmpTools, XTP_IDB_IMAGEEDITOR_TOOLS))
            m_ilTools.Add(&bmpTools, RGB(192, 192, 192));
    }

    const DWORD dwBarStyle = WS_CHILD | WS_VISIBLE | CBRS_TOOLTIPS;
    if (m_wndToolbarTools.CreateEx(this, TBSTYLE_FLAT, dwBarStyle, CRect(0, 0, 0, 0), XTP_IDC_STATIC_TOOLS + 1000)) {
        m_wndToolbarTools.SetImageList(m_ilTools.GetSafeHandle());
        m_wndToolbarTools.SetButtons(kToolButtons, 12);
        for (int i = 3; i < 12; i += 4)
            m_wndToolbarTools.SetButtonStyle(i, m_wndToolbarTools.GetButtonStyle(i) | TBBS_WRAPPED);
        PlaceBar(m_wndToolbarTools, XTP_IDC_STATIC_TOOLS);
    }
    if (m_wndToolbarMove.CreateEx(this, TBSTYLE_FLAT, dwBarStyle, CRect(0, 0, 0, 0), XTP_IDC_STATIC_MOVE + 1000)) {
        m_wndToolbarMove.SetImageList(m_ilTools.GetSafeHandle());
        m_wndToolbarMove.SetButtons(kMoveButtons, 4);
        // Images 12 to 15 of the strip.
        for (int i = 0; i < 4; ++i) {
            TBBUTTONINFOW info{};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_IMAGE;
            info.iImage = 12 + i;
            m_wndToolbarMove.SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        }
        PlaceBar(m_wndToolbarMove, XTP_IDC_STATIC_MOVE);
    }

    // The colour cells, two rows of eight, from the "Colors" placeholder.
    if (CWnd* pColors = GetDlgItem(XTP_IDC_STATIC_COLORS)) {
        CRect rc;
        pColors->GetWindowRect(&rc);
        ScreenToClient(&rc);
        for (int i = 0; i < 16; ++i) {
            const CRect rcCell(CPoint(rc.left + (i % 8) * 13, rc.top - 4 + (i / 8) * 13), CSize(11, 11));
            m_wndPickers[i].Create(L"", WS_CHILD | WS_VISIBLE, rcCell, this, kPickerColors[i].nID);
            m_wndPickers[i].SetColor(kPickerColors[i].clr);
        }
        pColors->SetDlgCtrlID(0);
    }
    m_wndPickerCustom.SubclassDlgItem(XTP_IDC_CLR_PICKER, this);
    m_wndPickerCustom.SetColor(RGB(0, 0, 0));
    m_wndPickerErase.SubclassDlgItem(XTP_IDC_CLR_ERASE, this);
    m_wndPickerErase.SetColor(XTP_IMAGEEDITOR_TRANSPARENT);
    SelectPicker(&m_wndPickers[0]);

    m_wndPicture.SubclassDlgItem(XTP_IDC_STATIC_PICTURE, this);
    m_wndPicture.Init(this, m_szPicture);
    if (m_pInitialImage != nullptr) {
        m_wndPicture.SetImage(m_pInitialImage);
        m_pInitialImage = nullptr;
    }
    m_wndPreview.SubclassDlgItem(XTP_IDC_STATIC_PREVIEW, this);
    m_wndPreview.ModifyStyle(SS_SUNKEN, 0, SWP_FRAMECHANGED);
    m_wndPreview.ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);

    OnKickIdle(0, 0);
    return TRUE;
}

LRESULT CXTPImageEditorDlg::OnKickIdle(WPARAM, LPARAM)
{
    if (m_wndToolbarTools.m_hWnd != nullptr)
        m_wndToolbarTools.OnUpdateCmdUI(this, TRUE);
    if (m_wndToolbarMove.m_hWnd != nullptr)
        m_wndToolbarMove.OnUpdateCmdUI(this, TRUE);
    return 0;
}

COLORREF CXTPImageEditorDlg::GetSelectedColor() const
{
    return m_pSelected != nullptr ? m_pSelected->GetColor() : RGB(0, 0, 0);
}

void CXTPImageEditorDlg::SelectPicker(CXTPImageEditorPicker* pPicker)
{
    if (m_pSelected == pPicker)
        return;
    if (m_pSelected != nullptr)
        m_pSelected->SetSelected(FALSE);
    m_pSelected = pPicker;
    if (m_pSelected != nullptr)
        m_pSelected->SetSelected(TRUE);
}

CXTPImageEditorPicker* CXTPImageEditorDlg::FindPicker(UINT nID)
{
    if (nID == XTP_IDC_CLR_ERASE)
        return &m_wndPickerErase;
    if (nID == XTP_IDC_CLR_PICKER)
        return &m_wndPickerCustom;
    for (CXTPImageEditorPicker& picker : m_wndPickers) {
        if (picker.m_hWnd != nullptr && static_cast<UINT>(picker.GetDlgCtrlID()) == nID)
            return &picker;
    }
    return nullptr;
}

void CXTPImageEditorDlg::OnPickerClick(UINT nID, NMHDR*, LRESULT* pResult)
{
    if (CXTPImageEditorPicker* pPicker = FindPicker(nID))
        SelectPicker(pPicker);
    *pResult = 0;
}

void CXTPImageEditorDlg::OnCustomPickerClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CColorDialog dlg(m_wndPickerCustom.GetColor(), 0, this);
    if (dlg.DoModal() != IDOK)
        return;
    m_wndPickerCustom.SetColor(dlg.GetColor());
    SelectPicker(&m_wndPickerCustom);
}

void CXTPImageEditorDlg::PickColor(COLORREF clr)
{
    m_wndPickerCustom.SetColor(clr);
    SelectPicker(&m_wndPickerCustom);
    m_nCurrentTool = m_nPreviousTool;
}

void CXTPImageEditorDlg::OnTool(UINT nID)
{
    const int nTool = static_cast<int>(nID - XTP_ID_BUTTON_PENCIL);
    // While the picker is on, the tool to come back to stays the one before it.
    if (m_nCurrentTool != toolPickColor)
        m_nPreviousTool = m_nCurrentTool;
    m_nCurrentTool = nTool;
}

void CXTPImageEditorDlg::OnUpdateTool(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(static_cast<int>(pCmdUI->m_nID - XTP_ID_BUTTON_PENCIL) == m_nCurrentTool);
}

void CXTPImageEditorDlg::OnUndo()
{
    m_wndPicture.Undo();
}

void CXTPImageEditorDlg::OnRedo()
{
    m_wndPicture.Redo();
}

void CXTPImageEditorDlg::OnUpdateUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndPicture.GetUndoCount() > 0);
}

void CXTPImageEditorDlg::OnUpdateRedo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_wndPicture.GetRedoCount() > 0);
}

void CXTPImageEditorDlg::OnClear()
{
    m_wndPicture.Clear();
}

void CXTPImageEditorDlg::OnMove(UINT nID)
{
    switch (nID) {
    case XTP_ID_BUTTON_LEFT:
        m_wndPicture.Shift(-1, 0);
        break;
    case XTP_ID_BUTTON_DOWN:
        m_wndPicture.Shift(0, 1);
        break;
    case XTP_ID_BUTTON_UP:
        m_wndPicture.Shift(0, -1);
        break;
    default:
        m_wndPicture.Shift(1, 0);
        break;
    }
}

void CXTPImageEditorDlg::OnPictureChanged()
{
    if (m_wndPreview.m_hWnd != nullptr)
        m_wndPreview.Invalidate(FALSE);
}

void CXTPImageEditorDlg::OnCopy()
{
    const CXTPImageEditorBitmap* pImage = m_wndPicture.GetImage();
    if (pImage == nullptr || m_wndPicture.m_hWnd == nullptr)
        return;
    ::GdiFlush();
    const CSize size = pImage->GetSize();
    HBITMAP hBitmap = nullptr;
    if (pImage->IsAlpha()) {
        CXTPImageEditorBitmap* pCopy = pImage->Copy();
        if (pCopy != nullptr) {
            const size_t nCount = static_cast<size_t>(size.cx) * size.cy;
            for (size_t i = 0; i < nCount; ++i) {
                if ((pCopy->GetBits()[i] & 0xFFFFFF) == kTransparentPixel)
                    pCopy->GetBits()[i] = 0;
            }
            hBitmap = CXTPImageManager::CreateBitmap32(size, pCopy->GetBits());
            delete pCopy;
        }
    } else {
        CScopedWindowDC screen(nullptr);
        hBitmap = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
        std::vector<DWORD> pixels(pImage->GetBits(), pImage->GetBits() + static_cast<size_t>(size.cx) * size.cy);
        const DWORD face = PixelFromColor(::GetSysColor(COLOR_BTNFACE));
        for (DWORD& px : pixels)
            px = (px & 0xFFFFFF) == kTransparentPixel ? face : (px & 0xFFFFFF);
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = size.cx;
        bmi.bmiHeader.biHeight = -size.cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        if (hBitmap != nullptr)
            ::SetDIBits(screen, hBitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &bmi, DIB_RGB_COLORS);
    }
    if (hBitmap == nullptr)
        return;
    if (!::OpenClipboard(m_wndPicture.m_hWnd)) {
        ::DeleteObject(hBitmap);
        return;
    }
    if (!::EmptyClipboard()) {
        ::CloseClipboard();
        ::DeleteObject(hBitmap);
        return;
    }
    if (::SetClipboardData(CF_BITMAP, hBitmap) == nullptr)
        ::DeleteObject(hBitmap);
    if (pImage->IsAlpha()) {
        if (HGLOBAL hMark = ::GlobalAlloc(GMEM_MOVEABLE, 1)) {
            if (::SetClipboardData(::RegisterClipboardFormatW(L"Alpha Bitmap Image"), hMark) == nullptr)
                ::GlobalFree(hMark);
        }
    }
    ::CloseClipboard();
}

void CXTPImageEditorDlg::OnPaste()
{
    COleDataObject data;
    if (!data.AttachClipboard() || !data.IsDataAvailable(CF_BITMAP))
        return;
    // A 32-bit picture of another program names itself with "DIB32"; the toolkit's own copies carry a marker.
    BOOL bAlpha = FALSE, bNamed = FALSE;
    data.BeginEnumFormats();
    FORMATETC format{};
    while (data.GetNextFormat(&format)) {
        wchar_t szName[256] = {};
        if (::GetClipboardFormatNameW(format.cfFormat, szName, 255) > 1 && wcsstr(szName + 1, L"DIB32") != nullptr)
            bNamed = bAlpha = TRUE;
    }
    if (!bNamed)
        bAlpha = data.IsDataAvailable(static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Alpha Bitmap Image")));
    CScopedBitmap hPasted(data.GetBitmapCopy());
    if (!hPasted)
        return;
    CXTPImageEditorBitmap* pImage = CXTPImageEditorBitmap::CreateBlank(m_szPicture, bAlpha);
    if (pImage == nullptr)
        return;
    CopyPixelsTopLeft(pImage, hPasted, bAlpha);
    if (!bAlpha) {
        const DWORD face = PixelFromColor(::GetSysColor(COLOR_BTNFACE));
        const size_t nCount = static_cast<size_t>(m_szPicture.cx) * m_szPicture.cy;
        for (size_t i = 0; i < nCount; ++i) {
            if ((pImage->GetBits()[i] & 0xFFFFFF) == face)
                pImage->GetBits()[i] = kTransparentPixel;
        }
    }
    m_wndPicture.CommitNewImage(pImage);
}

BOOL CXTPImageEditorDlg::ImportFile(LPCTSTR lpszPath, BOOL bReport)
{
    CString strExt(lpszPath);
    const int nDot = strExt.ReverseFind(L'.');
    const int nSlash = std::max(strExt.ReverseFind(L'\\'), strExt.ReverseFind(L'/'));
    strExt = nDot > nSlash ? strExt.Mid(nDot + 1) : CString();
    strExt.MakeLower();

    CXTPImageEditorBitmap* pImage = nullptr;
    const LONGLONG nFileSize = FileSize(lpszPath);
    if (nFileSize > 0 && nFileSize <= kMaxImportFile) {
        if (strExt == L"ico") {
            if (CScopedBitmap hAlpha{CXTPImageManager::LoadAlphaIconFile(lpszPath, m_szPicture.cx)}) {
                if ((pImage = CXTPImageEditorBitmap::CreateBlank(m_szPicture, TRUE)) != nullptr)
                    CopyPixelsTopLeft(pImage, hAlpha, TRUE);
            } else if (CScopedIcon hIcon{
                           static_cast<HICON>(::LoadImageW(nullptr, lpszPath, IMAGE_ICON, m_szPicture.cx,
                                                           m_szPicture.cy, LR_LOADFROMFILE | LR_CREATEDIBSECTION))}) {
                if ((pImage = CXTPImageEditorBitmap::CreateBlank(m_szPicture, FALSE)) != nullptr) {
                    CScopedCreatedDC hdc(::CreateCompatibleDC(nullptr));
                    CScopedSelect select(hdc, pImage->GetBitmap());
                    ::DrawIconEx(hdc, 0, 0, hIcon, m_szPicture.cx, m_szPicture.cy, 0, nullptr, DI_NORMAL);
                    ::GdiFlush();
                    const size_t nCount = static_cast<size_t>(m_szPicture.cx) * m_szPicture.cy;
                    for (size_t i = 0; i < nCount; ++i)
                        pImage->GetBits()[i] &= 0xFFFFFF;
                }
            }
        } else if (strExt == L"bmp" || strExt == L"dib") {
            if (IsReadableBitmapFile(lpszPath, nFileSize)) {
                CScopedBitmap hLoaded(static_cast<HBITMAP>(
                    ::LoadImageW(nullptr, lpszPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
                CScopedBitmap hCopy(hLoaded ? COleDataObject::CopyBitmap32(hLoaded) : nullptr);
                const BOOL bAlpha = CXTPImageManager::IsAlphaBitmapFile(lpszPath);
                if (hCopy && (pImage = CXTPImageEditorBitmap::CreateBlank(m_szPicture, bAlpha)) != nullptr)
                    CopyPixelsTopLeft(pImage, hCopy, bAlpha);
            }
        } else if (strExt == L"emf") {
            if (HENHMETAFILE hMeta = ::GetEnhMetaFileW(lpszPath)) {
                if ((pImage = CXTPImageEditorBitmap::CreateBlank(m_szPicture, FALSE)) != nullptr) {
                    CScopedCreatedDC hdc(::CreateCompatibleDC(nullptr));
                    CScopedSelect select(hdc, pImage->GetBitmap());
                    const RECT rc{0, 0, m_szPicture.cx, m_szPicture.cy};
                    ::PlayEnhMetaFile(hdc, hMeta, &rc);
                    ::GdiFlush();
                }
                ::DeleteEnhMetaFile(hMeta);
            }
        } else if (CScopedBitmap hDecoded{DecodeScaled(lpszPath, m_szPicture)}) {
            // Stretched over the whole image; see-through parts become transparent.
            if ((pImage = CXTPImageEditorBitmap::CreateBlank(m_szPicture, FALSE)) != nullptr) {
                CopyPixelsTopLeft(pImage, hDecoded, TRUE);
                const size_t nCount = static_cast<size_t>(m_szPicture.cx) * m_szPicture.cy;
                for (size_t i = 0; i < nCount; ++i) {
                    DWORD& px = pImage->GetBits()[i];
                    px = (px >> 24) < 128 ? kTransparentPixel : (px & 0xFFFFFF);
                }
            }
        }
    }
    if (pImage == nullptr) {
        if (bReport)
            AfxMessageBox(LoadToolkitString(XTP_IDS_IMAGEEDITOR_IMPORT_FAILED), MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_wndPicture.CommitNewImage(pImage);
    return TRUE;
}

void CXTPImageEditorDlg::OnImport()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, LoadToolkitString(XTP_IDS_IMAGEEDITOR_FILTER), this);
    if (dlg.DoModal() == IDOK)
        ImportFile(dlg.GetPathName());
}

BOOL CXTPImageEditorDlg::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    const UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    CString strText;
    if (nID != 0)
        XTGetResourceHolder()->LoadString(&strText, nID);
    strText = strText.Left(256);
    const int nNewLine = strText.Find(L'\n');
    strText = nNewLine >= 0 ? strText.Mid(nNewLine + 1).Left(80) : CString();
    if (pNMHDR->code == TTN_NEEDTEXTW) {
        lstrcpynW(m_szTip, strText, 81);
        reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->lpszText = m_szTip;
    } else {
        ::WideCharToMultiByte(CP_ACP, 0, strText, -1, m_szTipA, 81, nullptr, nullptr);
        m_szTipA[80] = 0;
        reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->lpszText = m_szTipA;
    }
    *pResult = 0;
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOOWNERZORDER);
    return TRUE;
}
