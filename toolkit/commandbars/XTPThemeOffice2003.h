// Command-bar theme 2: gradient bars in the colours of the Windows XP colour scheme. Until its own drawing exists
// it draws as the default theme, with its own icon options and theme number.
#pragma once

#include "toolkit/commandbars/XTPThemeDefault.h"

class CXTPThemeOffice2003 : public CXTPThemeDefault
{
    DECLARE_DYNAMIC(CXTPThemeOffice2003)

public:
    CXTPThemeOffice2003();
    int GetThemeId() override;
};
