#include "vocab/wordfile.h"

#include <cstring>
#include <system_error>

#include "app/programfolder.h"
#include "platform/fileio.h"
#include "platform/wordxml.h"

namespace wf {
namespace {

bool hasElementNamed(const pugi::xml_node& parent, const std::string& name) {
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() == pugi::node_element && name == child.name()) return true;
    }
    return false;
}

void appendCdata(pugi::xml_node parent, const char* name, std::string_view value) {
    setElementValue(parent.append_child(name), value, true);
}

// Keeps an unreadable file out of the way so that a new document can take its place.
bool setAsideUnreadable(const std::filesystem::path& path, const std::string& reason,
                        const LocalTime& when, Notifier& notifier) {
    auto kept = keepUnreadableFile(path, fileStamp(when));
    if (!kept) {
        notifier.notify("单词文件 " + path.filename().string() + " 无法读取，也无法另存，这次的记录没有保存。",
                        Icon::Error);
        return false;
    }
    notifier.notify("单词文件 " + path.filename().string() + " 无法读取（" + reason + "），已原样保留为 " +
                        kept->filename().string() + "，新的记录将写入新文件。",
                    Icon::Warning);
    return true;
}

}  // namespace

std::optional<WordDocument> openForAppend(const std::filesystem::path& path, std::string_view className,
                                          const LocalTime& when, Notifier& notifier) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (std::filesystem::exists(path, ec)) {
        std::string why;
        if (auto doc = WordDocument::open(path, &why)) return doc;
        if (!setAsideUnreadable(path, why, when, notifier)) return std::nullopt;
    }
    return WordDocument(className);
}

std::string entryTimestamp(const LocalTime& t) {
    std::string stamp = std::to_string(t.year) + "年" + std::to_string(t.month) + "月" +
                        std::to_string(t.day) + "日";
    if (t.second != 0) {
        stamp += std::to_string(t.hour) + "时" + std::to_string(t.minute) + "分" +
                 std::to_string(t.second) + "秒";
    } else if (t.minute != 0) {
        stamp += std::to_string(t.hour) + "时" + std::to_string(t.minute) + "分";
    } else if (t.hour != 0) {
        stamp += std::to_string(t.hour) + "时";
    }
    return stamp;
}

WordDocument::WordDocument(std::string_view rootName) {
    m_doc->append_child(xmlElementName(rootName).c_str());
}

std::optional<WordDocument> WordDocument::open(const std::filesystem::path& path, std::string* error) {
    auto bytes = readFileBytes(path);
    if (!bytes) {
        if (error) *error = "cannot read " + path.string();
        return std::nullopt;
    }
    return parse(std::move(*bytes), error);
}

std::optional<WordDocument> WordDocument::parse(std::string bytes, std::string* error) {
    WordDocument doc;
    XmlParseResult result = parseXml(bytes, *doc.m_doc);
    if (!result.ok) {
        if (error) *error = result.error;
        return std::nullopt;
    }
    if (result.gb18030) {
        doc.m_source = std::move(bytes);
        for (const pugi::xml_node& child : doc.m_doc->document_element().children()) {
            if (child.type() == pugi::node_element) ++doc.m_sourceEntries;
        }
    }
    return doc;
}

WordList WordDocument::entries() const {
    WordList list;
    pugi::xml_node root = m_doc->document_element();
    // Children are visited one by one rather than looked up by name, so that entries that
    // share a name (written elsewhere within one second) all count.
    for (const pugi::xml_node& child : root.children()) {
        if (child.type() != pugi::node_element) continue;
        // One pass over the entry's children; the first child of each name counts.
        pugi::xml_node en, ch, mp3, wc, sentence;
        for (const pugi::xml_node& field : child.children()) {
            const char* name = field.name();
            pugi::xml_node* slot = std::strcmp(name, "en") == 0         ? &en
                                   : std::strcmp(name, "ch") == 0       ? &ch
                                   : std::strcmp(name, "mp3") == 0      ? &mp3
                                   : std::strcmp(name, "wc") == 0       ? &wc
                                   : std::strcmp(name, "sentence") == 0 ? &sentence
                                                                        : nullptr;
            if (slot && !*slot && field.type() == pugi::node_element) *slot = field;
        }
        if (!en || !ch) continue;
        WordEntry entry;
        entry.en = elementText(en);
        entry.ch = elementText(ch);
        entry.mp3 = elementText(mp3);
        entry.wc = elementText(wc);
        entry.sentence = elementText(sentence);
        entry.num = en.attribute("num").value();
        entry.entryName = child.name();
        list.push_back(std::move(entry));
    }
    return list;
}

