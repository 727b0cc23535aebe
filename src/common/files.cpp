#include "common/files.h"

#include <fcntl.h>
#ifndef _WIN32
#include <sys/file.h>
#endif
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <fstream>
#else
#include <unistd.h>
#endif

namespace kolm::common {

namespace {

std::string quotedName(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

std::string sizeText(uint64_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
  if (bytes >= (1u << 10) && bytes % (1u << 10) == 0) return std::to_string(bytes >> 10) + " kB";
  return std::to_string(bytes) + " bytes";
}

FileRead refused(ReadFault fault, std::string error) {
  FileRead r;
  r.fault = fault;
  r.error = std::move(error);
  return r;
}

FileRead tooLarge(const std::filesystem::path& path, uint64_t limit) {
  return refused(ReadFault::TooLarge, quotedName(path) + " is larger than " + sizeText(limit) +
                                          ", more than a file of this kind holds.");
}

FileRead notRegular(const std::filesystem::path& path, bool folder) {
  return refused(ReadFault::NotRegular,
                 quotedName(path) + (folder ? " is a folder, not a file."
                                            : " is not a regular file (a device or a pipe)."));
}

// Temporary files of a save of `target`: ".<name>.kolm-save-XXXXXX" beside it.
// The marker keeps the sweep below off the user's own dot files (".out.csv.backup").
constexpr const char* kTemporaryMarker = "kolm-save-";
constexpr size_t kTemporaryLetters = 6;

std::string temporaryPrefix(const std::filesystem::path& target) {
  return "." + target.filename().string() + "." + kTemporaryMarker;
}

// Removes what interrupted saves of `target` left: its temporary files (the
// marker and six letters, nothing else) not touched for a minute (a save in
// progress writes its file within moments).
void removeStaleTemporaries(const std::filesystem::path& dir, const std::filesystem::path& target) {
  const std::string prefix = temporaryPrefix(target);
  const auto now = std::filesystem::file_time_type::clock::now();
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != prefix.size() + kTemporaryLetters ||
        name.compare(0, prefix.size(), prefix) != 0)
      continue;
    std::error_code ec2;
    if (!it->is_regular_file(ec2)) continue;
    const auto when = it->last_write_time(ec2);
    if (!ec2 && now - when > std::chrono::minutes(1)) std::filesystem::remove(it->path(), ec2);
  }
}

}  // namespace

std::filesystem::path writtenTarget(const std::filesystem::path& path) {
  std::filesystem::path target = path;
  for (int links = 0; links < 40; ++links) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec)) || ec) break;
    const std::filesystem::path to = std::filesystem::read_symlink(target, ec);
    if (ec) break;
    target = to.is_absolute() ? to : target.parent_path() / to;
  }
  return target;
}

std::string systemErrorText(int error) { return std::generic_category().message(error); }

#ifndef _WIN32

FileRead readFile(const std::filesystem::path& path, uint64_t limit) {
  // Non-blocking, so that opening a pipe does not wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int e = errno;
    // A link whose file is gone is no missing file: the name is there.
    struct stat link {};
    std::error_code ec;
    if (e == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
      return refused(ReadFault::Unreadable,
                     quotedName(path) + " is a link to " +
                         quotedName(std::filesystem::read_symlink(path, ec)) +
                         ", which does not exist.");
    return refused(e == ENOENT ? ReadFault::Missing : ReadFault::Unreadable,
                   quotedName(path) + " cannot be opened: " + systemErrorText(e) + ".");
  }
  struct stat st {};
  FileRead r;
  if (::fstat(fd, &st) != 0) {
    r = refused(ReadFault::Unreadable,
                quotedName(path) + " cannot be read: " + systemErrorText(errno) + ".");
  } else if (!S_ISREG(st.st_mode)) {
    r = notRegular(path, S_ISDIR(st.st_mode));
  } else if (static_cast<uint64_t>(st.st_size) > limit) {
    r = tooLarge(path, limit);
  } else {
    // The size may have changed since: read at most one byte beyond the limit.
    std::string content(static_cast<size_t>(st.st_size), '\0');
    size_t used = 0;
    for (;;) {
      if (used == content.size()) {
        if (used > limit) break;
        content.resize(std::min<uint64_t>(limit + 1, used + (64u << 10)));
      }
      const ssize_t got = ::read(fd, content.data() + used, content.size() - used);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        r = refused(ReadFault::Unreadable,
                    quotedName(path) + " cannot be read: " + systemErrorText(errno) + ".");
        break;
      }
      if (got == 0) break;
      used += static_cast<size_t>(got);
    }
    if (r.fault == ReadFault::None) {
      if (used > limit) {
        r = tooLarge(path, limit);
      } else {
        content.resize(used);
        r.content = std::move(content);
      }
    }
  }
  ::close(fd);
  return r;
}

namespace {

// Writes all of `content` and flushes it to the disk; the errno of a failure.
int writeAndSync(int fd, std::string_view content) {
  for (size_t done = 0; done < content.size();) {
    const ssize_t w = ::write(fd, content.data() + done, content.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) return errno;
    done += static_cast<size_t>(w);
  }
  return ::fsync(fd) == 0 ? 0 : errno;
}

// Links the unnamed file `fd` into `dir` under a temporary name of `target`;
// the name, or empty with the errno in `failure`.
std::string linkTemporary(int fd, const std::filesystem::path& dir,
                          const std::filesystem::path& target, int& failure) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::mt19937_64 rng(std::random_device{}());
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  failure = EEXIST;
  for (int attempt = 0; attempt < 16 && failure == EEXIST; ++attempt) {
    std::string name = temporaryPrefix(target);
    for (size_t k = 0; k < kTemporaryLetters; ++k) name += kLetters[rng() % (sizeof kLetters - 1)];
    const std::string candidate = (dir / name).string();
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return candidate;
    failure = errno;
  }
  return {};
}

}  // namespace

