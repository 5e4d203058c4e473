#include "toolkit/commandbars/XTPControlListBox.h"

#include "framework/win/WndMsgMap.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<CString> ListStrings(CListBox* pList)
{
    std::vector<CString> strings;
    if (pList == nullptr || pList->GetSafeHwnd() == nullptr)
        return strings;
    const int nCount = pList->GetCount();
    for (int i = 0; i < nCount; ++i) {
        CString strText;
        pList->GetText(i, strText);
        strings.push_back(strText);
    }
    return strings;
}

} // namespace

// ---- The list window

BEGIN_MESSAGE_MAP(CXTPControlListBoxCtrl, CListBox)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

void CXTPControlListBoxCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_pControl == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    if (rc.PtInRect(point)) {
        const LRESULT nHit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
        if (HIWORD(nHit) == 0) {
            const int nItem = LOWORD(nHit);
            // A multiple-selection list ignores LB_SETCURSEL: its caret is what the selection rule reads.
            if (m_pControl->GetMultiplSel())
                SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(nItem), FALSE);
            else
                SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nItem));
            SendMessage(LB_SETSEL, TRUE, nItem);
            m_pControl->OnSelectionChanged();
        }
    }
    CXTPCommandBar* pBar = m_pControl->GetParent();
    if (pBar != nullptr && pBar->GetSafeHwnd() != nullptr) {
        ::MapWindowPoints(m_hWnd, pBar->GetSafeHwnd(), &point, 1);
        pBar->OnMouseMove(nFlags, point);
    }
}

void CXTPControlListBoxCtrl::OnLButtonUp(UINT, CPoint)
{
    if (m_pControl != nullptr)
        m_pControl->OnExecute();
}

void CXTPControlListBoxCtrl::OnLButtonDown(UINT, CPoint) {}

void CXTPControlListBoxCtrl::OnLButtonDblClk(UINT, CPoint) {}

BOOL CXTPControlListBoxCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPControlListBoxCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CXTPOffscreenDC memDC(&dc, rc);
    ::FillRect(memDC.GetSafeHdc(), &rc, ::GetSysColorBrush(COLOR_WINDOW));
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
}

// ---- CXTPControlListBox

IMPLEMENT_SERIAL(CXTPControlListBox, CXTPControl, VERSIONABLE_SCHEMA | 7)

CXTPControlListBox::CXTPControlListBox()
    : m_pListBox(nullptr), m_nListBoxLinesMin(1), m_nListBoxLinesMax(12), m_bMultiplSel(FALSE), m_nWidth(100),
      m_bMouseLocked(FALSE)
{
    CreateListBox();
}

CXTPControlListBox::~CXTPControlListBox()
{
    // A control destroyed while selected gives back its count of the tracker's lock.
    if (m_bMouseLocked) {
        XTPMouseManager()->m_nLock--;
        m_bMouseLocked = FALSE;
    }
    if (m_pListBox != nullptr) {
        m_pListBox->m_pControl = nullptr;
        if (m_pListBox->GetSafeHwnd() != nullptr)
            m_pListBox->DestroyWindow();
        delete m_pListBox;
    }
}

void CXTPControlListBox::CreateListBox()
{
    if (m_pListBox != nullptr) {
        m_pListBox->m_pControl = nullptr;
        if (m_pListBox->GetSafeHwnd() != nullptr)
            m_pListBox->DestroyWindow();
        delete m_pListBox;
    }
    m_pListBox = new CXTPControlListBoxCtrl(this);
    const DWORD dwStyle = WS_POPUP | WS_CLIPCHILDREN | WS_VSCROLL | LBS_NOTIFY | (m_bMultiplSel ? LBS_MULTIPLESEL : 0);
    m_pListBox->CreateEx(0, L"LISTBOX", L"", dwStyle, 0, 0, 0, 0, nullptr, nullptr);
}

void CXTPControlListBox::SetMultiplSel(BOOL bMultiplSel)
{
    m_bMultiplSel = bMultiplSel;
    CreateListBox();
    // A recreated window must find its bar again at the next placement.
    m_rcControl.SetRectEmpty();
}

