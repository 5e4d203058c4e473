#include "toolkit/controls/XTHyperLink.h"

#include "framework/core/ScopedHandles.h"
#include "framework/core/TextHelpers.h"
#include "framework/win/Dc.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/ToolkitMessages.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/controls/ControlsResource.h"
#include "toolkit/controls/XTMemDC.h"

#include <shellapi.h>

namespace {

constexpr UINT_PTR kHoverTimer = 1;

HINSTANCE ShellLauncher(LPCWSTR lpszOperation, LPCWSTR lpszFile, int nShowCmd)
{
    return ::ShellExecuteW(nullptr, lpszOperation, lpszFile, nullptr, nullptr, nShowCmd);
}

XT_LINK_LAUNCHER g_pfnLauncher = ShellLauncher;

const struct
{
    int nError;
    UINT nIDString;
} kErrorStrings[] = {
    {0, XT_IDS_SE_0},
    {SE_ERR_FNF, XT_IDS_SE_ERR_FNF},
    {SE_ERR_PNF, XT_IDS_SE_ERR_PNF},
    {SE_ERR_ACCESSDENIED, XT_IDS_SE_ERR_ACCESSDENIED},
    {SE_ERR_OOM, XT_IDS_SE_ERR_OOM},
    {ERROR_BAD_FORMAT, XT_IDS_SE_ERR_BAD_FORMAT},
    {SE_ERR_SHARE, XT_IDS_SE_ERR_SHARE},
    {SE_ERR_ASSOCINCOMPLETE, XT_IDS_SE_ERR_ASSOCINCOMPLETE},
    {SE_ERR_DDETIMEOUT, XT_IDS_SE_ERR_DDETIMEOUT},
    {SE_ERR_DDEFAIL, XT_IDS_SE_ERR_DDEFAIL},
    {SE_ERR_DDEBUSY, XT_IDS_SE_ERR_DDEBUSY},
    {SE_ERR_NOASSOC, XT_IDS_SE_ERR_NOASSOC},
    {SE_ERR_DLLNOTFOUND, XT_IDS_SE_ERR_DLLNOTFOUND},
};

} // namespace

IMPLEMENT_DYNAMIC(CXTHyperLink, CStatic)

BEGIN_MESSAGE_MAP(CXTHyperLink, CStatic)
ON_WM_SETCURSOR()
ON_WM_NCHITTEST()
ON_WM_CREATE()
ON_WM_CTLCOLOR_REFLECT()
ON_WM_MOUSEMOVE()
ON_WM_TIMER()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_WINDOWPOSCHANGED()
ON_CONTROL_REFLECT_EX(STN_CLICKED, OnClicked)
ON_MESSAGE(WM_CONTROL_SETUP, OnSetup)
END_MESSAGE_MAP()

CXTHyperLink::CXTHyperLink()
    : m_bOpenOnClick(true), m_bSetupPending(true), m_bUnderline(true), m_bHot(false), m_bVisited(false),
      m_bToolTip(true), m_hcurLink(GetToolkitGlobals()->m_hcurHand), m_clrLink(RGB(0, 0, 128)),
      m_clrHover(RGB(0, 0, 255)), m_clrVisited(RGB(128, 0, 128)), m_clrBack(static_cast<COLORREF>(-1))
{
}

CXTHyperLink::~CXTHyperLink()
{
    // The tooltip goes first: its tool is this window.
    m_toolTip.DestroyWindow();
    DestroyWindow();
}

XT_LINK_LAUNCHER CXTHyperLink::SetLinkLauncher(XT_LINK_LAUNCHER pfnLauncher)
{
    XT_LINK_LAUNCHER pfnPrevious = g_pfnLauncher;
    g_pfnLauncher = pfnLauncher != nullptr ? pfnLauncher : ShellLauncher;
    return pfnPrevious;
}

