// A small delimited text table with a header line, read into memory column by column as numbers or as narrow
// strings. Errors are kept as an English text in the object, never thrown to the caller.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/core/AfxString.h"

class CCsvTable
{
public:
    enum ReadFlags : DWORD
    {
        RF_READ_AS_DOUBLE = 1,
        READ_AS_STRING = 2,
        RF_APPEND_DATA = 4, // keep what an earlier read stored and add the new file's columns after it
    };

    CCsvTable();
    ~CCsvTable();
    CCsvTable(const CCsvTable&) = delete;
    CCsvTable& operator=(const CCsvTable&) = delete;

    // Opens and parses the file; FALSE (with the reason in GetLastError) when it is missing or malformed.
    BOOL Open(LPCSTR fileName, DWORD dwReadFlags = RF_READ_AS_DOUBLE);

    // Copies the cell into out and returns its length; -1 (with the reason kept) on any error.
    int GetString(int column, int row, CStringA& out);

    // The number of cells in a column: of the number columns when the table was read as numbers, else of the
    // string columns. A column the table does not hold has no cells (the reason is kept).
    int GetRowCount(int column);
    // The cell of a table read as numbers; FALSE (with the reason kept) when there is none.
    BOOL GetNumber(int column, int row, double& value);

    int GetColumnCount() const { return static_cast<int>(m_headers.size()); }
    CStringA GetHeader(int column) const;
    const CStringA& GetLastError() const { return m_strLastError; }

    CStringA m_strDelimiter; // its first character separates cells
    DWORD m_dwReadFlags;
    int m_nReserveSize; // cells reserved per column up front

private:
    bool Parse(const std::string& data);
    void ReleaseTables();

    CStringA m_strFileName;
    CStringA m_strLastError;
    std::vector<std::string> m_headers;
    std::vector<std::string> m_fileNames; // per column: the file it came from
    std::vector<std::vector<std::string>> m_stringColumns;
    std::vector<std::vector<double>> m_numberColumns;
};

// The error texts the table keeps.
extern const char* const CSV_ERROR_UNKNOWN;         // 0000
extern const char* const CSV_ERROR_GETSTRING;       // 0001
extern const char* const CSV_ERROR_NOT_STRINGS;     // 0003
extern const char* const CSV_ERROR_FILE_NOT_FOUND;  // 0007
extern const char* const CSV_ERROR_COLUMN_MISMATCH; // 0008
