// The About box: the branding's caption, web site, e-mail address and logo, in the maker's or the branded
// ("label") edition.
#pragma once

#include "toolkit/controls/XTButton.h"
#include "toolkit/controls/XTHyperLink.h"
#include "views/Picture.h"
#include "framework/win/Dialog.h"

struct CReaderSettings;

class CAboutDlg : public CDialog
{
public:
    // The settings and folder are read when the box opens; bLabel picks the branded edition.
    CAboutDlg(const CReaderSettings& settings, const CString& dataFolder, BOOL bLabel, CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;

    CXTHyperLink m_linkWebSite;
    CXTHyperLink m_linkEmail;
    CXTHyperLink m_linkLegal;
    CXTButton m_buttonOK;
    CPicture m_picture;
    bool m_bOwnLogo = false; // the data folder's logo, not the built-in picture

protected:
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    DECLARE_MESSAGE_MAP()

private:
    void ReplaceInItem(UINT nID, LPCWSTR find, LPCWSTR replacement);
    void LoadLogo();
    void HideLinesWithoutValue();

    const CReaderSettings& m_settings;
    CString m_strDataFolder;
    BOOL m_bLabel;
};