BOOL CXTHyperLink::IsSafeLink(LPCTSTR lpszLink)
{
    if (lpszLink == nullptr)
        return FALSE;
    for (LPCTSTR p = lpszLink; *p; ++p) {
        // A quote or a control character could end the address inside a command line.
        if (*p < 0x20 || *p == L'"' || *p == 0x7F)
            return FALSE;
    }
    return StartsWithNoCase(lpszLink, L"http://") || StartsWithNoCase(lpszLink, L"https://") ||
           (StartsWithNoCase(lpszLink, L"mailto:") && lpszLink[7] != 0);
}

void CXTHyperLink::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    PostMessage(WM_CONTROL_SETUP);
}

int CXTHyperLink::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CStatic::OnCreate(lpCreateStruct) == -1)
        return -1;
    SendMessage(WM_CONTROL_SETUP);
    return 0;
}

LRESULT CXTHyperLink::OnSetup(WPARAM, LPARAM)
{
    if (!m_bSetupPending)
        return 0;
    m_bSetupPending = false;
    if (IsTextControl() && m_strURL.IsEmpty())
        GetWindowText(m_strURL);
    ModifyStyle(0, SS_NOTIFY);
    if (m_strTipText.IsEmpty())
        m_strTipText = m_strURL;

    // Addresses may hold ampersands, which are no mnemonics.
    if (m_toolTip.Create(this, TTS_NOPREFIX)) {
        m_toolTip.AddTool(this, m_strTipText);
        m_toolTip.Activate(m_bToolTip);
    }

    LOGFONTW lf = {};
    auto hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::GetObjectW(hFont, sizeof(lf), &lf);
    lf.lfUnderline = m_bUnderline ? TRUE : FALSE;
    m_font.DeleteObject();
    if (m_font.CreateFontIndirect(&lf))
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    return 0;
}

