// Resource ids of the image manager tests; far from the program's own.
#pragma once

#define IDB_IM_ALPHA160 29101
#define IDB_IM_ALPHA150 29102
#define IDB_IM_COLOUR160 29103
#define IDB_IM_SHORT32 29104
#define IDR_IM_TOOLBAR 29101
#define IDR_IM_BADTOOLBAR 29105
#define IDB_IM_BADTOOLBAR 29105
