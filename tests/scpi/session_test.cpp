// The SCPI layer as a client meets it: messages in, responses and the error
// queue out, on a tree of a few commands and a device that can be made busy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scpi/session.h"
#include "support/golden.h"

using namespace kolm::scpi;

namespace {

struct FakeDevice : Device {
  bool isBusy = false;
  int resets = 0;
  std::string identity() const override { return "Maker,Model,0,1.0"; }
  void reset() override { ++resets; }
  int selfTest(std::string&) override { return 0; }
  bool busy() const override { return isBusy; }
  uint16_t operationCondition() const override { return isBusy ? kMeasuringBit : 0; }
};

struct Rig {
  FakeDevice device;
  CommandTree tree;
  Session session{tree, device};
  double frequency = 0;
  std::vector<double> numbers{1.5, -2.25};
  Rig() {
    Session::addStandardCommands(tree);
    tree.add(
        "[SENSe#2]:FREQuency:STARt",
        [this](Call& c) {
          if (auto v =
                  c.parameters(1) ? c.number(0, Quantity::Frequency, {0, 1e9, 3e6}) : std::nullopt)
            frequency = *v;
        },
        [this](Call& c) { c.replyNumber(frequency); });
    tree.add("[SENSe#2]:FREQuency:STOP", [this](Call& c) {
      if (auto v = c.parameters(1) ? c.number(0, Quantity::Frequency, {0, 1e9, 0}) : std::nullopt)
        frequency = -*v;
    });
    tree.add("CALCulate:DATA", {}, [this](Call& c) { c.replyNumbers(numbers); });
    tree.add("MMEMory:NAME", [](Call& c) {
      if (auto t = c.parameters(1) ? c.text(0) : std::nullopt) c.reply(*t);
    });
  }
  // The response, then every error the queue held.
  std::pair<std::string, std::vector<int>> send(const std::string& message) {
    EXPECT_TRUE(session.run(message)) << message;
    std::pair<std::string, std::vector<int>> out{session.takeResponse(), {}};
    for (std::string e = session.errors().next(); e.rfind("0,", 0) != 0;
         e = session.errors().next())
      out.second.push_back(std::stoi(e));
    return out;
  }
};

}  // namespace

// Each message on a fresh session: its response and the errors it leaves.
TEST(ScpiSession, MessagesGiveTheirResponsesAndErrors) {
  for (const auto& c : kolm::test::goldenRows("scpi_messages.tsv", 3)) {
    Rig rig;
    const auto [response, errors] = rig.send(c[0]);
    EXPECT_EQ(response, c[1]) << c[0];
    std::vector<int> expected;
    if (c[2] != "none")
      for (double e : kolm::test::goldenNumbers(c[2])) expected.push_back(static_cast<int>(e));
    EXPECT_EQ(errors, expected) << c[0];
  }
}

// The status registers follow the errors and the device.
TEST(ScpiSession, StatusFollowsErrorsAndTheDevice) {
  Rig rig;
  EXPECT_EQ(rig.send("*ESR?").first, "128\n");  // power on
  EXPECT_EQ(rig.send("*ESR?").first, "0\n");    // read clears it
  rig.session.run("BOGUS;FREQ:STAR 2e9");
  EXPECT_EQ(rig.send("*ESE 32;*SRE 32;*STB?;*ESR?;*STB?").first, "100;32;4\n");
  rig.send("*CLS");
  EXPECT_EQ(rig.send("*STB?;SYST:ERR:COUN?").first, "0;0\n");

  // *OPC? and *WAI wait while the device is busy; the message goes on after.
  rig.device.isBusy = true;
  EXPECT_EQ(rig.send("STAT:OPER:COND?").first, "16\n");
  EXPECT_FALSE(rig.session.run("FREQ:STAR 1;*OPC?;:FREQ:STAR?"));
  EXPECT_TRUE(rig.session.waiting());
  EXPECT_FALSE(rig.session.resume());
  Session other(rig.tree, rig.device);  // a second client of the same device
  ASSERT_TRUE(other.run("*ESR?;*OPC;*ESR?"));
  EXPECT_EQ(other.takeResponse(), "128;0\n");
  rig.device.isBusy = false;
  ASSERT_TRUE(rig.session.resume());
  EXPECT_EQ(rig.session.takeResponse(), "1;1E+00\n");
  ASSERT_TRUE(other.run("*ESR?"));
  EXPECT_EQ(other.takeResponse(), "1\n");
  EXPECT_EQ(rig.send("STAT:OPER?;:STAT:OPER?").first, "16;0\n");
  rig.send("*RST");
  EXPECT_EQ(rig.device.resets, 1);
}

// A full queue keeps its oldest errors and says it overflowed.
TEST(ScpiSession, TheErrorQueueOverflowsAtItsEnd) {
  Rig rig;
  for (int k = 0; k < 40; ++k) rig.session.run("BOGUS");
  const auto [response, errors] = rig.send("*OPC");
  EXPECT_EQ(errors.size(), ErrorQueue::kCapacity);
  EXPECT_EQ(errors.front(), -113);
  EXPECT_EQ(errors.back(), -350);
  ErrorQueue q;
  q.push(-200, std::string(1000, 'x') + "\xc2\xb1\"");
  const std::string e = q.next();
  EXPECT_LE(e.size(), 255u);
  for (char c : e) EXPECT_TRUE(c >= 0x20 && c < 0x7f);
}

// Messages cut from a byte stream: at line feeds, except inside a block, and
// never longer than the limit.
TEST(ScpiFramer, SplitsAtLineFeedsOutsideBlocks) {
  MessageFramer framer(64);
  std::vector<std::string> messages;
  const std::string block = "MMEM:NAME #13a\nb\n";
  EXPECT_EQ(framer.feed("*IDN?\r\nFREQ:ST", messages), 0u);
  EXPECT_EQ(framer.feed("AR 1\n" + block, messages), 0u);
  EXPECT_EQ(messages, (std::vector<std::string>{"*IDN?\r", "FREQ:STAR 1", "MMEM:NAME #13a\nb"}));
  messages.clear();
  // Too long, and a block that says more than the limit: each dropped to its line end.
  EXPECT_EQ(framer.feed(std::string(100, 'A') + "\n*OPC?\nMMEM:NAME #3999x\n*IDN?\n", messages),
            2u);
  EXPECT_EQ(messages, (std::vector<std::string>{"\n", "*OPC?", "\n", "*IDN?"}));
}
