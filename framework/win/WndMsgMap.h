// The ON_WM_ message-map entries: each calls the handler the class (or a base) declares under the framework's
// name and signature, e.g. ON_WM_SIZE() calls void OnSize(UINT nType, int cx, int cy).
#pragma once

// The entries hand handlers the wrappers of device contexts and menus.
#include "framework/win/Dc.h"
#include "framework/win/Menu.h"

#define AFX_WM_ENTRY(message, ...) {(message), 0, 0, 0, AfxSig_msg, nullptr, AFX_MSG_THUNK(__VA_ARGS__)},

#define ON_WM_CREATE()                                                                                                 \
    AFX_WM_ENTRY(WM_CREATE,                                                                                            \
                 c_.lResult = static_cast<LRESULT>(p_->OnCreate(reinterpret_cast<LPCREATESTRUCT>(c_.lParam)));         \
                 return TRUE;)
#define ON_WM_NCCREATE()                                                                                               \
    AFX_WM_ENTRY(WM_NCCREATE,                                                                                          \
                 c_.lResult = static_cast<LRESULT>(p_->OnNcCreate(reinterpret_cast<LPCREATESTRUCT>(c_.lParam)));       \
                 return TRUE;)
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, p_->OnDestroy(); return TRUE;)
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, p_->OnNcDestroy(); return TRUE;)
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, p_->OnClose(); return TRUE;)
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, p_->OnPaint(); return TRUE;)
#define ON_WM_NCPAINT() AFX_WM_ENTRY(WM_NCPAINT, p_->OnNcPaint(); return TRUE;)
#define ON_WM_SYSCOLORCHANGE() AFX_WM_ENTRY(WM_SYSCOLORCHANGE, p_->OnSysColorChange(); return TRUE;)
#define ON_WM_CANCELMODE() AFX_WM_ENTRY(WM_CANCELMODE, p_->OnCancelMode(); return TRUE;)
#define ON_WM_MOUSELEAVE() AFX_WM_ENTRY(WM_MOUSELEAVE, p_->OnMouseLeave(); return TRUE;)
#define ON_WM_ERASEBKGND()                                                                                             \
    AFX_WM_ENTRY(WM_ERASEBKGND, c_.lResult = static_cast<LRESULT>(                                                     \
                                    p_->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(c_.wParam))));              \
                 return TRUE;)
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, p_->OnTimer(static_cast<UINT_PTR>(c_.wParam)); return TRUE;)
#define ON_WM_SIZE()                                                                                                   \
    AFX_WM_ENTRY(WM_SIZE, p_->OnSize(static_cast<UINT>(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam)); return TRUE;)
#define ON_WM_SIZING()                                                                                                 \
    AFX_WM_ENTRY(WM_SIZING, p_->OnSizing(static_cast<UINT>(c_.wParam), reinterpret_cast<LPRECT>(c_.lParam));           \
                 return TRUE;)
#define ON_WM_MOVING()                                                                                                 \
    AFX_WM_ENTRY(WM_MOVING, p_->OnMoving(static_cast<UINT>(c_.wParam), reinterpret_cast<LPRECT>(c_.lParam));           \
                 return TRUE;)
#define ON_WM_MOVE()                                                                                                   \
    AFX_WM_ENTRY(WM_MOVE, p_->OnMove(static_cast<short>(LOWORD(c_.lParam)), static_cast<short>(HIWORD(c_.lParam)));    \
                 return TRUE;)
#define ON_WM_MOUSEMOVE()                                                                                              \
    AFX_WM_ENTRY(WM_MOUSEMOVE,                                                                                         \
                 p_->OnMouseMove(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),           \
                                                                      static_cast<short>(HIWORD(c_.lParam))));         \
                 return TRUE;)
#define ON_WM_LBUTTONDOWN()                                                                                            \
    AFX_WM_ENTRY(WM_LBUTTONDOWN,                                                                                       \
                 p_->OnLButtonDown(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),         \
                                                                        static_cast<short>(HIWORD(c_.lParam))));       \
                 return TRUE;)
#define ON_WM_LBUTTONUP()                                                                                              \
    AFX_WM_ENTRY(WM_LBUTTONUP,                                                                                         \
                 p_->OnLButtonUp(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),           \
                                                                      static_cast<short>(HIWORD(c_.lParam))));         \
                 return TRUE;)
