// The word-class step of word-list registration: part-of-speech marks such as "n." or "adj." are
// taken out of a line or a meaning and recorded as the word's class, and a line of a learner's
// own list is split into its English word and its Chinese meaning.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vocab/referencedata.h"

namespace wf {

enum class WordClassRule {
    // A learner's own list: keys are found and removed with letter case, and the label is added.
    CustomImport,
    // A built-in list: a key is found ignoring letter case, removed with letter case, and
    // key + "-" + label is added.
    BuiltInList,
};

// Removes every occurrence of every key found in text, in table order, and returns the
// additions of the found keys concatenated without separators.
std::string extractWordClasses(std::string& text, const std::vector<WordClass>& table,
                               WordClassRule rule);

// Full-width letters, digits and punctuation (U+FF01..U+FF5E) become ASCII and the ideographic
// space becomes a space; everything else stays.
std::string toHalfWidth(std::string_view utf8);

struct CustomLineWords {
    std::string en;
    std::string ch;
    std::string wc;
    bool needsEnglish = false;  // only Chinese on the line: the English word must be looked up
    // Only English on the line: the meaning must be looked up, and the word classes taken out
    // of the meaning found (CustomImport rule, labels appended to wc).
    bool needsMeaning = false;
};

// Splits one line of a learner's list, such as "apple n. 苹果" or "苹果 apple": trims spaces,
// makes full-width characters half-width, takes the word classes out, and cuts the line where
// the script changes. A blank line gives empty texts and needs nothing.
CustomLineWords splitCustomLine(std::string_view line, const std::vector<WordClass>& table);

}  // namespace wf
