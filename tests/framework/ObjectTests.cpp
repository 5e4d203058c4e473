// Run-time classes: records built by the IMPLEMENT_ macros, lookup by name, derivation, creation and down-casts.
#include "framework/Afx.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class CObjAnimal : public CObject
{
    DECLARE_SERIAL(CObjAnimal)
public:
    int m_legs = 4;
};

class CObjBird : public CObjAnimal
{
    DECLARE_DYNCREATE(CObjBird)
public:
    CObjBird() { m_legs = 2; }
};

class CObjRock : public CObject
{
    DECLARE_DYNAMIC(CObjRock)
public:
    CObjRock() = default;
};

IMPLEMENT_SERIAL(CObjAnimal, CObject, VERSIONABLE_SCHEMA | 3)
IMPLEMENT_DYNCREATE(CObjBird, CObjAnimal)
IMPLEMENT_DYNAMIC(CObjRock, CObject)

TEST(RuntimeClass, RecordsCarryNameSizeSchemaBaseAndCreation)
{
    struct Row
    {
        CRuntimeClass* cls;
        const char* name;
        int size;
        UINT schema;
        CRuntimeClass* base;
        bool creatable;
    };
    const Row rows[] = {
        {RUNTIME_CLASS(CObject), "CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, false},
        {RUNTIME_CLASS(CObjAnimal), "CObjAnimal", static_cast<int>(sizeof(CObjAnimal)), VERSIONABLE_SCHEMA | 3,
         RUNTIME_CLASS(CObject), true},
        {RUNTIME_CLASS(CObjBird), "CObjBird", static_cast<int>(sizeof(CObjBird)), 0xFFFF, RUNTIME_CLASS(CObjAnimal),
         true},
        {RUNTIME_CLASS(CObjRock), "CObjRock", static_cast<int>(sizeof(CObjRock)), 0xFFFF, RUNTIME_CLASS(CObject),
         false},
        {RUNTIME_CLASS(CStringList), "CStringList", static_cast<int>(sizeof(CStringList)), 0, RUNTIME_CLASS(CObject),
         true},
        {RUNTIME_CLASS(CFileException), "CFileException", static_cast<int>(sizeof(CFileException)), 0xFFFF,
         RUNTIME_CLASS(CException), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(row.name, row.cls->m_lpszClassName);
        EXPECT_EQ(row.size, row.cls->m_nObjectSize);
        EXPECT_EQ(row.schema, row.cls->m_wSchema);
        EXPECT_EQ(row.base, row.cls->m_pBaseClass);
        CObject* created = row.cls->CreateObject();
        EXPECT_EQ(row.creatable, created != nullptr);
        if (created) {
            EXPECT_EQ(row.cls, created->GetRuntimeClass());
            delete created;
        }
    }
}

TEST(RuntimeClass, FromNameFindsLinkedClassesExactly)
{
    struct Row
    {
        const char* name;
        CRuntimeClass* expected;
    };
    const Row rows[] = {
        {"CObjAnimal", RUNTIME_CLASS(CObjAnimal)},
        {"CObjBird", RUNTIME_CLASS(CObjBird)},
        {"CObject", RUNTIME_CLASS(CObject)},
        {"CMemFile", RUNTIME_CLASS(CMemFile)},
        {"cobjanimal", nullptr},
        {"CObjAnima", nullptr},
        {"CObjAnimalX", nullptr},
        {"", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.expected, CRuntimeClass::FromName(row.name));
        const CString wide(row.name);
        EXPECT_EQ(row.expected, CRuntimeClass::FromName(wide.GetString()));
    }
    EXPECT_EQ(nullptr, CRuntimeClass::FromName(static_cast<LPCSTR>(nullptr)));
    EXPECT_EQ(nullptr, CRuntimeClass::FromName(L"CObj\x00C4nimal"));
}

TEST(RuntimeClass, EveryLinkedClassIsOnTheListOnce)
{
    int animals = 0;
    int total = 0;
    for (CRuntimeClass* cls = AfxGetFirstRuntimeClass(); cls && total < 100000; cls = cls->m_pNextClass) {
        ++total;
        if (std::strcmp(cls->m_lpszClassName, "CObjAnimal") == 0)
            ++animals;
    }
    EXPECT_EQ(1, animals);
    EXPECT_LT(total, 100000) << "the class list loops";
}

TEST(RuntimeClass, CreateObjectByNameUsesTheNamedClass)
{
    CObject* bird = CRuntimeClass::CreateObject("CObjBird");
    ASSERT_NE(nullptr, bird);
    EXPECT_EQ(2, static_cast<CObjAnimal*>(bird)->m_legs);
    delete bird;
    CObject* animal = CRuntimeClass::CreateObject(L"CObjAnimal");
    ASSERT_NE(nullptr, animal);
    EXPECT_TRUE(animal->IsKindOf(RUNTIME_CLASS(CObjAnimal)));
    delete animal;
    EXPECT_EQ(nullptr, CRuntimeClass::CreateObject("CObjRock"));
    EXPECT_EQ(nullptr, CRuntimeClass::CreateObject(L"CNoSuchClass"));
}

TEST(RuntimeClass, KindTestsFollowTheBaseChain)
{
    CObjBird bird;
    CObjAnimal animal;
    CObjRock rock;
    struct Row
    {
        const CObject* object;
        CRuntimeClass* cls;
        BOOL kind;
    };
    const Row rows[] = {
        {&bird, RUNTIME_CLASS(CObjBird), TRUE},     {&bird, RUNTIME_CLASS(CObjAnimal), TRUE},
        {&bird, RUNTIME_CLASS(CObject), TRUE},      {&animal, RUNTIME_CLASS(CObjBird), FALSE},
        {&animal, RUNTIME_CLASS(CObjAnimal), TRUE}, {&rock, RUNTIME_CLASS(CObjAnimal), FALSE},
        {&rock, RUNTIME_CLASS(CObject), TRUE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.object->GetRuntimeClass()->m_lpszClassName + std::string(" of ") + row.cls->m_lpszClassName);
        EXPECT_EQ(row.kind, row.object->IsKindOf(row.cls));
        EXPECT_EQ(row.kind, row.object->GetRuntimeClass()->IsDerivedFrom(row.cls));
    }
    EXPECT_TRUE(animal.IsSerializable());
    EXPECT_FALSE(bird.IsSerializable());
    EXPECT_FALSE(rock.IsSerializable());
}

TEST(RuntimeClass, DynamicDownCastAnswersNullForOtherClasses)
{
    CObjBird bird;
    CObjRock rock;
    CObject* asObject = &bird;
    EXPECT_EQ(&bird, DYNAMIC_DOWNCAST(CObjBird, asObject));
    EXPECT_EQ(static_cast<CObjAnimal*>(&bird), DYNAMIC_DOWNCAST(CObjAnimal, asObject));
    asObject = &rock;
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CObjAnimal, asObject));
    asObject = nullptr;
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(CObjAnimal, asObject));
    CObjAnimal* animal = &bird;
    EXPECT_EQ(&bird, STATIC_DOWNCAST(CObjBird, animal));
}

