// The "Button Editor": a toolbar button's image as an enlarged pixel grid that the user paints with a few tools,
// shifts, clears, copies, pastes and imports, with up to 16 steps of undo. One colour, 0xFFFEFF, stands for a
// transparent pixel everywhere in the editor; 32-bit alpha images keep their alpha channel.
#pragma once

#include "framework/core/Geometry.h"
#include "framework/frame/ToolBar.h"
#include "framework/win/Controls.h"
#include "framework/win/Dialog.h"
#include "framework/win/ImageList.h"

#include <deque>
#include <memory>

class CXTPImageEditorDlg;
class CXTPImageManagerIconHandle;

#define XTP_IMAGEEDITOR_TRANSPARENT RGB(255, 254, 255)

// One state of the image: a top-down 32-bit DIB section and whether its alpha channel counts.
class CXTPImageEditorBitmap
{
public:
    CXTPImageEditorBitmap(HBITMAP hBitmap, BOOL bAlpha);
    ~CXTPImageEditorBitmap();
    CXTPImageEditorBitmap(const CXTPImageEditorBitmap&) = delete;
    CXTPImageEditorBitmap& operator=(const CXTPImageEditorBitmap&) = delete;

    // A new image of the size with every pixel transparent; null when it cannot be made.
    static CXTPImageEditorBitmap* CreateBlank(CSize size, BOOL bAlpha);
    CXTPImageEditorBitmap* Copy() const;

    HBITMAP GetBitmap() const { return m_hBitmap; }
    BOOL IsAlpha() const { return m_bAlpha; }
    CSize GetSize() const { return m_size; }
    // The pixels, 0xAARRGGBB, top row first. GDI drawing must be flushed before they are read.
    DWORD* GetBits() const { return m_pBits; }
    // The colour of a pixel (without alpha); transparent outside the image.
    COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF clr);

private:
    HBITMAP m_hBitmap;
    BOOL m_bAlpha;
    CSize m_size;
    DWORD* m_pBits;
};

// A colour cell: a click sends NM_CLICK with its id to the dialog.
class CXTPImageEditorPicker : public CStatic
{
    DECLARE_DYNAMIC(CXTPImageEditorPicker)

public:
    CXTPImageEditorPicker();

    COLORREF GetColor() const { return m_clr; }
    void SetColor(COLORREF clr);
    BOOL IsSelected() const { return m_bSelected; }
    void SetSelected(BOOL bSelected);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    DECLARE_MESSAGE_MAP()

    COLORREF m_clr;
    BOOL m_bSelected;
};

// The enlarged image the user paints on, with the undo and redo lists.
class CXTPImageEditorPicture : public CStatic
{
public:
    CXTPImageEditorPicture();
    ~CXTPImageEditorPicture() override;

    // After subclassing: the cell size follows from the window's size and the image's, and the window shrinks
    // to whole cells plus the frame.
    void Init(CXTPImageEditorDlg* pDlg, CSize szImage);
    CSize GetCellSize() const { return m_szCell; }
    CSize GetImageSize() const { return m_szImage; }
    // The image pixel under a client point.
    CPoint ClientToImage(CPoint point) const;

    // The current image (null when empty); SetImage takes it over without an undo step.
    CXTPImageEditorBitmap* GetImage() const { return m_pCurrentImage; }
    void SetImage(CXTPImageEditorBitmap* pImage);

    // A change: the current image is kept as the start image and a copy (or a blank) becomes current.
    void BeginChange();
    // Replaces the current image during a change.
    void ReplaceImage(CXTPImageEditorBitmap* pImage);
    // Ends a change: the start image becomes the last undo step (at most 16 are kept) and redo is forgotten.
    void Commit();
    void Undo();
    void Redo();
    int GetUndoCount() const { return static_cast<int>(m_undo.size()); }
    int GetRedoCount() const { return static_cast<int>(m_redo.size()); }
    // The image empty; committed.
    void Clear();
    // The image moved by one pixel; what leaves is lost and the free row or column is transparent; committed.
    void Shift(int dx, int dy);
    // A new image for a change whose pixels came from outside; committed.
    void CommitNewImage(CXTPImageEditorBitmap* pImage);

    // For an alpha image after an edit: changed pixels become opaque, transparent ones fully transparent.
    static void RestoreAlpha(const CXTPImageEditorBitmap* pBefore, CXTPImageEditorBitmap* pEdited);

protected:
    void Redraw();
    void DrawStep(CPoint point);
    void FloodFill(CXTPImageEditorBitmap* pImage, CPoint pt, COLORREF clr) const;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    DECLARE_MESSAGE_MAP()

