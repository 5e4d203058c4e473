// The application object. Start-up and shut-down come with the main window; the fields the engine reads start
// with the engine record's values.
#include "app/ReaderApp.h"

#include "feeds/HttpFetch.h"
#include "framework/win/Wnd.h"

CReaderApp::CReaderApp()
{
    SetEngineContext(this);
    // The pages the views fetch go through the same proxy as the feeds.
    UseEngineHttpForPages();
}

HWND CReaderApp::GetFrameWindow() const
{
    return m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
}

CReaderApp theApp;
