// Real port back ends: Linux ppdev and direct x86 I/O. The Windows inpout32
// library is loaded at run time and only exists in Windows builds.
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "common/files.h"
#include "common/text.h"
#include "hw/params.h"
#include "hw/port_factory.h"

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

#ifdef KOLM_HAVE_DIRECT_IO
// A port address written out whole: decimal, or hexadecimal after 0x; -1 when the
// text is anything else.
long wholeAddress(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  long value = -1;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() ? value : -1;
}
#endif

#ifdef _WIN32
// inpout32.dll / inpoutx64.dll, loaded at run time. The library's calls report
// nothing; its driver check is asked before every status read, so a driver that
// went away stops a pass before a reading of it is used.
class Inpout32Port : public PortIo {
 public:
  using Out32Fn = void(__stdcall*)(short, short);
  using Inp32Fn = short(__stdcall*)(short);
  using IsOpenFn = BOOL(__stdcall*)();
  Inpout32Port(HMODULE lib, Out32Fn out, Inp32Fn inp, IsOpenFn isOpen, uint16_t base)
      : lib_(lib), out_(out), inp_(inp), isOpen_(isOpen), base_(base) {}
  ~Inpout32Port() override { FreeLibrary(lib_); }
  void writeData(uint8_t value) override {
    if (!failed()) out_(static_cast<short>(base_), value);
  }
  uint8_t readStatus() override {
    if (failed()) return 0;
    if (isOpen_ && !isOpen_()) {
      fail("the inpout32 driver is no longer running");
      return 0;
    }
    return static_cast<uint8_t>(inp_(static_cast<short>(base_ + 1)) & 0xFF);
  }
  std::string name() const override { return "inpout32"; }
  bool addressed() const override { return true; }

 private:
  HMODULE lib_;
  Out32Fn out_;
  Inp32Fn inp_;
  IsOpenFn isOpen_;
  uint16_t base_;
};

PortOpenResult openInpout32(int32_t lptBase) {
  PortOpenResult r;
  const char* dll = sizeof(void*) == 8 ? "inpoutx64.dll" : "inpout32.dll";
  HMODULE lib = LoadLibraryA(dll);
  if (!lib) {
    r.error = std::string("The port library ") + dll +
              " was not found: put it beside the program (or in the system folder).";
    return r;
  }
  auto out = reinterpret_cast<Inpout32Port::Out32Fn>(
      reinterpret_cast<void*>(GetProcAddress(lib, "Out32")));
  auto inp = reinterpret_cast<Inpout32Port::Inp32Fn>(
      reinterpret_cast<void*>(GetProcAddress(lib, "Inp32")));
  auto isOpen = reinterpret_cast<Inpout32Port::IsOpenFn>(
      reinterpret_cast<void*>(GetProcAddress(lib, "IsInpOutDriverOpen")));
  if (!out || !inp) {
    FreeLibrary(lib);
    r.error = std::string("The library ") + dll + " has no Out32/Inp32 functions.";
    return r;
  }
  if (isOpen && !isOpen()) {
    FreeLibrary(lib);
    r.error = std::string("The port driver of ") + dll +
              " could not be started: run the program once as administrator so that it "
              "installs its driver.";
    return r;
  }
  r.port = std::make_unique<Inpout32Port>(lib, out, inp, isOpen, static_cast<uint16_t>(lptBase));
  return r;
}
#endif

