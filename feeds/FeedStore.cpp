// Writers of the program's own feed files: the subscription lists (MainFeed.xml, CustomFeed.xml) and the channel
// cache files, all one dialect of RSS 2.0 built node by node through the DOM, with explicit indentation text.
#include "feeds/FeedStore.h"

#include "feeds/EngineContext.h"
#include "feeds/FeedChannel.h"
#include "feeds/FeedDates.h"
#include "feeds/XmlDom.h"
#include "framework/core/ComSupport.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <string>
#include <vector>

namespace {

FeedStoreErrorReporter g_reporter = nullptr;
// The declaration every file of ours opens with.
const wchar_t kDeclaration[] = L"version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"";
FeedStoreStepHook g_stepHook = nullptr;

void ShowErrorBox(LPCWSTR text, LPCWSTR caption)
{
    ::MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

void ReportComError(const _com_error& error)
{
    _bstr_t description = error.Description();
    const wchar_t* text = static_cast<const wchar_t*>(description);
    CString caption = FeedStoreErrorCaption(error.Error());
    (g_reporter ? g_reporter : ShowErrorBox)(text ? text : L"", caption);
}

HRESULT Step(LPCWSTR name)
{
    return g_stepHook ? g_stepHook(name) : S_OK;
}

// Texts handed to the DOM are allocated here; a failed allocation is raised as a COM error, which ends the
// whole writer.
void CheckAllocated(const void* allocated)
{
    if (!allocated)
        throw _com_error(E_OUTOFMEMORY);
}

CString Decimal(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}

CString Unsigned(int value)
{
    CString text;
    text.Format(L"%u", static_cast<unsigned>(value));
    return text;
}

LPCWSTR ListTypeText(int kind)
{
    switch (kind) {
    case FEED_KIND_ITEM:
        return L"element";
    case FEED_KIND_FEED:
        return L"External feed";
    case FEED_KIND_NOTICE:
        return L"Notice";
    case FEED_KIND_SEARCH_IN:
        return L"Search-in";
    case FEED_KIND_SEARCH_OUT:
        return L"Search-out";
    case FEED_KIND_IFRAME:
        return L"iframe";
    // Written so that the entry reads back as what it is, not as a news item that may be unsubscribed.
    case FEED_KIND_WEATHER:
        return L"weather";
    default:
        return L"";
    }
}

LPCWSTR ReadText(int state)
{
    if (state == FEED_STATE_READ)
        return L"true";
    return state == FEED_STATE_NEW ? L"new" : L"false";
}

// A character XML can carry, surrogate pairs aside.
bool IsXmlChar(wchar_t c)
{
    return c == L'\t' || c == L'\n' || c == L'\r' || (c >= 0x20 && c < 0xD800) || (c >= 0xE000 && c < 0xFFFE);
}

// The text without the characters that XML cannot carry (controls other than tab and line ends, U+FFFE,
// U+FFFF, halves of broken surrogate pairs). The serializer writes them as they are, and one of them makes
// the whole file unreadable, every other item and entry with it.
CString XmlSafeText(LPCWSTR text)
{
    CString safe;
    if (!text)
        return safe;
    const wchar_t* c = text;
    while (IsXmlChar(*c))
        ++c;
    safe.SetString(text, static_cast<int>(c - text));
    for (; *c; ++c) {
        if (*c >= 0xD800 && *c <= 0xDBFF && c[1] >= 0xDC00 && c[1] <= 0xDFFF) {
            safe += c[0];
            safe += c[1];
            ++c;
        } else if (IsXmlChar(*c)) {
            safe += *c;
        }
    }
    return safe;
}

// Node making on one document. Every method answers the first failure code of its steps.
class DomBuilder
{
public:
    explicit DomBuilder(IXMLDOMDocument* doc) : m_doc(doc) {}

    static HRESULT Append(IXMLDOMNode* parent, IXMLDOMNode* child)
    {
        XmlDom::NodePtr added;
        return parent->appendChild(child, added.Receive());
    }

    HRESULT Indent(IXMLDOMNode* parent, LPCWSTR text)
    {
        HRESULT hr = Step(L"#text");
        if (FAILED(hr))
            return hr;
        XmlDom::Bstr data(text);
        CheckAllocated(data.Get());
        XmlDom::Ptr<IXMLDOMText> node;
        hr = m_doc->createTextNode(data, node.Receive());
        if (FAILED(hr))
            return hr;
        return node ? Append(parent, node.Get()) : E_FAIL;
    }

    // An element holding the text (none when empty), not yet in the tree.
    HRESULT Create(LPCWSTR name, LPCWSTR text, XmlDom::ElementPtr& element)
    {
        HRESULT hr = Step(name);
        if (FAILED(hr))
            return hr;
        XmlDom::Bstr tag(name);
        CheckAllocated(tag.Get());
        hr = m_doc->createElement(tag, element.Receive());
        if (FAILED(hr))
            return hr;
        if (!element)
            return E_FAIL;
        if (text && *text) {
            XmlDom::Bstr value(XmlSafeText(text));
            CheckAllocated(value.Get());
            hr = element->put_text(value);
        }
        return hr;
    }

    HRESULT Element(IXMLDOMNode* parent, LPCWSTR name, LPCWSTR text)
    {
        XmlDom::ElementPtr element;
        HRESULT hr = Create(name, text, element);
        return FAILED(hr) ? hr : Append(parent, element.Get());
    }

    HRESULT Attribute(IXMLDOMElement* element, LPCWSTR name, LPCWSTR value)
    {
        CString step = CString(L"@") + name;
        HRESULT hr = Step(step);
        if (FAILED(hr))
            return hr;
        XmlDom::Bstr attributeName(name);
        CheckAllocated(attributeName.Get());
        XmlDom::Variant attributeValue(XmlSafeText(value));
        CheckAllocated(attributeValue.v.bstrVal);
        return element->setAttribute(attributeName, attributeValue.v);
    }

    // The declaration and <rss version="2.0"> holding "\n\t", the channel element and "\n".
    HRESULT Start(XmlDom::ElementPtr& channel)
    {
        HRESULT hr = Step(L"#pi");
        if (FAILED(hr))
            return hr;
        XmlDom::Bstr target(L"xml");
        XmlDom::Bstr data(kDeclaration);
        CheckAllocated(target.Get());
        CheckAllocated(data.Get());
        XmlDom::Ptr<IXMLDOMProcessingInstruction> declaration;
        hr = m_doc->createProcessingInstruction(target, data, declaration.Receive());
        if (FAILED(hr))
            return hr;
        if (!declaration)
            return E_FAIL;
        if (FAILED(hr = Append(m_doc, declaration.Get())))
            return hr;

        XmlDom::ElementPtr rss;
        if (FAILED(hr = Create(L"rss", nullptr, rss)))
            return hr;
        if (FAILED(hr = Step(L"@version")))
            return hr;
        XmlDom::Bstr versionName(L"version");
        CheckAllocated(versionName.Get());
        XmlDom::Ptr<IXMLDOMAttribute> version;
        if (FAILED(hr = m_doc->createAttribute(versionName, version.Receive())))
            return hr;
        if (!version)
            return E_FAIL;
        XmlDom::Variant versionValue(L"2.0");
        CheckAllocated(versionValue.v.bstrVal);
        if (FAILED(hr = version->put_value(versionValue.v)))
            return hr;
        XmlDom::Ptr<IXMLDOMAttribute> replaced;
        if (FAILED(hr = rss->setAttributeNode(version.Get(), replaced.Receive())))
            return hr;
        if (FAILED(hr = Append(m_doc, rss.Get())))
            return hr;

        if (FAILED(hr = Indent(rss.Get(), L"\n\t")))
            return hr;
        if (FAILED(hr = Create(L"channel", nullptr, channel)))
            return hr;
        if (FAILED(hr = Append(rss.Get(), channel.Get())))
            return hr;
        return Indent(rss.Get(), L"\n");
    }

    // Each item of the list as "\n\t\t" (or "\n\t" before the last) and its element, filled by write; then the
    // channel's closing "\n\t". A failure inside one item ends only that item.
    template <class WriteFn> HRESULT Items(IXMLDOMElement* channel, const CFeedItemList& items, WriteFn write)
    {
        HRESULT hr = S_OK;
        for (POSITION pos = items.GetHeadPosition(); pos;) {
            CFeedItem* item = items.GetNext(pos);
            if (FAILED(hr = Indent(channel, pos ? L"\n\t\t" : L"\n\t")))
                return hr;
            XmlDom::ElementPtr element;
            if (FAILED(hr = Create(L"item", nullptr, element)))
                return hr;
            write(element.Get(), item);
            if (FAILED(hr = Append(channel, element.Get())))
                return hr;
        }
        return Indent(channel, L"\n\t");
    }

private:
    IXMLDOMDocument* m_doc;
};

// The children of one "item", each after "\n\t\t\t", gathered in a fragment that joins the element at the end
// with the closing "\n\t\t". After a failed step the remaining children are skipped; those made stay.
class ItemChildren
{
public:
    explicit ItemChildren(IXMLDOMDocument* doc) : m_dom(doc)
    {
        m_hr = Step(L"#fragment");
        if (SUCCEEDED(m_hr))
            m_hr = doc->createDocumentFragment(m_fragment.Receive());
        if (SUCCEEDED(m_hr) && !m_fragment)
            m_hr = E_FAIL;
    }

    void Add(LPCWSTR name, const CString& value, bool when = true)
    {
        if (!when || FAILED(m_hr))
            return;
        m_hr = m_dom.Indent(m_fragment.Get(), L"\n\t\t\t");
        if (SUCCEEDED(m_hr))
            m_hr = m_dom.Element(m_fragment.Get(), name, value);
    }

    void AddText(LPCWSTR name, const CString& value) { Add(name, value, !value.IsEmpty()); }

    void AddEnclosure(const CFeedItem* item)
    {
        if (item->m_strEnclosureUrl.IsEmpty() || FAILED(m_hr))
            return;
        m_hr = m_dom.Indent(m_fragment.Get(), L"\n\t\t\t");
        XmlDom::ElementPtr enclosure;
        if (SUCCEEDED(m_hr))
            m_hr = m_dom.Create(L"enclosure", nullptr, enclosure);
        // The URL goes in as it is: the serializer escapes it, and escaping it here too would add one level
        // of escaping at every save.
        if (SUCCEEDED(m_hr))
            m_hr = m_dom.Attribute(enclosure.Get(), L"url", item->m_strEnclosureUrl);
        if (SUCCEEDED(m_hr) && !item->m_strEnclosureType.IsEmpty())
            m_hr = m_dom.Attribute(enclosure.Get(), L"type", item->m_strEnclosureType);
        if (SUCCEEDED(m_hr) && item->m_nEnclosureLength != 0)
            m_hr = m_dom.Attribute(enclosure.Get(), L"length", Unsigned(item->m_nEnclosureLength));
        // The downloaded file's path, so that a finished download is still found after a restart.
        if (SUCCEEDED(m_hr) && !item->m_strEnclosureFile.IsEmpty())
            m_hr = m_dom.Attribute(enclosure.Get(), L"local", item->m_strEnclosureFile);
        if (SUCCEEDED(m_hr))
            m_hr = m_dom.Attribute(enclosure.Get(), L"state", Unsigned(item->m_nEnclosureState));
        if (SUCCEEDED(m_hr))
            m_hr = DomBuilder::Append(m_fragment.Get(), enclosure.Get());
    }

    HRESULT Finish(IXMLDOMElement* element)
    {
        if (!m_fragment)
            return m_hr;
        HRESULT hr = m_hr;
        if (SUCCEEDED(hr))
            hr = m_dom.Indent(m_fragment.Get(), L"\n\t\t");
        HRESULT appended = DomBuilder::Append(element, m_fragment.Get());
        return FAILED(hr) ? hr : appended;
    }

private:
    DomBuilder m_dom;
    XmlDom::Ptr<IXMLDOMDocumentFragment> m_fragment;
    HRESULT m_hr;
};

// Appends text as UTF-8 with its line ends as line feeds: the text form ends lines with CR LF, and a carriage
// return inside a text is written as a reference, so every CR LF is a line end.
bool AppendUtf8(const wchar_t* text, size_t length, std::string& bytes)
{
    if (length == 0)
        return true;
    if (length > static_cast<size_t>(INT_MAX / 3))
        return false;
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    const size_t start = bytes.size();
    bytes.resize(start + static_cast<size_t>(size));
    if (::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &bytes[start], size, nullptr, nullptr) !=
        size)
        return false;
    size_t write = start;
    for (size_t read = start; read < bytes.size(); ++read) {
        if (bytes[read] != '\r' || read + 1 >= bytes.size() || bytes[read + 1] != '\n')
            bytes[write++] = bytes[read];
    }
    bytes.resize(write);
    return true;
}

void AppendAscii(const wchar_t* text, std::string& bytes)
{
    for (; *text; ++text)
        bytes += static_cast<char>(*text);
}

// A text or an attribute value as the library writes it.
void AppendEscaped(const CString& value, bool attribute, std::string& bytes)
{
    std::wstring escaped;
    for (const wchar_t* c = value.GetString(); *c; ++c) {
        switch (*c) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        case L'\r':
            escaped += L"&#13;";
            break;
        case L'"':
            escaped += attribute ? L"&quot;" : L"\"";
            break;
        case L'\n':
            escaped += attribute ? L"&#10;" : L"\n";
            break;
        case L'\t':
            escaped += attribute ? L"&#9;" : L"\t";
            break;
        default:
            escaped += *c;
        }
    }
    AppendUtf8(escaped.data(), escaped.size(), bytes);
}

