#include "platform/codec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace wf {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr std::string_view kEuro = "\xE2\x82\xAC";

// One converter per direction and thread: opening one costs far more than a short conversion.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts from the start of in until the end or the first bad or cut-off sequence and
    // returns the number of bytes consumed. iconv's return value is not trusted for this.
    std::size_t convert(std::string_view in, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char buffer[16384];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) break;
        }
        return in.size() - inLeft;
    }

private:
    iconv_t m_cd;
};

Converter& gbToUtf8Converter() {
    thread_local Converter c("UTF-8", "GB18030");
    return c;
}
Converter& utf8ToGbConverter() {
    thread_local Converter c("GB18030", "UTF-8");
    return c;
}

// Length of the valid UTF-8 sequence at text[pos], or 0 when it is not valid.
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char c = byte(pos);
    if (c < 0x80) return 1;
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (pos + len > text.size()) return 0;
    if (byte(pos + 1) < lo || byte(pos + 1) > hi) return 0;
    for (std::size_t i = 2; i < len; ++i) {
        if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) return 0;
    }
    return len;
}

char32_t decodeUtf8At(std::string_view text, std::size_t pos, std::size_t len) {
    auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(text[i])); };
    switch (len) {
        case 1: return byte(pos);
        case 2: return ((byte(pos) & 0x1F) << 6) | (byte(pos + 1) & 0x3F);
        case 3: return ((byte(pos) & 0x0F) << 12) | ((byte(pos + 1) & 0x3F) << 6) | (byte(pos + 2) & 0x3F);
        default:
            return ((byte(pos) & 0x07) << 18) | ((byte(pos + 1) & 0x3F) << 12) |
                   ((byte(pos + 2) & 0x3F) << 6) | (byte(pos + 3) & 0x3F);
    }
}

void appendUtf8(std::string& out, char32_t cp) {
    char buffer[4];
    std::size_t len;
    if (cp < 0x80) {
        buffer[0] = static_cast<char>(cp);
        len = 1;
    } else if (cp < 0x800) {
        buffer[0] = static_cast<char>(0xC0 | (cp >> 6));
        buffer[1] = static_cast<char>(0x80 | (cp & 0x3F));
        len = 2;
    } else if (cp < 0x10000) {
        buffer[0] = static_cast<char>(0xE0 | (cp >> 12));
        buffer[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        buffer[2] = static_cast<char>(0x80 | (cp & 0x3F));
        len = 3;
    } else {
        buffer[0] = static_cast<char>(0xF0 | (cp >> 18));
        buffer[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        buffer[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        buffer[3] = static_cast<char>(0x80 | (cp & 0x3F));
        len = 4;
    }
    out.append(buffer, len);
}

// The end of the ASCII run that starts at pos. Text on disk and on pages is mostly ASCII, so it
// is stepped over eight bytes at a time.
std::size_t asciiRunEnd(std::string_view text, std::size_t pos) {
    while (pos + 8 <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + pos, 8);
        if (word & 0x8080808080808080ULL) break;
        pos += 8;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) ++pos;
    return pos;
}

bool isTwoByteTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }
bool isFourByteSecond(unsigned char c) { return c >= 0x30 && c <= 0x39; }
constexpr int kTrails = 0xFF - 0x40;  // 0x40..0xFE

// The two-byte part of GB18030, read from iconv once, so that the common characters convert
// without a call into iconv each. Four-byte sequences still go through iconv.
class TwoByteTable {
public:
    TwoByteTable() : m_fromUnicode(0x10000, 0) {
        std::string pairs;
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                pairs += static_cast<char>(lead);
                pairs += static_cast<char>(trail);
            }
        }
        Converter converter("UTF-8", "GB18030");
        std::size_t pos = 0;
        std::string utf8;
        while (pos < pairs.size()) {
            utf8.clear();
            std::size_t used = converter.convert(std::string_view(pairs).substr(pos), utf8);
            std::size_t at = 0;
            for (std::size_t i = 0; i < used; i += 2) {
                std::size_t len = utf8SequenceLength(utf8, at);
                if (len == 0) break;
                add(static_cast<unsigned char>(pairs[pos + i]), static_cast<unsigned char>(pairs[pos + i + 1]),
                    decodeUtf8At(utf8, at, len));
                at += len;
            }
            pos += used + 2;  // a pair iconv refused stays unmapped
        }
    }

    char32_t toUnicode(unsigned char lead, unsigned char trail) const {
        return m_toUnicode[static_cast<std::size_t>((lead - 0x81) * kTrails + (trail - 0x40))];
    }
    // lead << 8 | trail, or 0 when the character needs four bytes.
    std::uint16_t fromUnicode(char32_t cp) const { return cp < 0x10000 ? m_fromUnicode[cp] : 0; }

