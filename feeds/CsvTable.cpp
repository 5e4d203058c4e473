#include "feeds/CsvTable.h"

#include <cstdio>
#include <cstdlib>
#include <new>

const char* const CSV_ERROR_UNKNOWN = "ERROR 0000: UNKNOWN ERROR";
const char* const CSV_ERROR_GETSTRING = "ERROR 0001: An unknown error occurred in GetString()!";
const char* const CSV_ERROR_NOT_STRINGS =
    "ERROR 0003: GetString() was called while the dwReadFlags was not READ_AS_STRING.";
const char* const CSV_ERROR_FILE_NOT_FOUND = "ERROR 0007: File not found!";
const char* const CSV_ERROR_COLUMN_MISMATCH =
    "ERROR 0008: The Number of Headers is different than the Number of Data Columns!";

namespace {

const size_t kMaxCell = 1023;
const size_t kMaxSkip = 1048575;
const int kReserveSize = 65535;

// The parse's failure, carrying the text the table keeps.
struct CsvError
{
    std::string text;
};

// Reads the file whole, with line ends as a text-mode stream gives them (a carriage return before a line feed
// is dropped). False when it cannot be opened.
bool ReadTextFile(LPCSTR fileName, std::string& data)
{
    FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return false;
    std::string raw;
    char block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof(block), file)) > 0)
        raw.append(block, got);
    std::fclose(file);

    data.clear();
    data.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        data += raw[i];
    }
    return true;
}

// A reading position over the table's text.
class Cursor
{
public:
    explicit Cursor(const std::string& data) : m_data(data) {}

    bool AtEnd() const { return m_pos >= m_data.size(); }
    void Rewind() { m_pos = 0; }

    // The number of fields of the line from here: 1 plus the delimiters before its line feed. Leaves the
    // position at the start of the next line.
    size_t CountFields(char delimiter)
    {
        size_t fields = 1;
        while (m_pos < m_data.size() && m_data[m_pos] != '\n') {
            if (m_data[m_pos] == delimiter)
                ++fields;
            ++m_pos;
        }
        if (m_pos < m_data.size())
            ++m_pos;
        return fields;
    }

    void SkipLine()
    {
        size_t skipped = 0;
        while (m_pos < m_data.size() && skipped < kMaxSkip) {
            ++skipped;
            if (m_data[m_pos++] == '\n')
                break;
        }
    }

    // The text up to the terminator, which is consumed. A longer cell keeps its first 1023 characters and the
    // rest is passed over, so an oversized cell can never stall the reading.
    std::string ReadField(char terminator)
    {
        std::string text;
        while (m_pos < m_data.size()) {
            const char c = m_data[m_pos++];
            if (c == terminator)
                break;
            if (text.size() < kMaxCell)
                text += c;
        }
        return text;
    }

private:
    const std::string& m_data;
    size_t m_pos = 0;
};

} // namespace

CCsvTable::CCsvTable() : m_strDelimiter(","), m_dwReadFlags(RF_READ_AS_DOUBLE), m_nReserveSize(kReserveSize) {}

CCsvTable::~CCsvTable()
{
    ReleaseTables();
}

void CCsvTable::ReleaseTables()
{
    m_headers.clear();
    m_fileNames.clear();
    m_stringColumns.clear();
    m_numberColumns.clear();
}

BOOL CCsvTable::Open(LPCSTR fileName, DWORD dwReadFlags)
{
    m_strFileName = fileName ? fileName : "";
    m_dwReadFlags = dwReadFlags;
    try {
        std::string data;
        if (!ReadTextFile(m_strFileName.GetString(), data)) {
            m_strLastError = CSV_ERROR_FILE_NOT_FOUND;
            m_strLastError += "\nDetails: ";
            m_strLastError += m_strFileName;
            return FALSE;
        }
        return Parse(data) ? TRUE : FALSE;
    } catch (const CsvError& error) {
        m_strLastError = error.text.c_str();
    } catch (const std::bad_alloc&) {
        m_strLastError = CSV_ERROR_UNKNOWN;
    }
    return FALSE;
}

