#include "companions/StartupWiz4.h"

#include "res/resource.h"

IMPLEMENT_DYNAMIC(CStartupWiz4, CPropertyPage)

CStartupWiz4::CStartupWiz4()
    : CPropertyPage(IDD_STARTUP_GLOWMARK, 0, IDS_WIZARD_GLOWMARK_TITLE, IDS_WIZARD_GLOWMARK_SUBTITLE), m_bGlowmark(1)
{
}

BOOL CStartupWiz4::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CheckDlgButton(IDC_GLOWMARK_ENABLE, m_bGlowmark ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_GLOWMARK_DISABLE, m_bGlowmark ? BST_UNCHECKED : BST_CHECKED);
    return TRUE;
}

BOOL CStartupWiz4::OnSetActive()
{
    if (HWND hWndSheet = ::GetParent(m_hWnd))
        ::PostMessageW(hWndSheet, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_FINISH);
    return CPropertyPage::OnSetActive();
}

BOOL CStartupWiz4::OnWizardFinish()
{
    m_bGlowmark = IsDlgButtonChecked(IDC_GLOWMARK_ENABLE) == BST_CHECKED ? 1 : 0;
    return CPropertyPage::OnWizardFinish();
}
