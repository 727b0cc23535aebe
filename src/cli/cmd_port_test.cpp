// port-test: the hardware check, in plain words.
#include <ostream>

#include "cli/cli.h"
#include "hw/port_test.h"

namespace kolm::cli {

namespace {

int runPortTest(Context& ctx, Args& args) {
  args.finish();
  const hw::PortTestReport report =
      hw::portTest(ctx.backend, ctx.instrument.params, &ctx.simulator);
  *ctx.out << "Port test of " << (ctx.backend.empty() ? "sim" : ctx.backend) << ":\n"
           << report.text();
  *ctx.out << (report.passed() ? "The port and the instrument answer.\n"
                               : "The port test failed.\n");
  return report.passed() ? 0 : 1;
}

}  // namespace

extern const Command kPortTestCommand{
    "port-test",
    "port-test\n"
    "    Checks the chosen port: that it opens, that the status lines carry data, and\n"
    "    that the detector and both bridge channels answer a read-out inside their\n"
    "    range (the generator runs at 10 MHz meanwhile, then is switched off); says\n"
    "    what to do when not. Exit status 1 when a check fails.",
    runPortTest, Command::Port::WhenNeeded};

}  // namespace kolm::cli
