// kandelo-cli intensity FILE GAMMA C [GAMMA C ...]: the intensity in cd/klm
// in each direction, one value per line.
#include <cstdio>

#include "cli/cli_common.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"

namespace kandelo::cli {
namespace {

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("intensity", "Print Intensity(gamma, C) of a photometric file");
  static std::string file;
  static std::vector<std::string> angles;
  cmd->add_option("FILE", file, "Photometric file")->required();
  cmd->add_option("ANGLES", angles, "Pairs of gamma and C in degrees")->required();
  cmd->callback([&exitCode] {
    std::vector<double> v;
    for (const auto& a : angles) {
      double d;
      if (!ParseDouble(a, d)) {
        std::fprintf(stderr, "kandelo-cli: not an angle: %s\n", a.c_str());
        exitCode = kUsage;
        return;
      }
      v.push_back(d);
    }
    if (v.size() % 2 != 0) {
      std::fprintf(stderr, "kandelo-cli: angles come in pairs GAMMA C\n");
      exitCode = kUsage;
      return;
    }
    TLUM32 lum;
    if (!LoadForCommand(lum, file, exitCode)) return;
    for (std::size_t k = 0; k < v.size(); k += 2)
      std::printf("%s\n", FormatFixed(lum.Intensity(v[k], v[k + 1]), 4).c_str());
    exitCode = kOk;
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
