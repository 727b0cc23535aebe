// The loads the promise table sweeps: resistors, series and parallel
// networks, and lines with loads at their far end.
#include <complex>
#include <cstdio>
#include <fstream>
#include <numbers>

#include "common/reflection.h"
#include "promise.h"

namespace kolm::promise {
namespace {

// A parallel R, L, C (0 leaves a part out) as a Touchstone file, 0.1 MHz steps.
std::string parallelFile(const std::filesystem::path& folder, const std::string& name, double r,
                         double l, double c) {
  const std::filesystem::path path = folder / (name + ".s1p");
  std::ofstream out(path);
  out << "# MHz S RI R 50\n";
  for (int k = 0; k <= 700; ++k) {
    const double f = 0.1 * k, w = 2 * std::numbers::pi * f * 1e6;
    Complex y = r > 0 ? 1 / r : 0;
    if (l > 0 && f > 0) y += 1.0 / Complex(0, w * l);
    if (c > 0) y += Complex(0, w * c);
    const Complex g = std::abs(y) == 0 ? Complex(1) : common::reflectionOf(1.0 / y);
    char line[96];
    std::snprintf(line, sizeof line, "%.4f %.12g %.12g\n", f, g.real(), g.imag());
    out << line;
  }
  return "s1p:" + path.string();
}

}  // namespace

std::vector<LoadCase> loads(const std::filesystem::path& folder, const std::string& which) {
  std::vector<LoadCase> out;
  const bool all = which == "all";
  if (all || which == "resistors")
    for (double r : {5, 10, 25, 33, 50, 56, 75, 100, 150, 200, 300, 450, 1000}) {
      char name[32];
      std::snprintf(name, sizeof name, "r=%g", r);
      out.push_back({name, name, Kind::Resistor, r});
    }
  if (all || which == "reactive") {
    // 50 + j50 and 20 - j30 at 14 MHz among them.
    for (const char* l :
         {"rlc:r=50,l=568n", "rlc:r=20,c=379p", "rlc:r=10,c=470p", "rlc:r=50,c=100p",
          "rlc:r=100,c=47p", "rlc:r=10,l=1u", "rlc:r=200,l=2u", "rlc:r=12.5,l=2u,c=62.8p",
          "rlc:r=50,l=1u,c=129.2p", "rlc:r=35,l=4u,c=32p", "rlc:r=200,l=5u,c=20p", "rlc:r=0,l=1u",
          "rlc:r=0,c=100p"})
      out.push_back({l, l, Kind::Reactive});
    struct Parallel {
      const char* name;
      double r, l, c;
    };
    for (const Parallel& p :
         {Parallel{"par:r=100,c=100p", 100, 0, 100e-12}, Parallel{"par:r=200,l=1u", 200, 1e-6, 0},
          Parallel{"par:r=1000,l=1u,c=120p", 1000, 1e-6, 120e-12},
          Parallel{"par:r=300,l=2u,c=60p", 300, 2e-6, 60e-12}})
      out.push_back({p.name, parallelFile(folder, p.name + 4, p.r, p.l, p.c), Kind::Reactive});
  }
  if (all || which == "lines") {
    for (const char* far : {"r=100", "r=25", "rlc:r=35,l=4u,c=32p", "open"}) {
      const std::string load = std::string("line:z0=50,len=10,vf=0.66,loss=16.1@100,load=") + far;
      out.push_back({std::string("RG58 10 m + ") + far, load, Kind::Line});
    }
    // The same taken out again with the cable's published figures.
    std::string why;
    const auto rg58 = analyzer::parseCable("RG58:10", &why);
    for (const char* far : {"r=100", "r=25"}) {
      LoadCase c{std::string("RG58 10 m out, ") + far,
                 std::string("line:z0=50,len=10,vf=0.66,loss=16.1@100,load=") + far, Kind::Line};
      c.cable = rg58;
      c.far = far;
      out.push_back(c);
    }
    out.push_back({"450 ohm line 5 m + r=200", "line:z0=450,len=5,vf=0.91,loss=1@100,load=r=200",
                   Kind::Line});
  }
  return out;
}

}  // namespace kolm::promise
