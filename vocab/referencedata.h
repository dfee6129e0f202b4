// The reference data that ships in data/: built-in word lists, word classes and the mixed word
// library. Each file is GB18030 text of "field 1---field 2" lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/notifier.h"
#include "vocab/wordfile.h"

namespace wf {

struct ReferenceRecord {
    std::string field1;
    std::string field2;
    bool operator==(const ReferenceRecord&) const = default;
};

// Splits text into lines (CR LF, or a bare LF) and keeps the lines that split at "---" into
// exactly two parts; an empty part after the last separator does not count.
std::vector<ReferenceRecord> parseReferenceRecords(std::string_view bytes);

struct WordListSource {
    std::string name;           // shown to the learner; the list's folder name
    std::string addressPrefix;  // page U is this prefix followed by U
};

struct WordClass {
    std::string key;    // the mark to look for, such as "adj."
    std::string label;  // what is recorded for it
};

// data/address.dat; missing or empty gives an empty table, silently.
std::vector<WordListSource> loadWordLists();
// data/word class.dat; no record at all is reported with "词类数据丢失".
std::vector<WordClass> loadWordClasses(Notifier& notifier);
// data/tt.dat as entries with en and ch; a missing file is reported with "混合词库丢失".
WordList loadMixedLibrary(Notifier& notifier);

}  // namespace wf
