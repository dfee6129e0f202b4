#include "platform/codec.h"

#include <gtest/gtest.h>

namespace wf {
namespace {

TEST(Codec, KnownBytesAndRoundTrip) {
    struct Case {
        std::string utf8;
        std::string gb;
    } cases[] = {
        {"abc", "abc"},
        {"中", "\xD6\xD0"},
        {"€", "\xA2\xE3"},
        {"\xF0\xA0\x80\x80", "\x95\x32\x82\x36"},  // U+20000, a four-byte character
        {"é", "\xA8\xA6"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeGb18030(c.utf8), c.gb) << c.utf8;
        DecodeResult back = decodeGb18030(c.gb);
        EXPECT_TRUE(back.ok()) << c.utf8;
        EXPECT_EQ(back.text, c.utf8);
        EXPECT_EQ(gb18030Length(c.utf8), c.gb.size()) << c.utf8;
    }
}

TEST(Codec, StrictDecodingReportsTheOffsetOfBadInput) {
    struct Case {
        std::string bytes;
        std::size_t offset;
        std::string before;
    } cases[] = {
        {"ab\xD6", 2, "ab"},          // cut off after a lead byte
        {"\xD6\xD0x\xFF", 3, "中x"},  // 0xFF is never valid
        {"a\x95\x32\x82", 1, "a"},    // a four-byte sequence cut off
    };
    for (const Case& c : cases) {
        DecodeResult r = decodeGb18030(c.bytes);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(*r.badOffset, c.offset);
        EXPECT_EQ(r.text, c.before);
    }
}

TEST(Codec, WindowsEuroByteAndLenientDecoding) {
    EXPECT_EQ(decodeGb18030("\x80").text, "€");
    EXPECT_TRUE(decodeGb18030("\x80").ok());
    EXPECT_EQ(decodeGb18030Lenient("a\xFF\xD6\xD0"), "a\xEF\xBF\xBD中");
    EXPECT_EQ(encodeGb18030("a\xFFz"), "a?z");  // invalid UTF-8 input
}

TEST(Codec, Utf8Helpers) {
    EXPECT_EQ(firstInvalidUtf8("ok中"), std::nullopt);
    EXPECT_EQ(firstInvalidUtf8("ok\xC0\x80"), 2u);  // overlong
    EXPECT_EQ(firstInvalidUtf8("\xED\xA0\x80"), 0u);  // surrogate
    EXPECT_EQ(sanitizeUtf8("a\xE4\xB8"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
    std::string text = "中a\xF0\x9F\x98\x80";
    std::u16string wide = utf8ToUtf16(text);
    EXPECT_EQ(wide.size(), 4u);
    EXPECT_EQ(utf16ToUtf8(wide), text);
    EXPECT_EQ(utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}

TEST(Codec, TruncationKeepsWholeCharacters) {
    EXPECT_EQ(truncateToGb18030Bytes("中文", 3), "中");
    EXPECT_EQ(truncateToGb18030Bytes("中文", 4), "中文");
    EXPECT_EQ(truncateToGb18030Bytes("ab中", 3), "ab");
    EXPECT_EQ(untilNul(std::string_view("ab\0cd", 5)), "ab");
}

}  // namespace
}  // namespace wf

namespace wf {
namespace {

TEST(Codec, NamedCharsetsDecodeThroughTheConverter) {
    struct Case {
        std::string bytes;
        const char* charset;
        std::string utf8;
    } cases[] = {
        {"\xE4\xBD\xA0\xFF", "UTF-8", "你\xEF\xBF\xBD"},
        {"\xC4\xE3\x80", "GBK", "你€"},
        {"\xC4\xE3", "gb2312", "你"},
        {"\xA7\x41", "big5", "你"},
        {"caf\xE9", "ISO-8859-1", "café"},
        {"\x82\xA0", "Shift_JIS", "あ"},
        {"\xA7\x41\xFF", "big5", "你\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        std::optional<std::string> text = decodeCharset(c.bytes, c.charset);
        ASSERT_TRUE(text) << c.charset;
        EXPECT_EQ(*text, c.utf8) << c.charset;
    }
    EXPECT_FALSE(decodeCharset("abc", "no-such-charset"));
}

TEST(Codec, ValidationFindsBadBytesAfterLongAsciiRuns) {
    for (std::size_t run : {0u, 7u, 8u, 13u, 64u}) {
        std::string ascii(run, 'a');
        EXPECT_EQ(firstInvalidUtf8(ascii + "\xFF" + ascii), run) << run;
        EXPECT_EQ(firstInvalidUtf8(ascii + "你" + ascii + "\xE4\xBD"), 2 * run + 3) << run;
        EXPECT_TRUE(isValidUtf8(ascii + "你" + ascii)) << run;
    }
}

TEST(Codec, Cesu8HoldsCharactersBeyondTheBasicPlaneAsSurrogateHalves) {
    const std::string emoji = "\xF0\x9F\x98\x80";              // U+1F600
    const std::string halves = "\xED\xA0\xBD\xED\xB8\x80";     // D83D DE00, 3 bytes each
    EXPECT_EQ(utf8ToCesu8("a" + emoji + "你"), "a" + halves + "你");
    EXPECT_EQ(cesu8ToUtf8("a" + halves + "你"), "a" + emoji + "你");
    EXPECT_EQ(cesu8ToUtf8("\xED\xA0\xBDx"), "\xEF\xBF\xBDx");  // a lone half
    EXPECT_EQ(cesu8ToUtf8("\xFF"), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace wf
