// One icon in the shell's notification area: an invisible window that receives the icon's mouse callbacks, shows
// its context menu, animates icon and tip, puts the icon back when the taskbar is re-created, and hides frames
// into the notification area.
#pragma once

#include "framework/core/AfxString.h"
#include "framework/core/Collections.h"
#include "framework/win/Wnd.h"
#include "toolkit/base/ToolkitMessages.h"
#include "toolkit/base/XTPToolkitGlobals.h"

#include <windows.h>
#include <shellapi.h>

class CXTTrayIcon : public CWnd
{
public:
    // One frame of the icon animation.
    struct TRAYICONDATA
    {
        HICON hIcon;
        CString strToolTip;
    };

    CXTTrayIcon();
    ~CXTTrayIcon() override;

    // The short form: icon id 0, default menu item 0 given by id.
    virtual BOOL Create(LPCTSTR lpszCaption, DWORD dwUnused, CWnd* pNotifyWnd, UINT nIconResID);
    // uID is the shell's id of the icon and the resource id of its context menu. FALSE when the shell refuses it.
    virtual BOOL Create(LPCTSTR lpszCaption, CWnd* pNotifyWnd, UINT nIconResID, UINT uID, UINT uMenuDefaultItem,
                        bool bDefaultItemByPos);
    virtual void StopAnimation();
    virtual void StartAnimation(UINT uElapse);
    virtual BOOL SetAnimationIcons(const UINT* lpIDArray, LPCTSTR* lpStrTipArray, int nIDCount);
    virtual BOOL SetAnimationIcons(const UINT* lpIDArray, int nIDCount, LPCTSTR* lpStrTipArray);
    virtual LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    // After the taskbar was re-created (or the work area changed): adds the icon again when it should be shown.
    virtual BOOL ReinstallIcon();
    // Parents pWnd to a hidden window, which takes its taskbar button away.
    virtual BOOL RemoveTaskbarButton(CWnd* pWnd);
    virtual void RemoveAnimationIcons();
    virtual void SetTooltipText(CString strToolTip);
    virtual BOOL SetIcon(UINT nIDResource);
    virtual void EndAnimation();
    virtual void StartAnimation(UINT nIDEvent, UINT uElapse);

    // TRUE while hidden (only the notify data changes), else the shell's answer.
    BOOL SetTooltipText(LPCTSTR lpszToolTip);
    BOOL SetIcon(LPCTSTR lpszResource);
    BOOL SetIconById(WORD nIDResource);
    BOOL SetIconHandle(HICON hIcon);
    BOOL AddIcon();
    BOOL ShowIcon();
    BOOL HideIcon();
    BOOL RemoveIcon();

    void MinimizeToTray(CWnd* pWnd);
    void RestoreFromTray(CWnd* pWnd);
    // The rectangle the minimise and restore animations aim at.
    BOOL GetTrayWindowRect(CRect& rect);

    BOOL IsIconHidden() const { return m_bHidden; }
    BOOL IsIconRemoved() const { return m_bRemoved; }
    BOOL IsShowPending() const { return m_bShowPending; }
    CWnd* GetHiddenParent() { return &m_wndHiddenParent; }
    UINT GetIconID() const { return m_pNotifyData->uID; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);

    BOOL Notify(DWORD dwMessage, UINT uFlags);
    HICON LoadSmallIcon(LPCTSTR lpszResource) const;

    UINT m_uFlags;
    UINT m_nIconResID;
    UINT m_nIDEvent;
    int m_nCounter;
    UINT m_uDefaultMenuItemID;
    bool m_bDefaultMenuItemByPos;
    bool m_bHidden;
    bool m_bRemoved;
    bool m_bShowPending;
    HWND m_hWndNotify;
    CWnd m_wndHiddenParent;
    int m_nTipLimit;
    CString m_strToolTip;
    CXTIconHandle m_hIcon;
    NOTIFYICONDATAW* m_pNotifyData;
    CList<TRAYICONDATA, TRAYICONDATA&> m_listAnimation;

    DECLARE_MESSAGE_MAP()
};