// Whether a node holds an element, itself or in a fragment (this platform keeps a fragment appended to an
// element as a child of its own).
bool HoldsElements(IXMLDOMNode* node)
{
    long index = 0;
    for (XmlDom::NodePtr child = XmlDom::FirstChild(node); child;
         child = XmlDom::NextChild(node, child.Get(), index++)) {
        const DOMNodeType type = XmlDom::NodeType(child.Get());
        if (type == NODE_ELEMENT || (type == NODE_DOCUMENT_FRAGMENT && HoldsElements(child.Get())))
            return true;
    }
    return false;
}

bool AppendNode(IXMLDOMNode* node, std::string& bytes);

bool AppendChildren(IXMLDOMNode* node, std::string& bytes)
{
    long index = 0;
    for (XmlDom::NodePtr child = XmlDom::FirstChild(node); child; child = XmlDom::NextChild(node, child.Get(), index++))
        if (!AppendNode(child.Get(), bytes))
            return false;
    return true;
}

// Appends a node in the library's saved form. The library's text of a whole document grows its buffer a little at
// a time, which took half a minute for a 33 MB cache, and its text of an element that holds elements is laid out
// anew (indented), unlike its save: such elements (the document's, the channel, each item) and the texts between
// their children are written here, and each field is asked for its own, small text.
bool AppendNode(IXMLDOMNode* node, std::string& bytes)
{
    const DOMNodeType type = XmlDom::NodeType(node);
    if (type == NODE_TEXT) {
        AppendEscaped(XmlDom::NodeText(node), false, bytes);
        return true;
    }
    if (type == NODE_DOCUMENT_FRAGMENT)
        return AppendChildren(node, bytes);
    if (type != NODE_ELEMENT || !HoldsElements(node)) {
        XmlDom::Bstr xml;
        return SUCCEEDED(node->get_xml(xml.Receive())) && AppendUtf8(xml.Get(), xml.Length(), bytes);
    }
    const CString name = XmlDom::NodeName(node);
    bytes += '<';
    AppendUtf8(name.GetString(), static_cast<size_t>(name.GetLength()), bytes);
    XmlDom::ForEachAttribute(node, [&](const CString& attribute, const CString& value) {
        bytes += ' ';
        AppendUtf8(attribute.GetString(), static_cast<size_t>(attribute.GetLength()), bytes);
        bytes += "=\"";
        AppendEscaped(value, true, bytes);
        bytes += '"';
    });
    bytes += '>';
    if (!AppendChildren(node, bytes))
        return false;
    bytes += "</";
    AppendUtf8(name.GetString(), static_cast<size_t>(name.GetLength()), bytes);
    bytes += '>';
    return true;
}

