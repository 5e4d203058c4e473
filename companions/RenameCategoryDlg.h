// "Rename Category" (168): a category's new caption, beside its old one; OK only while the new caption holds text.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/win/Dialog.h"

class CRenameCategoryDlg : public CDialog
{
public:
    explicit CRenameCategoryDlg(CWnd* pParent = nullptr);

    CString m_strOldCaption; // in
    CString m_strNewCaption; // in (may be preset) and out after IDOK: at most 100 characters, trimmed

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    afx_msg void OnNewCaptionChanged();
    DECLARE_MESSAGE_MAP()
};
