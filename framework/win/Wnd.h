// CWnd: a window handle wrapped by an object that receives its messages through a message map.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/FrameworkMessages.h"
#include "framework/core/AfxModule.h"
#include "framework/core/AfxString.h"
#include "framework/core/DebugChecks.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"

class CDC;
class CFont;
class CMenu;
class CRgn;
class CScrollBar;
class CFrameWnd;
class CWinThread;
class CDataExchange;

// The platform's header makes GetNextWindow a macro; here it is CWnd's member.
#ifdef GetNextWindow
#undef GetNextWindow
#endif

// Flags of a TOOLINFO that the framework's tool-tip filter understands besides the platform's.
#ifndef TTF_NOTBUTTON
#define TTF_NOTBUTTON 0x80000000L
#endif
#ifndef TTF_ALWAYSTIP
#define TTF_ALWAYSTIP 0x40000000L
#endif

// m_nFlags of a window.
#define WF_TOOLTIPS 0x0001
#define WF_TEMPHIDE 0x0002
#define WF_STAYDISABLED 0x0004
#define WF_MODALLOOP 0x0008
#define WF_CONTINUEMODAL 0x0010
#define WF_OLECTLCONTAINER 0x0100
#define WF_TRACKINGTOOLTIPS 0x0400

// The data of a WM_CTLCOLORxxx message as the framework hands it to OnCtlColor and CtlColor handlers.
struct AFX_CTLCOLOR
{
    HWND hWnd;
    HDC hDC;
    UINT nCtlType;
};

class CCreateContext;

// What a frame's layout sends its bars with WM_SIZEPARENT: each bar takes its room from rect (and adds to
// sizeTotal), placing itself through hDWP; a null hDWP means the frame only measures.
struct AFX_SIZEPARENTPARAMS
{
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

// Flags of RunModalLoop.
#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

#ifndef afx_msg
#define afx_msg
#endif

// Moves hWnd to lpRect (through the layout's deferred positions when there are any) unless it is there already.
void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);
// Gets and dispatches one message of the calling thread, through its thread object when it has one; the message
// goes to *pMsgOut. FALSE on WM_QUIT (which is then consumed).
BOOL AFXAPI AfxPumpMessage(MSG* pMsgOut = nullptr);

// Sets a window's text only when it differs, so that a repeated update does not repaint.
void AFXAPI AfxSetWindowText(HWND hWndCtrl, LPCTSTR lpszNew);

// What the framework keeps per thread: the message being handled, window creation in progress, the handle maps.
struct AFX_THREAD_STATE;
AFX_THREAD_STATE* AFXAPI AfxGetThreadState();

class CWnd : public CCmdTarget
{
    DECLARE_DYNCREATE(CWnd)

public:
    CWnd();
    explicit CWnd(HWND hWnd); // wraps without attaching (for a temporary object)
    // Destroys a window this object still holds (a derived class's OnDestroy and PostNcDestroy are not reached
    // from here, since the derived part is gone).
    ~CWnd() override;

    HWND m_hWnd;
    // Programs call these through pointers that may be null (an absent parent), as the framework allows.
    operator HWND() const { return GetSafeHwnd(); }
    HWND GetSafeHwnd() const
    {
        const CWnd* self = this;
        // Hides from the optimiser that `this` is never null in valid code, so the check stays.
        asm("" : "+r"(self));
        return self == nullptr ? nullptr : self->m_hWnd;
    }
    // m_hWnd for a member that needs a live window: a debug build stops where one is used without it.
    HWND LiveHwnd() const
    {
        LQ_CHECK_WINDOW(m_hWnd);
        return m_hWnd;
    }
    BOOL operator==(const CWnd& wnd) const { return wnd.m_hWnd == m_hWnd; }
    BOOL operator!=(const CWnd& wnd) const { return wnd.m_hWnd != m_hWnd; }

