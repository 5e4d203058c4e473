// The feed tests' stand-in for the application: a framework application object for the settings profile, and
// the engine's record, which the engine reads; and the host set up for the update tests.
#pragma once

#include "feeds/EngineContext.h"
#include "framework/win/WinApp.h"
#include "framework/win/Wnd.h"
#include "tests/support/TestSupport.h"

class CFeedTestHost : public CWinApp, public CEngineContext
{
public:
    CFeedTestHost() { SetEngineContext(this); }
    HWND GetFrameWindow() const override { return m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr; }
};

extern CFeedTestHost theHost;

// While one lives, the host keeps its data in the folder given and its profile under "Lanternquill Tests", with
// no "DontInstall" answer there; the data folder is put back and the answer cleared at the end.
class UpdateSandbox
{
public:
    explicit UpdateSandbox(const lqtest::TempFolder& data);
    ~UpdateSandbox();
    UpdateSandbox(const UpdateSandbox&) = delete;
    UpdateSandbox& operator=(const UpdateSandbox&) = delete;

private:
    CString m_savedFolder;
};
