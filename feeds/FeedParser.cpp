// Reading XML files into channels: root detection, the channel walk, the item and entry vocabularies and the
// merge of a reload.
#include "feeds/FeedChannel.h"

#include "feeds/FeedDates.h"
#include "feeds/FeedItemIndex.h"
#include "feeds/FeedStore.h"
#include "feeds/FeedText.h"
#include "feeds/SharedStrings.h"
#include "feeds/StoredXml.h"
#include "feeds/XmlDom.h"
#include "feeds/XmlParseBudget.h"
#include "framework/core/FileReading.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

using XmlDom::NodePtr;

namespace {

// Deeper nesting than this is never a real feed; the walk recurses, so a hostile file must not take the stack.
const int kMaxWalkDepth = 256;

bool IsStopped(HANDLE hStopEvent)
{
    return hStopEvent && ::WaitForSingleObject(hStopEvent, 0) == WAIT_OBJECT_0;
}

bool FileExists(LPCWSTR path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(find);
    return true;
}

COleDateTime CurrentUtcTime()
{
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    return COleDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

bool Is(BSTR name, LPCWSTR expected)
{
    return name && wcscmp(name, expected) == 0;
}

int KindFromType(const CString& type, int current)
{
    static const struct
    {
        LPCWSTR text;
        int kind;
    } kinds[] = {
        {L"External feed", FEED_KIND_FEED},  {L"category", FEED_KIND_FEED},         {L"Notice", FEED_KIND_NOTICE},
        {L"Search-in", FEED_KIND_SEARCH_IN}, {L"Search-out", FEED_KIND_SEARCH_OUT}, {L"iframe", FEED_KIND_IFRAME},
        {L"weather", FEED_KIND_WEATHER},
    };
    for (const auto& entry : kinds) {
        if (type == entry.text)
            return entry.kind;
    }
    return current;
}

// Atom links: only the page of the feed or entry itself; "self", "edit", "replies", "enclosure" and the like
// name other things and must not replace it.
bool IsAlternateLink(const CString& rel)
{
    return rel.IsEmpty() || rel == L"alternate";
}

// The element whose children are the channel's own fields: RSS and RDF "channel", RSS 1.1 "Channel", Atom "feed".
bool IsChannelElement(const CString& name)
{
    return name == L"channel" || name == L"Channel" || name == L"feed";
}

// The seconds of a "dc:date" are not kept: its items are dated to the minute.
COleDateTime ToTheMinute(const COleDateTime& date)
{
    if (date.GetStatus() != COleDateTime::valid)
        return date;
    return COleDateTime(date.GetYear(), date.GetMonth(), date.GetDay(), date.GetHour(), date.GetMinute(), 0);
}

// How an Atom text construct carries its text, by its "type" ("text", "html", "xhtml", or Atom 0.3's media types);
// text when there is none.
enum class TextForm
{
    Text,
    Html,
    Xhtml,
};

TextForm FormOf(IXMLDOMNode* pNode)
{
    CString type;
    XmlDom::ForEachAttribute(pNode, [&](const CString& name, const CString& value) {
        if (name == L"type")
            type = value;
    });
    type.Trim();
    type.MakeLower();
    if (type == L"html" || type == L"text/html")
        return TextForm::Html;
    if (type == L"xhtml" || type == L"application/xhtml+xml")
        return TextForm::Xhtml;
    return TextForm::Text;
}

// The markup inside an element, as written.
CString InnerXml(IXMLDOMNode* pNode)
{
    CString xml;
    long index = 0;
    for (NodePtr child = XmlDom::FirstChild(pNode); child; child = XmlDom::NextChild(pNode, child.Get(), index++)) {
        XmlDom::Bstr part;
        if (SUCCEEDED(child->get_xml(part.Receive())))
            xml += part.ToString();
    }
    return xml;
}

// An Atom text construct as markup, before cleaning: text is escaped so that it shows as written ("the <blink>
// tag" keeps its words), HTML is taken as it is, XHTML as the markup inside the element.
CString AtomMarkup(IXMLDOMNode* pNode)
{
    switch (FormOf(pNode)) {
    case TextForm::Html:
        return XmlDom::NodeText(pNode);
    case TextForm::Xhtml:
        return InnerXml(pNode);
    default:
        return EscapeXmlText(XmlDom::NodeText(pNode));
    }
}

// Links become addresses in the news page and are handed to the browser: a script or data address never gets
// that far. An item's image is fetched as the entry's icon, so it is checked as a link too.
void DropUnsafeLinks(CFeedItem& item)
{
    if (!IsSafeLink(item.m_strLink) || !IsSafeLink(item.m_strLinkText)) {
        item.m_strLink.Empty();
        item.m_strLinkText.Empty();
    }
    if (!IsSafeLink(item.m_strEnclosureUrl))
        item.m_strEnclosureUrl.Empty();
    if (!IsSafeLink(item.m_strComments))
        item.m_strComments.Empty();
    if (!IsSafeLink(item.m_strImage) || !IsSafeLink(item.m_strImageText)) {
        item.m_strImage.Empty();
        item.m_strImageText.Empty();
    }
}

// What the item and channel readers ask of an element: its name, its text and its attributes, over a DOM node...
class DomField
{
public:
    static constexpr bool kMarkup = true;

    explicit DomField(IXMLDOMNode* node) : m_node(node), m_named(node->get_nodeName(m_name.Receive()) == S_OK) {}

    bool Valid() const { return m_named && m_name && m_name[0] != L'#'; }
    bool Named(LPCWSTR name) const { return Is(m_name, name); }
    CString Text() const { return XmlDom::NodeText(m_node); }
    template <class Fn> void ForEachAttribute(Fn fn) const { XmlDom::ForEachAttribute(m_node, fn); }
    CString Markup() const { return AtomMarkup(m_node); }

private:
    IXMLDOMNode* m_node;
    XmlDom::Bstr m_name;
    bool m_named;
};

// ... and over an element of one of our own files read in one pass. Those hold no Atom, so no markup is asked of it.
class StoredField
{
public:
    static constexpr bool kMarkup = false;

    explicit StoredField(const StoredElement& element) : m_element(element) {}

    bool Valid() const { return true; }
    bool Named(LPCWSTR name) const
    {
        const std::string& own = m_element.name;
        size_t i = 0;
        for (; i < own.size() && name[i]; ++i)
            if (static_cast<wchar_t>(own[i]) != name[i])
                return false;
        return i == own.size() && !name[i];
    }
    const CString& Text() const { return m_element.text; }
    template <class Fn> void ForEachAttribute(Fn fn) const
    {
        for (const auto& attribute : m_element.attributes)
            fn(CString(attribute.first.c_str()), attribute.second);
    }

private:
    const StoredElement& m_element;
};

// RSS carries the channel link as text; Atom as the "href" of a link whose "rel" is "alternate" or absent. An
// Atom link to anything else ("self", "hub") leaves the channel link alone rather than wiping it: then false.
template <class Field> bool ChannelLinkOf(const Field& field, CString& link)
{
    bool hasHref = false;
    CString href;
    CString rel;
    field.ForEachAttribute([&](const CString& name, const CString& text) {
        if (name == L"href") {
            hasHref = true;
            href = text;
        } else if (name == L"rel") {
            rel = text;
        }
    });
    // The address as written, trimmed: a link on a line of its own is still the link.
    if (!hasHref)
        link = field.Text();
    else if (IsAlternateLink(rel))
        link = href;
    else
        return false;
    link.Trim();
    if (!IsSafeLink(link))
        link.Empty();
    return true;
}

// One item or entry read from its child elements; own: one of our own files, which may set our own fields.
template <class Field, class Children> CFeedItem* ReadItemFields(Children forEachChild, bool bEntry, bool own)
{
    CFeedItem* item = new CFeedItem;
    bool haveSummary = false;
    bool haveContent = false;
    CString content;
    bool haveFile = false;
    // Atom: "modified" (0.3) and "updated" (1.0) are the entry's date; "published" only stands in for them.
    bool haveUpdated = false;

    forEachChild([&](const Field& field) {
        if (!field.Valid())
            return;
        auto text = [&field]() { return CString(field.Text()); };
        auto named = [&field](LPCWSTR name) { return field.Named(name); };

        if (named(L"title")) {
            if constexpr (Field::kMarkup)
                item->m_strTitle = CleanedCopy(bEntry ? field.Markup() : text());
            else
                item->m_strTitle = CleanedCopy(text());
            item->m_strTitleText = DisplayCopy(item->m_strTitle);
        } else if (named(L"image")) {
            item->m_strImage = text();
            item->m_strImageText = bEntry ? DisplayCopy(item->m_strImage) : TrimmedDisplayCopy(item->m_strImage);
        } else if (named(L"author")) {
            item->m_strAuthor = text();
        } else if (named(L"category")) {
            item->m_strCategory = text();
        } else if (named(L"subject")) {
            item->m_strSubject = text();
        } else if (named(L"read")) {
            if (own)
                item->m_nReadState = text() == L"true" ? FEED_STATE_READ : FEED_STATE_UNREAD;
        } else if (named(L"imageindex")) {
            if (own)
                item->m_nImageIndex = _wtoi(text());
        } else if (named(L"enclosure")) {
            field.ForEachAttribute([&](const CString& attribute, const CString& value) {
                if (attribute == L"url")
                    item->m_strEnclosureUrl = value;
                else if (attribute == L"type")
                    item->m_strEnclosureType = value;
                else if (attribute == L"length")
                    item->m_nEnclosureLength = _wtoi(value);
                else if (!bEntry && own && attribute == L"local")
                    item->m_strEnclosureFile = value;
                else if (!bEntry && own && attribute == L"state")
                    item->m_nEnclosureState = _wtoi(value);
            });
        } else if (bEntry) {
            if constexpr (Field::kMarkup) {
                if (named(L"summary")) {
                    item->m_strDescription = CleanedCopy(field.Markup());
                    item->m_strDescriptionText = DisplayCopy(item->m_strDescription);
                    haveSummary = true;
                } else if (named(L"content")) {
                    if (!haveContent)
                        content = field.Markup();
                    haveContent = true;
                } else if (named(L"link")) {
                    CString type;
                    CString href;
                    CString rel;
                    bool hasType = false;
                    field.ForEachAttribute([&](const CString& attribute, const CString& value) {
                        if (attribute == L"type") {
                            type = value;
                            hasType = true;
                        } else if (attribute == L"href") {
                            href = value;
                        } else if (attribute == L"rel") {
                            rel = value;
                        }
                    });
                    if ((!hasType || type == L"text/html") && IsAlternateLink(rel)) {
                        item->m_strLink = href;
                        item->m_strLinkText = DisplayCopy(href);
                    }
                } else if (named(L"modified") || named(L"updated") || (named(L"published") && !haveUpdated)) {
                    item->m_strDate = text();
                    item->m_dtDate = ParseIsoDate(item->m_strDate);
                    haveUpdated = haveUpdated || !named(L"published");
                }
            }
        } else if (named(L"desc") || named(L"description")) {
            item->m_strDescription = CleanedCopy(text());
            item->m_strDescriptionText = DisplayCopy(item->m_strDescription);
        } else if (named(L"link")) {
            item->m_strLink = text();
            item->m_strLinkText = TrimmedDisplayCopy(item->m_strLink);
        } else if (named(L"comments")) {
            item->m_strComments = text();
        } else if (named(L"pubDate")) {
            item->m_strDate = text();
            item->m_dtDate = ParseRfc822Date(item->m_strDate);
        } else if (named(L"dc:date")) {
            item->m_strDate = text();
            item->m_dtDate = ToTheMinute(ParseIsoDate(item->m_strDate));
        } else if (named(L"input")) {
            item->m_strInput = text();
        } else if (named(L"buttontext")) {
            item->m_strButtonText = text();
        } else if (!own) {
            // The rest of the vocabulary is ours alone: a downloaded feed does not get to set it.
        } else if (named(L"type")) {
            item->m_nKind = KindFromType(text(), item->m_nKind);
            if (item->m_nKind != FEED_KIND_FEED)
                item->m_bMayUnsubscribe = false;
        } else if (named(L"update")) {
            item->m_nUpdateInterval = _wtoi(text());
        } else if (named(L"accountname")) {
            item->m_strAccountName = text();
        } else if (named(L"password")) {
            item->m_strPassword = text();
        } else if (named(L"httpauth")) {
            item->m_bHttpAuth = _wtoi(text()) != 0;
        } else if (named(L"unsubscribe")) {
            item->m_bMayUnsubscribe = _wtoi(text()) != 0;
        } else if (named(L"bookmark")) {
            // Our cache writer keeps it; without reading it back it would be lost at the next start.
            item->m_strBookmark = text();
        } else if (named(L"file")) {
            item->m_strFile = text();
            haveFile = true;
        }
    });

    if (bEntry && !haveSummary && haveContent) {
        item->m_strDescription = CleanedCopy(content);
        item->m_strDescriptionText = DisplayCopy(item->m_strDescription);
    }
    // The file name becomes paths in the data folder that are written and deleted: a name that could lead
    // anywhere else is dropped (a Notice's page may be a full path, but only inside the data folder).
    if (haveFile && !IsSafeFeedFileName(item->m_strFile) &&
        !(item->m_nKind == FEED_KIND_NOTICE && !item->GetIconFileName().IsEmpty()))
        item->m_strFile.Empty();
    DropUnsafeLinks(*item);
    if (item->m_dtDate.GetStatus() != COleDateTime::valid)
        item->m_dtDate = CurrentUtcTime();
    return item;
}

// Whether an element of one of our own files read in one pass is one the channel walk reads exactly as the DOM
// walk does: the rss root holding only channels, each holding items and header fields without children, each item
// holding fields without children. Anything else is left to the DOM walk.
bool IsPlainStoredFeed(const StoredElement& root)
{
    if (root.name != "rss")
        return false;
    for (const StoredElement& channel : root.children) {
        if (channel.name != "channel")
            return false;
        for (const StoredElement& child : channel.children) {
            const bool item = child.name == "item";
            if (!item && (!child.children.empty() || child.name == "entry" || child.name == "tagline"))
                return false;
            if (item)
                for (const StoredElement& field : child.children)
                    if (!field.children.empty())
                        return false;
        }
    }
    return true;
}

// The largest file read at all, as the DOM load has it.
const ULONGLONG kMaxStoredBytes = 64u * 1024u * 1024u;

// The channel walk of the DOM over a plain file of our own (see IsPlainStoredFeed), header fields and items in
// document order.
void ReadStoredChannel(CFeedChannel& channel, const StoredElement& root, CSharedStrings* pShared)
{
    channel.m_info.m_strType = L"rss";
    if (const CString* version = root.Attribute("version"))
        channel.m_info.m_strVersion = *version;
    for (const StoredElement& element : root.children) {
        for (const StoredElement& child : element.children) {
            const StoredField field(child);
            const CString& text = child.text;
            if (field.Named(L"item")) {
                auto forEachChild = [&child](auto visit) {
                    for (const StoredElement& itemField : child.children)
                        visit(StoredField(itemField));
                };
                CFeedItem* item = ReadItemFields<StoredField>(forEachChild, false, true);
                if (pShared != nullptr)
                    for (CString* text : {&item->m_strDate, &item->m_strAuthor, &item->m_strCategory,
                                          &item->m_strSubject, &item->m_strEnclosureType})
                        pShared->Share(*text);
                channel.m_items.AddTail(item);
            } else if (field.Named(L"title")) {
                if (channel.m_info.m_strTitle.IsEmpty())
                    channel.m_info.m_strTitle = text;
            } else if (field.Named(L"copyright")) {
                channel.m_info.m_strCopyright = text;
            } else if (field.Named(L"lastupdate")) {
                const COleDateTime date = ParseHttpDate(text);
                if (date.GetStatus() == COleDateTime::valid)
                    channel.m_dtLastUpdate = date;
            } else if (field.Named(L"link")) {
                CString link;
                if (ChannelLinkOf(field, link))
                    channel.m_info.m_strLink = link;
            } else if (field.Named(L"desc") || field.Named(L"description")) {
                channel.m_info.m_strDescription = CleanedCopy(text);
            } else if (field.Named(L"language")) {
                channel.m_info.m_strLanguage = text;
            } else if (field.Named(L"webMaster")) {
                channel.m_info.m_strWebMaster = text;
            } else if (field.Named(L"lastBuildDate")) {
                channel.m_info.m_strLastBuildDate = text;
            } else if (field.Named(L"ttl")) {
                channel.m_info.m_strTtl = text;
            } else if (field.Named(L"generator")) {
                channel.m_info.m_strGenerator = text;
            }
        }
    }
}

enum class StoredLoad
{
    Loaded,
    Refused,  // what the DOM load refuses too
    NotPlain, // for the DOM load to decide
};

// One of our own files read in one pass, when it is a plain one.
StoredLoad LoadStoredFile(CFeedChannel& channel, const CString& path, CSharedStrings* pShared)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes, kMaxStoredBytes, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return StoredLoad::Refused;
    StoredElement root;
    if (!ReadStoredXml(bytes.data(), bytes.size(), root) || !IsPlainStoredFeed(root))
        return StoredLoad::NotPlain;
    const size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (!XmlParseBudget::Allows(bytes.data() + skip, bytes.size() - skip))
        return StoredLoad::Refused;
    std::string().swap(bytes); // the file's bytes go before the items are made
    ReadStoredChannel(channel, root, pShared);
    return StoredLoad::Loaded;
}

// The first pass over one of our own files: what ReadStoredChannel would make of it, counted without making a record.
// It refuses what IsPlainStoredFeed refuses, so a file it counts is one the one-pass reader loads.
class StoredCounter : public StoredXmlVisitor
{
public:
    explicit StoredCounter(CFeedChannel::OwnFileCounts& counts) : m_counts(counts) {}

