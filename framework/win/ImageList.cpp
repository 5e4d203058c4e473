#include "framework/win/ImageList.h"

#include "framework/core/AfxModule.h"
#include "framework/win/Dc.h"
#include "framework/win/Gdi.h"
#include "framework/win/TempHandleMap.h"

namespace {

struct ImageListTraits
{
    static CImageList* CreateTemporary(HIMAGELIST handle)
    {
        CImageList* made = new CImageList;
        made->m_hImageList = handle;
        return made;
    }
    static void ForgetHandles(CImageList* list) { list->m_hImageList = nullptr; }
};

using ImageListMap = afxdetail::CGraphicsHandleMap<CImageList, HIMAGELIST, ImageListTraits>;

HBITMAP BitmapHandle(const CBitmap* bitmap)
{
    return static_cast<HBITMAP>(bitmap ? bitmap->m_hObject : nullptr);
}

HDC SafeHdc(const CDC* dc)
{
    return dc ? dc->m_hDC : nullptr;
}

BOOL AttachNewList(CImageList& list, HIMAGELIST made)
{
    if (!made)
        return FALSE;
    if (!list.Attach(made)) {
        ImageList_Destroy(made);
        return FALSE;
    }
    return TRUE;
}

} // namespace

IMPLEMENT_DYNCREATE(CImageList, CObject)

CImageList::~CImageList()
{
    DeleteImageList();
}

CImageList* CImageList::FromHandle(HIMAGELIST handle)
{
    ImageListMap* map = ImageListMap::ForThread();
    return map ? map->FromHandle(handle) : nullptr;
}

CImageList* CImageList::FromHandlePermanent(HIMAGELIST handle)
{
    ImageListMap* map = ImageListMap::ForThread();
    return map ? map->LookupPermanent(handle) : nullptr;
}

void CImageList::DeleteTempMap()
{
    if (ImageListMap* map = ImageListMap::ForThread())
        map->DeleteTemporaries();
}

BOOL CImageList::Attach(HIMAGELIST handle)
{
    if (!handle || m_hImageList)
        return FALSE;
    m_hImageList = handle;
    if (ImageListMap* map = ImageListMap::ForThread())
        map->SetPermanent(handle, this);
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST handle = m_hImageList;
    ImageListMap* map = ImageListMap::ForThread();
    if (handle && map)
        map->RemoveHandle(handle, this);
    m_hImageList = nullptr;
    return handle;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    return AttachNewList(*this, ImageList_Create(cx, cy, flags, initial, grow));
}

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask)
{
    return Create(MAKEINTRESOURCEW(bitmapId), cx, grow, mask);
}

BOOL CImageList::Create(LPCWSTR bitmapName, int cx, int grow, COLORREF mask)
{
    return AttachNewList(*this, ImageList_LoadImageW(AfxGetResourceHandle(), bitmapName, cx, grow, mask, IMAGE_BITMAP,
                                                     LR_CREATEDIBSECTION));
}

BOOL CImageList::Create(CImageList& list1, int image1, CImageList& list2, int image2, int dx, int dy)
{
    return AttachNewList(*this, ImageList_Merge(list1.m_hImageList, image1, list2.m_hImageList, image2, dx, dy));
}

BOOL CImageList::Create(CImageList* source)
{
    return source ? AttachNewList(*this, ImageList_Duplicate(source->m_hImageList)) : FALSE;
}

int CImageList::GetImageCount() const
{
    return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0;
}

BOOL CImageList::SetImageCount(UINT count)
{
    return ImageList_SetImageCount(m_hImageList, count);
}

BOOL CImageList::GetImageInfo(int image, IMAGEINFO* info) const
{
    return ImageList_GetImageInfo(m_hImageList, image, info);
}

COLORREF CImageList::SetBkColor(COLORREF color)
{
    return ImageList_SetBkColor(m_hImageList, color);
}

COLORREF CImageList::GetBkColor() const
{
    return ImageList_GetBkColor(m_hImageList);
}

int CImageList::Add(CBitmap* bitmap, CBitmap* mask)
{
    return ImageList_Add(m_hImageList, BitmapHandle(bitmap), BitmapHandle(mask));
}

int CImageList::Add(CBitmap* bitmap, COLORREF mask)
{
    return ImageList_AddMasked(m_hImageList, BitmapHandle(bitmap), mask);
}

int CImageList::Add(HICON icon)
{
    return ImageList_ReplaceIcon(m_hImageList, -1, icon);
}

BOOL CImageList::Remove(int image)
{
    return ImageList_Remove(m_hImageList, image);
}

BOOL CImageList::Replace(int image, CBitmap* bitmap, CBitmap* mask)
{
    return ImageList_Replace(m_hImageList, image, BitmapHandle(bitmap), BitmapHandle(mask));
}

int CImageList::Replace(int image, HICON icon)
{
    return ImageList_ReplaceIcon(m_hImageList, image, icon);
}

BOOL CImageList::Copy(int destination, int source, UINT flags)
{
    return ImageList_Copy(m_hImageList, destination, m_hImageList, source, flags);
}

BOOL CImageList::Copy(int destination, CImageList* sourceList, int source, UINT flags)
{
    return sourceList ? ImageList_Copy(m_hImageList, destination, sourceList->m_hImageList, source, flags) : FALSE;
}

BOOL CImageList::SetOverlayImage(int image, int overlay)
{
    return ImageList_SetOverlayImage(m_hImageList, image, overlay);
}

HICON CImageList::ExtractIcon(int image)
{
    return ImageList_GetIcon(m_hImageList, image, ILD_NORMAL);
}

BOOL CImageList::Draw(CDC* dc, int image, POINT point, UINT style)
{
    return ImageList_Draw(m_hImageList, image, SafeHdc(dc), point.x, point.y, style);
}

BOOL CImageList::DrawEx(CDC* dc, int image, POINT point, SIZE size, COLORREF background, COLORREF foreground,
                        UINT style)
{
    return ImageList_DrawEx(m_hImageList, image, SafeHdc(dc), point.x, point.y, size.cx, size.cy, background,
                            foreground, style);
}

BOOL CImageList::DrawIndirect(IMAGELISTDRAWPARAMS* params)
{
    if (!params)
        return FALSE;
    params->himl = m_hImageList;
    return ImageList_DrawIndirect(params);
}
