#include "vocab/wordclass.h"

#include <algorithm>
#include <cstdint>

namespace wf {
namespace {

constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool containsIgnoringCase(std::string_view text, std::string_view key) {
    auto it = std::search(text.begin(), text.end(), key.begin(), key.end(),
                          [](char a, char b) { return asciiLower(a) == asciiLower(b); });
    return it != text.end();
}

void removeAll(std::string& text, std::string_view key) {
    std::size_t at = 0;
    while ((at = text.find(key, at)) != std::string::npos) text.erase(at, key.size());
}

bool isSpaceAt(std::string_view text, std::size_t at, std::size_t* width) {
    if (text[at] == ' ') {
        *width = 1;
        return true;
    }
    if (text.substr(at, kIdeographicSpace.size()) == kIdeographicSpace) {
        *width = kIdeographicSpace.size();
        return true;
    }
    return false;
}

// Leading and trailing ASCII and ideographic spaces; tabs stay, as in the list itself.
std::string_view trimSpaces(std::string_view text) {
    std::size_t width = 0;
    while (!text.empty() && isSpaceAt(text, 0, &width)) text.remove_prefix(width);
    for (;;) {
        if (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        } else if (text.size() >= kIdeographicSpace.size() &&
                   text.substr(text.size() - kIdeographicSpace.size()) == kIdeographicSpace) {
            text.remove_suffix(kIdeographicSpace.size());
        } else {
            return text;
        }
    }
}

// Both halves of a split line are trimmed of spaces and tabs: a tab between word and meaning
// would otherwise stay inside the stored word.
std::string trimBlank(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

}  // namespace

std::string extractWordClasses(std::string& text, const std::vector<WordClass>& table,
                               WordClassRule rule) {
    std::string classes;
    for (const WordClass& wc : table) {
        if (wc.key.empty()) continue;  // an empty key is found everywhere and removes nothing
        bool found = rule == WordClassRule::CustomImport
                         ? text.find(wc.key) != std::string::npos
                         : containsIgnoringCase(text, wc.key);
        if (!found) continue;
        removeAll(text, wc.key);
        if (rule == WordClassRule::BuiltInList) classes += wc.key + "-";
        classes += wc.label;
    }
    return classes;
}

std::string toHalfWidth(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 == 0xEF && i + 2 < utf8.size()) {
            auto b1 = static_cast<unsigned char>(utf8[i + 1]);
            auto b2 = static_cast<unsigned char>(utf8[i + 2]);
            std::uint32_t cp = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
            if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && cp >= 0xFF01 && cp <= 0xFF5E) {
                out += static_cast<char>(cp - 0xFEE0);
                i += 3;
                continue;
            }
        }
        if (utf8.substr(i, kIdeographicSpace.size()) == kIdeographicSpace) {
            out += ' ';
            i += kIdeographicSpace.size();
            continue;
        }
        out += utf8[i++];
    }
    return out;
}

CustomLineWords splitCustomLine(std::string_view line, const std::vector<WordClass>& table) {
    CustomLineWords words;
    std::string text = toHalfWidth(trimSpaces(line));
    if (text.empty()) return words;
    words.wc = extractWordClasses(text, table, WordClassRule::CustomImport);
    // A mark in front ("n. 苹果 apple") leaves a space that would otherwise decide the script.
    text = trimBlank(text);
    if (text.empty()) return words;

    // The cut is where the script changes: Chinese first and English after it, or the reverse.
    bool chineseFirst = !isAscii(text[0]);
    auto cut = std::find_if(text.begin(), text.end(),
                            [&](char c) { return chineseFirst ? isAscii(c) : !isAscii(c); });
    std::string_view all = text;
    std::string_view head = all.substr(0, static_cast<std::size_t>(cut - text.begin()));
    std::string_view tail = all.substr(head.size());
    if (chineseFirst) {
        words.ch = trimBlank(head);
        words.en = trimBlank(tail);
        words.needsEnglish = words.en.empty();
    } else {
        words.en = trimBlank(head);
        words.ch = trimBlank(tail);
        words.needsMeaning = words.ch.empty();
    }
    return words;
}

}  // namespace wf