#define ON_WM_LBUTTONDBLCLK()                                                                                          \
    AFX_WM_ENTRY(WM_LBUTTONDBLCLK,                                                                                     \
                 p_->OnLButtonDblClk(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),       \
                                                                          static_cast<short>(HIWORD(c_.lParam))));     \
                 return TRUE;)
#define ON_WM_RBUTTONDOWN()                                                                                            \
    AFX_WM_ENTRY(WM_RBUTTONDOWN,                                                                                       \
                 p_->OnRButtonDown(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),         \
                                                                        static_cast<short>(HIWORD(c_.lParam))));       \
                 return TRUE;)
#define ON_WM_RBUTTONUP()                                                                                              \
    AFX_WM_ENTRY(WM_RBUTTONUP,                                                                                         \
                 p_->OnRButtonUp(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),           \
                                                                      static_cast<short>(HIWORD(c_.lParam))));         \
                 return TRUE;)
#define ON_WM_RBUTTONDBLCLK()                                                                                          \
    AFX_WM_ENTRY(WM_RBUTTONDBLCLK,                                                                                     \
                 p_->OnRButtonDblClk(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),       \
                                                                          static_cast<short>(HIWORD(c_.lParam))));     \
                 return TRUE;)
#define ON_WM_MBUTTONDOWN()                                                                                            \
    AFX_WM_ENTRY(WM_MBUTTONDOWN,                                                                                       \
                 p_->OnMButtonDown(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),         \
                                                                        static_cast<short>(HIWORD(c_.lParam))));       \
                 return TRUE;)
#define ON_WM_MBUTTONUP()                                                                                              \
    AFX_WM_ENTRY(WM_MBUTTONUP,                                                                                         \
                 p_->OnMButtonUp(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),           \
                                                                      static_cast<short>(HIWORD(c_.lParam))));         \
                 return TRUE;)
#define ON_WM_MBUTTONDBLCLK()                                                                                          \
    AFX_WM_ENTRY(WM_MBUTTONDBLCLK,                                                                                     \
                 p_->OnMButtonDblClk(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),       \
                                                                          static_cast<short>(HIWORD(c_.lParam))));     \
                 return TRUE;)
#define ON_WM_NCMOUSEMOVE()                                                                                            \
    AFX_WM_ENTRY(WM_NCMOUSEMOVE,                                                                                       \
                 p_->OnNcMouseMove(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),         \
                                                                        static_cast<short>(HIWORD(c_.lParam))));       \
                 return TRUE;)
#define ON_WM_NCLBUTTONDOWN()                                                                                          \
    AFX_WM_ENTRY(WM_NCLBUTTONDOWN,                                                                                     \
                 p_->OnNcLButtonDown(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),       \
                                                                          static_cast<short>(HIWORD(c_.lParam))));     \
                 return TRUE;)
#define ON_WM_NCLBUTTONUP()                                                                                            \
    AFX_WM_ENTRY(WM_NCLBUTTONUP,                                                                                       \
                 p_->OnNcLButtonUp(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),         \
                                                                        static_cast<short>(HIWORD(c_.lParam))));       \
                 return TRUE;)
#define ON_WM_NCLBUTTONDBLCLK()                                                                                        \
    AFX_WM_ENTRY(WM_NCLBUTTONDBLCLK,                                                                                   \
                 p_->OnNcLButtonDblClk(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),     \
                                                                            static_cast<short>(HIWORD(c_.lParam))));   \
                 return TRUE;)
#define ON_WM_NCRBUTTONDOWN()                                                                                          \
    AFX_WM_ENTRY(WM_NCRBUTTONDOWN,                                                                                     \
                 p_->OnNcRButtonDown(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),       \
                                                                          static_cast<short>(HIWORD(c_.lParam))));     \
                 return TRUE;)
#define ON_WM_NCRBUTTONUP()                                                                                            \
    AFX_WM_ENTRY(WM_NCRBUTTONUP,                                                                                       \
                 p_->OnNcRButtonUp(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),         \
                                                                        static_cast<short>(HIWORD(c_.lParam))));       \
                 return TRUE;)
