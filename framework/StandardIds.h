// The standard command, indicator and resource-type ids of the framework (the values programs written against
// it know). Plain defines, so that resource scripts may include this file too; a value defined first stands.
#pragma once

// File commands; the recent-file list takes 16 ids from ID_FILE_MRU_FIRST.
#ifndef ID_FILE_NEW
#define ID_FILE_NEW 0xE100
#endif
#ifndef ID_FILE_OPEN
#define ID_FILE_OPEN 0xE101
#endif
#ifndef ID_FILE_CLOSE
#define ID_FILE_CLOSE 0xE102
#endif
#ifndef ID_FILE_SAVE
#define ID_FILE_SAVE 0xE103
#endif
#ifndef ID_FILE_SAVE_AS
#define ID_FILE_SAVE_AS 0xE104
#endif
#ifndef ID_FILE_PAGE_SETUP
#define ID_FILE_PAGE_SETUP 0xE105
#endif
#ifndef ID_FILE_PRINT_SETUP
#define ID_FILE_PRINT_SETUP 0xE106
#endif
#ifndef ID_FILE_PRINT
#define ID_FILE_PRINT 0xE107
#endif
#ifndef ID_FILE_PRINT_DIRECT
#define ID_FILE_PRINT_DIRECT 0xE108
#endif
#ifndef ID_FILE_PRINT_PREVIEW
#define ID_FILE_PRINT_PREVIEW 0xE109
#endif
#ifndef ID_FILE_MRU_FIRST
#define ID_FILE_MRU_FIRST 0xE110
#endif
#ifndef ID_FILE_MRU_FILE1
#define ID_FILE_MRU_FILE1 0xE110
#endif
#ifndef ID_FILE_MRU_LAST
#define ID_FILE_MRU_LAST 0xE11F
#endif

// Edit commands.
#ifndef ID_EDIT_CLEAR
#define ID_EDIT_CLEAR 0xE120
#endif
#ifndef ID_EDIT_CLEAR_ALL
#define ID_EDIT_CLEAR_ALL 0xE121
#endif
#ifndef ID_EDIT_COPY
#define ID_EDIT_COPY 0xE122
#endif
#ifndef ID_EDIT_CUT
#define ID_EDIT_CUT 0xE123
#endif
#ifndef ID_EDIT_FIND
#define ID_EDIT_FIND 0xE124
#endif
#ifndef ID_EDIT_PASTE
#define ID_EDIT_PASTE 0xE125
#endif
#ifndef ID_EDIT_PASTE_LINK
#define ID_EDIT_PASTE_LINK 0xE126
#endif
#ifndef ID_EDIT_PASTE_SPECIAL
#define ID_EDIT_PASTE_SPECIAL 0xE127
#endif
#ifndef ID_EDIT_REPEAT
#define ID_EDIT_REPEAT 0xE128
#endif
#ifndef ID_EDIT_REPLACE
#define ID_EDIT_REPLACE 0xE129
#endif
#ifndef ID_EDIT_SELECT_ALL
#define ID_EDIT_SELECT_ALL 0xE12A
#endif
#ifndef ID_EDIT_UNDO
#define ID_EDIT_UNDO 0xE12B
#endif
#ifndef ID_EDIT_REDO
#define ID_EDIT_REDO 0xE12C
#endif

// Window commands.
#ifndef ID_WINDOW_NEW
#define ID_WINDOW_NEW 0xE130
#endif
#ifndef ID_WINDOW_ARRANGE
#define ID_WINDOW_ARRANGE 0xE131
#endif
#ifndef ID_WINDOW_CASCADE
#define ID_WINDOW_CASCADE 0xE132
#endif
#ifndef ID_WINDOW_TILE_HORZ
#define ID_WINDOW_TILE_HORZ 0xE133
#endif
#ifndef ID_WINDOW_TILE_VERT
#define ID_WINDOW_TILE_VERT 0xE134
#endif
#ifndef ID_WINDOW_SPLIT
#define ID_WINDOW_SPLIT 0xE135
#endif

// Application and help commands.
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT 0xE140
#endif
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 0xE141
#endif
#ifndef ID_HELP_INDEX
#define ID_HELP_INDEX 0xE142
#endif
#ifndef ID_HELP_FINDER
#define ID_HELP_FINDER 0xE143
#endif
#ifndef ID_HELP_USING
#define ID_HELP_USING 0xE144
#endif
#ifndef ID_CONTEXT_HELP
#define ID_CONTEXT_HELP 0xE145
#endif
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
#ifndef ID_DEFAULT_HELP
#define ID_DEFAULT_HELP 0xE147
#endif
#ifndef ID_NEXT_PANE
#define ID_NEXT_PANE 0xE150
#endif
#ifndef ID_PREV_PANE
#define ID_PREV_PANE 0xE151
#endif

// OLE commands; the verbs of the selected object take 16 ids from ID_OLE_VERB_FIRST.
#ifndef ID_OLE_INSERT_NEW
#define ID_OLE_INSERT_NEW 0xE200
#endif
#ifndef ID_OLE_EDIT_LINKS
#define ID_OLE_EDIT_LINKS 0xE201
#endif
#ifndef ID_OLE_EDIT_CONVERT
#define ID_OLE_EDIT_CONVERT 0xE202
#endif
#ifndef ID_OLE_EDIT_CHANGE_ICON
#define ID_OLE_EDIT_CHANGE_ICON 0xE203
#endif
#ifndef ID_OLE_EDIT_PROPERTIES
#define ID_OLE_EDIT_PROPERTIES 0xE204
#endif
#ifndef ID_OLE_VERB_FIRST
#define ID_OLE_VERB_FIRST 0xE210
#endif
#ifndef ID_OLE_VERB_LAST
#define ID_OLE_VERB_LAST 0xE21F
#endif

// Status-bar indicators.
#ifndef ID_INDICATOR_EXT
#define ID_INDICATOR_EXT 0xE700
#endif
#ifndef ID_INDICATOR_CAPS
#define ID_INDICATOR_CAPS 0xE701
#endif
#ifndef ID_INDICATOR_NUM
#define ID_INDICATOR_NUM 0xE702
#endif
#ifndef ID_INDICATOR_SCRL
#define ID_INDICATOR_SCRL 0xE703
#endif
#ifndef ID_INDICATOR_OVR
#define ID_INDICATOR_OVR 0xE704
#endif
#ifndef ID_INDICATOR_REC
#define ID_INDICATOR_REC 0xE705
#endif
#ifndef ID_INDICATOR_KANA
#define ID_INDICATOR_KANA 0xE706
#endif

// Show and hide the bars (the same values as the bars' window ids).
#ifndef ID_VIEW_TOOLBAR
#define ID_VIEW_TOOLBAR 0xE800
#endif
#ifndef ID_VIEW_STATUS_BAR
#define ID_VIEW_STATUS_BAR 0xE801
#endif
#ifndef ID_VIEW_REBAR
#define ID_VIEW_REBAR 0xE804
#endif

// The first command of a multiple-document frame's window list.
#ifndef AFX_IDM_FIRST_MDICHILD
#define AFX_IDM_FIRST_MDICHILD 0xFF00
#endif

// Toolbar resources: 16-bit version, width, height, count, then the button ids (0 for a separator).
#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCE(241)
#endif