private:
    void add(unsigned char lead, unsigned char trail, char32_t cp) {
        m_toUnicode[static_cast<std::size_t>((lead - 0x81) * kTrails + (trail - 0x40))] = cp;
        if (cp < 0x10000 && m_fromUnicode[cp] == 0) {
            m_fromUnicode[cp] = static_cast<std::uint16_t>(lead << 8 | trail);
        }
    }

    std::array<char32_t, 126 * kTrails> m_toUnicode{};
    std::vector<std::uint16_t> m_fromUnicode;
};

const TwoByteTable& twoByteTable() {
    static const TwoByteTable table;
    return table;
}

DecodeResult decode(std::string_view bytes, bool lenient) {
    const TwoByteTable& table = twoByteTable();
    DecodeResult result;
    std::string& out = result.text;
    out.reserve(bytes.size() + bytes.size() / 2);
    const std::size_t n = bytes.size();
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    std::size_t pos = 0;
    while (pos < n) {
        std::size_t run = asciiRunEnd(bytes, pos);
        out.append(bytes.data() + pos, run - pos);
        pos = run;
        if (pos >= n) break;

        unsigned char lead = at(pos);
        std::size_t width = 0;
        if (lead == 0x80) {
            // The single byte 0x80 is the euro sign in the Windows code page, not in GB18030.
            out.append(kEuro);
            width = 1;
        } else if (lead <= 0xFE && pos + 1 < n && isTwoByteTrail(at(pos + 1))) {
            if (char32_t cp = table.toUnicode(lead, at(pos + 1))) {
                appendUtf8(out, cp);
                width = 2;
            }
        } else if (lead <= 0xFE && pos + 3 < n && isFourByteSecond(at(pos + 1))) {
            if (gbToUtf8Converter().convert(bytes.substr(pos, 4), out) == 4) width = 4;
        }
        if (width == 0) {
            if (!lenient) {
                result.badOffset = pos;
                break;
            }
            out.append(kReplacement);
            width = 1;
        }
        pos += width;
    }
    return result;
}

}  // namespace

DecodeResult decodeGb18030(std::string_view bytes) { return decode(bytes, false); }

std::string decodeGb18030Lenient(std::string_view bytes) { return decode(bytes, true).text; }

std::string encodeGb18030(std::string_view utf8) {
    const TwoByteTable& table = twoByteTable();
    std::string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t pos = 0;
    while (pos < n) {
        std::size_t run = asciiRunEnd(utf8, pos);
        out.append(utf8.data() + pos, run - pos);
        pos = run;
        if (pos >= n) break;
        std::size_t len = utf8SequenceLength(utf8, pos);
        if (len == 0) {
            out += '?';
            ++pos;
            continue;
        }
        if (std::uint16_t code = table.fromUnicode(decodeUtf8At(utf8, pos, len))) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        } else if (utf8ToGbConverter().convert(utf8.substr(pos, len), out) != len) {
            out += '?';
        }
        pos += len;
    }
    return out;
}

std::size_t gb18030Length(std::string_view utf8) { return encodeGb18030(utf8).size(); }

