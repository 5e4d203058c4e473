// Whole-file reads, their limits and sharing, and file sizes.
#include "framework/core/FileReading.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FileReadingTest : public ::testing::Test
{
protected:
    CString Write(const wchar_t* name, const std::string& bytes)
    {
        const std::wstring path = m_folder.File(name);
        EXPECT_TRUE(lqtest::WriteFileBytes(path, bytes));
        return CString(path.c_str());
    }

    lqtest::TempFolder m_folder;
};

// Larger than one block of the reader, with every byte value in it.
std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7) & 0xFF);
    return bytes;
}

TEST_F(FileReadingTest, WholeFilesWithinTheLimit)
{
    struct Case
    {
        const wchar_t* name;
        std::string bytes;
        ULONGLONG limit;
        bool read;
        DWORD error;
    };
    const Case cases[] = {
        {L"small.txt", "<rss/>", 1024, true, 0},
        {L"empty.txt", "", 1024, true, 0},
        {L"exact.bin", Pattern(100), 100, true, 0},
        {L"over.bin", Pattern(101), 100, false, ERROR_FILE_TOO_LARGE},
        {L"large.bin", Pattern(200000), 1024 * 1024, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lqtest::Narrow(c.name));
        const CString path = Write(c.name, c.bytes);
        std::string bytes = "stale";
        DWORD error = 0;
        EXPECT_EQ(ReadWholeFile(path, bytes, c.limit, FILE_SHARE_READ, &error), c.read);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(bytes, c.read ? c.bytes : std::string());
        std::vector<BYTE> vector;
        EXPECT_EQ(ReadWholeFile(path, vector, c.limit), c.read);
        EXPECT_EQ(std::string(vector.begin(), vector.end()), c.read ? c.bytes : std::string());
    }
    std::string bytes;
    DWORD error = 0;
    EXPECT_FALSE(ReadWholeFile(CString(m_folder.File(L"missing.txt").c_str()), bytes, 1024, FILE_SHARE_READ, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(ReadWholeFile(CString(m_folder.Path().c_str()), bytes, 1024)); // a folder is no file
}

TEST_F(FileReadingTest, SharingDecidesWhetherAFileBeingWrittenOpens)
{
    const CString path = Write(L"open.xml", "<rss/>");
    CScopedFile writer(::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    std::string bytes;
    DWORD error = 0;
    EXPECT_FALSE(ReadWholeFile(path, bytes, 1024, FILE_SHARE_READ, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(ReadWholeFile(path, bytes, 1024, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(bytes, "<rss/>");
}

TEST_F(FileReadingTest, ReadToEndStartsAtThePositionAndStopsAtTheLimit)
{
    const std::string pattern = Pattern(150000);
    const CString path = Write(L"log.bin", pattern);
    CScopedFile file = OpenFileForReading(path);
    ASSERT_TRUE(file);
    LARGE_INTEGER start{};
    start.QuadPart = 10;
    ASSERT_TRUE(::SetFilePointerEx(file, start, nullptr, FILE_BEGIN));
    std::string bytes;
    ASSERT_TRUE(ReadToEnd(file, bytes));
    EXPECT_EQ(bytes, pattern.substr(10));

    ASSERT_TRUE(::SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN));
    ASSERT_TRUE(ReadToEnd(file, bytes, 70000)); // a longer file is cut at the limit
    EXPECT_EQ(bytes, pattern.substr(0, 70000));

    file.Close();
    CScopedFile writeOnly(
        ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writeOnly);
    DWORD error = 0;
    EXPECT_FALSE(ReadToEnd(writeOnly, bytes, SIZE_MAX, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(FileReadingTest, SizesOfFilesOnly)
{
    ULONGLONG size = 99;
    EXPECT_TRUE(GetFileSizeOf(Write(L"five.txt", "12345"), size));
    EXPECT_EQ(size, 5u);
    EXPECT_TRUE(GetFileSizeOf(Write(L"none.txt", ""), size));
    EXPECT_EQ(size, 0u);
    size = 99;
    EXPECT_FALSE(GetFileSizeOf(CString(m_folder.File(L"missing.txt").c_str()), size));
    EXPECT_FALSE(GetFileSizeOf(CString(m_folder.Path().c_str()), size));
    EXPECT_FALSE(GetFileSizeOf(CString(), size));
    EXPECT_EQ(size, 99u); // untouched when there is no file
}

} // namespace
