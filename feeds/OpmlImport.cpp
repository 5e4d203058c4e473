#include "feeds/OpmlImport.h"

#include <vector>

#include "feeds/FeedText.h"
#include "feeds/HttpFetch.h"
#include "feeds/XmlDom.h"

namespace {

// One "outline": a new subscribed feed, or nothing when it has no usable address.
void ReadOutline(CFeedChannel* pChannel, IXMLDOMNode* pNode)
{
    CFeedItem* item = new CFeedItem;
    XmlDom::ForEachAttribute(pNode, [item](const CString& name, const CString& value) {
        if (name == L"text") {
            item->m_strTitle = CleanedCopy(value);
            item->m_strTitleText = DisplayCopy(item->m_strTitle);
        } else if (name == L"xmlUrl") {
            item->m_strLink = value;
            item->m_strLinkText = TrimmedDisplayCopy(value);
        } else if (name == L"description") {
            item->m_strDescription = CleanedCopy(value);
            item->m_strDescriptionText = DisplayCopy(item->m_strDescription);
        }
    });
    if (item->m_strLinkText.IsEmpty() || !IsImportableFeedLink(item->m_strLinkText)) {
        delete item;
        return;
    }
    item->m_nKind = FEED_KIND_FEED;
    pChannel->m_items.AddTail(item);
}

bool IsOutline(IXMLDOMNode* pNode)
{
    return XmlDom::NodeType(pNode) == NODE_ELEMENT && XmlDom::NodeName(pNode) == L"outline";
}

} // namespace

bool IsImportableFeedLink(LPCWSTR link)
{
    if (!link)
        return false;
    CString text = link;
    text.Trim();
    CHttpUrlParts parts;
    return !text.IsEmpty() && CrackHttpUrl(text, parts) && !parts.strHost.IsEmpty();
}

void ReadOutlines(CFeedChannel* pChannel, IXMLDOMNode* pNode)
{
    if (!pChannel || !pNode)
        return;
    // A walk with its own stack: a hostile file may nest outlines far deeper than the thread's stack allows.
    struct Frame
    {
        XmlDom::NodePtr node;
        XmlDom::NodePtr next; // the child to read next
        long index;           // that child's number
    };
    std::vector<Frame> stack;
    pNode->AddRef();
    XmlDom::NodePtr start(pNode);
    stack.push_back(Frame{start, XmlDom::FirstChild(pNode), 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next) {
            XmlDom::NodePtr child = top.next;
            top.next = XmlDom::NextChild(top.node.Get(), child.Get(), top.index++);
            XmlDom::NodePtr firstGrandChild = XmlDom::FirstChild(child.Get());
            stack.push_back(Frame{child, firstGrandChild, 0});
            continue;
        }
        XmlDom::NodePtr done = top.node;
        stack.pop_back();
        if (IsOutline(done.Get()))
            ReadOutline(pChannel, done.Get());
    }
}

CFeedChannel* LoadOpml(LPCWSTR path)
{
    if (!path || !*path)
        return nullptr;
    XmlDom::DocumentPtr doc = XmlDom::CreateDocument(true);
    if (!doc || !XmlDom::LoadDocument(doc.Get(), path))
        return nullptr;
    XmlDom::NodePtr opml = XmlDom::SelectSingleNode(doc.Get(), L"opml");
    if (!opml)
        return nullptr;
    XmlDom::NodePtr body = XmlDom::SelectSingleNode(opml.Get(), L"body");
    if (!body)
        return nullptr;

    CFeedChannel* channel = new CFeedChannel;
    channel->m_strPath = path;
    ReadOutlines(channel, body.Get());
    return channel;
}

int RemoveUnsafeImports(CFeedChannel* pChannel)
{
    if (!pChannel)
        return 0;
    POSITION pos = pChannel->m_items.GetHeadPosition();
    while (pos) {
        const POSITION current = pos;
        CFeedItem* item = pChannel->m_items.GetNext(pos);
        const bool bHasLink = !item->m_strLink.IsEmpty() || !item->m_strLinkText.IsEmpty();
        const bool bLinkOk = IsImportableFeedLink(item->m_strLink) && IsImportableFeedLink(item->m_strLinkText);
        if ((item->m_nKind == FEED_KIND_FEED && !bLinkOk) || (bHasLink && !bLinkOk)) {
            pChannel->m_items.RemoveAt(current);
            delete item;
            continue;
        }
        if (!item->m_strFile.IsEmpty() && !IsSafeFeedFileName(item->m_strFile))
            item->m_strFile.Empty();
    }
    return static_cast<int>(pChannel->m_items.GetCount());
}

CFeedChannel* LoadExportedList(LPCWSTR path)
{
    CFeedChannel* channel = new CFeedChannel;
    if (!channel->LoadFile(path, nullptr, CFeedChannel::LOAD_OWN_FILE)) {
        delete channel;
        return nullptr;
    }
    RemoveUnsafeImports(channel);
    return channel;
}
