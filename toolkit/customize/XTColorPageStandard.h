// The colour dialog's first page: the honeycomb of standard colours under its "&Colors:" label.
#pragma once

#include "toolkit/customize/XTColorHexagonPicker.h"
#include "toolkit/customize/XTThemePropertyPage.h"

class CXTColorPageStandard : public CXTThemePropertyPage
{
    DECLARE_DYNAMIC(CXTColorPageStandard)

public:
    explicit CXTColorPageStandard(CXTColorDialog* pDialog);
    ~CXTColorPageStandard() override;

    CXTColorHexagonPicker m_picker;

    BOOL OnInitDialog() override;
    // Shows the dialog's new colour, which the other page may have changed meanwhile.
    BOOL OnSetActive() override;
    void DoDataExchange(CDataExchange* pDX) override;

protected:
    // From the honeycomb (a pick, passed on to the dialog) or from the dialog (a colour to show).
    afx_msg LRESULT OnColorChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
