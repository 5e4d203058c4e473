#include "toolkit/commandbars/XTPControlComboBox.h"

#include "framework/win/WndMsgMap.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <algorithm>

namespace {

// The drop-down button of the default theme, drawn inside the right end of the box.
const int kThumbWidth = 13;
const int kMaxListRows = 12;

} // namespace

// ---- CXTPControlComboBoxList

IMPLEMENT_SERIAL(CXTPControlComboBoxList, CXTPPopupBar, VERSIONABLE_SCHEMA | 7)

BEGIN_MESSAGE_MAP(CXTPControlComboBoxList, CXTPPopupBar)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_NCLBUTTONDOWN()
ON_WM_NCHITTEST()
ON_WM_NCPAINT()
ON_WM_ERASEBKGND()
ON_WM_MOUSEACTIVATE()
END_MESSAGE_MAP()

CXTPControlComboBoxList::CXTPControlComboBoxList() : m_nListWidth(0)
{
    m_barPosition = xtpBarListBox;
}

BOOL CXTPControlComboBoxList::CreateListBox()
{
    if (m_hWnd != nullptr)
        return TRUE;
    return CreateEx(WS_EX_STATICEDGE | WS_EX_TOOLWINDOW, L"LISTBOX", L"",
                    WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_VSCROLL, 0, 0, 0, 0, nullptr, nullptr);
}

CXTPControlComboBox* CXTPControlComboBoxList::GetOpeningControl() const
{
    return DYNAMIC_DOWNCAST(CXTPControlComboBox, m_pControlPopup);
}

int CXTPControlComboBoxList::CalcListHeight() const
{
    if (m_hWnd == nullptr)
        return 0;
    const int nCount = static_cast<int>(SendMessage(LB_GETCOUNT));
    const int nRows = std::min(std::max(nCount, 1), kMaxListRows);
    return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, 0)) * nRows + 4;
}

BOOL CXTPControlComboBoxList::Popup(int, int, LPCRECT)
{
    CXTPControlComboBox* pControl = GetOpeningControl();
    return pControl != nullptr && PopupFor(pControl);
}

BOOL CXTPControlComboBoxList::PopupFor(CXTPControlComboBox* pControl)
{
    if (!CreateListBox())
        return FALSE;
    CXTPCommandBar* pParent = pControl->GetParent();
    if (CXTPPaintManager* pPaintManager = pControl->GetPaintManager())
        SendMessage(WM_SETFONT,
                    reinterpret_cast<WPARAM>(pPaintManager->GetControlFont(pParent, FALSE)->GetSafeHandle()), FALSE);
    m_pControlPopup = pControl;
    CWnd* pOwner = GetOwnerSite();
    if (pOwner != nullptr && pOwner->GetSafeHwnd() != nullptr)
        pOwner->SendMessage(WM_XTP_INITCOMMANDSPOPUP, 0, reinterpret_cast<LPARAM>(this));
    SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);

    CRect rcControl = pControl->GetRect();
    if (pParent != nullptr && pParent->GetSafeHwnd() != nullptr)
        pParent->ClientToScreen(&rcControl);
    const int cx = m_nListWidth > 0 ? m_nListWidth : rcControl.Width();
    const int cy = CalcListHeight();
    // Below the control, or above it when the screen ends first.
    RECT rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    HMONITOR hMonitor = ::MonitorFromRect(&rcControl, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (hMonitor != nullptr && ::GetMonitorInfoW(hMonitor, &mi))
        rcWork = mi.rcWork;
    int x = rcControl.left;
    int y = rcControl.bottom;
    if (y + cy > rcWork.bottom && rcControl.top - cy >= rcWork.top)
        y = rcControl.top - cy;
    x = std::max(static_cast<int>(rcWork.left), std::min(x, static_cast<int>(rcWork.right) - cx));
    ::SetWindowPos(m_hWnd, HWND_TOP, x, y, cx, cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    EnableWindow(TRUE);
    return TRUE;
}

BOOL CXTPControlComboBoxList::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    // The list's window holds the combo's strings: closing hides it, where other popups destroy theirs.
    if (!CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard))
        return FALSE;
    if (bMode) {
        XTPMouseManager()->m_nLock++;
        return TRUE;
    }
    XTPMouseManager()->m_nLock--;
    if (m_hWnd != nullptr)
        ShowWindow(SW_HIDE);
    CXTPControlPopup* pControl = m_pControlPopup;
    m_pControlPopup = nullptr;
    if (pControl != nullptr && pControl->GetParent() != nullptr)
        pControl->GetParent()->SetPopuped(-1);
    return TRUE;
}

