#include "speech/devicename.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/codec.h"

namespace wf {

namespace {
constexpr std::size_t kAnsiNameBuffer = 260;
}

std::int32_t copyDeviceNameW(std::u16string_view name, char16_t* dst, std::int32_t count) {
    const auto length = static_cast<std::int32_t>(name.size());
    if (!dst || count <= 0) return length;
    const std::int32_t copied = std::min(length, count - 1);
    std::copy_n(name.begin(), copied, dst);
    dst[copied] = 0;
    return copied;
}

std::int32_t copyDeviceNameA(std::u16string_view name, char* dst, std::int32_t len) {
    const std::string utf8 = truncateToGb18030Bytes(utf16ToUtf8(name), kAnsiNameBuffer - 1);
    const std::string ansi = encodeGb18030(utf8);
    const auto bytes = static_cast<std::int32_t>(ansi.size()) + 1;  // with its terminator
    if (!dst || len <= 0) return bytes;
    const std::string fitted =
        len >= bytes
            ? ansi
            : encodeGb18030(truncateToGb18030Bytes(utf8, static_cast<std::size_t>(len - 1)));
    std::memcpy(dst, fitted.data(), fitted.size());
    dst[fitted.size()] = '\0';
    return static_cast<std::int32_t>(fitted.size());
}

}  // namespace wf
