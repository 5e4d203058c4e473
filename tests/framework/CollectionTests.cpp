// Lists walked by POSITION (removal while walking, Find, insertion, order), arrays (growth, insertion, removal,
// elements that refer into the array itself) and hash maps (lookup, walks, rehashing).
#include "framework/Afx.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<INT_PTR> Forward(const CPtrList& list)
{
    std::vector<INT_PTR> values;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        values.push_back(reinterpret_cast<INT_PTR>(list.GetNext(pos)));
    return values;
}

std::vector<INT_PTR> Backward(const CPtrList& list)
{
    std::vector<INT_PTR> values;
    for (POSITION pos = list.GetTailPosition(); pos;)
        values.push_back(reinterpret_cast<INT_PTR>(list.GetPrev(pos)));
    return values;
}

void* P(INT_PTR value)
{
    return reinterpret_cast<void*>(value);
}

std::vector<std::wstring> Strings(const CStringList& list)
{
    std::vector<std::wstring> values;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        values.emplace_back(list.GetNext(pos).GetString());
    return values;
}

TEST(PtrList, AddsAtBothEndsAndWalksBothWays)
{
    for (INT_PTR blockSize : {1, 3, 10}) {
        SCOPED_TRACE(blockSize);
        CPtrList list(blockSize);
        EXPECT_TRUE(list.IsEmpty());
        EXPECT_EQ(nullptr, list.GetHeadPosition());
        list.AddTail(P(2));
        list.AddTail(P(3));
        list.AddHead(P(1));
        list.AddTail(P(4));
        EXPECT_EQ((std::vector<INT_PTR>{1, 2, 3, 4}), Forward(list));
        EXPECT_EQ((std::vector<INT_PTR>{4, 3, 2, 1}), Backward(list));
        EXPECT_EQ(4, list.GetCount());
        EXPECT_EQ(P(1), list.GetHead());
        EXPECT_EQ(P(4), list.GetTail());
        EXPECT_EQ(P(1), list.RemoveHead());
        EXPECT_EQ(P(4), list.RemoveTail());
        EXPECT_EQ((std::vector<INT_PTR>{2, 3}), Forward(list));
        list.RemoveAll();
        EXPECT_EQ(0, list.GetCount());
        EXPECT_EQ(nullptr, list.RemoveHead());
        EXPECT_EQ(nullptr, list.RemoveTail());
        list.AddTail(P(9));
        EXPECT_EQ((std::vector<INT_PTR>{9}), Backward(list));
    }
}

TEST(PtrList, RemovingWhileWalkingKeepsTheOtherPositions)
{
    struct Row
    {
        const char* name;
        bool (*remove)(INT_PTR);
        std::vector<INT_PTR> expected;
    };
    const Row rows[] = {
        {"odd", [](INT_PTR v) { return v % 2 == 1; }, {2, 4, 6, 8, 10}},
        {"all", [](INT_PTR) { return true; }, {}},
        {"first and last", [](INT_PTR v) { return v == 1 || v == 10; }, {2, 3, 4, 5, 6, 7, 8, 9}},
        {"none", [](INT_PTR) { return false; }, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CPtrList list(3);
        for (INT_PTR i = 1; i <= 10; ++i)
            list.AddTail(P(i));
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            const POSITION current = pos;
            if (row.remove(reinterpret_cast<INT_PTR>(list.GetNext(pos))))
                list.RemoveAt(current);
        }
        EXPECT_EQ(row.expected, Forward(list));
        std::vector<INT_PTR> reversed(row.expected.rbegin(), row.expected.rend());
        EXPECT_EQ(reversed, Backward(list));
        EXPECT_EQ(static_cast<INT_PTR>(row.expected.size()), list.GetCount());
        // Freed nodes are reused by later additions.
        list.AddTail(P(99));
        EXPECT_EQ(P(99), list.GetTail());
    }
}

