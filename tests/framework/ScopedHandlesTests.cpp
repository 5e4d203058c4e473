// Scoped owners: what they release, when, and what a move or Receive does with the handle already held.
#include "framework/core/ScopedHandles.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A file opened without sharing can be opened again only after the first handle is closed.
bool OpenExclusively(const std::wstring& path, CScopedFile& file)
{
    file.Attach(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    return file.IsValid();
}

TEST(ScopedHandles, FileIsClosedAtTheEndOfItsScopeAndNotByAMove)
{
    lqtest::TempFolder folder;
    const std::wstring path = folder.File(L"held.txt");
    CScopedFile probe;
    {
        CScopedFile first;
        ASSERT_TRUE(OpenExclusively(path, first));
        CScopedFile moved(std::move(first));
        EXPECT_FALSE(first.IsValid());
        EXPECT_FALSE(OpenExclusively(path, probe)) << "the moved-to owner must still hold the file";
    }
    EXPECT_TRUE(OpenExclusively(path, probe));
    probe.Close();

    CScopedFile detached;
    ASSERT_TRUE(OpenExclusively(path, detached));
    HANDLE raw = detached.Detach();
    EXPECT_FALSE(detached.IsValid());
    EXPECT_FALSE(OpenExclusively(path, probe)) << "Detach hands the handle over without closing it";
    ::CloseHandle(raw);
}

TEST(ScopedHandles, ReceiveReleasesWhatWasHeld)
{
    CScopedKernelHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    HANDLE first = event.Get();
    HANDLE copy = nullptr;
    ASSERT_TRUE(
        ::DuplicateHandle(::GetCurrentProcess(), first, ::GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS));
    *event.Receive() = copy;
    // The first handle is gone; the duplicate still names the event.
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(first, &flags));
    EXPECT_TRUE(::GetHandleInformation(copy, &flags));
}

class CountedUnknown : public IUnknown
{
public:
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

TEST(ScopedHandles, ComPointerKeepsTheCountBalanced)
{
    CountedUnknown object;
    {
        CScopedComPtr<IUnknown> owner(&object);
        CScopedComPtr<IUnknown> copy = owner;
        EXPECT_EQ(2u, object.references);
        CScopedComPtr<IUnknown> moved(std::move(copy));
        EXPECT_EQ(2u, object.references);
        copy = moved; // assignment into a moved-from owner
        EXPECT_EQ(3u, object.references);
        moved = moved; // self-assignment keeps the count
        EXPECT_EQ(3u, object.references);
    }
    EXPECT_EQ(0u, object.references);
}

TEST(ScopedHandles, SelectPutsThePreviousObjectBack)
{
    CScopedCreatedDC dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    HGDIOBJ before = ::GetCurrentObject(dc, OBJ_BRUSH);
    CScopedBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
    {
        CScopedSelect select(dc, brush);
        EXPECT_EQ(brush.Get(), ::GetCurrentObject(dc, OBJ_BRUSH));
    }
    EXPECT_EQ(before, ::GetCurrentObject(dc, OBJ_BRUSH));
}

TEST(ScopedHandles, IconInformationBitmapsGoWithTheOwnerOrTheNextRead)
{
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_NE(icon, nullptr);
    HBITMAP firstColour = nullptr;
    HBITMAP firstMask = nullptr;
    {
        CScopedIconInfo info;
        ASSERT_TRUE(info.Read(icon));
        firstColour = info->hbmColor;
        firstMask = info->hbmMask;
        ASSERT_NE(firstMask, nullptr);
        ASSERT_TRUE(info.Read(icon));
        EXPECT_EQ(::GetObjectType(firstMask), 0u) << "a second read releases the first pair";
        if (firstColour) {
            EXPECT_EQ(::GetObjectType(firstColour), 0u);
        }
        firstMask = info->hbmMask;
        EXPECT_EQ(::GetObjectType(firstMask), static_cast<DWORD>(OBJ_BITMAP));
        EXPECT_FALSE(info.Read(nullptr));
        EXPECT_EQ(::GetObjectType(firstMask), 0u);
        EXPECT_EQ(info->hbmMask, nullptr);
        ASSERT_TRUE(info.Read(icon));
        firstMask = info->hbmMask;
    }
    EXPECT_EQ(::GetObjectType(firstMask), 0u) << "the owner deletes what it read";
}

} // namespace
