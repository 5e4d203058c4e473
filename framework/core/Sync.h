// Synchronisation objects over the platform's kernel objects, and a scoped lock that releases what it holds.
// A constructor whose platform call fails leaves m_hObject null: Lock then fails instead of throwing.
#pragma once

#include <windows.h>

class CSyncObject
{
public:
    explicit CSyncObject(LPCWSTR name = nullptr);
    virtual ~CSyncObject();
    CSyncObject(const CSyncObject&) = delete;
    CSyncObject& operator=(const CSyncObject&) = delete;

    operator HANDLE() const noexcept { return m_hObject; }

    // TRUE when the object was acquired within the time-out (an abandoned mutex counts as acquired).
    virtual BOOL Lock(DWORD timeout = INFINITE);
    virtual BOOL Unlock() = 0;
    virtual BOOL Unlock(LONG count, LONG* previousCount = nullptr);

    HANDLE m_hObject;
};

class CCriticalSection : public CSyncObject
{
public:
    CCriticalSection();
    ~CCriticalSection() override;

    operator CRITICAL_SECTION*() noexcept { return &m_sect; }

    BOOL Lock();
    // A critical section cannot wait for a while: any time-out other than INFINITE only tries once.
    BOOL Lock(DWORD timeout) override;
    BOOL Unlock() override;
    using CSyncObject::Unlock;

    CRITICAL_SECTION m_sect;
};

class CEvent : public CSyncObject
{
public:
    CEvent(BOOL initiallySignalled = FALSE, BOOL manualReset = FALSE, LPCWSTR name = nullptr,
           LPSECURITY_ATTRIBUTES attributes = nullptr);

    BOOL SetEvent();
    BOOL PulseEvent();
    BOOL ResetEvent();
    // Waiting on an event takes nothing that needs giving back.
    BOOL Unlock() override;
    using CSyncObject::Unlock;
};

class CMutex : public CSyncObject
{
public:
    CMutex(BOOL initiallyOwned = FALSE, LPCWSTR name = nullptr, LPSECURITY_ATTRIBUTES attributes = nullptr);

    BOOL Unlock() override;
    using CSyncObject::Unlock;
};

class CSemaphore : public CSyncObject
{
public:
    CSemaphore(LONG initialCount = 1, LONG maximumCount = 1, LPCWSTR name = nullptr,
               LPSECURITY_ATTRIBUTES attributes = nullptr);

    BOOL Unlock() override;
    BOOL Unlock(LONG count, LONG* previousCount = nullptr) override;
};

// Holds one synchronisation object for a scope; the destructor releases it when this lock took it.
class CSingleLock
{
public:
    explicit CSingleLock(CSyncObject* object, BOOL initialLock = FALSE);
    ~CSingleLock();
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    BOOL Lock(DWORD timeout = INFINITE);
    BOOL Unlock();
    BOOL Unlock(LONG count, LONG* previousCount = nullptr);
    BOOL IsLocked() const noexcept { return m_bAcquired; }

protected:
    CSyncObject* m_pObject;
    HANDLE m_hObject;
    BOOL m_bAcquired;
};
