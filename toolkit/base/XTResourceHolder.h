// Where the toolkit loads its own resources from: the toolkit resource module, the holder that loads strings,
// menus, bitmaps and dialog templates from it, and a scoped switch of the framework's resource module to it.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/win/Gdi.h"
#include "framework/win/Menu.h"

#include <windows.h>

// The toolkit resource module and instance: the program's own module until set otherwise.
HMODULE XTGetResourceModule();
HINSTANCE XTGetResourceInstance();
// A null instance takes the module.
void XTSetResourceModule(HMODULE hModule, HINSTANCE hInstance = nullptr);

class CXTResourceHolder
{
public:
    CXTResourceHolder() = default;
    virtual ~CXTResourceHolder() = default;
    CXTResourceHolder(const CXTResourceHolder&) = delete;
    CXTResourceHolder& operator=(const CXTResourceHolder&) = delete;

    // Each loader tries the toolkit resource module, then the framework's resource module when that differs.
    virtual BOOL LoadString(CString* pString, UINT nID);
    virtual BOOL LoadMenu(CMenu* pMenu, UINT nID);
    virtual BOOL LoadBitmap(CBitmap* pBitmap, UINT nID);
    // The dialog template, locked (it lives as long as its module), or null.
    virtual LPCDLGTEMPLATE LoadDialogTemplate(UINT nID);
    // A bar loads its own toolbar resource; the holder only points the framework at the toolkit's module.
    template <class TToolBar> BOOL LoadToolBar(TToolBar* pToolBar, UINT nID);

    // The string nID in the framework's message box; its answer, or 0 when the string is missing.
    int ShowMessageBox(UINT nID, UINT nType);
};

// The process-wide holder, made on first use.
CXTResourceHolder* XTGetResourceHolder();

// While one is active, the framework loads resources from the toolkit resource module; when it goes the
// framework's previous resource and instance handles come back.
class CXTResourceSwitch
{
public:
    CXTResourceSwitch();
    ~CXTResourceSwitch();
    CXTResourceSwitch(const CXTResourceSwitch&) = delete;
    CXTResourceSwitch& operator=(const CXTResourceSwitch&) = delete;

    // Puts the previous handles back now.
    void Restore();

private:
    HINSTANCE m_hResourcePrev;
    HINSTANCE m_hInstancePrev;
    BOOL m_bActive;
};

template <class TToolBar> BOOL CXTResourceHolder::LoadToolBar(TToolBar* pToolBar, UINT nID)
{
    if (pToolBar == nullptr)
        return FALSE;
    CXTResourceSwitch resources;
    return pToolBar->LoadToolBar(nID);
}