#define ON_WM_NCMBUTTONDOWN()                                                                                          \
    AFX_WM_ENTRY(WM_NCMBUTTONDOWN,                                                                                     \
                 p_->OnNcMButtonDown(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),       \
                                                                          static_cast<short>(HIWORD(c_.lParam))));     \
                 return TRUE;)
#define ON_WM_MOUSEWHEEL()                                                                                             \
    AFX_WM_ENTRY(WM_MOUSEWHEEL,                                                                                        \
                 c_.lResult = static_cast<LRESULT>(p_->OnMouseWheel(                                                   \
                     LOWORD(c_.wParam), static_cast<short>(HIWORD(c_.wParam)),                                         \
                     CPoint(static_cast<short>(LOWORD(c_.lParam)), static_cast<short>(HIWORD(c_.lParam)))));           \
                 return TRUE;)
#define ON_WM_NCHITTEST()                                                                                              \
    AFX_WM_ENTRY(WM_NCHITTEST, c_.lResult = static_cast<LRESULT>(p_->OnNcHitTest(CPoint(                               \
                                   static_cast<short>(LOWORD(c_.lParam)), static_cast<short>(HIWORD(c_.lParam)))));    \
                 return TRUE;)
#define ON_WM_NCCALCSIZE()                                                                                             \
    AFX_WM_ENTRY(WM_NCCALCSIZE,                                                                                        \
                 p_->OnNcCalcSize(static_cast<BOOL>(c_.wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(c_.lParam));      \
                 return TRUE;)
#define ON_WM_NCACTIVATE()                                                                                             \
    AFX_WM_ENTRY(WM_NCACTIVATE, c_.lResult = static_cast<LRESULT>(p_->OnNcActivate(static_cast<BOOL>(c_.wParam)));     \
                 return TRUE;)
#define ON_WM_MOUSEACTIVATE()                                                                                          \
    AFX_WM_ENTRY(WM_MOUSEACTIVATE,                                                                                     \
                 c_.lResult = static_cast<LRESULT>(p_->OnMouseActivate(                                                \
                     CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam)), LOWORD(c_.lParam), HIWORD(c_.lParam)));      \
                 return TRUE;)
#define ON_WM_ACTIVATE()                                                                                               \
    AFX_WM_ENTRY(WM_ACTIVATE, p_->OnActivate(LOWORD(c_.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam)),   \
                                             static_cast<BOOL>(HIWORD(c_.wParam)));                                    \
                 return TRUE;)
#define ON_WM_ACTIVATEAPP()                                                                                            \
    AFX_WM_ENTRY(WM_ACTIVATEAPP, p_->OnActivateApp(static_cast<BOOL>(c_.wParam), static_cast<DWORD>(c_.lParam));       \
                 return TRUE;)
#define ON_WM_SETFOCUS()                                                                                               \
    AFX_WM_ENTRY(WM_SETFOCUS, p_->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam))); return TRUE;)
#define ON_WM_KILLFOCUS()                                                                                              \
    AFX_WM_ENTRY(WM_KILLFOCUS, p_->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam))); return TRUE;)
#define ON_WM_SETCURSOR()                                                                                              \
    AFX_WM_ENTRY(WM_SETCURSOR,                                                                                         \
                 c_.lResult = static_cast<LRESULT>(p_->OnSetCursor(                                                    \
                     CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam)), LOWORD(c_.lParam), HIWORD(c_.lParam)));      \
                 return TRUE;)
#define ON_WM_CONTEXTMENU()                                                                                            \
    AFX_WM_ENTRY(WM_CONTEXTMENU, p_->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam)),                \
                                                   CPoint(static_cast<short>(LOWORD(c_.lParam)),                       \
                                                          static_cast<short>(HIWORD(c_.lParam))));                     \
                 return TRUE;)
#define ON_WM_CAPTURECHANGED()                                                                                         \
    AFX_WM_ENTRY(WM_CAPTURECHANGED, p_->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam)));         \
                 return TRUE;)
#define ON_WM_WINDOWPOSCHANGING()                                                                                      \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGING, p_->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(c_.lParam)); return TRUE;)
#define ON_WM_WINDOWPOSCHANGED()                                                                                       \
    AFX_WM_ENTRY(WM_WINDOWPOSCHANGED, p_->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(c_.lParam)); return TRUE;)
