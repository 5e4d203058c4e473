#include "framework/frame/ToolBar.h"

#include <vector>

namespace {

// Sets the state of one button from an update handler.
class CToolCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* pBar = static_cast<CToolBar*>(m_pOther);
        const int nIndex = static_cast<int>(m_nIndex);
        UINT nStyle = pBar->GetButtonStyle(nIndex) & ~TBBS_DISABLED;
        if (!bOn)
            nStyle |= TBBS_DISABLED;
        // A disabled button cannot stay pressed.
        if (!bOn)
            nStyle &= ~TBBS_PRESSED;
        pBar->SetButtonStyle(nIndex, nStyle);
    }
    void SetCheck(int nCheck) override
    {
        auto* pBar = static_cast<CToolBar*>(m_pOther);
        const int nIndex = static_cast<int>(m_nIndex);
        UINT nStyle = pBar->GetButtonStyle(nIndex) & ~(TBBS_CHECKED | MAKELONG(0, TBSTATE_INDETERMINATE));
        if (nCheck == 1)
            nStyle |= TBBS_CHECKED;
        else if (nCheck == 2)
            nStyle |= MAKELONG(0, TBSTATE_INDETERMINATE);
        pBar->SetButtonStyle(nIndex, nStyle | TBBS_CHECKBOX);
    }
    void SetText(LPCTSTR) override {}
};

} // namespace

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

CToolBar::CToolBar() = default;

CToolBar::~CToolBar() = default;

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    SetBorders(rcBorders.left, rcBorders.top, rcBorders.right, rcBorders.bottom);
    m_dwStyle = dwStyle & CBRS_ALL;
    // The bar's owner places it; the control must not move or size itself.
    DWORD dwWndStyle = (dwStyle & ~static_cast<DWORD>(CBRS_ALL)) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                       CCS_NODIVIDER | CCS_NORESIZE;
    if (dwStyle & CBRS_TOOLTIPS)
        dwWndStyle |= TBSTYLE_TOOLTIPS;
    if (!CWnd::Create(TOOLBARCLASSNAMEW, nullptr, dwWndStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    while (SendMessage(TB_BUTTONCOUNT, 0, 0) > 0)
        SendMessage(TB_DELETEBUTTON, 0, 0);
    std::vector<TBBUTTON> buttons;
    int nImage = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON button{};
        button.idCommand = static_cast<int>(lpIDArray[i]);
        if (lpIDArray[i] == ID_SEPARATOR) {
            button.fsStyle = TBSTYLE_SEP;
        } else {
            button.fsStyle = TBSTYLE_BUTTON;
            button.fsState = TBSTATE_ENABLED;
            button.iBitmap = nImage++;
        }
        button.iString = -1;
        buttons.push_back(button);
    }
    m_nCount = nIDCount;
    if (buttons.empty())
        return TRUE;
    return SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
}

void CToolBar::SetImageList(HIMAGELIST hImageList)
{
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hImageList));
}

BOOL CToolBar::GetButton(int nIndex, TBBUTTON* pButton) const
{
    *pButton = TBBUTTON{};
    return m_hWnd != nullptr &&
           ::SendMessageW(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(pButton)) != 0;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    if (m_hWnd == nullptr)
        return -1;
    return static_cast<int>(::SendMessageW(m_hWnd, TB_COMMANDTOINDEX, nIDFind, 0));
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button;
    return GetButton(nIndex, &button) ? static_cast<UINT>(button.idCommand) : 0;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (m_hWnd != nullptr)
        ::SendMessageW(m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON button;
    if (!GetButton(nIndex, &button))
        return 0;
    // The enabled state is kept inverted, so that a style of 0 is a usable button.
    return MAKELONG(button.fsStyle, button.fsState ^ TBSTATE_ENABLED);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTON button;
    if (!GetButton(nIndex, &button))
        return;
    const BYTE fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    const BYTE fsState = static_cast<BYTE>(HIWORD(nStyle) ^ TBSTATE_ENABLED);
    if (button.fsStyle == fsStyle && button.fsState == fsState)
        return;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE;
    info.fsStyle = fsStyle;
    info.fsState = fsState;
    SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
    // The control lays out wrapped rows only when asked again.
    if ((button.fsState ^ fsState) & TBSTATE_WRAP)
        SendMessage(TB_AUTOSIZE, 0, 0);
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CRect rcAll(0, 0, 0, 0);
    const int nCount = m_hWnd != nullptr ? static_cast<int>(SendMessage(TB_BUTTONCOUNT, 0, 0)) : 0;
    for (int i = 0; i < nCount; ++i) {
        CRect rc;
        GetItemRect(i, &rc);
        rcAll.UnionRect(&rcAll, &rc);
    }
    CSize size(rcAll.right + m_cxLeftBorder + m_cxRightBorder, rcAll.bottom + m_cyTopBorder + m_cyBottomBorder);
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

void CToolBar::OnUpdateCmdUI(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = m_hWnd != nullptr ? static_cast<UINT>(SendMessage(TB_BUTTONCOUNT, 0, 0)) : 0;
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        TBBUTTON button;
        if (!GetButton(static_cast<int>(state.m_nIndex), &button) || (button.fsStyle & TBSTYLE_SEP))
            continue;
        state.m_nID = static_cast<UINT>(button.idCommand);
        // The bar's own update handlers first, then the target's route.
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}