    bool Open(const char* name, size_t length, int depth) override
    {
        const std::string_view element(name, length);
        switch (depth) {
        case 1:
            return element == "rss";
        case 2:
            return element == "channel";
        case 3:
            m_inItem = element == "item";
            m_lastUpdate = element == "lastupdate";
            m_state = FEED_STATE_NEW;
            return m_inItem || (element != "entry" && element != "tagline");
        case 4:
            // Only an item's fields; a header field has no children.
            m_readField = element == "read";
            return m_inItem;
        default:
            return false; // an item's field with children
        }
    }

    bool Close(const wchar_t* text, int, int depth) override
    {
        if (depth == 4 && m_readField) {
            m_state = text && wcscmp(text, L"true") == 0 ? FEED_STATE_READ : FEED_STATE_UNREAD;
            m_readField = false;
        } else if (depth == 3 && m_inItem) {
            int& count = m_state == FEED_STATE_READ     ? m_counts.read
                         : m_state == FEED_STATE_UNREAD ? m_counts.unread
                                                        : m_counts.fresh;
            ++count;
            m_inItem = false;
        } else if (depth == 3 && m_lastUpdate && text) {
            const COleDateTime date = ParseHttpDate(CString(text));
            if (date.GetStatus() == COleDateTime::valid)
                m_counts.lastUpdate = date;
        }
        return true;
    }

private:
    CFeedChannel::OwnFileCounts& m_counts;
    bool m_inItem = false;
    bool m_lastUpdate = false;
    bool m_readField = false;
    int m_state = FEED_STATE_NEW;
};

} // namespace

