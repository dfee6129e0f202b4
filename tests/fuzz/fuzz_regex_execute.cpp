// RegexObject: the first line is the pattern, the rest the text it runs over.
#include <cstddef>
#include <cstdint>
#include <string>

#include "online/regexobject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t newline = input.find('\n');
    std::string pattern = input.substr(0, newline);
    std::string text = newline == std::string::npos ? "" : input.substr(newline + 1);
    wf::RegexObject regex;
    if (regex.Execute(pattern, text)) {
        regex.Replace("<$1|$&|$$>");
        for (int m = 1; m <= regex.MatchCount() && m <= 3; ++m) regex.SubMatchText(m, 1);
    }
    return 0;
}
