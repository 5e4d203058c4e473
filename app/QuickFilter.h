// The main window's quick filter: its text ("Filters"\"QuickFilter") and its result pages, the newest of which the
// navigation pane shows in its "Quick Filter" group.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"

class CFeedItem;

class CQuickFilter
{
public:
    // The filter text of the profile, read at the frame's creation and written at its shut-down.
    void Load();
    void Save() const;
    const CString& GetText() const { return m_strText; }
    void SetText(const CString& strText) { m_strText = strText; }

    // Result pages, the newest last; the filter keeps them, the pane only shows the newest.
    void AddResults(CFeedItem* pPage) { m_results.AddTail(pPage); }
    void ForgetResults() { m_results.RemoveAll(); }
    CFeedItem* GetShownResults() const;

    // The worker asks for the filter's page at the end of its work; the filter's own feature builds it, until
    // then the request builds nothing.
    void BuildPage() {}

private:
    CString m_strText;
    CPtrList m_results; // CFeedItem*
};
