// One image held for drawing: a picture the platform's OLE picture loader read (the branding's logo and images),
// or a 16 by 16 icon from an ".ico" file (the site icons of channels).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "framework/core/AfxString.h"

class CPicture
{
public:
    CPicture() = default;
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;
    virtual ~CPicture();

    BOOL LoadFromFile(LPCWSTR path);
    BOOL LoadFromResource(UINT nResourceID, LPCWSTR resourceType);
    BOOL LoadFromBuffer(const BYTE* data, UINT nSize);
    // Draws into the rectangle, from the whole picture or from the source rectangle (HIMETRIC units).
    BOOL Render(HDC hDC, const RECT& rect, const RECT* pSourceRect = nullptr);
    // The picture's size in the device's pixels.
    BOOL UpdateSize(HDC hDC);
    void Clear();

    // How a failure is told to the user; tests put their own in place of the message box.
    using ErrorReporter = void (*)(LPCWSTR text, LPCWSTR caption);
    static ErrorReporter SetErrorReporter(ErrorReporter reporter);

    IPicture* m_pPicture = nullptr;
    LONG m_nHeight = 0;
    LONG m_nSize = 0;
    LONG m_nWidth = 0;
    HICON m_hIcon = nullptr;

private:
    void SizeFromPicture();
};
