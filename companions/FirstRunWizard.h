// The "Getting Started" wizard of the first start: greeting, view style, country and statistics pages, with the
// program's icon as the header picture and a watermark beside the greeting.
#pragma once

#include "companions/StartupWiz0.h"
#include "companions/StartupWiz1.h"
#include "companions/StartupWiz4.h"
#include "companions/WizardIntro.h"
#include "framework/core/ScopedHandles.h"

class CFirstRunWizard : public CPropertySheet
{
    DECLARE_DYNAMIC(CFirstRunWizard)

public:
    explicit CFirstRunWizard(CWnd* pParentWnd = nullptr);
    ~CFirstRunWizard() override;

    // The choices, whether the wizard was finished or cancelled: 0 classic or 1 modern, and 1 or 0.
    int GetViewStyle() const { return m_viewStyle.m_nViewStyle; }
    int GetReportStat() const { return m_statistics.m_bGlowmark ? 1 : 0; }

    CWizardIntro m_intro;
    CStartupWiz0 m_viewStyle;
    CStartupWiz1 m_country;
    CStartupWiz4 m_statistics;

private:
    CScopedIcon m_hIcon;
    CScopedBitmap m_hbmHeader;
    CScopedBitmap m_hbmWatermark;
};
