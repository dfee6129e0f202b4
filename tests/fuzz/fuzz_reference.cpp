// Any bytes as a reference data file: every record has two fields without the separator.
#include <cstdint>
#include <string_view>

#include "vocab/referencedata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const wf::ReferenceRecord& r : wf::parseReferenceRecords(bytes)) {
        if (r.field1.find("---") != std::string::npos) __builtin_trap();
        if (r.field1.find('\n') != std::string::npos || r.field2.find('\n') != std::string::npos)
            __builtin_trap();
    }
    return 0;
}
