// The application object: the folders, settings and branding that every part of the program reads. What the feed
// engine reads of them is the engine's own record, which the application object is.
#pragma once

#include "feeds/EngineContext.h"
#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/win/WinApp.h"

class CReaderApp : public CWinApp, public CEngineContext
{
public:
    CReaderApp();

    HWND GetFrameWindow() const override;

    CStringList m_unsubscribed; // processed links of feeds the user removed
};

extern CReaderApp theApp;
