// Resource ids of the command bars' own resources (loaded from the toolkit resource module).
#pragma once

// The customise command's prompt (an empty description and the tooltip "&Customize...").
#define XTP_IDS_CUSTOMIZE 35001

// Cursors of a customise drag: copy, move, and no drop target under the pointer.
#define XTP_IDC_COMMANDBARS_DRAGCOPY 9301
#define XTP_IDC_COMMANDBARS_DRAGMOVE 9302
#define XTP_IDC_COMMANDBARS_DRAGNONE 9303

// Strings of the toolbars and popups.
#define XTP_IDS_ADDORREMOVE 9300
#define XTP_IDS_CONFIRM_RESETTOOLBAR 9349
#define XTP_IDS_CONFIRM_UPDATE 9394
#define XTP_IDS_RESET 9395
#define XTP_IDS_TOOLBAR_OPTIONS 9400
#define XTP_IDS_HIDE_FLOATING 9401
#define XTP_IDS_EXPAND 9402
