// One headline row of the headline drop-down (a control of CFeedPopupBar), and the application's task-panel
// group item class, which the toolkit creates by name when it rebuilds items from stored or dragged data.
#pragma once

#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/taskpanel/XTPTaskPanelGroupItem.h"

class CFeedItem;
class CFeedPopupBar;

class CFeedViewControl : public CXTPControl
{
    DECLARE_SERIAL(CFeedViewControl)

public:
    CFeedViewControl();
    ~CFeedViewControl() override;

    // The news item shown (not owned). Returns TRUE.
    BOOL SetItem(CFeedItem* pItem);
    CFeedItem* GetItem() const { return m_pItem; }
    // An explicit drawing rectangle; an empty one draws over the control's own rectangle.
    void SetDrawRect(const CRect& rc) { m_rcDraw = rc; }

    // The width every row of the drop-down takes, set by the pane before it fills the drop-down.
    static void SetRowWidth(int nWidth) { s_nRowWidth = nWidth; }
    static int GetRowWidth() { return s_nRowWidth; }

    void OnExecute() override;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;

protected:
    void OpenItem(CFeedPopupBar* pBar);

    CFeedItem* m_pItem;
    int m_nWidth;
    int m_nHeight;
    CRect m_rcDraw;

    static int s_nRowWidth;
};

class CFeedGroupItem : public CXTPTaskPanelGroupItem
{
    DECLARE_SERIAL(CFeedGroupItem)

public:
    CFeedGroupItem() = default;
};