void CXTPControlListBox::MakeChildOf(CXTPCommandBar* pBar)
{
    const HWND hList = m_pListBox != nullptr ? m_pListBox->GetSafeHwnd() : nullptr;
    if (hList == nullptr || pBar == nullptr || pBar->GetSafeHwnd() == nullptr)
        return;
    const LONG_PTR dwStyle = ::GetWindowLongPtrW(hList, GWL_STYLE);
    ::SetWindowLongPtrW(hList, GWL_STYLE, (dwStyle & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
    ::SetParent(hList, pBar->GetSafeHwnd());
}

void CXTPControlListBox::SetEnabled(BOOL bEnabled)
{
    if (bEnabled == m_bEnabled)
        return;
    CXTPControl::SetEnabled(bEnabled);
    if (m_pListBox != nullptr && m_pListBox->GetSafeHwnd() != nullptr)
        m_pListBox->EnableWindow(bEnabled);
}

CSize CXTPControlListBox::GetSize(CDC*)
{
    if (m_pListBox == nullptr || m_pListBox->GetSafeHwnd() == nullptr)
        return CSize(m_nWidth, 0);
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        m_pListBox->SendMessage(
            WM_SETFONT, reinterpret_cast<WPARAM>(pPaintManager->GetControlFont(m_pParent, FALSE)->GetSafeHandle()),
            FALSE);
    const int nRows = std::min(std::max(m_pListBox->GetCount(), m_nListBoxLinesMin), m_nListBoxLinesMax);
    const int nItemHeight = static_cast<int>(m_pListBox->SendMessage(LB_GETITEMHEIGHT, 0));
    return CSize(m_nWidth, nItemHeight * nRows);
}

void CXTPControlListBox::SetRect(CRect rcControl)
{
    const HWND hList = m_pListBox != nullptr ? m_pListBox->GetSafeHwnd() : nullptr;
    if (m_rcControl == rcControl && hList != nullptr && m_pParent != nullptr &&
        ::GetParent(hList) == m_pParent->GetSafeHwnd())
        return;
    m_rcControl = rcControl;
    if (hList == nullptr)
        return;
    m_pListBox->EnableWindow(m_bEnabled);
    MakeChildOf(m_pParent);
    m_pListBox->MoveWindow(rcControl, TRUE);
    m_pListBox->SetWindowPos(nullptr, 0, 0, 0, 0,
                             SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                                 (m_dwHideFlags == xtpNoHide ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CXTPControlListBox::Draw(CDC*) {}

void CXTPControlListBox::SetParent(CXTPCommandBar* pParent)
{
    if (pParent != m_pParent && pParent != nullptr)
        MakeChildOf(pParent);
    m_pParent = pParent;
}

void CXTPControlListBox::NotifySite(UINT nCode)
{
    CWnd* pOwner = m_pParent != nullptr ? m_pParent->GetOwnerSite() : nullptr;
    if (pOwner == nullptr || pOwner->GetSafeHwnd() == nullptr)
        return;
    NMXTPCONTROL tag = {};
    tag.hdr.hwndFrom = nullptr;
    tag.hdr.idFrom = static_cast<UINT_PTR>(m_nId);
    tag.hdr.code = nCode;
    tag.pControl = this;
    pOwner->SendMessage(WM_XTP_CONTROL_EXECUTE, static_cast<WPARAM>(m_nId), reinterpret_cast<LPARAM>(&tag));
}

void CXTPControlListBox::OnCalcDynamicSize(DWORD)
{
    if (m_pListBox != nullptr && m_pListBox->GetSafeHwnd() != nullptr) {
        // -1 deselects every item, also in a list of one item, where a range from 0 to 0 would select it.
        if (m_bMultiplSel)
            m_pListBox->SendMessage(LB_SETSEL, FALSE, -1);
        else
            m_pListBox->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(-1));
    }
    NotifySite(XTP_LBN_RESETSEL);
}

void CXTPControlListBox::OnSelectionChanged()
{
    if (m_bMultiplSel && m_pListBox != nullptr && m_pListBox->GetSafeHwnd() != nullptr) {
        const int nCount = m_pListBox->GetCount();
        const int nCaret = m_pListBox->GetCurSel();
        if (nCaret < 0) {
            m_pListBox->SendMessage(LB_SETSEL, FALSE, -1);
        } else {
            if (nCaret + 1 <= nCount - 1)
                m_pListBox->SendMessage(LB_SELITEMRANGE, FALSE, MAKELPARAM(nCaret + 1, nCount - 1));
            if (nCaret == 0)
                m_pListBox->SendMessage(LB_SETSEL, TRUE, 0);
            else
                m_pListBox->SendMessage(LB_SELITEMRANGEEX, 0, nCaret);
        }
    }
    NotifySite(XTP_LBN_SELCHANGE);
}

int CXTPControlListBox::OnHookKeyDown(UINT nChar, LPARAM lParam)
{
    if (m_pListBox == nullptr || m_pListBox->GetSafeHwnd() == nullptr)
        return 1;
    const int nOld = m_pListBox->GetCurSel();
    m_pListBox->SendMessage(WM_KEYDOWN, nChar, lParam);
    if (m_pListBox->GetCurSel() != nOld)
        OnSelectionChanged();
    return 1;
}

void CXTPControlListBox::OnClick(BOOL bKeyboard, CPoint)
{
    if (bKeyboard)
        OnExecute();
}

BOOL CXTPControlListBox::SetSelected(int bSelected)
{
    const BOOL bChanged = CXTPControl::SetSelected(bSelected);
    if (m_pParent != nullptr) {
        if (bSelected)
            m_pParent->SetKeyControl(this);
        else if (m_pParent->GetKeyControl() == this)
            m_pParent->SetKeyControl(nullptr);
    }
    if (bSelected && !m_bMouseLocked) {
        XTPMouseManager()->m_nLock++;
        m_bMouseLocked = TRUE;
    } else if (!bSelected && m_bMouseLocked) {
        XTPMouseManager()->m_nLock--;
        m_bMouseLocked = FALSE;
    }
    return bChanged;
}

void CXTPControlListBox::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    CXTPControl::Copy(pControl, bRecursive);
    CXTPControlListBox* pSource = DYNAMIC_DOWNCAST(CXTPControlListBox, pControl);
    if (pSource == nullptr)
        return;
    m_nWidth = pSource->m_nWidth;
    if (pSource->m_bMultiplSel != m_bMultiplSel)
        SetMultiplSel(pSource->m_bMultiplSel);
    m_nListBoxLinesMax = pSource->m_nListBoxLinesMax;
    m_nListBoxLinesMin = pSource->m_nListBoxLinesMin;
    if (m_pListBox == nullptr || m_pListBox->GetSafeHwnd() == nullptr)
        return;
    const std::vector<CString> strings = ListStrings(pSource->m_pListBox);
    m_pListBox->ResetContent();
    for (const CString& strText : strings)
        m_pListBox->AddString(strText);
}

CXTPControl* CXTPControlListBox::Clone(BOOL bRecursive)
{
    CXTPControlListBox* pClone = new CXTPControlListBox;
    pClone->Copy(this, bRecursive);
    return pClone;
}

void CXTPControlListBox::Serialize(CArchive& ar)
{
    CXTPControl::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_nWidth << m_bMultiplSel << m_nListBoxLinesMax << m_nListBoxLinesMin;
        const std::vector<CString> strings = ListStrings(m_pListBox);
        ar.WriteCount(strings.size());
        for (const CString& strText : strings)
            ar << strText;
        return;
    }
    BOOL bMultiplSel = FALSE;
    ar >> m_nWidth >> bMultiplSel >> m_nListBoxLinesMax >> m_nListBoxLinesMin;
    if (bMultiplSel != m_bMultiplSel)
        SetMultiplSel(bMultiplSel);
    const DWORD_PTR nCount = ar.ReadCount();
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        CString strText;
        ar >> strText;
        if (m_pListBox != nullptr && m_pListBox->GetSafeHwnd() != nullptr)
            m_pListBox->AddString(strText);
    }
}
