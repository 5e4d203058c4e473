// Resource ids of the customise tests (22000-22099 in the toolkit test program).
#pragma once

#define IDR_TEST_CATEGORY_MENU 22001
#define IDR_TEST_MISSING_MENU 22002
