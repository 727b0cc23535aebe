// A fresh folder for a test, removed afterwards; optionally the working directory.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kolm::test {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kolm-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Runs a test inside a fresh working directory (the program keeps its settings
// files in the working directory) and goes back afterwards.
class InTempDir {
 public:
  InTempDir() : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~InTempDir() { std::filesystem::current_path(old_); }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TempDir dir_;
  std::filesystem::path old_;
};

}  // namespace kolm::test
