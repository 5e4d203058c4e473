// Placeholders of menus that stand for lists known only at run time (document windows, toolbars, the selected
// object's verbs, recently used files, tab-group actions): hidden in normal use, each fills its bar after itself
// with temporary controls for the current list at every layout, and shows itself in customise mode. Beside them
// a label and a grid size selector.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

// Command ids of the placeholders.
#define XTP_ID_WINDOWLIST 35000
#define XTP_ID_WORKSPACE_ACTIONS 35002
#define XTP_ID_FILE_MRU 35003

// WM_XTP_CONTROL_EXECUTE code of the selector when the highlighted size changes.
#define XTP_SLN_SELCHANGE 0x1006

class CXTPControlWindowList : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlWindowList)

public:
    void OnCalcDynamicSize(DWORD dwMode) override;
    // A copy stays a placeholder of its kind.
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
    BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT& dropEffect) override;

    // The first child id the list counts from; kept for the whole process.
    static UINT GetFirstWindowID();
    static void SetFirstWindowID(UINT nID);
};

class CXTPControlToolbars : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlToolbars)

public:
    void OnCalcDynamicSize(DWORD dwMode) override;
    // A copy stays a placeholder of its kind.
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
    BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT& dropEffect) override;
};

class CXTPControlOleItems : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlOleItems)

public:
    void OnCalcDynamicSize(DWORD dwMode) override;
    // A copy stays a placeholder of its kind.
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
    BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT& dropEffect) override;
};

class CXTPControlRecentFileList : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlRecentFileList)

public:
    void OnCalcDynamicSize(DWORD dwMode) override;
    // A copy stays a placeholder of its kind.
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
    BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT& dropEffect) override;
};

class CXTPControlWorkspaceActions : public CXTPControlButton
{
    DECLARE_SERIAL(CXTPControlWorkspaceActions)

public:
    void OnCalcDynamicSize(DWORD dwMode) override;
    // A copy stays a placeholder of its kind.
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
};

class CXTPControlLabel : public CXTPControl
{
    DECLARE_SERIAL(CXTPControlLabel)

public:
    CXTPControlLabel();

    int GetSelected() const override { return 0; }
    BOOL IsLabelStyle() const override { return TRUE; }
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
};

class CXTPControlSelector : public CXTPControl
{
    DECLARE_SERIAL(CXTPControlSelector)

public:
    CXTPControlSelector();

    void Serialize(CArchive& ar) override;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnLButtonUp(CPoint point) override;
    void OnMouseMove(CPoint point) override;
    BOOL SetSelected(int bSelected) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;

    // Draws what a cell shows; nothing here.
    virtual void DrawCellContent(CDC* /*pDC*/, CRect /*rcCell*/, int /*nColumn*/, int /*nRow*/) {}

    void SetInitialSize(CSize sz) { m_szInitial = sz; }
    void SetMaxSize(CSize sz) { m_szMax = sz; }
    void SetCellSize(CSize sz) { m_szCell = sz; }
    CSize GetSelectedSize() const { return m_szSelected; }
    CSize GetChosenSize() const { return m_szChosen; }
    CSize GetShownSize() const { return m_szShown; }

protected:
    void SetSelectedSize(CSize sz, BOOL bNotifyAlways);
    void NotifySite();

    CSize m_szInitial;
    CSize m_szMax;
    CSize m_szSelected;
    CSize m_szCell;
    CSize m_szChosen;
    CSize m_szShown;
    BOOL m_bResizing;
};
