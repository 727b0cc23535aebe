// Writes the seed corpus of the fuzz targets with the program's own writers:
//   fuzz_seeds DIR   (DIR/<target>/seed-N for every target)
#include <bit>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "analyzer/files.h"
#include "common/records.h"
#include "common/text.h"
#include "hw/params.h"
#include "powermeter/chart_file.h"
#include "powermeter/reference.h"
#include "powermeter/settings.h"
#include "sim/sim_port.h"
#include "vfo/vfo_files.h"

using namespace kolm;

namespace {

std::filesystem::path root;

void seeds(const std::string& target, const std::vector<std::string>& texts) {
  const auto dir = root / target;
  std::filesystem::create_directories(dir);
  for (size_t i = 0; i < texts.size(); ++i)
    std::ofstream(dir / ("seed-" + std::to_string(i + 1)), std::ios::binary) << texts[i];
}

std::string lines(const std::vector<std::string>& words) {
  std::string out;
  for (size_t i = 0; i < words.size(); ++i) out += (i ? "\n" : "") + words[i];
  return out;
}

// A .vec file: n + 1 magnitudes and phases, a third block, start and stop.
std::string vec(int n, float start, float stop) {
  std::string out;
  auto put = [&out](auto v) {
    const auto bits = std::bit_cast<std::array<char, sizeof v>>(v);
    out.append(bits.begin(), bits.end());
  };
  for (int i = 0; i <= n; ++i) put(365.0f + static_cast<float>(i * 7 % 500));
  for (int i = 0; i <= n; ++i) put(static_cast<float>(i * 13 % 1000));
  for (int i = 0; i <= n; ++i) put(0.0);
  put(start);
  put(stop);
  return out;
}

analyzer::Channels ramp(int n) {
  analyzer::Channels c;
  for (int i = 0; i <= n + 1; ++i) {
    c.returnLossCounts[i] = static_cast<int16_t>(100 + i * 37 % 900);
    c.phaseCounts[i] = static_cast<int16_t>(i * 53 % 1024);
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds DIR\n";
    return 2;
  }
  root = argv[1];

  seeds("numbers",
        {common::shortestText(7.05), common::strSingle(-0.5f), common::strDouble(1e-7),
         common::shortestText(123456789012345.0), common::strSingle(3.4028235e38f),
         common::formatPattern(1234567.891, "#,###,##0.##"),
         common::formatPattern(14.0255, "000.000 000"), "12.5 MHz", "1 000", "2D3", "20f", "1.5u"});

  common::RecordWriter records;
  records.quoted(" 3");
  records.quoted("a,b");
  records.number(7.05);
  records.line("");
  seeds("records", {records.text(), "\"20\",\"20\"\r\n400\n\"a,b\"\r888"});

  hw::HardwareParams params;
  params.RefClkMultiplier = 20;
  params.QuartzMHz = 20;
  params.RefClkMHz = 400;
  params.LptBase = hw::kLpt1;
  hw::HardwareParams ppdev{3, 100, 100, hw::kLpt2, "ppdev:/dev/parport0"};
  seeds("dds_cfg", {hw::hardwareConfigText(params), hw::hardwareConfigText(ppdev)});

  vfo::Settings radio;
  radio.WorkingFreq = 14.2;
  radio.mode = vfo::Mode::RTX;
  vfo::BandButtons buttons{1.8, 3.5, 7, 10.1, 14, 18.068, 21, 24.89, 28, 29, 50, 144};
  seeds("vfo_files", {vfo::settingsText(radio), vfo::memoriesText({"003.500000", "007.050000"}),
                      vfo::bandButtonsText(buttons)});

  seeds("pow_ini",
        {powermeter::formatPowIni({" 3", " 30", "1000", "20", "-80", {826, 235}, "0", 0}),
         powermeter::formatPowIni(
             {" 1.5", " 14.35", "20000", "0", "-50.5", {800, 200}, "2.5", 12.5f})});
  seeds("ant_ini", {analyzer::antIniText("3", "30", "500"), analyzer::antIniText(".5", "1", "1")});
  seeds("sim_cfg", {*sim::portOptionsText({"lowpass:fc=10,order=3", "rlc:r=75,l=1u,c=125p"}),
                    *sim::portOptionsText({"through", "r=50"})});

  powermeter::ChartFile chart{4, 3, 30, {-1, -2.5f, -80, 20, 0.5f}, -3.5f};
  powermeter::ChartFile wide{100, 0.1f, 160, std::vector<float>(101, -20.25f), std::nullopt};
  seeds("pwm", {powermeter::formatChartFile(chart), powermeter::formatChartFile(wide)});

  seeds("vna",
        {analyzer::formatVna(4, 3, 30, ramp(4)), analyzer::formatVna(50, 13, 15.5, ramp(50))});
  seeds("vec", {vec(4, 3, 30), vec(50, 13.5f, 14.5f)});

  powermeter::RifTable rif{};
  for (int k = 0; k < powermeter::kRifEntries; ++k) rif[k] = -0.01f * static_cast<float>(k % 300);
  seeds("rif", {powermeter::formatRif(rif), "-1.5\r\n-2\r\n.5\r\n"});

  seeds("touchstone", {analyzer::formatTouchstone(20, 13, 15.5, ramp(20)),
                       "! measured\n# GHz S MA R 50\n0.001 0.5 -30\n0.002 0.4 -60\n",
                       "# kHz Z DB R 75\n100 -3 45\n200 -6 90\n"});

  seeds("connection",
        {"through", "atten:20", "lowpass:fc=10,order=3", "crystal:fs=10,r=20,c=20f,c0=5p,r0=50",
         "r=50", "rlc:r=75,l=1u,c=125p", "open", "short"});

  seeds("cli_args",
        {lines({"--backend", "sim", "dds", "--freq", "7.05"}),
         lines({"tune", "14.2", "--mode", "rtx", "--if", "10.7"}),
         lines({"--backend", "sim", "--dut", "atten:20", "read-detector", "--freq", "10"}),
         lines({"--trace", "port.txt", "power-sweep", "--start", "1", "--stop", "30", "--points",
                "290", "--delay", "1", "--out", "lp.csv"}),
         lines({"--backend", "sim", "--load", "rlc:r=75,l=1u,c=125p", "analyze", "--start", "13",
                "--stop", "15.5", "--points", "250", "--out", "ant.s1p"}),
         lines({"read-bridge"}), lines({"--help"})});
  return 0;
}
