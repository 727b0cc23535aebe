// Number texts: the numeric-value rule, record fields, command-line arguments
// and SI numbers; every number read is written again and read back.
#include "common/text.h"
#include "fuzz.h"
#include "sim/connection.h"

using namespace kolm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::asText(data, size);
  const double leading = common::numericValue(text);
  FUZZ_CHECK(std::isfinite(leading));
  const auto field = common::fieldNumber(text);
  const auto argument = common::argumentNumber(text);
  if (argument) FUZZ_CHECK(field && *field == *argument);  // the stricter rule is a subset
  if (field) {
    FUZZ_CHECK(*field == leading);
    const auto back = common::fieldNumber(common::shortestText(*field));
    FUZZ_CHECK(back && fuzz::sameDouble(*field, *back));
    FUZZ_CHECK(common::argumentNumber(common::shortestText(*field)) == back);
    FUZZ_CHECK(fuzz::sameDouble(*field, common::numericValue(common::strDouble(*field))));
    if (common::fitsSingle(*field)) {
      const float single = static_cast<float>(*field);
      FUZZ_CHECK(fuzz::sameSingle(single, common::numericValue(common::strSingle(single))));
      FUZZ_CHECK(fuzz::sameSingle(single, common::decimalOfSingle(single)));
    }
  }
  if (const auto si = sim::parseSiNumber(text)) FUZZ_CHECK(std::isfinite(*si));
  for (const char* pattern :
       {"000.000 000", "#.### ###", "### ###.00", "#,###,##0.##", "0.0", "scientific"})
    FUZZ_CHECK(!common::formatPattern(leading, pattern).empty());
  return 0;
}
