#include "toolkit/customize/XTPCustomizeSheet.h"

#include "framework/win/Menu.h"
#include "framework/win/OleDragDrop.h"
#include "framework/win/WinApp.h"
#include "toolkit/base/ToolkitMessages.h"
#include "toolkit/base/XTPImageManager.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/base/XTResourceHolder.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/customize/CustomizeSheetResource.h"
#include "toolkit/customize/XTPCustomizeCommandsPage.h"
#include "toolkit/customize/XTPCustomizeToolbarsPage.h"
#include "toolkit/customize/XTPImageEditorDlg.h"

#include <windowsx.h>

#include <cmath>

namespace {

// The hook record: non-null exactly while a sheet runs, which also refuses a second sheet.
struct CXTPCustomizeHook
{
    HHOOK hMouseHook;
    HHOOK hKeyboardHook;
    CXTPCustomizeSheet* pSheet;
};
CXTPCustomizeHook* g_pCustomizeHook = nullptr;

const int kCommandImageCount = 25;

// The command bar that hWnd is, or lies in; null when none.
CXTPCommandBar* FindCommandBar(HWND hWnd)
{
    for (; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CXTPCommandBar)))
            return static_cast<CXTPCommandBar*>(pWnd);
        if ((::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) == 0)
            break;
    }
    return nullptr;
}

BOOL IsInside(HWND hWndOuter, HWND hWnd)
{
    return hWndOuter != nullptr && hWnd != nullptr && (hWnd == hWndOuter || ::IsChild(hWndOuter, hWnd));
}

LRESULT CALLBACK CustomizeMouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPCustomizeHook* pHook = g_pCustomizeHook;
    if (nCode < 0 || pHook == nullptr)
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    const MOUSEHOOKSTRUCT* pInfo = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (nCode == HC_ACTION && !pHook->pSheet->FilterMouse(pInfo->hwnd, static_cast<UINT>(wParam), pInfo->pt))
        return 1;
    return ::CallNextHookEx(pHook->hMouseHook, nCode, wParam, lParam);
}

LRESULT CALLBACK CustomizeKeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CXTPCustomizeHook* pHook = g_pCustomizeHook;
    if (nCode < 0 || pHook == nullptr)
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    if (nCode == HC_ACTION && !pHook->pSheet->FilterKeyboard())
        return 1;
    return ::CallNextHookEx(pHook->hKeyboardHook, nCode, wParam, lParam);
}

CString LoadToolkitString(UINT nID)
{
    CString str;
    XTGetResourceHolder()->LoadString(&str, nID);
    return str;
}

} // namespace

// ---- CXTPCustomizeNameEdit

IMPLEMENT_DYNCREATE(CXTPCustomizeNameEdit, CXTPControlEdit)

CXTPCustomizeNameEdit::CXTPCustomizeNameEdit() = default;

BOOL CXTPCustomizeNameEdit::SetSelected(int bSelected)
{
    // A name typed and left for another item is applied without closing the menu.
    if (bSelected == xtpNotSelected && GetSelected() && GetEditWindow() != nullptr && ::GetFocus() == GetEditWindow()) {
        if (CXTPCommandBar* pParent = GetParent()) {
            if (CWnd* pOwner = pParent->GetOwnerSite()) {
                NMXTPCONTROL tag = {};
                tag.hdr.idFrom = static_cast<UINT_PTR>(GetID());
                tag.hdr.code = XTP_NOTIFY_EXECUTE;
                tag.pControl = this;
                pOwner->SendMessage(WM_XTP_CONTROL_EXECUTE, static_cast<WPARAM>(GetID()),
                                    reinterpret_cast<LPARAM>(&tag));
            }
        }
    }
    return CXTPControlEdit::SetSelected(bSelected);
}

CXTPControl* CXTPCustomizeNameEdit::Clone(BOOL bRecursive)
{
    CXTPCustomizeNameEdit* pClone = new CXTPCustomizeNameEdit;
    pClone->Copy(this, bRecursive);
    return pClone;
}

