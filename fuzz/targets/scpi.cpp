// Remote-control messages: bytes from a client cut into messages and carried
// out on a session whose tree has the standard commands and a few that take
// numbers, words, strings and blocks. Whatever comes, a response is whole (it
// ends in a line feed), the error queue stays within its size and a message
// carried out twice answers the same.
#include "fuzz.h"
#include "scpi/session.h"

using namespace kolm;

namespace {

struct QuietDevice : scpi::Device {
  std::string identity() const override { return "Kolm,Fuzz,0,0"; }
  void reset() override {}
  int selfTest(std::string&) override { return 0; }
  bool busy() const override { return false; }
  uint16_t operationCondition() const override { return 0; }
};

void addTestCommands(scpi::CommandTree& tree, double& value) {
  scpi::Session::addStandardCommands(tree);
  tree.add(
      "[SENSe#4]:FREQuency:STARt",
      [&value](scpi::Call& c) {
        if (auto v = c.parameters(1) ? c.number(0, scpi::Quantity::Frequency, {0, 1e9, 1})
                                     : std::nullopt)
          value = *v;
      },
      [&value](scpi::Call& c) { c.replyNumber(value); });
  tree.add("OUTPut[:STATe]", [](scpi::Call& c) {
    if (c.parameters(1)) c.boolean(0);
  });
  tree.add("MMEMory:NAME", [](scpi::Call& c) {
    if (auto t = c.parameters(1) ? c.text(0) : std::nullopt) c.replyString(*t);
  });
  tree.add("INSTrument[:SELect]", [](scpi::Call& c) {
    if (c.parameters(1)) c.choice(0, {"ANALyzer", "POWer"});
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QuietDevice device;
  scpi::CommandTree tree;
  double value = 0;
  addTestCommands(tree, value);
  scpi::Session session(tree, device), again(tree, device);
  scpi::MessageFramer framer(4096);
  std::vector<std::string> messages;
  framer.feed(fuzz::asText(data, size), messages);
  FUZZ_CHECK(framer.pending() <= 4096);
  for (const std::string& m : messages) {
    FUZZ_CHECK(m.size() <= 4096);
    const double before = value;  // both sessions start each message from the same state
    FUZZ_CHECK(session.run(m));
    const std::string response = session.takeResponse();
    FUZZ_CHECK(response.empty() || response.back() == '\n');
    FUZZ_CHECK(session.errors().size() <= scpi::ErrorQueue::kCapacity);
    const double after = value;
    value = before;
    FUZZ_CHECK(again.run(m));
    FUZZ_CHECK(again.takeResponse() == response && value == after);
  }
  return 0;
}
