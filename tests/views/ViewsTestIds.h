// Resource ids of the view tests (25000-25999).
#pragma once

#define IDR_TEST_LOGO_JPEG 25000
