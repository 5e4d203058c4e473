// Seeing messages of windows the toolkit does not own, and the keyboard while a bar tracks: a process-wide
// subclassing of any window on behalf of hook objects, and a per-thread keyboard hook that offers key presses to
// the registered bars.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

// What a hook object answers for one message.
enum XTPHookResult
{
    xtpHookNotHandled = 0, // offer it to the next object
    xtpHookHandled = 1,    // the hook object's result is the answer; the window procedure is not called
    xtpHookStop = 2        // offer it to no further object; the window procedure runs
};

class CXTPHookManagerHookAble
{
public:
    virtual ~CXTPHookManagerHookAble() = default;
    // hWnd is 0 for keys offered by the keyboard manager. The hook object may change wParam and lParam.
    virtual int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) = 0;
};

// One subclassed window: its hook objects in the order they were added, and its previous procedure.
class CXTPHookSubclass
{
public:
    CXTPHookSubclass(HWND hWnd);
    ~CXTPHookSubclass();
    CXTPHookSubclass(const CXTPHookSubclass&) = delete;
    CXTPHookSubclass& operator=(const CXTPHookSubclass&) = delete;

    std::vector<CXTPHookManagerHookAble*> m_arrHooks;
    WNDPROC m_pOldWndProc;
    HWND m_hWnd;

private:
    friend class CXTPHookManager;
    // Puts the previous procedure back once (at the last removal or at WM_NCDESTROY).
    void Unsubclass();
    // Messages of this window being walked now: the record lives until the outermost walk ends.
    int m_nWalks;
    BOOL m_bRemoved;
};

class CXTPHookManager
{
public:
    CXTPHookManager() = default;
    // Restores every window still subclassed.
    ~CXTPHookManager();
    CXTPHookManager(const CXTPHookManager&) = delete;
    CXTPHookManager& operator=(const CXTPHookManager&) = delete;

    // Appends the hook object to the window's list (once); the window's first hook subclasses it.
    void SetHook(HWND hWnd, CXTPHookManagerHookAble* pHook);
    // A window left without hook objects gets its previous procedure back.
    void RemoveHook(HWND hWnd, CXTPHookManagerHookAble* pHook);
    // The same for every window (a hook object going away).
    void RemoveAll(CXTPHookManagerHookAble* pHook);
    void RemoveAll();

    CXTPHookSubclass* Lookup(HWND hWnd) const;
    int GetHookedWindowCount() const { return static_cast<int>(m_mapHooks.size()); }

private:
    static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(CXTPHookSubclass* pSubclass, HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    void Release(CXTPHookSubclass* pSubclass);

    std::map<HWND, CXTPHookSubclass*> m_mapHooks;
};

// The process-wide hook manager.
CXTPHookManager* XTPHookManager();

// Per thread: a keyboard hook and a call-window-procedure hook while at least one object is registered.
class CXTPKeyboardManager
{
public:
    CXTPKeyboardManager();
    ~CXTPKeyboardManager();
    CXTPKeyboardManager(const CXTPKeyboardManager&) = delete;
    CXTPKeyboardManager& operator=(const CXTPKeyboardManager&) = delete;

    void HookKeyboard(CXTPHookManagerHookAble* pHook);
    void UnhookKeyboard(CXTPHookManagerHookAble* pHook);
    BOOL IsKeyboardHooked() const { return m_hHookKeyboard != nullptr; }
    BOOL IsRegistered(const CXTPHookManagerHookAble* pHook) const;

    // Offers a key to the registered objects, newest first; TRUE unless the first object that answers says 2
    // (also TRUE when nobody answers).
    BOOL ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam = 0);

private:
    static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);

    HHOOK m_hHookKeyboard;
    HHOOK m_hHookCallWndProc;
    std::vector<CXTPHookManagerHookAble*> m_lstHooks;
};

// The calling thread's keyboard manager, made on first use and destroyed with the thread.
CXTPKeyboardManager* XTPKeyboardManager();
