// Files on disk (open and share modes, seeking, length, status, rename and remove), memory files (growth,
// attached blocks, detaching), text files (line ends both ways) and directory searches.
#include "framework/Afx.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

using lqtest::ReadFileBytes;
using lqtest::TempFolder;
using lqtest::WriteFileBytes;

// The cause of the CFileException that action raised; -1 when none.
template <typename F> int FileFailure(F action)
{
    try {
        action();
    } catch (CFileException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

TEST(File, OpenModesCreateTruncateOrKeep)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"target.bin");
    struct Row
    {
        const char* name;
        UINT flags;
        bool exists;
        BOOL opens;
        std::string after;
    };
    const Row rows[] = {
        {"create truncates", CFile::modeCreate | CFile::modeWrite, true, TRUE, "new"},
        {"create keeps with no-truncate", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, true, TRUE,
         "newtent"},
        {"create makes a missing file", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, false, TRUE,
         "new"},
        {"write opens an existing file", CFile::modeWrite, true, TRUE, "newtent"},
        {"write needs the file", CFile::modeWrite, false, FALSE, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteFileW(path.c_str());
        if (row.exists) {
            ASSERT_TRUE(WriteFileBytes(path, "content"));
        }
        CFile file;
        CFileException error;
        ASSERT_EQ(row.opens, file.Open(path.c_str(), row.flags | CFile::shareDenyWrite, &error));
        if (!row.opens) {
            EXPECT_EQ(CFileException::fileNotFound, error.m_cause);
            EXPECT_EQ(ERROR_FILE_NOT_FOUND, error.m_lOsError);
            EXPECT_EQ(CFile::hFileNull, file.m_hFile);
            continue;
        }
        file.Write("new", 3);
        file.Close();
        EXPECT_EQ(CFile::hFileNull, file.m_hFile);
        EXPECT_EQ(row.after, ReadFileBytes(path));
    }
    EXPECT_EQ(CFileException::fileNotFound,
              FileFailure([&] { CFile missing(folder.File(L"missing.bin").c_str(), CFile::modeRead); }));
}

TEST(File, ShareModesDecideWhoElseMayOpen)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"shared.bin");
    ASSERT_TRUE(WriteFileBytes(path, "x"));
    struct Row
    {
        UINT share;
        BOOL otherReads;
        BOOL otherWrites;
    };
    const Row rows[] = {
        {CFile::shareExclusive, FALSE, FALSE},
        {CFile::shareDenyWrite, TRUE, FALSE},
        {CFile::shareDenyRead, FALSE, TRUE},
        {CFile::shareDenyNone, TRUE, TRUE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.share);
        CFile first;
        ASSERT_TRUE(first.Open(path.c_str(), CFile::modeReadWrite | row.share));
        CFile reader, writer;
        CFileException error;
        EXPECT_EQ(row.otherReads, reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone, &error));
        if (!row.otherReads) {
            EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
        }
        EXPECT_EQ(row.otherWrites, writer.Open(path.c_str(), CFile::modeWrite | CFile::shareDenyNone));
    }
}

TEST(File, SeekSetLengthAndReadBack)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"seek.bin");
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    file.Write("0123456789", 10);
    EXPECT_EQ(10u, file.GetLength());
    EXPECT_EQ(10u, file.GetPosition());
    EXPECT_EQ(3u, file.Seek(3, CFile::begin));
    EXPECT_EQ(5u, file.Seek(2, CFile::current));
    EXPECT_EQ(8u, file.Seek(-2, CFile::end));
    file.SetLength(5);
    EXPECT_EQ(5u, file.GetLength());
    EXPECT_EQ(5u, file.GetPosition()) << "the position ends at the new length";
    file.SeekToBegin();
    char buffer[16] = {};
    EXPECT_EQ(5u, file.Read(buffer, sizeof(buffer)));
    EXPECT_STREQ("01234", buffer);
    EXPECT_EQ(0u, file.Read(buffer, sizeof(buffer)));
    EXPECT_EQ(5u, file.SeekToEnd());
    EXPECT_EQ(CFileException::badSeek, FileFailure([&] { file.Seek(-1, CFile::begin); }));
    CFileStatus status;
    EXPECT_TRUE(file.GetStatus(status));
    EXPECT_EQ(5u, status.m_size);
    EXPECT_TRUE(file.GetFilePath() == path.c_str());
    EXPECT_TRUE(file.GetFileName() == L"seek.bin");
    EXPECT_TRUE(file.GetFileTitle() == L"seek");
    file.Abort();
    file.Abort();
    EXPECT_EQ(CFile::hFileNull, file.m_hFile);
}

