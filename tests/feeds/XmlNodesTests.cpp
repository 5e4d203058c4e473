// The name and text of a bare MSXML node.
#include "feeds/XmlNodes.h"
#include "feeds/XmlDom.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlNodes, NameAndTextOfANode)
{
    XmlDom::DocumentPtr doc = XmlDom::CreateDocument();
    ASSERT_TRUE(doc);
    XmlDom::Bstr xml(L"<rss><title>Daily <b>news</b></title><dc:date xmlns:dc=\"urn:dc\">2021</dc:date></rss>");
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(doc->loadXML(xml, &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    XmlDom::ElementPtr root;
    ASSERT_EQ(doc->get_documentElement(root.Receive()), S_OK);
    XmlDom::NodePtr title = XmlDom::FirstChild(root.Get());
    XmlDom::NodePtr date = XmlDom::NextSibling(title.Get());
    EXPECT_STREQ(GetXmlNodeName(title.Get()).GetString(), L"title");
    EXPECT_STREQ(GetXmlNodeText(title.Get()).GetString(), L"Daily news");
    EXPECT_STREQ(GetXmlNodeName(date.Get()).GetString(), L"dc:date");
    EXPECT_STREQ(GetXmlNodeText(date.Get()).GetString(), L"2021");
    EXPECT_TRUE(GetXmlNodeName(nullptr).IsEmpty());
    EXPECT_TRUE(GetXmlNodeText(nullptr).IsEmpty());
}

} // namespace
