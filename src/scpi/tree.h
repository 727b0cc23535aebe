// The command tree of a SCPI instrument: headers written as patterns
// ("[SENSe]:FREQuency:STARt", "OUTPut[:STATe]", "SYSTem:ERRor[:NEXT]"), the
// short form in capitals, optional nodes in brackets, every node taking a
// numeric suffix up to its own limit ("SENSe#2" takes 1 and 2; 1 by
// default), matched whatever the case.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "scpi/parser.h"

namespace kolm::scpi {

class Call;
using Handler = std::function<void(Call&)>;

struct PatternNode {
  std::string longName;   // upper case
  std::string shortName;  // upper case
  bool optional = false;
  int maxSuffix = 1;
};

struct Command {
  std::vector<PatternNode> nodes;
  Handler set;    // empty: the header has no command form
  Handler query;  // empty: no query form
};

// A header matched: the command, and the path a following unit without a
// leading ':' starts from (the nodes before the leaf).
struct Match {
  const Command* command = nullptr;
  std::vector<PatternNode> path;
  std::vector<int> suffixes;  // per node of the pattern, 1 where none was sent
  int code = 0;               // why nothing matched (-113, -114)
};

class CommandTree {
 public:
  // Adds a header. Throws std::invalid_argument for a malformed pattern (a
  // programming fault).
  Command& add(std::string_view pattern, Handler set, Handler query = {});
  // The command `header` names, relative to `path` unless it is absolute.
  Match find(const Header& header, const std::vector<PatternNode>& path) const;

 private:
  std::vector<std::unique_ptr<Command>> commands_;
};

// The nodes of a pattern; throws std::invalid_argument when it is malformed.
std::vector<PatternNode> parsePattern(std::string_view pattern);

}  // namespace kolm::scpi