bool writeFileAtomic(const std::filesystem::path& named, std::string_view content,
                     std::string* error) {
  const std::filesystem::path path = writtenTarget(named);
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  std::string temporary;  // the named temporary file, once there is one
  int fd = -1;
  auto fail = [&](const std::string& what, int e) {
    if (fd >= 0) ::close(fd);
    if (!temporary.empty()) ::unlink(temporary.c_str());
    if (error) *error = what + ": " + systemErrorText(e) + ".";
    return false;
  };
  removeStaleTemporaries(dir, path);
#ifdef O_TMPFILE
  // First an unnamed file in the folder, named only once complete: a save that
  // stops before leaves nothing behind.
  fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  if (fd >= 0) {
    if (const int e = writeAndSync(fd, content)) return fail("cannot write " + quotedName(path), e);
    int failure = 0;
    temporary = linkTemporary(fd, dir, path, failure);
    if (temporary.empty()) {  // no way to name it here: write a named file instead
      ::close(fd);
      fd = -1;
    }
  }
#endif
  if (fd < 0) {
    temporary = (dir / (temporaryPrefix(path) + "XXXXXX")).string();
    fd = ::mkstemp(temporary.data());
    if (fd < 0) {
      const int e = errno;
      temporary.clear();
      return fail("cannot create a file in " + quotedName(dir), e);
    }
    ::fchmod(fd, 0644);
    if (const int e = writeAndSync(fd, content)) return fail("cannot write " + quotedName(path), e);
  }
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return fail("cannot write " + quotedName(path), errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0)
    return fail("cannot replace " + quotedName(path), errno);
  return true;
}

std::string outputTargetProblem(const std::filesystem::path& path, OutputKind kind) {
  if (path.empty()) return "no file name given";
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return "there is no folder " + quotedName(dir);
  if (::access(dir.c_str(), W_OK | X_OK) != 0)
    return "the folder " + quotedName(dir) + " is not writable";
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return quotedName(path) + " is a folder";
    if (kind == OutputKind::Replaced && !S_ISREG(st.st_mode))
      return quotedName(path) + " is not a regular file";
    if (kind == OutputKind::Appended && ::access(path.c_str(), W_OK) != 0)
      return quotedName(path) + " is not writable";
  } else if (errno != ENOENT) {
    // A name too long for the file system, a loop of links: it could never be written.
    return quotedName(path) + " cannot be written: " + systemErrorText(errno);
  } else if (const std::filesystem::path target = writtenTarget(path); target != path) {
    return outputTargetProblem(target, kind);  // a link to a file still to be made
  }
  return {};
}

FolderLock::FolderLock(const std::filesystem::path& file) {
  std::filesystem::path dir = writtenTarget(file).parent_path();
  if (dir.empty()) dir = ".";
  fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(fd_);  // no locks here: nothing is held
    fd_ = -1;
    return;
  }
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

#else  // Windows: the standard library's files, without the unnamed-file step.

FileRead readFile(const std::filesystem::path& path, uint64_t limit) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status))
    return refused(ReadFault::Missing, quotedName(path) + " cannot be opened: no such file.");
  if (!std::filesystem::is_regular_file(status))
    return notRegular(path, std::filesystem::is_directory(status));
  if (std::filesystem::file_size(path, ec) > limit) return tooLarge(path, limit);
  std::ifstream in(path, std::ios::binary);
  if (!in) return refused(ReadFault::Unreadable, quotedName(path) + " cannot be opened.");
  std::string content;
  char buf[1 << 16];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    content.append(buf, static_cast<size_t>(in.gcount()));
    if (content.size() > limit) return tooLarge(path, limit);
  }
  if (in.bad()) return refused(ReadFault::Unreadable, quotedName(path) + " cannot be read.");
  FileRead r;
  r.content = std::move(content);
  return r;
}

bool writeFileAtomic(const std::filesystem::path& named, std::string_view content,
                     std::string* error) {
  const std::filesystem::path path = writtenTarget(named);
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  removeStaleTemporaries(dir, path);
  std::mt19937_64 rng(std::random_device{}());
  std::filesystem::path temporary =
      dir / (temporaryPrefix(path) + std::to_string(rng() % 900000 + 100000));
  auto fail = [&](const std::string& what) {
    std::error_code ec;
    std::filesystem::remove(temporary, ec);
    if (error) *error = what + ".";
    return false;
  };
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return fail("cannot create a file in " + quotedName(dir));
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) return fail("cannot write " + quotedName(path));
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) return fail("cannot replace " + quotedName(path) + ": " + ec.message());
  return true;
}

std::string outputTargetProblem(const std::filesystem::path& path, OutputKind kind) {
  if (path.empty()) return "no file name given";
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) return "there is no folder " + quotedName(dir);
  const auto status = std::filesystem::status(path, ec);
  if (std::filesystem::is_directory(status)) return quotedName(path) + " is a folder";
  if (kind == OutputKind::Replaced && std::filesystem::exists(status) &&
      !std::filesystem::is_regular_file(status))
    return quotedName(path) + " is not a regular file";
  return {};
}

FolderLock::FolderLock(const std::filesystem::path&) {}
FolderLock::~FolderLock() = default;

#endif

std::optional<std::string> readTextFile(const std::filesystem::path& path, uint64_t limit) {
  return readFile(path, limit).content;
}

}  // namespace kolm::common
