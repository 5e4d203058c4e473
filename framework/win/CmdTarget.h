// Command targets: static message maps, command routing with update handlers, and reference counts.
#pragma once

#include <windows.h>

#include "framework/FrameworkMessages.h"
#include "framework/core/Object.h"

class CCmdTarget;
class CCmdUI;
class CMenu;
class CWnd;

// Notification codes of command routing. CN_UPDATE_COMMAND_UI asks the handler to set the state of a CCmdUI.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

// What one dispatch carries to a handler thunk: a window message, or a routed command.
struct AFX_MSG_CALL
{
    UINT nMessage;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;
    UINT nCode;
    void* pExtra;
    LRESULT lResult;
};

// Calls one handler with the arguments it declares, casting the target to the class whose map holds the entry.
// Answers whether the handler took the message (the _EX forms may decline).
typedef BOOL (*AFX_PMSG_THUNK)(CCmdTarget* pTarget, AFX_MSG_CALL& call);

enum AfxSig : UINT
{
    AfxSig_end = 0,
    AfxSig_msg,    // a window message (ON_WM_*, ON_MESSAGE, ON_REGISTERED_MESSAGE)
    AfxSig_cmd,    // WM_COMMAND: menu, accelerator or control notification
    AfxSig_cmdui,  // CN_UPDATE_COMMAND_UI
    AfxSig_notify, // WM_NOTIFY
    AfxSig_thread, // a thread message (ON_THREAD_MESSAGE)
};

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage; // window message; WM_COMMAND or WM_NOTIFY (plus WM_REFLECT_BASE when reflected) for commands
    UINT nCode;    // notification code, CN_COMMAND or CN_UPDATE_COMMAND_UI
    UINT nID;      // first control or command id
    UINT nLastID;  // last id of a range
    UINT nSig;     // AfxSig
    const UINT* pnRegisteredMessage; // ON_REGISTERED_MESSAGE: the variable holding the registered number
    AFX_PMSG_THUNK pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP*(PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg when it is only asked whether a handler exists.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

// The extra data of a routed WM_NOTIFY.
struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

// The first entry of a map that matches, searching the given entries only.
const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode, UINT nID);

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)

public:
    CCmdTarget();
    ~CCmdTarget() override;

    // Routes a command or notification through this target's map. nCode is CN_COMMAND, CN_UPDATE_COMMAND_UI
    // (pExtra a CCmdUI*), a control notification code, or MAKELONG(code, WM_NOTIFY) (pExtra an AFX_NOTIFY*);
    // MAKELONG(code, WM_REFLECT_BASE + message) for reflected ones. With pHandlerInfo it only reports whether a
    // handler exists, filling the record, and calls nothing.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The count starts at 1 (the creator's reference); reaching 0 calls OnFinalRelease, which deletes.
    LONG InternalAddRef();
    LONG InternalRelease();
    LONG ExternalAddRef();
    LONG ExternalRelease();
    virtual void OnFinalRelease();

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    LONG m_dwRef;

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    friend class CWnd;
    friend class CWinThread;

private:
    HCURSOR m_hcurWaitSaved = nullptr;
    int m_nWaitCursorCount = 0;
};

// The state of one user-interface item (menu item, button, toolbar button) as update handlers set it.
class CCmdUI
{
public:
    CCmdUI();
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);

    // Called by an update handler that wants the next target in the route to decide.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Offers the item to pTarget's update handlers; when none set the enabled state and bDisableIfNoHndler is
    // set, the item is disabled unless pTarget has a command handler for it. Answers whether a handler ran.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    UINT m_nID;
    UINT m_nIndex;
    CMenu* m_pMenu;
    CMenu* m_pSubMenu;
    CMenu* m_pParentMenu;
    CWnd* m_pOther;
    BOOL m_bEnableChanged;
    BOOL m_bContinueRouting;
    UINT m_nIndexMax;
};

// Message maps. A class declares one with DECLARE_MESSAGE_MAP and defines it between BEGIN_MESSAGE_MAP and
// END_MESSAGE_MAP. Entries name their handler as a member name, not an address: ON_COMMAND(ID_X, OnX), or
// qualified to call a base class's handler directly: ON_COMMAND(ID_HELP, CFrameWnd::OnHelp). Each entry compiles
// to a small function calling the handler with its own argument types, so a handler of the wrong signature fails
// to compile instead of being cast.
#define DECLARE_MESSAGE_MAP()                                                                                          \
protected:                                                                                                             \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();                                                               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                                                  \
    {                                                                                                                  \
        return GetThisMessageMap();                                                                                    \
    }                                                                                                                  \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap()                                                             \
    {                                                                                                                  \
        typedef theClass ThisClass;                                                                                    \
        typedef baseClass TheBaseClass;                                                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, type_name, baseClass)                                                     \
    template <typename type_name> const AFX_MSGMAP* theClass<type_name>::GetMessageMap() const                         \
    {                                                                                                                  \
        return GetThisMessageMap();                                                                                    \
    }                                                                                                                  \
    template <typename type_name> const AFX_MSGMAP* PASCAL theClass<type_name>::GetThisMessageMap()                    \
    {                                                                                                                  \
        typedef theClass<type_name> ThisClass;                                                                         \
        typedef baseClass TheBaseClass;                                                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                              \
    {                                                                                                                  \
        0, 0, 0, 0, AfxSig_end, nullptr, nullptr                                                                       \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};                      \
    return &messageMap;                                                                                                \
    }

