// The classic view style's left splitter pane: a view whose only job is to host the main window's navigation
// pane so that the splitter can size it.
#pragma once

#include "framework/frame/View.h"

class CFeedPaneSite;

// The navigation pane's child id in its host view.
#define IDC_NAVIGATION_PANE 111

class CSplitterHelperView : public CView
{
    DECLARE_DYNCREATE(CSplitterHelperView)

public:
    CSplitterHelperView();
    ~CSplitterHelperView() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC* pDC) override;

    CFeedPaneSite* GetFrameSite() const { return m_pFrameSite; }
    // Serves the given site (a frame whose site is a member of its own): hosts its pane, made here when it has no
    // window yet, at this view's size.
    void SetFrameSite(CFeedPaneSite* pSite);

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

    void CreatePane();
    void SizePane(int cx, int cy);

    // The main window served (the thread's main window, when it offers a navigation pane).
    CFeedPaneSite* m_pFrameSite;
};
