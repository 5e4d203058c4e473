#include "companions/WeatherTables.h"

#include "feeds/DataFiles.h"
#include "feeds/EngineContext.h"
#include "framework/win/Controls.h"

CStringA WeatherTablePath(LPCWSTR name)
{
    // Nothing of ours writes "Install_Dir"; without it the tables beside the program are the ones to read.
    CString folder = EngineProfileString(L"", L"Install_Dir", L"");
    if (folder.IsEmpty())
        folder = GetModuleFolder();
    return CStringA(folder + L"\\" + name);
}

CString WeatherTableCell(CCsvTable& table, int column, int row)
{
    CStringA text;
    if (table.GetString(column, row, text) < 0)
        return CString();
    return CString(text);
}

int FillCountryList(CComboBox& list, CCsvTable& countries, const CString& code)
{
    list.ResetContent();
    int selected = 0;
    const int nRows = countries.GetRowCount(0);
    for (int row = 0; row + 1 < nRows; ++row) {
        const int index = list.AddString(WeatherTableCell(countries, 0, row));
        list.SetItemData(index, static_cast<DWORD_PTR>(row));
        if (selected == 0 && WeatherTableCell(countries, 1, row) == code)
            selected = index;
    }
    return selected;
}

int FillCityList(CComboBox& list, CCsvTable& cities, CCsvTable& countries, const CComboBox& countryList,
                 const CString& location)
{
    list.ResetContent();
    const int nCountry = countryList.GetCurSel();
    if (nCountry == CB_ERR)
        return CB_ERR;
    const CString name = WeatherTableCell(countries, 0, static_cast<int>(countryList.GetItemData(nCountry)));
    int selected = 0;
    bool bFound = false;
    const int nRows = cities.GetRowCount(0);
    for (int row = 0; row + 1 < nRows; ++row) {
        if (WeatherTableCell(cities, 0, row) != name) {
            // The cities of one country stand together.
            if (bFound)
                break;
            continue;
        }
        bFound = true;
        const int index = list.AddString(WeatherTableCell(cities, 1, row));
        list.SetItemData(index, static_cast<DWORD_PTR>(row));
        if (WeatherTableCell(cities, 2, row) == location)
            selected = index;
    }
    if (!bFound)
        return CB_ERR;
    list.SetCurSel(selected);
    return selected;
}
