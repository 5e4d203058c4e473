// "Quick Filter" (186): the quick filter's AND, OR and NOT word lists, read from and joined into its tagged text.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/win/Dialog.h"

class CQuickFilterDlg : public CDialog
{
public:
    explicit CQuickFilterDlg(CWnd* pParent = nullptr);

    CString m_strAndWords;
    CString m_strOrWords;
    CString m_strNotWords;
    // In: the filter shown; out after IDOK: the three lists joined (empty when all three are).
    CString m_strFilterText;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};
