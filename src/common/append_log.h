// A log that grows by whole lines and keeps every line it took: each append
// reaches the disk before it returns, and one the disk cannot take whole (a
// full disk, a size limit) is taken back, so the file always ends at the end
// of a line. A line cut short by a program killed while writing is removed when
// the log is opened again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kolm::common {

class AppendLog {
 public:
  // Opens `path` for appending, creating it; a folder, a device or a pipe is
  // refused. Empty, with the reason naming the file in `error`, when it cannot
  // be opened.
  static std::optional<AppendLog> open(const std::filesystem::path& path, std::string* error);
  AppendLog(AppendLog&& other) noexcept;
  AppendLog& operator=(AppendLog&& other) = delete;
  AppendLog(const AppendLog&) = delete;
  ~AppendLog();

  // Bytes of a cut last line removed on opening (0 for a whole file).
  uint64_t cutBytes() const { return cut_; }
  // The file held nothing when opened.
  bool fresh() const { return fresh_; }
  // Appends `lines` (whole lines, each ending in '\n') and brings them to the
  // disk. False, with the reason naming the file, when they could not all be
  // kept: the file is then as it was before the call.
  bool append(std::string_view lines, std::string* error);

 private:
  AppendLog(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
  int fd_ = -1;
  std::filesystem::path path_;
  uint64_t cut_ = 0;
  bool fresh_ = false;
};

}  // namespace kolm::common
