#include "tests/views/ViewsTestHost.h"

CViewsTestHost theViewsHost;
