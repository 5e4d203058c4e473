#include "toolkit/commandbars/XTPControlEdit.h"

#include "framework/StandardIds.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/WndMsgMap.h"
#include "toolkit/base/XTPDrawHelpers.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <algorithm>

// ---- CXTPEdit

IMPLEMENT_DYNCREATE(CXTPEdit, CEdit)

BEGIN_MESSAGE_MAP(CXTPEdit, CEdit)
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_DESTROY()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_CONTEXTMENU()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_CTLCOLOR_REFLECT()
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_COMMAND(ID_EDIT_CUT, OnEditCut)
ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopyCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateEditCopyCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateEditSelectAll)
ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
ON_UPDATE_COMMAND_UI(ID_EDIT_CLEAR, OnUpdateEditCopyCut)
END_MESSAGE_MAP()

CXTPEdit::CXTPEdit() = default;

CXTPCommandBar* CXTPEdit::GetParentBar() const
{
    CXTPControl* pControl = GetControl();
    return pControl != nullptr ? pControl->GetParent() : nullptr;
}

void CXTPEdit::OnSetFocus(CWnd* pOldWnd)
{
    NotifySetFocus(pOldWnd != nullptr ? pOldWnd->GetSafeHwnd() : nullptr);
    Default();
    // Posted: the edit selects its text on focus itself only after this message, and would undo a sent one.
    PostMessage(EM_SETSEL, 0, -1);
}

void CXTPEdit::OnKillFocus(CWnd*)
{
    Default();
    NotifyKillFocus();
}

void CXTPEdit::OnDestroy()
{
    CString strText;
    GetWindowText(strText);
    StoreText(strText);
    Default();
}

void CXTPEdit::OnMouseMove(UINT, CPoint point)
{
    Default();
    CXTPCommandBar* pBar = GetParentBar();
    if (pBar == nullptr || pBar->GetSafeHwnd() == nullptr)
        return;
    ::MapWindowPoints(m_hWnd, pBar->GetSafeHwnd(), &point, 1);
    pBar->OnMouseMove(0, point);
}

void CXTPEdit::OnLButtonDown(UINT, CPoint point)
{
    CXTPControl* pControl = GetControl();
    if (pControl != nullptr && pControl->IsCustomizeMode()) {
        CXTPCommandBar* pBar = pControl->GetParent();
        if (pBar != nullptr && pBar->IsCustomizable() && (pControl->GetFlags() & xtpFlagNoMovable) == 0) {
            ::MapWindowPoints(m_hWnd, pBar->GetSafeHwnd(), &point, 1);
            pControl->OnClick(FALSE, point);
        }
        return;
    }
    Default();
}

void CXTPEdit::OnRButtonDown(UINT, CPoint point)
{
    CXTPControl* pControl = GetControl();
    CXTPCommandBar* pBar = GetParentBar();
    if (pControl != nullptr && pControl->IsCustomizeMode()) {
        if (pBar != nullptr && pBar->GetSafeHwnd() != nullptr) {
            ::MapWindowPoints(m_hWnd, pBar->GetSafeHwnd(), &point, 1);
            pBar->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
        }
        return;
    }
    if (pBar != nullptr && pBar->GetPosition() == xtpBarPopup)
        return;
    if (!ShowContextMenu(point))
        Default();
}

void CXTPEdit::OnContextMenu(CWnd*, CPoint point)
{
    CXTPControl* pControl = GetControl();
    CXTPCommandBar* pBar = GetParentBar();
    if ((pControl != nullptr && pControl->IsCustomizeMode()) || (pBar != nullptr && pBar->GetPosition() == xtpBarPopup))
        return;
    ScreenToClient(&point);
    if (!ShowContextMenu(point))
        Default();
}

BOOL CXTPEdit::ShowContextMenu(CPoint)
{
    // The toolkit's menu needs the cut command's prompt string; without it the edit's own menu serves.
    wchar_t szPrompt[8];
    if (::LoadStringW(AfxGetResourceHandle(), ID_EDIT_CUT, szPrompt, 8) == 0)
        return FALSE;
    // No toolkit popup can be tracked from here yet: the edit's own menu serves meanwhile.
    return FALSE;
}

