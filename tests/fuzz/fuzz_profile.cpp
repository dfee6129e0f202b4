// Any bytes as sc.ini: reading and editing never crash, and an edit keeps the lines it did not
// touch.
#include <cstdint>
#include <string_view>

#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    wf::ProfileDocument doc = wf::ProfileDocument::parse(bytes);
    if (doc.bytes() != bytes) __builtin_trap();  // parsing alone changes nothing
    for (const std::string& name : doc.sectionNames()) {
        (void)doc.value(name, "class");
    }
    if (doc.setValue("settings", "default", "用户")) {
        if (doc.value("settings", "default") != std::optional<std::string>("用户"))
            __builtin_trap();
    }
    doc.removeKey("settings", "default");
    doc.removeSection("settings");
    if (doc.value("settings", "default")) __builtin_trap();
    return 0;
}
