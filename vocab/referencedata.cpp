#include "vocab/referencedata.h"

#include "app/programfolder.h"
#include "platform/codec.h"
#include "platform/fileio.h"

namespace wf {
namespace {

constexpr std::string_view kSeparator = "---";

std::vector<ReferenceRecord> readRecords(const char* name, bool* exists = nullptr) {
    auto bytes = readFileBytes(programFolder() / "data" / name);
    if (exists) *exists = bytes.has_value();
    if (!bytes) return {};
    return parseReferenceRecords(*bytes);
}

}  // namespace

std::vector<ReferenceRecord> parseReferenceRecords(std::string_view bytes) {
    std::string text = decodeGb18030Lenient(untilNul(bytes));
    std::vector<ReferenceRecord> records;
    std::string_view rest = text;
    while (!rest.empty()) {
        std::size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::vector<std::string_view> parts;
        std::size_t start = 0;
        for (;;) {
            std::size_t at = line.find(kSeparator, start);
            if (at == std::string_view::npos) {
                parts.push_back(line.substr(start));
                break;
            }
            parts.push_back(line.substr(start, at - start));
            start = at + kSeparator.size();
        }
        if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
        if (parts.size() == 2) records.push_back({std::string(parts[0]), std::string(parts[1])});
    }
    return records;
}

std::vector<WordListSource> loadWordLists() {
    std::vector<WordListSource> lists;
    for (ReferenceRecord& r : readRecords("address.dat")) {
        lists.push_back({std::move(r.field1), std::move(r.field2)});
    }
    return lists;
}

std::vector<WordClass> loadWordClasses(Notifier& notifier) {
    std::vector<WordClass> classes;
    for (ReferenceRecord& r : readRecords("word class.dat")) {
        classes.push_back({std::move(r.field1), std::move(r.field2)});
    }
    if (classes.empty()) notifier.notify("词类数据丢失", Icon::Information);
    return classes;
}

WordList loadMixedLibrary(Notifier& notifier) {
    bool exists = false;
    std::vector<ReferenceRecord> records = readRecords("tt.dat", &exists);
    if (!exists) notifier.notify("混合词库丢失", Icon::Information);
    WordList library;
    library.reserve(records.size());
    for (ReferenceRecord& r : records) {
        WordEntry entry;
        entry.en = std::move(r.field1);
        entry.ch = std::move(r.field2);
        library.push_back(std::move(entry));
    }
    return library;
}

}  // namespace wf
