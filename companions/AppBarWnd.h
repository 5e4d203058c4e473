// A strip window docked at a screen edge through the shell's application-bar messages: other windows' maximised
// size leaves its band free, it follows the shell's position notices, steps behind full-screen programs and can be
// dragged between the top and bottom edges.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "framework/win/Wnd.h"

// What the bar asks of the shell; tests replace it to see what is sent. Returns the shell's answer.
typedef UINT_PTR (*AppBarMessenger)(DWORD dwMessage, APPBARDATA* pData);
// Null restores the shell's own; returns the one replaced.
AppBarMessenger SetAppBarMessenger(AppBarMessenger messenger);

// The rectangles and hit codes of the bar as functions of the screen's size.
namespace AppBarGeometry {
// The full-screen rectangle with the side facing the inside replaced by the bar's thickness at that edge.
RECT DockRect(UINT nEdge, int nWidth, int nHeight, SIZE screen);
// What the bar proposes to the shell for a rectangle: the whole screen's width (top, bottom) or height (left,
// right), the rectangle's own thickness kept.
RECT Proposal(UINT nEdge, const RECT& rect, SIZE screen);
// The thickness put back on the inner side of what the shell answered.
RECT KeepThickness(UINT nEdge, const RECT& answer, int nWidth, int nHeight);
// The hit code: only the sizing border that faces the inside of the screen is kept, everything else is client.
UINT HitTest(UINT nEdge, UINT nDefaultHit);
// The edge a drag ends at: the top in the upper half of the screen, else the bottom.
UINT DragEdge(int yScreen, SIZE screen);
// Where the window stands at a moment of a slide from one rectangle to another.
POINT SlidePosition(const RECT& from, const RECT& to, DWORD nElapsed, DWORD nDuration);
} // namespace AppBarGeometry

class CAppBarWnd : public CWnd
{
public:
    CAppBarWnd();
    ~CAppBarWnd() override;

    // Creates the bar owned by pParent (on another thread, it may be); it registers with the shell and docks at
    // the top.
    virtual BOOL Create(CWnd* pParent);

    void Dock(UINT nEdge);
    void QueryPos(RECT& rect);
    void SetPos(UINT nEdge, RECT& rect, BOOL bMove);
    void Reposition();
    void Slide(const RECT& target);

    BOOL IsRegistered() const { return m_bRegistered; }
    UINT GetEdge() const { return m_nEdge; }
    int GetBarHeight() const { return m_nHeight; }
    const RECT& GetDockedRect() const { return m_rcDocked; }

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Sends one message to the shell with this bar's handle, its edge and the rectangle given.
    UINT_PTR ShellMessage(DWORD dwMessage, RECT* pRect = nullptr, LPARAM lParam = 0);
    static SIZE ScreenSize();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg LRESULT OnAppBarNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    BOOL m_bRegistered;
    BOOL m_bDragging;
    UINT m_nEdge;
    int m_nWidth;
    int m_nHeight;
    RECT m_rcDocked;
    RECT m_rcDrag;
};
