// Any bytes as a word file: reading never crashes, what is read survives a rewrite, and an
// appended entry comes back after every entry that was there.
#include <cstdint>
#include <string_view>

#include "vocab/wordfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    auto doc = wf::WordDocument::parse(bytes);
    if (!doc) return 0;
    wf::WordList before = doc->entries();
    auto again = wf::WordDocument::parse(doc->bytes());
    if (!again) __builtin_trap();
    wf::WordList after = again->entries();
    if (after.size() != before.size()) __builtin_trap();
    for (std::size_t i = 0; i < before.size(); ++i) {
        // Names and texts that the writer must turn into entities or split CDATA for.
        if (after[i].en != before[i].en || after[i].sentence != before[i].sentence) __builtin_trap();
    }

    wf::WordEntry word;
    word.en = "appended ]]> & <x>";
    word.ch = "追加";
    word.num = "1";
    doc->appendStudyEntry(word, {2026, 12, 11, 9, 0, 1});
    auto appended = wf::WordDocument::parse(doc->bytes());
    if (!appended) __builtin_trap();
    wf::WordList grown = appended->entries();
    if (grown.size() != before.size() + 1 || grown.back().en != word.en) __builtin_trap();
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (grown[i].en != before[i].en || grown[i].ch != before[i].ch) __builtin_trap();
    }
    return 0;
}
