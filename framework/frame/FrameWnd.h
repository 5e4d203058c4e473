// Frame windows: the layout of bars around one pane, accelerators, the status-bar message line, the active view
// and the floating windows that follow the frame's activation.
#pragma once

#include <windows.h>

#include "framework/core/AfxString.h"
#include "framework/core/Geometry.h"
#include "framework/frame/FrameResource.h"
#include "framework/win/Wnd.h"

class CView;
class CDocument;
class CDocTemplate;
class CControlBar;

// Child ids of a frame: control bars take 0xE800-0xE8FF, the client pane 0xE900 upwards.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_TOOLBAR 0xE800
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_PREVIEW_BAR 0xE802
#define AFX_IDW_RESIZE_BAR 0xE803
#define AFX_IDW_REBAR 0xE804
#define AFX_IDW_DIALOGBAR 0xE805
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF
#define AFX_IDW_HSCROLL_FIRST 0xEA00
#define AFX_IDW_VSCROLL_FIRST 0xEA10
#define AFX_IDW_SIZE_BOX 0xEA20
#define AFX_IDW_PANE_SAVE 0xEA21

#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif

// Frame styles (in the low word of the window style, which the frame's own class does not use).
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

// The default style of a view and of a frame's client pane.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

// WM_FLOATSTATUS flags: what a floating window owned by a frame should do.
#define FS_SHOW 0x01
#define FS_HIDE 0x02
#define FS_ACTIVATE 0x04
#define FS_DEACTIVATE 0x08
#define FS_ENABLE 0x10
#define FS_DISABLE 0x20
#define FS_SYNCACTIVE 0x40

// A mini frame's style: its caption follows the activation of its owner frame.
#define MFS_SYNCACTIVE 0x00000100L
#define MFS_4THICKFRAME 0x00000200L
#define MFS_THICKFRAME 0x00000400L
#define MFS_MOVEFRAME 0x00000800L
#define MFS_BLOCKSYSMENU 0x00001000L

// m_nFlags of a frame.
#define WF_STAYACTIVE 0x0020
#define WF_NOPOPMSG 0x0040
#define WF_KEEPMINIACTIVE 0x0200

// What a frame is given to make its client pane.
class CCreateContext
{
public:
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

// Print preview never starts in this program; the record exists for the overridable's signature.
struct CPrintPreviewState
{
    UINT nIDMainPane = AFX_IDW_PANE_FIRST;
    HMENU hMenu = nullptr;
    DWORD dwStates = 0;
    HWND hWndFocus = nullptr;
    HACCEL hAccelTable = nullptr;
};

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)

public:
    static const CRect rectDefault;

    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the frame; lpszMenuName names a menu resource; pContext reaches OnCreateClient.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // Creates the frame from one resource id: its menu, accelerators, icon and title (the string's first line).
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL LoadAccelTable(LPCTSTR lpszResourceName);
    virtual HACCEL GetDefaultAccelerator();

    BOOL IsFrameWnd() const override { return TRUE; }
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // A frame deletes itself when its window is gone.
    void PostNcDestroy() override;

    // ---- Layout
    enum IdleFlags
    {
        idleMenu = 1,
        idleTitle = 2,
        idleNotify = 4,
        idleLayout = 8
    };
    // Places the control bars through WM_SIZEPARENT and gives the rest to the pane AFX_IDW_PANE_FIRST.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Marks the layout for the next idle time instead of doing it now.
    void DelayRecalcLayout(BOOL bNotify = TRUE);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);

    // ---- Views
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CFrameWnd* GetActiveFrame() { return this; }
    virtual CDocument* GetActiveDocument() { return nullptr; }

    // ---- The message line (pane 0 of the status bar)
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    // The prompt of a command: the first line of its string resource.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    virtual CWnd* GetMessageBar();

    // ---- Floating windows owned by the frame
    void NotifyFloatingWindows(DWORD dwFlags);

    // Print preview and context help never start here; the overridables keep their flags off.
    virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);
    BOOL IsInPreviewMode() const { return FALSE; }

    afx_msg void OnHelp() {}
    afx_msg void OnHelpFinder() {}
    afx_msg void OnContextHelp() {}

    HACCEL m_hAccelTable;
    HMENU m_hMenuDefault;
    int m_nIdleFlags;
    BOOL m_bHelpMode;
    BOOL m_bAutoMenuEnable;
    UINT m_nIDHelp;
    UINT m_nIDTracking;
    UINT m_nIDLastMessage;
    CString m_strTitle;
    CRect m_rectBorder;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho);
    afx_msg void OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);

    LPCTSTR GetIconWndClass(DWORD dwDefaultStyle, UINT nIDResource);

    CView* m_pViewActive;
    BOOL m_bInRecalcLayout;

    DECLARE_MESSAGE_MAP()
};

// A small floating frame with a thin caption; with MFS_SYNCACTIVE its caption is drawn active while its owner is.
class CMiniFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMiniFrameWnd)

public:
    CMiniFrameWnd();
    BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd = nullptr,
                UINT nID = 0);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    afx_msg LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnNcActivate(BOOL bActive);

    DECLARE_MESSAGE_MAP()
};

// Multiple-document frames: this program never makes one, so kind tests on its windows answer "no".
class CMDIFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIFrameWnd)

public:
    CMDIFrameWnd() : m_hWndMDIClient(nullptr) {}
    virtual CWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const
    {
        if (pbMaximized != nullptr)
            *pbMaximized = FALSE;
        return nullptr;
    }
    HWND m_hWndMDIClient;
};

class CMDIChildWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMDIChildWnd)

public:
    CMDIChildWnd() : m_hMenuShared(nullptr) {}
    CMDIFrameWnd* GetMDIFrame() const { return nullptr; }
    HMENU m_hMenuShared;
};
