// Resource ids of the toolkit tests; far from the program's own.
#pragma once

#define IDB_TEST_COLUMN16 29001
