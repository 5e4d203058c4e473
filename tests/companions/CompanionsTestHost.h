// The companion tests' stand-in for the application: a framework application object for the settings profile,
// and the engine's record.
#pragma once

#include "feeds/EngineContext.h"
#include "framework/win/WinApp.h"

class CCompanionsTestHost : public CWinApp, public CEngineContext
{
public:
    CCompanionsTestHost() { SetEngineContext(this); }
};

extern CCompanionsTestHost theCompanionsHost;
