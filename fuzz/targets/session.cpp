// Sessions: a session that opens is saved, opens again and saves to the same
// file; one that does not names the file and its line.
#include "chart/session.h"
#include "fuzz.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const chart::SessionRead read = chart::parseSession(fuzz::asText(data, size), "f");
  if (!read.session) {
    FUZZ_CHECK(read.error.rfind("f:", 0) == 0);
    return 0;
  }
  for (const chart::StoredTrace& t : read.session->traces) FUZZ_CHECK(traceProblem(t).empty());
  const std::string file = chart::formatSession(*read.session);
  const chart::SessionRead back = chart::parseSession(file, "f");
  FUZZ_CHECK(back.session);
  FUZZ_CHECK(chart::formatSession(*back.session) == file);
  return 0;
}
