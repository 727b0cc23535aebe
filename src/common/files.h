// Whole-file reading with a size limit per kind of file, and atomic writing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kolm::common {

// The largest file each kind of reader takes. Settings files hold a few short
// records; a chart file at most 40005 numbers; a Touchstone file a few MB.
inline constexpr uint64_t kSettingsFileLimit = 64u << 10;  // dds.cfg, *.ini, sim.cfg, band buttons
inline constexpr uint64_t kTableFileLimit = 1u << 20;      // memories, level.rif, Quartz.rif
inline constexpr uint64_t kChartFileLimit = 8u << 20;      // .pwm, .vna, .vec
inline constexpr uint64_t kTouchstoneFileLimit = 8u << 20;

enum class ReadFault { None, Missing, NotRegular, TooLarge, Unreadable };

struct FileRead {
  std::optional<std::string> content;
  ReadFault fault = ReadFault::None;
  std::string error;  // names the file and says why it was not read
};

// The system's words for an errno value.
std::string systemErrorText(int error);

// The whole file, checked before it is read: a folder, a device, a pipe or a
// file larger than `limit` bytes is refused at once (nothing waits on a pipe or
// reads an endless device). A link to a file that does not exist is not
// Missing: it is Unreadable, and says where it points.
FileRead readFile(const std::filesystem::path& path, uint64_t limit);

// The same when only the content matters (settings readers stop silently).
std::optional<std::string> readTextFile(const std::filesystem::path& path,
                                        uint64_t limit = kChartFileLimit);

// Where a file named `path` is written: the file a symbolic link (or a chain of
// them) points to, the link itself kept; `path` when it is no link.
std::filesystem::path writtenTarget(const std::filesystem::path& path);

// Writes `content` beside `path` and moves it into place in one step: a failure
// never leaves a half-written file where a good one stood, and no temporary file
// is left behind (on Linux the data goes to an unnamed file that is linked in
// only once complete; temporary files an interrupted save of the same target
// left are removed). A `path` that is a symbolic link is written through: its
// target is replaced, beside itself, and the link stays. On failure returns
// false and, when `error` is given, says why, naming the file.
bool writeFileAtomic(const std::filesystem::path& path, std::string_view content,
                     std::string* error = nullptr);

// Why an output cannot be written where `path` says, checked before any work:
// the folder is missing or not writable, the target is a folder, or (for a file
// replaced whole by writeFileAtomic) the target exists and is no regular file,
// or the name cannot be a file (too long, a loop of links).
// An appended output (a trace) may also be a device or a pipe. Empty when it
// can be written.
enum class OutputKind { Replaced, Appended };
std::string outputTargetProblem(const std::filesystem::path& path, OutputKind kind);

// An advisory lock between programs over a read-change-write of a file that is
// replaced whole (a row added to a shared table): taken on the folder that
// holds `file` (the target of a link), so that it holds across the rename. The
// constructor waits while another program holds it; released when destroyed.
// Without locks on the folder's file system nothing is held, and nothing waits.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& file);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace kolm::common
