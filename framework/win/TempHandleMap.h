// Per-thread maps from platform handles to the wrapper objects of GDI objects, device contexts, menus and image
// lists. A wrapper that owns its handle is entered as permanent; FromHandle on a handle nobody wraps makes a
// temporary wrapper that never frees the handle and lives until the thread next goes idle.
#pragma once

#include <windows.h>

#include <unordered_map>
#include <vector>

// Deletes the calling thread's temporary GDI, device-context, menu and image-list wrappers. The thread's idle
// processing calls it; until then a pointer returned by FromHandle stays valid.
void AfxDeleteTempGraphicsMaps();
// How many temporary wrappers of those kinds the calling thread holds now (for tests and diagnostics).
size_t AfxGetTempGraphicsCount();

namespace afxdetail {

// Records, once per kind of wrapper, the functions that delete and count the calling thread's temporaries of
// that kind.
void RegisterTempMapCleanup(void (*cleanup)(), size_t (*count)());

// TTraits gives `static TObject* CreateTemporary(THandle)` and `static void ForgetHandles(TObject*)`, which clears
// the object's handle fields so that deleting a temporary leaves the platform object alone.
template <class TObject, class THandle, class TTraits> class CGraphicsHandleMap
{
public:
    // The calling thread's map, made on first use and destroyed (with its temporaries) when the thread ends.
    // It lives in fiber-local storage rather than in a C++ thread_local: a thread_local map with a destructor
    // crashed at thread exit under mingw, and wrappers that end late (globals of the main thread) still need it.
    static CGraphicsHandleMap* ForThread()
    {
        const DWORD slot = Slot();
        if (slot == FLS_OUT_OF_INDEXES)
            return nullptr;
        auto* map = static_cast<CGraphicsHandleMap*>(::FlsGetValue(slot));
        if (!map) {
            map = new CGraphicsHandleMap;
            ::FlsSetValue(slot, map);
        }
        return map;
    }

    CGraphicsHandleMap(const CGraphicsHandleMap&) = delete;
    CGraphicsHandleMap& operator=(const CGraphicsHandleMap&) = delete;
    ~CGraphicsHandleMap() { DeleteTemporaries(); }

    TObject* LookupPermanent(THandle handle) const
    {
        auto found = m_permanent.find(handle);
        return found == m_permanent.end() ? nullptr : found->second;
    }

    TObject* LookupTemporary(THandle handle) const
    {
        auto found = m_temporary.find(handle);
        return found == m_temporary.end() ? nullptr : found->second;
    }

    TObject* FromHandle(THandle handle)
    {
        if (!handle)
            return nullptr;
        if (TObject* permanent = LookupPermanent(handle))
            return permanent;
        if (TObject* temporary = LookupTemporary(handle))
            return temporary;
        TObject* made = TTraits::CreateTemporary(handle);
        m_temporary[handle] = made;
        m_owned.push_back(made);
        return made;
    }

    void SetPermanent(THandle handle, TObject* object)
    {
        m_permanent[handle] = object;
        m_temporary.erase(handle);
    }

    // Drops the entries through which FromHandle would find object for handle (a temporary stays owned by the
    // map until the thread goes idle).
    void RemoveHandle(THandle handle, const TObject* object)
    {
        auto permanent = m_permanent.find(handle);
        if (permanent != m_permanent.end() && permanent->second == object)
            m_permanent.erase(permanent);
        auto temporary = m_temporary.find(handle);
        if (temporary != m_temporary.end() && temporary->second == object)
            m_temporary.erase(temporary);
    }

    void DeleteTemporaries()
    {
        // Swapped out first: a destructor may call back into this map.
        std::vector<TObject*> owned;
        owned.swap(m_owned);
        m_temporary.clear();
        for (TObject* object : owned) {
            TTraits::ForgetHandles(object);
            delete object;
        }
    }

private:
    CGraphicsHandleMap() = default;

    static DWORD Slot()
    {
        static const DWORD slot = AllocateSlot();
        return slot;
    }
    static DWORD AllocateSlot()
    {
        RegisterTempMapCleanup(&CleanupThisThread, &CountThisThread);
        return ::FlsAlloc(&DestroyThreadMap);
    }
    static void NTAPI DestroyThreadMap(void* map) { delete static_cast<CGraphicsHandleMap*>(map); }
    // A thread that never made a map has no temporaries to free.
    static void CleanupThisThread()
    {
        const DWORD slot = Slot();
        if (slot == FLS_OUT_OF_INDEXES)
            return;
        if (auto* map = static_cast<CGraphicsHandleMap*>(::FlsGetValue(slot)))
            map->DeleteTemporaries();
    }

    static size_t CountThisThread()
    {
        const DWORD slot = Slot();
        auto* map = slot == FLS_OUT_OF_INDEXES ? nullptr : static_cast<CGraphicsHandleMap*>(::FlsGetValue(slot));
        return map ? map->m_owned.size() : 0;
    }

    std::unordered_map<THandle, TObject*> m_permanent;
    std::unordered_map<THandle, TObject*> m_temporary;
    // Every temporary made, even one whose handle was later detached, so none leaks.
    std::vector<TObject*> m_owned;
};

} // namespace afxdetail
