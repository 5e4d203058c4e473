// "Select Feeds" (204): the subscriptions whose enclosures the podcast manager downloads by itself in its third
// mode. Its OK writes the choice under "Podcasting\Items", one "yes" per chosen feed's file base name.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"

#include <vector>

// A subscribed feed as the dialog offers it. The file base name names its value under "Podcasting\Items".
struct CSelectableFeed
{
    CString strTitle;
    CString strFile;
};

// The subscriptions, asked of whoever owns the lists; the dialog may run on another thread than the owner.
class CFeedSelectionSource
{
public:
    virtual ~CFeedSelectionSource() = default;
    // The subscribed feeds of the server's list, then of the user's own list.
    virtual std::vector<CSelectableFeed> GetFeeds() = 0;
    // Whether either list still holds a subscribed feed with that file base name.
    virtual bool HasFeed(const CString& strFile) = 0;
};

class CSelectFeedsDlg : public CDialog
{
public:
    CSelectFeedsDlg(CFeedSelectionSource& source, CWnd* pParent = nullptr);

    // After IDOK: whether the user changed any check.
    int m_nChanged = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelectAll();
    afx_msg void OnDeselectAll();
    DECLARE_MESSAGE_MAP()

private:
    void CheckAll(BOOL bCheck);

    CFeedSelectionSource& m_source;
    std::vector<CSelectableFeed> m_feeds; // row data indexes this
    CListCtrl m_list;
};
