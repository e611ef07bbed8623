// kandelo-cli convert FILE --to ldt|ies86|ies91|ies95|tm14|l32 -o OUT:
// reads any photometric file and writes it in another format.
#include <cstdio>
#include <map>

#include "cli/cli_common.h"
#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"

namespace kandelo::cli {
namespace {

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("convert", "Write a photometric file in another format");
  static std::string file, to, out;
  static const std::map<std::string, std::uint8_t> codes = {
      {"ldt", fmtEulumdat}, {"ies86", fmtIes86}, {"ies91", fmtIes91},
      {"ies95", fmtIes95},  {"tm14", fmtTm14},   {"l32", fmtLum32},
  };
  cmd->add_option("FILE", file, "Photometric file")->required();
  cmd->add_option("--to", to, "Target format")
      ->required()
      ->check(CLI::IsMember({"ldt", "ies86", "ies91", "ies95", "tm14", "l32"}));
  cmd->add_option("-o,--output", out, "File to write")->required();
  cmd->callback([&exitCode] {
    TLUM32 lum;
    if (!lum.LoadFromFile(file)) {
      exitCode = Fail("cannot read " + file + " as a photometric file");
      return;
    }
    std::uint8_t code = codes.at(to);
    // The name is written as given; only the data are prepared for the format.
    if (!PrepareForFormat(lum, code)) {
      exitCode = Fail("cannot resample " + file + " to C-planes");
      return;
    }
    lum.CalcFlux();
    if (!lum.SaveAs(code, out)) {
      exitCode = Fail("cannot write " + out + " as " + FormatByCode(code).name);
      return;
    }
    exitCode = kOk;
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
