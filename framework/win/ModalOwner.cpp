#include "framework/win/ModalOwner.h"

CModalOwner::CModalOwner(HWND hWndOwner) : m_hWndOwner(hWndOwner), m_bDisabled(FALSE)
{
    if (hWndOwner != nullptr && hWndOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        m_bDisabled = TRUE;
    }
}

void CModalOwner::Release(HWND hWndModal)
{
    if (hWndModal != nullptr)
        ::SetWindowPos(hWndModal, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (m_bDisabled)
        ::EnableWindow(m_hWndOwner, TRUE);
    m_bDisabled = FALSE;
    if (m_hWndOwner != nullptr && ::GetActiveWindow() == hWndModal)
        ::SetActiveWindow(m_hWndOwner);
}
