// Profile (INI) files with the semantics of the Windows profile functions: section and key
// names compare without regard to ASCII letter case, one key is read or written per call, the
// file is read afresh each time, a missing file reads as empty, and a write rewrites the file
// atomically while keeping every other line byte for byte.
//
// Text is GB18030 on disk; a file that starts with a UTF-8 byte order mark is read and written
// as UTF-8 instead, so a file saved by a UTF-8 editor keeps working.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

class ProfileDocument {
public:
    static ProfileDocument parse(std::string_view bytes);
    // The document of the file; an empty document when the file is missing or unreadable.
    static ProfileDocument load(const std::filesystem::path& path);

    // The value of the first occurrence of key in any section named section (duplicate
    // sections are searched in file order), trimmed and with one pair of enclosing quotes
    // removed, or nothing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::vector<std::string> sectionNames() const;  // file order, each name once

    // Edits; they return false when a name cannot be stored without corrupting the file.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    void removeKey(std::string_view section, std::string_view key);
    void removeSection(std::string_view section);

    std::string bytes() const;
    bool save(const std::filesystem::path& path) const;

private:
    enum class Kind { Other, Section, Entry };
    struct Line {
        std::string raw;  // the line's bytes as in the file, without its line ending
        std::string eol;  // "\r\n", "\n" or empty for a last line without a line break
        Kind kind = Kind::Other;
        std::string name;   // section name or key, decoded and trimmed
        std::string value;  // entry value, decoded and trimmed
    };

    Line makeLine(std::string_view text) const;
    void classify(Line& line) const;
    std::string encode(std::string_view text) const;
    // Index of the line after the section header at index, up to the next section header.
    std::size_t sectionEnd(std::size_t header) const;

    std::vector<Line> m_lines;
    bool m_utf8 = false;  // started with a UTF-8 byte order mark
    std::string m_eol = "\r\n";
};

// The value read by the Windows profile functions is cut to fit a buffer of this many bytes
// including the terminating zero.
inline constexpr std::size_t kProfileValueBuffer = 10240;
inline constexpr std::size_t kProfileSectionNamesBuffer = 204800;

bool equalsIgnoringCase(std::string_view a, std::string_view b);

// One call, one fresh read or rewrite of the file.
std::optional<std::string> profileRead(const std::filesystem::path& file, std::string_view section,
                                       std::string_view key);
bool profileWrite(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  std::string_view value);
bool profileDeleteKey(const std::filesystem::path& file, std::string_view section,
                      std::string_view key);
bool profileDeleteSection(const std::filesystem::path& file, std::string_view section);
std::vector<std::string> profileSectionNames(const std::filesystem::path& file);

}  // namespace wf