bool CCsvTable::Parse(const std::string& data)
{
    if (!(m_dwReadFlags & RF_APPEND_DATA))
        ReleaseTables();
    const size_t existing = m_headers.size();
    const char delimiter = m_strDelimiter.IsEmpty() ? ',' : m_strDelimiter[0];
    const bool bNumbers = (m_dwReadFlags & RF_READ_AS_DOUBLE) != 0;
    const bool bStrings = !bNumbers && (m_dwReadFlags & READ_AS_STRING) != 0;

    // A failed parse takes back the columns it added, so the table never holds half a file.
    auto fail = [&](const std::string& text) {
        m_headers.resize(existing);
        m_fileNames.resize(existing);
        if (m_numberColumns.size() > existing)
            m_numberColumns.resize(existing);
        if (m_stringColumns.size() > existing)
            m_stringColumns.resize(existing);
        throw CsvError{text};
    };

    Cursor cursor(data);
    const size_t fields = cursor.CountFields(delimiter);
    cursor.Rewind();
    cursor.SkipLine();
    if (cursor.CountFields(delimiter) != fields)
        fail(CSV_ERROR_COLUMN_MISMATCH);
    // A row with fewer cells than the header shifts the cells after it (the reading below is by fields, not by
    // lines); only a line with more cells than the header is refused, and named.
    cursor.Rewind();
    cursor.SkipLine();
    for (int row = 1; !cursor.AtEnd(); ++row) {
        if (cursor.CountFields(delimiter) > fields) {
            char details[64];
            std::snprintf(details, sizeof(details), "\nDetails: row %d has more cells than the header", row);
            fail(std::string(CSV_ERROR_COLUMN_MISMATCH) + details);
        }
    }
    cursor.Rewind();

    for (size_t i = 0; i < fields; ++i) {
        m_headers.push_back(cursor.ReadField(i + 1 < fields ? delimiter : '\n'));
        m_fileNames.push_back(m_strFileName.GetString());
        if (bNumbers) {
            m_numberColumns.resize(existing + i + 1);
            m_numberColumns.back().reserve(static_cast<size_t>(m_nReserveSize));
        } else if (bStrings) {
            m_stringColumns.resize(existing + i + 1);
            m_stringColumns.back().reserve(static_cast<size_t>(m_nReserveSize));
        }
    }

    while (!cursor.AtEnd()) {
        for (size_t i = 0; i < fields && !cursor.AtEnd(); ++i) {
            const bool bLast = i + 1 == fields;
            std::string cell = cursor.ReadField(bLast ? '\n' : delimiter);
            if (!cell.empty() && cell[0] == '\n')
                continue;
            if (bNumbers)
                m_numberColumns[existing + i].push_back(std::atof(cell.c_str()));
            else if (bStrings)
                m_stringColumns[existing + i].push_back(cell);
        }
    }

    if (!m_headers.empty()) {
        std::string& last = m_headers.back();
        if (last.find('\n') != std::string::npos || (!last.empty() && last.back() == '\r'))
            last.pop_back();
    }
    return true;
}

int CCsvTable::GetString(int column, int row, CStringA& out)
{
    if (!(m_dwReadFlags & READ_AS_STRING)) {
        m_strLastError = CSV_ERROR_NOT_STRINGS;
        return -1;
    }
    if (column < 0 || static_cast<size_t>(column) >= m_stringColumns.size() || row < 0 ||
        static_cast<size_t>(row) >= m_stringColumns[static_cast<size_t>(column)].size()) {
        m_strLastError.Format("ERROR 0002: Index out of range (column %d, row %d).", column, row);
        return -1;
    }
    const std::string& cell = m_stringColumns[static_cast<size_t>(column)][static_cast<size_t>(row)];
    out = CStringA(cell.c_str(), static_cast<int>(cell.size()));
    return static_cast<int>(cell.size());
}

int CCsvTable::GetRowCount(int column)
{
    const bool bNumbers = (m_dwReadFlags & RF_READ_AS_DOUBLE) != 0;
    const size_t count = bNumbers ? m_numberColumns.size() : m_stringColumns.size();
    if (column < 0 || static_cast<size_t>(column) >= count) {
        m_strLastError.Format("ERROR 0002: Index out of range (column %d).", column);
        return 0;
    }
    return static_cast<int>(bNumbers ? m_numberColumns[static_cast<size_t>(column)].size()
                                     : m_stringColumns[static_cast<size_t>(column)].size());
}

BOOL CCsvTable::GetNumber(int column, int row, double& value)
{
    if (column < 0 || static_cast<size_t>(column) >= m_numberColumns.size() || row < 0 ||
        static_cast<size_t>(row) >= m_numberColumns[static_cast<size_t>(column)].size()) {
        m_strLastError.Format("ERROR 0002: Index out of range (column %d, row %d).", column, row);
        return FALSE;
    }
    value = m_numberColumns[static_cast<size_t>(column)][static_cast<size_t>(row)];
    return TRUE;
}

CStringA CCsvTable::GetHeader(int column) const
{
    if (column < 0 || static_cast<size_t>(column) >= m_headers.size())
        return CStringA();
    const std::string& header = m_headers[static_cast<size_t>(column)];
    return CStringA(header.c_str(), static_cast<int>(header.size()));
}
