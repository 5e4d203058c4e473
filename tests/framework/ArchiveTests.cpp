// The archive's byte format, checked against hand-made fixtures: integers, counts, strings, collections, object
// graphs with new-class tags, class references, object references and schemas; and bad data, which must raise
// an exception without reading past the end of its buffer.
#include "framework/Afx.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// ---- test classes --------------------------------------------------------------------------------------------

// Versionable: schema 1 stored only the value, schema 2 adds the shared leaf. Above 2 it refuses, as readers of
// newer data must.
class CArcItem : public CObject
{
    DECLARE_SERIAL(CArcItem)
public:
    ~CArcItem() override
    {
        if (m_ownsLeaf)
            delete m_pLeaf;
    }
    void Serialize(CArchive& ar) override;

    int m_value = 0;
    CObject* m_pLeaf = nullptr;
    bool m_ownsLeaf = false;
    UINT m_loadedSchema = 0;
    UINT m_secondSchemaCall = 0;
};

// Not versionable: only schema 1 can be read.
class CArcLeaf : public CObject
{
    DECLARE_SERIAL(CArcLeaf)
public:
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_word;
        else
            ar >> m_word;
    }
    WORD m_word = 0;
};

class CArcRock : public CObject
{
    DECLARE_DYNAMIC(CArcRock)
public:
    CArcRock() = default;
};

IMPLEMENT_SERIAL(CArcItem, CObject, VERSIONABLE_SCHEMA | 2)
IMPLEMENT_SERIAL(CArcLeaf, CObject, 1)
IMPLEMENT_DYNAMIC(CArcRock, CObject)

void CArcItem::Serialize(CArchive& ar)
{
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_value;
        ar << m_pLeaf;
        return;
    }
    m_loadedSchema = ar.GetObjectSchema();
    m_secondSchemaCall = ar.GetObjectSchema();
    if (m_loadedSchema > 2)
        AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar >> m_value;
    if (m_loadedSchema >= 2)
        ar >> m_pLeaf;
}

// ---- helpers -------------------------------------------------------------------------------------------------

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char b : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

// "FF FE 41" -> bytes; spaces are ignored; 'text' in quotes is taken as ASCII bytes.
std::string Bytes(const char* text)
{
    std::string bytes;
    for (const char* p = text; *p;) {
        if (*p == ' ') {
            ++p;
        } else if (*p == '\'') {
            for (++p; *p && *p != '\''; ++p)
                bytes += *p;
            if (*p)
                ++p;
        } else {
            bytes += static_cast<char>(std::strtoul(std::string(p, 2).c_str(), nullptr, 16));
            p += 2;
        }
    }
    return bytes;
}

// Runs a storing archive over a memory file and returns the bytes written.
std::string Store(const std::function<void(CArchive&)>& write, int bufferSize = 4096)
{
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, bufferSize);
        write(ar);
        ar.Close();
    }
    const auto length = static_cast<size_t>(file.GetLength());
    BYTE* data = file.Detach();
    std::string bytes(reinterpret_cast<const char*>(data), length);
    std::free(data);
    return bytes;
}

// The bytes end exactly where an inaccessible page begins: reading one byte too far crashes the test.
class GuardedBytes
{
public:
    explicit GuardedBytes(const std::string& bytes) : m_size(bytes.size())
    {
        const size_t page = 4096;
        m_span = (m_size + page - 1) / page * page + page;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, m_span, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(m_base + m_span - page, page, PAGE_NOACCESS, &old);
        m_data = m_base + m_span - page - m_size;
        if (m_size)
            std::memcpy(m_data, bytes.data(), m_size);
    }
    ~GuardedBytes() { VirtualFree(m_base, 0, MEM_RELEASE); }
    BYTE* Data() const { return m_data; }
    UINT Size() const { return static_cast<UINT>(m_size); }

private:
    size_t m_size;
    size_t m_span = 0;
    BYTE* m_base = nullptr;
    BYTE* m_data = nullptr;
};

void Load(const std::string& bytes, const std::function<void(CArchive&)>& read, int bufferSize = 4096)
{
    GuardedBytes guarded(bytes);
    CMemFile file(guarded.Data(), guarded.Size());
    CArchive ar(&file, CArchive::load, bufferSize);
    read(ar);
}