TEST(PtrList, FindStartsAfterTheGivenPositionAndFindIndexCounts)
{
    CPtrList list;
    for (INT_PTR v : {5, 7, 5, 9})
        list.AddTail(P(v));
    const POSITION first = list.Find(P(5));
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(list.GetHeadPosition(), first);
    const POSITION second = list.Find(P(5), first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(list.FindIndex(2), second);
    EXPECT_EQ(nullptr, list.Find(P(5), second));
    EXPECT_EQ(nullptr, list.Find(P(6)));
    EXPECT_EQ(list.GetTailPosition(), list.FindIndex(3));
    EXPECT_EQ(nullptr, list.FindIndex(4));
    EXPECT_EQ(nullptr, list.FindIndex(-1));
}

TEST(PtrList, InsertsBeforeAndAfterPositions)
{
    CPtrList list;
    const POSITION two = list.AddTail(P(2));
    list.InsertBefore(two, P(1));
    const POSITION three = list.InsertAfter(two, P(3));
    list.InsertAfter(three, P(4));
    list.InsertBefore(nullptr, P(0));
    list.InsertAfter(nullptr, P(5));
    EXPECT_EQ((std::vector<INT_PTR>{0, 1, 2, 3, 4, 5}), Forward(list));
    EXPECT_EQ((std::vector<INT_PTR>{5, 4, 3, 2, 1, 0}), Backward(list));
    list.SetAt(three, P(30));
    EXPECT_EQ(P(30), list.GetAt(three));
    list.RemoveAt(nullptr);
    EXPECT_EQ(6, list.GetCount());
}

TEST(PtrList, AddingAListCopiesItsElementsInOrder)
{
    CPtrList list;
    list.AddTail(P(1));
    list.AddTail(P(2));
    CPtrList other;
    other.AddTail(P(8));
    other.AddTail(P(9));
    list.AddHead(&other);
    list.AddTail(&other);
    EXPECT_EQ((std::vector<INT_PTR>{8, 9, 1, 2, 8, 9}), Forward(list));
    list.AddTail(&list);
    EXPECT_EQ(12, list.GetCount());
    EXPECT_EQ((std::vector<INT_PTR>{9, 8, 2, 1, 9, 8, 9, 8, 2, 1, 9, 8}), Backward(list));
}

TEST(StringList, FindComparesTextExactly)
{
    CStringList labels(10);
    for (LPCWSTR label : {L"News", L"news", L"Sport", L"News"})
        labels.AddTail(label);
    const POSITION found = labels.Find(L"news");
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(labels.FindIndex(1), found);
    EXPECT_EQ(labels.FindIndex(3), labels.Find(L"News", labels.GetHeadPosition()));
    EXPECT_EQ(nullptr, labels.Find(L"sport"));
    CString sport(L"Sport");
    EXPECT_EQ(labels.FindIndex(2), labels.Find(sport));
    labels.RemoveAt(found);
    EXPECT_EQ((std::vector<std::wstring>{L"News", L"Sport", L"News"}), Strings(labels));
    EXPECT_EQ(CString(L"News"), labels.RemoveTail());
    EXPECT_TRUE(labels.RemoveHead() == L"News");
    EXPECT_EQ(1, labels.GetCount());
}

class CListEntry
{
public:
    int value = 0;
};

TEST(TypedPtrList, HandsOutTypedPointers)
{
    CListEntry a, b, c;
    a.value = 1;
    b.value = 2;
    c.value = 3;
    CTypedPtrList<CPtrList, CListEntry*> list(10);
    list.AddTail(&b);
    list.AddHead(&a);
    list.AddTail(&c);
    int sum = 0;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CListEntry* entry = list.GetNext(pos);
        sum = sum * 10 + entry->value;
    }
    EXPECT_EQ(123, sum);
    EXPECT_EQ(&c, list.RemoveTail());
    EXPECT_EQ(&a, list.GetHead());
    list.GetHead() = &c;
    EXPECT_EQ(3, list.GetHead()->value);
}

// ---------------------------------------------------------------------------------------------------------------

TEST(Array, SetSizeGrowsValueInitialisedAndShrinks)
{
    CDWordArray array;
    array.SetSize(5, 100);
    EXPECT_EQ(5, array.GetSize());
    EXPECT_EQ(4, array.GetUpperBound());
    for (INT_PTR i = 0; i < 5; ++i)
        EXPECT_EQ(0u, array[i]);
    array[4] = 44;
    array.SetSize(3);
    EXPECT_EQ(3, array.GetCount());
    array.SetSize(6);
    EXPECT_EQ(0u, array[4]) << "a slot that was shrunk away comes back value-initialised";
    array.SetSize(0);
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_EQ(nullptr, array.GetData());
}

