// The frame template the application's frames derive from: it owns the frame's command bars, shows them every
// message before the frame does, keeps accelerators away from an edit control on a bar, turns an executed
// control into the frame's WM_NOTIFY dispatch, and lets the window that owns an open popup answer the popup's
// commands and command-state updates.
#pragma once

#include "framework/frame/FrameWnd.h"
#include "toolkit/base/XTPMouseManager.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPToolBar.h"

// TRUE when the focus window is an edit control that sits on a command bar.
BOOL XTPIsCommandBarEditFocused();
// The toolkit's edit window (a bar's edit or an editable combo's field) that has the focus; null otherwise.
CWnd* XTPGetFocusedFieldEdit();
// Whether the command is one of the standard edit commands a focused field takes before the frame.
BOOL XTPIsFieldEditCommand(UINT nID);
// The owner of the innermost tracked popup bar when that owner is a window other than a frame; null otherwise.
CWnd* XTPGetTrackedPopupOwner();

template <class TBase> class CXTPFrameWndBase : public TBase
{
public:
    CXTPFrameWndBase() : m_pCommandBars(nullptr) {}
    ~CXTPFrameWndBase() override
    {
        if (m_pCommandBars != nullptr)
            m_pCommandBars->InternalRelease();
    }

    CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }

    // Creates the manager (of the class given) for this frame with its four dock bars; call it from OnCreate.
    BOOL InitCommandBars(CRuntimeClass* pCommandBarsClass = RUNTIME_CLASS(CXTPCommandBars))
    {
        if (m_pCommandBars != nullptr)
            return TRUE;
        if (pCommandBarsClass == nullptr || !pCommandBarsClass->IsDerivedFrom(RUNTIME_CLASS(CXTPCommandBars)))
            return FALSE;
        m_pCommandBars = static_cast<CXTPCommandBars*>(pCommandBarsClass->CreateObject());
        if (m_pCommandBars == nullptr)
            return FALSE;
        m_pCommandBars->SetSite(this);
        return m_pCommandBars->CreateDockBars();
    }

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (m_pCommandBars != nullptr && m_pCommandBars->PreTranslateFrameMessage(pMsg))
            return TRUE;
        if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_SYSDEADCHAR && pMsg->wParam != VK_TAB &&
            pMsg->wParam != VK_RETURN && pMsg->wParam != VK_ESCAPE && XTPIsCommandBarEditFocused())
            return CWnd::PreTranslateMessage(pMsg);
        return TBase::PreTranslateMessage(pMsg);
    }

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (m_pCommandBars != nullptr && m_pCommandBars->OnFrameMessage(message, wParam, lParam, pResult))
            return TRUE;
        if (message == WM_XTP_CONTROL_EXECUTE && lParam != 0) {
            NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
            LRESULT lResult = 0;
            AFX_NOTIFY notify = {&lResult, pNMHDR};
            if (this->OnCmdMsg(static_cast<UINT>(pNMHDR->idFrom), MAKELONG(pNMHDR->code, WM_NOTIFY), &notify,
                               nullptr)) {
                *pResult = lResult;
                return TRUE;
            }
        }
        return TBase::OnWndMsg(message, wParam, lParam, pResult);
    }

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nCode == static_cast<int>(CN_COMMAND) || nCode == static_cast<int>(CN_UPDATE_COMMAND_UI)) {
            CWnd* pOwner = XTPGetTrackedPopupOwner();
            if (pOwner != nullptr && pOwner != this && pOwner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
                return TRUE;
            // The frame's own Edit menu and keys act on a focused field of a bar before anything else.
            CWnd* pField = XTPIsFieldEditCommand(nID) ? XTPGetFocusedFieldEdit() : nullptr;
            if (pField != nullptr && pField->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
                return TRUE;
        }
        return TBase::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }

    void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) override
    {
        if (m_pCommandBars != nullptr) {
            for (int i = 0; i < m_pCommandBars->GetCount(); ++i)
                m_pCommandBars->GetAt(i)->OnSetPreviewMode(bPreview);
        }
        TBase::OnSetPreviewMode(bPreview, pState);
    }

protected:
    CXTPCommandBars* m_pCommandBars;
};

typedef CXTPFrameWndBase<CFrameWnd> CXTPFrameWnd;
