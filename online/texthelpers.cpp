#include "online/texthelpers.h"

#include "online/regexobject.h"
#include "online/webpageaccess.h"

namespace wf {

std::string HtmlToText(std::string& text) {
    RegexObject regex;
    if (regex.Execute(R"(<script[\s\S]*?</script>|<style[\s\S]*?</style>|<[^>]+>|&.{1,8};)",
                      text)) {
        text = regex.Replace();
    } else {
        text.clear();
    }
    return text;
}

std::string TidyLines(std::string_view text) {
    if (text.substr(0, 2) == "\r\n") text.remove_prefix(2);
    if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") text.remove_suffix(2);
    RegexObject regex;
    if (!regex.Execute(R"(\n\s*\r)", text)) return std::string(text);
    return regex.Replace();
}

std::string LineOfText(std::string_view text, long long n) {
    std::vector<std::string> lines = splitText(text, "\r\n");
    if (n < 1 || n > static_cast<long long>(lines.size())) return {};
    return lines[static_cast<std::size_t>(n - 1)];
}

std::vector<std::string> TextBetweenAll(std::string_view text, std::string_view left,
                                        std::string_view right) {
    std::vector<std::string> pieces;
    if (left.empty() || right.empty()) return pieces;
    std::size_t pos = 0;
    while (true) {
        std::size_t l = text.find(left, pos);
        if (l == std::string_view::npos) break;
        std::size_t from = l + left.size();
        std::size_t r = text.find(right, from);
        if (r == std::string_view::npos) break;
        std::string piece = trimBlanks(text.substr(from, r - from));
        if (!piece.empty()) pieces.push_back(std::move(piece));
        pos = r;
    }
    return pieces;
}

}  // namespace wf
