// Text helpers the engines, the import and the game pick pages apart with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wf {

// The text without script and style blocks, tags and entities (entities are dropped, not
// decoded); also written back into text.
std::string HtmlToText(std::string& text);
// Without one leading and one trailing "\r\n" and without blank lines.
std::string TidyLines(std::string_view text);
// Line n (from 1) of the text split at "\r\n"; empty when there is no such line.
std::string LineOfText(std::string_view text, long long n);
// Every trimmed, non-empty piece between a left marker and the next right marker after it.
std::vector<std::string> TextBetweenAll(std::string_view text, std::string_view left,
                                        std::string_view right);

}  // namespace wf