int CXTPControlComboBoxList::ProcessKeyDown(UINT nChar, LPARAM lParam)
{
    if (nChar == VK_ESCAPE)
        return CXTPPopupBar::ProcessKeyDown(nChar, lParam);
    if (nChar == VK_TAB)
        return 0;
    CXTPControlComboBox* pControl = GetOpeningControl();
    CScopedReference keep(pControl);
    if (nChar == VK_RETURN) {
        if (pControl != nullptr)
            pControl->OnExecute();
        return 1;
    }
    if (m_hWnd != nullptr) {
        const LRESULT nOld = SendMessage(LB_GETCURSEL);
        SendMessage(WM_KEYDOWN, nChar, lParam);
        if (SendMessage(LB_GETCURSEL) != nOld && pControl != nullptr)
            pControl->OnSelChanged();
    }
    return 1;
}

void CXTPControlComboBoxList::DrawCommandBar(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, GetToolkitColor(COLOR_WINDOW));
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()), 0);
}

void CXTPControlComboBoxList::OnMouseMove(UINT nFlags, CPoint point)
{
    CRect rc;
    GetClientRect(&rc);
    if (rc.PtInRect(point)) {
        const LRESULT nHit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
        if (HIWORD(nHit) == 0 && static_cast<LRESULT>(LOWORD(nHit)) != SendMessage(LB_GETCURSEL))
            SendMessage(LB_SETCURSEL, LOWORD(nHit));
    }
    CXTPPopupBar::OnMouseMove(nFlags, point);
}

void CXTPControlComboBoxList::OnLButtonDown(UINT, CPoint) {}

void CXTPControlComboBoxList::OnLButtonUp(UINT, CPoint)
{
    CXTPControlComboBox* pControl = GetOpeningControl();
    if (pControl == nullptr)
        return;
    CScopedReference keep(pControl);
    pControl->OnSelChanged();
    pControl->OnExecute();
}

void CXTPControlComboBoxList::OnLButtonDblClk(UINT, CPoint) {}

void CXTPControlComboBoxList::OnRButtonDown(UINT, CPoint)
{
    Default();
}

void CXTPControlComboBoxList::OnRButtonUp(UINT, CPoint)
{
    Default();
}

// The scroll bar is the list's own.
void CXTPControlComboBoxList::OnNcLButtonDown(UINT, CPoint)
{
    Default();
}

LRESULT CXTPControlComboBoxList::OnNcHitTest(CPoint)
{
    return Default();
}

void CXTPControlComboBoxList::OnNcPaint()
{
    Default();
    CWindowDC dc(this);
    CRect rc;
    GetWindowRect(&rc);
    rc.OffsetRect(-rc.left, -rc.top);
    CXTPPaintManager* pPaintManager = GetPaintManager();
    const COLORREF clrFrame = pPaintManager != nullptr ? pPaintManager->GetColor(43) : GetToolkitColor(COLOR_3DSHADOW);
    dc.Draw3dRect(&rc, clrFrame, clrFrame);
    rc.DeflateRect(1, 1);
    dc.Draw3dRect(&rc, GetToolkitColor(COLOR_WINDOW), GetToolkitColor(COLOR_WINDOW));
}

// Clicking the list must leave the frame active.
int CXTPControlComboBoxList::OnMouseActivate(CWnd*, UINT, UINT)
{
    return MA_NOACTIVATE;
}

BOOL CXTPControlComboBoxList::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}

void CXTPControlComboBoxList::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPPopupBar::Copy(pCommandBar, bRecursive);
    CXTPControlComboBoxList* pSource = DYNAMIC_DOWNCAST(CXTPControlComboBoxList, pCommandBar);
    if (pSource == nullptr)
        return;
    m_nListWidth = pSource->m_nListWidth;
    m_barPosition = xtpBarListBox;
    if (!CreateListBox() || pSource->m_hWnd == nullptr)
        return;
    const int nCount = static_cast<int>(pSource->SendMessage(LB_GETCOUNT));
    for (int i = 0; i < nCount; ++i) {
        const int nLength = static_cast<int>(pSource->SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i)));
        if (nLength < 0)
            continue;
        CString strText;
        pSource->SendMessage(LB_GETTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(strText.GetBuffer(nLength + 1)));
        strText.ReleaseBuffer(nLength);
        SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strText)));
    }
}