// The document's text as UTF-8 in the library's saved form: the declaration and each top-level node on a line of
// their own.
bool DocumentBytes(IXMLDOMDocument* doc, std::string& bytes)
{
    bytes = "<?xml ";
    AppendAscii(kDeclaration, bytes);
    bytes += "?>\n";
    long index = 0;
    for (XmlDom::NodePtr child = XmlDom::FirstChild(doc); child; child = XmlDom::NextChild(doc, child.Get(), index++)) {
        if (XmlDom::NodeType(child.Get()) == NODE_PROCESSING_INSTRUCTION)
            continue; // the declaration, written above
        if (!AppendNode(child.Get(), bytes))
            return false;
        bytes += '\n';
    }
    return true;
}

// Saves the document through the one safe writer, where a full disk cannot cut it short behind a success. The text
// is made here: the library's own save of a document that declares UTF-8 keeps about 300 KB at each call on this
// platform, and its memory stream grows write by write, which made large caches take half a minute.
bool SaveDocument(IXMLDOMDocument* doc, const CString& path)
{
    if (FAILED(Step(L"#save")))
        return false;
    std::string bytes;
    return DocumentBytes(doc, bytes) && WriteFileSafely(path, bytes.data(), bytes.size());
}

XmlDom::DocumentPtr NewDocument()
{
    if (FAILED(Step(L"#document")))
        return XmlDom::DocumentPtr();
    return XmlDom::CreateDocument(true);
}