// The cause of the CArchiveException that reading raised; -1 when none, -2 for another exception.
int LoadFailure(const std::string& bytes, const std::function<void(CArchive&)>& read)
{
    try {
        Load(bytes, read);
    } catch (CArchiveException* e) {
        const int cause = e->m_cause;
        e->Delete();
        return cause;
    } catch (CException* e) {
        e->Delete();
        return -2;
    }
    return -1;
}

// ---- integers and counts -------------------------------------------------------------------------------------

TEST(Archive, IntegersAreLittleEndianAtTheirOwnWidth)
{
    const std::string bytes = Store([](CArchive& ar) {
        ar << static_cast<BYTE>(0xAB) << static_cast<WORD>(0x1234) << static_cast<DWORD>(0x89ABCDEF)
           << static_cast<LONG>(-2) << 7 << static_cast<LONGLONG>(0x0102030405060708) << 1.5 << L'Z';
    });
    EXPECT_EQ("AB 34 12 EF CD AB 89 FE FF FF FF 07 00 00 00 08 07 06 05 04 03 02 01 00 00 00 00 00 00 F8 3F 5A 00",
              Hex(bytes));
    Load(bytes, [](CArchive& ar) {
        BYTE by = 0;
        WORD w = 0;
        DWORD dw = 0;
        LONG l = 0;
        int i = 0;
        LONGLONG ll = 0;
        double d = 0;
        wchar_t ch = 0;
        ar >> by >> w >> dw >> l >> i >> ll >> d >> ch;
        EXPECT_EQ(0xAB, by);
        EXPECT_EQ(0x1234, w);
        EXPECT_EQ(0x89ABCDEFu, dw);
        EXPECT_EQ(-2, l);
        EXPECT_EQ(7, i);
        EXPECT_EQ(0x0102030405060708, ll);
        EXPECT_EQ(1.5, d);
        EXPECT_EQ(L'Z', ch);
    });
}

