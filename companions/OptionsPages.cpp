#include "companions/OptionsPages.h"

#include "companions/WeatherTables.h"
#include "feeds/EngineContext.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/DataExchange.h"
#include "framework/win/WinApp.h"
#include "res/resource.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValue[] = L"Lanternquill";
const wchar_t kDefaultLocation[] = L"32333";

bool Checked(const CWnd& page, int nID)
{
    return page.IsDlgButtonChecked(nID) == BST_CHECKED;
}

void Check(CWnd& page, int nID, bool bChecked)
{
    page.CheckDlgButton(nID, bChecked ? BST_CHECKED : BST_UNCHECKED);
}

void WriteRootInt(LPCWSTR entry, int value)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WriteProfileInt(L"", entry, value);
}

void WriteRootString(LPCWSTR entry, LPCWSTR value)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->WriteProfileString(L"", entry, value);
}

bool RunKeyHoldsProgram()
{
    CScopedRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_QUERY_VALUE, nullptr, key.Receive(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegQueryValueExW(key, kRunValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetRunKey(bool bOn)
{
    CScopedRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(), nullptr) !=
        ERROR_SUCCESS)
        return;
    if (bOn) {
        const CString command = CReaderSettingsDlg1::StartupCommand();
        if (!command.IsEmpty())
            ::RegSetValueExW(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.GetString()),
                             static_cast<DWORD>((command.GetLength() + 1) * sizeof(WCHAR)));
    } else {
        ::RegDeleteValueW(key, kRunValue);
    }
}

int Clamp(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

} // namespace

// ---- View Style

IMPLEMENT_DYNAMIC(CReaderSettingsDlg0, CPropertyPage)

CReaderSettingsDlg0::CReaderSettingsDlg0() : CPropertyPage(IDD_OPTIONS_VIEW_STYLE), m_nViewStyle(0) {}

BOOL CReaderSettingsDlg0::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    Check(*this, IDC_VIEW_CLASSIC, m_nViewStyle == 0);
    Check(*this, IDC_VIEW_MODERN, m_nViewStyle == 1);
    return TRUE;
}

void CReaderSettingsDlg0::OnOK()
{
    m_nViewStyle = Checked(*this, IDC_VIEW_MODERN) ? 1 : 0;
}

// ---- General

IMPLEMENT_DYNAMIC(CReaderSettingsDlg1, CPropertyPage)

BEGIN_MESSAGE_MAP(CReaderSettingsDlg1, CPropertyPage)
ON_CBN_SELENDOK(IDC_OPTIONS_COUNTRY, OnCountryChosen)
ON_CBN_SELENDOK(IDC_OPTIONS_CITY, OnLocationChanged)
ON_EN_CHANGE(IDC_OPTIONS_LOCATION, OnLocationChanged)
END_MESSAGE_MAP()

CReaderSettingsDlg1::CReaderSettingsDlg1()
    : CPropertyPage(IDD_OPTIONS_GENERAL), m_nStartWithWindows(0),
      m_nLeftSide(GetEngineContext().m_settings.nLeftArrows),
      m_nOpenInReader(GetEngineContext().m_settings.nOpenInReader), m_nChanged(0), m_nShowWeather(1),
      m_bWeatherRead(FALSE), m_bShowWeatherChanged(FALSE), m_bFilling(false)
{
}

CString CReaderSettingsDlg1::StartupCommand()
{
    WCHAR path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    // A cut path would name another file.
    if (length == 0 || length > MAX_PATH)
        return CString();
    return L"\"" + CString(path) + L"\" /background";
}