// The reload's look-up (feeds/FeedItemIndex.h).
struct CFeedChannel::ReloadIndex : FeedItemIndex
{
    using FeedItemIndex::FeedItemIndex;
};

BOOL CFeedChannel::LoadFile(LPCWSTR path, HANDLE hStopEvent, int nLoad)
{
    if (!nLoad || !path || !*path || !FileExists(path) || IsStopped(hStopEvent))
        return FALSE;

    // The path may be m_strPath's own text, which the assignment could move.
    const CString file(path);
    m_strPath = file;
    if (m_pDocument) {
        m_pDocument->Release();
        m_pDocument = nullptr;
    }
    if (nLoad == LOAD_OWN_FILE) {
        const OwnFileRead read = ReadOwnFile(file);
        if (read == OWN_FILE_REFUSED)
            return FALSE;
        if (read == OWN_FILE_LOADED)
            return IsStopped(hStopEvent) ? FALSE : TRUE;
    }
    XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
    if (!document || !XmlDom::LoadDocument(document.Get(), file))
        return FALSE;
    m_pDocument = document.Detach();
    if (IsStopped(hStopEvent))
        return FALSE;

    m_dwLoadTick = ::GetTickCount();
    static const struct
    {
        LPCWSTR name;
        LPCWSTR type;
        bool version;
    } roots[] = {
        {L"rss", L"rss", true},      {L"feed", L"atom", true},    {L"Channel", L"rss11", false},
        {L"rdf:RDF", L"rss", false}, {L"channel", L"rss", false},
    };
    NodePtr root;
    for (const auto& candidate : roots) {
        root = XmlDom::SelectSingleNode(m_pDocument, candidate.name);
        if (root) {
            m_info.m_strType = candidate.type;
            if (candidate.version)
                ReadVersion(root.Get());
            break;
        }
    }
    if (!root) {
        m_pDocument->Release();
        m_pDocument = nullptr;
        return FALSE;
    }
    root.Release();

    m_bOwnFile = nLoad == LOAD_OWN_FILE;
    ParseChannel(m_pDocument);
    m_bOwnFile = false;
    if (IsStopped(hStopEvent))
        return FALSE;
    m_pDocument->Release();
    m_pDocument = nullptr;
    return TRUE;
}

