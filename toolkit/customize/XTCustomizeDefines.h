// Messages of the toolkit's colour dialog, its pages and their controls.
#pragma once

#include "toolkit/base/ToolkitMessages.h"