#ifdef __linux__
// A ppdev port, claimed exclusively for as long as it is open. A failed data or
// status ioctl (the card removed, the port taken away) marks the port failed.
class PpdevPort : public PortIo {
 public:
  PpdevPort(int fd, std::string device) : fd_(fd), device_(std::move(device)) {}
  ~PpdevPort() override {
    ioctl(fd_, PPRELEASE);
    ::close(fd_);
  }
  void writeData(uint8_t value) override {
    unsigned char v = value;
    if (!failed() && ioctl(fd_, PPWDATA, &v) != 0)
      fail(std::string("writing the data lines failed (") + std::strerror(errno) + ")");
  }
  bool writeDataFromSignal(uint8_t value) noexcept override {
    unsigned char v = value;
    return ioctl(fd_, PPWDATA, &v) == 0;
  }
  uint8_t readStatus() override {
    unsigned char v = 0;
    if (failed()) return 0;
    if (ioctl(fd_, PPRSTATUS, &v) != 0) {
      fail(std::string("reading the status lines failed (") + std::strerror(errno) + ")");
      return 0;
    }
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
  int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    int e = errno;
    if (e == ENOENT || e == ENODEV || e == ENXIO)
      r.error = "There is no parallel port " + device +
                " on this computer: load its drivers (sudo modprobe parport_pc ppdev) and "
                "check that the port card or USB adapter is connected.";
    else if (e == EACCES || e == EPERM)
      r.error = "No permission to use " + device +
                ": add your user to the group 'lp' (sudo adduser $USER lp) and log in again.";
    else
      r.error = "Cannot open " + device + ": " + std::strerror(e) + ".";
    return r;
  }
  auto refuse = [&](const std::string& what) {
    r.error = what + " (" + std::strerror(errno) + ").";
    ::close(fd);
    return std::move(r);
  };
  // Exclusive, so that no other driver (the printer driver lp) can use the port
  // between two of our accesses.
  if (ioctl(fd, PPEXCL) != 0) return refuse("Cannot ask for " + device + " alone");
  if (ioctl(fd, PPCLAIM) != 0)
    return refuse("Cannot take " + device +
                  " for Kolm alone: another driver or program uses it (the printer driver: "
                  "sudo modprobe -r lp)");
  int mode = IEEE1284_MODE_COMPAT;
  int forward = 0;
  if (ioctl(fd, PPSETMODE, &mode) != 0 || ioctl(fd, PPDATADIR, &forward) != 0) {
    ioctl(fd, PPRELEASE);
    return refuse("Cannot set " + device + " to drive its data lines");
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
  bool writeDataFromSignal(uint8_t value) noexcept override {
    outb(value, base_);
    return true;
  }
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

std::string portAtAddress(int32_t lptBase, const std::string& procRoot) {
#ifdef _WIN32
  (void)lptBase, (void)procRoot;
  return "inpout32";
#else
  return ppdevDeviceForBase(lptBase, procRoot).empty() ? "direct" : "ppdev";
#endif
}

namespace {

PortOpenResult openPpdevPort(const std::string& backend, int32_t lptBase) {
  PortOpenResult r;
#ifdef __linux__
  std::string device = backend.size() > 6 ? backend.substr(6) : "";
  if (device.empty()) {
    device = ppdevDeviceForBase(lptBase);
    if (device.empty()) {
      r.error = "No parallel port at address 0x" + common::hexText(static_cast<uint32_t>(lptBase)) +
                " was found on this computer.";
      return r;
    }
  }
  return openPpdev(device);
#else
  (void)backend, (void)lptBase;
  r.error = "ppdev ports exist only on Linux.";
  return r;
#endif
}

PortOpenResult openDirectPort(const std::string& backend, int32_t lptBase) {
  PortOpenResult r;
#ifdef KOLM_HAVE_DIRECT_IO
  long address = lptBase;
  if (backend.size() > 7) address = wholeAddress(std::string_view(backend).substr(7));
  // Below 0x100 lie the system's own devices (timers, interrupt and DMA
  // controllers); above, PCI and PCIe parallel cards as well as the three
  // classic addresses.
  if (address < 0x100 || address > 0xFFFC) {
    const std::string given = backend.size() > 7 ? backend.substr(7) : std::to_string(address);
    r.error = "The port address " + given +
              " is not valid: a parallel port lies at 0x100 or above (0x378, 0x278, "
              "0x3BC, or a PCI card's address).";
    return r;
  }
  if (ioperm(static_cast<unsigned long>(address), 3, 1) != 0) {
    // Only a refusal is a matter of rights; a system without port access
    // (another processor, a kernel built without it, a container) is not.
    const int e = errno;
    r.error = e == EPERM || e == EACCES
                  ? std::string("Direct port access needs administrator rights (") +
                        std::strerror(e) + "); use ppdev or the simulator instead."
                  : std::string("Direct port access is not available on this system (") +
                        std::strerror(e) + "); use ppdev or the simulator instead.";
    return r;
  }
  r.port = std::make_unique<DirectPort>(static_cast<uint16_t>(address));
  return r;
#else
  (void)backend, (void)lptBase;
  r.error = "Direct port access is not available on this computer.";
  return r;
#endif
}

PortOpenResult openInpout32Port(const std::string&, int32_t lptBase) {
#ifdef _WIN32
  return openInpout32(lptBase);
#else
  (void)lptBase;
  PortOpenResult r;
  r.error = "The inpout32 port library exists only on Windows.";
  return r;
#endif
}

// The back ends by name, the real ports among them from the start.
struct Registry {
  std::mutex lock;
  std::map<std::string, PortMaker, std::less<>> makers;
  Registry() {
    auto real = [](PortOpenResult (*open)(const std::string&, int32_t)) {
      return [open](const std::string& backend, int32_t lptBase, const PortSettings*) {
        return open(backend, lptBase);
      };
    };
    makers["ppdev"] = makers["ppdev:"] = real(openPpdevPort);
    makers["direct"] = makers["direct:"] = real(openDirectPort);
    makers["inpout32"] = real(openInpout32Port);
  }
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

void registerPortBackend(const std::string& name, PortMaker maker) {
  Registry& r = registry();
  const std::lock_guard hold(r.lock);
  r.makers[name] = std::move(maker);
}

PortOpenResult openPort(const std::string& backend, int32_t lptBase, const PortSettings* settings) {
  const std::string name = backend.empty() ? "sim" : backend;
  PortMaker maker;
  {
    Registry& r = registry();
    const std::lock_guard hold(r.lock);
    auto found = r.makers.find(name);
    if (found == r.makers.end() && name.find(':') != std::string::npos)
      found = r.makers.find(std::string_view(name).substr(0, name.find(':') + 1));
    if (found != r.makers.end()) maker = found->second;
  }
  if (maker) return maker(name, lptBase, settings);
  PortOpenResult r;
  r.error = "Unknown port back end '" + backend +
            "' (use sim, ppdev, ppdev:/dev/parportN, direct, direct:0xADDR, or inpout32 on "
            "Windows).";
  return r;
}

}  // namespace kolm::hw
