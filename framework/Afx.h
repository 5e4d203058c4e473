// Everything of our application framework, for code written against it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>


#if __has_include("framework/core/AfxString.h")
#include "framework/core/AfxString.h"
#endif
#if __has_include("framework/core/AfxModule.h")
#include "framework/core/AfxModule.h"
#endif
#if __has_include("framework/core/Exceptions.h")
#include "framework/core/Exceptions.h"
#endif
#if __has_include("framework/core/Object.h")
#include "framework/core/Object.h"
#endif
#if __has_include("framework/core/Collections.h")
#include "framework/core/Collections.h"
#endif
#if __has_include("framework/core/File.h")
#include "framework/core/File.h"
#endif
#if __has_include("framework/core/Archive.h")
#include "framework/core/Archive.h"
#endif
#if __has_include("framework/core/Geometry.h")
#include "framework/core/Geometry.h"
#endif
#if __has_include("framework/core/DateTime.h")
#include "framework/core/DateTime.h"
#endif
#if __has_include("framework/core/Sync.h")
#include "framework/core/Sync.h"
#endif
#if __has_include("framework/core/ProfileStore.h")
#include "framework/core/ProfileStore.h"
#endif
#if __has_include("framework/core/ComSupport.h")
#include "framework/core/ComSupport.h"
#endif
#if __has_include("framework/win/CmdTarget.h")
#include "framework/win/CmdTarget.h"
#endif
#if __has_include("framework/win/Wnd.h")
#include "framework/win/Wnd.h"
#endif
#if __has_include("framework/win/WinThread.h")
#include "framework/win/WinThread.h"
#endif
#if __has_include("framework/win/WinApp.h")
#include "framework/win/WinApp.h"
#endif
#if __has_include("framework/win/Gdi.h")
#include "framework/win/Gdi.h"
#endif
#if __has_include("framework/win/Dc.h")
#include "framework/win/Dc.h"
#endif
#if __has_include("framework/win/Menu.h")
#include "framework/win/Menu.h"
#endif
#if __has_include("framework/win/ImageList.h")
#include "framework/win/ImageList.h"
#endif
