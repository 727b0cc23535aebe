#include "scpi/tree.h"

#include <stdexcept>

namespace kolm::scpi {

namespace {

// One thing to match against a pattern node: a node of the path (matched by
// identity) or a mnemonic sent (by its short or long form).
struct Token {
  const PatternNode* pathNode = nullptr;
  const Mnemonic* sent = nullptr;
};

bool nameMatches(const PatternNode& node, const Token& token) {
  if (token.pathNode) return token.pathNode->longName == node.longName;
  const std::string name = upperCase(token.sent->name);
  return name == node.shortName || name == node.longName;
}

// Matches tokens[t..] to nodes[n..]; `at` receives the node each token matched.
bool matchFrom(const std::vector<PatternNode>& nodes, size_t n, const std::vector<Token>& tokens,
               size_t t, std::vector<size_t>& at) {
  if (t == tokens.size()) {
    for (; n < nodes.size(); ++n)
      if (!nodes[n].optional) return false;
    return true;
  }
  if (n == nodes.size()) return false;
  if (nameMatches(nodes[n], tokens[t])) {
    at[t] = n;
    if (matchFrom(nodes, n + 1, tokens, t + 1, at)) return true;
  }
  return nodes[n].optional && matchFrom(nodes, n + 1, tokens, t, at);
}

}  // namespace

std::vector<PatternNode> parsePattern(std::string_view pattern) {
  std::vector<PatternNode> nodes;
  size_t at = 0;
  auto bad = [&] { throw std::invalid_argument("bad command pattern: " + std::string(pattern)); };
  while (at < pattern.size()) {
    PatternNode node;
    if (pattern[at] == '[') {
      node.optional = true;
      ++at;
    }
    if (at < pattern.size() && pattern[at] == ':') ++at;
    const size_t start = at;
    while (at < pattern.size() && pattern[at] != ':' && pattern[at] != '[' && pattern[at] != ']' &&
           pattern[at] != '#')
      ++at;
    const std::string_view name = pattern.substr(start, at - start);
    if (name.empty()) bad();
    for (char c : name)
      if (c >= 'A' && c <= 'Z') node.shortName += c;
    node.longName = upperCase(name);
    if (node.shortName.empty()) node.shortName = node.longName;
    if (at < pattern.size() && pattern[at] == '#') {
      ++at;
      node.maxSuffix = 0;
      while (at < pattern.size() && pattern[at] >= '0' && pattern[at] <= '9')
        node.maxSuffix = node.maxSuffix * 10 + (pattern[at++] - '0');
      if (node.maxSuffix < 1) bad();
    }
    if (node.optional) {
      if (at >= pattern.size() || pattern[at] != ']') bad();
      ++at;
    }
    nodes.push_back(std::move(node));
  }
  if (nodes.empty() || (nodes.size() == 1 && nodes[0].optional)) bad();
  return nodes;
}

Command& CommandTree::add(std::string_view pattern, Handler set, Handler query) {
  auto command = std::make_unique<Command>();
  command->nodes = parsePattern(pattern);
  command->set = std::move(set);
  command->query = std::move(query);
  commands_.push_back(std::move(command));
  return *commands_.back();
}

Match CommandTree::find(const Header& header, const std::vector<PatternNode>& path) const {
  std::vector<Token> tokens;
  const std::vector<PatternNode> none;
  const std::vector<PatternNode>& from = header.absolute ? none : path;
  for (const PatternNode& node : from) tokens.push_back({&node, nullptr});
  for (const Mnemonic& m : header.nodes) tokens.push_back({nullptr, &m});
  Match result;
  result.code = -113;
  for (const auto& command : commands_) {
    if (header.query ? !command->query : !command->set) continue;
    std::vector<size_t> at(tokens.size(), 0);
    if (!matchFrom(command->nodes, 0, tokens, 0, at)) continue;
    std::vector<int> suffixes(command->nodes.size(), 1);
    bool inRange = true;
    for (size_t t = from.size(); t < tokens.size(); ++t) {
      const int suffix = tokens[t].sent->suffix;
      if (suffix == -1) continue;
      const PatternNode& node = command->nodes[at[t]];
      if (suffix < 1 || suffix > node.maxSuffix) inRange = false;
      suffixes[at[t]] = suffix;
    }
    if (!inRange) {
      result.code = -114;
      continue;
    }
    result.command = command.get();
    result.suffixes = std::move(suffixes);
    result.code = 0;
    // The path: every node up to the one the last mnemonic but one sent
    // matched; a single mnemonic leaves the path where it was.
    if (header.nodes.size() >= 2) {
      const size_t last = at[tokens.size() - 2];
      result.path.assign(command->nodes.begin(), command->nodes.begin() + last + 1);
    } else {
      result.path = from;
    }
    return result;
  }
  return result;
}

}  // namespace kolm::scpi
