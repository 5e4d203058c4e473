// The images of commands: per command id a set of images at one or more widths, each a masked icon or a 32-bit
// bitmap with per-pixel alpha, with hot, disabled, faded and shadow variants made on demand.
#pragma once

#include "framework/core/Archive.h"
#include "framework/core/Collections.h"
#include "framework/core/Geometry.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/Dc.h"

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>

#include <vector>

class CXTPImageManager;
class CXTPImageManagerIconSet;

// One image: an icon or an alpha bitmap. Constructed empty it owns what it is given; constructed from a handle,
// or copied, it only refers to the handles.
class CXTPImageManagerIconHandle
{
public:
    CXTPImageManagerIconHandle();
    CXTPImageManagerIconHandle(HICON hIcon);
    CXTPImageManagerIconHandle(HBITMAP hBitmap);
    CXTPImageManagerIconHandle(const CXTPImageManagerIconHandle& other);
    CXTPImageManagerIconHandle& operator=(const CXTPImageManagerIconHandle& other);
    ~CXTPImageManagerIconHandle();

    BOOL IsEmpty() const { return !m_hIcon && !m_hBitmap; }
    BOOL IsAlpha() const { return m_hBitmap != nullptr; }
    HICON GetIcon() const { return m_hIcon; }
    HBITMAP GetBitmap() const { return m_hBitmap; }
    // Releases what it holds, then owns the icon.
    void AttachIcon(HICON hIcon);
    // Releases what it holds, then owns the 32-bit bitmap.
    void AttachBitmap(HBITMAP hBitmap);
    // Releases what it holds, then owns a copy of a 32-bit bitmap. FALSE when it cannot be copied.
    BOOL CopyBitmap(HBITMAP hBitmap);
    // Releases, then owns a copy of the other handle's image.
    BOOL CopyHandle(const CXTPImageManagerIconHandle& other);
    CSize GetExtent() const;
    // The premultiplied copy AlphaBlend needs, made once.
    HBITMAP PreMultiply();
    void Clear();

private:
    HICON m_hIcon;
    HBITMAP m_hBitmap;
    HBITMAP m_hPremultipliedBitmap;
    BOOL m_bOwns;
    HICON m_hCachedIcon;
};

// The image of one command at one width.
class CXTPImageManagerIcon
{
public:
    CXTPImageManagerIcon(UINT nID, int nWidth, int nHeight, CXTPImageManagerIconSet* pIconSet = nullptr);
    ~CXTPImageManagerIcon();
    CXTPImageManagerIcon(const CXTPImageManagerIcon&) = delete;
    CXTPImageManagerIcon& operator=(const CXTPImageManagerIcon&) = delete;

    UINT GetID() const { return m_nID; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    BOOL IsScaled() const { return m_bScaled; }
    BOOL IsAlpha() const { return m_hIcon.IsAlpha(); }

    CXTPImageManagerIconHandle& GetIcon() { return m_hIcon; }
    CXTPImageManagerIconHandle& GetHotIcon() { return m_hHotIcon.IsEmpty() ? m_hIcon : m_hHotIcon; }
    CXTPImageManagerIconHandle& GetFadedIcon();
    CXTPImageManagerIconHandle& GetShadowIcon();
    // The caller's disabled image when set, else the computed one.
    CXTPImageManagerIconHandle& GetDisabledIcon();

    BOOL SetIcon(const CXTPImageManagerIconHandle& hIcon);
    BOOL SetHotIcon(const CXTPImageManagerIconHandle& hIcon);
    BOOL SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon);
    // Drops the faded, shadow and computed disabled images; they are made again on next use.
    void Refresh();
    void Clear();

    void Draw(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, int cx = 0, int cy = 0);
    void Draw(CDC* pDC, CPoint pt, int cx = 0, int cy = 0) { Draw(pDC, pt, m_hIcon, cx, cy); }
    void DrawMono(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, COLORREF clr);
    // The icon block of the archive form.
    void Serialize(CArchive& ar);

private:
    friend class CXTPImageManagerIconSet;
    friend class CXTPImageManager;
    CXTPImageManager* GetImageManager() const;

    UINT m_nID;
    int m_nWidth;
    int m_nHeight;
    CXTPImageManagerIconHandle m_hIcon;
    CXTPImageManagerIconHandle m_hFaded;
    CXTPImageManagerIconHandle m_hShadow;
    CXTPImageManagerIconHandle m_hHotIcon;
    CXTPImageManagerIconHandle m_hDisabledIcon;
    CXTPImageManagerIconHandle m_hDisabledAuto;
    CXTPImageManagerIconSet* m_pIconSet;
    BOOL m_bScaled;
};

// The images of one command, by width.
class CXTPImageManagerIconSet
{
public:
    typedef CMap<UINT, UINT, CXTPImageManagerIcon*, CXTPImageManagerIcon*> CIconSetMap;

    CXTPImageManagerIconSet(UINT nID, CXTPImageManager* pImageManager);
    ~CXTPImageManagerIconSet();
    CXTPImageManagerIconSet(const CXTPImageManagerIconSet&) = delete;
    CXTPImageManagerIconSet& operator=(const CXTPImageManagerIconSet&) = delete;

