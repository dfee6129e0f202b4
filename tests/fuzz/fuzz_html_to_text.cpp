// Pages from the web through HtmlToText and TidyLines.
#include <cstddef>
#include <cstdint>
#include <string>

#include "online/texthelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string page(reinterpret_cast<const char*>(data), size);
    std::string text = wf::HtmlToText(page);
    wf::TidyLines(text);
    wf::TextBetweenAll(page, "<", ">");
    return 0;
}
