#include "framework/core/Sync.h"

CSyncObject::CSyncObject(LPCWSTR) : m_hObject(nullptr) {}

CSyncObject::~CSyncObject()
{
    if (m_hObject)
        ::CloseHandle(m_hObject);
}

BOOL CSyncObject::Lock(DWORD timeout)
{
    if (!m_hObject)
        return FALSE;
    const DWORD result = ::WaitForSingleObject(m_hObject, timeout);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

BOOL CSyncObject::Unlock(LONG, LONG*)
{
    return TRUE;
}

CCriticalSection::CCriticalSection()
{
    ::InitializeCriticalSection(&m_sect);
}

CCriticalSection::~CCriticalSection()
{
    ::DeleteCriticalSection(&m_sect);
}

BOOL CCriticalSection::Lock()
{
    ::EnterCriticalSection(&m_sect);
    return TRUE;
}

BOOL CCriticalSection::Lock(DWORD timeout)
{
    if (timeout == INFINITE)
        return Lock();
    return ::TryEnterCriticalSection(&m_sect);
}

BOOL CCriticalSection::Unlock()
{
    ::LeaveCriticalSection(&m_sect);
    return TRUE;
}

CEvent::CEvent(BOOL initiallySignalled, BOOL manualReset, LPCWSTR name, LPSECURITY_ATTRIBUTES attributes)
    : CSyncObject(name)
{
    m_hObject = ::CreateEventW(attributes, manualReset, initiallySignalled, name);
}

BOOL CEvent::SetEvent()
{
    return m_hObject && ::SetEvent(m_hObject);
}

BOOL CEvent::PulseEvent()
{
    return m_hObject && ::PulseEvent(m_hObject);
}

BOOL CEvent::ResetEvent()
{
    return m_hObject && ::ResetEvent(m_hObject);
}

BOOL CEvent::Unlock()
{
    return TRUE;
}

CMutex::CMutex(BOOL initiallyOwned, LPCWSTR name, LPSECURITY_ATTRIBUTES attributes) : CSyncObject(name)
{
    m_hObject = ::CreateMutexW(attributes, initiallyOwned, name);
}

BOOL CMutex::Unlock()
{
    return m_hObject && ::ReleaseMutex(m_hObject);
}

CSemaphore::CSemaphore(LONG initialCount, LONG maximumCount, LPCWSTR name, LPSECURITY_ATTRIBUTES attributes)
    : CSyncObject(name)
{
    m_hObject = ::CreateSemaphoreW(attributes, initialCount, maximumCount, name);
}

BOOL CSemaphore::Unlock()
{
    return Unlock(1, nullptr);
}

BOOL CSemaphore::Unlock(LONG count, LONG* previousCount)
{
    return m_hObject && ::ReleaseSemaphore(m_hObject, count, previousCount);
}

CSingleLock::CSingleLock(CSyncObject* object, BOOL initialLock)
    : m_pObject(object), m_hObject(object ? object->m_hObject : nullptr), m_bAcquired(FALSE)
{
    if (initialLock)
        Lock();
}

CSingleLock::~CSingleLock()
{
    Unlock();
}

BOOL CSingleLock::Lock(DWORD timeout)
{
    if (!m_pObject)
        return FALSE;
    // Taking it twice through one lock would need two releases that this lock never makes.
    if (m_bAcquired)
        return TRUE;
    m_bAcquired = m_pObject->Lock(timeout);
    return m_bAcquired;
}

BOOL CSingleLock::Unlock()
{
    if (m_pObject && m_bAcquired)
        m_bAcquired = !m_pObject->Unlock();
    return !m_bAcquired;
}

BOOL CSingleLock::Unlock(LONG count, LONG* previousCount)
{
    if (m_pObject && m_bAcquired)
        m_bAcquired = !m_pObject->Unlock(count, previousCount);
    return !m_bAcquired;
}
