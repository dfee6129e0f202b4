#include "online/regexobject.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>

#include "platform/codec.h"

namespace wf {
namespace {

// JavaScript's \s also takes the no-break space, the ideographic space and the other Unicode
// spaces; without Unicode properties PCRE2's \s is ASCII only, while \d, \w and \b must stay
// ASCII as they are in JavaScript.
constexpr std::string_view kExtraSpaces =
    "\\u00a0\\u1680\\u2000-\\u200a\\u2028\\u2029\\u202f\\u205f\\u3000\\ufeff";
// Below this size JIT compilation costs more than it saves.
constexpr std::size_t kJitThreshold = 8 * 1024;
constexpr std::string_view kQuotePlaceholder = "#引号";

// Per thread: a match context with a JIT stack large enough for lazy scans over whole pages.
struct MatchResources {
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* stack = nullptr;
    MatchResources() {
        context = pcre2_match_context_create(nullptr);
        stack = pcre2_jit_stack_create(32 * 1024, 64 * 1024 * 1024, nullptr);
        if (context && stack) pcre2_jit_stack_assign(context, nullptr, stack);
    }
    ~MatchResources() {
        pcre2_jit_stack_free(stack);
        pcre2_match_context_free(context);
    }
};

MatchResources& matchResources() {
    thread_local MatchResources resources;
    return resources;
}

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

std::size_t utf8Step(std::string_view text, std::size_t pos) {
    std::size_t next = pos + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    return next;
}

// Whether the character class starting after "[" at pos holds both \s and \S (as in
// "[\s\S]"), which already matches every character.
bool classTakesEverySpace(std::string_view pattern, std::size_t pos) {
    bool lower = false;
    bool upper = false;
    bool first = true;
    for (std::size_t i = pos; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == ']' && !first) break;
        first = false;
        if (c == '\\' && i + 1 < pattern.size()) {
            lower = lower || pattern[i + 1] == 's';
            upper = upper || pattern[i + 1] == 'S';
            ++i;
        }
    }
    return lower && upper;
}

}  // namespace

std::string translateJsPattern(std::string_view pattern) {
    std::string out;
    out.reserve(pattern.size() + 16);
    bool inClass = false;
    bool classStart = false;  // just after "[" or "[^": a "]" here closes an empty class
    bool widenSpaces = true;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size()) {
            char e = pattern[i + 1];
            ++i;
            classStart = false;
            if (e == 's' && !inClass) {
                out += "[\\s";
                out += kExtraSpaces;
                out += ']';
            } else if (e == 'S' && !inClass) {
                out += "[^\\s";
                out += kExtraSpaces;
                out += ']';
            } else if (e == 's' && widenSpaces) {
                out += "\\s";
                out += kExtraSpaces;
            } else {
                out += '\\';
                out += e;
            }
            continue;
        }
        if (inClass) {
            if (c == ']' && !classStart) {
                inClass = false;
            } else if (c == '^' && classStart && out.back() == '[') {
                out += c;
                continue;
            } else if (c == '[') {
                out += "\\[";  // literal in JavaScript; "[:" would start a POSIX class here
                classStart = false;
                continue;
            }
            classStart = false;
            out += c;
            continue;
        }
        if (c == '[') {
            inClass = true;
            classStart = true;
            std::size_t body = i + 1 < pattern.size() && pattern[i + 1] == '^' ? i + 2 : i + 1;
            widenSpaces = !classTakesEverySpace(pattern, body);
        }
        out += c;
    }
    return out;
}

