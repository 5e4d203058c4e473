#include "toolkit/controls/XTButton.h"

#include "framework/core/AfxModule.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/Dc.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/controls/XTMemDC.h"
#include "toolkit/controls/XTThemeManager.h"

namespace {

constexpr UINT_PTR kHotTimer = 1;

HICON LoadButtonIcon(LPCTSTR lpszID, CSize size)
{
    return static_cast<HICON>(
        ::LoadImageW(AfxGetResourceHandle(), lpszID, IMAGE_ICON, size.cx, size.cy, LR_DEFAULTCOLOR));
}

CSize IconSize(HICON hIcon)
{
    CScopedIconInfo info;
    if (!info.Read(hIcon))
        return CSize(0, 0);
    BITMAP bm = {};
    if (info->hbmColor != nullptr && ::GetObjectW(info->hbmColor, sizeof(bm), &bm))
        return CSize(bm.bmWidth, bm.bmHeight);
    if (info->hbmMask != nullptr && ::GetObjectW(info->hbmMask, sizeof(bm), &bm))
        return CSize(bm.bmWidth, bm.bmHeight / 2);
    return CSize(0, 0);
}

// An icon made from a bitmap resource, its corner colour transparent.
HICON MaskedBitmapIcon(UINT nID)
{
    const CScopedBitmap hBitmap(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nID)));
    return hBitmap ? CXTPMaskedBitmap(hBitmap).CreateIcon() : nullptr;
}

} // namespace

IMPLEMENT_DYNAMIC(CXTButton, CButton)

BEGIN_MESSAGE_MAP(CXTButton, CButton)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
ON_WM_LBUTTONDBLCLK()
ON_WM_CREATE()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CXTButton::CXTButton()
    : m_nBorderGap(4), m_nImageGap(8), m_bHot(FALSE), m_bUserPosition(FALSE), m_bLBtnDown(FALSE), m_bPainted(FALSE),
      m_dwxStyle(BS_XT_FLAT), m_sizeImage(0, 0), m_ptText(0, 0), m_ptImage(0, 0), m_pTheme(nullptr),
      m_pThemeManager(nullptr), m_pIcon(nullptr)
{
}

CXTButton::~CXTButton()
{
    DestroyWindow();
    CleanUpGDI();
    delete m_pTheme;
    delete m_pThemeManager;
}

void CXTButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

int CXTButton::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CButton::OnCreate(lpCreateStruct) == -1)
        return -1;
    ModifyStyle(0, BS_OWNERDRAW);
    return 0;
}

// ---- Images

BOOL CXTButton::SetIcon(CSize size, LPCTSTR lpszID, LPCTSTR lpszHotID, BOOL bRedraw)
{
    // The image keeps copies: these two go when the call ends.
    const CScopedIcon hIcon(LoadButtonIcon(lpszID, size));
    if (!hIcon)
        return FALSE;
    const CScopedIcon hHotIcon(lpszHotID != nullptr ? LoadButtonIcon(lpszHotID, size) : nullptr);
    if (lpszHotID != nullptr && !hHotIcon)
        return FALSE;
    return SetIcon(size, hIcon.Get(), hHotIcon.Get(), bRedraw);
}

BOOL CXTButton::SetIcon(CSize size, UINT nID, UINT nHotID, BOOL bRedraw)
{
    return SetIcon(size, MAKEINTRESOURCEW(nID), nHotID != 0 ? MAKEINTRESOURCEW(nHotID) : nullptr, bRedraw);
}

BOOL CXTButton::SetIcon(CSize size, HICON hIcon, HICON hHotIcon, BOOL bRedraw)
{
    if (hIcon == nullptr)
        return FALSE;
    const CSize sizeImage = (size.cx > 0 && size.cy > 0) ? size : IconSize(hIcon);
    CleanUpGDI();
    m_sizeImage = sizeImage;
    m_pIcon = new CXTPImageManagerIcon(0, m_sizeImage.cx, m_sizeImage.cy);
    m_pIcon->SetIcon(CXTPImageManagerIconHandle(hIcon));
    if (hHotIcon != nullptr)
        m_pIcon->SetHotIcon(CXTPImageManagerIconHandle(hHotIcon));
    if (m_hWnd != nullptr && bRedraw)
        Invalidate();
    return TRUE;
}

