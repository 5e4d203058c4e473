// Resource ids of the toolkit control tests (22000-22999).
#pragma once

#define IDI_TEST_TRAY_BLUE 22001
#define IDI_TEST_TRAY_ORANGE 22002
#define IDI_TEST_TRAY_GREEN 22003

// The tray icon's id and the id of its menu.
#define IDR_TEST_TRAY 22010
#define ID_TEST_TRAY_OPEN 22011
#define ID_TEST_TRAY_ABOUT 22012
#define ID_TEST_TRAY_EXIT 22013

#define IDB_TEST_BUTTON_SQUARE 22020
