// CImageList over a common-controls image list, which it destroys when it ends.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/core/Geometry.h"
#include "framework/core/Object.h"

class CBitmap;
class CDC;

class CImageList : public CObject
{
    DECLARE_DYNCREATE(CImageList)

public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() noexcept = default;
    ~CImageList() override;

    operator HIMAGELIST() const noexcept { return m_hImageList; }
    // Callable through a null pointer (an absent object), as code written for this family of classes expects.
    HIMAGELIST GetSafeHandle() const noexcept
    {
        const auto* self = this;
        // Hides from the optimiser that `this` is never null in valid code, so the check stays.
        asm("" : "+r"(self));
        return self == nullptr ? nullptr : self->m_hImageList;
    }

    // The wrapper that owns the list on this thread, else a temporary freed when the thread goes idle.
    static CImageList* FromHandle(HIMAGELIST handle);
    static CImageList* FromHandlePermanent(HIMAGELIST handle);
    static void DeleteTempMap();

    // Takes ownership; fails when this object already holds a list or the handle is null.
    BOOL Attach(HIMAGELIST handle);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // From a bitmap resource of the framework's resource module: images of width cx, masked by mask
    // (CLR_NONE: no mask).
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
    BOOL Create(LPCWSTR bitmapName, int cx, int grow, COLORREF mask);
    // One image: image1 of list1 with image2 of list2 drawn over it, offset by (dx, dy).
    BOOL Create(CImageList& list1, int image1, CImageList& list2, int image2, int dx, int dy);
    // A copy of source.
    BOOL Create(CImageList* source);

    int GetImageCount() const;
    BOOL SetImageCount(UINT count);
    BOOL GetImageInfo(int image, IMAGEINFO* info) const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;

    // Each Add returns the index of the first new image, or -1. Adding with a mask colour turns the masked
    // pixels of the bitmap black, as the platform does.
    int Add(CBitmap* bitmap, CBitmap* mask);
    int Add(CBitmap* bitmap, COLORREF mask);
    int Add(HICON icon);
    // Remove(-1) removes every image.
    BOOL Remove(int image);
    BOOL Replace(int image, CBitmap* bitmap, CBitmap* mask);
    // The index of the replaced image, or -1.
    int Replace(int image, HICON icon);
    BOOL Copy(int destination, int source, UINT flags = ILCF_MOVE);
    BOOL Copy(int destination, CImageList* sourceList, int source, UINT flags = ILCF_MOVE);
    BOOL SetOverlayImage(int image, int overlay);

    // A new icon the caller destroys, or null.
    HICON ExtractIcon(int image);

    BOOL Draw(CDC* dc, int image, POINT point, UINT style);
    BOOL DrawEx(CDC* dc, int image, POINT point, SIZE size, COLORREF background, COLORREF foreground, UINT style);
    BOOL DrawIndirect(IMAGELISTDRAWPARAMS* params);
};
