// The control wrappers' creation, owner-draw reflection and the check-list box.
#include "framework/win/Controls.h"

#include "framework/win/Dc.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBoxEx, CComboBox)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CAnimateCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)

namespace {

// The common controls' classes must be registered before the first of them is made.
void EnsureCommonControls(DWORD dwClasses)
{
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), dwClasses};
    ::InitCommonControlsEx(&icc);
}

CString TextOfListItem(HWND hWnd, UINT lenMsg, UINT textMsg, int nIndex)
{
    CString text;
    const LRESULT nLen = ::SendMessageW(hWnd, lenMsg, static_cast<WPARAM>(nIndex), 0);
    if (nLen < 0)
        return text;
    ::SendMessageW(hWnd, textMsg, static_cast<WPARAM>(nIndex),
                   reinterpret_cast<LPARAM>(text.GetBuffer(static_cast<int>(nLen) + 1)));
    text.ReleaseBuffer();
    return text;
}

} // namespace

// ---- Creation

BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
}

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CComboBoxEx::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls(ICC_USEREX_CLASSES);
    return CWnd::Create(WC_COMBOBOXEXW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls(ICC_LISTVIEW_CLASSES);
    return CWnd::Create(WC_LISTVIEWW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls(ICC_LISTVIEW_CLASSES);
    return CWnd::Create(WC_HEADERW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls(ICC_BAR_CLASSES);
    return CWnd::Create(TRACKBAR_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls(ICC_PROGRESS_CLASS);
    return CWnd::Create(PROGRESS_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CAnimateCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls(ICC_ANIMATE_CLASS);
    return CWnd::Create(ANIMATE_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls(ICC_UPDOWN_CLASS);
    return CWnd::Create(UPDOWN_CLASSW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(L"SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    EnsureCommonControls(ICC_TAB_CLASSES);
    return CWnd::Create(WC_TABCONTROLW, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    EnsureCommonControls(ICC_WIN95_CLASSES);
    return CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), nullptr);
}

// ---- Owner draw through the parent's reflection

namespace {

// An owner-drawn control answers the WM_DRAWITEM its parent reflects to it.
template <class TDraw> bool DrawReflectedItem(UINT message, LPARAM lParam, LRESULT* pResult, TDraw draw)
{
    if (message != WM_DRAWITEM)
        return false;
    draw(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult != nullptr)
        *pResult = TRUE;
    return true;
}

} // namespace

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (DrawReflectedItem(message, lParam, pResult, [this](LPDRAWITEMSTRUCT p) { DrawItem(p); }))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (DrawReflectedItem(message, lParam, pResult, [this](LPDRAWITEMSTRUCT p) { DrawItem(p); }))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (DrawReflectedItem(message, lParam, pResult, [this](LPDRAWITEMSTRUCT p) { DrawItem(p); }))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (DrawReflectedItem(message, lParam, pResult, [this](LPDRAWITEMSTRUCT p) { DrawItem(p); }))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = TRUE;
    switch (message) {
    case WM_DRAWITEM:
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        break;
    case WM_MEASUREITEM:
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        break;
    case WM_COMPAREITEM:
        lResult = CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        break;
    case WM_DELETEITEM:
        DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        break;
    default:
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    }
    if (pResult != nullptr)
        *pResult = lResult;
    return TRUE;
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = TRUE;
    switch (message) {
    case WM_DRAWITEM:
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        break;
    case WM_MEASUREITEM:
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        break;
    case WM_COMPAREITEM:
        lResult = CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
        break;
    case WM_DELETEITEM:
        DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
        break;
    default:
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    }
    if (pResult != nullptr)
        *pResult = lResult;
    return TRUE;
}

// ---- Texts, data and image lists

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    rString = TextOfListItem(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex);
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    rString = TextOfListItem(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, nIndex);
}

CImageList* CComboBoxEx::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList->GetSafeHandle()))));
}

CImageList* CHeaderCtrl::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList->GetSafeHandle()))));
}

