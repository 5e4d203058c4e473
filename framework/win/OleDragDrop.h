// OLE drag and drop and the clipboard: data offered by a source, read through a data object, taken by a target.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "framework/core/File.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/Wnd.h"

typedef DWORD DROPEFFECT;

// A data object handed over by a drag, the clipboard or a source of this process.
class COleDataObject
{
public:
    COleDataObject();
    ~COleDataObject();
    COleDataObject(const COleDataObject&) = delete;
    COleDataObject& operator=(const COleDataObject&) = delete;

    void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
    LPDATAOBJECT Detach();
    void Release();
    // The data now on the clipboard.
    BOOL AttachClipboard();

    BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
    // A copy of the data in global memory that the caller frees, or nullptr.
    HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);
    // The data as a memory file the caller deletes, or nullptr.
    CFile* GetFileData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = nullptr);

    // The picture offered as CF_BITMAP, or else as CF_DIB, as a new top-down 32-bit DIB section that the caller
    // deletes; nullptr when there is none or it cannot be read.
    HBITMAP GetBitmapCopy();
    // A top-down 32-bit copy of a bitmap, or nullptr.
    static HBITMAP PASCAL CopyBitmap32(HBITMAP hBitmap);
    // A top-down 32-bit DIB section of a packed DIB (header, colours, pixels) of nBytes, or nullptr when the
    // block is short, states impossible sizes or a kind that is not read (compressed pixels, sides over 4096).
    static HBITMAP PASCAL BitmapFromPackedDib(const void* pDib, SIZE_T nBytes);

    void BeginEnumFormats();
    BOOL GetNextFormat(LPFORMATETC lpFormatEtc);

    LPDATAOBJECT m_lpDataObject;
    BOOL m_bAutoRelease;

private:
    LPENUMFORMATETC m_lpEnumerator;
};

// Decides when a drag drops or ends; the default drops when the buttons are released and cancels on Escape.
class COleDropSource : public CCmdTarget
{
public:
    COleDropSource();
    ~COleDropSource() override;

    virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
    virtual SCODE GiveFeedback(DROPEFFECT dropEffect);
    // Waits until the mouse leaves m_rectStartDrag with a button held (TRUE) or the drag is given up (FALSE).
    virtual BOOL OnBeginDrag(CWnd* pWnd);

    IDropSource* GetInterface();

    CRect m_rectStartDrag;
    DWORD m_dwButtonDrop;
    DWORD m_dwButtonCancel;

private:
    class XDropSource;
    XDropSource* m_pXDropSource;
};

// Data offered to a drag or to the clipboard. The cached global data stays owned by the source (released with it);
// every reader gets a copy.
class COleDataSource : public CCmdTarget
{
public:
    COleDataSource();
    ~COleDataSource() override;

    void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = nullptr);
    void CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = nullptr);
    void Empty();
    // Runs the modal drag and answers the effect of the drop, DROPEFFECT_NONE when it was cancelled. With
    // lpRectStartDrag (screen coordinates) the drag only begins once the mouse leaves it.
    DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT lpRectStartDrag = nullptr, COleDropSource* pDropSource = nullptr);
    void SetClipboard();
    static void PASCAL FlushClipboard();

    // The data object interface (with a reference the caller releases).
    LPDATAOBJECT GetDataObject();

private:
    struct CacheEntry
    {
        FORMATETC formatEtc;
        STGMEDIUM stgMedium;
    };
    CacheEntry* Lookup(const FORMATETC* lpFormatEtc);

    CacheEntry* m_pCache;
    int m_nSize;
    int m_nMax;

    class XDataObject;
    XDataObject* m_pXDataObject;
    friend class XDataObject;
};

// A window's drop target. Register it on a window; the virtual handlers receive the drag in client coordinates.
class COleDropTarget : public CCmdTarget
{
public:
    COleDropTarget();
    ~COleDropTarget() override;

    BOOL Register(CWnd* pWnd);
    virtual void Revoke();

    virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
    virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
    // Answering (DROPEFFECT)-1 hands the drop to OnDrop.
    virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault, DROPEFFECT dropList,
                                CPoint point);
    virtual void OnDragLeave(CWnd* pWnd);
    virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

    IDropTarget* GetInterface();

    HWND m_hWnd;

private:
    class XDropTarget;
    void ReleaseDataObject();
    XDropTarget* m_pXDropTarget;
    LPDATAOBJECT m_lpDataObject;
    friend class XDropTarget;
};
