#include "toolkit/commandbars/XTPFrameWnd.h"

#include "framework/StandardIds.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPPopupBar.h"

BOOL XTPIsCommandBarEditFocused()
{
    HWND hFocus = ::GetFocus();
    if (hFocus == nullptr)
        return FALSE;
    wchar_t szClass[16] = {};
    ::GetClassNameW(hFocus, szClass, 16);
    if (::lstrcmpiW(szClass, L"Edit") != 0)
        return FALSE;
    if (XTPGetFocusedFieldEdit() != nullptr)
        return TRUE;
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(hFocus));
    return pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CXTPCommandBar));
}

CWnd* XTPGetFocusedFieldEdit()
{
    CWnd* pFocus = CWnd::FromHandlePermanent(::GetFocus());
    return pFocus != nullptr && pFocus->IsKindOf(RUNTIME_CLASS(CXTPEdit)) ? pFocus : nullptr;
}

BOOL XTPIsFieldEditCommand(UINT nID)
{
    return nID == ID_EDIT_CUT || nID == ID_EDIT_COPY || nID == ID_EDIT_PASTE || nID == ID_EDIT_SELECT_ALL ||
           nID == ID_EDIT_UNDO || nID == ID_EDIT_CLEAR;
}

CWnd* XTPGetTrackedPopupOwner()
{
    const std::vector<CXTPTrackingBar*>& arrTracked = XTPMouseManager()->GetTrackedBars();
    for (auto it = arrTracked.rbegin(); it != arrTracked.rend(); ++it) {
        auto* pBar = dynamic_cast<CXTPCommandBar*>(*it);
        if (pBar == nullptr || !pBar->IsPopupBar())
            continue;
        CXTPCommandBar* pRoot = pBar->GetRootParent();
        CWnd* pOwner = pRoot->GetOwnerWindow();
        if (pOwner != nullptr && !pOwner->IsFrameWnd())
            return pOwner;
        return nullptr;
    }
    return nullptr;
}
