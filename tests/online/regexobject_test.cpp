#include "online/regexobject.h"

#include <gtest/gtest.h>

namespace wf {
namespace {

TEST(RegexObject, MatchesAndGroupsWithTheDefaultOptions) {
    struct Case {
        const char* pattern;
        std::string text;
        int count;
        int match;
        int group;
        const char* expected;
    } cases[] = {
        {R"(\>(\d{1,2})\<)", "<a>3</a><b>12</b>", 2, 2, 1, "12"},
        {R"(\>(\d{1,2})\<)", "<a>3</a><b>12</b>", 2, 3, 1, ""},  // no third match
        {"ABC", "xabcx", 1, 1, 0, "abc"},                        // case ignored
        {R"(^b$)", "a\r\nb\r\nc", 1, 1, 0, "b"},                 // multi-line, CR LF lines
        {R"(a.c)", "a\rc a\nc abc", 1, 1, 0, "abc"},             // "." stops at line ends
        {R"(x\sy)", "x\u3000y x\u00A0y x\ty", 3, 2, 0, "x\u00A0y"},
        {R"([\s\S]+)", "a\r\nb", 1, 1, 0, "a\r\nb"},
        {R"(\d+)", "１２3", 1, 1, 0, "3"},  // \d is ASCII only
        {R"(\w+)", "é_b", 1, 1, 0, "_b"},
        {R"([^]+)", "a\nb", 1, 1, 0, "a\nb"},
        {R"(a[]|b)", "ab", 1, 1, 0, "b"},
        {R"(\u4f60(.))", "说你好", 1, 1, 1, "好"},
        {R"([^\s]+)", "a\u3000b", 2, 2, 0, "b"},
        {R"((a)|(b))", "b", 1, 1, 1, ""},      // unset group
        {R"(x*)", "ab", 3, 3, 0, ""},          // empty matches step on
        {R"([[:a]+)", "[:a", 1, 1, 0, "[:a"},  // "[" inside a class is plain
        {R"x(<span title="(.*?)")x", R"x(<span title="一"><span title="b">)x", 2, 2, 1, "b"},
    };
    for (const Case& c : cases) {
        RegexObject regex;
        ASSERT_TRUE(regex.Execute(c.pattern, c.text)) << c.pattern;
        EXPECT_EQ(regex.MatchCount(), c.count) << c.pattern;
        EXPECT_EQ(regex.SubMatchText(c.match, c.group), c.expected) << c.pattern;
        EXPECT_EQ(regex.GetPattern(), c.pattern);
    }
}

TEST(RegexObject, OptionsPlaceholderAndPositions) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("ABC", "xabcx", true));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchCount(), 0);

    ASSERT_TRUE(regex.Execute("^b", "a\nb", false, false));
    EXPECT_EQ(regex.MatchCount(), 0);

    ASSERT_TRUE(regex.Execute("a", "aaa", false, true, false));
    EXPECT_EQ(regex.MatchCount(), 1);

    ASSERT_TRUE(
        regex.Execute(R"(class=#引号(\w+)#引号)", R"(<p class="x">)", false, true, true, true));
    EXPECT_EQ(regex.GetPattern(), R"x(class="(\w+)")x");
    EXPECT_EQ(regex.SubMatchText(1, 1), "x");
    ASSERT_TRUE(regex.Execute(R"(#引号)", R"("#引号")"));
    EXPECT_EQ(regex.MatchText(1), "#引号");

    ASSERT_TRUE(regex.Execute(R"(好(.))", "你好吗你好呢"));
    long long position = 0;
    EXPECT_EQ(regex.MatchText(2, &position), "好呢");
    EXPECT_EQ(position, 12);
    EXPECT_EQ(regex.SubMatchText(2, 1, &position), "呢");
    EXPECT_EQ(position, 15);
    EXPECT_EQ(regex.SubMatchText(1, 2, &position), "");
    EXPECT_EQ(position, -1);
    EXPECT_EQ(regex.SubMatchCount(), 1);
}

TEST(RegexObject, ReplaceKnowsTheReferencesOfJavaScript) {
    struct Case {
        const char* pattern;
        const char* text;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {R"((\w)(\d))", "a1 b2", "$2$1", "1a 2b"}, {R"(\d)", "a1b2", "[$&]", "a[1]b[2]"},
        {R"(b)", "abc", "$`|$'", "aa|cc"},         {R"(b)", "abc", "$$", "a$c"},
        {R"((b))", "abc", "$0$3$10", "a$0$3b0c"},  {R"((a)|(b))", "ab", "<$2>", "<><b>"},
        {R"(<[^>]+>)", "<p>x</p>", "", "x"},       {R"(x*)", "ab", "-", "-a-b-"},
    };
    for (const Case& c : cases) {
        RegexObject regex;
        ASSERT_TRUE(regex.Execute(c.pattern, c.text)) << c.pattern;
        EXPECT_EQ(regex.Replace(c.replacement), c.expected) << c.pattern;
    }
}

TEST(RegexObject, BadPatternsAndHostileInputFailCleanly) {
    RegexObject regex;
    ASSERT_TRUE(regex.Execute("a", "a"));
    for (const char* bad : {"(", "[a", "a{2,1}", "*", "(?<=a+)b"}) {
        EXPECT_FALSE(regex.Execute(bad, "aaa")) << bad;
        EXPECT_EQ(regex.MatchCount(), 0);
        EXPECT_EQ(regex.MatchText(1), "");
        EXPECT_EQ(regex.SubMatchText(1, 1), "");
        EXPECT_EQ(regex.SubMatchCount(), 0);
        EXPECT_EQ(regex.Replace("x"), "");
    }
    // Catastrophic backtracking stops at the match limit instead of hanging.
    EXPECT_FALSE(regex.Execute("(a+)+$", std::string(40, 'a') + "!"));
    // Invalid UTF-8 in the text is read as replacement characters.
    ASSERT_TRUE(regex.Execute("b",
                              "a\xFF"
                              "b"));
    EXPECT_EQ(regex.MatchCount(), 1);
}

TEST(RegexObject, LargePagesGoThroughTheCompiledMatcher) {
    std::string page;
    for (int i = 0; i < 5000; ++i)
        page += "<li><span title=\"w" + std::to_string(i) + "\">x</span></li>\r\n";
    RegexObject regex;
    ASSERT_TRUE(regex.Execute(R"x(<span title="(.*?)")x", page));
    EXPECT_EQ(regex.MatchCount(), 5000);
    EXPECT_EQ(regex.SubMatchText(4321, 1), "w4320");
}

}  // namespace
}  // namespace wf