    CSize m_szImage;
    CSize m_szCell;
    CXTPImageEditorDlg* m_pDlg;
    CDC m_dcMem;
    CXTPImageEditorBitmap* m_pStartImage;
    CXTPImageEditorBitmap* m_pCurrentImage;
    std::deque<CXTPImageEditorBitmap*> m_undo;
    std::deque<CXTPImageEditorBitmap*> m_redo;
    CPoint m_ptStart;
    BOOL m_bDrawing;
    COLORREF m_clrStroke;
    HCURSOR m_hCursorLine;
    HCURSOR m_hCursorFill;
    HCURSOR m_hCursorPencil;
    HCURSOR m_hCursorPickColor;
};

// The button image at its real size over the button face.
class CXTPImageEditorPreview : public CStatic
{
public:
    explicit CXTPImageEditorPreview(CXTPImageEditorDlg* pDlg) : m_pDlg(pDlg) {}

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    CXTPImageEditorDlg* m_pDlg;
};

class CXTPImageEditorDlg : public CDialog
{
public:
    enum Tool
    {
        toolPencil = 0,
        toolFill = 1,
        toolPickColor = 2,
        toolLine = 3,
        toolRectangle = 4,
        toolEllipse = 5
    };

    explicit CXTPImageEditorDlg(CWnd* pParentWnd = nullptr);
    ~CXTPImageEditorDlg() override;

    // The image to edit; its extent becomes the image size.
    void SetIcon(const CXTPImageManagerIconHandle& hIcon);
    // Only the size: the picture starts empty.
    void SetSize(int cx, int cy);
    // After OK: the edited image (an alpha bitmap or an icon), left empty for an empty picture.
    void GetIcon(CXTPImageManagerIconHandle* pIcon) const;

    BOOL OnInitDialog() override;

    int GetCurrentTool() const { return m_nCurrentTool; }
    COLORREF GetSelectedColor() const;
    CXTPImageEditorPicker* GetSelectedPicker() const { return m_pSelected; }
    CXTPImageEditorPicker& GetCustomPicker() { return m_wndPickerCustom; }
    CXTPImageEditorPicture& GetPicture() { return m_wndPicture; }
    CToolBar& GetToolsBar() { return m_wndToolbarTools; }
    CToolBar& GetMoveBar() { return m_wndToolbarMove; }
    CSize GetImageSize() const { return m_szPicture; }

    // Imports a picture file into the image; a file that cannot be read changes nothing and, with bReport,
    // says so in a message box.
    BOOL ImportFile(LPCTSTR lpszPath, BOOL bReport = TRUE);
    // The picker: the colour becomes the custom cell's and that cell is selected.
    void PickColor(COLORREF clr);
    // Called by the picture after each change.
    void OnPictureChanged();

    // ---- Commands, public for tests.
    afx_msg void OnTool(UINT nID);
    afx_msg void OnCopy();
    afx_msg void OnPaste();
    afx_msg void OnClear();
    afx_msg void OnUndo();
    afx_msg void OnRedo();
    afx_msg void OnImport();
    afx_msg void OnMove(UINT nID);

protected:
    void SelectPicker(CXTPImageEditorPicker* pPicker);
    CXTPImageEditorPicker* FindPicker(UINT nID);
    void PlaceBar(CToolBar& bar, UINT nPlaceholder);

    afx_msg void OnUpdateTool(CCmdUI* pCmdUI);
    afx_msg void OnUpdateUndo(CCmdUI* pCmdUI);
    afx_msg void OnUpdateRedo(CCmdUI* pCmdUI);
    afx_msg void OnPickerClick(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnCustomPickerClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CImageList m_ilTools;
    CToolBar m_wndToolbarTools;
    CToolBar m_wndToolbarMove;
    CXTPImageEditorPicker m_wndPickers[16];
    CXTPImageEditorPicker m_wndPickerCustom;
    CXTPImageEditorPicker m_wndPickerErase;
    CXTPImageEditorPicture m_wndPicture;
    CXTPImageEditorPreview m_wndPreview;
    CXTPImageEditorPicker* m_pSelected;
    int m_nCurrentTool;
    int m_nPreviousTool;
    CSize m_szPicture;
    // The image given before the window exists; the picture takes it over.
    CXTPImageEditorBitmap* m_pInitialImage;
    wchar_t m_szTip[81];
    char m_szTipA[81];
};