TEST(Array, InsertAndRemoveKeepOrder)
{
    struct Row
    {
        const char* name;
        void (*change)(CUIntArray&);
        std::vector<UINT> expected;
    };
    const Row rows[] = {
        {"insert in the middle", [](CUIntArray& a) { a.InsertAt(2, 9u, 2); }, {0, 1, 9, 9, 2, 3, 4}},
        {"insert at the front", [](CUIntArray& a) { a.InsertAt(0, 9u); }, {9, 0, 1, 2, 3, 4}},
        {"insert at the end", [](CUIntArray& a) { a.InsertAt(5, 9u); }, {0, 1, 2, 3, 4, 9}},
        {"insert past the end", [](CUIntArray& a) { a.InsertAt(7, 9u); }, {0, 1, 2, 3, 4, 0, 0, 9}},
        {"remove in the middle", [](CUIntArray& a) { a.RemoveAt(1, 2); }, {0, 3, 4}},
        {"remove past the end is clipped", [](CUIntArray& a) { a.RemoveAt(3, 10); }, {0, 1, 2}},
        {"remove outside does nothing", [](CUIntArray& a) { a.RemoveAt(5); }, {0, 1, 2, 3, 4}},
        {"negative index does nothing",
         [](CUIntArray& a) {
             a.RemoveAt(-1);
             a.InsertAt(-1, 7u);
         },
         {0, 1, 2, 3, 4}},
        {"set at grow", [](CUIntArray& a) { a.SetAtGrow(6, 6u); }, {0, 1, 2, 3, 4, 0, 6}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CUIntArray array;
        for (UINT i = 0; i < 5; ++i)
            EXPECT_EQ(static_cast<INT_PTR>(i), array.Add(i));
        row.change(array);
        EXPECT_EQ(row.expected, std::vector<UINT>(array.GetData(), array.GetData() + array.GetSize()));
    }
}

TEST(Array, ElementsThatMoveKeepTheirValue)
{
    // std::wstring keeps short text inside itself, so moving it bytewise would corrupt it.
    CArray<std::wstring, const std::wstring&> array;
    for (int i = 0; i < 40; ++i)
        array.Add(std::to_wstring(i));
    array.InsertAt(0, L"head", 3);
    array.RemoveAt(10, 5);
    array.InsertAt(20, L"mid");
    array.FreeExtra();
    std::vector<std::wstring> expected;
    for (int i = 0; i < 40; ++i)
        expected.push_back(std::to_wstring(i));
    expected.insert(expected.begin(), 3, L"head");
    expected.erase(expected.begin() + 10, expected.begin() + 15);
    expected.insert(expected.begin() + 20, L"mid");
    ASSERT_EQ(static_cast<INT_PTR>(expected.size()), array.GetSize());
    for (INT_PTR i = 0; i < array.GetSize(); ++i)
        EXPECT_EQ(expected[static_cast<size_t>(i)], array[i]) << i;
}

TEST(Array, AddingAnElementOfTheArrayItselfSurvivesGrowth)
{
    CStringArray array;
    array.Add(L"first");
    for (int i = 0; i < 200; ++i)
        array.Add(array[0]);
    array.InsertAt(1, array[array.GetUpperBound()], 50);
    array.SetAtGrow(400, array[1]);
    EXPECT_EQ(401, array.GetSize());
    for (INT_PTR i = 0; i < 251; ++i)
        ASSERT_EQ(CString(L"first"), array[i]) << i;
    EXPECT_TRUE(array[399].IsEmpty());
    EXPECT_EQ(CString(L"first"), array[400]);
}

TEST(Array, AppendAndCopyIncludingItself)
{
    CStringArray a;
    a.Add(L"x");
    a.Add(L"y");
    CStringArray b;
    b.Add(L"z");
    EXPECT_EQ(1, b.Append(a));
    EXPECT_EQ(2, a.Append(a));
    ASSERT_EQ(4, a.GetSize());
    EXPECT_EQ(CString(L"xyxy"), a[0] + a[1] + a[2] + a[3]);
    a.Copy(b);
    ASSERT_EQ(3, a.GetSize());
    EXPECT_EQ(CString(L"zxy"), a[0] + a[1] + a[2]);
    a.Copy(a);
    EXPECT_EQ(3, a.GetSize());
    a.InsertAt(1, &a);
    ASSERT_EQ(6, a.GetSize());
    EXPECT_EQ(CString(L"zzxyxy"), a[0] + a[1] + a[2] + a[3] + a[4] + a[5]);
}

TEST(TypedPtrArray, HandsOutTypedPointers)
{
    CListEntry a, b;
    a.value = 1;
    b.value = 2;
    CTypedPtrArray<CPtrArray, CListEntry*> array;
    array.Add(&a);
    array.Add(nullptr);
    array.InsertAt(1, &b);
    EXPECT_EQ(3, array.GetSize());
    EXPECT_EQ(2, array[1]->value);
    EXPECT_EQ(nullptr, array.GetAt(2));
    array.ElementAt(2) = &a;
    EXPECT_EQ(&a, array[2]);
}

// ---------------------------------------------------------------------------------------------------------------

TEST(Map, SetLookupReplaceAndRemove)
{
    CMap<UINT, UINT, BOOL, BOOL> map(10);
    map.InitHashTable(17);
    EXPECT_EQ(17u, map.GetHashTableSize());
    BOOL value = 7;
    EXPECT_FALSE(map.Lookup(35001, value));
    EXPECT_EQ(7, value) << "a failed lookup leaves the value alone";
    for (UINT id = 100; id < 200; ++id)
        map.SetAt(id, id % 2);
    EXPECT_EQ(100, map.GetCount());
    map[150] = 5;
    EXPECT_TRUE(map.Lookup(150, value));
    EXPECT_EQ(5, value);
    EXPECT_EQ(100, map.GetCount());
    EXPECT_EQ(0, map[300]);
    EXPECT_EQ(101, map.GetCount());
    EXPECT_TRUE(map.RemoveKey(300));
    EXPECT_FALSE(map.RemoveKey(300));
    for (UINT id = 100; id < 200; ++id) {
        ASSERT_TRUE(map.Lookup(id, value));
        EXPECT_EQ(id == 150 ? 5 : static_cast<BOOL>(id % 2), value);
    }
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_FALSE(map.Lookup(150, value));
    EXPECT_EQ(nullptr, map.GetStartPosition());
}

TEST(Map, WalkVisitsEveryKeyOnceEvenWhileRemovingTheCurrentOne)
{
    CMapPtrToPtr map;
    for (INT_PTR i = 1; i <= 300; ++i)
        map.SetAt(P(i * 16), P(i));
    std::set<INT_PTR> seen;
    POSITION pos = map.GetStartPosition();
    while (pos) {
        void* key = nullptr;
        void* value = nullptr;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(reinterpret_cast<INT_PTR>(key), reinterpret_cast<INT_PTR>(value) * 16);
        EXPECT_TRUE(seen.insert(reinterpret_cast<INT_PTR>(value)).second);
        if (reinterpret_cast<INT_PTR>(value) % 3 == 0) {
            EXPECT_TRUE(map.RemoveKey(key));
        }
    }
    EXPECT_EQ(300u, seen.size());
    EXPECT_EQ(200, map.GetCount());
}

TEST(Map, RehashingKeepsTheEntries)
{
    CMapStringToPtr map;
    map.SetAt(L"Alpha", P(1));
    map.SetAt(L"alpha", P(2));
    map.SetAt(CString(L"Beta"), P(3));
    map.InitHashTable(101);
    EXPECT_EQ(101u, map.GetHashTableSize());
    void* value = nullptr;
    EXPECT_TRUE(map.Lookup(L"Alpha", value));
    EXPECT_EQ(P(1), value);
    EXPECT_TRUE(map.Lookup(L"alpha", value));
    EXPECT_EQ(P(2), value);
    EXPECT_TRUE(map.Lookup(L"Beta", value));
    EXPECT_FALSE(map.Lookup(L"BETA", value));
    EXPECT_EQ(3, map.GetCount());
}

TEST(TypedPtrMap, TypedKeysAndValues)
{
    CListEntry a, b;
    a.value = 1;
    b.value = 2;
    CTypedPtrMap<CMapPtrToPtr, HWND, CListEntry*> map;
    const HWND first = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1000));
    const HWND second = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x2000));
    map.SetAt(first, &a);
    map[second] = &b;
    CListEntry* found = nullptr;
    EXPECT_TRUE(map.Lookup(second, found));
    EXPECT_EQ(&b, found);
    int sum = 0;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        HWND key = nullptr;
        CListEntry* entry = nullptr;
        map.GetNextAssoc(pos, key, entry);
        sum += entry->value * (key == first ? 10 : 100);
    }
    EXPECT_EQ(210, sum);
    EXPECT_TRUE(map.RemoveKey(first));
    EXPECT_FALSE(map.Lookup(first, found));
}

} // namespace
