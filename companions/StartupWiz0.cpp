#include "companions/StartupWiz0.h"

#include "res/resource.h"

IMPLEMENT_DYNAMIC(CStartupWiz0, CPropertyPage)

CStartupWiz0::CStartupWiz0()
    : CPropertyPage(IDD_STARTUP_VIEW_STYLE, 0, IDS_WIZARD_VIEW_TITLE, IDS_WIZARD_VIEW_SUBTITLE), m_nViewStyle(0)
{
}

BOOL CStartupWiz0::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CheckDlgButton(IDC_VIEW_CLASSIC, m_nViewStyle == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_VIEW_MODERN, m_nViewStyle == 1 ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

BOOL CStartupWiz0::OnSetActive()
{
    if (HWND hWndSheet = ::GetParent(m_hWnd))
        ::PostMessageW(hWndSheet, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

void CStartupWiz0::TakeChoice()
{
    m_nViewStyle = IsDlgButtonChecked(IDC_VIEW_MODERN) == BST_CHECKED ? 1 : 0;
}

LRESULT CStartupWiz0::OnWizardNext()
{
    TakeChoice();
    return CPropertyPage::OnWizardNext();
}

BOOL CStartupWiz0::OnWizardFinish()
{
    TakeChoice();
    return CPropertyPage::OnWizardFinish();
}
