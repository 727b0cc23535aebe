// The record splitter: what it splits, written as quoted records, splits the same.
#include "common/records.h"
#include "fuzz.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto fields = common::splitFields(fuzz::asText(data, size));
  common::RecordWriter w;
  for (const auto& f : fields) {
    FUZZ_CHECK(f.find_first_of("\r\n") == std::string::npos);
    w.quoted(f);
  }
  common::RecordReader back(w.text());
  for (const auto& f : fields) FUZZ_CHECK(back.next() == fuzz::recordKeeps(f));
  FUZZ_CHECK(back.atEnd());
  return 0;
}
