// The feed tests' stand-in for the application: a framework application object for the settings profile, and
// the engine's record, which the engine reads.
#pragma once

#include "feeds/EngineContext.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"

class CFeedTestHost : public CWinApp, public CEngineContext
{
public:
    CFeedTestHost() { SetEngineContext(this); }
    HWND GetFrameWindow() const override { return m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr; }
};

extern CFeedTestHost theHost;