bool SaveList(CFeedChannel& list, const CString& path)
{
    try {
        XmlDom::DocumentPtr doc = NewDocument();
        if (!doc)
            return false;
        DomBuilder dom(doc.Get());
        XmlDom::ElementPtr channel;
        if (FAILED(dom.Start(channel)) || FAILED(dom.Indent(channel.Get(), L"\n\t\t")))
            return false;
        if (!list.m_info.m_strTitle.IsEmpty() &&
            (FAILED(dom.Element(channel.Get(), L"title", list.m_info.m_strTitle)) ||
             FAILED(dom.Indent(channel.Get(), L"\n\t\t"))))
            return false;
        HRESULT hr = dom.Items(channel.Get(), list.m_items, [&](IXMLDOMElement* element, CFeedItem* entry) {
            list.WriteSubscriptionItem(doc.Get(), element, entry);
        });
        return SUCCEEDED(hr) && SaveDocument(doc.Get(), path);
    } catch (const _com_error& error) {
        ReportComError(error);
        return false;
    }
}

bool FileExists(const CString& path)
{
    DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

CString EscapeXmlText(LPCWSTR text)
{
    CString escaped;
    if (!text)
        return escaped;
    // One pass gives what the replacements one after another give: no replacement text holds a character
    // that a later one replaces.
    for (; *text; ++text) {
        switch (*text) {
        case L'&':
            escaped += L"&amp;";
            break;
        case L'"':
            escaped += L"&quot;";
            break;
        case L'<':
            escaped += L"&lt;";
            break;
        case L'>':
            escaped += L"&gt;";
            break;
        case 0x00A9:
            escaped += L"&#169;";
            break;
        case 0x00AE:
            escaped += L"&#174;";
            break;
        case L'\'':
            escaped += L"&apos;";
            break;
        case 0x00BB:
            escaped += L"&#187;";
            break;
        case 0x00AB:
            escaped += L"&#171;";
            break;
        default:
            escaped += *text;
            break;
        }
    }
    return escaped;
}

FeedStoreErrorReporter SetFeedStoreErrorReporter(FeedStoreErrorReporter reporter)
{
    FeedStoreErrorReporter previous = g_reporter;
    g_reporter = reporter;
    return previous;
}

void SetFeedStoreStepHook(FeedStoreStepHook hook)
{
    g_stepHook = hook;
    // The disk writes of a save are the safe writer's.
    SetSafeWriteStepHook(hook);
}

CString FeedStoreErrorCaption(HRESULT hr)
{
    CString caption;
    const DWORD code = static_cast<DWORD>(hr);
    // Codes 0x80040201 to 0x8004FFFF carry the 16-bit code of a dispatch exception.
    if (code > 0x80040200 && code <= 0x8004FFFF) {
        caption.Format(L"IDispatch error #%d", static_cast<int>(code - 0x80040200));
        return caption;
    }
    LPWSTR message = nullptr;
    if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&message),
                         0, nullptr) &&
        message) {
        caption = message;
        caption.TrimRight();
    }
    if (message)
        ::LocalFree(message);
    if (caption.IsEmpty())
        caption.Format(L"Unknown error 0x%0lX", static_cast<unsigned long>(code));
    return caption;
}

