#include "common/append_log.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "common/files.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kolm::common {

namespace {

#ifdef _WIN32
using Offset = __int64;
int openFile(const std::filesystem::path& p) {
  return ::_wopen(p.c_str(), _O_RDWR | _O_CREAT | _O_BINARY, _S_IREAD | _S_IWRITE);
}
Offset endOf(int fd) { return ::_lseeki64(fd, 0, SEEK_END); }
long long readAt(int fd, char* buf, unsigned n, Offset at) {
  if (::_lseeki64(fd, at, SEEK_SET) != at) return -1;
  return ::_read(fd, buf, n);
}
long long writeSome(int fd, const char* buf, size_t n) {
  return ::_write(fd, buf, static_cast<unsigned>(n > (1u << 30) ? (1u << 30) : n));
}
bool cutTo(int fd, Offset size) { return ::_chsize_s(fd, size) == 0; }
bool toDisk(int fd) { return ::_commit(fd) == 0; }
void closeFile(int fd) { ::_close(fd); }
#else
using Offset = off_t;
int openFile(const std::filesystem::path& p) {
  return ::open(p.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
}
Offset endOf(int fd) { return ::lseek(fd, 0, SEEK_END); }
long long readAt(int fd, char* buf, unsigned n, Offset at) { return ::pread(fd, buf, n, at); }
long long writeSome(int fd, const char* buf, size_t n) { return ::write(fd, buf, n); }
bool cutTo(int fd, Offset size) { return ::ftruncate(fd, size) == 0; }
bool toDisk(int fd) { return ::fdatasync(fd) == 0; }
void closeFile(int fd) { ::close(fd); }
#endif

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

}  // namespace

std::optional<AppendLog> AppendLog::open(const std::filesystem::path& path, std::string* error) {
  auto fail = [&](std::string why) -> std::optional<AppendLog> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
    return fail(quoted(path) + " is not a regular file: a log is kept in a file.");
  const int fd = openFile(path);
  if (fd < 0) return fail(quoted(path) + " cannot be opened: " + systemErrorText(errno));
  AppendLog log(fd, path);
  const Offset end = endOf(fd);
  if (end < 0) return fail(quoted(path) + " cannot be read: " + systemErrorText(errno));
  log.fresh_ = end == 0;
  // Back from the end to the last line end: what follows it was cut short.
  Offset keep = end;
  char buf[4096];
  while (keep > 0) {
    const Offset from = keep > static_cast<Offset>(sizeof buf) ? keep - sizeof buf : 0;
    const long long got = readAt(fd, buf, static_cast<unsigned>(keep - from), from);
    if (got != keep - from)
      return fail(quoted(path) + " cannot be read: " + systemErrorText(errno));
    Offset i = keep - from;
    while (i > 0 && buf[i - 1] != '\n') --i;
    if (i > 0) {
      keep = from + i;
      break;
    }
    keep = from;
  }
  if (keep != end) {
    if (!cutTo(fd, keep) || !toDisk(fd))
      return fail(quoted(path) + " cannot be written: " + systemErrorText(errno));
    log.cut_ = static_cast<uint64_t>(end - keep);
  }
  return log;
}

AppendLog::AppendLog(AppendLog&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      cut_(other.cut_),
      fresh_(other.fresh_) {}

AppendLog::~AppendLog() {
  if (fd_ >= 0) closeFile(fd_);
}

bool AppendLog::append(std::string_view lines, std::string* error) {
  const Offset before = endOf(fd_);
  size_t done = 0;
  int why = 0;
  while (before >= 0 && done < lines.size()) {
    const long long n = writeSome(fd_, lines.data() + done, lines.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      why = n < 0 ? errno : ENOSPC;
      break;
    }
  }
  if (before >= 0 && done == lines.size() && toDisk(fd_)) return true;
  if (why == 0) why = errno;
  // Taken back: the file ends with the last whole line it kept.
  if (before >= 0) cutTo(fd_, before), toDisk(fd_);
  if (error) *error = quoted(path_) + " took no more: " + systemErrorText(why);
  return false;
}

}  // namespace kolm::common