// The body of an entry's thunk: p_ is the target as ThisClass*, c_ the AFX_MSG_CALL.
#define AFX_MSG_THUNK(...)                                                                                             \
    [](CCmdTarget* pTarget_, AFX_MSG_CALL& c_) -> BOOL {                                                               \
        ThisClass* p_ = static_cast<ThisClass*>(pTarget_);                                                             \
        (void)p_;                                                                                                      \
        (void)c_;                                                                                                      \
        __VA_ARGS__                                                                                                    \
    }

// An update handler: it stops the route unless it calls ContinueRouting.
#define AFX_CMDUI_THUNK(call)                                                                                          \
    AFX_MSG_THUNK(CCmdUI* pCmdUI_ = static_cast<CCmdUI*>(c_.pExtra); pCmdUI_->m_bContinueRouting = FALSE; p_->call;    \
                  return !pCmdUI_->m_bContinueRouting;)

// Commands and control notifications (WM_COMMAND).
#define ON_COMMAND(id, memberFxn)                                                                                      \
    {                                                                                                                  \
        WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_cmd, nullptr,                                           \
            AFX_MSG_THUNK(p_->memberFxn(); return TRUE;)                                                               \
    }                                                                                                                  \
    ,
#define ON_COMMAND_EX(id, memberFxn)                                                                                   \
    {                                                                                                                  \
        WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_cmd, nullptr,                                           \
            AFX_MSG_THUNK(return p_->memberFxn(c_.nID) ? TRUE : FALSE;)                                                \
    }                                                                                                                  \
    ,
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                                        \
    {                                                                                                                  \
        WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AfxSig_cmd, nullptr,                                       \
            AFX_MSG_THUNK(p_->memberFxn(c_.nID); return TRUE;)                                                         \
    }                                                                                                                  \
    ,
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                                                     \
    {                                                                                                                  \
        WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(idLast), AfxSig_cmd, nullptr,                                       \
            AFX_MSG_THUNK(return p_->memberFxn(c_.nID) ? TRUE : FALSE;)                                                \
    }                                                                                                                  \
    ,
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                                            \
    {WM_COMMAND,                                                                                                       \
     CN_UPDATE_COMMAND_UI,                                                                                             \
     (UINT)(id),                                                                                                       \
     (UINT)(id),                                                                                                       \
     AfxSig_cmdui,                                                                                                     \
     nullptr,                                                                                                          \
     AFX_CMDUI_THUNK(memberFxn(pCmdUI_))},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                                              \
    {WM_COMMAND,                                                                                                       \
     CN_UPDATE_COMMAND_UI,                                                                                             \
     (UINT)(id),                                                                                                       \
     (UINT)(idLast),                                                                                                   \
     AfxSig_cmdui,                                                                                                     \
     nullptr,                                                                                                          \
     AFX_CMDUI_THUNK(memberFxn(pCmdUI_))},
#define ON_UPDATE_COMMAND_UI_REFLECT(memberFxn)                                                                        \
    {WM_COMMAND + WM_REFLECT_BASE, (WORD)(-1), 0, 0, AfxSig_cmdui, nullptr, AFX_CMDUI_THUNK(memberFxn(pCmdUI_))},
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                                         \
    {                                                                                                                  \
        WM_COMMAND, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSig_cmd, nullptr,                            \
            AFX_MSG_THUNK(p_->memberFxn(); return TRUE;)                                                               \
    }                                                                                                                  \
    ,
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                                           \
    {                                                                                                                  \
        WM_COMMAND, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(idLast), AfxSig_cmd, nullptr,                        \
            AFX_MSG_THUNK(p_->memberFxn(c_.nID); return TRUE;)                                                         \
    }                                                                                                                  \
    ,
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                                     \
    {                                                                                                                  \
        WM_COMMAND + WM_REFLECT_BASE, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_cmd, nullptr,                            \
            AFX_MSG_THUNK(p_->memberFxn(); return TRUE;)                                                               \
    }                                                                                                                  \
    ,
