#include "companions/RenameCategoryDlg.h"
#include "res/resource.h"

#include "framework/win/DataExchange.h"

namespace {

const int kMaxCaption = 100;

// Blanks alone make no caption: a group named so could not be told from an empty one.
bool HoldsText(const CString& text)
{
    CString trimmed = text;
    return !trimmed.Trim().IsEmpty();
}

} // namespace

BEGIN_MESSAGE_MAP(CRenameCategoryDlg, CDialog)
ON_EN_CHANGE(IDC_RENAME_NEW_CAPTION, OnNewCaptionChanged)
END_MESSAGE_MAP()

CRenameCategoryDlg::CRenameCategoryDlg(CWnd* pParent) : CDialog(IDD_RENAME_CATEGORY, pParent) {}

void CRenameCategoryDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_RENAME_OLD_CAPTION, m_strOldCaption);
    DDX_Text(pDX, IDC_RENAME_NEW_CAPTION, m_strNewCaption);
    DDV_MaxChars(pDX, m_strNewCaption, kMaxCaption);
}

BOOL CRenameCategoryDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    OnNewCaptionChanged();
    // The user is here to type the new caption, not to read the old one.
    if (CWnd* pNew = GetDlgItem(IDC_RENAME_NEW_CAPTION)) {
        pNew->SetFocus();
        return FALSE;
    }
    return TRUE;
}

void CRenameCategoryDlg::OnNewCaptionChanged()
{
    CString text;
    GetDlgItemText(IDC_RENAME_NEW_CAPTION, text);
    if (CWnd* pOk = GetDlgItem(IDOK))
        pOk->EnableWindow(HoldsText(text));
}

void CRenameCategoryDlg::OnOK()
{
    CString text;
    GetDlgItemText(IDC_RENAME_NEW_CAPTION, text);
    // Enter reaches here even while OK is disabled.
    if (!HoldsText(text))
        return;
    if (!UpdateData(TRUE))
        return;
    m_strNewCaption.Trim();
    EndDialog(IDOK);
}
