// Resource ids of the toolkit base's own resources (loaded from the toolkit resource module).
#pragma once

#define XTP_IDC_SPLIT_ROWS 9008
#define XTP_IDC_SPLIT_COLS 9009
#define XTP_IDC_HAND 9010
#define XTP_IDC_DRAG_MOVE 9011
#define XTP_IDC_DRAG_COPY 9012
#define XTP_IDC_SIZE_NS 9970
#define XTP_IDC_SIZE_WE 9971

// Four 16 x 16 glyphs on magenta: restore, minimise, maximise, close.
#define XTP_IDB_FRAME_GLYPHS 9407
