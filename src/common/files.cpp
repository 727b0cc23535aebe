#include "common/files.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace kolm::common {

std::optional<std::string> readTextFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return ss.str();
}

#ifdef _WIN32
// Windows: a new file beside the target, flushed to the disk, then moved over the
// target in one step.
bool writeFileAtomic(const std::filesystem::path& path, std::string_view content,
                     std::string* error) {
  auto fail = [&](const std::string& what) {
    if (error)
      *error = what + ": " + std::system_category().message(static_cast<int>(GetLastError()));
    return false;
  };
  static std::atomic<unsigned> counter{0};
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  const std::filesystem::path tmp =
      dir / ("." + path.filename().string() + "." + std::to_string(GetCurrentProcessId()) + "." +
             std::to_string(counter++) + ".tmp");
  HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail("cannot create a file in " + dir.string());
  const char* p = content.data();
  size_t left = content.size();
  bool ok = true;
  while (ok && left > 0) {
    DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    ok = WriteFile(h, p, chunk, &written, nullptr) && written > 0;
    p += written;
    left -= written;
  }
  ok = ok && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  if (!ok) {
    DeleteFileW(tmp.c_str());
    return fail("cannot write " + path.string());
  }
  if (!MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD saved = GetLastError();
    DeleteFileW(tmp.c_str());
    SetLastError(saved);
    return fail("cannot replace " + path.string());
  }
  return true;
}
#else
bool writeFileAtomic(const std::filesystem::path& path, std::string_view content,
                     std::string* error) {
  auto fail = [&](const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
  };
  std::filesystem::path dir = path.parent_path();
  if (dir.empty()) dir = ".";
  std::string tmpl = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) return fail("cannot create a file in " + dir.string());
  const char* p = content.data();
  size_t left = content.size();
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      int saved = errno;
      ::close(fd);
      ::unlink(tmpl.c_str());
      errno = saved;
      return fail("cannot write " + path.string());
    }
    p += w;
    left -= static_cast<size_t>(w);
  }
  ::fchmod(fd, 0644);
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    int saved = errno;
    ::unlink(tmpl.c_str());
    errno = saved;
    return fail("cannot write " + path.string());
  }
  if (::rename(tmpl.c_str(), path.c_str()) != 0) {
    int saved = errno;
    ::unlink(tmpl.c_str());
    errno = saved;
    return fail("cannot replace " + path.string());
  }
  return true;
}

#endif

}  // namespace kolm::common
