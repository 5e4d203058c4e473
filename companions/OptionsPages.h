// The pages of the options sheet "Settings": View Style, General, Channel View, Connection Settings, Glowmark and
// Color Themes. Each hands the chosen values back in its members; the General and Channel View pages write some
// values themselves when the sheet is confirmed.
#pragma once

#include "feeds/CsvTable.h"
#include "framework/win/PropertySheet.h"

struct CReaderSettings;

// "View Style" (1125): 0 classic, 1 modern.
class CReaderSettingsDlg0 : public CPropertyPage
{
    DECLARE_DYNAMIC(CReaderSettingsDlg0)

public:
    CReaderSettingsDlg0();
    BOOL OnInitDialog() override;
    void OnOK() override;

    int m_nViewStyle;
};

// "General" (161): start options, appearance and the weather's country and location.
class CReaderSettingsDlg1 : public CPropertyPage
{
    DECLARE_DYNAMIC(CReaderSettingsDlg1)

public:
    CReaderSettingsDlg1();
    BOOL OnInitDialog() override;
    void OnOK() override;

    int m_nStartWithWindows; // the Run key held the program's value when the page opened
    int m_nLeftSide;         // "LeftArrows", written by the sheet
    int m_nOpenInReader;
    CCsvTable m_countries;
    CCsvTable m_cities;
    CString m_strLocation;
    int m_nChanged; // the country, city or location was changed by the user
    int m_nShowWeather;
    // Whether "ShowWeather" was read (the countries table opened) and whether OK changed it.
    BOOL m_bWeatherRead;
    BOOL m_bShowWeatherChanged;

    // The text the Run key's value holds: the program's own quoted path and the background switch.
    static CString StartupCommand();

protected:
    afx_msg void OnCountryChosen();
    afx_msg void OnLocationChanged();
    DECLARE_MESSAGE_MAP()

private:
    void ShowCities(int nCountry, const CString& location);
    bool m_bFilling; // the page fills its own controls: their notifications are no change of the user's
};

// "Channel View" (162): how the modern view lists headlines. 0 one-line titles, 1 titles only, 2 full view,
// 3 one-line titles with two-line descriptions.
class CReaderSettingsDlg2 : public CPropertyPage
{
    DECLARE_DYNAMIC(CReaderSettingsDlg2)

public:
    CReaderSettingsDlg2();
    BOOL OnInitDialog() override;
    void OnOK() override;

    int m_nViewMode;
};

// "Connection Settings" (184): time-out, connections and the proxy. The sheet fills and reads the members.
class CReaderSettingsDlg3 : public CPropertyPage
{
    DECLARE_DYNAMIC(CReaderSettingsDlg3)

public:
    enum
    {
        PROXY_AUTO = 0,
        PROXY_NONE = 1,
        PROXY_CUSTOM = 3
    };

    CReaderSettingsDlg3();
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // The running connection settings, each held inside the range the page accepts, so that a stored value out of
    // range never keeps the sheet from being confirmed.
    void TakeRunningValues(const CReaderSettings& settings);

    int m_nTimeout;
    int m_nMaxConnections;
    int m_nProxyMode;
    CString m_strProxyServer;
    int m_nProxyPort;
    CString m_strProxyUser;
    CString m_strProxyPass;

protected:
    afx_msg void OnProxyMode(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    void EnableProxyFields();
};

// "Glowmark" (187): the usage statistics on or off.
class CReaderSettingsDlg4 : public CPropertyPage
{
    DECLARE_DYNAMIC(CReaderSettingsDlg4)

public:
    CReaderSettingsDlg4();
    BOOL OnInitDialog() override;
    void OnOK() override;

    BYTE m_bGlowmark;
};

// "Color Themes" (1127): 0 "Default", 2 "Office 2003 Style", 3 "XP Style".
class CReaderSettingsDlg5 : public CPropertyPage
{
    DECLARE_DYNAMIC(CReaderSettingsDlg5)

public:
    CReaderSettingsDlg5();
    BOOL OnInitDialog() override;
    void OnOK() override;

    int m_nTheme;
};