CXTPCommandBar* CXTPControlComboBoxList::Clone(BOOL bRecursive)
{
    CXTPControlComboBoxList* pClone = new CXTPControlComboBoxList;
    pClone->Copy(this, bRecursive);
    return pClone;
}

void CXTPControlComboBoxList::Serialize(CArchive& ar)
{
    CXTPPopupBar::Serialize(ar);
    if (ar.IsStoring()) {
        const int nCount = m_hWnd != nullptr ? static_cast<int>(SendMessage(LB_GETCOUNT)) : 0;
        ar.WriteCount(static_cast<DWORD_PTR>(std::max(nCount, 0)));
        for (int i = 0; i < nCount; ++i) {
            const int nLength = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i)));
            CString strText;
            if (nLength > 0) {
                SendMessage(LB_GETTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(strText.GetBuffer(nLength + 1)));
                strText.ReleaseBuffer(nLength);
            }
            ar << strText;
        }
        return;
    }
    m_barPosition = xtpBarListBox;
    CreateListBox();
    const DWORD_PTR nCount = ar.ReadCount();
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        CString strText;
        ar >> strText;
        if (m_hWnd != nullptr)
            SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strText)));
    }
}

// ---- The edit window of a combo box

using CXTPControlComboBoxEditCtrl = CXTPFieldEdit<CXTPControlComboBox>;

// ---- CXTPControlComboBox

IMPLEMENT_SERIAL(CXTPControlComboBox, CXTPControlPopup, VERSIONABLE_SCHEMA | 7)

CXTPControlComboBox::CXTPControlComboBox()
    : m_nLabelWidth(0), m_nThumbWidth(kThumbWidth), m_pEdit(nullptr), m_bEditable(FALSE), m_nLabelStyle(0),
      m_nWidth(100), m_nLastSel(-1)
{
    m_controlType = xtpControlComboBox;
    CXTPControlComboBoxList* pList = new CXTPControlComboBoxList;
    pList->CreateListBox();
    SetCommandBar(pList);
}

CXTPControlComboBox::~CXTPControlComboBox()
{
    DeleteEdit();
}

void CXTPControlComboBox::DeleteEdit()
{
    if (m_pEdit == nullptr)
        return;
    CXTPEdit* pEdit = m_pEdit;
    m_pEdit = nullptr;
    if (pEdit->GetSafeHwnd() != nullptr)
        pEdit->DestroyWindow();
    static_cast<CXTPControlComboBoxEditCtrl*>(pEdit)->m_pControl = nullptr;
    delete pEdit;
}

CXTPEdit* CXTPControlComboBox::CreateEditControl()
{
    CXTPControlComboBoxEditCtrl* pEdit = new CXTPControlComboBoxEditCtrl;
    pEdit->m_pControl = this;
    return pEdit;
}

void CXTPControlComboBox::SetEditable(BOOL bEditable)
{
    m_bEditable = bEditable;
    if (bEditable) {
        if (m_pEdit == nullptr)
            m_pEdit = CreateEditControl();
    } else {
        DeleteEdit();
    }
}

HWND CXTPControlComboBox::GetEditWindow() const
{
    return m_pEdit != nullptr ? m_pEdit->GetSafeHwnd() : nullptr;
}

CXTPControlComboBoxList* CXTPControlComboBox::GetList() const
{
    return DYNAMIC_DOWNCAST(CXTPControlComboBoxList, m_pCommandBar);
}

HWND CXTPControlComboBox::GetListWindow() const
{
    CXTPControlComboBoxList* pList = GetList();
    return pList != nullptr ? pList->GetSafeHwnd() : nullptr;
}

BOOL CXTPControlComboBox::IsDroppedDown() const
{
    CXTPControlComboBoxList* pList = GetList();
    return pList != nullptr && pList->IsTrackingMode() && pList->GetOpeningControl() == this;
}

