// CDialog: modal and modeless dialog boxes from resource or in-memory templates.
#pragma once

#include "framework/win/Wnd.h"

// The resource type of a dialog's initial control data (combo and list box strings).
#ifndef RT_DLGINIT
#define RT_DLGINIT MAKEINTRESOURCE(240)
#endif

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)

public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // ---- Modeless
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                                void* lpDialogInit = nullptr);
    virtual BOOL CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = nullptr);

    // ---- Modal
    // Runs the dialog in its own message loop and answers the code given to EndDialog, or -1 when the template
    // cannot be found or the window cannot be made.
    virtual INT_PTR DoModal();
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr, void* lpDialogInit = nullptr);
    BOOL InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    // ---- Overridables
    virtual BOOL OnInitDialog();
    virtual void OnSetFont(CFont*) {}
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // ---- Controls
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void NextDlgCtrl() const { ::SendMessageW(LiveHwnd(), WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessageW(LiveHwnd(), WM_NEXTDLGCTL, 1, 0); }
    void SetDefID(UINT nID) { ::SendMessageW(LiveHwnd(), DM_SETDEFID, nID, 0); }
    // The default push button's id, or 0 when there is none.
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(LiveHwnd(), lpRect); }
    // Adds the control data of a DLGINIT resource (strings of combo and list boxes) to the controls.
    BOOL ExecuteDlgInit(LPCTSTR lpszResourceName);
    BOOL ExecuteDlgInit(void* lpResource);

    // Whether this dialog runs modally now.
    BOOL IsModal() const { return (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) != 0; }

    UINT m_nIDHelp;
    LPCTSTR m_lpszTemplateName;
    HGLOBAL m_hDialogTemplate;
    LPCDLGTEMPLATE m_lpDialogTemplate;
    void* m_lpDialogInit;
    CWnd* m_pParentWnd;
    HWND m_hWndTop;

protected:
    // Makes the window from a template (hooked, so that this object sees its first messages).
    BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);
    // Finds and locks the template named by m_lpszTemplateName (nullptr when there is no such resource).
    LPCDLGTEMPLATE LoadTemplate(HINSTANCE* phInst) const;
    // The owner a modal run uses, and undoing what PreModal did.
    HWND PreModal();
    void PostModal();

    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

// The dialog procedure of every dialog made by the framework: it answers WM_INITDIALOG through OnInitDialog.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
