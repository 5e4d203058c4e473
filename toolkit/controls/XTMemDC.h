// The scoped double buffer of small controls: drawn into on the stack in a paint handler, copied to the target
// in one BitBlt when it goes out of scope.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"

class CXTMemDC : public CDC
{
    DECLARE_DYNAMIC(CXTMemDC)

public:
    // An empty rectangle buffers the target's clip box. The buffer's (0, 0) lands on the rectangle's top-left.
    CXTMemDC(CDC* pDC, const CRect& rect, COLORREF clrColor = GetSysColor(COLOR_3DFACE));
    ~CXTMemDC() override;

    BOOL IsValid() const { return m_bValid; }
    const CRect& GetRect() const { return m_rc; }

protected:
    CDC* m_pDC;
    CRect m_rc;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap;
    BOOL m_bValid;
};
