// The first-run wizard's view-style page (1126): classic or modern, each with a picture.
#pragma once

#include "framework/win/PropertySheet.h"

class CStartupWiz0 : public CPropertyPage
{
    DECLARE_DYNAMIC(CStartupWiz0)

public:
    CStartupWiz0();

    BOOL OnInitDialog() override;
    // Offers Next only: there is nothing to go back to but the greeting.
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;

    // 0 classic, 1 modern.
    int m_nViewStyle;

private:
    void TakeChoice();
};
