// Resource ids of the task panel's own resources (loaded from the toolkit resource module).
#pragma once

// 19 x 19 expand-button glyphs of the explorer look, recoloured at run time; the top-left pixel is the background.
#define XTP_IDB_TASKPANEL_GLYPH_NORMAL 9179
#define XTP_IDB_TASKPANEL_GLYPH_SPECIAL 9180