int CXTPControlComboBox::GetCurSel() const
{
    const HWND hList = GetListWindow();
    return hList != nullptr ? static_cast<int>(::SendMessageW(hList, LB_GETCURSEL, 0, 0)) : -1;
}

void CXTPControlComboBox::SetCurSel(int nIndex)
{
    const HWND hList = GetListWindow();
    if (hList == nullptr || nIndex == GetCurSel())
        return;
    ::SendMessageW(hList, LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    OnSelChanged();
}

CString CXTPControlComboBox::GetListText() const
{
    const HWND hList = GetListWindow();
    const int nSel = GetCurSel();
    if (hList == nullptr || nSel < 0)
        return CString();
    const int nLength = static_cast<int>(::SendMessageW(hList, LB_GETTEXTLEN, static_cast<WPARAM>(nSel), 0));
    if (nLength <= 0)
        return CString();
    CString strText;
    ::SendMessageW(hList, LB_GETTEXT, static_cast<WPARAM>(nSel),
                   reinterpret_cast<LPARAM>(strText.GetBuffer(nLength + 1)));
    strText.ReleaseBuffer(nLength);
    return strText;
}

CString CXTPControlComboBox::GetEditText() const
{
    if (m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr) {
        CString strText;
        m_pEdit->GetWindowText(strText);
        const_cast<CXTPControlComboBox*>(this)->m_strEditText = strText;
    }
    return m_strEditText;
}

void CXTPControlComboBox::SetEditText(LPCTSTR lpszText)
{
    m_strEditText = lpszText != nullptr ? lpszText : L"";
    if (m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr)
        m_pEdit->SetWindowText(m_strEditText);
    RedrawParent();
}

void CXTPControlComboBox::OnSelChanged()
{
    const CString strText = GetListText();
    if (m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr)
        m_pEdit->SetWindowText(strText);
    else
        m_strEditText = strText;
    RedrawParent();
}

CSize CXTPControlComboBox::GetSize(CDC* pDC)
{
    const CSize size = CXTPControl::GetSize(pDC);
    m_nLabelWidth = std::max(0, static_cast<int>(size.cx) - m_nWidth);
    m_nThumbWidth = kThumbWidth;
    return size;
}

void CXTPControlComboBox::SetRect(CRect rcControl)
{
    if (m_rcControl == rcControl &&
        (m_pEdit == nullptr || (m_pParent != nullptr && m_pEdit->GetSafeHwnd() != nullptr &&
                                ::GetParent(m_pEdit->GetSafeHwnd()) == m_pParent->GetSafeHwnd())))
        return;
    m_rcControl = rcControl;
    if (m_pEdit == nullptr)
        return;
    const CRect rcEdit(rcControl.left + m_nLabelWidth + 4, rcControl.top + 3, rcControl.right - m_nThumbWidth - 3,
                       rcControl.bottom - 3);
    XTPFieldControl::PlaceEdit(this, m_pEdit, m_strEditText, rcEdit);
}

void CXTPControlComboBox::SetHideFlags(DWORD dwFlags)
{
    if (dwFlags == m_dwHideFlags)
        return;
    m_dwHideFlags = dwFlags;
    XTPFieldControl::ShowEdit(this, m_pEdit);
    DelayLayoutParent();
}

void CXTPControlComboBox::OnCalcDynamicSize(DWORD dwMode)
{
    SetHideFlag(xtpHideDockingPosition, (dwMode & LM_VERTDOCK) != 0);
}

void CXTPControlComboBox::SetEnabled(BOOL bEnabled)
{
    if (bEnabled == m_bEnabled)
        return;
    m_bEnabled = bEnabled;
    if (m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr)
        m_pEdit->EnableWindow(bEnabled);
    RedrawParent();
}

void CXTPControlComboBox::SetParent(CXTPCommandBar* pParent)
{
    if (pParent != m_pParent && pParent != nullptr) {
        const HWND hList = GetListWindow();
        CWnd* pOwner = pParent->GetOwnerSite();
        if (hList != nullptr)
            ::SetWindowLongPtrW(hList, GWLP_HWNDPARENT,
                                reinterpret_cast<LONG_PTR>(pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr));
    }
    if (pParent == nullptr && m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr)
        m_pEdit->DestroyWindow();
    m_pParent = pParent;
}

BOOL CXTPControlComboBox::SetSelected(int bSelected)
{
    const BOOL bChanged = CXTPControlPopup::SetSelected(bSelected);
    if (bSelected == xtpNotSelected && XTPFieldControl::EditHasFocus(m_pEdit))
        XTPFieldControl::RestoreFocus(this);
    return bChanged;
}

void CXTPControlComboBox::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (IsCustomizeMode()) {
        if (m_pParent != nullptr) {
            m_pParent->SetPopuped(-1);
            m_pParent->SetSelected(-1);
        }
        CustomizeStartDrag(pt);
        return;
    }
    if (bKeyboard && m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr) {
        if (XTPFieldControl::EditHasFocus(m_pEdit))
            OnExecute();
        else
            m_pEdit->SetFocus();
        return;
    }
    CXTPControlPopup::OnClick(bKeyboard, pt);
}

