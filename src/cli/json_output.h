// kolm-cli --json: what a command prints as key=value lines, given as one
// JSON object per result, on a line of its own. The keys are the same; a
// value that is a number is a JSON number with the same digits, "none" is
// null, other values are strings; a key a result gives more than once
// (warning=) becomes an array; lines that are not key=value go into "text".
#pragma once

#include <iosfwd>
#include <streambuf>
#include <string>

namespace kolm::cli {

// One result's key=value lines as a JSON object (without a line end).
std::string jsonObject(const std::string& lines);

// Collects what a command prints and writes each result to `target` as JSON
// when the command ends it (endResult) or the program ends (finish).
class JsonResults : public std::streambuf {
 public:
  explicit JsonResults(std::ostream& target) : target_(target) {}
  // The lines printed since the last result are one result.
  void endResult();

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;

 private:
  std::ostream& target_;
  std::string pending_;
};

}  // namespace kolm::cli
