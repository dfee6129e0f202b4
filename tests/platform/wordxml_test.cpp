#include "platform/wordxml.h"

#include <gtest/gtest.h>

#include "platform/codec.h"

namespace wf {
namespace {

TEST(WordXml, WritesTheExactLayout) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("四级");
    pugi::xml_node word = root.append_child("word1");
    pugi::xml_node en = word.append_child("en");
    en.append_attribute("num") = "1";
    setElementValue(en, "R&D <x>", true);
    setElementValue(word.append_child("wc"), "\"n.\" & 'v.'", false);
    word.append_child("mp3");
    root.append_child("word2");
    std::string expected =
        "<?xml version=\"1.0\" encoding=\"gb18030\"?>\r\n"
        "<四级>\r\n"
        "\t<word1>\r\n"
        "\t\t<en num=\"1\"><![CDATA[R&D <x>]]></en>\r\n"
        "\t\t<wc>&quot;n.&quot; &amp; &apos;v.&apos;</wc>\r\n"
        "\t\t<mp3/>\r\n"
        "\t</word1>\r\n"
        "\t<word2/>\r\n"
        "</四级>";
    EXPECT_EQ(writeXml(doc), encodeGb18030(expected));
}

TEST(WordXml, CdataWithItsEndMarkerStaysReadable) {
    for (std::string value : {"a]]>b", "]]>", "x]]>]]>y", "tail]]", "line1\r\nline2"}) {
        pugi::xml_document doc;
        setElementValue(doc.append_child("r").append_child("v"), value, true);
        pugi::xml_document back;
        ASSERT_TRUE(parseXml(writeXml(doc), back).ok) << value;
        EXPECT_EQ(elementText(back.child("r").child("v")), value);
        EXPECT_EQ(writeXml(back), writeXml(doc)) << "rewriting changes nothing";
    }
}

TEST(WordXml, MixedContentSurvivesARewrite) {
    pugi::xml_document doc;
    ASSERT_TRUE(parseXml("<r><w><en>cat<b>bold</b> tail</en><ch>c</ch></w></r>", doc).ok);
    pugi::xml_document back;
    ASSERT_TRUE(parseXml(writeXml(doc), back).ok);
    EXPECT_EQ(elementText(back.child("r").child("w").child("en")), "cat tail");
    EXPECT_EQ(std::string(back.child("r").child("w").child("en").child("b").text().get()), "bold");
}

TEST(WordXml, ReadsTheEncodingsItShouldAndRefusesTheRest) {
    const std::string body = "<r><v>中文</v></r>";
    struct Case {
        std::string bytes;
        bool ok;
    } cases[] = {
        {encodeGb18030("<?xml version=\"1.0\" encoding=\"gb18030\"?>" + body), true},
        {encodeGb18030("<?xml version=\"1.0\" encoding=\"GBK\"?>" + body), true},
        {encodeGb18030(body), true},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?>" + body, true},
        {"\xEF\xBB\xBF" + body, true},
        {"<?xml version=\"1.0\" encoding=\"ebcdic\"?>" + body, false},
        {"<?xml version=\"1.0\" encoding=\"utf-8\"?><r>\xFF</r>", false},
        {"<r>\xFF\xFF</r>", false},
        {encodeGb18030(body).substr(0, 10), false},
        {"not xml at all", false},
        {body + body, false},
        {body + std::string(1, '\0') + "<r>more</r>", false},
        {"", false},
    };
    for (const Case& c : cases) {
        pugi::xml_document doc;
        XmlParseResult r = parseXml(c.bytes, doc);
        EXPECT_EQ(r.ok, c.ok) << c.bytes << " -> " << r.error;
        if (c.ok) {
            EXPECT_EQ(elementText(doc.child("r").child("v")), "中文");
        }
        if (!c.ok) {
            EXPECT_FALSE(r.error.empty());
        }
    }
}

TEST(WordXml, EntitiesAndDoctypesAreNotExpanded) {
    std::string bytes =
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY big \"boom\">]>"
        "<r><v>&big;&amp;</v></r>";
    pugi::xml_document doc;
    ASSERT_TRUE(parseXml(bytes, doc).ok);
    EXPECT_EQ(elementText(doc.child("r").child("v")), "&big;&");
}

TEST(WordXml, ElementNamesAreMadeValid) {
    EXPECT_EQ(xmlElementName("四级词汇"), "四级词汇");
    EXPECT_EQ(xmlElementName("cet-4.v2"), "cet-4.v2");
    EXPECT_EQ(xmlElementName("my list"), "my_list");
    EXPECT_EQ(xmlElementName("A&B"), "A_B");
    EXPECT_EQ(xmlElementName("2024"), "_2024");
    EXPECT_EQ(xmlElementName(""), "_");
}

}  // namespace
}  // namespace wf