BOOL CXTPEdit::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTPEdit::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CXTPOffscreenDC memDC(&dc, rc);
    HBRUSH hBrush = GetBackBrush();
    ::FillRect(memDC.GetSafeHdc(), &rc,
               hBrush != nullptr ? hBrush : ::GetSysColorBrush(IsWindowEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
    // The edit paints into a device context handed in wParam.
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
}

HBRUSH CXTPEdit::CtlColor(CDC*, UINT)
{
    return GetBackBrush();
}

void CXTPEdit::OnEditCopy()
{
    SendMessage(WM_COPY);
}

void CXTPEdit::OnEditCut()
{
    SendMessage(WM_CUT);
}

void CXTPEdit::OnEditPaste()
{
    SendMessage(WM_PASTE);
}

void CXTPEdit::OnUpdateEditCopyCut(CCmdUI* pCmdUI)
{
    int nStart = 0;
    int nEnd = 0;
    GetSel(nStart, nEnd);
    pCmdUI->Enable(nStart != nEnd);
}

void CXTPEdit::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(::IsClipboardFormatAvailable(CF_TEXT));
}

void CXTPEdit::OnEditSelectAll()
{
    SetSel(0, -1);
}

void CXTPEdit::OnEditUndo()
{
    SendMessage(EM_UNDO);
}

void CXTPEdit::OnEditClear()
{
    SendMessage(WM_CLEAR);
}

void CXTPEdit::OnUpdateEditSelectAll(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetWindowTextLength() > 0);
}

void CXTPEdit::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(SendMessage(EM_CANUNDO) != 0);
}

BOOL CXTPEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == 'A' && ::GetKeyState(VK_CONTROL) < 0 &&
        ::GetKeyState(VK_MENU) >= 0 && ::GetKeyState(VK_SHIFT) >= 0) {
        SetSel(0, -1);
        return TRUE;
    }
    return CEdit::PreTranslateMessage(pMsg);
}

// ---- Shared steps of the field controls

namespace XTPFieldControl {

void ShowEdit(CXTPControl* pControl, CXTPEdit* pEdit)
{
    if (pEdit == nullptr || pEdit->GetSafeHwnd() == nullptr)
        return;
    pEdit->SetWindowPos(nullptr, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                            (pControl->GetHideFlags() == xtpNoHide ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void PlaceEdit(CXTPControl* pControl, CXTPEdit* pEdit, const CString& strText, const CRect& rcEdit)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pEdit == nullptr || pBar == nullptr || pBar->GetSafeHwnd() == nullptr)
        return;
    if (pEdit->GetSafeHwnd() == nullptr) {
        if (!pEdit->Create(WS_CHILD | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), pBar, 0))
            return;
        if (CXTPPaintManager* pPaintManager = pControl->GetPaintManager())
            pEdit->SetFont(pPaintManager->GetControlFont(pBar, FALSE), FALSE);
        if (!strText.IsEmpty())
            pEdit->SetWindowText(strText);
        if (!pControl->GetEnabled())
            pEdit->EnableWindow(FALSE);
    }
    if (::GetParent(pEdit->GetSafeHwnd()) != pBar->GetSafeHwnd())
        ::SetParent(pEdit->GetSafeHwnd(), pBar->GetSafeHwnd());
    pEdit->SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    pEdit->MoveWindow(rcEdit, TRUE);
    ShowEdit(pControl, pEdit);
}

BOOL EditHasFocus(CXTPEdit* pEdit)
{
    return pEdit != nullptr && pEdit->GetSafeHwnd() != nullptr && ::GetFocus() == pEdit->GetSafeHwnd();
}

void OnEditSetFocus(CXTPControl* pControl, HWND hWndOld)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar == nullptr)
        return;
    if (pBar->GetSavedFocus() == nullptr) {
        HWND hWndSave = hWndOld;
        if (hWndSave == nullptr) {
            CWnd* pOwner = pBar->GetOwnerSite();
            hWndSave = pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr;
        }
        pBar->SetSavedFocus(hWndSave);
    }
    pBar->SetPopuped(-1);
    pBar->SetTrackingMode(xtpTrackingKeyboard, FALSE, FALSE);
    pBar->SetSelected(pControl->GetIndex(), FALSE);
    XTPMouseManager()->m_nLock++;
    pBar->SetKeyControl(pControl);
}

