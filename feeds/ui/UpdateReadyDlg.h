// The update offer (198): shows what a newer build brings and asks whether to install it.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"

class CUpdateReadyDlg : public CDialog
{
public:
    explicit CUpdateReadyDlg(CWnd* pParent = nullptr);

    // Reads the description file named by m_strPath; TRUE when the update is to be offered (the description,
    // package URL and version are then filled).
    BOOL ParseUpdateDescription();

    // The whole offer as the feed worker makes it: reads the description and, when it offers a newer build,
    // asks the user. "Install Now..." starts the package download, "Don't Install" remembers the version.
    // Answers what DoModal answered, or 0 when there was nothing to offer.
    INT_PTR OfferUpdate();

    // DoModal answers IDC_UPDATE_INSTALL_NOW, IDC_UPDATE_DONT_INSTALL or IDCANCEL ("Install Later" or closing).

    CString m_strPath;
    CString m_strDescription;
    CString m_strFile;   // the package URL
    CString m_strDigest; // its SHA-256 digest, as the description gives it
    int m_nVersion;
    CEdit m_edtDescription; // 1072

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnInstallNow();
    void OnDontInstall();
    void OnInstallLater();

    DECLARE_MESSAGE_MAP()
};
