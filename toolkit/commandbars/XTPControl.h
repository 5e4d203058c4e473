// An item of a command bar: a menu item, a toolbar button, a popup, a field. A control is not a window: it lives
// in the control collection of one bar, knows its rectangle in that bar, is drawn through the paint manager,
// reacts to the bar's mouse and keyboard dispatch and runs its command.
#pragma once

#include "framework/core/Archive.h"
#include "framework/core/Collections.h"
#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/Dc.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControls;
class CXTPImageManager;
class CXTPImageManagerIcon;
class CXTPPaintManager;

// Holds a reference for the length of a scope, so that a command run from a control may release it safely.
class CScopedReference
{
public:
    explicit CScopedReference(CCmdTarget* pTarget) : m_pTarget(pTarget)
    {
        if (m_pTarget != nullptr)
            m_pTarget->InternalAddRef();
    }
    ~CScopedReference()
    {
        if (m_pTarget != nullptr)
            m_pTarget->InternalRelease();
    }
    CScopedReference(const CScopedReference&) = delete;
    CScopedReference& operator=(const CScopedReference&) = delete;

private:
    CCmdTarget* m_pTarget;
};

class CXTPControl : public CCmdTarget
{
    DECLARE_SERIAL(CXTPControl)

public:
    typedef CMap<UINT, UINT, BOOL, BOOL> CDocTemplateMap;

    CXTPControl();
    ~CXTPControl() override;

    void Serialize(CArchive& ar) override;

    // ---- Overridable behaviour, in slot order.
    virtual CString GetTooltip() const;
    // Stores the flag and marks the parent's layout pending, changed or not.
    virtual void SetBeginGroup(BOOL bBeginGroup);
    // Stores a changed value and asks the parent for a redraw.
    virtual void SetEnabled(BOOL bEnabled);
    virtual int GetSelected() const;
    virtual void SetRect(CRect rcControl);
    virtual BOOL IsEqual(CXTPControl* pOther);
    // The bar the control opens (popups); null for others.
    virtual CXTPCommandBar* GetCommandBar() const;
    // Labels draw with the marked fill in popups.
    virtual BOOL IsLabelStyle() const;
    virtual void SetHideFlags(DWORD dwFlags);
    virtual void OnExecute();
    virtual CSize GetSize(CDC* pDC);
    virtual void Draw(CDC* pDC);
    // Told the layout mode before each layout.
    virtual void OnCalcDynamicSize(DWORD dwMode);
    virtual CXTPImageManagerIcon* GetImage(int nWidth = 16) const;
    // Offered every key while the control edits (0 not handled, 1 handled, 2 pass on).
    virtual int OnHookKeyDown(UINT nChar, LPARAM lParam);
    virtual void SetParent(CXTPCommandBar* pParent);
    virtual void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE);
    virtual BOOL OnSetPopup(BOOL bPopup);
    virtual void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0));
    virtual void OnLButtonUp(CPoint point);
    virtual void OnRButtonUp(CPoint point);
    virtual BOOL OnLButtonDblClk(CPoint point);
    virtual void OnMouseMove(CPoint point);
    virtual void OnMouseHover();
    virtual BOOL SetSelected(int bSelected);
    virtual void CustomizeStartDrag(CPoint pt);
    virtual void OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point, DROPEFFECT& dropEffect);
    virtual BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT& dropEffect);
    virtual CXTPControl* Clone(BOOL bRecursive = FALSE);
    // Called once when a customise drag of the control really starts.
    virtual void OnCustomizeDragStart(CPoint point);

    // What the themes read of field controls (the combo box and edit controls answer them).
    virtual BOOL GetPopuped() const { return FALSE; }
    virtual int GetFieldWidth() const { return 0; }
    virtual BOOL GetShowLabel() const { return FALSE; }
    virtual BOOL IsDroppedDown() const { return FALSE; }
    virtual HWND GetEditWindow() const { return nullptr; }

    // ---- Identity and text.
    int GetID() const { return m_nId; }
    // Loads the id's string resource, when it has one, into the description and tooltip.
    void SetID(int nId);
    int GetIndex() const { return m_nIndex; }
    XTPControlType GetType() const { return m_controlType; }
    void SetType(XTPControlType type) { m_controlType = type; }
    // A newline splits description from tooltip; the caption becomes the tooltip.
    void SetPrompt(LPCTSTR lpszPrompt);
    // A tab splits the caption from the shortcut text.
    void SetCaption(LPCTSTR lpszCaption);
    CString GetCaption() const;
    void SetCustomCaption(LPCTSTR lpszCaption) { m_strCustomCaption = lpszCaption; }
    CString GetCustomCaption() const { return m_strCustomCaption; }
    void SetShortcutText(LPCTSTR lpszText) { m_strShortcutText = lpszText; }
    CString GetShortcutText() const { return m_strShortcutText; }
    void SetTooltip(LPCTSTR lpszText) { m_strTooltipText = lpszText; }
    void SetDescription(LPCTSTR lpszText) { m_strDescriptionText = lpszText; }
    CString GetDescription() const { return m_strDescriptionText; }
    void SetParameter(LPCTSTR lpszText) { m_strParameter = lpszText; }
    CString GetParameter() const { return m_strParameter; }

    // ---- Images.
    int GetIconId() const;
    void SetIconId(int nId) { m_nIconId = nId; }
    int GetCustomIconId() const { return m_nCustomIconId; }
    void SetCustomIconId(int nId) { m_nCustomIconId = nId; }
    XTPButtonStyle GetStyle() const { return m_buttonStyle; }
    void SetStyle(XTPButtonStyle style) { m_buttonStyle = style; }

    // ---- States.
    BOOL GetEnabled() const { return m_bEnabled; }
    int GetChecked() const { return m_bChecked; }
    void SetChecked(int bChecked);
    int GetPressed() const { return m_bPressed; }
    void SetPressed(int bPressed) { m_bPressed = bPressed; }
    BOOL GetBeginGroup() const { return m_bBeginGroup; }
    BOOL GetWrap() const { return m_bWrap; }
    void SetWrap(BOOL bWrap) { m_bWrap = bWrap; }
    BOOL IsTemporary() const { return m_bTemporary; }
    void SetTemporary(BOOL bTemporary) { m_bTemporary = bTemporary; }
    CRect GetRect() const { return m_rcControl; }
    CRect GetRowRect() const { return m_rcRow; }
    void SetRowRect(CRect rcRow) { m_rcRow = rcRow; }
    DWORD GetHideFlags() const { return m_dwHideFlags; }
    // Sets or clears one bit; TRUE when the flags changed.
    BOOL SetHideFlag(DWORD dwFlag, BOOL bSet);
    BOOL IsVisible() const { return m_dwHideFlags == xtpNoHide; }
    DWORD GetFlags() const { return m_dwFlags; }
    void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
    BOOL IsRarelyUsed() const { return m_bRarelyUsed; }
    void SetRarelyUsed(BOOL bRarelyUsed);
    BOOL IsDefaultItem() const { return m_bDefaultItem; }
    void SetDefaultItem(BOOL bDefault);
    BOOL GetCloseSubMenuOnClick() const { return m_bCloseSubMenuOnClick; }
    void SetCloseSubMenuOnClick(BOOL bClose) { m_bCloseSubMenuOnClick = bClose; }
    int GetUserValue() const { return m_nUserValue; }
    void SetUserValue(int nValue) { m_nUserValue = nValue; }

    // ---- Where it lives.
    CXTPCommandBar* GetParent() const { return m_pParent; }
    CXTPControls* GetControls() const { return m_pControls; }
    CXTPCommandBars* GetCommandBars() const;
    CXTPPaintManager* GetPaintManager() const;
    CXTPImageManager* GetImageManager() const;
    BOOL IsCustomizeMode() const;
    // The cursor lies in the rectangle (in the parent's client coordinates).
    BOOL IsCursorOver() const;

    void DelayLayoutParent();
    void DelayRedrawParent();
    void RedrawParent();

    // The modal loop of a pressed button: executes when released inside rc.
    void TrackButtonClick(CRect rc);

    CDocTemplateMap m_mapDocTemplatesAssigned;
    CDocTemplateMap m_mapDocTemplatesExcluded;