BOOL CFeedChannel::SaveMainFeeds()
{
    const CString& folder = GetEngineContext().m_strDataFolder;
    if (folder.IsEmpty())
        return FALSE;
    const CString path = folder + L"\\MainFeed.xml";
    if (!SaveList(*this, path))
        return FALSE;
    // The list just written, whole, is the copy that start-up falls back on when the list is damaged later.
    CopyFileSafely(path, folder + L"\\MainFeed.bak");
    return TRUE;
}

BOOL CFeedChannel::SaveCustomFeeds()
{
    const CString& folder = GetEngineContext().m_strDataFolder;
    if (folder.IsEmpty())
        return FALSE;
    const CString path = folder + L"\\CustomFeed.xml";
    // The previous list stays behind as the copy that start-up falls back on; a failed copy does not stop
    // the save, and never leaves half a backup.
    if (FileExists(path))
        CopyFileSafely(path, folder + L"\\CustomFeed.bak");
    return SaveList(*this, path);
}

HRESULT CFeedChannel::WriteSubscriptionItem(IXMLDOMDocument* pDoc, IXMLDOMElement* pElement, CFeedItem* pEntry)
{
    if (!pDoc || !pElement || !pEntry)
        return E_POINTER;
    ItemChildren children(pDoc);
    children.AddText(L"title", pEntry->m_strTitle);
    children.AddText(L"link", pEntry->m_strLink);
    children.AddText(L"description", pEntry->m_strDescription);
    children.AddText(L"image", pEntry->m_strImage);
    children.AddText(L"type", ListTypeText(pEntry->m_nKind));
    children.AddText(L"category", pEntry->m_strCategory);
    children.Add(L"imageindex", Decimal(pEntry->m_nImageIndex), pEntry->m_nImageIndex >= 0);
    children.AddText(L"file", pEntry->m_strFile);
    children.Add(L"update", Decimal(pEntry->m_nUpdateInterval));
    children.Add(L"unsubscribe", pEntry->m_bMayUnsubscribe ? L"1" : L"0");
    children.AddText(L"accountname", pEntry->m_strAccountName);
    children.AddText(L"password", pEntry->m_strPassword);
    children.Add(L"httpauth", pEntry->m_bHttpAuth ? L"1" : L"0",
                 !pEntry->m_strAccountName.IsEmpty() || !pEntry->m_strPassword.IsEmpty());
    // The texts of special entries, which the list's reader takes back.
    children.AddText(L"input", pEntry->m_strInput);
    children.AddText(L"buttontext", pEntry->m_strButtonText);
    return children.Finish(pElement);
}

