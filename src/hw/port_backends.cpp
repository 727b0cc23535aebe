// Real port back ends: Linux ppdev and direct x86 I/O. The Windows inpout32
// library is loaded at run time and only exists in Windows builds.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/files.h"
#include "common/text.h"
#include "hw/params.h"
#include "hw/port_factory.h"
#include "sim/sim_port.h"

#ifdef __linux__
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define KOLM_HAVE_DIRECT_IO 1
#endif
#endif

#ifdef _WIN32
#include <windows.h>
#endif

namespace kolm::hw {

namespace {

#ifdef _WIN32
// inpout32.dll / inpoutx64.dll, loaded at run time.
class Inpout32Port : public PortIo {
 public:
  using Out32Fn = void(__stdcall*)(short, short);
  using Inp32Fn = short(__stdcall*)(short);
  Inpout32Port(HMODULE lib, Out32Fn out, Inp32Fn inp, uint16_t base)
      : lib_(lib), out_(out), inp_(inp), base_(base) {}
  ~Inpout32Port() override { FreeLibrary(lib_); }
  void writeData(uint8_t value) override { out_(static_cast<short>(base_), value); }
  uint8_t readStatus() override {
    return static_cast<uint8_t>(inp_(static_cast<short>(base_ + 1)) & 0xFF);
  }
  std::string name() const override { return "inpout32"; }
  bool addressed() const override { return true; }

 private:
  HMODULE lib_;
  Out32Fn out_;
  Inp32Fn inp_;
  uint16_t base_;
};

PortOpenResult openInpout32(int32_t lptBase) {
  PortOpenResult r;
  const char* dll = sizeof(void*) == 8 ? "inpoutx64.dll" : "inpout32.dll";
  HMODULE lib = LoadLibraryA(dll);
  if (!lib) {
    r.error = std::string("The port library ") + dll + " is not installed.";
    return r;
  }
  auto out = reinterpret_cast<Inpout32Port::Out32Fn>(GetProcAddress(lib, "Out32"));
  auto inp = reinterpret_cast<Inpout32Port::Inp32Fn>(GetProcAddress(lib, "Inp32"));
  using OpenFn = BOOL(__stdcall*)();
  auto isOpen = reinterpret_cast<OpenFn>(GetProcAddress(lib, "IsInpOutDriverOpen"));
  if (!out || !inp || (isOpen && !isOpen())) {
    FreeLibrary(lib);
    r.error = std::string("The port driver of ") + dll + " could not be started.";
    return r;
  }
  r.port = std::make_unique<Inpout32Port>(lib, out, inp, static_cast<uint16_t>(lptBase));
  return r;
}
#endif

#ifdef __linux__
class PpdevPort : public PortIo {
 public:
  PpdevPort(int fd, std::string device) : fd_(fd), device_(std::move(device)) {}
  ~PpdevPort() override {
    ioctl(fd_, PPRELEASE);
    ::close(fd_);
  }
  void writeData(uint8_t value) override {
    unsigned char v = value;
    ioctl(fd_, PPWDATA, &v);
  }
  uint8_t readStatus() override {
    unsigned char v = 0;
    if (ioctl(fd_, PPRSTATUS, &v) != 0) return 0;
    return v;
  }
  std::string name() const override { return "ppdev:" + device_; }
  bool addressed() const override { return false; }  // the device is the address

 private:
  int fd_;
  std::string device_;
};

PortOpenResult openPpdev(const std::string& device) {
  PortOpenResult r;
  int fd = ::open(device.c_str(), O_RDWR);
  if (fd < 0) {
    int e = errno;
    if (e == ENOENT)
      r.error = "There is no parallel port " + device +
                " on this computer (is the parport_pc and ppdev driver loaded?).";
    else if (e == EACCES || e == EPERM)
      r.error =
          "No permission to use " + device + ": add your user to the group 'lp' and log in again.";
    else
      r.error = "Cannot open " + device + ": " + std::strerror(e) + ".";
    return r;
  }
  if (ioctl(fd, PPCLAIM) != 0) {
    r.error = "Cannot claim " + device +
              " (another program or driver holds it): " + std::strerror(errno) + ".";
    ::close(fd);
    return r;
  }
  r.port = std::make_unique<PpdevPort>(fd, device);
  return r;
}
#endif

#ifdef KOLM_HAVE_DIRECT_IO
class DirectPort : public PortIo {
 public:
  explicit DirectPort(uint16_t base) : base_(base) {}
  ~DirectPort() override { ioperm(base_, 3, 0); }
  void writeData(uint8_t value) override { outb(value, base_); }
  uint8_t readStatus() override { return inb(static_cast<uint16_t>(base_ + 1)); }
  std::string name() const override { return "direct:0x" + common::hexText(base_); }
  bool addressed() const override { return true; }

 private:
  uint16_t base_;
};
#endif

}  // namespace

std::string ppdevDeviceForBase(int32_t base, const std::string& procRoot) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(procRoot, ec)) {
    auto text = common::readTextFile(entry.path() / "base-addr", common::kSettingsFileLimit);
    if (!text) continue;
    if (common::leadingInteger(*text) == base) return "/dev/" + entry.path().filename().string();
  }
  return {};
}

PortOpenResult openPort(const std::string& backend, int32_t lptBase, const PortOptions& options) {
  PortOpenResult r;
  if (backend.empty() || backend == "sim") return sim::makeSimulatorPort(options);
  if (backend == "ppdev" || backend.rfind("ppdev:", 0) == 0) {
#ifdef __linux__
    std::string device = backend.size() > 6 ? backend.substr(6) : "";
    if (device.empty()) {
      device = ppdevDeviceForBase(lptBase);
      if (device.empty()) {
        r.error = "No parallel port at address 0x" +
                  common::hexText(static_cast<uint32_t>(lptBase)) + " was found on this computer.";
        return r;
      }
    }
    return openPpdev(device);
#else
    r.error = "ppdev ports exist only on Linux.";
    return r;
#endif
  }
  if (backend == "direct" || backend.rfind("direct:", 0) == 0) {
#ifdef KOLM_HAVE_DIRECT_IO
    long address = lptBase;
    if (backend.size() > 7) address = common::leadingInteger(backend.substr(7)).value_or(0);
    if (!isParallelPortAddress(static_cast<int32_t>(address)) &&
        (address <= 0 || address > 0xFFFC)) {
      r.error = "The port address " + backend.substr(backend.find(':') + 1) + " is not valid.";
      return r;
    }
    if (ioperm(static_cast<unsigned long>(address), 3, 1) != 0) {
      r.error = std::string("Direct port access needs administrator rights (") +
                std::strerror(errno) + "); use ppdev or the simulator instead.";
      return r;
    }
    r.port = std::make_unique<DirectPort>(static_cast<uint16_t>(address));
    return r;
#else
    r.error = "Direct port access is not available on this computer.";
    return r;
#endif
  }
  if (backend == "inpout32") {
#ifdef _WIN32
    return openInpout32(lptBase);
#else
    r.error = "The inpout32 port library exists only on Windows.";
    return r;
#endif
  }
  r.error = "Unknown port back end '" + backend +
            "' (use sim, ppdev, ppdev:/dev/parportN, direct or direct:0xADDR).";
  return r;
}

}  // namespace kolm::hw