protected:
    friend class CXTPControls;
    friend class CXTPCommandBar;
    friend class CXTPPaintManager;

    int m_nUserValue;
    int m_nIndex;
    int m_nId;
    int m_nIconId;
    int m_nCustomIconId;
    BOOL m_bWrap;
    BOOL m_bBeginGroup;
    BOOL m_bEnabled;
    int m_bChecked;
    int m_bSelected;
    int m_bPressed;
    BOOL m_bTemporary;
    CRect m_rcRow;
    CRect m_rcControl;
    DWORD m_dwHideFlags;
    DWORD m_dwFlags;
    CString m_strCaption;
    CString m_strCustomCaption;
    CString m_strSpareText;
    CString m_strShortcutText;
    CString m_strTooltipText;
    CString m_strDescriptionText;
    CString m_strParameter;
    CXTPControls* m_pControls;
    XTPControlType m_controlType;
    CXTPCommandBar* m_pParent;
    BOOL m_bRarelyUsed;
    CString m_strSpareText2;
    BOOL m_bDefaultItem;
    int m_nLoadedSchema;
    XTPButtonStyle m_buttonStyle;
    BOOL m_bCloseSubMenuOnClick;
    int m_nReserved;
};

// The plain push button, and the base of the special menu controls.
class CXTPControlButton : public CXTPControl
{
    DECLARE_SERIAL(CXTPControlButton)

public:
    CXTPControlButton();

    void Serialize(CArchive& ar) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnLButtonUp(CPoint point) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;
};
