// The views tests' stand-in for the application: a framework application object for the settings profile and
// the main window, and the engine's record.
#pragma once

#include "feeds/EngineContext.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"

class CViewsTestHost : public CWinApp, public CEngineContext
{
public:
    CViewsTestHost() { SetEngineContext(this); }
    HWND GetFrameWindow() const override { return m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr; }
};

extern CViewsTestHost theViewsHost;