#define ON_WM_GETMINMAXINFO()                                                                                          \
    AFX_WM_ENTRY(WM_GETMINMAXINFO, p_->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(c_.lParam)); return TRUE;)
#define ON_WM_SHOWWINDOW()                                                                                             \
    AFX_WM_ENTRY(WM_SHOWWINDOW, p_->OnShowWindow(static_cast<BOOL>(c_.wParam), static_cast<UINT>(c_.lParam));          \
                 return TRUE;)
#define ON_WM_ENABLE() AFX_WM_ENTRY(WM_ENABLE, p_->OnEnable(static_cast<BOOL>(c_.wParam)); return TRUE;)
#define ON_WM_SYSCOMMAND()                                                                                             \
    AFX_WM_ENTRY(WM_SYSCOMMAND, p_->OnSysCommand(static_cast<UINT>(c_.wParam), c_.lParam); return TRUE;)
#define ON_WM_SETTINGCHANGE()                                                                                          \
    AFX_WM_ENTRY(WM_SETTINGCHANGE,                                                                                     \
                 p_->OnSettingChange(static_cast<UINT>(c_.wParam), reinterpret_cast<LPCTSTR>(c_.lParam));              \
                 return TRUE;)
#define ON_WM_COPYDATA()                                                                                               \
    AFX_WM_ENTRY(WM_COPYDATA,                                                                                          \
                 c_.lResult = static_cast<LRESULT>(p_->OnCopyData(CWnd::FromHandle(reinterpret_cast<HWND>(c_.wParam)), \
                                                                  reinterpret_cast<COPYDATASTRUCT*>(c_.lParam)));      \
                 return TRUE;)
#define ON_WM_KEYDOWN()                                                                                                \
    AFX_WM_ENTRY(WM_KEYDOWN, p_->OnKeyDown(static_cast<UINT>(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam));        \
                 return TRUE;)
#define ON_WM_KEYUP()                                                                                                  \
    AFX_WM_ENTRY(WM_KEYUP, p_->OnKeyUp(static_cast<UINT>(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam));            \
                 return TRUE;)
#define ON_WM_CHAR()                                                                                                   \
    AFX_WM_ENTRY(WM_CHAR, p_->OnChar(static_cast<UINT>(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam)); return TRUE;)
#define ON_WM_SYSKEYDOWN()                                                                                             \
    AFX_WM_ENTRY(WM_SYSKEYDOWN, p_->OnSysKeyDown(static_cast<UINT>(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam));  \
                 return TRUE;)
#define ON_WM_SYSKEYUP()                                                                                               \
    AFX_WM_ENTRY(WM_SYSKEYUP, p_->OnSysKeyUp(static_cast<UINT>(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam));      \
                 return TRUE;)
#define ON_WM_SYSCHAR()                                                                                                \
    AFX_WM_ENTRY(WM_SYSCHAR, p_->OnSysChar(static_cast<UINT>(c_.wParam), LOWORD(c_.lParam), HIWORD(c_.lParam));        \
                 return TRUE;)
#define ON_WM_GETDLGCODE()                                                                                             \
    AFX_WM_ENTRY(WM_GETDLGCODE, c_.lResult = static_cast<LRESULT>(p_->OnGetDlgCode()); return TRUE;)
#define ON_WM_HSCROLL()                                                                                                \
    AFX_WM_ENTRY(WM_HSCROLL,                                                                                           \
                 p_->OnHScroll(LOWORD(c_.wParam), static_cast<short>(HIWORD(c_.wParam)),                               \
                               reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam))));    \
                 return TRUE;)
#define ON_WM_VSCROLL()                                                                                                \
    AFX_WM_ENTRY(WM_VSCROLL,                                                                                           \
                 p_->OnVScroll(LOWORD(c_.wParam), static_cast<short>(HIWORD(c_.wParam)),                               \
                               reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam))));    \
                 return TRUE;)
