#include "platform/profile.h"

#include <algorithm>

#include "platform/codec.h"
#include "platform/fileio.h"

namespace wf {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view trim(std::string_view text) {
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isAsciiText(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

ProfileDocument ProfileDocument::parse(std::string_view bytes) {
    ProfileDocument doc;
    if (bytes.substr(0, kBom.size()) == kBom) doc.m_utf8 = true;
    bool eolSeen = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t nl = bytes.find('\n', pos);
        Line line;
        std::string_view text;
        if (nl == std::string_view::npos) {
            text = bytes.substr(pos);
            pos = bytes.size();
        } else {
            text = bytes.substr(pos, nl - pos);
            bool crlf = !text.empty() && text.back() == '\r';
            if (crlf) text.remove_suffix(1);
            line.eol = crlf ? std::string_view("\r\n") : std::string_view("\n");
            pos = nl + 1;
            if (!eolSeen) {
                doc.m_eol = line.eol;
                eolSeen = true;
            }
        }
        line.raw = std::string(text);
        doc.classify(line);
        doc.m_lines.push_back(std::move(line));
    }
    return doc;
}

ProfileDocument ProfileDocument::load(const std::filesystem::path& path) {
    auto bytes = readFileBytes(path);
    return parse(bytes ? std::string_view(*bytes) : std::string_view());
}

void ProfileDocument::classify(Line& line) const {
    std::string_view raw = line.raw;
    if (&line == m_lines.data() || m_lines.empty()) {
        if (raw.substr(0, kBom.size()) == kBom) raw.remove_prefix(kBom.size());
    }
    std::string decoded;
    if (isAsciiText(raw)) {
        decoded = std::string(raw);
    } else {
        decoded = m_utf8 ? sanitizeUtf8(raw) : decodeGb18030Lenient(raw);
    }
    std::string_view text = trim(decoded);
    if (!text.empty() && text.front() == '[') {
        text.remove_prefix(1);
        std::size_t close = text.find(']');
        line.kind = Kind::Section;
        line.name = std::string(trim(text.substr(0, close)));
        return;
    }
    std::size_t eq = text.find('=');
    if (eq != std::string_view::npos) {
        line.kind = Kind::Entry;
        line.name = std::string(trim(text.substr(0, eq)));
        line.value = std::string(trim(text.substr(eq + 1)));
    }
}

ProfileDocument::Line ProfileDocument::makeLine(std::string_view text) const {
    Line line;
    line.raw = encode(text);
    line.eol = m_eol;
    classify(line);
    return line;
}

std::string ProfileDocument::encode(std::string_view text) const {
    return m_utf8 ? std::string(text) : encodeGb18030(text);
}

std::size_t ProfileDocument::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section) ++i;
    return i;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
    bool inSection = false;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section) {
            inSection = equalsIgnoringCase(line.name, section);
        } else if (inSection && line.kind == Kind::Entry && equalsIgnoringCase(line.name, key)) {
            std::string_view v = line.value;
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
                v = v.substr(1, v.size() - 2);
            }
            return std::string(v);
        }
    }
    return std::nullopt;
}

std::vector<std::string> ProfileDocument::sectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : m_lines) {
        if (line.kind != Kind::Section) continue;
        bool known = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return equalsIgnoringCase(n, line.name);
        });
        if (!known) names.push_back(line.name);
    }
    return names;
}

