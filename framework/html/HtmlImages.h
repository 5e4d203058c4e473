// Images of the HTML pane: local files decoded through the platform's imaging component into premultiplied
// 32-bit bitmaps, kept per page and drawn scaled with alpha.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class CHtmlImageCache
{
public:
    CHtmlImageCache() = default;
    ~CHtmlImageCache();
    CHtmlImageCache(const CHtmlImageCache&) = delete;
    CHtmlImageCache& operator=(const CHtmlImageCache&) = delete;

    // The page's images resolve against this address (a Windows path or a file: URL); remote pages have none.
    void SetBase(const std::wstring& pageAddress);
    // Another folder whose images every page may show besides those in its own folder (the host's pictures).
    void AllowFolder(const std::wstring& folder);
    // Frees every bitmap.
    void Clear();

    // The natural size of the image a src attribute names; false when it cannot be decoded or may not be read: only
    // files in the page's own folder and the allowed ones are, since a page never makes the pane reach the network
    // (a UNC path would connect to its host with the user's credentials) or read the disk elsewhere.
    bool GetSize(const std::wstring& source, SIZE& size);
    // Draws the image scaled to rect; false when there is nothing to draw (the caller shows the alt text).
    bool Draw(HDC hdc, const std::wstring& source, const RECT& rect);

    // Decodes a file into a top-down 32bppPBGRA DIB section; null when the file is not an image.
    static HBITMAP DecodeFile(const std::wstring& path, SIZE& size);

private:
    struct Entry
    {
        HBITMAP bitmap = nullptr;
        SIZE size{};
    };
    const Entry* Find(const std::wstring& source);
    bool IsReadable(const std::wstring& path) const;

    std::wstring m_base;
    std::vector<std::wstring> m_allowedFolders;
    std::map<std::wstring, Entry> m_entries;
};
