#include "platform/notifier.h"

#include <cstdio>

namespace wf {

void StderrNotifier::notify(std::string_view text, std::string_view title, Icon icon) {
    const char* kind = icon == Icon::Error ? "error" : icon == Icon::Warning ? "warning" : "note";
    std::fprintf(stderr, "%s: %.*s\n", kind, static_cast<int>(text.size()), text.data());
}

}  // namespace wf