CFeedChannel::OwnFileRead CFeedChannel::ReadOwnFile(LPCWSTR path, CSharedStrings* pShared)
{
    if (!path || !*path)
        return OWN_FILE_REFUSED;
    const CString file(path);
    switch (LoadStoredFile(*this, file, pShared)) {
    case StoredLoad::Loaded:
        m_strPath = file;
        m_dwLoadTick = ::GetTickCount();
        return OWN_FILE_LOADED;
    case StoredLoad::Refused:
        return OWN_FILE_REFUSED;
    default:
        return OWN_FILE_LEFT;
    }
}

CFeedChannel::OwnFileRead CFeedChannel::CountOwnFile(LPCWSTR path, OwnFileCounts& counts)
{
    counts = OwnFileCounts();
    if (!path || !*path)
        return OWN_FILE_REFUSED;
    std::string bytes;
    if (!ReadWholeFile(CString(path), bytes, kMaxStoredBytes, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return OWN_FILE_REFUSED;
    StoredCounter counter(counts);
    if (!WalkStoredXml(bytes.data(), bytes.size(), counter)) {
        counts = OwnFileCounts();
        return OWN_FILE_LEFT;
    }
    const size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (!XmlParseBudget::Allows(bytes.data() + skip, bytes.size() - skip)) {
        counts = OwnFileCounts();
        return OWN_FILE_REFUSED;
    }
    return OWN_FILE_LOADED;
}

BOOL CFeedChannel::Reload(BOOL bOwnFile)
{
    if (m_strPath.IsEmpty() || !FileExists(m_strPath))
        return FALSE;
    XmlDom::DocumentPtr document = XmlDom::CreateDocument(true);
    if (!document || !XmlDom::LoadDocument(document.Get(), m_strPath))
        return FALSE;

    m_dwLoadTick = ::GetTickCount();
    ReloadIndex index(m_items);
    m_pReloadIndex = &index;
    m_bOwnFile = bOwnFile != FALSE;
    ParseStoredChannel(document.Get());
    m_bOwnFile = false;
    m_pReloadIndex = nullptr;
    return TRUE;
}

void CFeedChannel::ReadVersion(IXMLDOMNode* pRoot)
{
    bool found = false;
    XmlDom::ForEachAttribute(pRoot, [&](const CString& name, const CString& text) {
        if (!found && name == L"version") {
            m_info.m_strVersion = text;
            found = true;
        }
    });
}

void CFeedChannel::ParseChannel(IXMLDOMNode* pNode)
{
    WalkChannel(pNode, false, false);
}

void CFeedChannel::ParseStoredChannel(IXMLDOMNode* pNode)
{
    WalkChannel(pNode, true, false);
}

void CFeedChannel::WalkChannel(IXMLDOMNode* pNode, bool bStored, bool bChannelChild)
{
    ++m_nDepth;
    DOMNodeType type = XmlDom::NodeType(pNode);
    bool walkChildren = m_nDepth < kMaxWalkDepth;
    if (type == NODE_ELEMENT) {
        XmlDom::Bstr name;
        pNode->get_nodeName(name.Receive());
        auto text = [pNode]() { return XmlDom::NodeText(pNode); };
        if (Is(name, L"item")) {
            if (bStored)
                ParseStoredItem(pNode);
            else
                ParseItem(pNode);
            walkChildren = false;
        } else if (Is(name, L"entry")) {
            if (bStored)
                ParseStoredEntry(pNode);
            else
                ParseEntry(pNode);
            walkChildren = false;
        } else if (Is(name, L"title")) {
            // Only the channel's own title: in RDF an "image" or "textinput" beside the channel has one too.
            // The title and copyright are plain text, shown as written.
            if (!bStored && bChannelChild && m_info.m_strTitle.IsEmpty() &&
                ((m_nDepth == 4 && m_info.m_strType == L"rss") ||
                 (m_nDepth == 3 && (m_info.m_strType == L"atom" || m_info.m_strType == L"rss11"))))
                m_info.m_strTitle = m_info.m_strType == L"atom" && FormOf(pNode) != TextForm::Text
                                        ? HtmlToPlainText(AtomMarkup(pNode))
                                        : text();
        } else if (Is(name, L"copyright")) {
            if (!bStored)
                m_info.m_strCopyright = text();
        } else if (Is(name, L"lastupdate")) {
            COleDateTime date = ParseHttpDate(text());
            if (date.GetStatus() == COleDateTime::valid)
                m_dtLastUpdate = date;
        } else if (Is(name, L"link")) {
            // The "image" and "textInput" elements have links and descriptions of their own.
            if (bChannelChild)
                ReadChannelLink(pNode);
        } else if (Is(name, L"desc") || Is(name, L"tagline") || Is(name, L"description")) {
            // Markup, cleaned, shown as markup.
            if (bChannelChild)
                m_info.m_strDescription = CleanedCopy(Is(name, L"tagline") ? AtomMarkup(pNode) : text());
        } else if (Is(name, L"language")) {
            m_info.m_strLanguage = text();
        } else if (Is(name, L"webMaster")) {
            m_info.m_strWebMaster = text();
        } else if (Is(name, L"lastBuildDate")) {
            m_info.m_strLastBuildDate = text();
        } else if (Is(name, L"ttl")) {
            m_info.m_strTtl = text();
        } else if (Is(name, L"generator")) {
            m_info.m_strGenerator = text();
        }
    } else if (type != NODE_DOCUMENT && type != NODE_ENTITY_REFERENCE && type != NODE_DOCUMENT_FRAGMENT) {
        // Text, comments and the like have no children to walk.
        walkChildren = false;
    }
    if (walkChildren) {
        const bool bChannel = type == NODE_ELEMENT && IsChannelElement(XmlDom::NodeName(pNode));
        long index = 0;
        for (NodePtr child = XmlDom::FirstChild(pNode); child; child = XmlDom::NextChild(pNode, child.Get(), index++))
            WalkChannel(child.Get(), bStored, bChannel);
    }
    --m_nDepth;
}

void CFeedChannel::ReadChannelLink(IXMLDOMNode* pNode)
{
    CString link;
    if (ChannelLinkOf(DomField(pNode), link))
        m_info.m_strLink = link;
}

void CFeedChannel::ParseItem(IXMLDOMNode* pNode)
{
    m_items.AddTail(ReadItem(pNode, false));
}

void CFeedChannel::ParseEntry(IXMLDOMNode* pNode)
{
    m_items.AddTail(ReadItem(pNode, true));
}

void CFeedChannel::ParseStoredItem(IXMLDOMNode* pNode)
{
    MergeStoredItem(ReadItem(pNode, false));
}

void CFeedChannel::ParseStoredEntry(IXMLDOMNode* pNode)
{
    MergeStoredItem(ReadItem(pNode, true));
}

void CFeedChannel::MergeStoredItem(CFeedItem* pItem)
{
    CFeedItem* known = m_pReloadIndex ? m_pReloadIndex->Find(pItem) : FindItem(pItem, FALSE, FALSE);
    if (known) {
        known->m_bKeep = TRUE;
        delete pItem;
        return;
    }
    // The item just read is handed over whole: a copy would drop its comments link, which nothing else keeps.
    m_heldItems.AddTail(pItem);
}

CFeedItem* CFeedChannel::ReadItem(IXMLDOMNode* pNode, bool bEntry) const
{
    auto forEachChild = [pNode](auto visit) {
        long index = 0;
        for (NodePtr child = XmlDom::FirstChild(pNode); child; child = XmlDom::NextChild(pNode, child.Get(), index++))
            visit(DomField(child.Get()));
    };
    return ReadItemFields<DomField>(forEachChild, bEntry, m_bOwnFile);
}