bool RegexObject::Execute(std::string_view pattern, std::string_view text, bool caseSensitive,
                          bool multiLine, bool global, bool quotePlaceholder) {
    m_pattern = quotePlaceholder
                    ? [&] {
                          std::string p;
                          std::size_t start = 0;
                          while (true) {
                              std::size_t at = pattern.find(kQuotePlaceholder, start);
                              p.append(pattern.substr(start, at - start));
                              if (at == std::string_view::npos) break;
                              p += '"';
                              start = at + kQuotePlaceholder.size();
                          }
                          return p;
                      }()
                    : std::string(pattern);
    // Validated once here, so that no match has to check the text again.
    m_text = isValidUtf8(text) ? std::string(text) : sanitizeUtf8(text);
    m_valid = false;
    m_groups = 0;
    m_matchCount = 0;
    m_spans.clear();

    std::string translated = translateJsPattern(m_pattern);
    pcre2_compile_context* compileContext = pcre2_compile_context_create(nullptr);
    if (!compileContext) return false;
    pcre2_set_newline(compileContext, PCRE2_NEWLINE_ANYCRLF);
    uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS |
                       PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY;
    if (!caseSensitive) options |= PCRE2_CASELESS;
    if (multiLine) options |= PCRE2_MULTILINE;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    std::unique_ptr<pcre2_code, CodeDeleter> code(
        pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()), translated.size(), options,
                      &errorCode, &errorOffset, compileContext));
    pcre2_compile_context_free(compileContext);
    if (!code) return false;
    if (m_text.size() >= kJitThreshold) pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);

    uint32_t captures = 0;
    pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captures);
    m_groups = static_cast<int>(captures);
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(code.get(), nullptr));
    if (!data) return false;

    const auto* subject = reinterpret_cast<PCRE2_SPTR>(m_text.data());
    const std::size_t length = m_text.size();
    pcre2_match_context* context = matchResources().context;
    std::size_t offset = 0;
    while (offset <= length) {
        int rc = pcre2_match(code.get(), subject, length, offset, PCRE2_NO_UTF_CHECK, data.get(),
                             context);
        if (rc == PCRE2_ERROR_NOMATCH) break;
        if (rc < 0) {
            // A match limit hit on a hostile pattern or page: no half results.
            m_spans.clear();
            m_matchCount = 0;
            return false;
        }
        const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
        uint32_t pairs = pcre2_get_ovector_count(data.get());
        for (std::size_t g = 0; g < stride(); ++g) {
            if (g < pairs && ovector[2 * g] != PCRE2_UNSET) {
                m_spans.push_back({ovector[2 * g], ovector[2 * g + 1]});
            } else {
                m_spans.push_back({kUnset, kUnset});
            }
        }
        ++m_matchCount;
        if (!global) break;
        std::size_t start = ovector[0];
        std::size_t end = ovector[1];
        if (end > start) {
            offset = end;
        } else {
            // An empty match: the next search starts one character further on.
            std::size_t from = end > start ? end : start;
            if (from >= length) break;
            offset = utf8Step(m_text, from);
        }
    }
    m_valid = true;
    return true;
}

const RegexObject::Span* RegexObject::span(int match, int group) const {
    if (match < 1 || match > m_matchCount || group < 0 || group > m_groups) return nullptr;
    const Span& s =
        m_spans[static_cast<std::size_t>(match - 1) * stride() + static_cast<std::size_t>(group)];
    return s.set() ? &s : nullptr;
}

std::string RegexObject::MatchText(int match, long long* position) const {
    return SubMatchText(match, 0, position);
}

std::string RegexObject::SubMatchText(int match, int group, long long* position) const {
    const Span* s = span(match, group);
    if (position) *position = s ? static_cast<long long>(s->start) : -1;
    if (!s) return {};
    return m_text.substr(s->start, s->end - s->start);
}

int RegexObject::SubMatchCount() const {
    return m_matchCount > 0 ? m_groups : 0;
}

std::string RegexObject::Replace(std::string_view replacement) const {
    if (!m_valid) return {};
    std::string out;
    out.reserve(m_text.size());
    std::size_t copied = 0;
    for (int m = 1; m <= m_matchCount; ++m) {
        const Span& whole = m_spans[static_cast<std::size_t>(m - 1) * stride()];
        out.append(m_text, copied, whole.start - copied);
        for (std::size_t i = 0; i < replacement.size(); ++i) {
            char c = replacement[i];
            if (c != '$' || i + 1 >= replacement.size()) {
                out += c;
                continue;
            }
            char n = replacement[i + 1];
            if (n == '$') {
                out += '$';
                ++i;
            } else if (n == '&') {
                out.append(m_text, whole.start, whole.end - whole.start);
                ++i;
            } else if (n == '`') {
                out.append(m_text, 0, whole.start);
                ++i;
            } else if (n == '\'') {
                out.append(m_text, whole.end, std::string::npos);
                ++i;
            } else if (n >= '0' && n <= '9') {
                // Two digits win when they name a group, then one digit; "$0" stays as it is.
                int one = n - '0';
                int two = -1;
                if (i + 2 < replacement.size() && replacement[i + 2] >= '0' &&
                    replacement[i + 2] <= '9') {
                    two = one * 10 + (replacement[i + 2] - '0');
                }
                int group = 0;
                std::size_t used = 0;
                if (two >= 1 && two <= m_groups) {
                    group = two;
                    used = 2;
                } else if (one >= 1 && one <= m_groups) {
                    group = one;
                    used = 1;
                }
                if (group == 0) {
                    out += '$';
                    continue;
                }
                if (const Span* s = span(m, group)) out.append(m_text, s->start, s->end - s->start);
                i += used;
            } else {
                out += '$';
            }
        }
        copied = whole.end;
    }
    out.append(m_text, copied, std::string::npos);
    return out;
}

}  // namespace wf