bool ProfileDocument::setValue(std::string_view section, std::string_view key,
                               std::string_view value) {
    section = trim(section);
    key = trim(key);
    // A name that holds a line break, or a bracket or "=" where it would end the name, would be
    // read back as something else or inject lines; such names are refused.
    if (section.empty() || key.empty() || hasLineBreak(section) || hasLineBreak(key) ||
        section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos ||
        key.front() == '[') {
        return false;
    }
    std::string cleanValue(value);
    std::replace_if(cleanValue.begin(), cleanValue.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    std::string entryText = std::string(key) + "=" + cleanValue;

    std::optional<std::size_t> firstHeader;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Kind::Section || !equalsIgnoringCase(m_lines[i].name, section)) continue;
        if (!firstHeader) firstHeader = i;
        std::size_t end = sectionEnd(i);
        for (std::size_t j = i + 1; j < end; ++j) {
            if (m_lines[j].kind == Kind::Entry && equalsIgnoringCase(m_lines[j].name, key)) {
                std::string eol = m_lines[j].eol;
                m_lines[j] = makeLine(entryText);
                m_lines[j].eol = eol;
                return true;
            }
        }
    }
    if (firstHeader) {
        std::size_t end = sectionEnd(*firstHeader);
        std::size_t insertAt = end;
        while (insertAt > *firstHeader + 1 && trim(m_lines[insertAt - 1].raw).empty()) --insertAt;
        Line line = makeLine(entryText);
        if (m_lines[insertAt - 1].eol.empty()) {
            m_lines[insertAt - 1].eol = m_eol;
            line.eol.clear();
        }
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
        return true;
    }
    if (!m_lines.empty() && m_lines.back().eol.empty()) m_lines.back().eol = m_eol;
    std::string header(section);
    header.insert(0, 1, '[');
    header += ']';
    m_lines.push_back(makeLine(header));
    m_lines.push_back(makeLine(entryText));
    return true;
}

void ProfileDocument::removeKey(std::string_view section, std::string_view key) {
    bool inSection = false;
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    for (Line& line : m_lines) {
        if (line.kind == Kind::Section) inSection = equalsIgnoringCase(line.name, section);
        if (inSection && line.kind == Kind::Entry && equalsIgnoringCase(line.name, key)) continue;
        kept.push_back(std::move(line));
    }
    m_lines = std::move(kept);
}

void ProfileDocument::removeSection(std::string_view section) {
    bool inSection = false;
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    for (Line& line : m_lines) {
        if (line.kind == Kind::Section) inSection = equalsIgnoringCase(line.name, section);
        if (!inSection) kept.push_back(std::move(line));
    }
    m_lines = std::move(kept);
}

std::string ProfileDocument::bytes() const {
    std::string out;
    for (const Line& line : m_lines) {
        out += line.raw;
        out += line.eol;
    }
    return out;
}

bool ProfileDocument::save(const std::filesystem::path& path) const {
    return writeFileAtomically(path, bytes());
}

std::optional<std::string> profileRead(const std::filesystem::path& file, std::string_view section,
                                       std::string_view key) {
    auto value = ProfileDocument::load(file).value(section, key);
    if (value) *value = truncateToGb18030Bytes(*value, kProfileValueBuffer - 1);
    return value;
}

bool profileWrite(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  std::string_view value) {
    ProfileDocument doc = ProfileDocument::load(file);
    if (doc.value(section, key) == std::optional<std::string>(std::string(value)) &&
        std::filesystem::exists(file)) {
        return true;
    }
    return doc.setValue(section, key, value) && doc.save(file);
}

bool profileDeleteKey(const std::filesystem::path& file, std::string_view section,
                      std::string_view key) {
    if (!std::filesystem::exists(file)) return true;
    ProfileDocument doc = ProfileDocument::load(file);
    doc.removeKey(section, key);
    return doc.save(file);
}

bool profileDeleteSection(const std::filesystem::path& file, std::string_view section) {
    if (!std::filesystem::exists(file)) return true;
    ProfileDocument doc = ProfileDocument::load(file);
    doc.removeSection(section);
    return doc.save(file);
}

std::vector<std::string> profileSectionNames(const std::filesystem::path& file) {
    std::vector<std::string> names = ProfileDocument::load(file).sectionNames();
    // The names come in one buffer, each closed by a zero, the list by another zero.
    std::size_t used = 1;
    std::size_t fit = 0;
    while (fit < names.size()) {
        std::size_t need = gb18030Length(names[fit]) + 1;
        if (used + need > kProfileSectionNamesBuffer) break;
        used += need;
        ++fit;
    }
    names.resize(fit);
    return names;
}

}  // namespace wf