// ---- CXTPCustomizeSheet

IMPLEMENT_DYNAMIC(CXTPCustomizeSheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CXTPCustomizeSheet, CPropertySheet)
ON_COMMAND(XTP_ID_CUSTOMIZE_RESET, OnCustomizeReset)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_RESET, OnUpdateCustomizeReset)
ON_COMMAND(XTP_ID_CUSTOMIZE_DELETE, OnCustomizeDelete)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_DELETE, OnUpdateCustomizeAlways)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_NAME, OnUpdateCustomizeName)
ON_COMMAND(XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE, OnCustomizeCopyImage)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE, OnUpdateCustomizeImage)
ON_COMMAND(XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE, OnCustomizePasteImage)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE, OnUpdateCustomizePasteImage)
ON_COMMAND(XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE, OnCustomizeResetImage)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE, OnUpdateCustomizeResetImage)
ON_COMMAND(XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE, OnCustomizeEditImage)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE, OnUpdateCustomizeImage)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE, OnUpdateCustomizeImage)
ON_COMMAND_RANGE(XTP_ID_CUSTOMIZE_DEFAULTSTYLE, XTP_ID_CUSTOMIZE_TEXTONLY, OnCustomizeStyle)
ON_UPDATE_COMMAND_UI_RANGE(XTP_ID_CUSTOMIZE_DEFAULTSTYLE, XTP_ID_CUSTOMIZE_TEXTONLY, OnUpdateCustomizeStyle)
ON_COMMAND(XTP_ID_CUSTOMIZE_BEGINAGROUP, OnCustomizeBeginGroup)
ON_UPDATE_COMMAND_UI(XTP_ID_CUSTOMIZE_BEGINAGROUP, OnUpdateCustomizeBeginGroup)
ON_MESSAGE(WM_XTP_CONTROL_EXECUTE, OnControlExecute)
ON_MESSAGE(WM_XTP_CREATE_CONTROL, OnCreateControl)
ON_MESSAGE(WM_CONTEXTMENU, OnContextMenuMessage)
END_MESSAGE_MAP()

CXTPCustomizeSheet::CXTPCustomizeSheet(CXTPCommandBars* pCommandBars, UINT iSelectPage)
    : m_pToolbarsPage(nullptr), m_pCommandsPage(nullptr), m_pCommandBars(pCommandBars)
{
    Construct(LoadToolkitString(XTP_IDS_CUSTOMIZE_SHEET), pCommandBars != nullptr ? pCommandBars->GetSite() : nullptr,
              iSelectPage);
    m_pToolbarsPage = new CXTPCustomizeToolbarsPage(this);
    m_pCommandsPage = new CXTPCustomizeCommandsPage(this);
    AddPage(m_pToolbarsPage);
    AddPage(m_pCommandsPage);

    m_ilCommandImages.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 1);
    CBitmap bmp;
    if (XTGetResourceHolder()->LoadBitmap(&bmp, XTP_IDB_CUSTOMIZE_ICONS))
        m_ilCommandImages.Add(&bmp, RGB(0, 255, 0));
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
}

CXTPCustomizeSheet::~CXTPCustomizeSheet()
{
    delete m_pToolbarsPage;
    delete m_pCommandsPage;
}

CXTPCustomizeSheet* CXTPCustomizeSheet::GetRunningSheet()
{
    return g_pCustomizeHook != nullptr ? g_pCustomizeHook->pSheet : nullptr;
}

void CXTPCustomizeSheet::AddPage(CPropertyPage* pPage)
{
    CPropertySheet::AddPage(pPage);
    const UINT nTemplate = IS_INTRESOURCE(pPage->m_psp.pszTemplate)
                               ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(pPage->m_psp.pszTemplate))
                               : 0;
    if (nTemplate == 0 || (pPage->m_psp.dwFlags & PSP_DLGINDIRECT) != 0)
        return;
    if (LPCDLGTEMPLATE pTemplate = XTGetResourceHolder()->LoadDialogTemplate(nTemplate)) {
        pPage->m_psp.pResource = pTemplate;
        pPage->m_psp.dwFlags |= PSP_DLGINDIRECT;
    }
}

