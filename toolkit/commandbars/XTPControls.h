// The ordered controls of one command bar: creation by type and from menu items, the index and back-pointer
// invariant, the bar's look-ups, the row layout, the reset copy and the archive form.
#pragma once

#include "framework/core/Archive.h"
#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/Dc.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

#include <vector>

class CMenu;
class CWnd;
class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;
class CXTPPopupBar;

// While one lives on this thread, every control that any collection reads from an archive is remembered until
// it ends, so that an archive naming one control in two bars is refused (two owners would release it twice).
class CXTPControlsLoadScope
{
public:
    CXTPControlsLoadScope();
    ~CXTPControlsLoadScope();
    CXTPControlsLoadScope(const CXTPControlsLoadScope&) = delete;
    CXTPControlsLoadScope& operator=(const CXTPControlsLoadScope&) = delete;
};

class CXTPControls : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPControls)

public:
    CXTPControls();
    ~CXTPControls() override;

    // Reads or writes the collection; nSchema is the schema of the owning bar.
    virtual void Serialize(CArchive& ar, UINT nSchema);
    using CObject::Serialize;

    void SetParent(CXTPCommandBar* pParent);
    CXTPCommandBar* GetParent() const { return m_pParent; }
    void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
    CXTPCommandBars* GetCommandBars() const;

    int GetCount() const { return static_cast<int>(m_arrControls.size()); }
    CXTPControl* GetAt(int nIndex) const;
    CXTPControl* GetFirst() const;
    void GetNext(CXTPControl*& pControl) const;

    // Inserts at nBefore (negative or past the end: append); the collection holds the caller's reference.
    CXTPControl* Add(CXTPControl* pControl, int nId = 0, LPCTSTR lpszParameter = nullptr, int nBefore = -1,
                     BOOL bTemporary = FALSE);
    CXTPControl* AddClone(CXTPControl* pClone, int nBefore = -1, BOOL bRecursive = FALSE);
    // A new control of the type (1 to 8), added; null for other types or kinds not built in.
    CXTPControl* AddByType(XTPControlType controlType, int nId, LPCTSTR lpszParameter = nullptr, int nBefore = -1,
                           BOOL bTemporary = FALSE);
    // One control for the item at nIndex of pMenu, appended; null when the item is skipped.
    CXTPControl* AddMenuItem(CMenu* pMenu, int nIndex);

    void Remove(CXTPControl* pControl);
    void RemoveAt(int nIndex);
    void RemoveAll();

    // The first control with the id; -1 gives the first control.
    CXTPControl* FindControl(int nId) const;
    CXTPControl* HitTest(CPoint point) const;
    // The next qualifying index from nIndex in direction nDirection (+1 or -1); see the navigation rules.
    int FindNextIndex(int nIndex, int nDirection, BOOL bSkipFlagged = TRUE, BOOL bSkipTemporary = FALSE,
                      BOOL bSkipRarelyUsed = TRUE) const;
    int GetVisibleCount(BOOL bStrict = TRUE) const;

    CXTPControls* Duplicate(BOOL bRecursive = FALSE) const;
    void SaveOriginalControls();
    CXTPControls* GetOriginalControls() const { return m_pOriginalControls; }
    void SetOriginalControls(CXTPControls* pControls);
    BOOL IsChanged() const;
    BOOL Compare(const CXTPControls* pOther) const;

    // Lays the controls out in rows (columns on a vertical dock) and returns the bar's size; with LM_COMMIT the
    // controls get their rectangles, wrap flags and hide bit 0x02.
    CSize CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder, int nWidth = 0);

    // Index, collection and parent of every control from their places; then the parent hears of the change.
    void RefreshIndexes();

    // The window that is asked to supply controls and bars: the manager's site, else the parent's command window.
    CWnd* GetSite() const;

protected:
    // The class of a control of the type (with the command id and menu text that choose special controls).
    static CXTPControl* CreateControl(XTPControlType controlType, int nId, LPCTSTR lpszMenuText);
    // A popup bar for a popup control: asked of the site, else a new default one.
    CXTPPopupBar* CreatePopupBar(LPCTSTR lpszTitle, int nId);

    CXTPCommandBar* m_pParent;
    std::vector<CXTPControl*> m_arrControls;
    CXTPCommandBars* m_pCommandBars;
    CXTPControls* m_pOriginalControls;
};
