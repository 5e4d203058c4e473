// Scoped owners of Win32 handles and COM pointers: each releases what it holds on every path out of a scope.
// One header for the whole program, so no file keeps a private copy.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <winhttp.h>
#include <unknwn.h>

#include <utility>

// The owner of one handle; Traits says what "no handle" is and how one is released.
template <class Traits> class CScopedHandle
{
public:
    using Handle = typename Traits::Handle;

    CScopedHandle() : m_handle(Traits::Invalid()) {}
    explicit CScopedHandle(Handle handle) : m_handle(handle) {}
    ~CScopedHandle() { Close(); }

    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    CScopedHandle(CScopedHandle&& other) noexcept : m_handle(other.Detach()) {}
    CScopedHandle& operator=(CScopedHandle&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    bool IsValid() const { return m_handle != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }

    // Releases what is held and takes the new handle.
    void Attach(Handle handle)
    {
        if (handle != m_handle) {
            Close();
            m_handle = handle;
        }
    }
    Handle Detach()
    {
        Handle handle = m_handle;
        m_handle = Traits::Invalid();
        return handle;
    }
    void Close()
    {
        if (IsValid())
            Traits::Release(m_handle);
        m_handle = Traits::Invalid();
    }
    // For functions that return a handle through an out parameter; what was held is released first.
    Handle* Receive()
    {
        Close();
        return &m_handle;
    }

private:
    Handle m_handle;
};

namespace ScopedTraits {
struct File
{
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle h) { ::CloseHandle(h); }
};
struct Find
{
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Release(Handle h) { ::FindClose(h); }
};
struct Kernel
{
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::CloseHandle(h); }
};
struct Internet
{
    using Handle = HINTERNET;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::WinHttpCloseHandle(h); }
};
struct RegistryKey
{
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::RegCloseKey(h); }
};
template <class T> struct GdiObject
{
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::DeleteObject(h); }
};
struct CreatedDC
{
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::DeleteDC(h); }
};
struct Icon
{
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::DestroyIcon(h); }
};
struct Module
{
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::FreeLibrary(h); }
};
struct GlobalMemory
{
    using Handle = HGLOBAL;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::GlobalFree(h); }
};
struct ImageList
{
    using Handle = HIMAGELIST;
    static Handle Invalid() { return nullptr; }
    static void Release(Handle h) { ::ImageList_Destroy(h); }
};
} // namespace ScopedTraits

// A file handle from CreateFileW (INVALID_HANDLE_VALUE when none).
using CScopedFile = CScopedHandle<ScopedTraits::File>;
// A search from FindFirstFileW (INVALID_HANDLE_VALUE when none).
using CScopedFindHandle = CScopedHandle<ScopedTraits::Find>;
// Threads, events, mutexes, processes (NULL when none).
using CScopedKernelHandle = CScopedHandle<ScopedTraits::Kernel>;
// A WinHTTP session, connection or request.
using CScopedInternet = CScopedHandle<ScopedTraits::Internet>;
using CScopedRegKey = CScopedHandle<ScopedTraits::RegistryKey>;
using CScopedBitmap = CScopedHandle<ScopedTraits::GdiObject<HBITMAP>>;
using CScopedFont = CScopedHandle<ScopedTraits::GdiObject<HFONT>>;
using CScopedBrush = CScopedHandle<ScopedTraits::GdiObject<HBRUSH>>;
using CScopedPenHandle = CScopedHandle<ScopedTraits::GdiObject<HPEN>>;
using CScopedRegion = CScopedHandle<ScopedTraits::GdiObject<HRGN>>;
// A DC from CreateCompatibleDC or CreateDC.
using CScopedCreatedDC = CScopedHandle<ScopedTraits::CreatedDC>;
using CScopedIcon = CScopedHandle<ScopedTraits::Icon>;
using CScopedModule = CScopedHandle<ScopedTraits::Module>;
using CScopedGlobal = CScopedHandle<ScopedTraits::GlobalMemory>;
using CScopedImageList = CScopedHandle<ScopedTraits::ImageList>;

// A window's DC from GetDC, given back with ReleaseDC.
class CScopedWindowDC
{
public:
    explicit CScopedWindowDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~CScopedWindowDC()
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }
    CScopedWindowDC(const CScopedWindowDC&) = delete;
    CScopedWindowDC& operator=(const CScopedWindowDC&) = delete;
    HDC Get() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// The colour and mask bitmaps that GetIconInfo hands out with an icon's information, deleted when the owner goes.
class CScopedIconInfo
{
public:
    CScopedIconInfo() = default;
    ~CScopedIconInfo() { Release(); }
    CScopedIconInfo(const CScopedIconInfo&) = delete;
    CScopedIconInfo& operator=(const CScopedIconInfo&) = delete;

    // Reads the icon's information, releasing what was held; false when there is none.
    bool Read(HICON hIcon)
    {
        Release();
        return hIcon && ::GetIconInfo(hIcon, &m_info);
    }
    const ICONINFO& Get() const { return m_info; }
    const ICONINFO* operator->() const { return &m_info; }

private:
    void Release()
    {
        if (m_info.hbmColor)
            ::DeleteObject(m_info.hbmColor);
        if (m_info.hbmMask)
            ::DeleteObject(m_info.hbmMask);
        m_info = ICONINFO{};
    }

    ICONINFO m_info{};
};

// Selects a GDI object into a DC and puts the previous one back.
class CScopedSelect
{
public:
    CScopedSelect(HDC hDC, HGDIOBJ object) : m_hDC(hDC), m_previous(object ? ::SelectObject(hDC, object) : nullptr) {}
    ~CScopedSelect()
    {
        if (m_previous)
            ::SelectObject(m_hDC, m_previous);
    }
    CScopedSelect(const CScopedSelect&) = delete;
    CScopedSelect& operator=(const CScopedSelect&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_previous;
};

// A COM interface pointer released when the owner goes.
template <class T> class CScopedComPtr
{
public:
    CScopedComPtr() = default;
    explicit CScopedComPtr(T* p) : m_p(p) {}
    ~CScopedComPtr() { Release(); }
    CScopedComPtr(const CScopedComPtr& other) : m_p(other.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    CScopedComPtr& operator=(const CScopedComPtr& other)
    {
        // Taken first: releasing our own pointer clears other.m_p too when other is this.
        T* p = other.m_p;
        if (p)
            p->AddRef();
        Release();
        m_p = p;
        return *this;
    }
    CScopedComPtr(CScopedComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CScopedComPtr& operator=(CScopedComPtr&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For functions that hand out an interface through an out parameter.
    T** Receive()
    {
        Release();
        return &m_p;
    }
    void Release()
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }
    T* Detach() { return std::exchange(m_p, nullptr); }

private:
    T* m_p = nullptr;
};

// Holds a critical section for the life of a scope.
class CScopedCriticalSection
{
public:
    explicit CScopedCriticalSection(CRITICAL_SECTION& section) : m_section(section)
    {
        ::EnterCriticalSection(&m_section);
    }
    ~CScopedCriticalSection() { ::LeaveCriticalSection(&m_section); }
    CScopedCriticalSection(const CScopedCriticalSection&) = delete;
    CScopedCriticalSection& operator=(const CScopedCriticalSection&) = delete;

private:
    CRITICAL_SECTION& m_section;
};