TEST(Archive, CountsUseTheShortestForm)
{
    struct Row
    {
        DWORD_PTR count;
        const char* bytes;
    };
    const Row rows[] = {
        {0, "00 00"},
        {0xFFFE, "FE FF"},
        {0xFFFF, "FF FF FF FF 00 00"},
        {0x10000, "FF FF 00 00 01 00"},
        {0xFFFFFFFE, "FF FF FE FF FF FF"},
        {0xFFFFFFFF, "FF FF FF FF FF FF FF FF FF FF 00 00 00 00"},
        {0x123456789, "FF FF FF FF FF FF 89 67 45 23 01 00 00 00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        const std::string bytes = Store([&](CArchive& ar) { ar.WriteCount(row.count); });
        EXPECT_EQ(row.bytes, Hex(bytes));
        Load(bytes, [&](CArchive& ar) { EXPECT_EQ(row.count, ar.ReadCount()); });
    }
}

// ---- strings -------------------------------------------------------------------------------------------------

TEST(Archive, WideStringsCarryTheMarkerAndTheirLengthForm)
{
    struct Row
    {
        int length;
        const char* prefix;
    };
    const Row rows[] = {
        {0, "FF FE FF 00"},
        {2, "FF FE FF 02"},
        {254, "FF FE FF FE"},
        {255, "FF FE FF FF FF 00"},
        {0xFFFD, "FF FE FF FF FD FF"},
        {0xFFFE, "FF FE FF FF FF FF FE FF 00 00"},
        {0x10000, "FF FE FF FF FF FF 00 00 01 00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.length);
        CString text;
        for (int i = 0; i < row.length; ++i)
            text += static_cast<wchar_t>(L'a' + i % 26);
        const std::string bytes = Store([&](CArchive& ar) { ar << text; });
        const std::string prefix = Bytes(row.prefix);
        ASSERT_EQ(prefix.size() + 2 * static_cast<size_t>(row.length), bytes.size());
        EXPECT_EQ(row.prefix, Hex(bytes.substr(0, prefix.size())));
        if (row.length >= 2) {
            EXPECT_EQ("61 00 62 00", Hex(bytes.substr(prefix.size(), 4)));
        }
        Load(bytes, [&](CArchive& ar) {
            CString back;
            ar >> back;
            EXPECT_TRUE(back == text);
        });
    }
}

TEST(Archive, NarrowAndWideStringsReadIntoEitherWidth)
{
    const std::string narrow = Store([](CArchive& ar) { ar << CStringA("Ab\xE9"); });
    EXPECT_EQ("03 41 62 E9", Hex(narrow));
    Load(narrow, [](CArchive& ar) {
        CString wide;
        ar >> wide;
        EXPECT_TRUE(wide == L"Ab\x00E9") << "narrow text converts through the ANSI code page";
    });
    const std::string wide = Store([](CArchive& ar) { ar << CString(L"\x00E9t\x00E9"); });
    EXPECT_EQ("FF FE FF 03 E9 00 74 00 E9 00", Hex(wide));
    Load(wide, [](CArchive& ar) {
        CStringA text;
        ar >> text;
        EXPECT_STREQ("\xE9t\xE9", text.GetString());
    });
}

// ---- collections ---------------------------------------------------------------------------------------------

TEST(Archive, StringListFixture)
{
    CStringList list;
    list.AddTail(L"a");
    list.AddTail(L"bc");
    const std::string bytes = Store([&](CArchive& ar) { list.Serialize(ar); });
    EXPECT_EQ(Bytes("02 00  FF FE FF 01 61 00  FF FE FF 02 62 00 63 00"), bytes) << Hex(bytes);
    CStringList back;
    back.AddTail(L"kept");
    Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_EQ(3, back.GetCount());
    EXPECT_TRUE(back.GetAt(back.FindIndex(1)) == L"a");
    EXPECT_TRUE(back.GetTail() == L"bc");

    // A long list switches to the 32-bit count.
    CStringList many;
    for (int i = 0; i < 0x10000; ++i)
        many.AddTail(L"");
    const std::string big = Store([&](CArchive& ar) { many.Serialize(ar); });
    EXPECT_EQ("FF FF 00 00 01 00 FF FE FF 00", Hex(big.substr(0, 10)));
    EXPECT_EQ(6u + 4u * 0x10000u, big.size());
}

TEST(Archive, ArraysAndMapsFixtures)
{
    CByteArray bytesArray;
    bytesArray.Add(1);
    bytesArray.Add(2);
    CDWordArray dwords;
    dwords.Add(0x11223344);
    CStringArray strings;
    strings.Add(L"x");
    CMap<UINT, UINT, BOOL, BOOL> used;
    used.SetAt(0x8899, TRUE);
    const std::string bytes = Store([&](CArchive& ar) {
        bytesArray.Serialize(ar);
        dwords.Serialize(ar);
        strings.Serialize(ar);
        used.Serialize(ar);
    });
    EXPECT_EQ("02 00 01 02 "
              "01 00 44 33 22 11 "
              "01 00 FF FE FF 01 78 00 "
              "01 00 99 88 00 00 01 00 00 00",
              Hex(bytes));

    CMap<UINT, UINT, BOOL, BOOL> many;
    for (UINT id = 1; id <= 200; ++id)
        many.SetAt(id * 7, id % 3 == 0);
    const std::string mapBytes = Store([&](CArchive& ar) { many.Serialize(ar); });
    EXPECT_EQ(2u + 200u * 8u, mapBytes.size());
    CMap<UINT, UINT, BOOL, BOOL> back;
    Load(mapBytes, [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_EQ(200, back.GetCount());
    for (UINT id = 1; id <= 200; ++id) {
        BOOL value = 2;
        ASSERT_TRUE(back.Lookup(id * 7, value));
        EXPECT_EQ(id % 3 == 0, value != FALSE);
    }
}

// ---- objects -------------------------------------------------------------------------------------------------

TEST(Archive, ObjectGraphWithASharedObjectFixture)
{
    CArcLeaf leaf;
    leaf.m_word = 0x0A0B;
    CArcItem first, second;
    first.m_value = 1;
    first.m_pLeaf = &leaf;
    second.m_value = 2;
    second.m_pLeaf = &leaf;
    const std::string bytes = Store([&](CArchive& ar) { ar << &first << &second << static_cast<CObject*>(nullptr); });
    const std::string expected = Bytes("FF FF 02 00 08 00 'CArcItem' " // new class, index 1; object index 2
                                       "01 00 00 00 "                  // first value
                                       "FF FF 01 00 08 00 'CArcLeaf' " // new class, index 3; leaf index 4
                                       "0B 0A "                        // leaf word
                                       "01 80 "                        // class reference to index 1; index 5
                                       "02 00 00 00 "                  // second value
                                       "04 00 "                        // the leaf again
                                       "00 00");                       // null
    EXPECT_EQ(Hex(expected), Hex(bytes));

    Load(bytes, [](CArchive& ar) {
        CArcItem* a = nullptr;
        CArcItem* b = nullptr;
        CArcLeaf dummy;
        CObject* none = &dummy;
        ar >> a >> b >> none;
        ASSERT_NE(nullptr, a);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(nullptr, none);
        EXPECT_EQ(1, a->m_value);
        EXPECT_EQ(2, b->m_value);
        EXPECT_EQ(2u, a->m_loadedSchema);
        EXPECT_EQ(2u, b->m_loadedSchema) << "a class reference keeps the schema read with the class";
        EXPECT_EQ(static_cast<UINT>(-1), a->m_secondSchemaCall);
        ASSERT_NE(nullptr, a->m_pLeaf);
        EXPECT_EQ(a->m_pLeaf, b->m_pLeaf) << "one object, referenced twice";
        EXPECT_EQ(0x0A0B, static_cast<CArcLeaf*>(a->m_pLeaf)->m_word);
        a->m_ownsLeaf = true;
        delete a;
        delete b;
    });
}

TEST(Archive, OlderSchemaOfAVersionableClassReadsTheOlderLayout)
{
    // Two items written by an older version (schema 1: the value only), the second through a class reference.
    const std::string bytes = Bytes("FF FF 01 00 08 00 'CArcItem' 05 00 00 00  01 80 06 00 00 00");
    Load(bytes, [](CArchive& ar) {
        std::unique_ptr<CObject> a(ar.ReadObject(RUNTIME_CLASS(CArcItem)));
        std::unique_ptr<CObject> b(ar.ReadObject(RUNTIME_CLASS(CObject)));
        auto* first = static_cast<CArcItem*>(a.get());
        auto* second = static_cast<CArcItem*>(b.get());
        EXPECT_EQ(1u, first->m_loadedSchema);
        EXPECT_EQ(1u, second->m_loadedSchema);
        EXPECT_EQ(5, first->m_value);
        EXPECT_EQ(6, second->m_value);
        EXPECT_EQ(nullptr, second->m_pLeaf);
        EXPECT_TRUE(ar.IsBufferEmpty());
    });
}

TEST(Archive, ListOfObjectsRoundTripKeepsSharing)
{
    CArcLeaf leaf;
    leaf.m_word = 7;
    CObList list;
    list.AddTail(&leaf);
    list.AddTail(static_cast<CObject*>(nullptr));
    list.AddTail(&leaf);
    const std::string bytes = Store([&](CArchive& ar) { list.Serialize(ar); });
    EXPECT_EQ(Hex(Bytes("03 00 FF FF 01 00 08 00 'CArcLeaf' 07 00 00 00 02 00")), Hex(bytes));
    CObList back;
    Load(bytes, [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_EQ(3, back.GetCount());
    EXPECT_EQ(nullptr, back.GetAt(back.FindIndex(1)));
    EXPECT_EQ(back.GetHead(), back.GetTail());
    EXPECT_EQ(7, static_cast<CArcLeaf*>(back.GetHead())->m_word);
    delete back.GetHead();
}

TEST(Archive, IndicesBeyondFifteenBitsUseBigTags)
{
    // Fill the index space up to 0x7FFF with mapped objects that are never written.
    std::vector<CArcLeaf> fillers(0x7FFE);
    CArcLeaf leaf, other;
    leaf.m_word = 1;
    other.m_word = 2;
    const std::string bytes = Store([&](CArchive& ar) {
        for (CArcLeaf& filler : fillers)
            ar.MapObject(&filler);
        ar << &leaf << &other << &leaf;
    });
    EXPECT_EQ(Hex(Bytes("FF FF 01 00 08 00 'CArcLeaf' 01 00 " // class 0x7FFF, leaf 0x8000
                        "FF 7F FF 7F 00 80 02 00 "            // class reference 0x7FFF, other 0x8001
                        "FF 7F 00 80 00 00")),                // object reference 0x8000
              Hex(bytes));
    Load(bytes, [&](CArchive& ar) {
        for (CArcLeaf& filler : fillers)
            ar.MapObject(&filler);
        CArcLeaf* a = nullptr;
        CArcLeaf* b = nullptr;
        CArcLeaf* c = nullptr;
        ar >> a >> b >> c;
        ASSERT_NE(nullptr, a);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(a, c);
        EXPECT_EQ(1, a->m_word);
        EXPECT_EQ(2, b->m_word);
        delete a;
        delete b;
    });
}

TEST(Archive, SmallBufferOverADiskFileAndFlushOnLoadRestoresThePosition)
{
    lqtest::TempFolder folder;
    const std::wstring path = folder.File(L"data.bin");
    CStringArray texts;
    for (int i = 0; i < 300; ++i)
        texts.Add(CString(L"line ") + CString(std::to_wstring(i).c_str()));
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 128);
        texts.Serialize(ar);
        ar << static_cast<DWORD>(0xCAFEF00D);
    }
    CFile file(path.c_str(), CFile::modeRead);
    {
        CArchive ar(&file, CArchive::load, 128);
        CStringArray back;
        back.Serialize(ar);
        ASSERT_EQ(300, back.GetSize());
        EXPECT_TRUE(back[299] == L"line 299");
        EXPECT_TRUE(ar.m_strFileName.Right(8) == L"data.bin");
        ar.Flush();
    }
    const ULONGLONG position = file.GetPosition();
    EXPECT_EQ(file.GetLength() - 4, position);
    DWORD tail = 0;
    EXPECT_EQ(4u, file.Read(&tail, 4));
    EXPECT_EQ(0xCAFEF00Du, tail);
}

// ---- bad data ------------------------------------------------------------------------------------------------

void ReadTwoItems(CArchive& ar)
{
    std::unique_ptr<CArcItem> a, b;
    CArcItem* p = nullptr;
    ar >> p;
    a.reset(p);
    ar >> p;
    b.reset(p);
    if (a)
        a->m_ownsLeaf = true;
}

TEST(ArchiveBadData, EveryTruncationRaisesEndOfFile)
{
    CArcLeaf leaf;
    CArcItem first, second;
    first.m_pLeaf = &leaf;
    second.m_pLeaf = &leaf;
    const std::string good = Store([&](CArchive& ar) { ar << &first << &second; });
    EXPECT_EQ(-1, LoadFailure(good, ReadTwoItems));
    for (size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_EQ(CArchiveException::endOfFile, LoadFailure(good.substr(0, length), ReadTwoItems));
    }
    CStringList list;
    list.AddTail(L"alpha");
    list.AddTail(CString(L'x', 300));
    const std::string listBytes = Store([&](CArchive& ar) { list.Serialize(ar); });
    for (size_t length = 0; length < listBytes.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_EQ(CArchiveException::endOfFile, LoadFailure(listBytes.substr(0, length), [](CArchive& ar) {
                      CStringList l;
                      l.Serialize(ar);
                  }));
    }
}

TEST(ArchiveBadData, MalformedDataRaisesTheMatchingCause)
{
    auto readItem = [](CArchive& ar) { std::unique_ptr<CObject> object(ar.ReadObject(RUNTIME_CLASS(CArcItem))); };
    auto readAny = [](CArchive& ar) { std::unique_ptr<CObject> object(ar.ReadObject(nullptr)); };
    auto readString = [](CArchive& ar) {
        CString text;
        ar >> text;
    };
    auto readList = [](CArchive& ar) {
        CStringList list;
        list.Serialize(ar);
    };
    auto readBytes = [](CArchive& ar) {
        CByteArray array;
        array.Serialize(ar);
    };
    struct Row
    {
        const char* name;
        std::string bytes;
        std::function<void(CArchive&)> read;
        int cause;
    };
    const Row rows[] = {
        {"unknown class", Bytes("FF FF 01 00 0C 00 'CNoSuchClass' 00 00"), readAny, CArchiveException::badClass},
        {"name with a zero", Bytes("FF FF 01 00 08 00 'CArc' 00 'eaf' 00 00"), readAny, CArchiveException::badClass},
        {"class that cannot be created", Bytes("FF FF FF FF 08 00 'CArcRock'"), readAny, CArchiveException::badClass},
        {"other class than asked", Bytes("FF FF 01 00 08 00 'CArcLeaf' 00 00"), readItem, CArchiveException::badClass},
        {"wrong schema of a fixed class", Bytes("FF FF 02 00 08 00 'CArcLeaf' 00 00"), readAny,
         CArchiveException::badSchema},
        {"schema newer than the reader", Bytes("FF FF 03 00 08 00 'CArcItem' 00 00 00 00 00 00"), readAny,
         CArchiveException::badSchema},
        {"reference to nothing", Bytes("05 00"), readAny, CArchiveException::badIndex},
        {"class reference to nothing", Bytes("01 80"), readAny, CArchiveException::badIndex},
        {"class reference to index 0", Bytes("00 80"), readAny, CArchiveException::badIndex},
        {"big reference to nothing", Bytes("FF 7F 00 00 01 00"), readAny, CArchiveException::badIndex},
        {"object reference that names a class", Bytes("FF FF 01 00 08 00 'CArcLeaf' 00 00 01 00"),
         [](CArchive& ar) {
             std::unique_ptr<CObject> first(ar.ReadObject(nullptr));
             std::unique_ptr<CObject> second(ar.ReadObject(nullptr));
         },
         CArchiveException::badIndex},
        {"class reference that names an object", Bytes("FF FF 01 00 08 00 'CArcLeaf' 00 00 02 80"),
         [](CArchive& ar) {
             std::unique_ptr<CObject> first(ar.ReadObject(nullptr));
             std::unique_ptr<CObject> second(ar.ReadObject(nullptr));
         },
         CArchiveException::badIndex},
        {"string longer than the data", Bytes("FF FE FF FF FF FF 00 00 00 01 41 00"), readString,
         CArchiveException::endOfFile},
        {"string longer than any string", Bytes("FF FE FF FF FF FF FF FF FF FF 00 00 00 00 00 10 00 00 41 00"),
         readString, CArchiveException::genericException},
        {"marker twice", Bytes("FF FE FF FF FE FF 41 00"), readString, CArchiveException::genericException},
        {"list count beyond the data", Bytes("FF FF FF FF FF 7F FF FE FF 01 41 00"), readList,
         CArchiveException::endOfFile},
        {"huge 64-bit list count", Bytes("FF FF FF FF FF FF FF FF FF FF FF FF FF 7F 00"), readList,
         CArchiveException::endOfFile},
        {"byte array count beyond the data", Bytes("FF FF FF FF FF 7F 01 02 03"), readBytes,
         CArchiveException::endOfFile},
        {"huge 64-bit byte array count", Bytes("FF FF FF FF FF FF FF FF FF FF FF FF FF 7F 01"), readBytes,
         CArchiveException::endOfFile},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.cause, LoadFailure(row.bytes, row.read));
    }
    CArcRock rock;
    EXPECT_FALSE(rock.IsSerializable());
}

TEST(ArchiveBadData, WrongDirectionRaisesReadOnlyOrWriteOnly)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        int cause = 0;
        try {
            int value = 0;
            ar >> value;
        } catch (CArchiveException* e) {
            cause = e->m_cause;
            e->Delete();
        }
        EXPECT_EQ(CArchiveException::writeOnly, cause);
        cause = 0;
        try {
            ar.ReadObject(nullptr);
        } catch (CArchiveException* e) {
            cause = e->m_cause;
            e->Delete();
        }
        EXPECT_EQ(CArchiveException::writeOnly, cause);
    }
    CArchive ar(&file, CArchive::load);
    int cause = 0;
    try {
        ar << 5;
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CArchiveException::readOnly, cause);
    cause = 0;
    try {
        CArcLeaf leaf;
        ar << &leaf;
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CArchiveException::readOnly, cause);
}

} // namespace