CImageList* CTabCtrl::SetImageList(CImageList* pImageList)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pImageList->GetSafeHandle()))));
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(
        LVM_SETIMAGELIST, static_cast<WPARAM>(nImageListType), reinterpret_cast<LPARAM>(pImageList->GetSafeHandle()))));
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const
{
    return static_cast<CHeaderCtrl*>(CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER))));
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT;
    column.pszText = const_cast<LPTSTR>(lpszColumnHeading);
    column.fmt = nFormat;
    if (nWidth != -1) {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1) {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam)
{
    LVITEMW item{};
    item.mask = nMask;
    item.iItem = nItem;
    item.pszText = const_cast<LPTSTR>(lpszItem);
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(&item);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    LVITEMW item{};
    item.iSubItem = nSubItem;
    item.pszText = const_cast<LPTSTR>(lpszText);
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const
{
    LVITEMW item{};
    item.iSubItem = nSubItem;
    item.pszText = lpszText;
    item.cchTextMax = nLen;
    return static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    // The control answers how much it copied, never how long the text is: grow until it fits.
    CString text;
    for (int nLen = 256;; nLen *= 2) {
        const int nCopied = GetItemText(nItem, nSubItem, text.GetBuffer(nLen), nLen);
        text.ReleaseBuffer();
        if (nCopied < nLen - 1 || nLen >= (1 << 20))
            return text;
    }
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = static_cast<LPARAM>(dwData);
    return SetItem(&item);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    GetItem(&item);
    return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMW item{};
    item.state = nState;
    item.stateMask = nMask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    LVHITTESTINFO info{};
    info.pt = pt;
    const int nItem = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (pFlags != nullptr)
        *pFlags = info.flags;
    return nItem;
}

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPTSTR>(lpszItem);
    return InsertItem(nItem, &item);
}

int CScrollBar::GetScrollLimit() const
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!::GetScrollInfo(m_hWnd, SB_CTL, &info))
        return 0;
    return info.nMax - (info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0);
}

// ---- Tool tips