void OnEditKillFocus(CXTPControl* pControl)
{
    XTPMouseManager()->m_nLock--;
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar != nullptr && pBar->GetKeyControl() == pControl)
        pBar->SetKeyControl(nullptr);
}

void RestoreFocus(CXTPControl* pControl)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar == nullptr)
        return;
    const HWND hWndSaved = pBar->GetSavedFocus();
    if (hWndSaved != nullptr && ::IsWindow(hWndSaved))
        ::SetFocus(hWndSaved);
    if (pBar->GetSafeHwnd() != nullptr)
        pBar->Invalidate(FALSE);
}

} // namespace XTPFieldControl

// ---- The edit window of an edit control

using CXTPControlEditCtrl = CXTPFieldEdit<CXTPControlEdit>;

// ---- CXTPControlEdit

IMPLEMENT_SERIAL(CXTPControlEdit, CXTPControl, VERSIONABLE_SCHEMA | 7)

CXTPControlEdit::CXTPControlEdit() : m_nLabelWidth(0), m_pEdit(nullptr), m_nWidth(100), m_bLabel(TRUE)
{
    m_controlType = xtpControlEdit;
}

CXTPControlEdit::~CXTPControlEdit()
{
    if (m_pEdit != nullptr) {
        static_cast<CXTPControlEditCtrl*>(m_pEdit)->m_pControl = nullptr;
        delete m_pEdit;
        m_pEdit = nullptr;
    }
}

CXTPEdit* CXTPControlEdit::CreateEditControl()
{
    CXTPControlEditCtrl* pEdit = new CXTPControlEditCtrl;
    pEdit->m_pControl = this;
    return pEdit;
}

HWND CXTPControlEdit::GetEditWindow() const
{
    return m_pEdit != nullptr ? m_pEdit->GetSafeHwnd() : nullptr;
}

void CXTPControlEdit::DestroyEditWindow()
{
    // The window keeps its text in the control as it goes.
    if (m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr)
        m_pEdit->DestroyWindow();
}

CString CXTPControlEdit::GetEditText() const
{
    if (m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr) {
        CString strText;
        m_pEdit->GetWindowText(strText);
        const_cast<CXTPControlEdit*>(this)->m_strEditText = strText;
    }
    return m_strEditText;
}

void CXTPControlEdit::SetEditText(LPCTSTR lpszText)
{
    if (m_pEdit == nullptr)
        m_pEdit = CreateEditControl();
    const CString strText(lpszText != nullptr ? lpszText : L"");
    if (m_pEdit->GetSafeHwnd() != nullptr) {
        if (GetEditText() != strText)
            m_pEdit->SetWindowText(strText);
        m_strEditText = strText;
    } else {
        m_strEditText = strText;
    }
}

void CXTPControlEdit::SetEnabled(BOOL bEnabled)
{
    if (bEnabled == m_bEnabled)
        return;
    m_bEnabled = bEnabled;
    if (m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr)
        m_pEdit->EnableWindow(bEnabled);
    RedrawParent();
}

CSize CXTPControlEdit::GetSize(CDC* pDC)
{
    const CSize size = CXTPControl::GetSize(pDC);
    // The theme measures the label (and a popup's icon column) before the field.
    m_nLabelWidth = std::max(0, static_cast<int>(size.cx) - m_nWidth);
    return size;
}