pugi::xml_node WordDocument::appendEntryElement(const LocalTime& when, std::string& name) {
    pugi::xml_node root = m_doc->document_element();
    std::string base = "Words" + entryTimestamp(when);
    name = base;
    for (int n = 2; hasElementNamed(root, name); ++n) name = base + "_" + std::to_string(n);
    return root.append_child(name.c_str());
}

std::string WordDocument::appendStudyEntry(const WordEntry& word, const LocalTime& when) {
    std::string name;
    pugi::xml_node entry = appendEntryElement(when, name);
    appendCdata(entry, "wc", word.wc);
    appendCdata(entry, "ch", word.ch);
    appendCdata(entry, "mp3", word.mp3);
    pugi::xml_node en = entry.append_child("en");
    setElementValue(en, word.en, true);
    appendCdata(entry, "sentence", word.sentence);
    en.append_attribute("num") = word.num.c_str();
    return name;
}

std::string WordDocument::appendCollectionEntry(const WordEntry& word, const LocalTime& when) {
    std::string name;
    pugi::xml_node entry = appendEntryElement(when, name);
    appendCdata(entry, "mp3", word.mp3);
    appendCdata(entry, "wc", word.wc);
    appendCdata(entry, "ch", word.ch);
    appendCdata(entry, "sentence", word.sentence);
    setElementValue(entry.append_child("en"), word.en, false);
    return name;
}

bool WordDocument::setReviewCount(std::string_view entryName, std::string_view num) {
    pugi::xml_node root = m_doc->document_element();
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element || entryName != child.name()) continue;
        pugi::xml_node en = child.child("en");
        if (!en) return false;
        pugi::xml_attribute attr = en.attribute("num");
        if (!attr) attr = en.append_attribute("num");
        attr.set_value(std::string(num).c_str());
        m_changed = true;
        return true;
    }
    return false;
}

std::string WordDocument::bytes() const {
    // A file in this layout ends with a line break and the root's end tag; what was appended
    // goes in front of them and the rest of the file stays as it was.
    pugi::xml_node root = m_doc->document_element();
    std::string tail = "\r\n" + xmlEndTag(root);
    if (m_changed || m_source.size() < tail.size() ||
        m_source.compare(m_source.size() - tail.size(), tail.size(), tail) != 0) {
        return writeXml(*m_doc);
    }
    std::string out = m_source.substr(0, m_source.size() - tail.size());
    std::size_t index = 0;
    for (const pugi::xml_node& child : root.children()) {
        if (child.type() == pugi::node_element && index++ >= m_sourceEntries) out += writeXmlElement(child, 1);
    }
    out += tail;
    return out;
}

bool WordDocument::save(const std::filesystem::path& path) const {
    return writeFileAtomically(path, bytes());
}

WordFileRead readWordFile(const std::filesystem::path& path) {
    WordFileRead read;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        read.error = WordFileError::Missing;
        read.detail = "no such file: " + path.string();
        return read;
    }
    std::string why;
    auto doc = WordDocument::open(path, &why);
    if (!doc) {
        read.error = WordFileError::Unreadable;
        read.detail = path.string() + ": " + why;
        return read;
    }
    read.words = doc->entries();
    if (read.words.empty()) {
        read.error = WordFileError::NoWords;
        read.detail = path.string() + ": no entry with both en and ch";
    }
    return read;
}

bool loadWordFile(const std::filesystem::path& path, WordList& list, Notifier& notifier) {
    WordFileRead read = readWordFile(path);
    if (read.error == WordFileError::Missing || read.error == WordFileError::Unreadable) {
        notifier.notify(kWordFormatMessage, Icon::Warning);
        return false;
    }
    list = std::move(read.words);
    if (list.empty()) notifier.notify(kWordFormatMessage, Icon::Warning);
    return !list.empty();
}

bool appendWordEntry(const std::filesystem::path& path, std::string_view className,
                     const WordEntry& word, const LocalTime& when, Notifier& notifier) {
    auto doc = openForAppend(path, className, when, notifier);
    if (!doc) return false;
    doc->appendStudyEntry(word, when);
    return doc->save(path);
}

std::filesystem::path collectionFilePath(std::string_view className) {
    return programFolder() / "school" / "collection" / (std::string(className) + ".xml");
}

bool collectWord(std::string_view className, const WordEntry& word, const LocalTime& when,
                 Notifier& notifier) {
    std::filesystem::path path = collectionFilePath(className);
    auto doc = openForAppend(path, className, when, notifier);
    if (!doc) {
        notifier.notify(" 收藏失败！", Icon::Warning);
        return false;
    }
    doc->appendCollectionEntry(word, when);
    bool saved = doc->save(path);
    if (saved) {
        notifier.notify("收藏成功", Icon::Information);
    } else {
        notifier.notify(" 收藏失败！", Icon::Warning);
    }
    return saved;
}

}  // namespace wf