BOOL CReaderSettingsDlg1::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_bFilling = true;
    const CReaderSettings& settings = GetEngineContext().m_settings;
    Check(*this, IDC_OPTIONS_CHECK_AT_STARTUP, EngineProfileInt(L"", L"Check at startup", 1) != 0);
    if (RunKeyHoldsProgram()) {
        Check(*this, IDC_OPTIONS_RUN_AT_STARTUP, true);
        m_nStartWithWindows = 1;
    }
    Check(*this, IDC_OPTIONS_LEFT_SIDE, m_nLeftSide != 0);
    Check(*this, IDC_OPTIONS_HIDE_READ, settings.nHideReadChannels != 0);
    Check(*this, IDC_OPTIONS_OPEN_IN_READER, m_nOpenInReader != 0);
    const bool bModern = settings.nViewStyle == 1;
    GetDlgItem(bModern ? IDC_OPTIONS_OPEN_IN_READER : IDC_OPTIONS_LEFT_SIDE)->EnableWindow(FALSE);

    CComboBox* pCountry = static_cast<CComboBox*>(GetDlgItem(IDC_OPTIONS_COUNTRY));
    if (!m_countries.Open(WeatherTablePath(L"countries.csv"), CCsvTable::READ_AS_STRING)) {
        pCountry->EnableWindow(FALSE);
        GetDlgItem(IDC_OPTIONS_SHOW_WEATHER)->EnableWindow(FALSE);
        GetDlgItem(IDC_OPTIONS_LOCATION)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_OPTIONS_CITY)->ShowWindow(SW_HIDE);
        m_bFilling = false;
        return TRUE;
    }
    const int nCountry = FillCountryList(*pCountry, m_countries, EngineProfileString(L"", L"Country", L"US"));
    m_cities.Open(WeatherTablePath(L"international.csv"), CCsvTable::READ_AS_STRING);
    m_strLocation = EngineProfileString(L"", L"Location", kDefaultLocation);
    pCountry->SetCurSel(nCountry);
    ShowCities(nCountry, m_strLocation);
    m_nShowWeather = static_cast<int>(EngineProfileInt(L"", L"ShowWeather", 1));
    m_bWeatherRead = TRUE;
    Check(*this, IDC_OPTIONS_SHOW_WEATHER, m_nShowWeather != 0);
    m_bFilling = false;
    return TRUE;
}

// The first country takes a location typed in; the others offer their cities.
void CReaderSettingsDlg1::ShowCities(int nCountry, const CString& location)
{
    CWnd* pLocation = GetDlgItem(IDC_OPTIONS_LOCATION);
    CComboBox* pCity = static_cast<CComboBox*>(GetDlgItem(IDC_OPTIONS_CITY));
    if (nCountry <= 0) {
        pCity->ShowWindow(SW_HIDE);
        pLocation->SetWindowText(location);
        pLocation->ShowWindow(SW_SHOW);
        return;
    }
    FillCityList(*pCity, m_cities, m_countries, *static_cast<CComboBox*>(GetDlgItem(IDC_OPTIONS_COUNTRY)), location);
    pLocation->ShowWindow(SW_HIDE);
    pCity->ShowWindow(SW_SHOW);
}

void CReaderSettingsDlg1::OnCountryChosen()
{
    m_nChanged = 1;
    m_bFilling = true;
    const int nCountry = static_cast<CComboBox*>(GetDlgItem(IDC_OPTIONS_COUNTRY))->GetCurSel();
    if (nCountry <= 0) {
        GetDlgItem(IDC_OPTIONS_CITY)->ShowWindow(SW_HIDE);
        GetDlgItem(IDC_OPTIONS_LOCATION)->ShowWindow(SW_SHOW);
    } else {
        ShowCities(nCountry, CString());
    }
    m_bFilling = false;
}

void CReaderSettingsDlg1::OnLocationChanged()
{
    if (!m_bFilling)
        m_nChanged = 1;
}

void CReaderSettingsDlg1::OnOK()
{
    CComboBox* pCountry = static_cast<CComboBox*>(GetDlgItem(IDC_OPTIONS_COUNTRY));
    if (m_nChanged && m_countries.GetColumnCount() > 0) {
        const int nCountry = pCountry->GetCurSel();
        if (nCountry > 0) {
            CComboBox* pCity = static_cast<CComboBox*>(GetDlgItem(IDC_OPTIONS_CITY));
            const int nCity = pCity->GetCurSel();
            WriteRootString(L"Country",
                            WeatherTableCell(m_countries, 1, static_cast<int>(pCountry->GetItemData(nCountry))));
            // A country without cities in the table has no location to store.
            if (nCity != CB_ERR) {
                m_strLocation = WeatherTableCell(m_cities, 2, static_cast<int>(pCity->GetItemData(nCity)));
                WriteRootString(L"Location", m_strLocation);
            }
        } else {
            GetDlgItemText(IDC_OPTIONS_LOCATION, m_strLocation);
            WriteRootString(L"Location", m_strLocation);
            WriteRootString(L"Country", L"US");
        }
    }
    if (m_bWeatherRead) {
        const int nShow = Checked(*this, IDC_OPTIONS_SHOW_WEATHER) ? 1 : 0;
        if (nShow != m_nShowWeather) {
            m_nShowWeather = nShow;
            m_bShowWeatherChanged = TRUE;
            WriteRootInt(L"ShowWeather", nShow);
        }
    }
    WriteRootInt(L"Check at startup", Checked(*this, IDC_OPTIONS_CHECK_AT_STARTUP) ? 1 : 0);
    const int nStart = Checked(*this, IDC_OPTIONS_RUN_AT_STARTUP) ? 1 : 0;
    if (nStart != m_nStartWithWindows) {
        m_nStartWithWindows = nStart;
        SetRunKey(nStart != 0);
    }
    m_nLeftSide = Checked(*this, IDC_OPTIONS_LEFT_SIDE) ? 1 : 0;
    CReaderSettings& settings = GetEngineContext().m_settings;
    settings.nHideReadChannels = Checked(*this, IDC_OPTIONS_HIDE_READ) ? 1 : 0;
    WriteRootInt(L"HideReadChannels", settings.nHideReadChannels);
    m_nOpenInReader = Checked(*this, IDC_OPTIONS_OPEN_IN_READER) ? 1 : 0;
    if (m_nOpenInReader != settings.nOpenInReader) {
        settings.nOpenInReader = m_nOpenInReader;
        WriteRootInt(L"OpenInReader", m_nOpenInReader);
    }
}

