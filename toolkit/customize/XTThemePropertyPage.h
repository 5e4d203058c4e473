// The colour dialog's page base: a property page painted with the visual style's tab body, whose static texts
// it draws itself so that they sit on that background instead of a grey box.
#pragma once

#include "framework/win/PropertySheet.h"
#include "toolkit/base/XTPUxTheme.h"

#include <vector>

class CXTColorDialog;

class CXTThemePropertyPage : public CPropertyPage
{
    DECLARE_DYNAMIC(CXTThemePropertyPage)

public:
    // The template comes from the toolkit resource module; a caption id of 0 keeps the template's caption.
    CXTThemePropertyPage(CXTColorDialog* pDialog, UINT nIDTemplate, UINT nIDCaption = 0);
    ~CXTThemePropertyPage() override;

    CXTColorDialog* GetColorDialog() const { return m_pDialog; }

    // Paints the page: background, then the collected static texts.
    virtual void OnDraw(CDC* pDC, const CRect& rect);
    // The visual style's tab body where it is active and draws, else the button face.
    virtual void FillBackground(CDC* pDC, const CRect& rect);
    virtual void DrawStaticTexts(CDC* pDC);

    // A static control with text under nID is hidden and drawn by the page from now on.
    void CollectStatic(int nID);
    int GetStaticCount() const { return static_cast<int>(m_statics.size()); }

    // Fills pDC (in pChild's client coordinates) with the background of pChild's parent: the themed page's,
    // lined up with the page, or the button face under any other parent.
    static void FillChildBackground(CWnd* pChild, CDC* pDC);
    // Presses OK of the sheet that holds pControl's page, or sends IDOK to a plain dialog parent.
    static void PressDialogOK(CWnd* pControl);

    // Alt and a letter underlined in a drawn label (nChar, from WM_SYSCHAR) moves to the control after that
    // label, as the hidden label itself no longer can; FALSE when no label has it. The sheet asks its active
    // page, wherever the focus is.
    BOOL HandleMnemonic(UINT nChar);

    BOOL OnInitDialog() override;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    // Themed controls (the spin buttons) ask their parent for what lies under them.
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);

    CXTColorDialog* m_pDialog;
    // Handles, not objects: the framework frees temporary window objects when the thread goes idle.
    std::vector<HWND> m_statics;
    CXTPUxTheme m_themeTab;

    DECLARE_MESSAGE_MAP()
};