INT_PTR CXTPCustomizeSheet::DoModal()
{
    if (g_pCustomizeHook != nullptr || m_pCommandBars == nullptr)
        return IDCANCEL;
    CXTPCustomizeDropSource* pDropSource = m_pCommandBars->GetDropSource();
    CScopedReference keepBars(m_pCommandBars);
    m_pCommandBars->SetCustomizeMode(TRUE);
    pDropSource->m_pSheet = this;
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr)
        pApp->EnableModeless(FALSE);

    CXTPCustomizeHook hook = {nullptr, nullptr, this};
    g_pCustomizeHook = &hook;
    HWND hWndSite = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (hWndSite != nullptr) {
        hook.hMouseHook = ::SetWindowsHookExW(WH_MOUSE, CustomizeMouseProc, nullptr, ::GetCurrentThreadId());
        hook.hKeyboardHook = ::SetWindowsHookExW(WH_KEYBOARD, CustomizeKeyboardProc, nullptr, ::GetCurrentThreadId());
    }
    if (HWND hWndCapture = ::GetCapture())
        ::SendMessageW(hWndCapture, WM_CANCELMODE, 0, 0);

    // The site stays enabled: the user works on its bars while the sheet runs; the hooks keep the rest out.
    m_bModeless = FALSE;
    m_nModalResult = -1;
    if (CreateSheetWindow(hWndSite)) {
        m_nFlags |= WF_CONTINUEMODAL;
        if (ContinueModal())
            RunModalLoop(0);
        else
            m_nModalResult = m_nResultCandidate;
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);

    if (hook.hMouseHook != nullptr)
        ::UnhookWindowsHookEx(hook.hMouseHook);
    if (hook.hKeyboardHook != nullptr)
        ::UnhookWindowsHookEx(hook.hKeyboardHook);
    if (m_hWnd != nullptr) {
        const BOOL bActive = ::GetActiveWindow() == m_hWnd;
        ShowWindow(SW_HIDE);
        DestroyWindow();
        if (bActive && hWndSite != nullptr && ::IsWindow(hWndSite))
            ::SetActiveWindow(hWndSite);
    }
    if (pApp != nullptr)
        pApp->EnableModeless(TRUE);
    m_pCommandBars->SetCustomizeMode(FALSE);
    pDropSource->m_pSheet = nullptr;
    g_pCustomizeHook = nullptr;
    return m_nModalResult;
}

BOOL CXTPCustomizeSheet::OnInitDialog()
{
    const BOOL bResult = CPropertySheet::OnInitDialog();
    if (CWnd* pOK = GetDlgItem(IDOK))
        pOK->ShowWindow(SW_HIDE);
    if (CWnd* pCancel = GetDlgItem(IDCANCEL))
        pCancel->SetWindowText(LoadToolkitString(XTP_IDS_CUSTOMIZE_CLOSE));
    return bResult;
}

BOOL CXTPCustomizeSheet::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_SYSKEYDOWN && m_hWnd != nullptr &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        if (CTabCtrl* pTab = GetTabControl()) {
            const int nCount = pTab->GetItemCount();
            for (int i = 0; i < nCount; ++i) {
                wchar_t szText[257] = {};
                TCITEMW item = {};
                item.mask = TCIF_TEXT;
                item.pszText = szText;
                item.cchTextMax = 256;
                if (!pTab->GetItem(i, &item))
                    continue;
                const wchar_t* pAmp = wcsrchr(szText, L'&');
                if (pAmp == nullptr || pAmp[1] == 0)
                    continue;
                if (static_cast<WPARAM>(::towupper(pAmp[1])) == pMsg->wParam) {
                    SetActivePage(i);
                    return TRUE;
                }
            }
        }
    }
    return CPropertySheet::PreTranslateMessage(pMsg);
}