void CXTPControlEdit::SetRect(CRect rcControl)
{
    if (m_pEdit == nullptr)
        m_pEdit = CreateEditControl();
    if (m_rcControl == rcControl && m_pParent != nullptr && m_pEdit->GetSafeHwnd() != nullptr &&
        ::GetParent(m_pEdit->GetSafeHwnd()) == m_pParent->GetSafeHwnd())
        return;
    m_rcControl = rcControl;
    const CRect rcEdit(rcControl.left + m_nLabelWidth + 4, rcControl.top + 3, rcControl.right - 3,
                       rcControl.bottom - 3);
    XTPFieldControl::PlaceEdit(this, m_pEdit, m_strEditText, rcEdit);
}

void CXTPControlEdit::SetHideFlags(DWORD dwFlags)
{
    if (dwFlags == m_dwHideFlags)
        return;
    m_dwHideFlags = dwFlags;
    XTPFieldControl::ShowEdit(this, m_pEdit);
    DelayLayoutParent();
}

void CXTPControlEdit::OnCalcDynamicSize(DWORD dwMode)
{
    SetHideFlag(xtpHideDockingPosition, (dwMode & LM_VERTDOCK) != 0);
}

int CXTPControlEdit::OnHookKeyDown(UINT nChar, LPARAM)
{
    if (m_pEdit == nullptr || m_pEdit->GetSafeHwnd() == nullptr)
        return xtpHookStop;
    if (nChar == VK_ESCAPE) {
        if (!XTPFieldControl::EditHasFocus(m_pEdit))
            return xtpHookNotHandled;
        XTPFieldControl::RestoreFocus(this);
        if (m_pParent != nullptr && m_pParent->GetSafeHwnd() != nullptr)
            m_pParent->OnUpdateCmdUI(FALSE, 0);
        return xtpHookHandled;
    }
    // Enter goes on to the bar, whose keyboard click then runs the command of the focused field.
    if (nChar == VK_RETURN && XTPFieldControl::EditHasFocus(m_pEdit))
        return xtpHookNotHandled;
    return xtpHookStop;
}

void CXTPControlEdit::SetParent(CXTPCommandBar* pParent)
{
    m_pParent = pParent;
    if (pParent == nullptr)
        DestroyEditWindow();
}

void CXTPControlEdit::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (IsCustomizeMode()) {
        if (m_pParent != nullptr) {
            m_pParent->SetPopuped(-1);
            m_pParent->SetSelected(-1);
        }
        CustomizeStartDrag(pt);
        return;
    }
    if (bKeyboard && XTPFieldControl::EditHasFocus(m_pEdit)) {
        OnExecute();
        return;
    }
    if (m_pEdit != nullptr && m_pEdit->GetSafeHwnd() != nullptr)
        m_pEdit->SetFocus();
}

void CXTPControlEdit::OnMouseHover()
{
    if (XTPMouseManager()->m_nLock > 0)
        return;
    CXTPControl::OnMouseHover();
}

BOOL CXTPControlEdit::SetSelected(int bSelected)
{
    const BOOL bChanged = CXTPControl::SetSelected(bSelected);
    if (bSelected == xtpNotSelected && XTPFieldControl::EditHasFocus(m_pEdit))
        XTPFieldControl::RestoreFocus(this);
    return bChanged;
}

void CXTPControlEdit::OnEditSetFocus(HWND hWndOld)
{
    XTPFieldControl::OnEditSetFocus(this, hWndOld);
}

void CXTPControlEdit::OnEditKillFocus()
{
    XTPFieldControl::OnEditKillFocus(this);
}

void CXTPControlEdit::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (CXTPControlEdit* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, pControl)) {
        m_nWidth = pEdit->m_nWidth;
        SetEditText(pEdit->GetEditText());
        m_bLabel = pEdit->m_bLabel;
    }
    CXTPControl::Copy(pControl, bRecursive);
}

CXTPControl* CXTPControlEdit::Clone(BOOL bRecursive)
{
    CXTPControlEdit* pClone = new CXTPControlEdit;
    pClone->Copy(this, bRecursive);
    return pClone;
}

void CXTPControlEdit::Serialize(CArchive& ar)
{
    CXTPControl::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_bLabel << m_nWidth;
        return;
    }
    if (m_nLoadedSchema >= 6)
        ar >> m_bLabel >> m_nWidth;
}
