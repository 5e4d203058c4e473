// The main window's searches and the result pages they leave in the navigation pane: a search-in entry's newest page
// replaces its older one, beside the entry. The quick filter's page is the quick filter's own.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"

class CFeedItem;
class CMainFrame;

class CResultPages
{
public:
    explicit CResultPages(CMainFrame& frame);
    CResultPages(const CResultPages&) = delete;
    CResultPages& operator=(const CResultPages&) = delete;

    // Starts a search through the entry; an empty text does nothing.
    void RunSearch(CFeedItem* pEntry, const CString& strText);
    // A search has ended; its page (null when it failed) takes its place in the pane.
    void OnSearchDone(CFeedItem* pPage);
    // "Delete Results" on a search page: it leaves the pane (with its group when that empties) and its search-in
    // entry, and is deleted.
    void RemovePage(CFeedItem* pPage);
    // Every page deleted, at shut-down, after the pane's items that point at them.
    void DeleteAll();

    const CPtrList& GetSearchPages() const { return m_searchPages; }
    const CString& GetSearchText() const { return m_strSearchText; }

private:
    void InsertSearchPage(CFeedItem* pPage);
    void PlaceInPane(CFeedItem* pPage, CFeedItem* pSearchIn, CFeedItem* pOlder);

    CMainFrame& m_frame;
    CString m_strSearchText; // the last search
    CPtrList m_searchPages;  // CFeedItem* of kind 5 in the pane, owned
};