// ---- Channel View

IMPLEMENT_DYNAMIC(CReaderSettingsDlg2, CPropertyPage)

namespace {

// The buttons in the order OK reads them, each with its mode.
const struct
{
    int nID;
    int nMode;
} kViewModes[] = {
    {IDC_OPTIONS_VIEW_ONE_LINE, 0},
    {IDC_OPTIONS_VIEW_TITLES, 1},
    {IDC_OPTIONS_VIEW_FULL, 2},
    {IDC_OPTIONS_VIEW_TWO_LINES, 3},
};

bool ModernStyle()
{
    return GetEngineContext().m_settings.nViewStyle == 1;
}

} // namespace

CReaderSettingsDlg2::CReaderSettingsDlg2()
    : CPropertyPage(IDD_OPTIONS_CHANNEL_VIEW), m_nViewMode(GetEngineContext().m_settings.nView)
{
}

BOOL CReaderSettingsDlg2::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (!ModernStyle()) {
        Check(*this, IDC_OPTIONS_VIEW_FULL, true);
        for (int nID : {IDC_OPTIONS_VIEW_ONE_LINE, IDC_OPTIONS_VIEW_TWO_LINES, IDC_OPTIONS_VIEW_TITLES})
            GetDlgItem(nID)->EnableWindow(FALSE);
        return TRUE;
    }
    m_nViewMode = static_cast<int>(EngineProfileInt(L"", L"View", 2));
    for (const auto& mode : kViewModes)
        Check(*this, mode.nID, mode.nMode == m_nViewMode);
    return TRUE;
}

void CReaderSettingsDlg2::OnOK()
{
    if (!ModernStyle()) {
        m_nViewMode = GetEngineContext().m_settings.nView;
        return;
    }
    for (const auto& mode : kViewModes) {
        if (Checked(*this, mode.nID))
            m_nViewMode = mode.nMode;
    }
    WriteRootInt(L"View", m_nViewMode);
}

// ---- Connection Settings

IMPLEMENT_DYNAMIC(CReaderSettingsDlg3, CPropertyPage)

BEGIN_MESSAGE_MAP(CReaderSettingsDlg3, CPropertyPage)
ON_CONTROL_RANGE(BN_CLICKED, IDC_OPTIONS_PROXY_CUSTOM, IDC_OPTIONS_PROXY_CUSTOM, OnProxyMode)
ON_CONTROL_RANGE(BN_CLICKED, IDC_OPTIONS_PROXY_AUTO, IDC_OPTIONS_PROXY_NONE, OnProxyMode)
END_MESSAGE_MAP()

CReaderSettingsDlg3::CReaderSettingsDlg3()
    : CPropertyPage(IDD_OPTIONS_CONNECTION), m_nTimeout(20), m_nMaxConnections(4), m_nProxyMode(PROXY_AUTO),
      m_nProxyPort(0)
{
}

void CReaderSettingsDlg3::TakeRunningValues(const CReaderSettings& settings)
{
    m_nTimeout = Clamp(settings.nTimeout, 0, 300);
    m_nMaxConnections = Clamp(settings.nMaxConnections, 1, 20);
    m_nProxyMode = settings.nProxyMode;
    if (m_nProxyMode == PROXY_CUSTOM) {
        m_strProxyServer = settings.szProxyServer;
        m_strProxyUser = settings.szProxyUser;
        m_strProxyPass = settings.szProxyPass;
        m_nProxyPort = Clamp(settings.nProxyPort, 0, 65535);
    }
}

