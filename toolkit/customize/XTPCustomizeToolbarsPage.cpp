#include "toolkit/customize/XTPCustomizeToolbarsPage.h"

#include "framework/win/DataExchange.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/customize/CustomizeSheetResource.h"
#include "toolkit/customize/XTPCustomizeSheet.h"

namespace {

CString LoadToolkitString(UINT nID)
{
    CString str;
    XTGetResourceHolder()->LoadString(&str, nID);
    return str;
}

CString FormatToolkitString(UINT nID, LPCTSTR lpszArgument)
{
    CString str;
    str.Format(LoadToolkitString(nID), lpszArgument);
    return str;
}

// The bar lets the user hide it only when both of its settings allow it.
BOOL CanUserHide(const CXTPToolBar* pToolBar)
{
    return pToolBar->IsCloseable() && pToolBar->IsCustomizable();
}

} // namespace

CString FindFreeToolBarName(const CXTPCommandBars* pCommandBars)
{
    const CString strFormat = LoadToolkitString(XTP_IDS_CUSTOM_BAR);
    int n = 1;
    CString strName;
    strName.Format(strFormat, n);
    for (int i = 0; pCommandBars != nullptr && i < pCommandBars->GetCount(); ++i) {
        if (pCommandBars->GetAt(i)->GetTitle() == strName) {
            strName.Format(strFormat, ++n);
            i = -1;
        }
    }
    return strName;
}

// ---- CXTPNewToolbarDlg

CXTPNewToolbarDlg::CXTPNewToolbarDlg(CWnd* pParentWnd, CXTPCommandBars* pCommandBars, CXTPToolBar* pToolBar)
    : m_nNewID(0), m_pToolBar(pToolBar), m_pCommandBars(pCommandBars)
{
    m_pParentWnd = pParentWnd;
    if (LPCDLGTEMPLATE pTemplate = XTGetResourceHolder()->LoadDialogTemplate(XTP_IDD_NEWTOOLBAR))
        InitModalIndirect(pTemplate, pParentWnd);
}

BOOL CXTPNewToolbarDlg::OnInitDialog()
{
    if (m_pToolBar != nullptr) {
        m_strToolbar = m_pToolBar->GetTitle();
        SetWindowText(LoadToolkitString(XTP_IDS_RENAMETOOLBAR));
    } else {
        m_strToolbar = FindFreeToolBarName(m_pCommandBars);
    }
    return CDialog::OnInitDialog();
}

void CXTPNewToolbarDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, XTP_IDC_TOOLBAR_NAME, m_strToolbar);
}

CXTPNewToolbarDlg::CheckResult CXTPNewToolbarDlg::CheckName()
{
    if (m_strToolbar.IsEmpty()) {
        AfxMessageBox(LoadToolkitString(XTP_IDS_ERROR_BLANKNAME), MB_ICONSTOP);
        return nameRefused;
    }
    UINT nCandidate = kFirstCustomToolBarId;
    const int nCount = m_pCommandBars != nullptr ? m_pCommandBars->GetCount() : 0;
    for (int i = 0; i < nCount; ++i) {
        CXTPToolBar* pBar = m_pCommandBars->GetAt(i);
        if (m_pToolBar == nullptr && pBar->GetBarID() == nCandidate) {
            if (++nCandidate >= kCustomToolBarIdLimit) {
                AfxMessageBox(LoadToolkitString(XTP_IDS_ERROR_LIMIT), MB_ICONSTOP);
                return idsExhausted;
            }
            i = -1;
            continue;
        }
        if (pBar != m_pToolBar && pBar->GetTitle() == m_strToolbar) {
            AfxMessageBox(FormatToolkitString(XTP_IDS_ERROR_EXISTS, m_strToolbar), MB_ICONSTOP);
            return nameRefused;
        }
    }
    m_nNewID = nCandidate;
    return nameAccepted;
}

void CXTPNewToolbarDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    switch (CheckName()) {
    case nameAccepted:
        EndDialog(IDOK);
        break;
    case idsExhausted:
        EndDialog(IDCANCEL);
        break;
    case nameRefused:
        if (CWnd* pEdit = GetDlgItem(XTP_IDC_TOOLBAR_NAME))
            pEdit->SetFocus();
        break;
    }
}

// ---- CXTPCustomizeToolbarsPage

IMPLEMENT_DYNAMIC(CXTPCustomizeToolbarsPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CXTPCustomizeToolbarsPage, CPropertyPage)
ON_BN_CLICKED(XTP_IDC_BUTTON_NEW, OnNewToolbar)
ON_BN_CLICKED(XTP_IDC_BUTTON_RENAME, OnRenameToolbar)
ON_BN_CLICKED(XTP_IDC_BUTTON_DELETE, OnDeleteToolbar)
ON_BN_CLICKED(XTP_IDC_BUTTON_RESET, OnResetToolbar)
ON_CLBN_CHKCHANGE(XTP_IDC_LIST_TOOLBARS, OnChkChange)
ON_LBN_SELCHANGE(XTP_IDC_LIST_TOOLBARS, OnSelChange)
END_MESSAGE_MAP()

CXTPCustomizeToolbarsPage::CXTPCustomizeToolbarsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_TOOLBARS), m_pSheet(pSheet)
{
}

CXTPCustomizeToolbarsPage::~CXTPCustomizeToolbarsPage() = default;

CXTPCommandBars* CXTPCustomizeToolbarsPage::GetCommandBars() const
{
    return m_pSheet != nullptr ? m_pSheet->GetCommandBars() : nullptr;
}

void CXTPCustomizeToolbarsPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, XTP_IDC_LIST_TOOLBARS, m_checkList);
    DDX_Control(pDX, XTP_IDC_BUTTON_RESET, m_btnReset);
    DDX_Control(pDX, XTP_IDC_BUTTON_RENAME, m_btnRename);
    DDX_Control(pDX, XTP_IDC_BUTTON_DELETE, m_btnDelete);
    DDX_Control(pDX, XTP_IDC_BUTTON_NEW, m_btnNew);
}

BOOL CXTPCustomizeToolbarsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CWnd* pSite = m_pSheet != nullptr ? m_pSheet->GetSiteWindow() : nullptr;
    if (pSite != nullptr && (pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0)
        m_checkList.ModifyStyleEx(0, WS_EX_LAYOUTRTL);
    RefreshList();
    return TRUE;
}

void CXTPCustomizeToolbarsPage::RefreshList()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (m_checkList.GetSafeHwnd() == nullptr || pCommandBars == nullptr)
        return;
    const int nSel = m_checkList.GetCurSel();
    const DWORD_PTR nSelData = nSel != LB_ERR ? m_checkList.GetItemData(nSel) : 0;
    const int nTop = m_checkList.GetTopIndex();
    m_checkList.ResetContent();
    for (int i = 0; i < pCommandBars->GetCount(); ++i) {
        CXTPToolBar* pBar = pCommandBars->GetAt(i);
        const int nItem = m_checkList.AddString(pBar->GetTitle());
        m_checkList.SetCheck(nItem, pBar->IsVisible() ? 1 : 0);
        m_checkList.SetItemData(nItem, static_cast<DWORD_PTR>(i));
        if (static_cast<DWORD_PTR>(i) == nSelData)
            m_checkList.SetCurSel(nItem);
    }
    if (m_checkList.GetTopIndex() != nTop)
        m_checkList.SetTopIndex(nTop);
    UpdateButtons();
}

CXTPToolBar* CXTPCustomizeToolbarsPage::GetSelectedToolBar() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    const int nSel = m_checkList.GetSafeHwnd() != nullptr ? m_checkList.GetCurSel() : LB_ERR;
    if (pCommandBars == nullptr || nSel == LB_ERR)
        return nullptr;
    return pCommandBars->GetAt(static_cast<int>(m_checkList.GetItemData(nSel)));
}

void CXTPCustomizeToolbarsPage::UpdateButtons()
{
    if (m_checkList.GetSafeHwnd() == nullptr)
        return;
    const int nSel = m_checkList.GetCurSel();
    if (nSel == LB_ERR) {
        m_btnReset.EnableWindow(FALSE);
        m_btnRename.EnableWindow(FALSE);
        m_btnDelete.EnableWindow(FALSE);
        return;
    }
    CXTPToolBar* pBar = GetSelectedToolBar();
    if (pBar == nullptr)
        return;
    m_btnReset.EnableWindow(pBar->IsBuiltIn());
    m_btnRename.EnableWindow(!pBar->IsBuiltIn());
    m_btnDelete.EnableWindow(!pBar->IsBuiltIn());
}

void CXTPCustomizeToolbarsPage::OnSelChange()
{
    UpdateButtons();
}

void CXTPCustomizeToolbarsPage::OnChkChange()
{
    const int nSel = m_checkList.GetCurSel();
    CXTPToolBar* pBar = GetSelectedToolBar();
    if (pBar != nullptr) {
        if (CanUserHide(pBar))
            pBar->SetVisible(m_checkList.GetCheck(nSel) != 0);
        else
            m_checkList.SetCheck(nSel, 1);
    }
    RefreshList();
}

void CXTPCustomizeToolbarsPage::OnNewToolbar()
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars == nullptr)
        return;
    CXTPNewToolbarDlg dlg(m_pSheet, pCommandBars);
    if (dlg.DoModal() != IDOK)
        return;
    pCommandBars->AddCustomToolBar(dlg.m_strToolbar, dlg.m_nNewID, FALSE);
    RefreshList();
}

void CXTPCustomizeToolbarsPage::OnRenameToolbar()
{
    CXTPToolBar* pBar = GetSelectedToolBar();
    if (pBar == nullptr || pBar->IsBuiltIn())
        return;
    CXTPNewToolbarDlg dlg(m_pSheet, GetCommandBars(), pBar);
    if (dlg.DoModal() != IDOK)
        return;
    pBar->SetTitle(dlg.m_strToolbar);
    const int nSel = m_checkList.GetCurSel();
    const DWORD_PTR nData = m_checkList.GetItemData(nSel);
    m_checkList.DeleteString(static_cast<UINT>(nSel));
    const int nItem = m_checkList.InsertString(nSel, pBar->GetTitle());
    m_checkList.SetCheck(nItem, pBar->IsVisible() ? 1 : 0);
    m_checkList.SetItemData(nItem, nData);
    m_checkList.SetCurSel(nItem);
    UpdateButtons();
}

void CXTPCustomizeToolbarsPage::OnDeleteToolbar()
{
    CXTPToolBar* pBar = GetSelectedToolBar();
    if (pBar == nullptr || pBar->IsBuiltIn())
        return;
    if (AfxMessageBox(FormatToolkitString(XTP_IDS_CONFIRM_DELETE, pBar->GetTitle()),
                      MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    GetCommandBars()->RemoveBar(pBar);
    RefreshList();
}

void CXTPCustomizeToolbarsPage::OnResetToolbar()
{
    CXTPToolBar* pBar = GetSelectedToolBar();
    if (pBar == nullptr || !pBar->IsBuiltIn())
        return;
    pBar->Reset(TRUE);
    RefreshList();
}
