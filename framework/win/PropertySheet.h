// CPropertySheet and CPropertyPage: tabbed and wizard dialogs over the system's property sheet.
#pragma once

#include <windows.h>
#include <prsht.h>

#include "framework/core/Collections.h"
#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"

// The wizard's buttons, as the sheet's commands.
#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#define ID_WIZFINISH 0x3025

class CPropertySheet;

class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)

public:
    CPropertyPage();
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0, DWORD dwSize = sizeof(PROPSHEETPAGEW));
    // Wizard-97 pages: the header's title and subtitle strings.
    CPropertyPage(UINT nIDTemplate, UINT nIDCaption, UINT nIDHeaderTitle, UINT nIDHeaderSubTitle = 0,
                  DWORD dwSize = sizeof(PROPSHEETPAGEW));
    ~CPropertyPage() override;

    void Construct(UINT nIDTemplate, UINT nIDCaption = 0, UINT nIDHeaderTitle = 0, UINT nIDHeaderSubTitle = 0);

    PROPSHEETPAGEW m_psp;
    CString m_strCaption;
    CString m_strHeaderTitle;
    CString m_strHeaderSubTitle;

    // Marks the sheet's Apply button (enabled while any page is modified).
    void SetModified(BOOL bChanged = TRUE);
    // Turns the sheet's Cancel button into Close after a change that cannot be undone.
    void CancelToClose();
    // Asks the other pages with PSM_QUERYSIBLINGS; answers the first non-zero reply.
    LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);

    // ---- Overridables
    // The first activation only shows the page; later ones load the members into the controls again.
    virtual BOOL OnSetActive();
    // Saves and validates the controls; FALSE keeps the page.
    virtual BOOL OnKillActive();
    // Called for the pages that were created when OK or Apply is pressed; the default calls OnOK.
    virtual BOOL OnApply();
    virtual void OnReset();
    virtual BOOL OnQueryCancel();
    // 0 goes on to the next/previous page, -1 stays, a template id goes to that page.
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    // FALSE keeps the wizard open.
    virtual BOOL OnWizardFinish();
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    // The sheet the page is in (when it has a window).
    CPropertySheet* GetSheet() const;

protected:
    BOOL m_bFirstSetActive;

    friend class CPropertySheet;
    friend UINT CALLBACK AfxPropPageCallback(HWND, UINT, LPPROPSHEETPAGEW);
};

class CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)

public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    // Wizard-97 sheets with a watermark and a header bitmap.
    CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage, HBITMAP hbmWatermark,
                   HPALETTE hpalWatermark = nullptr, HBITMAP hbmHeader = nullptr);
    CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage, HBITMAP hbmWatermark,
                   HPALETTE hpalWatermark = nullptr, HBITMAP hbmHeader = nullptr);
    ~CPropertySheet() override;

    void Construct(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    void Construct(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    PROPSHEETHEADERW m_psh;
    CString m_strCaption;
    CPtrArray m_pages;
    CWnd* m_pParentWnd;
    BOOL m_bModeless;

    // ---- Pages
    virtual void AddPage(CPropertyPage* pPage);
    virtual void RemovePage(CPropertyPage* pPage);
    virtual void RemovePage(int nPage);
    int GetPageCount() const;
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    CTabCtrl* GetTabControl() const;

    // ---- Modes and buttons
    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    BOOL IsWizard() const { return (m_psh.dwFlags & (PSH_WIZARD | PSH_WIZARD97)) != 0; }
    void SetWizardButtons(DWORD dwFlags);
    void SetFinishText(LPCTSTR lpszText);
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
    void PressButton(int nButton);
    void EndDialog(int nEndID);

    // ---- Running
    // Runs the sheet modally and answers IDOK, IDCANCEL or ID_WIZFINISH (-1 when it could not be made).
    virtual INT_PTR DoModal();
    // A modeless sheet (not a wizard).
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = static_cast<DWORD>(-1), DWORD dwExStyle = 0);
    using CWnd::Create;
    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL ContinueModal() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The pages' headers for the system, rebuilt from m_pages on every creation.
    void BuildPropPageArray();

protected:
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    // Makes the window (modeless form) with this object attached before its first message.
    BOOL CreateSheetWindow(HWND hWndParent);

    PROPSHEETPAGEW* m_pPageArray;
    int m_nResultCandidate;

    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    friend int CALLBACK AfxPropSheetCallback(HWND, UINT, LPARAM);
};