BOOL CXTPCustomizeSheet::FilterMouse(HWND hWndTarget, UINT nMessage, POINT pt) const
{
    if (nMessage == WM_MOUSEMOVE || nMessage == WM_NCMOUSEMOVE)
        return TRUE;
    CXTPCommandBar* pBar = FindCommandBar(hWndTarget);
    if (XTPMouseManager()->IsTracking()) {
        // The context menu (a bar without command bars) keeps its clicks; a click elsewhere closes it.
        if (pBar != nullptr && pBar->GetCommandBars() == nullptr)
            return TRUE;
        XTPMouseManager()->ProcessMouseMessage(nMessage, pt);
    }
    HWND hWndSite = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!IsInside(hWndSite, hWndTarget))
        return TRUE;
    if (IsInside(m_hWnd, hWndTarget))
        return TRUE;
    // A window of the site's own that has the activation (a dialog on it) works as usual; the frame itself does
    // not count, or clicking one of its bars would open the whole frame again.
    HWND hWndForeground = ::GetForegroundWindow();
    if (hWndForeground != hWndSite && IsInside(hWndForeground, hWndTarget))
        return TRUE;
    return pBar != nullptr && pBar->GetCommandBars() == m_pCommandBars;
}

BOOL CXTPCustomizeSheet::FilterKeyboard() const
{
    HWND hWndFocus = ::GetFocus();
    if (IsInside(m_hWnd, hWndFocus))
        return TRUE;
    if (hWndFocus != nullptr && FindCommandBar(::GetParent(hWndFocus)) != nullptr)
        return TRUE;
    HWND hWndSite = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    HWND hWndForeground = ::GetForegroundWindow();
    if (hWndForeground != hWndSite && IsInside(hWndForeground, hWndFocus))
        return TRUE;
    return ::GetCapture() != nullptr;
}

// ---- The context menu

CXTPControl* CXTPCustomizeSheet::GetSelection() const
{
    return m_pCommandBars != nullptr ? m_pCommandBars->GetCustomizeControl() : nullptr;
}

BOOL CXTPCustomizeSheet::IsImageType(const CXTPControl* pControl)
{
    return pControl != nullptr && pControl->GetType() >= xtpControlButton &&
           pControl->GetType() <= xtpControlSplitButtonPopup;
}

BOOL CXTPCustomizeSheet::HasIcon(const CXTPControl* pControl)
{
    return IsImageType(pControl) && pControl->GetIconId() > 0;
}

void CXTPCustomizeSheet::RecalcParent(CXTPControl* pControl)
{
    if (CXTPCommandBar* pParent = pControl->GetParent())
        pParent->OnRecalcLayout();
}

void CXTPCustomizeSheet::TrackContextMenu(CPoint ptScreen)
{
    CMenu menu;
    if (m_pCommandBars == nullptr || !XTGetResourceHolder()->LoadMenu(&menu, XTP_IDR_CUSTOMIZEMENU))
        return;
    CMenu* pPopupMenu = menu.GetSubMenu(0);
    if (pPopupMenu == nullptr)
        return;
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(nullptr);
    pPopup->SetOwner(m_pParentWnd);
    pPopup->SetNotifyWindow(this);
    CXTPPaintManager* pPaintManager = m_pCommandBars->GetPaintManager();
    CXTPImageManager* pImageManager = m_pCommandBars->GetImageManager();
    pPaintManager->InternalAddRef();
    pImageManager->InternalAddRef();
    pPopup->SetPaintManager(pPaintManager);
    pPopup->SetImageManager(pImageManager);
    if (pPopup->LoadMenu(pPopupMenu, TRUE)) {
        CXTPControl* pSelection = GetSelection();
        if (CXTPControlEdit* pName =
                DYNAMIC_DOWNCAST(CXTPControlEdit, pPopup->GetControls()->FindControl(XTP_ID_CUSTOMIZE_NAME)))
            pName->SetEditText(pSelection != nullptr ? pSelection->GetCaption() : CString());
        UINT nFlags = 0;
        if (m_pParentWnd != nullptr && (m_pParentWnd->GetExStyle() & WS_EX_LAYOUTRTL) != 0)
            nFlags |= TPM_RIGHTALIGN;
        CXTPCommandBars::TrackPopupBar(pPopup, nFlags, ptScreen.x, ptScreen.y, m_pParentWnd, nullptr, this);
    }
    pPopup->InternalRelease();
}

