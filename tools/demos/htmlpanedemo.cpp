// Shows a page in the HTML pane, for a screenshot (tools/screenshots/screenshot-htmlpane.sh): a built-in sample page,
// or a channel's cache file rendered through the news page style sheet as the program does.
// Usage: htmlpanedemo <marker> [<cache.rss> <feeds.xsl> <images folder>]. Writes the marker file once the window
// has painted, and closes when that file is deleted.
#include "feeds/XmlDom.h"
#include "framework/Afx.h"
#include "framework/html/HtmlPane.h"

#include <string>

namespace {

std::wstring g_markerPath;

// A 4x4 opaque red PNG, shown scaled.
const char kRedPng[] = "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x04\x00\x00\x00"
                       "\x04\x08\x06\x00\x00\x00\xa9\xf1\x9e\x7e\x00\x00\x00\x12\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf"
                       "\xc0\xf0\x1f\x19\x33\x90\x2e\x00\x00\x3c\x40\x1f\xe1\xe0\x81\x77\xb4\x00\x00\x00\x00\x49\x45"
                       "\x4e\x44\xae\x42\x60\x82";

const char kPage[] =
    "<html><head><meta charset=\"utf-8\"><title>Harbour News</title></head><body>"
    "<h1>Harbour News</h1><p><i>The town&rsquo;s paper, every morning &mdash; caf\xc3\xa9 edition</i></p><hr>"
    "<p>Tokyo edition: "
    "\xe6\x9d\xb1\xe4\xba\xac\xe3\x81\xae\xe6\xb8\xaf\xe3\x81\xa7\xe7\x81\xaf\xe7\xb1\xa0\xe7\xa5\xad\xe3\x82\x8a "
    "(a font that has them stands in for the page's)</p>"
    "<h3><img src=\"dot.png\" width=\"12\" height=\"12\"> <a href=\"http://example.com/lanterns\">Lanterns light "
    "the harbour festival</a></h3>"
    "<p>Thousands gathered along the quay as the <font color=\"#B05000\">paper lanterns</font> drifted out on the "
    "tide. <b>Bold</b>, <i>italic</i>, <u>underlined</u>, <s>struck</s>, H<sub>2</sub>O and x<sup>2</sup>.</p>"
    "<h3><a href=\"http://example.com/bridge\">Council approves the new footbridge</a></h3>"
    "<ul><li>Work starts in spring<ul><li>six months<li>two lanes</ul><li>Cost &pound;2.1m</ul>"
    "<table border=\"1\"><tr><td><b>Day</b><td><b>Tide</b><tr><td>Monday<td>06:12<tr><td>Tuesday<td>06:58</table>"
    "<blockquote>&ldquo;A bridge at last,&rdquo; said the mayor.</blockquote>"
    "<pre>  preformatted   text\n  keeps its   spaces</pre>"
    "<p style=\"background-color:#FFF4C0\">A note on a yellow background with a <a href=\"bookmark:3\">bookmark "
    "link</a> and a remote image: <img src=\"http://example.com/x.png\" alt=\"[remote photo]\" width=\"110\" "
    "height=\"18\"></p>"
    "<p align=\"center\"><small>Centred small print</small></p></body></html>";

void CALLBACK CheckMarker(HWND, UINT, UINT_PTR, DWORD)
{
    if (::GetFileAttributesW(g_markerPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        ::PostQuitMessage(0);
}

bool WriteBytes(const std::wstring& path, const char* data, size_t size)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr);
    ::CloseHandle(h);
    return ok && written == size;
}

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    ::CloseHandle(h);
    return bytes;
}

void ReplaceAll(std::string& text, const std::string& token, const std::string& value)
{
    for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
}

// A path as the text of an XML element, in UTF-8.
std::string XmlText(const std::wstring& text)
{
    std::string utf8(
        static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(utf8.empty() ? 0 : utf8.size() - 1);
    ReplaceAll(utf8, "&", "&amp;");
    ReplaceAll(utf8, "<", "&lt;");
    return utf8;
}

// The news page of a cache file: the template with its tokens filled in as the installer would, applied with
// MSXML into a memory stream. Empty on any failure.
std::string RenderNewsPage(const std::wstring& cachePath, const std::wstring& templatePath,
                           const std::wstring& imagesFolder, const std::wstring& scratchFolder)
{
    std::string sheet = ReadBytes(templatePath);
    ReplaceAll(sheet, "%IMAGEPATH%", XmlText(imagesFolder));
    ReplaceAll(sheet, "%BOOKMARK%", "http://bookmarks.example/add");
    const std::wstring sheetPath = scratchFolder + L"htmlpanedemo.xsl";
    if (sheet.empty() || !WriteBytes(sheetPath, sheet.data(), sheet.size()))
        return std::string();
    XmlDom::DocumentPtr document = XmlDom::CreateDocument();
    XmlDom::DocumentPtr styleSheet = XmlDom::CreateDocument();
    std::string bytes;
    IStream* stream = nullptr;
    if (document && styleSheet && XmlDom::LoadDocument(document.Get(), cachePath.c_str()) &&
        XmlDom::LoadDocument(styleSheet.Get(), sheetPath.c_str()) &&
        SUCCEEDED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        VARIANT output;
        ::VariantInit(&output);
        output.vt = VT_UNKNOWN;
        output.punkVal = stream;
        if (SUCCEEDED(document->transformNodeToObject(styleSheet.Get(), output))) {
            LARGE_INTEGER zero{};
            stream->Seek(zero, STREAM_SEEK_SET, nullptr);
            char buffer[4096];
            ULONG read = 0;
            while (SUCCEEDED(stream->Read(buffer, sizeof(buffer), &read)) && read > 0)
                bytes.append(buffer, read);
        }
        stream->Release();
    }
    ::DeleteFileW(sheetPath.c_str());
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1)
        g_markerPath = argv[1];
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp;
    const std::wstring page = folder + L"htmlpanedemo.tmp";
    WriteBytes(folder + L"dot.png", kRedPng, sizeof(kRedPng) - 1);
    if (argc > 4) {
        const bool com = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        const std::string news = RenderNewsPage(argv[2], argv[3], argv[4], folder);
        if (com)
            ::CoUninitialize();
        if (news.empty())
            return 2;
        WriteBytes(page, news.data(), news.size());
    } else {
        WriteBytes(page, kPage, sizeof(kPage) - 1);
    }

    CWnd frame;
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    if (!frame.CreateEx(0, cls, L"HTML pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 460, nullptr, nullptr))
        return 1;
    RECT rc;
    ::GetClientRect(frame.m_hWnd, &rc);
    CHtmlPane pane;
    pane.Create(WS_VISIBLE, rc, &frame, 1);
    // The news page's state images lie beside the template, as the view's lie in the data folder.
    if (argc > 4)
        pane.AllowImagesFrom(CString(argv[4]));
    pane.Navigate(CString(page.c_str()));
    ::UpdateWindow(frame.m_hWnd);
    ::UpdateWindow(pane.m_hWnd);

    if (!g_markerPath.empty()) {
        WriteBytes(g_markerPath, "", 0);
        ::SetTimer(nullptr, 0, 200, CheckMarker);
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (!::IsWindow(frame.m_hWnd))
            break;
    }
    if (::IsWindow(frame.m_hWnd))
        frame.DestroyWindow();
    ::DeleteFileW(page.c_str());
    return 0;
}