std::optional<std::size_t> firstInvalidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        pos = asciiRunEnd(bytes, pos);
        if (pos >= bytes.size()) break;
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        std::size_t len = utf8SequenceLength(bytes, pos);
        if (len == 0) return pos;
        pos += len;
    }
    return std::nullopt;
}

std::string sanitizeUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t len = utf8SequenceLength(bytes, pos);
        if (len == 0) {
            out.append(kReplacement);
            ++pos;
        } else {
            out.append(bytes.substr(pos, len));
            pos += len;
        }
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t len = utf8SequenceLength(utf8, pos);
        char32_t cp = len ? decodeUtf8At(utf8, pos, len) : 0xFFFD;
        pos += len ? len : 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::string truncateToGb18030Bytes(std::string_view utf8, std::size_t maxBytes) {
    if (gb18030Length(utf8) <= maxBytes) return std::string(utf8);
    std::size_t total = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t len = utf8SequenceLength(utf8, pos);
        std::size_t step = len ? len : 1;
        std::size_t width = len ? gb18030Length(utf8.substr(pos, len)) : 1;
        if (total + width > maxBytes) break;
        total += width;
        pos += step;
    }
    return std::string(utf8.substr(0, pos));
}

std::optional<std::string> decodeCharset(std::string_view bytes, std::string_view charset) {
    std::string name;
    for (char c : charset) name += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (name == "utf-8" || name == "utf8") return sanitizeUtf8(bytes);
    // GB18030 reads every GBK and GB2312 page and knows the code page's euro byte.
    if (name == "gbk" || name == "gb2312" || name == "gb18030" || name == "cp936" ||
        name == "x-gbk") {
        return decodeGb18030Lenient(bytes);
    }
    Converter converter("UTF-8", name.c_str());
    if (!converter.valid()) return std::nullopt;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        pos += converter.convert(bytes.substr(pos), out);
        if (pos >= bytes.size()) break;
        out.append(kReplacement);
        ++pos;
    }
    return out;
}

std::string cesu8ToUtf8(std::string_view cesu8) {
    auto surrogateAt = [&](std::size_t pos) -> char32_t {
        if (pos + 3 > cesu8.size()) return 0;
        auto b = [&](std::size_t i) { return static_cast<unsigned char>(cesu8[pos + i]); };
        if (b(0) != 0xED || b(1) < 0xA0 || b(1) > 0xBF || b(2) < 0x80 || b(2) > 0xBF) return 0;
        return 0xD000 | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
    };
    std::string out;
    out.reserve(cesu8.size());
    std::size_t pos = 0;
    while (pos < cesu8.size()) {
        if (char32_t high = surrogateAt(pos)) {
            char32_t low = high <= 0xDBFF ? surrogateAt(pos + 3) : 0;
            if (low >= 0xDC00) {
                appendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
                pos += 6;
            } else {
                out.append(kReplacement);
                pos += 3;
            }
            continue;
        }
        std::size_t len = utf8SequenceLength(cesu8, pos);
        if (len == 0) {
            out.append(kReplacement);
            ++pos;
        } else {
            out.append(cesu8.substr(pos, len));
            pos += len;
        }
    }
    return out;
}

std::string utf8ToCesu8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t len = utf8SequenceLength(utf8, pos);
        if (len == 0) {
            out.append(kReplacement);
            ++pos;
        } else if (len == 4) {
            char32_t cp = decodeUtf8At(utf8, pos, len) - 0x10000;
            appendUtf8(out, 0xD800 + (cp >> 10));  // written as 3 bytes like any BMP value
            appendUtf8(out, 0xDC00 + (cp & 0x3FF));
            pos += 4;
        } else {
            out.append(utf8.substr(pos, len));
            pos += len;
        }
    }
    return out;
}

std::string_view untilNul(std::string_view bytes) {
    std::size_t nul = bytes.find('\0');
    return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

}  // namespace wf
