// CColorDialog: the system's colour dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/win/Dialog.h"

class CColorDialog : public CDialog
{
    DECLARE_DYNAMIC(CColorDialog)

public:
    // With a colour other than 0 the dialog starts on it (CC_RGBINIT is added).
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    ~CColorDialog() override;

    // IDOK when a colour was chosen, else IDCANCEL.
    INT_PTR DoModal() override;
    // The chosen colour after IDOK; the initial one before.
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF clr);
    // The sixteen custom colours the dialog shows, shared by every colour dialog of the process.
    static COLORREF* PASCAL GetSavedCustomColors();

    CHOOSECOLORW m_cc;
};
