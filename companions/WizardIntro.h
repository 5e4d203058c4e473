// The first page of the first-run wizard (183): a greeting under a large bold title.
#pragma once

#include "framework/win/Gdi.h"
#include "framework/win/PropertySheet.h"

class CWizardIntro : public CPropertyPage
{
    DECLARE_DYNAMIC(CWizardIntro)

public:
    CWizardIntro();

    BOOL OnInitDialog() override;
    // Only Next is offered, also when the user comes back with Back.
    BOOL OnSetActive() override;

    // The title's font, kept while the page lives.
    CFont m_fontTitle;
};
