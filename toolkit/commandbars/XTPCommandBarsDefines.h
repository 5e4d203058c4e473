// What the command bars share: the messages they send to their site and the records those carry, the kinds and
// positions of bars, the kinds, hide flags and flags of controls, and the toolkit's layout modes.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "framework/core/AfxString.h"
#include "framework/frame/ControlBar.h"
#include "framework/win/OleDragDrop.h"
#include "toolkit/base/ToolkitMessages.h"

class CMenu;
class CXTPCommandBar;
class CXTPControl;

// The notification code of WM_XTP_CONTROL_EXECUTE's record.
#define XTP_NOTIFY_EXECUTE 100

// The toolkit's layout modes beside the framework's LM_ values.
#define LM_HIDEWRAP 0x80
#define LM_POPUP 0x100

// A drop effect that leaves the dragged control where it was.
#define XTP_DROPEFFECT_STAY 5

// Window timers of a command bar.
#define XTP_TID_HOVER 112223
#define XTP_TID_EXPAND 112224

enum XTPBarType
{
    xtpBarTypeMenuBar = 0,
    xtpBarTypeNormal = 1,
    xtpBarTypePopup = 2
};

enum XTPBarPosition
{
    xtpBarTop = 0,
    xtpBarBottom = 1,
    xtpBarLeft = 2,
    xtpBarRight = 3,
    xtpBarFloating = 4,
    xtpBarPopup = 5,
    xtpBarListBox = 6,
    xtpBarNone = 7
};

enum XTPControlType
{
    xtpControlError = 0,
    xtpControlButton = 1,
    xtpControlPopup = 2,
    xtpControlButtonPopup = 3,
    xtpControlSplitButtonPopup = 4,
    xtpControlComboBox = 5,
    xtpControlEdit = 6,
    xtpControlCustom = 7,
    xtpControlLabel = 8
};

enum XTPButtonStyle
{
    xtpButtonAutomatic = 0,
    xtpButtonCaption = 1,
    xtpButtonIcon = 2,
    xtpButtonIconAndCaption = 3
};

// Hide flags of a control: any set bit hides it.
enum XTPControlHideFlags
{
    xtpNoHide = 0,
    xtpHideGeneric = 0x1,
    xtpHideWrap = 0x2,
    xtpHideDockingPosition = 0x4,
    xtpHideScroll = 0x8,
    xtpHideCustomize = 0x10,
    xtpHideExpand = 0x20,
    xtpHideDocTemplate = 0x40
};

// Behaviour flags of a control.
enum XTPControlFlags
{
    xtpFlagRightAlign = 0x1,
    xtpFlagSkipFocus = 0x2,
    xtpFlagManualUpdate = 0x8,
    xtpFlagNoMovable = 0x10
};

// Tracking modes of a bar.
enum XTPTrackingMode
{
    xtpTrackingNone = 0,
    xtpTrackingKeyboard = 1,
    xtpTrackingPopup = 2
};

// Selected states of a control.
enum XTPSelectedState
{
    xtpNotSelected = 0,
    xtpSelectedByMouse = 1,
    xtpSelectedByKeyboard = 2
};

// Navigation codes of ProcessSpecialKey.
enum XTPSpecialKey
{
    xtpKeyNext = 0,
    xtpKeyBack = 1,
    xtpKeyPopup = 2,
    xtpKeyDown = 3,
    xtpKeyEscape = 4,
    xtpKeyReturn = 5,
    xtpKeyHome = 6,
    xtpKeyEnd = 7
};

// WM_XTP_CONTROL_EXECUTE's lParam: a notification header (window 0, the id, code 100), then the control.
struct NMXTPCONTROL
{
    NMHDR hdr;
    CXTPControl* pControl;
};

// WM_XTP_CREATE_COMMANDBAR's lParam. The site may put a bar of its own into pCommandBar and answer non-zero.
struct XTP_COMMANDBARS_CREATEBAR
{
    CXTPCommandBar* pCommandBar;
    BOOL bPopup;
    BOOL bReserved;
    BOOL bToolBar;
    BOOL bFloating;
    LPCTSTR lpcstrCaption;
    UINT nID;
};

// WM_XTP_CREATE_CONTROL's lParam. The site may supply the control, or change the id, caption, type and style.
struct XTP_COMMANDBARS_CREATECONTROL
{
    int nID;
    CXTPControl* pControl;
    BOOL bToolBar;
    int nIndex;
    CMenu* pMenu;
    CXTPCommandBar* pCommandBar;
    CString strCaption;
    XTPControlType controlType;
    XTPButtonStyle buttonStyle;
};

inline BOOL IsPopupType(int nType)
{
    return nType == xtpControlPopup || nType == xtpControlButtonPopup || nType == xtpControlSplitButtonPopup;
}

// Bars at these positions lay their controls out vertically.
inline BOOL IsVerticalPosition(int nPosition)
{
    return nPosition == xtpBarLeft || nPosition == xtpBarRight || nPosition == xtpBarPopup;
}