LRESULT CXTPCustomizeSheet::OnContextMenuMessage(WPARAM, LPARAM lParam)
{
    TrackContextMenu(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    return 0;
}

LRESULT CXTPCustomizeSheet::OnCreateControl(WPARAM, LPARAM lParam)
{
    XTP_COMMANDBARS_CREATECONTROL* pCreate = reinterpret_cast<XTP_COMMANDBARS_CREATECONTROL*>(lParam);
    if (pCreate == nullptr || pCreate->bToolBar)
        return 0;
    if (pCreate->nID == XTP_ID_CUSTOMIZE_NAME) {
        CXTPCustomizeNameEdit* pEdit = new CXTPCustomizeNameEdit;
        pEdit->SetID(pCreate->nID);
        pEdit->SetCaption(pCreate->strCaption);
        pCreate->pControl = pEdit;
        return 1;
    }
    if (pCreate->nID == XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE && m_pCommandBars != nullptr) {
        const int nCount = m_ilCommandImages.GetImageCount();
        CXTPPopupToolBar* pImages = CXTPPopupToolBar::CreatePopupToolBar(nullptr);
        UINT ids[kCommandImageCount];
        for (int i = 0; i < kCommandImageCount; ++i)
            ids[i] = XTP_ID_CUSTOMIZE_FIRSTIMAGE + static_cast<UINT>(i);
        m_pCommandBars->GetImageManager()->SetIconsFromImageList(
            m_ilCommandImages.GetSafeHandle(), ids, nCount < kCommandImageCount ? nCount : kCommandImageCount);
        for (int i = 0; i < nCount && i < kCommandImageCount; ++i) {
            CXTPControl* pButton =
                pImages->GetControls()->AddByType(xtpControlButton, XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE);
            pButton->SetIconId(XTP_ID_CUSTOMIZE_FIRSTIMAGE + i);
            pButton->SetFlags(8);
        }
        pImages->SetWidth(static_cast<int>(std::floor(std::sqrt(static_cast<double>(nCount)))) * (16 + 7) + 6);
        CXTPControlPopup* pPopupControl = new CXTPControlPopup;
        pPopupControl->SetID(pCreate->nID);
        pPopupControl->SetCaption(pCreate->strCaption);
        pPopupControl->SetCommandBar(pImages);
        pCreate->pControl = pPopupControl;
        return 1;
    }
    return 0;
}

LRESULT CXTPCustomizeSheet::OnControlExecute(WPARAM wParam, LPARAM lParam)
{
    const NMXTPCONTROL* pTag = reinterpret_cast<const NMXTPCONTROL*>(lParam);
    CXTPControl* pControl = pTag != nullptr ? pTag->pControl : nullptr;
    if (pControl == nullptr)
        return 0;
    if (wParam == XTP_ID_CUSTOMIZE_NAME) {
        if (CXTPControlEdit* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, pControl))
            ApplyName(pEdit->GetEditText());
        return 1;
    }
    if (wParam == XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE) {
        ApplyImage(pControl->GetIconId());
        return 1;
    }
    return 0;
}

void CXTPCustomizeSheet::ApplyName(LPCTSTR lpszName)
{
    CXTPControl* pSelection = GetSelection();
    if (pSelection == nullptr)
        return;
    pSelection->SetCustomCaption(lpszName);
    RecalcParent(pSelection);
}