    // The insert-after values of SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    // ---- Handle maps (per thread)
    // The object attached to hWnd on this thread, or a temporary one (freed when the thread next goes idle).
    static CWnd* PASCAL FromHandle(HWND hWnd);
    // The object attached to hWnd on this thread, or NULL.
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    static void PASCAL DeleteTempMap();
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    // ---- Creation and destruction
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                          int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow();
    // Called after WM_NCDESTROY; the object is detached by then. A class that deletes itself does so here.
    virtual void PostNcDestroy();

    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- Message handling
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled now (the thread's current message).
    LRESULT Default();
    static const MSG* PASCAL GetCurrentMessage();
    virtual WNDPROC* GetSuperWndProcAddr();

    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A parent offers its child's notification here first; the default offers it to the child's reflect entries.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Offers the thread's current message to hWndChild's object as a child notification.
    static BOOL PASCAL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    BOOL SendChildNotifyLastMsg(LRESULT* pResult = nullptr);

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers pMsg to PreTranslateMessage of every object from pMsg->hwnd up to its top-level window (or hWndStop).
    static BOOL PASCAL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // Runs the update handlers of every child control against pTarget (the reflected update entry of the child
    // first, then this window's map, then pTarget's route).
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE,
                                  BOOL bOnlyPerm = FALSE);
    static void PASCAL SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                                BOOL bOnlyPerm);

    // ---- Modal loops and layout
    // Pumps this thread's messages (with the pre-translate walk and WM_KICKIDLE when idle) until EndModalLoop;
    // answers its result, or -1 when WM_QUIT arrived (which is posted again for the outer loop).
    virtual int RunModalLoop(DWORD dwFlags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);

    enum RepositionFlags
    {
        reposDefault = 0,
        reposQuery = 1,
        reposExtra = 2,
        reposNoPosLeftOver = 0x8000
    };
    enum AdjustType
    {
        adjustBorder = 0,
        adjustOutside = 1
    };
    // Lays out the children with ids nIDFirst..nIDLast through WM_SIZEPARENT and gives the rest to nIDLeftOver;
    // with reposQuery it only answers the room left (or the bars' total size when not stretching) in lpRectParam.
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                        LPRECT lpRectParam = nullptr, LPCRECT lpRectClient = nullptr, BOOL bStretch = TRUE);
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder);

    // ---- Tool tips
    BOOL EnableToolTips(BOOL bEnable = TRUE);
    BOOL EnableTrackingToolTips(BOOL bEnable = TRUE);
    // Fills pTI for the tool under point and answers its id, or -1. A text handed back in pTI->lpszText must be
    // allocated with malloc (the framework frees it), or be LPSTR_TEXTCALLBACK.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;
    static void PASCAL CancelToolTips(BOOL bKeys = FALSE);
    void FilterToolTipMessage(MSG* pMsg);

    // ---- Frames and owners
    virtual BOOL IsFrameWnd() const { return FALSE; }
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    CWnd* GetTopLevelParent() const;
    CWnd* GetTopLevelOwner() const;
    CWnd* GetParentOwner() const;
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = pOwnerWnd != nullptr ? pOwnerWnd->m_hWnd : nullptr; }
    CWnd* GetParent() const { return FromHandle(::GetParent(LiveHwnd())); }
    CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(LiveHwnd(), pWndNewParent->GetSafeHwnd())); }
    // The owner for a modal window: pParent's top-level window (else this thread's main window) or its last
    // active pop-up; *pWndTop gets the top-level window.
    static CWnd* PASCAL GetSafeOwner(CWnd* pParent = nullptr, HWND* pWndTop = nullptr);
    CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;

    // ---- Wrappers of the platform's window calls
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(LiveHwnd(), GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(LiveHwnd(), GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    static BOOL PASCAL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    static BOOL PASCAL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(LiveHwnd(), message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(LiveHwnd(), message, wParam, lParam);
    }
    BOOL SendNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return ::SendNotifyMessageW(LiveHwnd(), message, wParam, lParam);
    }

    void SetWindowText(LPCTSTR lpszString) { AfxSetWindowText(LiveHwnd(), lpszString); }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
    {
        return ::GetWindowTextW(LiveHwnd(), lpszStringBuf, nMaxCount);
    }
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(LiveHwnd()); }

    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(LiveHwnd(), nID)); }
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(LiveHwnd(), nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(LiveHwnd()); }
    int SetDlgCtrlID(int nID) { return static_cast<int>(::SetWindowLongPtrW(LiveHwnd(), GWLP_ID, nID)); }
    void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextW(LiveHwnd(), nID, lpszString); }
    int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const
    {
        return static_cast<int>(::GetDlgItemTextW(LiveHwnd(), nID, lpStr, nMaxCount));
    }
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) { ::SetDlgItemInt(LiveHwnd(), nID, nValue, bSigned); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const
    {
        return ::GetDlgItemInt(LiveHwnd(), nID, lpTrans, bSigned);
    }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(LiveHwnd(), nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(LiveHwnd(), nIDButton); }
    void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck)
    {
        ::CheckRadioButton(LiveHwnd(), nIDFirst, nIDLast, nIDCheck);
    }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendDlgItemMessageW(LiveHwnd(), nID, message, wParam, lParam);
    }
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    {
        return FromHandle(::GetNextDlgTabItem(LiveHwnd(), pWndCtl->GetSafeHwnd(), bPrevious));
    }
    CWnd* GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const
    {
        return FromHandle(::GetNextDlgGroupItem(LiveHwnd(), pWndCtl->GetSafeHwnd(), bPrevious));
    }

    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(LiveHwnd(), lpRect); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(LiveHwnd(), lpRect); }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(LiveHwnd(), lpPoint); }
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(LiveHwnd(), lpPoint); }
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const
    {
        ::MapWindowPoints(LiveHwnd(), pwndTo->GetSafeHwnd(), lpPoint, nCount);
    }
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const
    {
        ::MapWindowPoints(LiveHwnd(), pwndTo->GetSafeHwnd(), reinterpret_cast<LPPOINT>(lpRect), 2);
    }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(LiveHwnd(), x, y, nWidth, nHeight, bRepaint);
    }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(LiveHwnd(), lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                     bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(LiveHwnd(), pWndInsertAfter->GetSafeHwnd(), x, y, cx, cy, nFlags);
    }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const
    {
        lpwndpl->length = sizeof(WINDOWPLACEMENT);
        return ::GetWindowPlacement(LiveHwnd(), lpwndpl);
    }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(LiveHwnd(), lpwndpl); }
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(LiveHwnd(), nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(LiveHwnd()); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(LiveHwnd()); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(LiveHwnd(), bEnable); }
    BOOL IsIconic() const { return ::IsIconic(LiveHwnd()); }
    BOOL IsZoomed() const { return ::IsZoomed(LiveHwnd()); }
    BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(LiveHwnd(), pWnd->GetSafeHwnd()); }
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    void BringWindowToTop() { ::BringWindowToTop(LiveHwnd()); }
    BOOL ShowOwnedPopups(BOOL bShow = TRUE) { return ::ShowOwnedPopups(LiveHwnd(), bShow); }
    void DrawMenuBar() { ::DrawMenuBar(LiveHwnd()); }
    BOOL LockWindowUpdate() { return ::LockWindowUpdate(LiveHwnd()); }
    static void UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE) { return ::GetUpdateRect(LiveHwnd(), lpRect, bErase); }
    void DragAcceptFiles(BOOL bAccept = TRUE) { ::DragAcceptFiles(LiveHwnd(), bAccept); }
    BOOL SetLayeredWindowAttributes(COLORREF crKey, BYTE bAlpha, DWORD dwFlags)
    {
        return ::SetLayeredWindowAttributes(LiveHwnd(), crKey, bAlpha, dwFlags);
    }
    int ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, HRGN hRgnUpdate, LPRECT lpRectUpdate,
                       UINT flags)
    {
        return ::ScrollWindowEx(LiveHwnd(), dx, dy, lpRectScroll, lpRectClip, hRgnUpdate, lpRectUpdate, flags);
    }
    template <class TDC = CDC> void Print(TDC* pDC, DWORD dwFlags) const
    {
        ::SendMessageW(LiveHwnd(), WM_PRINT, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()), dwFlags);
    }
    template <class TDC = CDC> void PrintClient(TDC* pDC, DWORD dwFlags) const
    {
        ::SendMessageW(LiveHwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()), dwFlags);
    }

    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(LiveHwnd(), nullptr, bErase); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(LiveHwnd(), lpRect, bErase); }
    void ValidateRect(LPCRECT lpRect) { ::ValidateRect(LiveHwnd(), lpRect); }
    void UpdateWindow() { ::UpdateWindow(LiveHwnd()); }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessageW(LiveHwnd(), WM_SETREDRAW, bRedraw, 0); }
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(LiveHwnd(), hRgn, bRedraw); }
    int GetWindowRgn(HRGN hRgn) const { return ::GetWindowRgn(LiveHwnd(), hRgn); }

    // The members below use the GDI wrappers; they are templates so that this header does not depend on them.
    template <class TRgn = CRgn>
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, TRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        HRGN hRgn = prgnUpdate != nullptr ? static_cast<HRGN>(prgnUpdate->GetSafeHandle()) : nullptr;
        return ::RedrawWindow(LiveHwnd(), lpRectUpdate, hRgn, flags);
    }
    template <class TRgn = CRgn> void InvalidateRgn(TRgn* pRgn, BOOL bErase = TRUE)
    {
        ::InvalidateRgn(LiveHwnd(), static_cast<HRGN>(pRgn->GetSafeHandle()), bErase);
    }
    template <class TFont = CFont> void SetFont(TFont* pFont, BOOL bRedraw = TRUE)
    {
        ::SendMessageW(LiveHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->GetSafeHandle() : nullptr),
                       bRedraw);
    }
    template <class TFont = CFont> TFont* GetFont() const
    {
        return TFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageW(LiveHwnd(), WM_GETFONT, 0, 0)));
    }
    template <class TDC = CDC> TDC* GetDC() { return TDC::FromHandle(::GetDC(LiveHwnd())); }
    template <class TDC = CDC> TDC* GetWindowDC() { return TDC::FromHandle(::GetWindowDC(LiveHwnd())); }
    template <class TDC = CDC> int ReleaseDC(TDC* pDC) { return ::ReleaseDC(LiveHwnd(), pDC->GetSafeHdc()); }
    template <class TMenu = CMenu> TMenu* GetMenu() const { return TMenu::FromHandle(::GetMenu(LiveHwnd())); }
    template <class TMenu = CMenu> BOOL SetMenu(TMenu* pMenu)
    {
        return ::SetMenu(LiveHwnd(), pMenu ? pMenu->GetSafeHmenu() : nullptr);
    }
    template <class TMenu = CMenu> TMenu* GetSystemMenu(BOOL bRevert) const
    {
        return TMenu::FromHandle(::GetSystemMenu(LiveHwnd(), bRevert));
    }

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr)
    {
        return ::SetTimer(LiveHwnd(), nIDEvent, nElapse, lpfnTimer);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(LiveHwnd(), nIDEvent); }

    CWnd* SetFocus() { return FromHandle(::SetFocus(LiveHwnd())); }
    static CWnd* PASCAL GetFocus() { return FromHandle(::GetFocus()); }
    CWnd* SetCapture() { return FromHandle(::SetCapture(LiveHwnd())); }
    static CWnd* PASCAL GetCapture() { return FromHandle(::GetCapture()); }
    static BOOL ReleaseCapture() { return ::ReleaseCapture(); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(LiveHwnd())); }
    static CWnd* PASCAL GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(LiveHwnd()); }
    static CWnd* PASCAL GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    static CWnd* PASCAL GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    static CWnd* PASCAL WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
    static CWnd* PASCAL FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName)
    {
        return FromHandle(::FindWindowW(lpszClassName, lpszWindowName));
    }
    CWnd* ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(LiveHwnd(), point)); }
    CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(LiveHwnd(), nCmd)); }
    CWnd* GetTopWindow() const { return FromHandle(::GetTopWindow(LiveHwnd())); }
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return FromHandle(::GetWindow(LiveHwnd(), nFlag)); }
    CWnd* GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(LiveHwnd())); }

    int GetScrollPos(int nBar) const { return ::GetScrollPos(LiveHwnd(), nBar); }
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE)
    {
        return ::SetScrollPos(LiveHwnd(), nBar, nPos, bRedraw);
    }
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const
    {
        ::GetScrollRange(LiveHwnd(), nBar, lpMinPos, lpMaxPos);
    }
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE)
    {
        ::SetScrollRange(LiveHwnd(), nBar, nMinPos, nMaxPos, bRedraw);
    }
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) const;
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(LiveHwnd(), nBar, bShow); }
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr)
    {
        ::ScrollWindow(LiveHwnd(), xAmount, yAmount, lpRect, lpClipRect);
    }

    BOOL OpenClipboard() { return ::OpenClipboard(LiveHwnd()); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return reinterpret_cast<HICON>(
            ::SendMessageW(LiveHwnd(), WM_SETICON, bBigIcon, reinterpret_cast<LPARAM>(hIcon)));
    }
    HICON GetIcon(BOOL bBigIcon) const
    {
        return reinterpret_cast<HICON>(::SendMessageW(LiveHwnd(), WM_GETICON, bBigIcon, 0));
    }
    BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(LiveHwnd(), bInvert); }
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
    // Runs DoDataExchange; defined with the data-exchange classes.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange*) {}

    // ---- Handlers of window messages. The defaults hand the current message to Default(), except those that
    // reflect a child's notification to the child first.
    afx_msg int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT) { return static_cast<BOOL>(Default()); }
    afx_msg void OnDestroy() { Default(); }
    afx_msg void OnNcDestroy();
    afx_msg void OnClose() { Default(); }
    afx_msg void OnPaint() { Default(); }
    afx_msg void OnNcPaint() { Default(); }
    afx_msg BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    afx_msg void OnTimer(UINT_PTR) { Default(); }
    afx_msg void OnSize(UINT, int, int) { Default(); }
    afx_msg void OnSizing(UINT, LPRECT) { Default(); }
    afx_msg void OnMove(int, int) { Default(); }
    afx_msg void OnMoving(UINT, LPRECT) { Default(); }
    afx_msg void OnMouseMove(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnRButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnRButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnRButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnMButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnMButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnMButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg BOOL OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
    afx_msg void OnMouseLeave() { Default(); }
    afx_msg void OnMouseHover(UINT, CPoint) { Default(); }
    afx_msg void OnNcMouseHover(UINT, CPoint) { Default(); }
    afx_msg void OnNcMouseLeave() { Default(); }
    afx_msg LRESULT OnThemeChanged() { return Default(); }
    afx_msg void OnNcMouseMove(UINT, CPoint) { Default(); }
    afx_msg void OnNcLButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnNcLButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnNcLButtonDblClk(UINT, CPoint) { Default(); }
    afx_msg void OnNcRButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnNcRButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnNcMButtonDown(UINT, CPoint) { Default(); }
    afx_msg LRESULT OnNcHitTest(CPoint) { return Default(); }
    afx_msg void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
    afx_msg BOOL OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
    afx_msg int OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
    afx_msg void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    afx_msg void OnActivateApp(BOOL, DWORD) { Default(); }
    afx_msg void OnSetFocus(CWnd*) { Default(); }
    afx_msg void OnKillFocus(CWnd*) { Default(); }
    afx_msg BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    afx_msg void OnContextMenu(CWnd*, CPoint) { Default(); }
    afx_msg void OnCaptureChanged(CWnd*) { Default(); }
    afx_msg void OnCancelMode() { Default(); }
    afx_msg void OnWindowPosChanging(WINDOWPOS*) { Default(); }
    afx_msg void OnWindowPosChanged(WINDOWPOS*) { Default(); }
    afx_msg void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    afx_msg void OnShowWindow(BOOL, UINT) { Default(); }
    afx_msg void OnEnable(BOOL) { Default(); }
    afx_msg void OnSysCommand(UINT, LPARAM) { Default(); }
    afx_msg void OnSysColorChange() { Default(); }
    afx_msg void OnSettingChange(UINT, LPCTSTR) { Default(); }
    afx_msg BOOL OnCopyData(CWnd*, COPYDATASTRUCT*) { return static_cast<BOOL>(Default()); }
    afx_msg void OnKeyDown(UINT, UINT, UINT) { Default(); }
    afx_msg void OnKeyUp(UINT, UINT, UINT) { Default(); }
    afx_msg void OnChar(UINT, UINT, UINT) { Default(); }
    afx_msg void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
    afx_msg void OnSysKeyUp(UINT, UINT, UINT) { Default(); }
    afx_msg void OnSysChar(UINT, UINT, UINT) { Default(); }
    afx_msg UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
    afx_msg void OnHScroll(UINT, UINT, CScrollBar*);
    afx_msg void OnVScroll(UINT, UINT, CScrollBar*);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg int OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    afx_msg void OnDeleteItem(int nIDCtl, LPDELETEITEMSTRUCT lpDeleteItemStruct);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnParentNotify(UINT message, LPARAM lParam);
    afx_msg void OnInitMenu(CMenu*) { Default(); }
    afx_msg void OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
    afx_msg void OnMenuSelect(UINT, UINT, HMENU) { Default(); }
    afx_msg void OnEnterIdle(UINT, CWnd*) { Default(); }
    afx_msg BOOL OnHelpInfo(HELPINFO*) { return static_cast<BOOL>(Default()); }
    afx_msg void OnStyleChanging(int, LPSTYLESTRUCT) { Default(); }
    afx_msg void OnStyleChanged(int, LPSTYLESTRUCT) { Default(); }
    afx_msg BOOL OnQueryEndSession() { return static_cast<BOOL>(Default()); }
    afx_msg void OnEndSession(BOOL) { Default(); }
    afx_msg void OnDropFiles(HDROP) { Default(); }

    UINT m_nFlags;
    int m_nModalResult;
    HWND m_hWndOwner; // the framework owner (GetOwner), independent of the platform's owner
    WNDPROC m_pfnSuper;

protected:
    LRESULT OnCtlColorMessage(AFX_CTLCOLOR* pCtl);

    DECLARE_MESSAGE_MAP()

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AFXAPI AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
};

