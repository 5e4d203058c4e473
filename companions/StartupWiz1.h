// The first-run wizard's country page (180): a country, then a city from the cities table or, for the first
// country, a zip code typed in. Writes "Country" and "Location" itself, only when the user changed something.
#pragma once

#include "feeds/CsvTable.h"
#include "framework/win/PropertySheet.h"

class CStartupWiz1 : public CPropertyPage
{
    DECLARE_DYNAMIC(CStartupWiz1)

public:
    CStartupWiz1();

    BOOL OnInitDialog() override;
    // Offers Back and Next.
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;

    CCsvTable m_countries;
    CCsvTable m_cities;
    CString m_strLocation;
    int m_nChanged;
    // Whether "countries.csv" was read; without it the page offers nothing to choose and writes nothing.
    BOOL m_bHaveCountries;

protected:
    afx_msg void OnCountryChosen();
    afx_msg void OnLocationChanged();
    DECLARE_MESSAGE_MAP()

private:
    void FillCities(int nCountry);
    void WriteChoice();
    // Set while the page fills its own controls: their notifications are no change of the user's.
    bool m_bFilling;
};