// The _EX form lets the parent see the notification as well when the handler answers FALSE.
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                                                  \
    {                                                                                                                  \
        WM_COMMAND + WM_REFLECT_BASE, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_cmd, nullptr,                            \
            AFX_MSG_THUNK(return p_->memberFxn() ? TRUE : FALSE;)                                                      \
    }                                                                                                                  \
    ,

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCANCEL(id, memberFxn) ON_CONTROL(LBN_SELCANCEL, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
// The check-list box's own notification (sent as a WM_COMMAND code).
#define CLBN_CHKCHANGE 40
#define ON_CLBN_CHKCHANGE(id, memberFxn) ON_CONTROL(CLBN_CHKCHANGE, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// Notifications (WM_NOTIFY). Handlers: void (NMHDR*, LRESULT*); ranges and _EX forms also get the id first, and
// _EX forms answer whether they took the notification.
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                                          \
    {                                                                                                                  \
        WM_NOTIFY, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSig_notify, nullptr,                          \
            AFX_MSG_THUNK(AFX_NOTIFY* n_ = static_cast<AFX_NOTIFY*>(c_.pExtra);                                        \
                          p_->memberFxn(n_->pNMHDR, n_->pResult); return TRUE;)                                        \
    }                                                                                                                  \
    ,
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                                            \
    {                                                                                                                  \
        WM_NOTIFY, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(idLast), AfxSig_notify, nullptr,                      \
            AFX_MSG_THUNK(AFX_NOTIFY* n_ = static_cast<AFX_NOTIFY*>(c_.pExtra);                                        \
                          p_->memberFxn(c_.nID, n_->pNMHDR, n_->pResult); return TRUE;)                                \
    }                                                                                                                  \
    ,
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                                                       \
    {                                                                                                                  \
        WM_NOTIFY, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSig_notify, nullptr,                          \
            AFX_MSG_THUNK(AFX_NOTIFY* n_ = static_cast<AFX_NOTIFY*>(c_.pExtra);                                        \
                          return p_->memberFxn(c_.nID, n_->pNMHDR, n_->pResult) ? TRUE : FALSE;)                       \
    }                                                                                                                  \
    ,
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn)                                                         \
    {                                                                                                                  \
        WM_NOTIFY, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(idLast), AfxSig_notify, nullptr,                      \
            AFX_MSG_THUNK(AFX_NOTIFY* n_ = static_cast<AFX_NOTIFY*>(c_.pExtra);                                        \
                          return p_->memberFxn(c_.nID, n_->pNMHDR, n_->pResult) ? TRUE : FALSE;)                       \
    }                                                                                                                  \
    ,
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                                                      \
    {                                                                                                                  \
        WM_NOTIFY + WM_REFLECT_BASE, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_notify, nullptr,                          \
            AFX_MSG_THUNK(AFX_NOTIFY* n_ = static_cast<AFX_NOTIFY*>(c_.pExtra);                                        \
                          p_->memberFxn(n_->pNMHDR, n_->pResult); return TRUE;)                                        \
    }                                                                                                                  \
    ,
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                                                   \
    {                                                                                                                  \
        WM_NOTIFY + WM_REFLECT_BASE, (UINT)(WORD)(wNotifyCode), 0, 0, AfxSig_notify, nullptr,                          \
            AFX_MSG_THUNK(AFX_NOTIFY* n_ = static_cast<AFX_NOTIFY*>(c_.pExtra);                                        \
                          return p_->memberFxn(n_->pNMHDR, n_->pResult) ? TRUE : FALSE;)                               \
    }                                                                                                                  \
    ,

// Any window message: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                                                 \
    {                                                                                                                  \
        (UINT)(message), 0, 0, 0, AfxSig_msg, nullptr,                                                                 \
            AFX_MSG_THUNK(c_.lResult = static_cast<LRESULT>(p_->memberFxn(c_.wParam, c_.lParam)); return TRUE;)        \
    }                                                                                                                  \
    ,
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                                             \
    {                                                                                                                  \
        0xC000, 0, 0, 0, AfxSig_msg, &(nMessageVariable),                                                              \
            AFX_MSG_THUNK(c_.lResult = static_cast<LRESULT>(p_->memberFxn(c_.wParam, c_.lParam)); return TRUE;)        \
    }                                                                                                                  \
    ,
// Messages posted to a thread (no window): void handler(WPARAM, LPARAM).
#define ON_THREAD_MESSAGE(message, memberFxn)                                                                          \
    {                                                                                                                  \
        (UINT)(message), 0, 0, 0, AfxSig_thread, nullptr,                                                              \
            AFX_MSG_THUNK(p_->memberFxn(c_.wParam, c_.lParam); return TRUE;)                                           \
    }                                                                                                                  \
    ,
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, memberFxn)                                                      \
    {                                                                                                                  \
        0xC000, 0, 0, 0, AfxSig_thread, &(nMessageVariable),                                                           \
            AFX_MSG_THUNK(p_->memberFxn(c_.wParam, c_.lParam); return TRUE;)                                           \
    }                                                                                                                  \
    ,
