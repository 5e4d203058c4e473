#include "toolkit/controls/XTEdit.h"

#include "framework/win/Dc.h"
#include "toolkit/base/XTPColorManager.h"
#include "toolkit/base/XTPToolkitGlobals.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/controls/ControlsResource.h"
#include "toolkit/controls/XTMemDC.h"

IMPLEMENT_DYNAMIC(CXTEdit, CEdit)

BEGIN_MESSAGE_MAP(CXTEdit, CEdit)
ON_WM_CONTEXTMENU()
ON_WM_INITMENUPOPUP()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
ON_COMMAND(ID_EDIT_CUT, OnEditCut)
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateNeedSel)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedSel)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
ON_UPDATE_COMMAND_UI(ID_EDIT_CLEAR, OnUpdateNeedSel)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateEditSelectAll)
END_MESSAGE_MAP()

namespace {

// The position of the edit's own popup in the toolkit's context menu resource.
constexpr int kEditPopup = 1;

} // namespace

CXTEdit::CXTEdit() : m_pParentWnd(nullptr) {}

CXTEdit::~CXTEdit()
{
    DestroyWindow();
}

BOOL CXTEdit::CanPaste()
{
    return ::IsClipboardFormatAvailable(CF_TEXT);
}

BOOL CXTEdit::SelectionMade()
{
    int nStart = 0;
    int nEnd = 0;
    GetSel(nStart, nEnd);
    return nStart < nEnd;
}

BOOL CXTEdit::Initialize(CWnd* pParentWnd)
{
    if (!::IsWindow(m_hWnd) || pParentWnd == nullptr || !::IsWindow(pParentWnd->m_hWnd))
        return FALSE;
    SetFont(&GetToolkitGlobals()->m_fonts[CXTPToolkitGlobals::fontRegular], TRUE);
    m_pParentWnd = pParentWnd;
    return TRUE;
}

void CXTEdit::OnContextMenu(CWnd*, CPoint point)
{
    if (point.x == -1 && point.y == -1) {
        CRect rect;
        GetClientRect(&rect);
        ClientToScreen(&rect);
        point = rect.TopLeft();
        point.Offset(5, 5);
    }
    CMenu menu;
    if (!XTGetResourceHolder()->LoadMenu(&menu, XT_IDM_POPUP))
        return;
    if (CMenu* pPopup = menu.GetSubMenu(kEditPopup))
        pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CXTEdit::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
    Default();
    if (bSysMenu || pPopupMenu == nullptr)
        return;
    HMENU hMenu = pPopupMenu->GetSafeHmenu();
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(hMenu));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = ::GetMenuItemID(hMenu, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue;
        if (state.m_nID == static_cast<UINT>(-1)) {
            // A submenu stands for its first item.
            state.m_pSubMenu = pPopupMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (state.m_pSubMenu == nullptr)
                continue;
            state.m_nID = ::GetMenuItemID(state.m_pSubMenu->GetSafeHmenu(), 0);
            if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.DoUpdate(this, FALSE);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(this, state.m_nID < 0xF000);
        }
        state.m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(hMenu));
    }
}

BOOL CXTEdit::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CXTEdit::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    CXTMemDC memDC(&dc, rect, GetToolkitColor(IsWindowEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
    DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
}

void CXTEdit::OnEditUndo()
{
    SendMessage(EM_UNDO);
}

void CXTEdit::OnEditCut()
{
    SendMessage(WM_CUT);
}

void CXTEdit::OnEditCopy()
{
    SendMessage(WM_COPY);
}

void CXTEdit::OnEditPaste()
{
    SendMessage(WM_PASTE);
}

void CXTEdit::OnEditClear()
{
    SendMessage(WM_CLEAR);
}

void CXTEdit::OnEditSelectAll()
{
    SendMessage(EM_SETSEL, 0, -1);
    SendMessage(EM_SCROLLCARET);
}

void CXTEdit::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(static_cast<BOOL>(SendMessage(EM_CANUNDO)));
}

void CXTEdit::OnUpdateNeedSel(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(SelectionMade());
}

void CXTEdit::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanPaste());
}

void CXTEdit::OnUpdateEditSelectAll(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetWindowTextLength() > 0);
}
