// The main window's quick filter: its text ("Filters"\"QuickFilter"), the commands that run it (the "Quick Filter"
// dialog and the toolbar's filter box) with the wait dialog meanwhile, and its one results page, which the
// navigation pane shows in its "Quick Filter" group.
#pragma once

#include "app/FilteredResults.h"
#include "framework/core/AfxString.h"

#include <memory>

class CFeedItem;
class CMainFrame;
class CStatusDlg;

// What the frame hands the worker for a build: the filter, the view style and a record of every news item.
struct CQuickFilterRequest
{
    CString strFilterText;
    int nViewStyle = 0;
    FilterItems items;
};

class CQuickFilter
{
public:
    explicit CQuickFilter(CMainFrame& frame);
    ~CQuickFilter();
    CQuickFilter(const CQuickFilter&) = delete;
    CQuickFilter& operator=(const CQuickFilter&) = delete;

    // The filter text of the profile, read at the frame's creation and written at its shut-down.
    void Load();
    void Save() const;
    const CString& GetText() const { return m_strText; }
    void SetText(const CString& strText) { m_strText = strText; }

    // "Run Quick Filter...": the dialog, then the filter runs with its words.
    void RunDialog();
    // The toolbar's filter box: the typed words become the AND list.
    void RunTypedWords(const CString& strWords);
    // The filter runs on the worker while the wait dialog shows; a filter without words is refused with a
    // message. False when it did not run.
    bool Run();

    // On the frame's thread, asked by the worker: what the build works on.
    void FillRequest(CQuickFilterRequest& request);
    // The worker's page (null when nothing matched) replaces the shown one; the wait dialog ends. Takes the page.
    void TakeResults(CFeedItem* pPage);

    // The page the pane shows (null when none).
    CFeedItem* GetShownResults() const { return m_pResults.get(); }
    // "Delete Results" on the page: it leaves the pane (with its group when that empties) and is deleted.
    void RemovePage(CFeedItem* pPage);
    // At shut-down, after the pane's items have gone.
    void DeleteAll();

private:
    void PlaceInPane(CFeedItem* pPage, CFeedItem* pOlder);
    void RemoveFromPane(CFeedItem* pPage);

    enum Outcome
    {
        OUTCOME_PENDING,
        OUTCOME_FOUND,
        OUTCOME_NOTHING,
    };

    CMainFrame& m_frame;
    CString m_strText;
    std::unique_ptr<CFeedItem> m_pResults; // the one filter page, owned
    CStatusDlg* m_pWaitDlg = nullptr;      // while a filter runs
    Outcome m_outcome = OUTCOME_PENDING;
};
