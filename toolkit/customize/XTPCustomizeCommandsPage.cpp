#include "toolkit/customize/XTPCustomizeCommandsPage.h"

#include "framework/win/DataExchange.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "framework/win/Menu.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/customize/CustomizeSheetResource.h"
#include "toolkit/customize/XTPCustomizeSheet.h"

#include <windowsx.h>

namespace {

CString LoadToolkitString(UINT nID)
{
    CString str;
    XTGetResourceHolder()->LoadString(&str, nID);
    return str;
}

} // namespace

// ---- CXTPCustomizeCategory

CXTPCustomizeCategory::CXTPCustomizeCategory(LPCTSTR lpszName, CXTPCommandBars* pCommandBars)
    : m_strCategory(lpszName), m_pControls(new CXTPControls)
{
    m_pControls->SetCommandBars(pCommandBars);
}

CXTPCustomizeCategory::~CXTPCustomizeCategory()
{
    m_pControls->RemoveAll();
    m_pControls->InternalRelease();
}

// ---- CXTPCustomizeCommandsListBox

int CXTPCustomizeCommandsListBox::GetEntryHeight() const
{
    CXTPCommandBars* pCommandBars = m_pPage->GetCommandBars();
    if (pCommandBars == nullptr)
        return 20;
    const CSize sz = pCommandBars->GetPaintManager()->DrawListBoxControl(nullptr, nullptr, CRect(0, 0, 0, 0), FALSE,
                                                                         FALSE, pCommandBars);
    return sz.cy > 0 ? sz.cy : 20;
}

void CXTPCustomizeCommandsListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(GetEntryHeight());
}

void CXTPCustomizeCommandsListBox::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CXTPCommandBars* pCommandBars = m_pPage->GetCommandBars();
    CXTPControl* pControl = reinterpret_cast<CXTPControl*>(lpDrawItemStruct->itemData);
    if (pCommandBars == nullptr || pControl == nullptr || lpDrawItemStruct->itemID == static_cast<UINT>(-1))
        return;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    pCommandBars->GetPaintManager()->DrawListBoxControl(pDC, pControl, CRect(lpDrawItemStruct->rcItem),
                                                        (lpDrawItemStruct->itemState & ODS_SELECTED) != 0, TRUE,
                                                        pCommandBars);
}

void CXTPCustomizeCommandsListBox::Paint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    CRect rcClient;
    GetClientRect(&rcClient);
    HDC hdcMem = ::CreateCompatibleDC(hdc);
    HBITMAP hbm = ::CreateCompatibleBitmap(hdc, rcClient.Width(), rcClient.Height());
    HGDIOBJ hOld = ::SelectObject(hdcMem, hbm);
    if (CXTPCommandBars* pCommandBars = m_pPage->GetCommandBars())
        pCommandBars->GetPaintManager()->DrawListBoxControl(CDC::FromHandle(hdcMem), nullptr, rcClient, FALSE, TRUE,
                                                            pCommandBars);
    else
        ::FillRect(hdcMem, &rcClient, ::GetSysColorBrush(COLOR_WINDOW));
    // The list box draws its items into the buffer it is handed.
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(hdcMem), 0);
    ::BitBlt(hdc, 0, 0, rcClient.Width(), rcClient.Height(), hdcMem, 0, 0, SRCCOPY);
    ::SelectObject(hdcMem, hOld);
    ::DeleteObject(hbm);
    ::DeleteDC(hdcMem);
    ::EndPaint(m_hWnd, &ps);
}

void CXTPCustomizeCommandsListBox::OnLButtonDown(UINT nFlags, CPoint point)
{
    CXTPCommandBars* pCommandBars = m_pPage->GetCommandBars();
    if (pCommandBars != nullptr)
        pCommandBars->SetCustomizeControl(nullptr);
    BOOL bOutside = TRUE;
    const int nItem = static_cast<int>(ItemFromPoint(point, bOutside));
    if (!bOutside && nItem >= 0 && nItem < GetCount()) {
        SetCurSel(nItem);
        CWnd* pNotify = GetOwner() != nullptr ? GetOwner() : GetParent();
        if (pNotify != nullptr)
            pNotify->PostMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), LBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(m_hWnd));
        SetFocus();
        CXTPControl* pControl = reinterpret_cast<CXTPControl*>(GetItemData(nItem));
        if (pControl != nullptr && pCommandBars != nullptr)
            pCommandBars->GetDropSource()->DoDragDrop(pControl, TRUE);
        return;
    }
    DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

LRESULT CXTPCustomizeCommandsListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        if (wParam != 0)
            break;
        Paint();
        return 0;
    case WM_ERASEBKGND:
        if (CXTPCommandBars* pCommandBars = m_pPage->GetCommandBars()) {
            CRect rcClient;
            GetClientRect(&rcClient);
            pCommandBars->GetPaintManager()->DrawListBoxControl(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), nullptr,
                                                                rcClient, FALSE, TRUE, pCommandBars);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

// ---- CXTPCustomizeCommandsPage

IMPLEMENT_DYNAMIC(CXTPCustomizeCommandsPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CXTPCustomizeCommandsPage, CPropertyPage)
ON_LBN_SELCHANGE(XTP_IDC_LIST_CATEGORIES, OnCategoriesSelectionChanged)
END_MESSAGE_MAP()

CXTPCustomizeCommandsPage::CXTPCustomizeCommandsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_COMMANDS), m_lstCommands(this), m_pSheet(pSheet)
{
}

CXTPCustomizeCommandsPage::~CXTPCustomizeCommandsPage()
{
    for (CXTPCustomizeCategory* pCategory : m_arrCategories)
        delete pCategory;
}

CXTPCommandBars* CXTPCustomizeCommandsPage::GetCommandBars() const
{
    return m_pSheet != nullptr ? m_pSheet->GetCommandBars() : nullptr;
}

CXTPCustomizeCategory* CXTPCustomizeCommandsPage::GetCategory(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCategoryCount() ? m_arrCategories[static_cast<size_t>(nIndex)] : nullptr;
}

CXTPCustomizeCategory* CXTPCustomizeCommandsPage::FindCategory(LPCTSTR lpszCategory) const
{
    for (CXTPCustomizeCategory* pCategory : m_arrCategories) {
        if (pCategory->m_strCategory == lpszCategory)
            return pCategory;
    }
    return nullptr;
}

CXTPCustomizeCategory* CXTPCustomizeCommandsPage::InsertCategory(LPCTSTR lpszName, int nIndex)
{
    CXTPCustomizeCategory* pCategory = new CXTPCustomizeCategory(lpszName, GetCommandBars());
    if (nIndex < 0 || nIndex > GetCategoryCount())
        m_arrCategories.push_back(pCategory);
    else
        m_arrCategories.insert(m_arrCategories.begin() + nIndex, pCategory);
    return pCategory;
}

CXTPControls* CXTPCustomizeCommandsPage::GetControls(LPCTSTR lpszCategory, int nIndex)
{
    CXTPCustomizeCategory* pCategory = FindCategory(lpszCategory);
    if (pCategory == nullptr)
        pCategory = InsertCategory(lpszCategory, nIndex);
    return pCategory->m_pControls;
}

void CXTPCustomizeCommandsPage::AddCategory(LPCTSTR lpszName, CMenu* pSubMenu, BOOL bListSubItems)
{
    CXTPControls* pControls = GetControls(StripMnemonics(lpszName), -1);
    const int nCount = static_cast<int>(pSubMenu->GetMenuItemCount());
    for (int i = 0; i < nCount; ++i) {
        if (pSubMenu->GetSubMenu(i) == nullptr && pSubMenu->GetMenuItemID(i) == 0)
            continue;
        CXTPControl* pControl = pControls->AddMenuItem(pSubMenu, i);
        if (!bListSubItems || pControl == nullptr)
            continue;
        if (CXTPControlPopup* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControl)) {
            if (CXTPCommandBar* pBar = pPopup->GetCommandBar()) {
                for (int j = 0; j < pBar->GetControlCount(); ++j)
                    pControls->AddClone(pBar->GetControl(j), -1);
            }
        }
    }
}

