// Whole-file reading and atomic writing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kolm::common {

// The whole file, or empty when it cannot be opened or read.
std::optional<std::string> readTextFile(const std::filesystem::path& path);

// Writes `content` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`: a failure never leaves a half-written file where a good
// one stood. On failure returns false and, when `error` is given, says why.
bool writeFileAtomic(const std::filesystem::path& path, std::string_view content,
                     std::string* error = nullptr);

}  // namespace kolm::common
