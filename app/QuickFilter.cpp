#include "app/QuickFilter.h"

#include "app/ReaderApp.h"

void CQuickFilter::Load()
{
    m_strText = theApp.GetProfileString(L"Filters", L"QuickFilter", L"");
}

void CQuickFilter::Save() const
{
    theApp.WriteProfileString(L"Filters", L"QuickFilter", m_strText);
}

CFeedItem* CQuickFilter::GetShownResults() const
{
    return m_results.IsEmpty() ? nullptr : static_cast<CFeedItem*>(m_results.GetTail());
}