TEST(Exceptions, DeleteFreesHeapExceptionsButNotTheSharedMemoryException)
{
    CMemoryException* first = nullptr;
    CMemoryException* second = nullptr;
    try {
        AfxThrowMemoryException();
    } catch (CException* e) {
        first = dynamic_cast<CMemoryException*>(e);
        e->Delete();
    }
    try {
        AfxThrowMemoryException();
    } catch (CMemoryException* e) {
        second = e;
        e->Delete();
    }
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_FALSE(first->m_bAutoDelete);
    EXPECT_TRUE(first->IsKindOf(RUNTIME_CLASS(CMemoryException)));

    try {
        AfxThrowFileException(CFileException::accessDenied, ERROR_ACCESS_DENIED, L"C:\\x\\feed.rss");
    } catch (CException* e) {
        ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CFileException)));
        auto* file = static_cast<CFileException*>(e);
        EXPECT_EQ(CFileException::accessDenied, file->m_cause);
        EXPECT_EQ(ERROR_ACCESS_DENIED, file->m_lOsError);
        WCHAR text[200];
        EXPECT_TRUE(e->GetErrorMessage(text, 200));
        EXPECT_NE(nullptr, wcsstr(text, L"C:\\x\\feed.rss"));
        EXPECT_TRUE(e->m_bAutoDelete);
        e->Delete();
    }
}

TEST(Exceptions, OsErrorsMapToCauses)
{
    struct Row
    {
        LONG error;
        int cause;
    };
    const Row rows[] = {
        {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
        {ERROR_PATH_NOT_FOUND, CFileException::badPath},
        {ERROR_ACCESS_DENIED, CFileException::accessDenied},
        {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
        {ERROR_DISK_FULL, CFileException::diskFull},
        {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
        {ERROR_INVALID_HANDLE, CFileException::invalidFile},
        {ERROR_NOT_ENOUGH_MEMORY, CFileException::genericException},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.cause, CFileException::OsErrorToException(row.error)) << row.error;
}

} // namespace
