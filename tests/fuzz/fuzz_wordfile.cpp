// Any bytes as a word file: reading never crashes, and what is read survives a rewrite.
#include <cstdint>
#include <string_view>

#include "vocab/wordfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto doc = wf::WordDocument::parse(bytes);
    if (!doc) return 0;
    wf::WordList before = doc->entries();
    auto again = wf::WordDocument::parse(doc->bytes());
    if (!again) __builtin_trap();
    wf::WordList after = again->entries();
    if (after.size() != before.size()) __builtin_trap();
    for (std::size_t i = 0; i < before.size(); ++i) {
        // Names and texts that the writer must turn into entities or split CDATA for.
        if (after[i].en != before[i].en || after[i].sentence != before[i].sentence)
            __builtin_trap();
    }
    return 0;
}
