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
