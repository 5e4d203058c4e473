// The main window's options sheet "Settings": the pages filled from the running settings, and after OK the changed
// values written back and applied in a fixed order, the view style last with its restart question.
#pragma once

#include <windows.h>

#include "app/PodcastFeedChoice.h"

class CCmdUI;
class CMainFrame;
class CPodcastProp;
class CPropertySheet;
class CReaderSettingsDlg0;
class CReaderSettingsDlg1;
class CReaderSettingsDlg2;
class CReaderSettingsDlg3;
class CReaderSettingsDlg4;
class CReaderSettingsDlg5;

class COptionsSheet
{
public:
    explicit COptionsSheet(CMainFrame& frame);
    COptionsSheet(const COptionsSheet&) = delete;
    COptionsSheet& operator=(const COptionsSheet&) = delete;

    // Runs the sheet modally; on OK writes and applies what changed.
    void Run();
    void UpdateCommand(CCmdUI* pCmdUI) const;

    // The pages as the sheet shows them.
    struct Pages
    {
        CReaderSettingsDlg1& general;
        CReaderSettingsDlg0& viewStyle;
        CReaderSettingsDlg2& channelView;
        CReaderSettingsDlg3& connection;
        CReaderSettingsDlg5& themes;
        CPodcastProp& podcast;
        CReaderSettingsDlg4& glowmark;
    };
    // The running values handed to the pages before the sheet shows.
    void HandOver(Pages& pages);
    // What the confirmed pages hold, written and applied where it differs from the running values.
    void WriteBack(Pages& pages);

    CPodcastFeedChoice& FeedChoice() { return m_feedChoice; }

private:
    CMainFrame& m_frame;
    CPodcastFeedChoice m_feedChoice;
    int m_nHandedTheme = -1; // the theme the themes page was given: the skin shows as no choice of its own
};
