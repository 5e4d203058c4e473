// Values shared by the task panel, its groups, items and paint managers.
#pragma once

#include <windows.h>

#include "toolkit/base/ToolkitMessages.h"

// A margin or spacing that holds this value takes the paint manager's default.
const int TaskPanelDefaultMetric = static_cast<int>(0x80000000);

// What WM_TASKPANEL_NOTIFY tells the panel's owner (wParam; lParam the item).
enum XTPTaskPanelNotifyCode
{
    TaskPanelNotifyClick = 1,      // an item was clicked
    TaskPanelNotifyRightClick = 2, // the right button went down on an item that accepts the focus
    TaskPanelNotifyStartDrag = 3,  // before an item drag starts: an answer of -1 cancels it
    TaskPanelNotifyRename = 3,     // before a new caption is set: any answer but 0 keeps the old one
};

enum XTPTaskPanelItemType
{
    TaskPanelItemGroup = 0,
    TaskPanelItemLink = 1,
    TaskPanelItemText = 2,
    TaskPanelItemControl = 3, // hosts a child window
};

// Which groups are open: each its own (0), or only the active group (1 and 2).
enum XTPTaskPanelBehaviour
{
    TaskPanelBehaviourEachGroup = 0,        // default layout: icon left, hot links underlined
    TaskPanelBehaviourActiveGroupIcons = 1, // default layout: icon above the text, frame around the hot icon
    TaskPanelBehaviourActiveGroup = 2,      // default layout: icon left, frame around the whole hot item
};

enum XTPTaskPanelItemLayout
{
    TaskPanelLayoutDefault = 0, // the panel's, which defaults by behaviour
    TaskPanelLayoutIconGrid = 1,
    TaskPanelLayoutIconLeft = 2,
    TaskPanelLayoutIconAbove = 3,
};

enum XTPTaskPanelHotTrackStyle
{
    TaskPanelHotTrackDefault = 0, // by behaviour
    TaskPanelHotTrackUnderline = 1,
    TaskPanelHotTrackIconFrame = 2,
    TaskPanelHotTrackItemFrame = 3, // the item reaches the full client width
    TaskPanelHotTrackNone = 4,      // icon grid only
};

enum XTPTaskPanelCaptionButtonStyle
{
    TaskPanelCaptionButtonGlyph = 1, // style bitmaps, or a glyph icon with chevrons
    TaskPanelCaptionButtonSquare = 2,
    TaskPanelCaptionButtonTriangle = 3,
};

// Theme kinds of a paint manager, and theme ids of a panel.
enum XTPTaskPanelTheme
{
    TaskPanelThemeClassic = 0,
    TaskPanelThemeExplorer = 2,
    TaskPanelThemeCustom = 12,
};

enum XTPTaskPanelAnimationMode
{
    TaskPanelAnimationAsSet = 0,  // the panel's own switch (EnableAnimation)
    TaskPanelAnimationSystem = 2, // the system's menu-animation setting, read again on each settings change
};

enum XTPTaskPanelTimer
{
    TaskPanelTimerAnimation = 200,
    TaskPanelTimerScrollRepeat = 202,
    TaskPanelTimerHoverExpand = 203,
};