TEST(File, StatusRenameAndRemove)
{
    TempFolder folder;
    const std::wstring first = folder.File(L"a.txt");
    const std::wstring second = folder.File(L"b.txt");
    ASSERT_TRUE(WriteFileBytes(first, "12345"));
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(first.c_str(), status));
    EXPECT_EQ(5u, status.m_size);
    EXPECT_EQ(0, status.m_attribute & CFile::directory);
    EXPECT_STREQ(first.c_str(), status.m_szFullName);
    EXPECT_TRUE(CFile::GetStatus(folder.Path().c_str(), status));
    EXPECT_NE(0, status.m_attribute & CFile::directory);
    EXPECT_FALSE(CFile::GetStatus(second.c_str(), status));
    EXPECT_FALSE(CFile::GetStatus(folder.File(L"*.txt").c_str(), status));

    CFile::Rename(first.c_str(), second.c_str());
    EXPECT_FALSE(CFile::GetStatus(first.c_str(), status));
    EXPECT_EQ("12345", ReadFileBytes(second));
    EXPECT_EQ(CFileException::fileNotFound, FileFailure([&] { CFile::Rename(first.c_str(), second.c_str()); }));
    CFile::Remove(second.c_str());
    EXPECT_FALSE(CFile::GetStatus(second.c_str(), status));
    EXPECT_EQ(CFileException::fileNotFound, FileFailure([&] { CFile::Remove(second.c_str()); }));
}

// ---------------------------------------------------------------------------------------------------------------

TEST(MemFile, GrowsAndHandsOverItsMemory)
{
    CMemFile file(1024);
    std::string data;
    for (int i = 0; i < 3000; ++i)
        data += static_cast<char>('a' + i % 26);
    file.Write(data.data(), 1000);
    file.Write(data.data() + 1000, 2000);
    EXPECT_EQ(3000u, file.GetLength());
    file.Seek(10, CFile::begin);
    char five[5];
    EXPECT_EQ(5u, file.Read(five, 5));
    EXPECT_EQ(0, std::memcmp(five, data.data() + 10, 5));
    // Seeking past the end and writing leaves zeros in the gap.
    file.Seek(3002, CFile::begin);
    file.Write("z", 1);
    EXPECT_EQ(3003u, file.GetLength());
    const ULONGLONG length = file.GetLength();
    BYTE* block = file.Detach();
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0, std::memcmp(block, data.data(), 3000));
    EXPECT_EQ(0, block[3000]);
    EXPECT_EQ(0, block[3001]);
    EXPECT_EQ('z', block[length - 1]);
    std::free(block);
    EXPECT_EQ(0u, file.GetLength());
    file.Write("again", 5);
    EXPECT_EQ(5u, file.GetLength());
}

TEST(MemFile, AttachedBlockReadsItsBytesAndGrowsOnlyWhenAllowed)
{
    BYTE fixed[4] = {1, 2, 3, 4};
    CMemFile file(fixed, sizeof(fixed));
    EXPECT_EQ(4u, file.GetLength());
    BYTE out[8] = {};
    EXPECT_EQ(4u, file.Read(out, sizeof(out)));
    EXPECT_EQ(4, out[3]);
    file.SeekToBegin();
    file.Write("\x09", 1);
    EXPECT_EQ(9, fixed[0]) << "writes go into the caller's block";
    file.SeekToEnd();
    bool memory = false;
    try {
        file.Write("x", 1);
    } catch (CMemoryException* e) {
        memory = true;
        e->Delete();
    }
    EXPECT_TRUE(memory) << "a fixed block cannot grow";
    EXPECT_EQ(4u, file.GetLength());
    EXPECT_EQ(fixed, file.Detach());

    auto* growable = static_cast<BYTE*>(std::malloc(4));
    CMemFile grows;
    grows.Attach(growable, 4, 16);
    EXPECT_EQ(0u, grows.GetLength()) << "a growable block starts empty";
    grows.Write("0123456789", 10);
    EXPECT_EQ(10u, grows.GetLength());
    BYTE* block = grows.Detach();
    EXPECT_EQ(0, std::memcmp(block, "0123456789", 10));
    std::free(block);

    CMemFile empty;
    EXPECT_EQ(CFileException::badSeek, FileFailure([&] { empty.Seek(-1, CFile::current); }));
}

TEST(SharedFile, DetachesAGlobalBlockAndReadsOneBack)
{
    CSharedFile file(GMEM_MOVEABLE | GMEM_SHARE, 16);
    file.Write("shared bytes", 12);
    EXPECT_EQ(12u, file.GetLength());
    const HGLOBAL block = file.Detach();
    ASSERT_NE(nullptr, block);
    ASSERT_GE(GlobalSize(block), 12u);
    const void* bytes = GlobalLock(block);
    EXPECT_EQ(0, std::memcmp(bytes, "shared bytes", 12));
    GlobalUnlock(block);

    CSharedFile reader;
    reader.SetHandle(block, FALSE);
    char text[12] = {};
    EXPECT_EQ(12u, reader.Read(text, 12));
    EXPECT_EQ(0, std::memcmp(text, "shared bytes", 12));
    EXPECT_EQ(block, reader.Detach());
    GlobalFree(block);
}

// ---------------------------------------------------------------------------------------------------------------

