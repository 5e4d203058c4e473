// Helpers of the application tests: the application object set up for one test and put back after it, and
// lookups in the subscription lists.
#pragma once

#include "app/ReaderApp.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedItem.h"
#include "tests/support/TestSupport.h"

#include <string>

namespace apptest {

// While one lives, theApp keeps its data and temporary files in the folders given, its profile under a company
// name of the test's own (emptied when the sandbox starts and when it ends), and knows no channel list and no
// update address. The settings and folders it had are put back at the end.
class AppSandbox
{
public:
    AppSandbox(const wchar_t* company, const lqtest::TempFolder& data, const lqtest::TempFolder& temp);
    ~AppSandbox();
    AppSandbox(const AppSandbox&) = delete;
    AppSandbox& operator=(const AppSandbox&) = delete;

    // The settings theApp had before the sandbox.
    const CReaderSettings& SavedSettings() const { return m_savedSettings; }

private:
    std::wstring m_key;
    CReaderSettings m_savedSettings;
    CString m_savedData;
    CString m_savedTemp;
};

// The entry of a list with that title, or null.
CFeedItem* FindByTitle(CFeedChannel* list, const wchar_t* title);

} // namespace apptest
