// kandelo-cli convert FILE --to ldt|ies86|ies91|ies95|tm14|l32 -o OUT:
// reads any photometric file and writes it in another format.
#include <cstdio>
#include <map>

#include "cli/cli_common.h"
#include "frame/ui_services.h"
#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"

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
    if (!LoadForCommand(lum, file, exitCode)) return;
    std::uint8_t code = codes.at(to);
    // The name is written as given; only the data are prepared for the format.
    if (!PrepareForFormat(lum, code)) {
      exitCode = Fail("cannot resample " + file + " to C-planes");
      return;
    }
    lum.CalcFlux();
    if (!lum.SaveAs(code, out)) {
      exitCode = FailFile(out, SessionText("CL_NOWRITE", "cannot be written") + " (" + FormatByCode(code).name + ")");
      return;
    }
    // Success means a file the program reads back; one it cannot read (a
    // writer's fault) is removed rather than left behind as a conversion.
    TLUM32 back;
    CollectingUi quiet;
    bool readsBack;
    {
      ScopedUiServices collect(quiet);
      readsBack = back.LoadFromFile(out);
    }
    if (!readsBack) {
      platform::fs().removeFile(out);
      exitCode = FailFile(out, SessionText("CL_NOREADBACK", "the file written does not read back and was removed"));
      return;
    }
    exitCode = kOk;
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
