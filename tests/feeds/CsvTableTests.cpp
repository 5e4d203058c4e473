// The CSV table reader: strings and numbers, the header rules and the error texts.
#include "feeds/CsvTable.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CsvTableTest : public ::testing::Test
{
protected:
    // Writes the text as the table file and returns its narrow path.
    std::string Write(const std::string& bytes, const wchar_t* name = L"table.csv")
    {
        const std::wstring path = m_folder.File(name);
        EXPECT_TRUE(lqtest::WriteFileBytes(path, bytes));
        return Ansi(path);
    }
    static std::string Ansi(const std::wstring& path)
    {
        char buffer[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, buffer, sizeof(buffer), nullptr, nullptr);
        return buffer;
    }
    static std::vector<std::string> Column(CCsvTable& table, int column)
    {
        std::vector<std::string> cells;
        for (int row = 0; row < table.GetRowCount(column); ++row) {
            CStringA cell;
            const int length = table.GetString(column, row, cell);
            EXPECT_EQ(length, cell.GetLength());
            cells.push_back(cell.GetString());
        }
        return cells;
    }

    lqtest::TempFolder m_folder;
};

using Cells = std::vector<std::string>;

TEST_F(CsvTableTest, StringTables)
{
    struct Case
    {
        const char* name;
        const char* text;
        Cells headers;
        std::vector<Cells> columns;
    };
    const Case cases[] = {
        {"plain", "a,b\n1,2\n3,4\n", {"a", "b"}, {{"1", "3"}, {"2", "4"}}},
        {"crlf, last header ends its line",
         "name,code\r\nGermany,DE\r\nFrance,FR\r\n",
         {"name", "code"},
         {{"Germany", "France"}, {"DE", "FR"}}},
        {"no line end at the end", "a,b\n1,2\n3,4", {"a", "b"}, {{"1", "3"}, {"2", "4"}}},
        {"quoted cells split at the delimiter", "a,b,c\n\"x,y\",z\n", {"a", "b", "c"}, {{"\"x"}, {"y\""}, {"z"}}},
        {"a short row shifts the cells", "a,b\n1,2\n5\n6,7\n", {"a", "b"}, {{"1", "5\n6"}, {"2", "7"}}},
        // The last field runs to the line end, so the full row after a short one lands in it whole.
        {"a short row before a full one",
         "a,b,c\n1,2,3\n4,5\n6,7,8\n",
         {"a", "b", "c"},
         {{"1", "4"}, {"2", "5\n6"}, {"3", "7,8"}}},
        {"blank line at the end", "a,b\n1,2\n\n", {"a", "b"}, {{"1"}, {"2"}}},
        {"empty cells", "a,b\n,\n", {"a", "b"}, {{""}, {""}}},
        {"one column", "only\nx\ny\n", {"only"}, {{"x", "y"}}},
    };
    for (const Case& c : cases) {
        CCsvTable table;
        ASSERT_TRUE(table.Open(Write(c.text).c_str(), CCsvTable::READ_AS_STRING)) << c.name << table.GetLastError();
        ASSERT_EQ(table.GetColumnCount(), static_cast<int>(c.headers.size())) << c.name;
        for (size_t i = 0; i < c.headers.size(); ++i) {
            EXPECT_EQ(std::string(table.GetHeader(static_cast<int>(i)).GetString()), c.headers[i]) << c.name;
            EXPECT_EQ(Column(table, static_cast<int>(i)), c.columns[i]) << c.name << " column " << i;
        }
    }
}

TEST_F(CsvTableTest, RejectedTablesKeepTheirErrorText)
{
    struct Case
    {
        const char* name;
        const char* text;
        const char* details; // what follows the 0008 text, if anything
    };
    const Case cases[] = {
        {"short second line", "a,b,c\n1,2\n", ""},
        {"long second line", "a,b\n1,2,3\n", ""},
        {"wider later row", "a,b\n1,2\n3,4,5\n6,7\n", "\nDetails: row 2 has more cells than the header"},
        {"wider row after a short one", "a,b,c\n1,2,3\n4,5\n6,7,8\n9,10,11,12\n",
         "\nDetails: row 4 has more cells than the header"},
        {"header only, several columns", "a,b\n", ""},
    };
    for (const Case& c : cases) {
        CCsvTable table;
        EXPECT_FALSE(table.Open(Write(c.text).c_str(), CCsvTable::READ_AS_STRING)) << c.name;
        EXPECT_EQ(std::string(table.GetLastError().GetString()), std::string(CSV_ERROR_COLUMN_MISMATCH) + c.details)
            << c.name;
        EXPECT_EQ(table.GetColumnCount(), 0) << c.name;
        EXPECT_EQ(table.GetRowCount(0), 0) << c.name;
    }
}