BOOL CXTButton::SetBitmap(CSize size, UINT nID, BOOL bRedraw)
{
    if (CXTPImageManager::IsAlphaBitmapResource(nID)) {
        const CScopedBitmap hBitmap(CXTPImageManager::LoadAlphaBitmapResource(nID));
        if (!hBitmap)
            return FALSE;
        CXTPImageManagerIconHandle hImage(hBitmap.Get());
        const CSize sizeBitmap = hImage.GetExtent();
        CleanUpGDI();
        m_sizeImage = (size.cx > 0 && size.cy > 0) ? size : sizeBitmap;
        m_pIcon = new CXTPImageManagerIcon(0, m_sizeImage.cx, m_sizeImage.cy);
        const BOOL bResult = m_pIcon->SetIcon(hImage);
        if (m_hWnd != nullptr && bRedraw)
            Invalidate();
        return bResult;
    }
    const CScopedIcon hIcon(MaskedBitmapIcon(nID));
    if (!hIcon)
        return FALSE;
    return SetIcon(size, hIcon.Get(), nullptr, bRedraw);
}

void CXTButton::CleanUpGDI()
{
    delete m_pIcon;
    m_pIcon = nullptr;
    m_sizeImage = CSize(0, 0);
}

CSize CXTButton::GetImageSize() const
{
    CXTButtonTheme* pTheme = GetTheme();
    if (m_pIcon == nullptr || (pTheme != nullptr && !pTheme->GetShowImage()))
        return CSize(0, 0);
    return m_sizeImage;
}

BOOL CXTButton::SetTextAndImagePos(CPoint ptText, CPoint ptImage, BOOL bRedraw)
{
    m_ptText = ptText;
    m_ptImage = ptImage;
    m_bUserPosition = TRUE;
    if (m_hWnd != nullptr && bRedraw)
        Invalidate();
    return TRUE;
}

void CXTButton::ToggleImage()
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->SetShowImage(!pTheme->GetShowImage());
    if (m_hWnd != nullptr)
        Invalidate();
}

// ---- Styles and themes

DWORD CXTButton::SetXButtonStyle(DWORD dwxStyle, BOOL bRedraw)
{
    const DWORD dwOld = m_dwxStyle;
    m_dwxStyle = dwxStyle;
    if (dwxStyle & BS_XT_XPFLAT)
        SetTheme(new CXTButtonThemeV1(FALSE));
    else if (dwxStyle & BS_XT_FLAT)
        SetTheme(new CXTButtonTheme);
    if (m_hWnd != nullptr && bRedraw)
        Invalidate();
    return dwOld;
}

CXTThemeManager* CXTButton::GetThemeManager() const
{
    return m_pThemeManager != nullptr ? m_pThemeManager : CXTThemeManager::GetThemeManager();
}

void CXTButton::SetThemeManager(CXTThemeManager* pThemeManager)
{
    if (pThemeManager == nullptr || pThemeManager == m_pThemeManager)
        return;
    delete m_pThemeManager;
    m_pThemeManager = pThemeManager;
}

CXTButtonTheme* CXTButton::GetTheme() const
{
    return m_pTheme != nullptr ? m_pTheme : GetThemeManager()->GetButtonTheme();
}

void CXTButton::SetTheme(CXTButtonTheme* pTheme)
{
    if (pTheme == nullptr || pTheme == m_pTheme)
        return;
    delete m_pTheme;
    m_pTheme = pTheme;
}

CXTButtonThemeV1* CXTButton::GetOwnThemeV1() const
{
    return dynamic_cast<CXTButtonThemeV1*>(m_pTheme);
}

void CXTButton::SetStateColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText)
{
    if (m_pTheme != nullptr)
        m_pTheme->SetStateColors(clrFace, clrLight, clrShadow, clrText);
}

