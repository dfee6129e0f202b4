#include "online/texthelpers.h"

#include <gtest/gtest.h>

namespace wf {
namespace {

TEST(HtmlToText, DropsScriptsStylesTagsAndEntities) {
    struct Case {
        const char* html;
        const char* text;
    } cases[] = {
        {"<p>a&nbsp;b</p><script>x</script>", "ab"},
        {"<STYLE type=\"t\">p{}\r\n</style>x<br/>y", "xy"},
        {"<script>\r\nif (a<b) {}\r\n</script>keep &amp; &#20320;go", "keep  go"},
        {"no tags", "no tags"},
        {"a < b", "a < b"},
    };
    for (const Case& c : cases) {
        std::string text = c.html;
        EXPECT_EQ(HtmlToText(text), c.text) << c.html;
        EXPECT_EQ(text, c.text);
    }
}

TEST(TextHelpers, TidyLinesLineOfTextAndTextBetweenAll) {
    EXPECT_EQ(TidyLines("\r\na\r\n\r\n  \r\nb\r\n"), "a\r\nb");
    EXPECT_EQ(TidyLines("a\r\nb"), "a\r\nb");
    EXPECT_EQ(TidyLines(""), "");

    struct Case {
        long long n;
        const char* line;
    } cases[] = {{0, ""}, {1, "one"}, {2, ""}, {3, "three"}, {4, ""}};
    for (const Case& c : cases) EXPECT_EQ(LineOfText("one\r\n\r\nthree", c.n), c.line) << c.n;

    std::vector<std::string> pieces = TextBetweenAll(
        "x asplay('a.mp3') y asplay(' ') asplay( 'b.mp3 ') asplay('c", "asplay('", "'");
    EXPECT_EQ(pieces, (std::vector<std::string>{"a.mp3"}));
    pieces = TextBetweenAll("[1] [ 2 ] [] [3]", "[", "]");
    EXPECT_EQ(pieces, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(TextBetweenAll("abc", "", "c").empty());
}

}  // namespace
}  // namespace wf
