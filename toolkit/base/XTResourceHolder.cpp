#include "toolkit/base/XTResourceHolder.h"

#include "framework/core/AfxModule.h"
#include "framework/core/ScopedHandles.h"
#include "framework/win/WinApp.h"

namespace {

HMODULE g_hResourceModule = nullptr;
HINSTANCE g_hResourceInstance = nullptr;

// The modules to try in order: the toolkit's, then the framework's when it is another one.
int ResourceModules(HMODULE modules[2])
{
    modules[0] = XTGetResourceModule();
    HMODULE hFramework = AfxGetResourceHandle();
    if (hFramework != nullptr && hFramework != modules[0]) {
        modules[1] = hFramework;
        return 2;
    }
    return 1;
}

} // namespace

HMODULE XTGetResourceModule()
{
    return g_hResourceModule != nullptr ? g_hResourceModule : ::GetModuleHandleW(nullptr);
}

HINSTANCE XTGetResourceInstance()
{
    return g_hResourceInstance != nullptr ? g_hResourceInstance : XTGetResourceModule();
}

void XTSetResourceModule(HMODULE hModule, HINSTANCE hInstance)
{
    g_hResourceModule = hModule;
    g_hResourceInstance = hInstance != nullptr ? hInstance : hModule;
}

BOOL CXTResourceHolder::LoadString(CString* pString, UINT nID)
{
    if (pString == nullptr)
        return FALSE;
    HMODULE modules[2];
    const int nCount = ResourceModules(modules);
    for (int i = 0; i < nCount; ++i) {
        if (pString->LoadString(modules[i], nID))
            return TRUE;
    }
    return FALSE;
}

BOOL CXTResourceHolder::LoadMenu(CMenu* pMenu, UINT nID)
{
    if (pMenu == nullptr)
        return FALSE;
    HMODULE modules[2];
    const int nCount = ResourceModules(modules);
    for (int i = 0; i < nCount; ++i) {
        if (HMENU hMenu = ::LoadMenuW(modules[i], MAKEINTRESOURCEW(nID))) {
            if (pMenu->Attach(hMenu))
                return TRUE;
            ::DestroyMenu(hMenu);
            return FALSE;
        }
    }
    return FALSE;
}

BOOL CXTResourceHolder::LoadBitmap(CBitmap* pBitmap, UINT nID)
{
    if (pBitmap == nullptr)
        return FALSE;
    HMODULE modules[2];
    const int nCount = ResourceModules(modules);
    for (int i = 0; i < nCount; ++i) {
        if (CScopedBitmap hBitmap{::LoadBitmapW(modules[i], MAKEINTRESOURCEW(nID))}) {
            if (!pBitmap->Attach(hBitmap))
                return FALSE;
            hBitmap.Detach();
            return TRUE;
        }
    }
    return FALSE;
}

LPCDLGTEMPLATE CXTResourceHolder::LoadDialogTemplate(UINT nID)
{
    HMODULE modules[2];
    const int nCount = ResourceModules(modules);
    for (int i = 0; i < nCount; ++i) {
        HRSRC hResource = ::FindResourceW(modules[i], MAKEINTRESOURCEW(nID), RT_DIALOG);
        if (hResource == nullptr)
            continue;
        HGLOBAL hTemplate = ::LoadResource(modules[i], hResource);
        return hTemplate != nullptr ? static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)) : nullptr;
    }
    return nullptr;
}

int CXTResourceHolder::ShowMessageBox(UINT nID, UINT nType)
{
    CString strMessage;
    if (!LoadString(&strMessage, nID))
        return 0;
    return AfxMessageBox(strMessage, nType);
}

CXTResourceHolder* XTGetResourceHolder()
{
    static CXTResourceHolder s_holder;
    return &s_holder;
}

CXTResourceSwitch::CXTResourceSwitch()
    : m_hResourcePrev(AfxGetResourceHandle()), m_hInstancePrev(AfxGetInstanceHandle()), m_bActive(TRUE)
{
    AfxSetResourceHandle(XTGetResourceModule());
    AfxSetInstanceHandle(XTGetResourceInstance());
}

CXTResourceSwitch::~CXTResourceSwitch()
{
    Restore();
}

void CXTResourceSwitch::Restore()
{
    if (!m_bActive)
        return;
    AfxSetResourceHandle(m_hResourcePrev);
    AfxSetInstanceHandle(m_hInstancePrev);
    m_bActive = FALSE;
}