void CXTButton::SetColorFace(COLORREF clr)
{
    if (m_pTheme != nullptr)
        m_pTheme->SetColorFace(clr);
}

COLORREF CXTButton::GetColorFace() const
{
    return m_pTheme != nullptr ? m_pTheme->GetColorFace() : GetToolkitGlobals()->m_arrColor[0];
}

void CXTButton::SetColorLight(COLORREF clr)
{
    if (m_pTheme != nullptr)
        m_pTheme->SetColorLight(clr);
}

void CXTButton::SetColorShadow(COLORREF clr)
{
    if (m_pTheme != nullptr)
        m_pTheme->SetColorShadow(clr);
}

void CXTButton::SetColorText(COLORREF clr)
{
    if (m_pTheme != nullptr)
        m_pTheme->SetColorText(clr);
}

void CXTButton::SetXPColors(COLORREF clrFrame, COLORREF clrHot, COLORREF clrPushed)
{
    CXTButtonThemeV1* pTheme = GetOwnThemeV1();
    if (pTheme == nullptr || pTheme->GetThemeId() != xtControlThemeOffice)
        return;
    pTheme->SetColorLight(clrFrame);
    pTheme->SetColorShadow(clrFrame);
    pTheme->SetColorHot(clrHot);
    pTheme->SetColorPushed(clrPushed);
}

CFont* CXTButton::SetFontEx(CFont* pFont)
{
    CFont* pOldFont = GetFont();
    SetFont(pFont, TRUE);
    return pOldFont;
}

CString CXTButton::GetButtonText(BOOL bStrip) const
{
    CString strText;
    GetWindowText(strText);
    if (!bStrip)
        return strText;
    CString strStripped;
    for (int i = 0; i < strText.GetLength(); ++i) {
        if (strText[i] != L'&') {
            strStripped += strText[i];
            continue;
        }
        // A doubled ampersand is a real one and stays as it is.
        if (i + 1 < strText.GetLength() && strText[i + 1] == L'&') {
            strStripped += L"&&";
            ++i;
        }
    }
    return strStripped;
}

void CXTButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->DrawItem(lpDIS, this);
}

// ---- Mouse and painting

void CXTButton::TrackHot()
{
    CPoint point;
    ::GetCursorPos(&point);
    CRect rect;
    GetWindowRect(&rect);
    if (!rect.PtInRect(point) || m_bLBtnDown) {
        KillTimer(kHotTimer);
        m_bHot = FALSE;
        if (m_bPainted)
            Invalidate();
        m_bPainted = FALSE;
        return;
    }
    CXTButtonTheme* pTheme = GetTheme();
    if (pTheme != nullptr && pTheme->IsHotTracking(this) && !m_bPainted) {
        m_bHot = TRUE;
        Invalidate();
        m_bPainted = TRUE;
    }
}

void CXTButton::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    CXTButtonTheme* pTheme = GetTheme();
    if (pTheme != nullptr && pTheme->IsHotTracking(this)) {
        SetTimer(kHotTimer, 10);
        TrackHot();
    }
}

void CXTButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kHotTimer)
        TrackHot();
    else
        CButton::OnTimer(nIDEvent);
}

void CXTButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!m_bLBtnDown) {
        m_bLBtnDown = TRUE;
        Invalidate();
    }
    CButton::OnLButtonDown(nFlags, point);
}

void CXTButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bLBtnDown) {
        m_bLBtnDown = FALSE;
        Invalidate();
    }
    CButton::OnLButtonUp(nFlags, point);
}

void CXTButton::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // A double click is a second click.
    SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

BOOL CXTButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTButton::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    CXTMemDC memDC(&dc, rect, ::GetSysColor(COLOR_BTNFACE));
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
}

void CXTButton::OnSysColorChange()
{
    CButton::OnSysColorChange();
    if (CXTButtonTheme* pTheme = GetTheme())
        pTheme->RefreshMetrics();
}