TEST(StdioFile, WritesLineEndsAsCarriageReturnAndLineFeed)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"reader.log");
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        file.WriteString(L"b=&r=0&c=0");
        file.WriteString(L"\n&t1=5&a1=6");
    }
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeWrite | CFile::modeNoTruncate | CFile::modeCreate));
        file.SeekToEnd();
        file.WriteString(L"\n&t2=5");
    }
    EXPECT_EQ("b=&r=0&c=0\r\n&t1=5&a1=6\r\n&t2=5", ReadFileBytes(path));
    {
        CStdioFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        file.WriteString(L"a\nb");
    }
    EXPECT_EQ("a\nb", ReadFileBytes(path));
}

TEST(StdioFile, ReadsLinesWithoutTheirEnds)
{
    struct Row
    {
        const char* name;
        std::string bytes;
        std::vector<std::wstring> lines;
    };
    const Row rows[] = {
        {"crlf", "one\r\ntwo\r\n", {L"one", L"two"}},
        {"no end on the last line", "one\r\ntwo", {L"one", L"two"}},
        {"bare line feeds", "a\nb\n", {L"a", L"b"}},
        {"empty lines", "\r\n\r\nx", {L"", L"", L"x"}},
        {"lone carriage return stays", "a\rb\r\n", {L"a\rb"}},
        {"carriage return at the end stays", "a\r", {L"a\r"}},
        {"empty file", "", {}},
        {"8-bit text", "caf\xE9\r\n", {L"caf\x00E9"}},
    };
    TempFolder folder;
    const std::wstring path = folder.File(L"lines.txt");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteFileBytes(path, row.bytes));
        CStdioFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite | CFile::typeText);
        std::vector<std::wstring> lines;
        CString line;
        while (file.ReadString(line))
            lines.emplace_back(line.GetString());
        EXPECT_EQ(row.lines, lines);
        EXPECT_TRUE(line.IsEmpty());
    }
}

TEST(StdioFile, CarriageReturnAcrossTheReadAheadAndPositions)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"long.txt");
    // The pair "\r\n" straddles the first 4096-byte block.
    std::string bytes(4095, 'x');
    bytes += "\r\nend\r\nlast";
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    CStdioFile file(path.c_str(), CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(4095, line.GetLength());
    EXPECT_EQ(4097u, file.GetPosition());
    WCHAR small[4];
    ASSERT_NE(nullptr, file.ReadString(small, 4));
    EXPECT_STREQ(L"end", small);
    ASSERT_NE(nullptr, file.ReadString(small, 4));
    EXPECT_STREQ(L"\n", small) << "the short form keeps the line end";
    file.Seek(-4, CFile::end);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_TRUE(line == L"last");
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_EQ(nullptr, file.ReadString(small, 4));
}

TEST(StdioFile, BinaryModeKeepsCarriageReturns)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"binary.txt");
    ASSERT_TRUE(WriteFileBytes(path, "a\r\nb"));
    CStdioFile file(path.c_str(), CFile::modeRead | CFile::typeBinary);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_TRUE(line == L"a\r");
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_TRUE(line == L"b");
}

// ---------------------------------------------------------------------------------------------------------------

TEST(FileFind, WalksMatchingEntries)
{
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.File(L"a.txt"), "aaa"));
    ASSERT_TRUE(WriteFileBytes(folder.File(L"b.txt"), "b"));
    ASSERT_TRUE(WriteFileBytes(folder.File(L"c.log"), ""));
    ASSERT_TRUE(CreateDirectoryW(folder.File(L"sub").c_str(), nullptr));

    CFileFind finder;
    std::set<std::wstring> names;
    BOOL more = finder.FindFile(folder.File(L"*.txt").c_str());
    ASSERT_TRUE(more);
    while (more) {
        more = finder.FindNextFile();
        names.insert(finder.GetFileName().GetString());
        EXPECT_TRUE(finder.GetFilePath() == folder.File(finder.GetFileName().GetString()).c_str());
        EXPECT_EQ(finder.GetFileName() == L"a.txt" ? 3u : 1u, finder.GetLength());
        EXPECT_FALSE(finder.IsDirectory());
    }
    EXPECT_EQ((std::set<std::wstring>{L"a.txt", L"b.txt"}), names);
    EXPECT_TRUE(finder.GetRoot() == folder.Path().c_str());

    // A folder is confirmed as a folder this way.
    ASSERT_TRUE(finder.FindFile(folder.File(L"sub").c_str()));
    finder.FindNextFile();
    EXPECT_TRUE(finder.IsDirectory());
    EXPECT_FALSE(finder.IsDots());

    int dots = 0;
    int entries = 0;
    more = finder.FindFile(folder.File(L"*").c_str());
    while (more) {
        more = finder.FindNextFile();
        ++entries;
        if (finder.IsDots())
            ++dots;
    }
    EXPECT_EQ(4, entries - dots);

    EXPECT_FALSE(finder.FindFile(folder.File(L"missing.*").c_str()));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_TRUE(finder.GetFileName().IsEmpty());
}

} // namespace
