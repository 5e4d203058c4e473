// The pick controls' shared handling of the mouse, the keyboard, the focus and painting.
#include "toolkit/customize/XTColorStatic.h"

#include "toolkit/controls/XTMemDC.h"
#include "toolkit/base/ToolkitMessages.h"
#include "toolkit/customize/XTThemePropertyPage.h"

IMPLEMENT_DYNAMIC(CXTColorStatic, CStatic)

BEGIN_MESSAGE_MAP(CXTColorStatic, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_GETDLGCODE()
ON_WM_KEYDOWN()
ON_MESSAGE(WM_CONTROL_SETUP, OnInitControl)
END_MESSAGE_MAP()

CXTColorStatic::CXTColorStatic() : m_bInitPending(TRUE), m_pOldBitmap(nullptr) {}

CXTColorStatic::~CXTColorStatic()
{
    if (m_pOldBitmap != nullptr)
        m_dcPicture.SelectObject(m_pOldBitmap);
}

BOOL CXTColorStatic::HasPicture(const CRect& rcClient)
{
    if (m_dcPicture.m_hDC == nullptr)
        return FALSE;
    BITMAP bm{};
    m_bmpPicture.GetBitmap(&bm);
    if (bm.bmWidth == rcClient.Width() && bm.bmHeight == rcClient.Height())
        return TRUE;
    m_dcPicture.SelectObject(m_pOldBitmap);
    m_pOldBitmap = nullptr;
    m_bmpPicture.DeleteObject();
    m_dcPicture.DeleteDC();
    return FALSE;
}

void CXTColorStatic::SelectPicture()
{
    m_dcPicture.CreateCompatibleDC(nullptr);
    m_pOldBitmap = m_dcPicture.SelectObject(&m_bmpPicture);
}

void CXTColorStatic::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    // A themed page sends the set-up message itself; under any other parent it comes once the loop runs.
    PostMessage(WM_CONTROL_SETUP);
}

LRESULT CXTColorStatic::OnInitControl(WPARAM, LPARAM)
{
    if (m_bInitPending) {
        m_bInitPending = FALSE;
        // Without it a static lets the mouse through to its parent.
        ModifyStyle(0, SS_NOTIFY);
    }
    return 0;
}

void CXTColorStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    CXTMemDC dcBuffer(&dc, rcClient);
    Draw(&dcBuffer);
}

BOOL CXTColorStatic::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTColorStatic::OnLButtonDown(UINT, CPoint point)
{
    SetFocus();
    SetCapture();
    PickByMouse(point);
}

void CXTColorStatic::OnMouseMove(UINT, CPoint point)
{
    if (::GetCapture() == m_hWnd)
        PickByMouse(point);
}

void CXTColorStatic::OnLButtonUp(UINT, CPoint)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CXTColorStatic::OnLButtonDblClk(UINT, CPoint point)
{
    if (PickByMouse(point))
        CXTThemePropertyPage::PressDialogOK(this);
}

void CXTColorStatic::OnSetFocus(CWnd* pOldWnd)
{
    CStatic::OnSetFocus(pOldWnd);
    Invalidate(FALSE);
}

void CXTColorStatic::OnKillFocus(CWnd* pNewWnd)
{
    CStatic::OnKillFocus(pNewWnd);
    Invalidate(FALSE);
}

UINT CXTColorStatic::OnGetDlgCode()
{
    return DLGC_WANTARROWS;
}

BOOL CXTColorStatic::HandleKey(UINT nChar)
{
    switch (nChar) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return OnArrowKey(nChar);
    case VK_RETURN:
    case VK_SPACE:
        CXTThemePropertyPage::PressDialogOK(this);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CXTColorStatic::PreTranslateMessage(MSG* pMsg)
{
    // Ahead of the sheet's dialog keys, which would move the focus with the arrows and press the default button.
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_hWnd && HandleKey(static_cast<UINT>(pMsg->wParam)))
        return TRUE;
    return CStatic::PreTranslateMessage(pMsg);
}

void CXTColorStatic::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!HandleKey(nChar))
        CStatic::OnKeyDown(nChar, nRepCnt, nFlags);
}
