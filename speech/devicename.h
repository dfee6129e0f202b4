// How the device-name exports fill the caller's buffer: the length of the whole name when there
// is no buffer, else as much of it as fits with its terminator.
#pragma once

#include <cstdint>
#include <string_view>

namespace wf {

// UTF-16: the name's length in units without a buffer; otherwise the units copied.
std::int32_t copyDeviceNameW(std::u16string_view name, char16_t* dst, std::int32_t count);
// GB18030: the bytes of the name with its terminator without a buffer; otherwise the bytes
// copied, never cutting a character.
std::int32_t copyDeviceNameA(std::u16string_view name, char* dst, std::int32_t len);

}  // namespace wf
