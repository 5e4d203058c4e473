// The first-run wizard's last page (189): the Glowmark statistics on or off.
#pragma once

#include "framework/win/PropertySheet.h"

class CStartupWiz4 : public CPropertyPage
{
    DECLARE_DYNAMIC(CStartupWiz4)

public:
    CStartupWiz4();

    BOOL OnInitDialog() override;
    // Offers Back and Finish.
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;

    BYTE m_bGlowmark;
};
