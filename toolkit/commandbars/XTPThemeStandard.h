// Command-bar theme 1 (and every theme number other than 0, 2 and 3): the classic raised-and-sunken look. Until
// its own drawing exists it draws as the default theme, with its own icon options and theme number.
#pragma once

#include "toolkit/commandbars/XTPThemeDefault.h"

class CXTPThemeStandard : public CXTPThemeDefault
{
    DECLARE_DYNAMIC(CXTPThemeStandard)

public:
    CXTPThemeStandard();
    BOOL ShowShadows() override;
    int GetThemeId() override;
};
