// Word files: unit files, the study and words files of a list, and collection files all carry
// the same per-word element. This module reads any of them and appends to them.
#pragma once

#include <pugixml.hpp>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/notifier.h"

namespace wf {

struct WordEntry {
    std::string en;
    std::string ch;
    std::string mp3;
    std::string num;  // review count as decimal text; may be empty
    std::string wc;
    std::string sentence;
    std::string entryName;  // the name of the word's own element in its file
    bool operator==(const WordEntry&) const = default;
};

using WordList = std::vector<WordEntry>;

inline constexpr std::string_view kWordFormatMessage = "这份单词格式不正确";

// "2019年3月5日14时2分33秒": the date, then the time down to its last non-zero part.
std::string entryTimestamp(const LocalTime& time);

// An XML document of word entries, kept in memory while it is worked on.
class WordDocument {
public:
    // A new document whose root element is named after the list.
    explicit WordDocument(std::string_view rootName);
    WordDocument(WordDocument&&) = default;
    WordDocument& operator=(WordDocument&&) = default;

    // Parses a file; on failure returns nothing and, when error is given, says why.
    static std::optional<WordDocument> open(const std::filesystem::path& path, std::string* error = nullptr);
    static std::optional<WordDocument> parse(std::string bytes, std::string* error = nullptr);

    // Every child of the root that has both "en" and "ch", in file order.
    WordList entries() const;

    // Appends an entry named "Words" + the timestamp of when; a name that the file already
    // holds gets "_2", "_3", ... so that every entry stays reachable by its name.
    // Study and words files: wc, ch, mp3, en (with num), sentence.
    std::string appendStudyEntry(const WordEntry& word, const LocalTime& when);
    // Collection files: mp3, wc, ch, sentence as CDATA, then en as plain text, no num.
    std::string appendCollectionEntry(const WordEntry& word, const LocalTime& when);

    // Sets attribute num of the en element of the entry with that name.
    bool setReviewCount(std::string_view entryName, std::string_view num);

    // The document in the word-file layout.
    std::string bytes() const;
    bool save(const std::filesystem::path& path) const;

private:
    WordDocument() = default;
    pugi::xml_node appendEntryElement(const LocalTime& when, std::string& name);

    std::unique_ptr<pugi::xml_document> m_doc = std::make_unique<pugi::xml_document>();
    // The file's bytes when it was GB18030, and how many entries it had then: appending to a
    // long file only adds the new entries' bytes instead of writing every entry anew.
    std::string m_source;
    std::size_t m_sourceEntries = 0;
    bool m_changed = false;  // an entry that was read has been changed
};

enum class WordFileError { None, Missing, Unreadable, NoWords };

struct WordFileRead {
    WordList words;
    WordFileError error = WordFileError::None;
    std::string detail;  // why, in English, for logs and the command-line tool
};

WordFileRead readWordFile(const std::filesystem::path& path);

// Replaces list with the words of the file. A file that cannot be parsed leaves list as it was;
// that and a file without words are reported with "这份单词格式不正确". True when words came.
bool loadWordFile(const std::filesystem::path& path, WordList& list, Notifier& notifier);

// The document at path for appending: a new one with a root named className when there is no
// file; when the file cannot be parsed it is kept beside as NAME.unreadable-TIMESTAMP (the user
// is told) and a new one is started; nothing when even that fails.
std::optional<WordDocument> openForAppend(const std::filesystem::path& path, std::string_view className,
                                          const LocalTime& when, Notifier& notifier);

// Appends word to the study or words file at path (a new file gets a root named className).
// A file that exists but cannot be parsed is kept beside it as NAME.unreadable-TIMESTAMP and
// the user is told; then a new document is started. The rewrite is atomic.
bool appendWordEntry(const std::filesystem::path& path, std::string_view className,
                     const WordEntry& word, const LocalTime& when, Notifier& notifier);

// school/collection/<className>.xml
std::filesystem::path collectionFilePath(std::string_view className);

// Adds the word to its list's collection file, with "收藏成功" or " 收藏失败！".
bool collectWord(std::string_view className, const WordEntry& word, const LocalTime& when,
                 Notifier& notifier);

}  // namespace wf