void CToolTipCtrl::FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool)
{
    ti = TOOLINFO{};
    ti.cbSize = sizeof(TOOLINFO);
    if (nIDTool == 0) {
        ti.hwnd = ::GetParent(pWnd->m_hWnd);
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
    } else {
        ti.hwnd = pWnd->m_hWnd;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool != nullptr)
        ti.rect = *lpRectTool;
    ti.hinst = nullptr;
    ti.lpszText = const_cast<LPTSTR>(lpszText);
    ti.uFlags |= TTF_SUBCLASS;
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    CString text;
    text.LoadString(nIDText);
    return AddTool(pWnd, text.GetString(), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = const_cast<LPTSTR>(lpszText);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    SendMessage(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---- CCheckListBox

CCheckListBox::CCheckListBox() : m_nStyle(BS_AUTOCHECKBOX) {}

CCheckListBox::~CCheckListBox() = default;

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CListBox::Create(dwStyle, rect, pParentWnd, nID);
}

int CCheckListBox::CheckBoxSize()
{
    return 13;
}

CCheckListBox::CHECK_DATA* CCheckListBox::GetCheckData(int nIndex) const
{
    // The control's own item data holds our record; the program's data lives inside it.
    const LRESULT lResult = ::CallWindowProcW(m_pfnSuper != nullptr ? m_pfnSuper : ::DefWindowProcW, m_hWnd,
                                              LB_GETITEMDATA, static_cast<WPARAM>(nIndex), 0);
    if (lResult == LB_ERR || lResult == 0)
        return nullptr;
    return reinterpret_cast<CHECK_DATA*>(lResult);
}

CCheckListBox::CHECK_DATA* CCheckListBox::EnsureCheckData(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    CHECK_DATA* pData = GetCheckData(nIndex);
    if (pData == nullptr) {
        pData = new CHECK_DATA{0, TRUE, 0};
        ::CallWindowProcW(m_pfnSuper, m_hWnd, LB_SETITEMDATA, static_cast<WPARAM>(nIndex),
                          reinterpret_cast<LPARAM>(pData));
    }
    return pData;
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
    if (CHECK_DATA* pData = EnsureCheckData(nIndex)) {
        pData->nCheck = nCheck;
        RECT rect;
        if (GetItemRect(nIndex, &rect) != LB_ERR)
            InvalidateRect(&rect);
    }
}

int CCheckListBox::GetCheck(int nIndex) const
{
    const CHECK_DATA* pData = GetCheckData(nIndex);
    return pData != nullptr ? pData->nCheck : 0;
}

void CCheckListBox::Enable(int nIndex, BOOL bEnabled)
{
    if (CHECK_DATA* pData = EnsureCheckData(nIndex)) {
        pData->bEnabled = bEnabled;
        RECT rect;
        if (GetItemRect(nIndex, &rect) != LB_ERR)
            InvalidateRect(&rect);
    }
}

BOOL CCheckListBox::IsEnabled(int nIndex) const
{
    const CHECK_DATA* pData = GetCheckData(nIndex);
    return pData != nullptr ? pData->bEnabled : TRUE;
}

void CCheckListBox::ToggleAt(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetCount() || !IsEnabled(nIndex))
        return;
    int nCheck = GetCheck(nIndex);
    if (m_nStyle == BS_AUTO3STATE || m_nStyle == BS_3STATE)
        nCheck = (nCheck + 1) % 3;
    else
        nCheck = nCheck == 1 ? 0 : 1;
    SetCheck(nIndex, nCheck);
    if (HWND hWndParent = ::GetParent(m_hWnd))
        ::SendMessageW(hWndParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CLBN_CHKCHANGE),
                       reinterpret_cast<LPARAM>(m_hWnd));
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->itemHeight < static_cast<UINT>(CheckBoxSize() + 2))
        lpMeasureItemStruct->itemHeight = static_cast<UINT>(CheckBoxSize() + 2);
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->itemID == static_cast<UINT>(-1))
        return;
    HDC hDC = lpDrawItemStruct->hDC;
    RECT rect = lpDrawItemStruct->rcItem;
    const int nIndex = static_cast<int>(lpDrawItemStruct->itemID);
    const int nBox = CheckBoxSize();
    RECT box{rect.left + 1, rect.top + (rect.bottom - rect.top - nBox) / 2, rect.left + 1 + nBox, 0};
    box.bottom = box.top + nBox;
    UINT nState = DFCS_BUTTONCHECK;
    const int nCheck = GetCheck(nIndex);
    if (nCheck == 1)
        nState |= DFCS_CHECKED;
    else if (nCheck == 2)
        nState = DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (!IsEnabled(nIndex))
        nState |= DFCS_INACTIVE;
    ::FillRect(hDC, &rect, ::GetSysColorBrush(COLOR_WINDOW));
    ::DrawFrameControl(hDC, &box, DFC_BUTTON, nState);

    RECT text = rect;
    text.left = box.right + 3;
    const bool bSelected = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    ::FillRect(hDC, &text, ::GetSysColorBrush(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (GetStyle() & LBS_HASSTRINGS) {
        CString itemText;
        GetText(nIndex, itemText);
        const COLORREF oldText = ::SetTextColor(hDC, ::GetSysColor(!IsEnabled(nIndex) ? COLOR_GRAYTEXT
                                                                   : bSelected        ? COLOR_HIGHLIGHTTEXT
                                                                                      : COLOR_WINDOWTEXT));
        const int oldMode = ::SetBkMode(hDC, TRANSPARENT);
        RECT textRect = text;
        textRect.left += 2;
        ::DrawTextW(hDC, itemText, itemText.GetLength(), &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        ::SetBkMode(hDC, oldMode);
        ::SetTextColor(hDC, oldText);
    }
    if (lpDrawItemStruct->itemState & ODS_FOCUS)
        ::DrawFocusRect(hDC, &text);
}

void CCheckListBox::DeleteItem(LPDELETEITEMSTRUCT) {}

BOOL CCheckListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DELETEITEM) {
        // The record goes with its item (whatever a derived class does); the program's own data is handed on
        // in its place.
        auto* pDelete = reinterpret_cast<LPDELETEITEMSTRUCT>(lParam);
        CHECK_DATA* pData = reinterpret_cast<CHECK_DATA*>(pDelete->itemData);
        if (pData != nullptr) {
            pDelete->itemData = pData->dwUserData;
            delete pData;
        }
    }
    return CListBox::OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case LB_SETITEMDATA: {
        CHECK_DATA* pData = EnsureCheckData(static_cast<int>(wParam));
        if (pData == nullptr)
            return LB_ERR;
        pData->dwUserData = static_cast<DWORD_PTR>(lParam);
        return 0;
    }
    case LB_GETITEMDATA: {
        if (static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= GetCount())
            return LB_ERR;
        const CHECK_DATA* pData = GetCheckData(static_cast<int>(wParam));
        return pData != nullptr ? static_cast<LRESULT>(pData->dwUserData) : 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const LRESULT lResult = CListBox::WindowProc(message, wParam, lParam);
        const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        BOOL bOutside = TRUE;
        const int nIndex = static_cast<int>(ItemFromPoint(pt, bOutside));
        RECT rect;
        if (!bOutside && GetItemRect(nIndex, &rect) != LB_ERR && pt.x < rect.left + CheckBoxSize() + 2)
            ToggleAt(nIndex);
        return lResult;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            const int nIndex = GetCaretIndex();
            ToggleAt(nIndex);
            return 0;
        }
        break;
    case WM_DESTROY:
        // Records of items still present are freed through WM_DELETEITEM as the control empties itself.
        break;
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}
