#include "common/typed_number.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"

using namespace kolm::common;

// A typed number is the text up to its first blank, blanks around it aside, with
// a point or a comma before the decimals, and any note after the blank; every
// number the boxes are written with reads back in both forms, and a text that
// does not begin with one whole number is refused with a reason.
TEST(TypedNumber, OneWholeNumberWithAPointOrAComma) {
  const double values[] = {0, 14.2, -3.5, 0.5, 7.05, 1e-7, 20000, -80, 145.52, 1e12};
  const std::string blanks[] = {"", " ", "\t", "  \r\n"};
  for (const double v : values) {
    for (std::string written : {shortestText(v), strDouble(v)}) {
      std::string comma = written;
      if (const auto point = comma.find('.'); point != std::string::npos) comma[point] = ',';
      for (const std::string& t : {written, comma}) {
        for (const std::string& b : blanks) {
          for (const char* note : {"", " MHz", "\tdBm x", " 1"}) {
            const std::string typed = b + t + note + b;
            const TypedNumber n = typedNumber(typed);
            EXPECT_EQ(n.value, v) << '[' << typed << ']';
            EXPECT_EQ(n.problem, "");
            EXPECT_EQ(argumentNumber(n.text), v);  // kept alone, with the point
          }
        }
        const std::string core(trimBlanks(t));
        std::vector<std::string> refused = {core + "x",  "x" + core, "MHz " + core, core + ",5",
                                            "--" + core, core + "e", core + "M Hz"};
        for (const std::string& bad : refused) {
          if (bad == core + ",5" && core.find_first_of(".,") == std::string::npos) continue;
          const TypedNumber n = typedNumber(bad);
          EXPECT_FALSE(n.value) << '[' << bad << ']';
          EXPECT_NE(n.problem.find("is not a number"), std::string::npos) << n.problem;
        }
      }
    }
  }
  for (const char* nothing : {"", "   ", "\t\n"}) {
    EXPECT_FALSE(typedNumber(nothing).value);
    EXPECT_EQ(typedNumber(nothing).problem, "Type a number here.");
  }
}
