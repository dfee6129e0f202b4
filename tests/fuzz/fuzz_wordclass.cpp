// Any bytes as one line of a learner's list: the split never breaks a character and gives word
// and meaning without surrounding blanks.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/codec.h"
#include "vocab/wordclass.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<wf::WordClass> table = {
        {"pron.", "代词"}, {"adj.", "形容词"}, {"adv.", "副词"}, {"vt.", "及物动词"},
        {"n.", "名词"},    {"v.", "动词"},     {"a.", "形容词"}, {"", "空"},
    };
    std::string line =
        wf::decodeGb18030Lenient(std::string_view(reinterpret_cast<const char*>(data), size));
    wf::CustomLineWords words = wf::splitCustomLine(line, table);
    for (const std::string* text : {&words.en, &words.ch, &words.wc}) {
        if (!wf::isValidUtf8(*text)) __builtin_trap();
    }
    for (const std::string* text : {&words.en, &words.ch}) {
        if (!text->empty() && (text->front() == ' ' || text->back() == ' ')) __builtin_trap();
    }
    if (words.needsEnglish && !words.en.empty()) __builtin_trap();
    if (words.needsMeaning && !words.ch.empty()) __builtin_trap();
    return 0;
}