BOOL CXTPCustomizeCommandsPage::AddCategories(UINT nIDResource, BOOL bListSubItems)
{
    CMenu menu;
    if (!XTGetResourceHolder()->LoadMenu(&menu, nIDResource))
        return FALSE;
    const int nCount = static_cast<int>(menu.GetMenuItemCount());
    for (int i = 0; i < nCount; ++i) {
        CString strText;
        menu.GetMenuString(static_cast<UINT>(i), strText, MF_BYPOSITION);
        CMenu* pSubMenu = menu.GetSubMenu(i);
        if (!strText.IsEmpty() && pSubMenu != nullptr)
            AddCategory(strText, pSubMenu, bListSubItems);
    }
    return TRUE;
}

void CXTPCustomizeCommandsPage::InsertAllCommandsCategory(UINT nIDString, int nIndex)
{
    std::vector<CXTPControl*> controls;
    for (CXTPCustomizeCategory* pCategory : m_arrCategories) {
        for (int i = 0; i < pCategory->m_pControls->GetCount(); ++i)
            controls.push_back(pCategory->m_pControls->GetAt(i));
    }
    CXTPCustomizeCategory* pAll = InsertCategory(LoadToolkitString(nIDString), nIndex);
    for (CXTPControl* pControl : controls)
        pAll->m_pControls->AddClone(pControl, -1);
}

BOOL CXTPCustomizeCommandsPage::InsertBuiltInMenus(UINT nIDResourceMenu, UINT nIDString, int nIndex)
{
    CMenu menu;
    if (!XTGetResourceHolder()->LoadMenu(&menu, nIDResourceMenu))
        return FALSE;
    CXTPCustomizeCategory* pCategory = InsertCategory(LoadToolkitString(nIDString), nIndex);
    const int nCount = static_cast<int>(menu.GetMenuItemCount());
    for (int i = 0; i < nCount; ++i)
        pCategory->m_pControls->AddMenuItem(&menu, i);
    return TRUE;
}

void CXTPCustomizeCommandsPage::InsertNewMenuCategory(UINT nIDString, int nIndex)
{
    const CString strTitle = LoadToolkitString(nIDString);
    CXTPCustomizeCategory* pCategory = InsertCategory(strTitle, nIndex);
    if (CXTPControl* pControl = pCategory->m_pControls->AddByType(xtpControlPopup, 0, nullptr, -1, FALSE))
        pControl->SetCaption(strTitle);
}

void CXTPCustomizeCommandsPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, XTP_IDC_LIST_COMMANDS, m_lstCommands);
    DDX_Control(pDX, XTP_IDC_LIST_CATEGORIES, m_lstCategories);
}

BOOL CXTPCustomizeCommandsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    for (int i = 0; i < GetCategoryCount(); ++i) {
        const int nItem = m_lstCategories.AddString(m_arrCategories[static_cast<size_t>(i)]->m_strCategory);
        m_lstCategories.SetItemData(nItem, static_cast<DWORD_PTR>(i));
    }
    if (GetCategoryCount() > 0)
        m_lstCategories.SetCurSel(0);
    m_lstCommands.SetItemHeight(0, static_cast<UINT>(m_lstCommands.GetEntryHeight()));
    CWnd* pSite = m_pSheet != nullptr ? m_pSheet->GetSiteWindow() : nullptr;
    if (pSite != nullptr && (pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0)
        m_lstCommands.ModifyStyleEx(0, WS_EX_LAYOUTRTL);
    OnCategoriesSelectionChanged();
    return TRUE;
}

void CXTPCustomizeCommandsPage::OnCategoriesSelectionChanged()
{
    m_lstCommands.ResetContent();
    const int nSel = m_lstCategories.GetCurSel();
    if (nSel == LB_ERR)
        return;
    CXTPCustomizeCategory* pCategory = GetCategory(static_cast<int>(m_lstCategories.GetItemData(nSel)));
    if (pCategory == nullptr)
        return;
    for (int i = 0; i < pCategory->m_pControls->GetCount(); ++i) {
        const int nItem = m_lstCommands.AddString(L"");
        m_lstCommands.SetItemDataPtr(nItem, pCategory->m_pControls->GetAt(i));
    }
}
