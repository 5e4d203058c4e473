// The one-pass reader of our own files against the XML library: what it accepts it reads exactly as the library
// does, what the library refuses it refuses too, and what it leaves to the library reaches the library. The channel
// reader gives the same records through either path, and a damaged cache loads nothing and stays on disk.
#include "tests/feeds/FeedTestHost.h"
#include "feeds/FeedChannel.h"
#include "feeds/SharedStrings.h"
#include "feeds/StoredXml.h"
#include "feeds/XmlDom.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using lqtest::Narrow;
using lqtest::ReadFileBytes;
using lqtest::WriteFileBytes;

std::wstring W(const CString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

// An element as the library shows it: name, attributes, and the text of an element without child elements.
std::wstring Describe(IXMLDOMNode* node)
{
    std::wstring out = L"<" + W(XmlDom::NodeName(node));
    XmlDom::ForEachAttribute(
        node, [&](const CString& name, const CString& value) { out += L" " + W(name) + L"=[" + W(value) + L"]"; });
    out += L">";
    std::wstring children;
    long index = 0;
    for (XmlDom::NodePtr child = XmlDom::FirstChild(node); child;
         child = XmlDom::NextChild(node, child.Get(), index++)) {
        if (XmlDom::NodeType(child.Get()) == NODE_ELEMENT)
            children += Describe(child.Get());
    }
    out += children.empty() ? L"[" + W(XmlDom::NodeText(node)) + L"]" : children;
    return out + L"</>";
}

std::wstring Describe(const StoredElement& element)
{
    std::wstring out = L"<" + std::wstring(element.name.begin(), element.name.end());
    for (const auto& attribute : element.attributes)
        out += L" " + std::wstring(attribute.first.begin(), attribute.first.end()) + L"=[" + W(attribute.second) + L"]";
    out += L">";
    if (element.children.empty())
        out += L"[" + W(element.text) + L"]";
    for (const StoredElement& child : element.children)
        out += Describe(child);
    return out + L"</>";
}

enum class Expect
{
    Same,         // both read it, to the same elements and texts
    BothRefuse,   // not well formed: the library refuses it, and so does the one-pass reader
    LeftToLibrary // well formed, outside the subset: the one-pass reader gives up, the library reads it
};

const struct
{
    const char* name;
    std::string xml;
    Expect expect;
} kDocuments[] = {
    {"our own form",
     "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<rss version=\"2.0\">\n\t<channel>"
     "\n\t\t<title>A &amp; B &lt;i&gt;</title>\n\t\t<item>\n\t\t\t<read>true</read>\n\t\t</item>\n\t"
     "</channel>\n</rss>\n",
     Expect::Same},
    {"references", "<r><a>&#13;&#10;&#9;&#x1F600;&#233;&quot;&apos;&gt;</a></r>", Expect::Same},
    {"UTF-8 of every length", "<r><a>\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80 \xEF\xBF\xBD</a></r>", Expect::Same},
    {"literal line ends", "<r><a>one\r\ntwo\rthree\nfour</a></r>", Expect::Same},
    {"blanks kept round text", "<r><a>  padded\t</a><b>   </b><c>\n</c></r>", Expect::Same},
    {"attribute white space", "<r><e u='a\tb\r\nc d' v=\"&#10;&#9;x&#13;\" w=\"&lt;&amp;\"/></r>", Expect::Same},
    {"empty forms", "<r><a/><b></b><c x=\"\" /></r>", Expect::Same},
    {"byte-order mark, no declaration", "\xEF\xBB\xBF<r>  <a>x</a>\n</r>\r\n", Expect::Same},
    {"declaration without encoding", "<?xml version=\"1.0\"?><r><a>x</a></r>", Expect::Same},
    {"lone brackets", "<r><a>]] ] &gt; > a]]b</a></r>", Expect::Same},
    {"end tag with blanks", "<r><a>x</a  ></r >", Expect::Same},

    {"truncated", "<?xml version=\"1.0\"?><r><a>text</a><b>more", Expect::BothRefuse},
    {"wrong end tag", "<r><a>x</b></r>", Expect::BothRefuse},
    {"undeclared entity", "<r><a>&nbsp;</a></r>", Expect::BothRefuse},
    {"unterminated reference", "<r><a>&amp</a></r>", Expect::BothRefuse},
    {"control character",
     "<r><a>a\x01"
     "b</a></r>",
     Expect::BothRefuse},
    {"reference to a control character", "<r><a>&#1;</a></r>", Expect::BothRefuse},
    {"reference to nothing", "<r><a>&#0;</a></r>", Expect::BothRefuse},
    {"reference to a non-character", "<r><a>&#xFFFE;</a></r>", Expect::BothRefuse},
    {"reference past Unicode", "<r><a>&#x110000;</a></r>", Expect::BothRefuse},
    {"broken UTF-8", "<r><a>\xC3(</a></r>", Expect::BothRefuse},
    {"overlong UTF-8", "<r><a>\xC0\xAF</a></r>", Expect::BothRefuse},
    {"UTF-8 surrogate", "<r><a>\xED\xA0\x80</a></r>", Expect::BothRefuse},
    {"CDATA end in text", "<r><a>x]]>y</a></r>", Expect::BothRefuse},
    {"duplicate attribute", "<r><e a=\"1\" a=\"2\"/></r>", Expect::BothRefuse},
    {"markup in attribute", "<r><e a=\"<\"/></r>", Expect::BothRefuse},
    {"attributes run together", "<r><e a=\"1\"b=\"2\"/></r>", Expect::BothRefuse},
    {"unquoted attribute", "<r><e a=1/></r>", Expect::BothRefuse},
    {"text after the root", "<r/>x", Expect::BothRefuse},
    {"two roots", "<r/><r/>", Expect::BothRefuse},
    {"no root", "   ", Expect::BothRefuse},

    {"comment", "<r><!-- note --><a>x</a></r>", Expect::LeftToLibrary},
    {"CDATA section", "<r><a><![CDATA[x]]></a></r>", Expect::LeftToLibrary},
    {"document type", "<!DOCTYPE r><r><a>x</a></r>", Expect::LeftToLibrary},
    {"namespace prefix", "<r xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:date>x</dc:date></r>",
     Expect::LeftToLibrary},
    {"other encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><a>\xE9</a></r>", Expect::LeftToLibrary},
    {"processing instruction", "<?xml-stylesheet href=\"a.xsl\"?><r><a>x</a></r>", Expect::LeftToLibrary},
    {"mixed content", "<r><a>x<b>y</b>z</a></r>", Expect::LeftToLibrary},
};

class StoredXmlTest : public ::testing::Test
{
protected:
    lqtest::TempFolder m_folder;
};

TEST_F(StoredXmlTest, ReadsWhatItAcceptsAsTheLibraryDoesAndRefusesWhatTheLibraryRefuses)
{
    for (const auto& document : kDocuments) {
        SCOPED_TRACE(document.name);
        const std::wstring path = m_folder.File(L"doc.xml");
        ASSERT_TRUE(WriteFileBytes(path, document.xml));
        XmlDom::DocumentPtr dom = XmlDom::CreateDocument(true);
        ASSERT_TRUE(dom);
        const bool libraryRead = XmlDom::LoadDocument(dom.Get(), path.c_str());
        StoredElement root;
        const bool storedRead = ReadStoredXml(document.xml.data(), document.xml.size(), root);

        EXPECT_EQ(document.expect != Expect::BothRefuse, libraryRead);
        EXPECT_EQ(document.expect == Expect::Same, storedRead);
        if (libraryRead && storedRead) {
            XmlDom::Ptr<IXMLDOMElement> element;
            ASSERT_TRUE(SUCCEEDED(dom->get_documentElement(element.Receive())) && element);
            EXPECT_EQ(Narrow(Describe(element.Get())), Narrow(Describe(root)));
        }
    }
}

// Accepts every element: the walk alone decides.
class AnyElement : public StoredXmlVisitor
{
public:
    bool Open(const char*, size_t, int depth) override
    {
        m_deepest = std::max(m_deepest, depth);
        return true;
    }
    bool Close(const wchar_t*, int, int) override { return true; }
    int m_deepest = 0;
};

TEST_F(StoredXmlTest, TheWalkAcceptsExactlyWhatTheReaderAccepts)
{
    for (const auto& document : kDocuments) {
        SCOPED_TRACE(document.name);
        StoredElement root;
        AnyElement visitor;
        EXPECT_EQ(ReadStoredXml(document.xml.data(), document.xml.size(), root),
                  WalkStoredXml(document.xml.data(), document.xml.size(), visitor));
    }
}

// A file with our whole vocabulary, in the list's and the cache's forms, with texts the readers must clean or drop.
const char kOwnFile[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<rss version=\"2.0\">\n\t<channel>\n"
    "\t\t<title> Daily &lt;News&gt; </title>\n"
    "\t\t<description>&lt;p onclick=\"x()\"&gt;About&lt;/p&gt;&lt;script&gt;bad()&lt;/script&gt;</description>\n"
    "\t\t<copyright>&#169; 2026</copyright>\n\t\t<link>\n http://example.com/ \n</link>\n"
    "\t\t<language>en</language>\n\t\t<lastupdate>Thu, 10 Dec 2026 08:05:00 GMT</lastupdate>\n"
    "\t\t<webMaster>w@example.com</webMaster>\n\t\t<ttl>60</ttl>\n\t\t<generator>g</generator>\n"
    "\t\t<lastBuildDate>Wed, 09 Dec 2026 08:00:00 GMT</lastBuildDate>\n\t\t<title>Second title</title>\n"
    "\t\t<item>\n\t\t\t<title>One &amp; &lt;b&gt;two&lt;/b&gt;</title>\n"
    "\t\t\t<link> http://example.com/1 </link>\n"
    "\t\t\t<description>&lt;img src=\"javascript:x\"&gt;Text&#13;\nline&lt;br&gt;end</description>\n"
    "\t\t\t<image>http://example.com/i.png</image>\n\t\t\t<pubDate>Thu, 10 Dec 2026 07:00:00 GMT</pubDate>\n"
    "\t\t\t<comments>javascript:alert(1)</comments>\n\t\t\t<bookmark>1</bookmark>\n"
    "\t\t\t<author>A</author>\n\t\t\t<category>C</category>\n\t\t\t<subject>S</subject>\n"
    "\t\t\t<enclosure url=\"http://example.com/a.mp3?x=1&amp;y=2\" type=\"audio/mpeg\" length=\"1234\" "
    "local=\"C:\\data\\a.mp3\" state=\"2\"/>\n"
    "\t\t\t<read>true</read>\n\t\t</item>\n"
    "\t\t<item>\n\t\t\t<title>Entry</title>\n\t\t\t<type>External feed</type>\n\t\t\t<file>../../evil</file>\n"
    "\t\t\t<update>30</update>\n\t\t\t<unsubscribe>0</unsubscribe>\n\t\t\t<accountname>me</accountname>\n"
    "\t\t\t<password>p&amp;w</password>\n\t\t\t<httpauth>1</httpauth>\n\t\t\t<imageindex>4</imageindex>\n"
    "\t\t\t<input>words</input>\n\t\t\t<buttontext>Go</buttontext>\n\t\t\t<read>false</read>\n\t\t</item>\n"
    "\t\t<item>\n\t\t\t<title>Notice</title>\n\t\t\t<type>Notice</type>\n\t\t\t<file>welcome</file>\n"
    "\t\t\t<read>new</read>\n\t\t</item>\n"
    "\t\t<item/>\n"
    "\t</channel>\n</rss>\n";

std::vector<std::wstring> Fields(const CFeedChannel& channel)
{
    const CFeedChannelInfo& info = channel.m_info;
    std::vector<std::wstring> fields = {
        W(info.m_strType),        W(info.m_strVersion),       W(info.m_strTitle),
        W(info.m_strDescription), W(info.m_strCopyright),     W(info.m_strLink),
        W(info.m_strLanguage),    W(info.m_strWebMaster),     W(info.m_strTtl),
        W(info.m_strGenerator),   W(info.m_strLastBuildDate), std::to_wstring(channel.m_dtLastUpdate.m_dt)};
    for (POSITION pos = channel.m_items.GetHeadPosition(); pos;) {
        const CFeedItem* item = channel.m_items.GetNext(pos);
        for (const CString* text : {&item->m_strTitle,         &item->m_strTitleText,     &item->m_strLink,
                                    &item->m_strLinkText,      &item->m_strDescription,   &item->m_strDescriptionText,
                                    &item->m_strImage,         &item->m_strImageText,     &item->m_strDate,
                                    &item->m_strComments,      &item->m_strBookmark,      &item->m_strAuthor,
                                    &item->m_strCategory,      &item->m_strSubject,       &item->m_strEnclosureUrl,
                                    &item->m_strEnclosureType, &item->m_strEnclosureFile, &item->m_strFile,
                                    &item->m_strAccountName,   &item->m_strPassword,      &item->m_strInput,
                                    &item->m_strButtonText})
            fields.push_back(W(*text));
        for (int number :
             {item->m_nKind, item->m_nReadState, item->m_nUpdateInterval, item->m_nEnclosureLength,
              item->m_nEnclosureState, item->m_nImageIndex, int(item->m_bHttpAuth), int(item->m_bMayUnsubscribe)})
            fields.push_back(std::to_wstring(number));
        // Items without a date are dated when read: only dated ones can be compared.
        if (!item->m_strDate.IsEmpty())
            fields.push_back(std::to_wstring(item->m_dtDate.m_dt));
    }
    return fields;
}

TEST_F(StoredXmlTest, OwnFileGivesTheSameRecordsThroughEitherReader)
{
    const std::string plain = kOwnFile;
    // A comment keeps the one-pass reader out: that copy is read through the library.
    std::string commented = plain;
    commented.insert(commented.find("<rss"), "<!-- read by the library -->\n");
    ASSERT_TRUE(WriteFileBytes(m_folder.File(L"plain.rss"), plain));
    ASSERT_TRUE(WriteFileBytes(m_folder.File(L"commented.rss"), commented));
    StoredElement root;
    ASSERT_TRUE(ReadStoredXml(plain.data(), plain.size(), root));
    ASSERT_FALSE(ReadStoredXml(commented.data(), commented.size(), root));

    CFeedChannel fast, library;
    ASSERT_TRUE(fast.LoadFile(m_folder.File(L"plain.rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    ASSERT_TRUE(library.LoadFile(m_folder.File(L"commented.rss").c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
    ASSERT_EQ(4, fast.m_items.GetCount());
    const std::vector<std::wstring> a = Fields(fast), b = Fields(library);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(Narrow(a[i]), Narrow(b[i])) << "field " << i;
}

TEST_F(StoredXmlTest, FirstPassCountsWhatTheReaderLoads)
{
    const std::string own = kOwnFile;
    auto replaced = [&own](const char* from, const char* to) {
        std::string copy = own;
        copy.replace(copy.find(from), std::strlen(from), to);
        return copy;
    };
    const struct
    {
        const char* name;
        std::string xml;
        CFeedChannel::OwnFileRead expected;
    } files[] = {
        {"our own form", own, CFeedChannel::OWN_FILE_LOADED},
        {"two channels", replaced("\t</channel>\n", "\t</channel>\n<channel><item><read>true</read></item></channel>"),
         CFeedChannel::OWN_FILE_LOADED},
        {"no last update", replaced("<lastupdate>Thu, 10 Dec 2026 08:05:00 GMT</lastupdate>", ""),
         CFeedChannel::OWN_FILE_LOADED},
        {"an item without a read state", replaced("<read>new</read>", ""), CFeedChannel::OWN_FILE_LOADED},
        {"comment", replaced("<rss", "<!-- x --><rss"), CFeedChannel::OWN_FILE_LEFT},
        {"item field with children", replaced("<author>A</author>", "<author><b>A</b></author>"),
         CFeedChannel::OWN_FILE_LEFT},
        {"header field with children", replaced("<ttl>60</ttl>", "<ttl><v>60</v></ttl>"), CFeedChannel::OWN_FILE_LEFT},
        {"tagline", replaced("<ttl>60</ttl>", "<tagline>t</tagline>"), CFeedChannel::OWN_FILE_LEFT},
        {"entry", replaced("<ttl>60</ttl>", "<entry><title>t</title></entry>"), CFeedChannel::OWN_FILE_LEFT},
        {"not rss", "<feed><entry><title>t</title></entry></feed>", CFeedChannel::OWN_FILE_LEFT},
        {"damaged", own.substr(0, own.size() / 2), CFeedChannel::OWN_FILE_LEFT},
        {"bad text in an item", replaced("<subject>S</subject>", "<subject>&nbsp;</subject>"),
         CFeedChannel::OWN_FILE_LEFT},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        const std::wstring path = m_folder.File(L"cache.rss");
        ASSERT_TRUE(WriteFileBytes(path, file.xml));
        CFeedChannel::OwnFileCounts counts;
        const CFeedChannel::OwnFileRead counted = CFeedChannel::CountOwnFile(path.c_str(), counts);
        CFeedChannel channel;
        EXPECT_EQ(channel.ReadOwnFile(path.c_str()), counted);
        EXPECT_EQ(file.expected, counted);
        int fresh = 0, unread = 0, read = 0;
        for (POSITION pos = channel.m_items.GetHeadPosition(); pos;) {
            const int state = channel.m_items.GetNext(pos)->m_nReadState;
            ++(state == FEED_STATE_READ ? read : state == FEED_STATE_UNREAD ? unread : fresh);
        }
        EXPECT_EQ(fresh, counts.fresh);
        EXPECT_EQ(unread, counts.unread);
        EXPECT_EQ(read, counts.read);
        if (counted == CFeedChannel::OWN_FILE_LOADED) {
            EXPECT_EQ(channel.m_dtLastUpdate.m_dt, counts.lastUpdate.m_dt);
        }
    }
    CFeedChannel::OwnFileCounts none;
    EXPECT_EQ(CFeedChannel::OWN_FILE_REFUSED, CFeedChannel::CountOwnFile(m_folder.File(L"missing.rss").c_str(), none));
}

TEST_F(StoredXmlTest, ChannelsReadWithAPoolShareTheTextsThatRecur)
{
    ASSERT_TRUE(WriteFileBytes(m_folder.File(L"a.rss"), kOwnFile));
    ASSERT_TRUE(WriteFileBytes(m_folder.File(L"b.rss"), kOwnFile));
    CSharedStrings pool;
    CFeedChannel first, second, alone;
    ASSERT_EQ(CFeedChannel::OWN_FILE_LOADED, first.ReadOwnFile(m_folder.File(L"a.rss").c_str(), &pool));
    ASSERT_EQ(CFeedChannel::OWN_FILE_LOADED, second.ReadOwnFile(m_folder.File(L"b.rss").c_str(), &pool));
    ASSERT_EQ(CFeedChannel::OWN_FILE_LOADED, alone.ReadOwnFile(m_folder.File(L"a.rss").c_str()));
    EXPECT_EQ(Fields(first), Fields(alone));
    const CFeedItem* a = first.m_items.GetHead();
    const CFeedItem* b = second.m_items.GetHead();
    for (auto field : {&CFeedItem::m_strDate, &CFeedItem::m_strAuthor, &CFeedItem::m_strCategory,
                       &CFeedItem::m_strSubject, &CFeedItem::m_strEnclosureType}) {
        ASSERT_FALSE((a->*field).IsEmpty());
        EXPECT_TRUE((a->*field).SharesBufferWith(b->*field)) << Narrow(W(a->*field));
    }
    // Titles are not pooled.
    EXPECT_FALSE(a->m_strTitle.SharesBufferWith(b->m_strTitle));
}

TEST_F(StoredXmlTest, DamagedCacheLoadsNothingAndStaysOnDisk)
{
    const std::string whole = kOwnFile;
    const size_t cuts[] = {whole.size() - 3, whole.find("<item>") + 3, whole.find("&amp;") + 2, 40};
    for (size_t cut : cuts) {
        SCOPED_TRACE(cut);
        const std::wstring path = m_folder.File(L"damaged.rss");
        const std::string damaged = whole.substr(0, cut);
        ASSERT_TRUE(WriteFileBytes(path, damaged));
        CFeedChannel channel;
        EXPECT_FALSE(channel.LoadFile(path.c_str(), nullptr, CFeedChannel::LOAD_OWN_FILE));
        EXPECT_EQ(0, channel.m_items.GetCount());
        EXPECT_TRUE(channel.m_info.m_strTitle.IsEmpty());
        EXPECT_EQ(damaged, ReadFileBytes(path));
    }
}

} // namespace