BOOL CXTHyperLink::PreTranslateMessage(MSG* pMsg)
{
    if (!m_bSetupPending && m_bToolTip && m_toolTip.m_hWnd != nullptr)
        m_toolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CXTHyperLink::SetURL(LPCTSTR lpszURL)
{
    m_strURL = lpszURL;
    if (!m_bSetupPending && m_toolTip.m_hWnd != nullptr)
        m_toolTip.UpdateTipText(m_strURL, this);
}

void CXTHyperLink::SetColors(COLORREF clrLink, COLORREF clrVisited, COLORREF clrHover)
{
    m_clrLink = clrLink;
    m_clrVisited = clrVisited;
    m_clrHover = clrHover;
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

void CXTHyperLink::SetVisited(bool bVisited)
{
    m_bVisited = bVisited;
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

void CXTHyperLink::SetUnderline(bool bUnderline)
{
    m_bUnderline = bUnderline;
    if (m_hWnd == nullptr)
        return;
    CXTPToolkitGlobals* pGlobals = GetToolkitGlobals();
    CFont& font = pGlobals->m_fonts[bUnderline ? CXTPToolkitGlobals::fontUnderline : CXTPToolkitGlobals::fontRegular];
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
    Invalidate(TRUE);
}

void CXTHyperLink::SetBackColor(COLORREF clrBack)
{
    m_clrBack = clrBack;
    if (m_hWnd != nullptr)
        Invalidate(TRUE);
}

COLORREF CXTHyperLink::GetBackColor() const
{
    return m_clrBack == static_cast<COLORREF>(-1) ? GetToolkitColor(COLOR_BTNFACE) : m_clrBack;
}

HINSTANCE CXTHyperLink::GotoURL(LPCTSTR lpszLink, int nShowCmd)
{
    const CString strLink = (lpszLink != nullptr && *lpszLink) ? CString(lpszLink) : m_strURL;
    if (!IsSafeLink(strLink))
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_ACCESSDENIED));
    return g_pfnLauncher(L"open", strLink, nShowCmd);
}

BOOL CXTHyperLink::IsTextControl() const
{
    return (GetStyle() & 0xFF) < 3;
}

BOOL CXTHyperLink::IsMouseOverText() const
{
    if (!IsTextControl())
        return TRUE;
    CString strText;
    GetWindowText(strText);
    CRect rect;
    GetWindowRect(&rect);

    SIZE size = {};
    {
        CScopedWindowDC dc(nullptr);
        auto hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        CScopedSelect font(dc, hFont);
        ::GetTextExtentPoint32W(dc, strText, strText.GetLength(), &size);
    }
    switch (GetStyle() & 0xFF) {
    case SS_CENTER:
        rect.left += (rect.Width() - size.cx) / 2;
        rect.right = rect.left + size.cx;
        break;
    case SS_RIGHT:
        rect.left = rect.right - size.cx;
        break;
    default:
        rect.right = rect.left + size.cx;
        break;
    }
    CPoint point;
    ::GetCursorPos(&point);
    return rect.PtInRect(point);
}

CString CXTHyperLink::ErrorMessage(int nError)
{
    UINT nIDString = XT_IDS_SE_ERR_UNKNOWN;
    for (const auto& entry : kErrorStrings) {
        if (entry.nError == nError)
            nIDString = entry.nIDString;
    }
    CString strMessage;
    XTGetResourceHolder()->LoadString(&strMessage, nIDString);
    if (nIDString == XT_IDS_SE_ERR_UNKNOWN) {
        CString strFormat = strMessage;
        strMessage.Format(strFormat, nError);
    }
    return strMessage;
}

void CXTHyperLink::ReportError(int nError)
{
    const CString strMessage = ErrorMessage(nError);
    ::MessageBeep(MB_ICONEXCLAMATION);
    AfxMessageBox(strMessage, MB_ICONEXCLAMATION);
}

BOOL CXTHyperLink::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (IsMouseOverText()) {
        if (m_hcurLink == nullptr)
            m_hcurLink = GetToolkitGlobals()->m_hcurHand;
        if (m_hcurLink != nullptr) {
            ::SetCursor(m_hcurLink);
            return TRUE;
        }
    }
    return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

LRESULT CXTHyperLink::OnNcHitTest(CPoint)
{
    return HTCLIENT;
}

HBRUSH CXTHyperLink::CtlColor(CDC* pDC, UINT)
{
    if (!IsTextControl())
        return nullptr;
    pDC->SetTextColor(m_bHot ? m_clrHover : (m_bVisited ? m_clrVisited : m_clrLink));
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CXTHyperLink::OnMouseMove(UINT nFlags, CPoint point)
{
    CStatic::OnMouseMove(nFlags, point);
    if (IsTextControl() && IsMouseOverText())
        SetTimer(kHoverTimer, 10);
}

void CXTHyperLink::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kHoverTimer || !IsTextControl()) {
        CStatic::OnTimer(nIDEvent);
        return;
    }
    // The link is hot exactly while the mouse is over the text; the timer runs until it has left.
    if (IsMouseOverText()) {
        m_bHot = true;
    } else {
        KillTimer(kHoverTimer);
        m_bHot = false;
    }
    Invalidate(TRUE);
    UpdateWindow();
}

BOOL CXTHyperLink::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTHyperLink::OnPaint()
{
    if (GetExStyle() & WS_EX_TRANSPARENT) {
        Default();
        return;
    }
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    CXTMemDC memDC(&dc, rect, GetBackColor());
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
}

void CXTHyperLink::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CStatic::OnWindowPosChanged(lpwndpos);
    Invalidate(TRUE);
    UpdateWindow();
}

BOOL CXTHyperLink::OnClicked()
{
    if (!IsMouseOverText())
        return FALSE;
    if (m_bOpenOnClick) {
        const INT_PTR nResult = reinterpret_cast<INT_PTR>(GotoURL(m_strURL, SW_SHOW));
        SetVisited(nResult > 32);
        return TRUE;
    }
    SetVisited(true);
    return FALSE;
}
