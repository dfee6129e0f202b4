// Text conversion between program text (UTF-8) and the GB18030 bytes used on disk and at the
// speech library's narrow exports. Nothing else in the project calls iconv.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace wf {

struct DecodeResult {
    std::string text;                     // UTF-8; on failure, the text decoded before the bad byte
    std::optional<std::size_t> badOffset;  // byte offset of the first bad input, if any
    bool ok() const { return !badOffset.has_value(); }
};

// Strict: stops at the first byte sequence that is not GB18030 (or is cut off at the end).
DecodeResult decodeGb18030(std::string_view bytes);
// Lenient, for web text and hand-edited files: bad bytes become U+FFFD, decoding goes on.
std::string decodeGb18030Lenient(std::string_view bytes);
// UTF-8 to GB18030. Invalid UTF-8 input becomes '?'; every valid character is representable.
std::string encodeGb18030(std::string_view utf8);
// Length in bytes of the GB18030 form of a UTF-8 text.
std::size_t gb18030Length(std::string_view utf8);

// UTF-8 validation; returns the offset of the first invalid byte.
std::optional<std::size_t> firstInvalidUtf8(std::string_view bytes);
inline bool isValidUtf8(std::string_view bytes) { return !firstInvalidUtf8(bytes); }
// A UTF-8 body as program text: invalid sequences become U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

// UTF-8 <-> UTF-16, for the wide speech exports. Invalid input becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Cuts a UTF-8 text so that its GB18030 form fits in maxBytes, never inside a character.
std::string truncateToGb18030Bytes(std::string_view utf8, std::size_t maxBytes);

// Bytes in a named charset (an IANA or iconv name such as "utf-8", "big5", "GBK") as UTF-8;
// undecodable bytes become U+FFFD. Nothing when the charset is unknown.
std::optional<std::string> decodeCharset(std::string_view bytes, std::string_view charset);

// CESU-8 (a character beyond U+FFFF as two 3-byte surrogate halves, as script engines hold
// text) to UTF-8 and back. Lone surrogates and invalid bytes become U+FFFD.
std::string cesu8ToUtf8(std::string_view cesu8);
std::string utf8ToCesu8(std::string_view utf8);

// The text up to (not including) the first zero byte.
std::string_view untilNul(std::string_view bytes);

}  // namespace wf
