// A stand-in for the Windows port-I/O library (Out32, Inp32, IsInpOutDriverOpen),
// built only by scripts/windows-check.sh to try kolm-cli.exe's loader under Wine.
// It acts as a parallel port with nothing connected: every status line reads high.
// KOLM_FAKE_PORT_DRIVER=absent: the driver never starts.
// KOLM_FAKE_PORT_FAIL_AFTER=N: the driver goes away after N port accesses.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

long accesses = 0;

bool driverRunning() {
  const char* state = std::getenv("KOLM_FAKE_PORT_DRIVER");
  if (state && std::strcmp(state, "absent") == 0) return false;
  const char* limit = std::getenv("KOLM_FAKE_PORT_FAIL_AFTER");
  return !limit || accesses < std::atol(limit);
}

}  // namespace

extern "C" {

__declspec(dllexport) void __stdcall Out32(short, short) { ++accesses; }

__declspec(dllexport) short __stdcall Inp32(short) {
  ++accesses;
  return 0xFF;
}

__declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen() { return driverRunning() ? TRUE : FALSE; }
}
