// Command-bar theme 3: drawn through the platform's visual styles. Until its own drawing exists it draws as the
// standard theme, with its own icon options and theme number.
#pragma once

#include "toolkit/commandbars/XTPThemeStandard.h"

class CXTPThemeXPStyle : public CXTPThemeStandard
{
    DECLARE_DYNAMIC(CXTPThemeXPStyle)

public:
    CXTPThemeXPStyle();
    int GetThemeId() override;
};
