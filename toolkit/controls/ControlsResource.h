// Resource ids of the toolkit's controls (loaded from the toolkit resource module).
#pragma once

// Edit control context menus: the second popup is the edit's own.
#define XT_IDM_POPUP 9014

// The framework's standard edit commands, which the edit's menu sends.
#include "framework/StandardIds.h"

#define XT_IDS_SELDIR 9030

// Hyperlink errors, by the shell's result code.
#define XT_IDS_SE_0 9037
#define XT_IDS_SE_ERR_FNF 9038
#define XT_IDS_SE_ERR_PNF 9039
#define XT_IDS_SE_ERR_ACCESSDENIED 9040
#define XT_IDS_SE_ERR_OOM 9041
#define XT_IDS_SE_ERR_BAD_FORMAT 9042
#define XT_IDS_SE_ERR_SHARE 9043
#define XT_IDS_SE_ERR_ASSOCINCOMPLETE 9044
#define XT_IDS_SE_ERR_DDETIMEOUT 9045
#define XT_IDS_SE_ERR_DDEFAIL 9046
#define XT_IDS_SE_ERR_DDEBUSY 9047
#define XT_IDS_SE_ERR_NOASSOC 9048
#define XT_IDS_SE_ERR_DLLNOTFOUND 9049
#define XT_IDS_SE_ERR_UNKNOWN 9050
