// The "Podcasting" page: the automatic download mode and the download folder. It stands alone, so that both the
// options sheet and the podcast manager's "Podcasting Settings" sheet can hold it.
#pragma once

#include <windows.h>

#include "framework/win/Controls.h"
#include "framework/win/PropertySheet.h"

class CFeedSelectionSource;

class CPodcastProp : public CPropertyPage
{
    DECLARE_DYNAMIC(CPodcastProp)

public:
    CPodcastProp();
    ~CPodcastProp() override;

    CButton m_btnSelectFeeds;
    CButton m_btnManual;
    CButton m_btnAutoAll;
    CButton m_btnAutoSelected;
    CEdit m_editFolder;
    int m_nMode = 0;
    // After OK: the podcast manager must be sent its job list again.
    BOOL m_bChanged = FALSE;

    // The subscriptions "Select feeds" offers, set by the lists' owner; without it the button stays disabled.
    static CFeedSelectionSource* s_pFeedSource;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnManual();
    afx_msg void OnAutoAll();
    afx_msg void OnAutoSelected();
    afx_msg void OnSelectFeeds();
    afx_msg void OnSetFolder();
    DECLARE_MESSAGE_MAP()

private:
    void SetMode(int nMode);
};
