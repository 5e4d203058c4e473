// "Please Wait" (188): the "Filtering..." notice the main window shows while a quick filter runs; it has no
// behaviour of its own and ends when the main window ends it, even before its window is made.
#pragma once

#include <windows.h>

#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"

class CStatusDlg : public CDialog
{
public:
    explicit CStatusDlg(CWnd* pParent = nullptr);

    CStatic m_wndText;

    // Ends the dialog; when its window is not made yet, it ends as soon as it is.
    void Finish();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    bool m_bFinished = false;
};
