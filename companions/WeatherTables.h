// The weather settings' two tables, shared by the options sheet's General page and the first-run wizard's country
// page: "countries.csv" (name, code) and "international.csv" (country name, city, location code), each with an
// end row that is never offered.
#pragma once

#include "feeds/CsvTable.h"
#include "framework/core/AfxString.h"

class CComboBox;

// The table's path: "Install_Dir" when set, else the program's own folder, where the tables ship.
CStringA WeatherTablePath(LPCWSTR name);

// The cell as wide text; empty when the table has none.
CString WeatherTableCell(CCsvTable& table, int column, int row);

// Fills the list with the countries (item data: the row) and answers the index of the country with the code,
// 0 when none has it.
int FillCountryList(CComboBox& list, CCsvTable& countries, const CString& code);

// Fills the list with the cities of the country chosen in the country list (item data: the row), selects the one
// with the location code or else the first, and answers the selection (CB_ERR for a country without cities).
int FillCityList(CComboBox& list, CCsvTable& cities, CCsvTable& countries, const CComboBox& countryList,
                 const CString& location);
