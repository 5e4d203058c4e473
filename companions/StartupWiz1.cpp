#include "companions/StartupWiz1.h"

#include "companions/WeatherTables.h"
#include "framework/win/WinApp.h"
#include "res/resource.h"

IMPLEMENT_DYNAMIC(CStartupWiz1, CPropertyPage)

BEGIN_MESSAGE_MAP(CStartupWiz1, CPropertyPage)
ON_CBN_SELENDOK(IDC_WIZARD_COUNTRY, OnCountryChosen)
ON_CBN_SELENDOK(IDC_WIZARD_CITY, OnLocationChanged)
ON_EN_CHANGE(IDC_WIZARD_LOCATION, OnLocationChanged)
END_MESSAGE_MAP()

namespace {

const wchar_t kDefaultLocation[] = L"32333";

} // namespace

CStartupWiz1::CStartupWiz1()
    : CPropertyPage(IDD_STARTUP_COUNTRY, 0, IDS_WIZARD_COUNTRY_TITLE, IDS_WIZARD_COUNTRY_SUBTITLE), m_nChanged(0),
      m_bHaveCountries(FALSE), m_bFilling(false)
{
}

BOOL CStartupWiz1::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_bFilling = true;
    CComboBox* pCountry = static_cast<CComboBox*>(GetDlgItem(IDC_WIZARD_COUNTRY));
    m_bHaveCountries = m_countries.Open(WeatherTablePath(L"countries.csv"), CCsvTable::READ_AS_STRING);
    if (m_bHaveCountries && pCountry != nullptr) {
        FillCountryList(*pCountry, m_countries, CString());
        pCountry->SetCurSel(0);
    } else if (pCountry != nullptr) {
        pCountry->EnableWindow(FALSE);
    }
    m_cities.Open(WeatherTablePath(L"international.csv"), CCsvTable::READ_AS_STRING);
    if (CWnd* pCity = GetDlgItem(IDC_WIZARD_CITY))
        pCity->ShowWindow(SW_HIDE);
    if (CWnd* pLocation = GetDlgItem(IDC_WIZARD_LOCATION)) {
        pLocation->ShowWindow(SW_SHOW);
        pLocation->SetWindowText(kDefaultLocation);
        pLocation->EnableWindow(m_bHaveCountries);
    }
    m_bFilling = false;
    return TRUE;
}

BOOL CStartupWiz1::OnSetActive()
{
    if (HWND hWndSheet = ::GetParent(m_hWnd))
        ::PostMessageW(hWndSheet, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

void CStartupWiz1::OnCountryChosen()
{
    m_nChanged = 1;
    CComboBox* pCountry = static_cast<CComboBox*>(GetDlgItem(IDC_WIZARD_COUNTRY));
    if (pCountry != nullptr)
        FillCities(pCountry->GetCurSel());
}

void CStartupWiz1::OnLocationChanged()
{
    if (!m_bFilling)
        m_nChanged = 1;
}

void CStartupWiz1::FillCities(int nCountry)
{
    CComboBox* pCity = static_cast<CComboBox*>(GetDlgItem(IDC_WIZARD_CITY));
    CWnd* pLocation = GetDlgItem(IDC_WIZARD_LOCATION);
    CComboBox* pCountry = static_cast<CComboBox*>(GetDlgItem(IDC_WIZARD_COUNTRY));
    if (pCity == nullptr || pLocation == nullptr || pCountry == nullptr)
        return;
    if (nCountry <= 0) {
        pCity->ShowWindow(SW_HIDE);
        pLocation->ShowWindow(SW_SHOW);
        return;
    }
    m_bFilling = true;
    FillCityList(*pCity, m_cities, m_countries, *pCountry, CString());
    m_bFilling = false;
    pLocation->ShowWindow(SW_HIDE);
    pCity->ShowWindow(SW_SHOW);
}

void CStartupWiz1::WriteChoice()
{
    CWinApp* pApp = AfxGetApp();
    CComboBox* pCountry = static_cast<CComboBox*>(GetDlgItem(IDC_WIZARD_COUNTRY));
    if (!m_nChanged || !m_bHaveCountries || pApp == nullptr || pCountry == nullptr)
        return;
    const int nCountry = pCountry->GetCurSel();
    if (nCountry > 0) {
        CComboBox* pCity = static_cast<CComboBox*>(GetDlgItem(IDC_WIZARD_CITY));
        const int nCity = pCity != nullptr ? pCity->GetCurSel() : CB_ERR;
        pApp->WriteProfileString(L"", L"Country",
                                 WeatherTableCell(m_countries, 1, static_cast<int>(pCountry->GetItemData(nCountry))));
        // A country without cities in the table has no location to store.
        if (nCity != CB_ERR) {
            m_strLocation = WeatherTableCell(m_cities, 2, static_cast<int>(pCity->GetItemData(nCity)));
            pApp->WriteProfileString(L"", L"Location", m_strLocation);
        }
    } else {
        GetDlgItemText(IDC_WIZARD_LOCATION, m_strLocation);
        pApp->WriteProfileString(L"", L"Location", m_strLocation);
        pApp->WriteProfileString(L"", L"Country", L"US");
    }
}

LRESULT CStartupWiz1::OnWizardNext()
{
    WriteChoice();
    return CPropertyPage::OnWizardNext();
}

BOOL CStartupWiz1::OnWizardFinish()
{
    WriteChoice();
    return CPropertyPage::OnWizardFinish();
}
