// Resource ids of Lanternquill.
#pragma once

#define IDR_MAINFRAME 128