// The window procedure of every window with an object; it calls the object's WindowProc with the thread's
// current message set for Default().
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
WNDPROC AFXAPI AfxGetAfxWndProc();
LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0);

// While pWnd is being created by CreateWindowEx (also through a dialog or a control's own creation), the next
// window made on this thread is attached to it and subclassed before its first message. Unhook answers FALSE when
// the window was never made.
void AFXAPI AfxHookWindowCreate(CWnd* pWnd);
BOOL AFXAPI AfxUnhookWindowCreate();

// The parent of a child window, else the owner of a top-level one.
HWND AFXAPI AfxGetParentOwner(HWND hWnd);

// The per-thread record of the message being handled, window creation in progress and the temporary CWnd map.
struct AFX_THREAD_STATE
{
    MSG m_lastSentMsg{};
    CWnd* m_pWndInit = nullptr;
    HHOOK m_hHookOldCbtFilter = nullptr;
    int m_nCreateDepth = 0;
    CWinThread* m_pCurrentWinThread = nullptr;
    HWND m_hLockoutNotifyWindow = nullptr;
    // Tool tips of this thread.
    HWND m_hToolTip = nullptr;
    HWND m_hWndLastHit = nullptr;
    INT_PTR m_nLastHit = -1;
    TOOLINFOW m_lastInfo{};
    POINT m_ptLastMove{-1, -1};
    void* m_pTempMap = nullptr;
};

#include "framework/win/WndMsgMap.h"