void CXTPControlComboBox::OnMouseHover()
{
    if (XTPMouseManager()->m_nLock > 0)
        return;
    CXTPControl::OnMouseHover();
}

int CXTPControlComboBox::OnHookKeyDown(UINT nChar, LPARAM)
{
    if (m_pEdit == nullptr || m_pEdit->GetSafeHwnd() == nullptr)
        return xtpHookHandled;
    const BOOL bFocus = XTPFieldControl::EditHasFocus(m_pEdit);
    if (nChar == VK_ESCAPE) {
        if (!bFocus)
            return xtpHookNotHandled;
        XTPFieldControl::RestoreFocus(this);
        if (m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr)
            m_pParent->OnUpdateCmdUI(FALSE, 0);
        return xtpHookHandled;
    }
    if (nChar == VK_F4) {
        OnClick(FALSE);
        return xtpHookStop;
    }
    // Enter goes on to the bar, whose keyboard click then runs the command of the focused field.
    if (nChar == VK_RETURN && bFocus)
        return xtpHookNotHandled;
    return xtpHookStop;
}

BOOL CXTPControlComboBox::OnSetPopup(BOOL bPopup)
{
    if (m_pEdit == nullptr) {
        if (bPopup)
            m_nLastSel = GetCurSel();
        else
            SetCurSel(m_nLastSel);
    }
    m_bPopup = bPopup;
    CXTPControlComboBoxList* pList = GetList();
    if (bPopup) {
        if (pList == nullptr)
            return CXTPControlPopup::OnSetPopup(TRUE);
        if (!pList->IsTrackingMode() && !pList->PopupFor(this))
            m_bPopup = FALSE;
    } else if (m_pCommandBar != nullptr && m_pCommandBar->IsTrackingMode()) {
        m_pCommandBar->SetTrackingMode(FALSE, TRUE, FALSE);
    }
    RedrawParent();
    return TRUE;
}

void CXTPControlComboBox::OnExecute()
{
    m_nLastSel = GetCurSel();
    CXTPControl::OnExecute();
}

void CXTPControlComboBox::OnEditSetFocus(HWND hWndOld)
{
    XTPFieldControl::OnEditSetFocus(this, hWndOld);
}

void CXTPControlComboBox::OnEditKillFocus()
{
    XTPFieldControl::OnEditKillFocus(this);
}

void CXTPControlComboBox::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (CXTPControlComboBox* pCombo = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl)) {
        m_nLabelStyle = pCombo->m_nLabelStyle;
        m_nWidth = pCombo->m_nWidth;
        m_strEditText = pCombo->GetEditText();
        SetEditable(pCombo->m_bEditable);
    }
    CXTPControlPopup::Copy(pControl, bRecursive);
}

CXTPControl* CXTPControlComboBox::Clone(BOOL bRecursive)
{
    CXTPControlComboBox* pClone = new CXTPControlComboBox;
    pClone->Copy(this, bRecursive);
    return pClone;
}

void CXTPControlComboBox::Serialize(CArchive& ar)
{
    // The list bar travels with the layout's bars, not inside the control.
    CXTPControl::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_bEditable << m_nWidth << m_nLabelStyle;
        return;
    }
    BOOL bEditable = FALSE;
    ar >> bEditable >> m_nWidth >> m_nLabelStyle;
    SetEditable(bEditable);
}
