// Resource ids of the toolkit's customisation dialogs (loaded from the toolkit resource module).
#pragma once

// The colour dialog: its caption, the swatch's labels and its two pages.
#define XT_IDS_COLOR_CAPTION 9109
#define XT_IDS_COLOR_NEW 9110
#define XT_IDS_COLOR_CURRENT 9111
#define XT_IDD_COLOR_STANDARD 9019
#define XT_IDD_COLOR_CUSTOM 9020
// Both pages' size in dialog units; the dialog fits its tab control round them.
#define XT_COLOR_PAGE_CX 147
#define XT_COLOR_PAGE_CY 161

// The read-only hexadecimal text the sheet makes under its buttons.
#define XT_IDC_COLOR_HEX 101

// Controls of the pages. The "&Colors:" label heads both pages.
#define XT_IDC_COLOR_LABEL 9129
#define XT_IDC_COLOR_HEXAGON 9149
#define XT_IDC_COLOR_SPECTRUM 9147
#define XT_IDC_COLOR_LUMINANCE 9148
#define XT_IDC_LABEL_HUE 9141
#define XT_IDC_LABEL_SAT 9142
#define XT_IDC_LABEL_LUM 9143
#define XT_IDC_LABEL_RED 9144
#define XT_IDC_LABEL_GREEN 9145
#define XT_IDC_LABEL_BLUE 9146
#define XT_IDC_EDIT_RED 9128
#define XT_IDC_EDIT_GREEN 9130
#define XT_IDC_EDIT_LUM 9132
#define XT_IDC_EDIT_SAT 9133
#define XT_IDC_EDIT_HUE 9134
#define XT_IDC_EDIT_BLUE 9137
#define XT_IDC_SPIN_HUE 9131
#define XT_IDC_SPIN_SAT 9135
#define XT_IDC_SPIN_LUM 9136
#define XT_IDC_SPIN_RED 9138
#define XT_IDC_SPIN_GREEN 9139
#define XT_IDC_SPIN_BLUE 9140