HRESULT CFeedChannel::WriteItem(IXMLDOMDocument* pDoc, IXMLDOMElement* pElement, CFeedItem* pItem)
{
    if (!pDoc || !pElement || !pItem)
        return E_POINTER;
    ItemChildren children(pDoc);
    children.AddText(L"title", pItem->m_strTitle);
    children.AddText(L"link", pItem->m_strLink);
    children.AddText(L"description", pItem->m_strDescription);
    children.AddText(L"image", pItem->m_strImage);
    children.AddText(L"pubDate", FormatHttpDate(pItem->m_dtDate));
    children.AddText(L"comments", pItem->m_strComments);
    children.AddText(L"bookmark", pItem->m_strBookmark);
    // A known item keeps its object through every refresh, so these would never come back once dropped.
    children.AddText(L"author", pItem->m_strAuthor);
    children.AddText(L"category", pItem->m_strCategory);
    children.AddText(L"subject", pItem->m_strSubject);
    children.AddEnclosure(pItem);
    children.Add(L"read", ReadText(pItem->m_nReadState));
    return children.Finish(pElement);
}

BOOL CFeedChannel::SaveCache(LPCWSTR path, BOOL bKeepNew)
{
    if (!path || !*path)
        return FALSE;
    // New items are made unread before they are written, and made new again when nothing was saved.
    CFeedItemList madeUnread;
    if (!bKeepNew) {
        for (POSITION pos = m_items.GetHeadPosition(); pos;) {
            CFeedItem* item = m_items.GetNext(pos);
            if (item->m_nReadState == FEED_STATE_NEW) {
                item->m_nReadState = FEED_STATE_UNREAD;
                madeUnread.AddTail(item);
            }
        }
    }

    bool saved = false;
    try {
        XmlDom::DocumentPtr doc = NewDocument();
        DomBuilder dom(doc.Get());
        XmlDom::ElementPtr channel;
        bool built = doc && SUCCEEDED(dom.Start(channel)) && SUCCEEDED(dom.Indent(channel.Get(), L"\n\t\t"));
        const struct
        {
            LPCWSTR name;
            CString value;
        } header[] = {
            {L"title", m_info.m_strTitle},         {L"description", m_info.m_strDescription},
            {L"copyright", m_info.m_strCopyright}, {L"link", m_info.m_strLink},
            {L"language", m_info.m_strLanguage},   {L"lastupdate", FormatHttpDate(m_dtLastUpdate)},
        };
        for (const auto& field : header) {
            if (built && !field.value.IsEmpty())
                built = SUCCEEDED(dom.Element(channel.Get(), field.name, field.value)) &&
                        SUCCEEDED(dom.Indent(channel.Get(), L"\n\t\t"));
        }
        if (built)
            built = SUCCEEDED(dom.Items(channel.Get(), m_items, [&](IXMLDOMElement* element, CFeedItem* item) {
                WriteItem(doc.Get(), element, item);
            }));
        saved = built && SaveDocument(doc.Get(), path);
    } catch (const _com_error& error) {
        ReportComError(error);
    }

    if (!saved) {
        for (POSITION pos = madeUnread.GetHeadPosition(); pos;)
            madeUnread.GetNext(pos)->m_nReadState = FEED_STATE_NEW;
    }
    return saved;
}

void CFeedChannel::SaveChildCaches()
{
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
        CFeedItem* entry = m_items.GetNext(pos);
        if (!entry->m_pChannel)
            continue;
        CString path = entry->GetCacheFileName();
        if (!path.IsEmpty())
            entry->m_pChannel->SaveCache(path, FALSE);
    }
}
