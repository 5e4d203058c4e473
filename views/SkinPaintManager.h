// The program's own look for the main window's command bars: bars in one of three colour schemes, the four
// top-level menus and four toolbar buttons drawn as images from "Skins\SkinOne\images" beside the program, and the
// caption with its two buttons of the skinned main window.
#pragma once

#include "framework/core/AfxString.h"
#include "toolkit/commandbars/XTPThemeDefault.h"
#include "views/SkinCaptionColors.h"

#include <array>
#include <memory>

// One image of the skin: a file decoded into a premultiplied 32-bit bitmap, drawn with its alpha.
class CSkinImage
{
public:
    CSkinImage() = default;
    ~CSkinImage();
    CSkinImage(const CSkinImage&) = delete;
    CSkinImage& operator=(const CSkinImage&) = delete;

    // False when the file is missing or is not an image the platform can decode.
    bool Load(const CString& path);
    CSize GetSize() const { return m_size; }
    // nOpacity below 255 fades the image (a disabled command's button).
    void Draw(HDC hDC, const CRect& rect, BYTE nOpacity = 255) const;

private:
    HBITMAP m_hBitmap = nullptr;
    CSize m_size;
};

class CSkinPaintManager : public CXTPThemeDefault, public CSkinCaptionColors
{
public:
    // Places in each image list.
    enum
    {
        kImageMenuFeeds = 0,
        kImageMenuHelp = 3,
        kImageSubscribe = 4,
        kImageRefresh = 7,
        kImageMinimize = 8,
        kImageClose = 9,
        kImageCount = 10
    };

    // nScheme 0, 1 or 2 (any other number takes 0); the images come from lpszImageFolder (with its trailing
    // backslash), by default the program's "Skins\SkinOne\images\".
    explicit CSkinPaintManager(int nScheme, LPCWSTR lpszImageFolder = nullptr);
    ~CSkinPaintManager() override;

    // The program's own images folder.
    static CString DefaultImageFolder();

    int GetScheme() const { return m_nScheme; }

    // The title (the window text) across the caption rectangle, with the minimise and close buttons; nHotButton
    // HTMINBUTTON or HTCLOSE draws that button hot.
    void DrawSkinCaption(CDC* pDC, CRect rcCaption, int nHotButton, const CString& strTitle);

    // The replaced drawing operations.
    CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    CSize DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    CSize DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
    CSize DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
    void AdjustControlRect(CXTPControl* pControl, CRect& rc) override;
    void DrawTextBox(CDC* pDC, CRect rc, UINT nFlags, LPCTSTR lpszText) override;
    void DrawResizeGripper(CDC* pDC, CRect rc) override;
    void FillDockBar(CDC* pDC, CWnd* pWnd) override;
    void FillHostWindow(CDC* pDC, CWnd* pWnd) override;
    void RefreshMetrics() override;

    // The navigation pane's captions.
    COLORREF GetSkinFace() const override { return m_clrFace; }
    COLORREF GetSkinCaptionFace() const override { return m_clrCaptionFace; }
    COLORREF GetSkinCaptionLightEnd() const override { return m_clrCaptionLightEnd; }
    COLORREF GetSkinCaptionText() const override { return m_clrCaptionText; }

    // The image at a place of the normal or selected list; null where its file could not be loaded.
    const CSkinImage* GetImage(int nPlace, bool bSelected) const;

    int m_nScheme;
    COLORREF m_clrFace;
    COLORREF m_clrCaptionFace;
    COLORREF m_clrCaptionLightEnd;
    COLORREF m_clrCaptionText;
    COLORREF m_clrWhite;
    COLORREF m_clrDarkShade;
    COLORREF m_clrLightShade;
    COLORREF m_clrTitleText;
    COLORREF m_clrFaceEnd;
    COLORREF m_clrMenuText;
    COLORREF m_clrSeparator;
    COLORREF m_clrSelectionFill;
    COLORREF m_clrSelectedText;
    CFont m_fontTitle;

private:
    using ImageList = std::array<std::unique_ptr<CSkinImage>, kImageCount>;
    void LoadImages(const CString& folder);
    // The image for a control: the selected list's while the control is enabled and selected (else the normal
    // list's), falling back to the other list's when that one is missing.
    const CSkinImage* ImageFor(int nPlace, bool bSelected) const;
    void ApplyHotColors();

    ImageList m_normalImages;
    ImageList m_selectedImages;
};