TEST_F(CsvTableTest, AMissingFileNamesItself)
{
    CCsvTable table;
    const std::string path = Ansi(m_folder.File(L"absent.csv"));
    EXPECT_FALSE(table.Open(path.c_str(), CCsvTable::READ_AS_STRING));
    EXPECT_EQ(std::string(table.GetLastError().GetString()), "ERROR 0007: File not found!\nDetails: " + path);
}

TEST_F(CsvTableTest, NumbersAndTheStringAccessor)
{
    const std::string path = Write("x,y\n1.5,abc\n-2,3e2\n");
    CCsvTable numbers;
    ASSERT_TRUE(numbers.Open(path.c_str())); // numbers by default
    EXPECT_EQ(numbers.GetRowCount(0), 2);
    double value = 0;
    const struct
    {
        int column, row;
        double value;
    } cells[] = {{0, 0, 1.5}, {1, 0, 0.0}, {0, 1, -2.0}, {1, 1, 300.0}};
    for (const auto& c : cells) {
        ASSERT_TRUE(numbers.GetNumber(c.column, c.row, value));
        EXPECT_DOUBLE_EQ(value, c.value);
    }
    EXPECT_FALSE(numbers.GetNumber(0, 2, value));
    CStringA out = "unchanged";
    EXPECT_EQ(numbers.GetString(0, 0, out), -1);
    EXPECT_STREQ(numbers.GetLastError().GetString(), CSV_ERROR_NOT_STRINGS);
    EXPECT_STREQ(out.GetString(), "unchanged");

    // With both flags only numbers are kept: there is no string column to read.
    CCsvTable both;
    ASSERT_TRUE(both.Open(path.c_str(), CCsvTable::RF_READ_AS_DOUBLE | CCsvTable::READ_AS_STRING));
    EXPECT_EQ(both.GetRowCount(1), 2);
    EXPECT_EQ(both.GetString(0, 0, out), -1);
    EXPECT_FALSE(both.GetLastError().IsEmpty());

    CCsvTable strings;
    ASSERT_TRUE(strings.Open(path.c_str(), CCsvTable::READ_AS_STRING));
    for (const auto& index : {std::make_pair(2, 0), std::make_pair(0, 2), std::make_pair(-1, 0), std::make_pair(0, -1)})
        EXPECT_EQ(strings.GetString(index.first, index.second, out), -1);
    EXPECT_EQ(strings.GetRowCount(5), 0);
    EXPECT_EQ(strings.GetRowCount(-1), 0);
}

TEST_F(CsvTableTest, AppendingKeepsEarlierColumns)
{
    CCsvTable table;
    ASSERT_TRUE(table.Open(Write("a\n1\n", L"one.csv").c_str(), CCsvTable::READ_AS_STRING));
    ASSERT_TRUE(
        table.Open(Write("b,c\n2,3\n", L"two.csv").c_str(), CCsvTable::READ_AS_STRING | CCsvTable::RF_APPEND_DATA));
    ASSERT_EQ(table.GetColumnCount(), 3);
    EXPECT_EQ(Column(table, 0), Cells{"1"});
    EXPECT_EQ(Column(table, 2), Cells{"3"});
    // A later file that fails takes back only its own columns.
    EXPECT_FALSE(
        table.Open(Write("d,e\n1\n", L"bad.csv").c_str(), CCsvTable::READ_AS_STRING | CCsvTable::RF_APPEND_DATA));
    EXPECT_EQ(table.GetColumnCount(), 3);
    // Without the flag an earlier read is cleared.
    ASSERT_TRUE(table.Open(Write("z\n9\n", L"three.csv").c_str(), CCsvTable::READ_AS_STRING));
    EXPECT_EQ(table.GetColumnCount(), 1);
    EXPECT_EQ(Column(table, 0), Cells{"9"});
}

TEST_F(CsvTableTest, OversizedCellsAreCutAndReadingGoesOn)
{
    const std::string longCell(5000, 'w');
    CCsvTable table;
    ASSERT_TRUE(table.Open(Write("a,b\n" + longCell + ",1\nx,2\n").c_str(), CCsvTable::READ_AS_STRING));
    EXPECT_EQ(Column(table, 0), (Cells{std::string(1023, 'w'), "x"}));
    EXPECT_EQ(Column(table, 1), (Cells{"1", "2"}));
}

TEST_F(CsvTableTest, AnotherDelimiter)
{
    CCsvTable table;
    table.m_strDelimiter = ";";
    ASSERT_TRUE(table.Open(Write("a;b\n1,5;2\n").c_str(), CCsvTable::READ_AS_STRING));
    EXPECT_EQ(Column(table, 0), Cells{"1,5"});
    EXPECT_EQ(Column(table, 1), Cells{"2"});
}

} // namespace
