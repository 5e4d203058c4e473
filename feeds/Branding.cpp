#include "feeds/Branding.h"

#include "feeds/EngineContext.h"
#include "feeds/XmlDom.h"

#include <cstdio>
#include <cwchar>

namespace {

// Deeper elements are not looked at: a hostile file must not exhaust the stack.
const int kMaxDepth = 256;

struct TextField
{
    LPCWSTR element;
    WCHAR* buffer;
    int room;
};

class BrandingReader
{
public:
    explicit BrandingReader(CReaderSettings& settings) : m_settings(settings) {}

    void Walk(IXMLDOMNode* node, int depth)
    {
        if (!node || depth > kMaxDepth)
            return;
        if (XmlDom::NodeType(node) == NODE_ELEMENT)
            Take(node, depth);
        long index = 0;
        for (XmlDom::NodePtr child = XmlDom::FirstChild(node); child;
             child = XmlDom::NextChild(node, child.Get(), index++))
            Walk(child.Get(), depth + 1);
    }

private:
    void Take(IXMLDOMNode* element, int depth)
    {
        const CString name = XmlDom::NodeName(element);
        CReaderSettings& s = m_settings;
        const TextField fields[] = {
            {L"caption", s.szCaption, _countof(s.szCaption)},
            {L"mainlink", s.szMainLink, _countof(s.szMainLink)},
            {L"website", s.szWebSite, _countof(s.szWebSite)},
            {L"email", s.szEmail, _countof(s.szEmail)},
            {L"useragent", s.szUserAgent, _countof(s.szUserAgent)},
            {L"brandname", s.szBrandName, _countof(s.szBrandName)},
            {L"helpurl", s.szHelpUrl, _countof(s.szHelpUrl)},
            {L"gettingstarted", s.szGettingStartedUrl, _countof(s.szGettingStartedUrl)},
            {L"browsefeeds", s.szBrowseFeedsUrl, _countof(s.szBrowseFeedsUrl)},
            {L"logo", s.szLogo, _countof(s.szLogo)},
            {L"homepage", s.szHomePage, _countof(s.szHomePage)},
            {L"bookmark_url", s.szBookmarkUrl, _countof(s.szBookmarkUrl)},
            {L"bookmark_title", s.szBookmarkTitle, _countof(s.szBookmarkTitle)},
        };
        for (const TextField& field : fields) {
            if (name != field.element)
                continue;
            const CString text = XmlDom::NodeText(element);
            // An empty home page keeps the blank page.
            if (field.buffer != s.szHomePage || !text.IsEmpty())
                lstrcpynW(field.buffer, text, field.room);
            return;
        }
        if (name == L"statsenabled")
            s.bStatsEnabled = _wtoi(XmlDom::NodeText(element));
        else if (name == L"usewebfeeds")
            s.bUseWebFeeds = _wtoi(XmlDom::NodeText(element));
        // The version is the root's; its digits are stored minor in the upper half, major in the lower.
        if (depth == 1) {
            XmlDom::ForEachAttribute(element, [&](const CString& attribute, const CString& value) {
                int major = 0, minor = 0;
                if (attribute == L"version" && swscanf(value, L"%d.%d", &major, &minor) >= 1)
                    s.dwBrandingVersion = (static_cast<DWORD>(minor) << 16) | (static_cast<DWORD>(major) & 0xFFFF);
            });
        }
    }

    CReaderSettings& m_settings;
};

} // namespace

BOOL LoadBranding(CReaderSettings& settings, LPCWSTR path)
{
    if (!path || ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    // Without a parser nothing was read: the caller must not take the file as accepted.
    XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
    if (!document || !XmlDom::LoadDocument(document.Get(), path))
        return FALSE;
    BrandingReader(settings).Walk(document.Get(), 0);
    if (!settings.szUserAgent[0])
        lstrcpynW(settings.szUserAgent, settings.szCaption, _countof(settings.szUserAgent));
    return TRUE;
}

BOOL LoadBranding(LPCWSTR path)
{
    CEngineContext& context = GetEngineContext();
    const CString file = path ? CString(path) : context.m_strDataFolder + L"\\settings.xml";
    return LoadBranding(context.m_settings, file);
}