#define ON_WM_DRAWITEM()                                                                                               \
    AFX_WM_ENTRY(WM_DRAWITEM,                                                                                          \
                 p_->OnDrawItem(static_cast<int>(c_.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(c_.lParam));           \
                 return TRUE;)
#define ON_WM_MEASUREITEM()                                                                                            \
    AFX_WM_ENTRY(WM_MEASUREITEM,                                                                                       \
                 p_->OnMeasureItem(static_cast<int>(c_.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(c_.lParam));     \
                 return TRUE;)
#define ON_WM_COMPAREITEM()                                                                                            \
    AFX_WM_ENTRY(WM_COMPAREITEM, c_.lResult = static_cast<LRESULT>(p_->OnCompareItem(                                  \
                                     static_cast<int>(c_.wParam), reinterpret_cast<LPCOMPAREITEMSTRUCT>(c_.lParam)));  \
                 return TRUE;)
#define ON_WM_DELETEITEM()                                                                                             \
    AFX_WM_ENTRY(WM_DELETEITEM,                                                                                        \
                 p_->OnDeleteItem(static_cast<int>(c_.wParam), reinterpret_cast<LPDELETEITEMSTRUCT>(c_.lParam));       \
                 return TRUE;)
#define ON_WM_PARENTNOTIFY()                                                                                           \
    AFX_WM_ENTRY(WM_PARENTNOTIFY, p_->OnParentNotify(static_cast<UINT>(c_.wParam), c_.lParam); return TRUE;)
#define ON_WM_INITMENU()                                                                                               \
    AFX_WM_ENTRY(WM_INITMENU, p_->OnInitMenu(CMenu::FromHandle(reinterpret_cast<HMENU>(c_.wParam))); return TRUE;)
#define ON_WM_INITMENUPOPUP()                                                                                          \
    AFX_WM_ENTRY(WM_INITMENUPOPUP, p_->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(c_.wParam)),          \
                                                       LOWORD(c_.lParam), static_cast<BOOL>(HIWORD(c_.lParam)));       \
                 return TRUE;)
#define ON_WM_MENUSELECT()                                                                                             \
    AFX_WM_ENTRY(WM_MENUSELECT,                                                                                        \
                 p_->OnMenuSelect(LOWORD(c_.wParam), HIWORD(c_.wParam), reinterpret_cast<HMENU>(c_.lParam));           \
                 return TRUE;)
#define ON_WM_ENTERIDLE()                                                                                              \
    AFX_WM_ENTRY(WM_ENTERIDLE,                                                                                         \
                 p_->OnEnterIdle(static_cast<UINT>(c_.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(c_.lParam)));   \
                 return TRUE;)
#define ON_WM_HELPINFO()                                                                                               \
    AFX_WM_ENTRY(WM_HELP, c_.lResult = static_cast<LRESULT>(p_->OnHelpInfo(reinterpret_cast<HELPINFO*>(c_.lParam)));   \
                 return TRUE;)
#define ON_WM_STYLECHANGING()                                                                                          \
    AFX_WM_ENTRY(WM_STYLECHANGING,                                                                                     \
                 p_->OnStyleChanging(static_cast<int>(c_.wParam), reinterpret_cast<LPSTYLESTRUCT>(c_.lParam));         \
                 return TRUE;)
#define ON_WM_STYLECHANGED()                                                                                           \
    AFX_WM_ENTRY(WM_STYLECHANGED,                                                                                      \
                 p_->OnStyleChanged(static_cast<int>(c_.wParam), reinterpret_cast<LPSTYLESTRUCT>(c_.lParam));          \
                 return TRUE;)
#define ON_WM_QUERYENDSESSION()                                                                                        \
    AFX_WM_ENTRY(WM_QUERYENDSESSION, c_.lResult = static_cast<LRESULT>(p_->OnQueryEndSession()); return TRUE;)
#define ON_WM_ENDSESSION() AFX_WM_ENTRY(WM_ENDSESSION, p_->OnEndSession(static_cast<BOOL>(c_.wParam)); return TRUE;)
#define ON_WM_DROPFILES() AFX_WM_ENTRY(WM_DROPFILES, p_->OnDropFiles(reinterpret_cast<HDROP>(c_.wParam)); return TRUE;)

// Hover and leave (after TrackMouseEvent), and the visual style's change.
#define ON_WM_MOUSEHOVER()                                                                                             \
    AFX_WM_ENTRY(WM_MOUSEHOVER,                                                                                        \
                 p_->OnMouseHover(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),          \
                                                                       static_cast<short>(HIWORD(c_.lParam))));        \
                 return TRUE;)
