// One regular expression run over one text, with the meaning pages are scraped with: the
// syntax and options of JavaScript (ignore case, multi-line and global unless told otherwise),
// matches and groups handed out by 1-based number, and replacement with $1-style references.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

class RegexObject {
  public:
    // Runs pattern over text and keeps the matches. False when the pattern is invalid (then
    // every reader gives empty results); true otherwise, also when nothing matched.
    bool Execute(std::string_view pattern, std::string_view text, bool caseSensitive = false,
                 bool multiLine = true, bool global = true, bool quotePlaceholder = false);

    std::string GetPattern() const { return m_pattern; }
    // The searched text with each match replaced; "$1", "$&", "$$" and the like as in
    // JavaScript's String.prototype.replace.
    std::string Replace(std::string_view replacement = {}) const;
    int MatchCount() const { return m_matchCount; }
    // Match n (1-based); position receives its 0-based byte offset (-1 when there is none).
    std::string MatchText(int match, long long* position = nullptr) const;
    // Group g (1-based) of match n; an unset group gives empty text and position -1.
    std::string SubMatchText(int match, int group, long long* position = nullptr) const;
    // The number of groups of the first match; 0 when nothing matched.
    int SubMatchCount() const;

  private:
    struct Span {
        std::size_t start;
        std::size_t end;
        bool set() const { return start != kUnset; }
    };
    static constexpr std::size_t kUnset = static_cast<std::size_t>(-1);

    const Span* span(int match, int group) const;
    std::size_t stride() const { return static_cast<std::size_t>(m_groups) + 1; }

    std::string m_pattern;
    std::string m_text;
    bool m_valid = false;
    int m_groups = 0;
    int m_matchCount = 0;
    std::vector<Span> m_spans;  // per match: the whole match, then each group
};

// The pattern in the PCRE2 dialect that gives it its JavaScript meaning (\s as JavaScript's
// white space, "[^]" and "[]" as in JavaScript).
std::string translateJsPattern(std::string_view pattern);

}  // namespace wf