    UINT GetID() const { return m_nID; }
    CIconSetMap* GetIcons() { return &m_mapIcons; }
    // The icon stored under exactly this width, created (height 15 until an image is set) when asked.
    CXTPImageManagerIcon* GetIcon(UINT nWidth, BOOL bCreate);
    // The icon of the width, else the nearest one or a scaled copy of it.
    CXTPImageManagerIcon* GetImage(UINT nWidth);
    void RefreshAll();
    void RemoveAll();
    // The set block of the archive form.
    void Serialize(CArchive& ar);

private:
    friend class CXTPImageManager;
    friend class CXTPImageManagerIcon;
    CXTPImageManagerIcon* MakeScaledCopy(CXTPImageManagerIcon* pIcon, UINT nWidth);

    CIconSetMap m_mapIcons;
    UINT m_nID;
    CXTPImageManager* m_pImageManager;
};

class CXTPImageManager : public CCmdTarget
{
    DECLARE_DYNAMIC(CXTPImageManager)

public:
    enum ImageKind
    {
        xtpImageNormal = 0,
        xtpImageDisabled = 1,
        xtpImageHot = 2
    };
    typedef CMap<UINT, UINT, CXTPImageManagerIconSet*, CXTPImageManagerIconSet*> CIconSetMap;

    CXTPImageManager();
    ~CXTPImageManager() override;

    BOOL SetIcon(const CXTPImageManagerIconHandle& hIcon, UINT nIDCommand, int nWidth = 0, int nHeight = 0,
                 int nKind = xtpImageNormal);
    BOOL SetIconsFromImageList(HIMAGELIST hImageList, const UINT* pCommands, int nCount, int nWidth = 0,
                               int nHeight = 0, int nKind = xtpImageNormal);
    // A bitmap resource: 32 bits per pixel are kept as alpha images, other depths masked.
    BOOL SetIconsFromBitmap(UINT nIDResourceBitmap, const UINT* pCommands, int nCount, int nWidth = 0, int nHeight = 0,
                            int nKind = xtpImageNormal);
    BOOL SetIconsFromBitmap(HBITMAP hBitmap, const UINT* pCommands, int nCount, int nWidth, int nHeight, int nKind,
                            BOOL bAlpha);
    // A toolbar resource (type 241, 16-bit layout: version, width, height, count, ids) and its bitmap.
    BOOL SetIconsFromToolBar(UINT nIDResourceToolBar, int nKind = xtpImageNormal);
    // An icon resource or an icon file at the width (its 32-bit image when it has one).
    BOOL SetIconFromResource(UINT nIDResourceIcon, UINT nIDCommand, int nWidth);
    BOOL SetIconFromIconFile(LPCWSTR lpszPath, UINT nIDCommand, int nWidth);
    UINT AddCustomIcon(const CXTPImageManagerIconHandle& hIcon);
    // Keeps new custom ids above one already in use (an image read back with its control).
    void RaiseCustomID(UINT nID);

    CXTPImageManagerIconSet* GetIconSet(UINT nCommand) const;
    CXTPImageManagerIcon* GetImage(UINT nCommand, int nWidth = 0) const;
    CIconSetMap* GetImages() { return &m_mapImages; }
    void RefreshAll();
    void RemoveAll();
    // Loading reads everything first and replaces the sets only when all of it was read; a failure raises the
    // archive's exception and leaves the manager as it was.
    void Serialize(CArchive& ar) override;

    // Puts the set block of the id on the clipboard, which the caller has opened and emptied.
    BOOL CopyImage(UINT nCommand);
    // Reads a set block of "Toolkit ToolBar Image" data into a new custom id; 0 when there is none or it is bad.
    UINT PasteImage(IDataObject* pDataObject);

    BOOL IsAlphaBlendAvailable() const { return m_pfnAlphaBlend != nullptr; }
    BOOL AlphaBlend(HDC hdcDest, int x, int y, int cx, int cy, HDC hdcSrc, int xSrc, int ySrc, int cxSrc,
                    int cySrc) const;
    static BOOL IsComCtl32Version6();

    // 32-bit DIB helpers.
    static HBITMAP LoadAlphaBitmapResource(UINT nIDResource);
    static HBITMAP LoadAlphaIconFile(LPCWSTR lpszPath, int nWidth);
    static BOOL IsAlphaBitmapFile(LPCWSTR lpszPath);
    static BOOL IsAlphaBitmapResource(UINT nIDResource);
    // The pixels of a bitmap as 32-bit values, top row first.
    static BOOL GetBitmapBits32(HBITMAP hBitmap, CSize& size, std::vector<DWORD>& pixels);
    // A top-down 32-bit DIB section of the pixels.
    static HBITMAP CreateBitmap32(const CSize& size, const DWORD* pPixels);
    static HBITMAP CopyAlphaBitmap(HBITMAP hBitmap);
    static HBITMAP PremultiplyAlpha(HBITMAP hBitmap);

    UINT m_nImageClipFormat;
    UINT m_nAlphaClipFormat;
    COLORREF m_clrMask;
    CIconSetMap m_mapImages;
    UINT m_nCustomID;
    HMODULE m_hMsImgDll;
    FARPROC m_pfnAlphaBlend;
    BOOL m_bDrawReverted;
};

// The toolkit-wide manager, built on first use.
CXTPImageManager* XTPImageManager();
