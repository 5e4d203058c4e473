#include "toolkit/customize/XTPCustomizeOptionsPage.h"

#include "framework/win/DataExchange.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/customize/CustomizeSheetResource.h"
#include "toolkit/customize/XTPCustomizeSheet.h"

IMPLEMENT_DYNAMIC(CXTPCustomizeOptionsPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CXTPCustomizeOptionsPage, CPropertyPage)
ON_BN_CLICKED(XTP_IDC_CHECK_FULL_MENUS, OnCheckFullMenus)
ON_BN_CLICKED(XTP_IDC_CHECK_AFTERDELAY, OnCheckAfterDelay)
ON_BN_CLICKED(XTP_IDC_CHECK_LARGEICONS, OnCheckLargeIcons)
ON_BN_CLICKED(XTP_IDC_CHECK_SCREENTTIPS, OnCheckScreenTips)
ON_BN_CLICKED(XTP_IDC_CHECK_SHORTCUTS, OnCheckShortcuts)
ON_BN_CLICKED(XTP_IDC_BUTTON_RESETDATA, OnResetData)
ON_CBN_SELCHANGE(XTP_IDC_COMBO_ANIMATION, OnAnimationChanged)
END_MESSAGE_MAP()

CXTPCustomizeOptionsPage::CXTPCustomizeOptionsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_OPTIONS), m_bAlwaysShowFullMenus(TRUE), m_bShowFullAfterDelay(TRUE),
      m_bLargeIcons(FALSE), m_bToolBarScreenTips(TRUE), m_bToolBarAccelTips(FALSE), m_nAnimationType(0),
      m_pSheet(pSheet)
{
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        const CXTPCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
        m_bAlwaysShowFullMenus = pOptions->bAlwaysShowFullMenus;
        m_bShowFullAfterDelay = pOptions->bShowFullAfterDelay;
        m_bLargeIcons = pOptions->bLargeIcons;
        m_bToolBarScreenTips = pOptions->bToolBarScreenTips;
        m_bToolBarAccelTips = pOptions->bToolBarAccelTips;
        m_nAnimationType = pOptions->animationType;
    }
}

CXTPCustomizeOptionsPage::~CXTPCustomizeOptionsPage() = default;

CXTPCommandBars* CXTPCustomizeOptionsPage::GetCommandBars() const
{
    return m_pSheet != nullptr ? m_pSheet->GetCommandBars() : nullptr;
}

void CXTPCustomizeOptionsPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, XTP_IDC_COMBO_ANIMATION, m_comboAnimation);
    DDX_CBIndex(pDX, XTP_IDC_COMBO_ANIMATION, m_nAnimationType);
    DDX_Check(pDX, XTP_IDC_CHECK_FULL_MENUS, m_bAlwaysShowFullMenus);
    DDX_Check(pDX, XTP_IDC_CHECK_AFTERDELAY, m_bShowFullAfterDelay);
    DDX_Check(pDX, XTP_IDC_CHECK_LARGEICONS, m_bLargeIcons);
    DDX_Check(pDX, XTP_IDC_CHECK_SCREENTTIPS, m_bToolBarScreenTips);
    DDX_Check(pDX, XTP_IDC_CHECK_SHORTCUTS, m_bToolBarAccelTips);
}

void CXTPCustomizeOptionsPage::EnableDependents()
{
    if (CWnd* pDelay = GetDlgItem(XTP_IDC_CHECK_AFTERDELAY))
        pDelay->EnableWindow(!m_bAlwaysShowFullMenus);
    if (CWnd* pShortcuts = GetDlgItem(XTP_IDC_CHECK_SHORTCUTS))
        pShortcuts->EnableWindow(m_bToolBarScreenTips);
}

BOOL CXTPCustomizeOptionsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    EnableDependents();
    for (UINT nID = XTP_IDS_ANIMATION_SYSDEF; nID <= XTP_IDS_ANIMATION_NONE; ++nID) {
        CString strName;
        XTGetResourceHolder()->LoadString(&strName, nID);
        m_comboAnimation.AddString(strName);
    }
    UpdateData(FALSE);
    return TRUE;
}

void CXTPCustomizeOptionsPage::OnCheckFullMenus()
{
    UpdateData(TRUE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = m_bAlwaysShowFullMenus;
    EnableDependents();
}

void CXTPCustomizeOptionsPage::OnCheckAfterDelay()
{
    UpdateData(TRUE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay = m_bShowFullAfterDelay;
}

void CXTPCustomizeOptionsPage::OnCheckLargeIcons()
{
    UpdateData(TRUE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        pCommandBars->GetCommandBarsOptions()->bLargeIcons = m_bLargeIcons;
        pCommandBars->RecalcFrameLayout();
    }
}

void CXTPCustomizeOptionsPage::OnCheckScreenTips()
{
    UpdateData(TRUE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->GetCommandBarsOptions()->bToolBarScreenTips = m_bToolBarScreenTips;
    EnableDependents();
}

void CXTPCustomizeOptionsPage::OnCheckShortcuts()
{
    UpdateData(TRUE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->GetCommandBarsOptions()->bToolBarAccelTips = m_bToolBarAccelTips;
}

void CXTPCustomizeOptionsPage::OnAnimationChanged()
{
    UpdateData(TRUE);
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != nullptr && m_nAnimationType != -1)
        pCommandBars->GetCommandBarsOptions()->animationType = m_nAnimationType;
}

void CXTPCustomizeOptionsPage::OnResetData()
{
    UpdateData(TRUE);
    if (XTGetResourceHolder()->ShowMessageBox(XTP_IDS_CONFIRM_RESET_USAGE, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->ResetUsageData();
}
