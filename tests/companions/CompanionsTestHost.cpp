#include "tests/companions/CompanionsTestHost.h"

CCompanionsTestHost theCompanionsHost;
