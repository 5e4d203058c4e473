// A text label on a command bar that takes no clicks, at least as long along the bar as its minimum length.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPControlStatic : public CXTPControl
{
    DECLARE_SERIAL(CXTPControlStatic)

public:
    CXTPControlStatic();

    void Serialize(CArchive& ar) override;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    CXTPControl* Clone(BOOL bRecursive = FALSE) override;

    void SetMinLength(int nLength) { m_nMinLength = nLength; }
    int GetMinLength() const { return m_nMinLength; }

protected:
    int m_nMinLength;
};
