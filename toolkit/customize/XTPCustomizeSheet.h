// The "Customize" sheet: while it runs, the command bars of one frame are in customise mode. It owns the Toolbars
// and Commands pages (the caller may add more), keeps the user out of the rest of the frame with two thread hooks,
// and shows the context menu of the control the user right-clicks on a bar.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/ImageList.h"
#include "framework/win/PropertySheet.h"
#include "toolkit/commandbars/XTPControlEdit.h"

class CXTPCommandBars;
class CXTPControl;
class CXTPCustomizeCommandsPage;
class CXTPCustomizeToolbarsPage;
class CXTPPopupBar;

// The context menu's name box: Enter applies the typed name and closes the menu; leaving the box applies it too.
class CXTPCustomizeNameEdit : public CXTPControlEdit
{
    DECLARE_DYNCREATE(CXTPCustomizeNameEdit)

public:
    CXTPCustomizeNameEdit();
    BOOL SetSelected(int bSelected) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
};

class CXTPCustomizeSheet : public CPropertySheet
{
    DECLARE_DYNAMIC(CXTPCustomizeSheet)

public:
    explicit CXTPCustomizeSheet(CXTPCommandBars* pCommandBars, UINT iSelectPage = 0);
    ~CXTPCustomizeSheet() override;

    // The page's template comes from the toolkit's resources when they hold it.
    void AddPage(CPropertyPage* pPage) override;
    using CPropertySheet::AddPage;

    CXTPCustomizeCommandsPage* GetCommandsPage() const { return m_pCommandsPage; }
    CXTPCustomizeToolbarsPage* GetToolbarsPage() const { return m_pToolbarsPage; }
    CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
    CWnd* GetSiteWindow() const { return m_pParentWnd; }
    CImageList& GetCommandImages() { return m_ilCommandImages; }

    // Runs the sheet with the bars in customise mode; IDCANCEL at once while another Customize sheet runs.
    INT_PTR DoModal() override;
    // The sheet that runs now, or null.
    static CXTPCustomizeSheet* GetRunningSheet();

    BOOL OnInitDialog() override;
    // Alt and a tab's mnemonic letter switch to that tab.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The customise context menu for the customise selection at a screen point.
    virtual void TrackContextMenu(CPoint ptScreen);

    // What the hooks decide: TRUE lets the message through.
    BOOL FilterMouse(HWND hWndTarget, UINT nMessage, POINT pt) const;
    BOOL FilterKeyboard() const;

    // ---- Context-menu commands, public for the menu's controls and for tests.
    afx_msg void OnCustomizeReset();
    afx_msg void OnCustomizeDelete();
    afx_msg void OnCustomizeCopyImage();
    afx_msg void OnCustomizePasteImage();
    afx_msg void OnCustomizeResetImage();
    // The Button Editor on the selection's image; the result replaces a custom image in place.
    afx_msg void OnCustomizeEditImage();
    afx_msg void OnCustomizeStyle(UINT nID);
    afx_msg void OnCustomizeBeginGroup();
    // The name typed into the menu's name box becomes the selection's caption.
    void ApplyName(LPCTSTR lpszName);
    // The image of an icon id becomes the selection's image under a new custom id.
    void ApplyImage(int nIconId);

protected:
    CXTPControl* GetSelection() const;
    // A button, popup, button popup or split button.
    static BOOL IsImageType(const CXTPControl* pControl);
    static BOOL HasIcon(const CXTPControl* pControl);
    void RecalcParent(CXTPControl* pControl);

    afx_msg void OnUpdateCustomizeReset(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCustomizeAlways(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCustomizeImage(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCustomizePasteImage(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCustomizeResetImage(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCustomizeStyle(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCustomizeBeginGroup(CCmdUI* pCmdUI);
    afx_msg void OnUpdateCustomizeName(CCmdUI* pCmdUI);
    afx_msg LRESULT OnControlExecute(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCreateControl(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnContextMenuMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CImageList m_ilCommandImages;
    CXTPCustomizeToolbarsPage* m_pToolbarsPage;
    CXTPCustomizeCommandsPage* m_pCommandsPage;
    CXTPCommandBars* m_pCommandBars;
};
