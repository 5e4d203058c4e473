// The owner of a modal window (a dialog or a property sheet): disabled while the window runs, given back its input
// and the activation as the window ends.
#pragma once

#include <windows.h>

class CModalOwner
{
public:
    // Disables the owner when it is enabled; never the desktop.
    explicit CModalOwner(HWND hWndOwner);
    ~CModalOwner() = default;
    CModalOwner(const CModalOwner&) = delete;
    CModalOwner& operator=(const CModalOwner&) = delete;

    // Hides the modal window before the owner is enabled again, so that the activation goes straight back to the
    // owner, and activates the owner when the modal window still had the activation (or, when it is gone, nothing has
    // it).
    void Release(HWND hWndModal);

private:
    HWND m_hWndOwner;
    BOOL m_bDisabled;
};
