// Server answers through JsonObject: parsing, then the readers the dictionary engines use.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "online/jsonobject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    wf::JsonObject json;
    if (!json.Parse(text)) return 0;
    json.Stringify();
    std::vector<std::string> keys;
    json.Keys(keys);
    for (const std::string& key : keys) {
        json.GetText("[\"" + key + "\"]");
        json.TypeOf("[\"" + key + "\"]");
        json.Count("[\"" + key + "\"]");
    }
    json.GetText("symbols[0].parts");
    json.GetObject("[0]").Stringify();
    return 0;
}