void CReaderSettingsDlg3::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_OPTIONS_TIMEOUT, m_nTimeout);
    DDV_MinMaxInt(pDX, m_nTimeout, 0, 300);
    DDX_Text(pDX, IDC_OPTIONS_MAX_CONNECTIONS, m_nMaxConnections);
    DDV_MinMaxInt(pDX, m_nMaxConnections, 1, 20);
    DDX_Text(pDX, IDC_OPTIONS_PROXY_SERVER, m_strProxyServer);
    DDX_Text(pDX, IDC_OPTIONS_PROXY_PORT, m_nProxyPort);
    DDV_MinMaxInt(pDX, m_nProxyPort, 0, 65535);
    DDX_Text(pDX, IDC_OPTIONS_PROXY_USER, m_strProxyUser);
    DDX_Text(pDX, IDC_OPTIONS_PROXY_PASSWORD, m_strProxyPass);
}

BOOL CReaderSettingsDlg3::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_nProxyMode != PROXY_NONE && m_nProxyMode != PROXY_CUSTOM)
        m_nProxyMode = PROXY_AUTO;
    Check(*this, IDC_OPTIONS_PROXY_AUTO, m_nProxyMode == PROXY_AUTO);
    Check(*this, IDC_OPTIONS_PROXY_NONE, m_nProxyMode == PROXY_NONE);
    Check(*this, IDC_OPTIONS_PROXY_CUSTOM, m_nProxyMode == PROXY_CUSTOM);
    EnableProxyFields();
    static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_OPTIONS_TIMEOUT_SPIN))->SetRange(0, 300);
    static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_OPTIONS_MAX_SPIN))->SetRange(1, 20);
    return TRUE;
}

void CReaderSettingsDlg3::OnProxyMode(UINT nID)
{
    m_nProxyMode = nID == IDC_OPTIONS_PROXY_CUSTOM ? PROXY_CUSTOM
                   : nID == IDC_OPTIONS_PROXY_NONE ? PROXY_NONE
                                                   : PROXY_AUTO;
    EnableProxyFields();
}

void CReaderSettingsDlg3::EnableProxyFields()
{
    for (int nID :
         {IDC_OPTIONS_PROXY_SERVER, IDC_OPTIONS_PROXY_PORT, IDC_OPTIONS_PROXY_USER, IDC_OPTIONS_PROXY_PASSWORD})
        GetDlgItem(nID)->EnableWindow(m_nProxyMode == PROXY_CUSTOM);
}

// ---- Glowmark

IMPLEMENT_DYNAMIC(CReaderSettingsDlg4, CPropertyPage)

CReaderSettingsDlg4::CReaderSettingsDlg4() : CPropertyPage(IDD_OPTIONS_GLOWMARK), m_bGlowmark(1) {}

BOOL CReaderSettingsDlg4::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    Check(*this, IDC_GLOWMARK_ENABLE, m_bGlowmark != 0);
    Check(*this, IDC_GLOWMARK_DISABLE, m_bGlowmark == 0);
    return TRUE;
}

void CReaderSettingsDlg4::OnOK()
{
    m_bGlowmark = Checked(*this, IDC_GLOWMARK_ENABLE) ? 1 : 0;
}

// ---- Color Themes

IMPLEMENT_DYNAMIC(CReaderSettingsDlg5, CPropertyPage)

CReaderSettingsDlg5::CReaderSettingsDlg5() : CPropertyPage(IDD_OPTIONS_THEMES), m_nTheme(3) {}

BOOL CReaderSettingsDlg5::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    Check(*this, IDC_OPTIONS_THEME_DEFAULT, m_nTheme == 0);
    Check(*this, IDC_OPTIONS_THEME_OFFICE2003, m_nTheme == 2);
    Check(*this, IDC_OPTIONS_THEME_XP, m_nTheme == 3);
    return TRUE;
}

void CReaderSettingsDlg5::OnOK()
{
    if (Checked(*this, IDC_OPTIONS_THEME_DEFAULT))
        m_nTheme = 0;
    else if (Checked(*this, IDC_OPTIONS_THEME_OFFICE2003))
        m_nTheme = 2;
    else if (Checked(*this, IDC_OPTIONS_THEME_XP))
        m_nTheme = 3;
}
