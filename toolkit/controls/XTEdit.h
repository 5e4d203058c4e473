// An edit control with the toolkit's font, its own edit context menu and flicker-free painting.
#pragma once

#include "framework/win/Controls.h"

class CXTEdit : public CEdit
{
    DECLARE_DYNAMIC(CXTEdit)

public:
    CXTEdit();
    ~CXTEdit() override;

    // Text is on the clipboard.
    virtual BOOL CanPaste();
    // Some text is selected.
    virtual BOOL SelectionMade();
    // Gives the edit the toolkit's font; FALSE unless both windows exist.
    virtual BOOL Initialize(CWnd* pParentWnd);

protected:
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnEditUndo();
    afx_msg void OnEditCut();
    afx_msg void OnEditCopy();
    afx_msg void OnEditPaste();
    afx_msg void OnEditClear();
    afx_msg void OnEditSelectAll();
    afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
    afx_msg void OnUpdateNeedSel(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditSelectAll(CCmdUI* pCmdUI);

    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()
};
