#include "companions/StartupWiz1.h"

#include "feeds/EngineContext.h"
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

CStringA TablePath(LPCWSTR name)
{
    CString folder = EngineProfileString(L"", L"Install_Dir", L"");
    return CStringA(folder + name);
}

CString Cell(CCsvTable& table, int column, int row)
{
    CStringA text;
    table.GetString(column, row, text);
    return CString(text);
}

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
    m_bHaveCountries = m_countries.Open(TablePath(L"\\countries.csv"), CCsvTable::READ_AS_STRING);
    if (m_bHaveCountries && pCountry != nullptr) {
        const int nRows = m_countries.GetRowCount(0);
        for (int row = 0; row + 1 < nRows; ++row) {
            const int index = pCountry->AddString(Cell(m_countries, 0, row));
            pCountry->SetItemData(index, static_cast<DWORD_PTR>(row));
        }
        pCountry->SetCurSel(0);
    } else if (pCountry != nullptr) {
        pCountry->EnableWindow(FALSE);
    }
    m_cities.Open(TablePath(L"\\international.csv"), CCsvTable::READ_AS_STRING);
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
    pCity->ResetContent();
    const CString name = Cell(m_countries, 0, static_cast<int>(pCountry->GetItemData(nCountry)));
    const int nRows = m_cities.GetRowCount(0);
    bool bFound = false;
    for (int row = 0; row < nRows; ++row) {
        if (Cell(m_cities, 0, row) != name) {
            // The cities of one country stand together.
            if (bFound)
                break;
            continue;
        }
        bFound = true;
        const int index = pCity->AddString(Cell(m_cities, 1, row));
        pCity->SetItemData(index, static_cast<DWORD_PTR>(row));
    }
    pCity->SetCurSel(0);
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
                                 Cell(m_countries, 1, static_cast<int>(pCountry->GetItemData(nCountry))));
        // A country without cities in the table has no location to store.
        if (nCity != CB_ERR) {
            m_strLocation = Cell(m_cities, 2, static_cast<int>(pCity->GetItemData(nCity)));
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
