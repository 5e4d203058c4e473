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
#if __has_include("framework/win/Dialog.h")
#include "framework/win/Dialog.h"
#endif
#if __has_include("framework/win/DataExchange.h")
#include "framework/win/DataExchange.h"
#endif
#if __has_include("framework/win/Controls.h")
#include "framework/win/Controls.h"
#endif
#if __has_include("framework/win/PropertySheet.h")
#include "framework/win/PropertySheet.h"
#endif
#if __has_include("framework/win/FileDialog.h")
#include "framework/win/FileDialog.h"
#endif
#if __has_include("framework/win/ColorDialog.h")
#include "framework/win/ColorDialog.h"
#endif
#if __has_include("framework/win/OleDragDrop.h")
#include "framework/win/OleDragDrop.h"
#endif
#if __has_include("framework/frame/FrameWnd.h")
#include "framework/frame/FrameWnd.h"
#endif
#if __has_include("framework/frame/View.h")
#include "framework/frame/View.h"
#endif
#if __has_include("framework/frame/ControlBar.h")
#include "framework/frame/ControlBar.h"
#endif
#if __has_include("framework/frame/ToolBar.h")
#include "framework/frame/ToolBar.h"
#endif
#if __has_include("framework/frame/StatusBar.h")
#include "framework/frame/StatusBar.h"
#endif
#if __has_include("framework/frame/SplitterWnd.h")
#include "framework/frame/SplitterWnd.h"
#endif
#if __has_include("framework/html/HtmlView.h")
#include "framework/html/HtmlView.h"
#endif
#if __has_include("framework/html/DHtmlDialog.h")
#include "framework/html/DHtmlDialog.h"
#endif