#define ON_WM_NCMOUSEHOVER()                                                                                           \
    AFX_WM_ENTRY(WM_NCMOUSEHOVER,                                                                                      \
                 p_->OnNcMouseHover(static_cast<UINT>(c_.wParam), CPoint(static_cast<short>(LOWORD(c_.lParam)),        \
                                                                         static_cast<short>(HIWORD(c_.lParam))));      \
                 return TRUE;)
#define ON_WM_NCMOUSELEAVE() AFX_WM_ENTRY(WM_NCMOUSELEAVE, p_->OnNcMouseLeave(); return TRUE;)
#define ON_WM_THEMECHANGED() AFX_WM_ENTRY(WM_THEMECHANGED, c_.lResult = p_->OnThemeChanged(); return TRUE;)

// WM_CTLCOLORxxx arrive as WM_CTLCOLOR with an AFX_CTLCOLOR in lParam: HBRUSH OnCtlColor(CDC*, CWnd*, UINT).
#define ON_WM_CTLCOLOR()                                                                                               \
    AFX_WM_ENTRY(WM_CTLCOLOR, AFX_CTLCOLOR* k_ = reinterpret_cast<AFX_CTLCOLOR*>(c_.lParam);                           \
                 c_.lResult = reinterpret_cast<LRESULT>(                                                               \
                     p_->OnCtlColor(CDC::FromHandle(k_->hDC), CWnd::FromHandle(k_->hWnd), k_->nCtlType));              \
                 return TRUE;)

// Messages a parent reflects to its child. A reflected colour handler answering NULL leaves the message to the
// parent.
#define AFX_WM_REFLECT_ENTRY(message, ...)                                                                             \
    {WM_REFLECT_BASE + (message), 0, 0, 0, AfxSig_msg, nullptr, AFX_MSG_THUNK(__VA_ARGS__)},
#define ON_WM_CTLCOLOR_REFLECT()                                                                                       \
    AFX_WM_REFLECT_ENTRY(WM_CTLCOLOR, AFX_CTLCOLOR* k_ = reinterpret_cast<AFX_CTLCOLOR*>(c_.lParam);                   \
                         HBRUSH b_ = p_->CtlColor(CDC::FromHandle(k_->hDC), k_->nCtlType);                             \
                         c_.lResult = reinterpret_cast<LRESULT>(b_); return b_ != nullptr;)
#define ON_WM_DRAWITEM_REFLECT()                                                                                       \
    AFX_WM_REFLECT_ENTRY(WM_DRAWITEM, p_->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(c_.lParam)); c_.lResult = TRUE;  \
                         return TRUE;)
#define ON_WM_MEASUREITEM_REFLECT()                                                                                    \
    AFX_WM_REFLECT_ENTRY(WM_MEASUREITEM, p_->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(c_.lParam));            \
                         c_.lResult = TRUE; return TRUE;)
#define ON_WM_COMPAREITEM_REFLECT()                                                                                    \
    AFX_WM_REFLECT_ENTRY(                                                                                              \
        WM_COMPAREITEM, c_.lResult = p_->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(c_.lParam)); return TRUE;)
#define ON_WM_DELETEITEM_REFLECT()                                                                                     \
    AFX_WM_REFLECT_ENTRY(WM_DELETEITEM, p_->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(c_.lParam));               \
                         c_.lResult = TRUE; return TRUE;)
#define ON_WM_HSCROLL_REFLECT()                                                                                        \
    AFX_WM_REFLECT_ENTRY(WM_HSCROLL, p_->HScroll(LOWORD(c_.wParam), static_cast<short>(HIWORD(c_.wParam)));            \
                         return TRUE;)
#define ON_WM_VSCROLL_REFLECT()                                                                                        \
    AFX_WM_REFLECT_ENTRY(WM_VSCROLL, p_->VScroll(LOWORD(c_.wParam), static_cast<short>(HIWORD(c_.wParam)));            \
                         return TRUE;)
#define ON_WM_PARENTNOTIFY_REFLECT()                                                                                   \
    AFX_WM_REFLECT_ENTRY(WM_PARENTNOTIFY, p_->ParentNotify(static_cast<UINT>(c_.wParam), c_.lParam); return TRUE;)
