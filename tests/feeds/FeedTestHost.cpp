#include "tests/feeds/FeedTestHost.h"

CFeedTestHost theHost;
