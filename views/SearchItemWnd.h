// The search box the navigation pane hosts for a "Search-in" (or "Search-out") entry: a caption, an editable
// drop-down of the searches made, and a button. Enter or the button hands the typed text to the main window.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/win/Controls.h"
#include "framework/win/Wnd.h"

class CFeedItem;
class CFeedPaneSite;
class CSearchItemWnd;

// The combo box's edit field: Enter runs the search, as the button does.
class CSearchItemEdit : public CEdit
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override;
    CSearchItemWnd* m_pOwner = nullptr;
};

class CSearchItemWnd : public CWnd
{
    DECLARE_DYNAMIC(CSearchItemWnd)

public:
    // The entry points back at the window while it lives; the site runs the searches.
    CSearchItemWnd(CFeedItem* pEntry, CFeedPaneSite* pSite);
    ~CSearchItemWnd() override;

    // A new window on the heap for the entry, a child of the pane; it deletes itself when destroyed. Null when
    // it could not be made.
    static CSearchItemWnd* CreateFor(CFeedItem* pEntry, CFeedPaneSite* pSite, CWnd* pParent, UINT nID);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // The box's text searched (nothing for an empty text) and put first in the history.
    void RunSearch();
    // The history, newest first.
    int GetHistoryCount() const;
    CString GetHistoryItem(int nIndex) const;

    CComboBoxEx m_wndCombo;
    CButton m_wndButton;
    CSearchItemEdit m_wndEdit;
    CFeedItem* m_pEntry;
    CString m_strButtonText;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSearchClicked();
    afx_msg void OnHistoryChosen();
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

private:
    void Search(const CString& strText);
    void InsertHistory(const CString& strText);

    CFeedPaneSite* m_pSite;
};
