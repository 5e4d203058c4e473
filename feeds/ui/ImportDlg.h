// The import dialog (176): picks which channels of an exported channel list or an OPML file to subscribe to.
#pragma once

#include "feeds/FeedChannel.h"
#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"

struct IXMLDOMNode;

class CImportDlg : public CDialog
{
    DECLARE_DYNAMIC(CImportDlg)

public:
    explicit CImportDlg(CWnd* pParent = nullptr);
    ~CImportDlg() override;

    // DoModal answers IDOK, IDCANCEL or 0 (an exported list that could not be read). After IDOK the channel
    // holds only the chosen entries, in the file's order; it is null when an OPML file could not be read.

    // Reads m_strPath as OPML into a new channel (the previous one is deleted); the channel stays null when the
    // file cannot be read or lacks "opml" or "body".
    void LoadOpml();
    // Adds the subscribed feeds found at or below the node to the channel.
    void ReadOutlines(IXMLDOMNode* pNode);

    // Hands the channel to the caller, who then owns it.
    CFeedChannel* DetachChannel();

    CListCtrl m_lstImported;     // 1030
    CListCtrl m_lstSelected;     // 1031
    CButton m_btnCopy;           // 1032
    CButton m_btnCopyAll;        // 1033
    CButton m_btnRemove;         // 1034
    CButton m_btnRemoveAll;      // 1035
    CButton m_chkKeepCategories; // 1036
    CFeedChannel* m_pChannel;    // owned
    CString m_strPath;
    BOOL m_bKeepCategories;
    BOOL m_bOpml;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    void OnCopy();
    void OnCopyAll();
    void OnRemove();
    void OnRemoveAll();
    void OnImportedDblClk(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSelectedDblClk(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListItemChanged(NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()

private:
    void SetUpColumns(CListCtrl& list);
    void AddRow(CListCtrl& list, CFeedItem* pItem);
    // Moves the selected rows (or all rows) from one list to the end of the other, in their order.
    void MoveRows(CListCtrl& from, CListCtrl& to, bool bAll);
    void UpdateButtons();
};
