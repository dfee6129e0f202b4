// Whole-file reads and crash-safe rewrites.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace wf {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// Writes bytes to a temporary file in the same folder and renames it over path, so a crash
// leaves the old file or the new one, never half of one. Returns false on any failure, in
// which case the old file is untouched.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Keeps an unreadable file beside its path as NAME.unreadable-TIMESTAMP (renamed, not copied)
// and returns the new path, or nothing when it could not be moved.
std::optional<std::filesystem::path> keepUnreadableFile(const std::filesystem::path& path,
                                                        std::string_view timestamp);

}  // namespace wf