void CXTPCustomizeSheet::ApplyImage(int nIconId)
{
    CXTPControl* pSelection = GetSelection();
    if (pSelection == nullptr || m_pCommandBars == nullptr || nIconId <= 0)
        return;
    CXTPImageManager* pImageManager = m_pCommandBars->GetImageManager();
    CXTPImageManagerIconSet* pSet = pImageManager->GetIconSet(static_cast<UINT>(nIconId));
    if (pSet == nullptr)
        return;
    CXTPImageManagerIconSet::CIconSetMap* pIcons = pSet->GetIcons();
    POSITION pos = pIcons->GetStartPosition();
    if (pos == nullptr)
        return;
    UINT nWidth = 0;
    CXTPImageManagerIcon* pIcon = nullptr;
    pIcons->GetNextAssoc(pos, nWidth, pIcon);
    if (pIcon == nullptr || pIcon->GetIcon().IsEmpty())
        return;
    const UINT nNewId = pImageManager->AddCustomIcon(pIcon->GetIcon());
    if (nNewId == 0)
        return;
    pSelection->SetCustomIconId(static_cast<int>(nNewId));
    RecalcParent(pSelection);
}

void CXTPCustomizeSheet::OnCustomizeReset()
{
    CXTPControl* pSelection = GetSelection();
    if (pSelection == nullptr)
        return;
    pSelection->SetCustomIconId(0);
    pSelection->SetCustomCaption(L"");
    RecalcParent(pSelection);
}

void CXTPCustomizeSheet::OnUpdateCustomizeReset(CCmdUI* pCmdUI)
{
    CXTPControl* pSelection = GetSelection();
    pCmdUI->Enable(pSelection != nullptr &&
                   (pSelection->GetCustomIconId() > 0 || !pSelection->GetCustomCaption().IsEmpty()));
}

void CXTPCustomizeSheet::OnCustomizeDelete()
{
    CXTPControl* pSelection = GetSelection();
    if (pSelection == nullptr)
        return;
    CScopedReference keep(pSelection);
    CXTPCommandBar* pParent = pSelection->GetParent();
    m_pCommandBars->SetCustomizeControl(nullptr);
    if (pSelection->GetControls() != nullptr)
        pSelection->GetControls()->Remove(pSelection);
    if (pParent != nullptr)
        pParent->OnRecalcLayout();
}

void CXTPCustomizeSheet::OnUpdateCustomizeAlways(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CXTPCustomizeSheet::OnUpdateCustomizeName(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CXTPCustomizeSheet::OnUpdateCustomizeImage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasIcon(GetSelection()));
}

void CXTPCustomizeSheet::OnUpdateCustomizePasteImage(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsImageType(GetSelection()) && ::IsClipboardFormatAvailable(CF_BITMAP));
}

void CXTPCustomizeSheet::OnUpdateCustomizeResetImage(CCmdUI* pCmdUI)
{
    CXTPControl* pSelection = GetSelection();
    pCmdUI->Enable(pSelection != nullptr && pSelection->GetCustomIconId() > 0);
}

void CXTPCustomizeSheet::OnCustomizeEditImage()
{
    XTPMouseManager()->EndAllTracking();
    CXTPControl* pSelection = GetSelection();
    if (!HasIcon(pSelection) || m_pCommandBars == nullptr)
        return;
    CXTPImageManager* pImageManager = m_pCommandBars->GetImageManager();
    CXTPCommandBar* pParent = pSelection->GetParent();
    const CSize szIcon = pParent != nullptr ? pParent->GetIconSize() : CSize(16, 16);
    const UINT nIconId = static_cast<UINT>(pSelection->GetIconId());
    CXTPImageManagerIcon* pIcon = pImageManager->GetImage(nIconId, szIcon.cx);
    if (pIcon != nullptr && pIcon->GetIcon().IsEmpty())
        pIcon = nullptr;

    CXTPImageEditorDlg dlg(this);
    if (pIcon != nullptr)
        dlg.SetIcon(pIcon->GetIcon());
    else
        dlg.SetSize(szIcon.cx, szIcon.cy);
    if (dlg.DoModal() != IDOK)
        return;
    CXTPImageManagerIconHandle hResult;
    dlg.GetIcon(&hResult);
    if (hResult.IsEmpty())
        return;
    // A custom image is changed in place, so every control sharing it follows.
    if (pSelection->GetCustomIconId() > 0 && pIcon != nullptr) {
        pIcon->SetIcon(hResult);
    } else {
        const UINT nNewId = pImageManager->AddCustomIcon(hResult);
        if (nNewId == 0)
            return;
        pSelection->SetCustomIconId(static_cast<int>(nNewId));
    }
    RecalcParent(pSelection);
}

