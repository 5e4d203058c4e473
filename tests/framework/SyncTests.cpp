// Synchronisation objects: what another thread sees while one holds them, and what a scoped lock gives back.
#include "framework/core/Sync.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

// Whether another thread could take the object without waiting (and gives it straight back).
template <typename Object> bool FreeForAnotherThread(Object& object)
{
    BOOL taken = FALSE;
    std::thread other([&] {
        taken = object.Lock(0);
        if (taken)
            object.Unlock();
    });
    other.join();
    return taken != FALSE;
}

TEST(Sync, SingleLockHoldsForItsScope)
{
    CCriticalSection section;
    CMutex mutex;
    for (CSyncObject* object : {static_cast<CSyncObject*>(&section), static_cast<CSyncObject*>(&mutex)}) {
        {
            CSingleLock lock(object, TRUE);
            EXPECT_TRUE(lock.IsLocked());
            EXPECT_FALSE(FreeForAnotherThread(*object));
            EXPECT_TRUE(lock.Unlock());
            EXPECT_FALSE(lock.IsLocked());
            EXPECT_TRUE(FreeForAnotherThread(*object));
            EXPECT_TRUE(lock.Lock());
            EXPECT_FALSE(FreeForAnotherThread(*object));
        }
        EXPECT_TRUE(FreeForAnotherThread(*object));

        CSingleLock notTaken(object);
        EXPECT_FALSE(notTaken.IsLocked());
        EXPECT_TRUE(FreeForAnotherThread(*object));
    }
}

TEST(Sync, LockWithTimeOutFailsWhileAnotherThreadHolds)
{
    CMutex mutex(TRUE);
    BOOL gotIt = TRUE;
    std::thread other([&] {
        CSingleLock lock(&mutex);
        gotIt = lock.Lock(0);
    });
    other.join();
    EXPECT_FALSE(gotIt);
    EXPECT_TRUE(mutex.Unlock());

    // A mutex whose owner ended without releasing it is still handed over.
    CMutex abandoned;
    std::thread owner([&] { abandoned.Lock(); });
    owner.join();
    CSingleLock lock(&abandoned);
    EXPECT_TRUE(lock.Lock(0));
}

TEST(Sync, EventResetModes)
{
    CEvent automatic;
    EXPECT_FALSE(automatic.Lock(0));
    automatic.SetEvent();
    EXPECT_TRUE(automatic.Lock(0));
    EXPECT_FALSE(automatic.Lock(0));

    CEvent manual(FALSE, TRUE);
    manual.SetEvent();
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0));
    manual.ResetEvent();
    EXPECT_FALSE(manual.Lock(0));

    CEvent initially(TRUE, TRUE);
    EXPECT_TRUE(initially.Lock(0));

    // Two objects with one name share the kernel object, as the worker's stop event is shared.
    const std::wstring name = L"LanternquillSyncTest-" + std::to_wstring(GetCurrentProcessId());
    CEvent first(FALSE, TRUE, name.c_str());
    CEvent second(FALSE, TRUE, name.c_str());
    ASSERT_NE(nullptr, static_cast<HANDLE>(second));
    first.SetEvent();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second, 0));
}

TEST(Sync, SemaphoreCountsItsReleases)
{
    CSemaphore semaphore(2, 3);
    EXPECT_TRUE(semaphore.Lock(0));
    EXPECT_TRUE(semaphore.Lock(0));
    EXPECT_FALSE(semaphore.Lock(0));
    LONG previous = -1;
    EXPECT_TRUE(semaphore.Unlock(3, &previous));
    EXPECT_EQ(0, previous);
    EXPECT_FALSE(semaphore.Unlock());
}

} // namespace
