// The common base of the task panel's groups and group items: caption, tooltip, id, type, icon, the enabled,
// drag and drop flags, and the item's archive and clipboard forms.
#pragma once

#include "framework/core/Archive.h"
#include "framework/core/AfxString.h"
#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "toolkit/taskpanel/XTPTaskPanelDefines.h"

#include <windows.h>

class CDC;
class COleDataObject;
class COleDataSource;
class CXTPImageManagerIcon;
class CXTPTaskPanel;
class CXTPTaskPanelGroup;
class CXTPTaskPanelItems;
class CXTPTaskPanelPaintManager;

class CXTPTaskPanelItem : public CCmdTarget
{
    DECLARE_DYNCREATE(CXTPTaskPanelItem)

public:
    CXTPTaskPanelItem();
    ~CXTPTaskPanelItem() override;

    // ---- State
    BOOL IsItemHot() const;
    BOOL IsItemFocused() const;
    BOOL IsItemPressed() const;
    BOOL IsItemDragging() const;
    BOOL IsItemDragOver() const;
    BOOL IsEnabled() const { return m_bEnabled; }
    void SetEnabled(BOOL bEnabled);

    // Pointer-sized: the owner may keep an address here (the navigation pane keeps its records).
    UINT_PTR GetID() const { return m_nID; }
    // Ids from 1 to 0xFFFF name a string resource: "caption\ntooltip", or the caption alone. A missing or
    // empty string leaves both empty. Other ids (0, addresses) leave caption and tooltip as they are.
    void SetID(UINT_PTR nID);

    int GetType() const { return m_nType; }
    void SetType(int nType);
    BOOL IsGroup() const { return m_nType == TaskPanelItemGroup; }

    const CString& GetCaption() const { return m_strCaption; }
    void SetCaption(LPCTSTR lpszCaption);
    const CString& GetTooltip() const { return m_strTooltip; }
    void SetTooltip(LPCTSTR lpszTooltip) { m_strTooltip = lpszTooltip; }

    int GetIconIndex() const { return m_nIconIndex; }
    void SetIconIndex(int nIndex);
    // The image manager's icon of the icon index at that width, or null.
    CXTPImageManagerIcon* GetImage(int nWidth) const;

    // A value of the owner's, not archived.
    DWORD_PTR GetItemData() const { return m_dwData; }
    void SetItemData(DWORD_PTR dwData) { m_dwData = dwData; }

    // Index in its collection, -1 when in none.
    int GetIndex() const;
    CXTPTaskPanel* GetTaskPanel() const { return m_pPanel; }
    CXTPTaskPanelItems* GetParentItems() const { return m_pItems; }
    CXTPTaskPanelPaintManager* GetPaintManager() const;

    // A group and an enabled link accept the focus.
    virtual BOOL IsAcceptFocus() const;
    // The group that holds the item; a group is its own. Null for an item that is neither.
    virtual CXTPTaskPanelGroup* GetItemGroup() const;

    // The item's flag, its group's flag and the panel's switch together.
    BOOL IsAllowDrop() const;
    BOOL IsAllowDrag() const;
    void AllowDrop(BOOL bAllow) { m_bAllowDrop = bAllow; }
    void AllowDrag(BOOL bAllow) { m_bAllowDrag = bAllow; }

    void RedrawPanel() const;
    void RepositionPanel() const;

    // Where the paint manager last drew the caption (measured without DT_VCENTER and DT_END_ELLIPSIS).
    void SetTextRect(CDC* pDC, const CRect& rc, UINT nFormat);
    const CRect& GetTextRect() const { return m_rcText; }
    UINT GetTextFormat() const { return m_nTextFormat; }

    // Takes the item out of its collection (which may release it).
    void Remove();

    // The item's class and archive data in shared memory (GMEM_MOVEABLE | GMEM_SHARE), or null on failure.
    HGLOBAL CopyToGlobalMemory();
    // Offers that block under "TaskPanelGroupItem"; FALSE when it could not be made.
    BOOL PrepareDrag(COleDataSource& source);
    // A new item (one reference, the caller's) rebuilt from "TaskPanelGroupItem" data; null when the data is
    // missing or bad, and then nothing is left behind.
    static CXTPTaskPanelItem* CreateFromOleData(COleDataObject* pDataObject, CXTPTaskPanel* pPanel = nullptr);
    static CLIPFORMAT GetClipboardFormat();

    void Serialize(CArchive& ar) override;

protected:
    CXTPTaskPanel* m_pPanel;
    CString m_strCaption;
    CString m_strTooltip;
    UINT_PTR m_nID;
    int m_nType;
    CXTPTaskPanelItems* m_pItems;
    int m_nIconIndex;
    BOOL m_bEnabled;
    BOOL m_bAllowDrop;
    BOOL m_bAllowDrag;
    CRect m_rcText;
    UINT m_nTextFormat;
    DWORD_PTR m_dwData;

    friend class CXTPTaskPanelItems;
    friend class CXTPTaskPanel;
};

// Schemas that the task panel's archive readers accept; the writers use the last.
const UINT TaskPanelSchemaFirst = 1;
const UINT TaskPanelSchemaCurrent = 7;