void CXTPCustomizeSheet::OnCustomizeResetImage()
{
    CXTPControl* pSelection = GetSelection();
    if (pSelection == nullptr)
        return;
    pSelection->SetCustomIconId(0);
    RecalcParent(pSelection);
}

void CXTPCustomizeSheet::OnCustomizeCopyImage()
{
    CXTPControl* pSelection = GetSelection();
    if (!HasIcon(pSelection) || m_pCommandBars == nullptr)
        return;
    CXTPImageManager* pImageManager = m_pCommandBars->GetImageManager();
    const UINT nIconId = static_cast<UINT>(pSelection->GetIconId());
    CXTPImageManagerIcon* pIcon = pImageManager->GetImage(nIconId, 16);
    if (pIcon == nullptr || pIcon->GetIcon().IsEmpty())
        return;
    CXTPImageManagerIconHandle& hIcon = pIcon->GetIcon();
    HBITMAP hBitmap = nullptr;
    if (hIcon.IsAlpha()) {
        hBitmap = static_cast<HBITMAP>(::CopyImage(hIcon.GetBitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    } else {
        const CSize sz = hIcon.GetExtent();
        HDC hdcScreen = ::GetDC(nullptr);
        hBitmap = ::CreateCompatibleBitmap(hdcScreen, sz.cx, sz.cy);
        HDC hdcMem = ::CreateCompatibleDC(hdcScreen);
        HGDIOBJ hOld = ::SelectObject(hdcMem, hBitmap);
        RECT rc = {0, 0, sz.cx, sz.cy};
        ::FillRect(hdcMem, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
        ::DrawIconEx(hdcMem, 0, 0, hIcon.GetIcon(), sz.cx, sz.cy, 0, nullptr, DI_NORMAL);
        ::SelectObject(hdcMem, hOld);
        ::DeleteDC(hdcMem);
        ::ReleaseDC(nullptr, hdcScreen);
    }
    if (hBitmap == nullptr)
        return;
    if (!OpenClipboard()) {
        ::DeleteObject(hBitmap);
        return;
    }
    if (!::EmptyClipboard()) {
        ::CloseClipboard();
        ::DeleteObject(hBitmap);
        return;
    }
    ::SetClipboardData(CF_BITMAP, hBitmap);
    if (hIcon.IsAlpha()) {
        if (HGLOBAL hMark = ::GlobalAlloc(GMEM_MOVEABLE, 1))
            ::SetClipboardData(::RegisterClipboardFormatW(L"Alpha Bitmap Image"), hMark);
    }
    ::CloseClipboard();
    if (pImageManager->GetIconSet(nIconId) != nullptr)
        pImageManager->CopyImage(nIconId);
}

void CXTPCustomizeSheet::OnCustomizePasteImage()
{
    CXTPControl* pSelection = GetSelection();
    if (!IsImageType(pSelection) || m_pCommandBars == nullptr)
        return;
    CXTPImageManager* pImageManager = m_pCommandBars->GetImageManager();
    COleDataObject data;
    if (!data.AttachClipboard())
        return;
    const CLIPFORMAT cfToolkit = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Toolkit ToolBar Image"));
    if (data.IsDataAvailable(cfToolkit)) {
        const UINT nId = pImageManager->PasteImage(data.m_lpDataObject);
        if (nId != 0) {
            pSelection->SetCustomIconId(static_cast<int>(nId));
            RecalcParent(pSelection);
        }
        return;
    }
    if (!data.IsDataAvailable(CF_BITMAP))
        return;
    STGMEDIUM medium = {};
    FORMATETC format = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    if (!data.GetData(CF_BITMAP, &medium, &format) || medium.tymed != TYMED_GDI || medium.hBitmap == nullptr)
        return;
    CXTPImageManagerIconHandle hImage;
    const CLIPFORMAT cfAlpha = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Alpha Bitmap Image"));
    if (data.IsDataAvailable(cfAlpha)) {
        hImage.CopyBitmap(medium.hBitmap);
    } else {
        BITMAP bm = {};
        ::GetObjectW(medium.hBitmap, sizeof(bm), &bm);
        CImageList list;
        if (bm.bmWidth > 0 && bm.bmHeight > 0 && list.Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1)) {
            HBITMAP hCopy = static_cast<HBITMAP>(::CopyImage(medium.hBitmap, IMAGE_BITMAP, 0, 0, 0));
            if (hCopy != nullptr) {
                CBitmap bmp;
                bmp.Attach(hCopy);
                list.Add(&bmp, ::GetSysColor(COLOR_BTNFACE));
            }
            if (list.GetImageCount() == 1) {
                if (HICON hIcon = list.ExtractIcon(0))
                    hImage.AttachIcon(hIcon);
            }
        }
    }
    ::ReleaseStgMedium(&medium);
    if (hImage.IsEmpty())
        return;
    const UINT nId = pImageManager->AddCustomIcon(hImage);
    if (nId == 0)
        return;
    pSelection->SetCustomIconId(static_cast<int>(nId));
    RecalcParent(pSelection);
}

void CXTPCustomizeSheet::OnCustomizeStyle(UINT nID)
{
    CXTPControl* pSelection = GetSelection();
    if (!IsImageType(pSelection))
        return;
    pSelection->SetStyle(nID == XTP_ID_CUSTOMIZE_TEXTONLY       ? xtpButtonCaption
                         : nID == XTP_ID_CUSTOMIZE_IMAGEANDTEXT ? xtpButtonIconAndCaption
                                                                : xtpButtonAutomatic);
    if (CXTPCommandBar* pParent = pSelection->GetParent())
        pParent->DelayLayout();
    RecalcParent(pSelection);
}

void CXTPCustomizeSheet::OnUpdateCustomizeStyle(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(0);
    CXTPControl* pSelection = GetSelection();
    if (!IsImageType(pSelection)) {
        pCmdUI->Enable(FALSE);
        return;
    }
    pCmdUI->Enable(TRUE);
    const XTPButtonStyle style = pCmdUI->m_nID == XTP_ID_CUSTOMIZE_TEXTONLY       ? xtpButtonCaption
                                 : pCmdUI->m_nID == XTP_ID_CUSTOMIZE_IMAGEANDTEXT ? xtpButtonIconAndCaption
                                                                                  : xtpButtonAutomatic;
    pCmdUI->SetCheck(pSelection->GetStyle() == style);
}

void CXTPCustomizeSheet::OnCustomizeBeginGroup()
{
    CXTPControl* pSelection = GetSelection();
    if (pSelection == nullptr || pSelection->GetIndex() == 0)
        return;
    pSelection->SetBeginGroup(!pSelection->GetBeginGroup());
    RecalcParent(pSelection);
}

void CXTPCustomizeSheet::OnUpdateCustomizeBeginGroup(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(0);
    CXTPControl* pSelection = GetSelection();
    pCmdUI->Enable(pSelection != nullptr && pSelection->GetIndex() != 0);
    if (pSelection != nullptr)
        pCmdUI->SetCheck(pSelection->GetBeginGroup());
}
