// kandelo-cli new OUT [--format ldt|ies95|tm14|l32] [--symmetry N] [--c-step S]
//   [--gamma-start G] [--gamma-step S] [--gamma-end G] [--name TEXT] [--manufacturer TEXT] [--overwrite]:
// writes an empty (zero-intensity) luminaire file on a C-γ grid, with the
// new-luminaire wizard's presets and checks.
#include <cstdio>
#include <map>

#include "cli/cli_common.h"
#include "conversion/staging_dir.h"
#include "shell/ui_services.h"
#include "photometry/lum32.h"
#include "photometry/new_luminaire.h"
#include "platform/fileio.h"

namespace kandelo::cli {
namespace {

// The English texts of the wizard's messages, for a language file without them.
std::string GridError(const std::string& key) {
  static const std::map<std::string, std::string> english = {
      {"EM_INVCS", "Invalid C-plane step: it must divide the angle range without remainder."},
      {"EM_INVSYM", "Invalid symmetry: C planes take 0 to 4, B planes 0, 2 or 4."},
      {"EM_INVG1", "The gamma start angle must be smaller than the end angle."},
      {"EM_INVGE", "The gamma end angle must be larger than the step."},
      {"EM_INVGS", "The gamma step must divide the range between start and end angle without remainder."},
  };
  const auto it = english.find(key);
  return SessionText("ERRORS", key, it != english.end() ? it->second : key);
}

int Create(const std::string& out, std::uint8_t format, const TNewLuminaire& wanted, bool overwrite) {
  if (std::string error = CheckNewLumGrid(wanted.grid); !error.empty()) return Fail(GridError(error));
  if (platform::fs().exists(out) && !overwrite)
    return FailFile(out, SessionText("CL_EXISTS", "exists already (--overwrite replaces it)"));
  TNewLuminaire grid = wanted;
  // The presets fill the plane range the symmetry implies.
  const double step = grid.grid.planeStep;
  SetCSymmetry(grid.grid, grid.grid.symmetry);
  SetPlaneStep(grid.grid, step);
  TLUM32 lum;
  if (!MakeNewLuminaire(grid, out, lum)) return Fail("the table of this grid cannot be made");
  // Staged and renamed into place: never half a file.
  CollectingUi boxes;
  bool written;
  {
    ScopedUiServices collect(boxes);
    written = WriteLuminaireSafely(lum, format, out);
  }
  if (!written) return FailWrite(out, platform::whyNotWritable(out));
  return kOk;
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("new", "Write an empty luminaire file on a chosen angle grid");
  static std::string out, format = "ldt", name, maker;
  static TNewLumGrid grid = DefaultCGrid();
  static bool overwrite = false;
  cmd->add_option("OUT", out, "File to write")->required();
  cmd->add_option("--format", format, "File format (default ldt)")
      ->check(CLI::IsMember({"ldt", "ies95", "tm14", "l32"}));
  cmd->add_option("--symmetry", grid.symmetry,
                  "0 none, 1 rotational, 2 C0-C180, 3 C90-C270, 4 both planes (default 0)");
  cmd->add_option("--c-step", grid.planeStep, "C-plane step in degrees (default 15)");
  cmd->add_option("--gamma-start", grid.angleStart, "First gamma angle (default 0)");
  cmd->add_option("--gamma-step", grid.angleStep, "Gamma step in degrees (default 5)");
  cmd->add_option("--gamma-end", grid.angleEnd, "Last gamma angle (default 90)");
  cmd->add_option("--name", name, "Luminaire name");
  cmd->add_option("--manufacturer", maker, "Manufacturer");
  cmd->add_flag("--overwrite", overwrite, "Replace an existing file");
  cmd->callback([&exitCode] {
    static const std::map<std::string, std::uint8_t> codes = {
        {"ldt", fmtEulumdat}, {"ies95", fmtIes95}, {"tm14", fmtTm14}, {"l32", fmtLum32}};
    TNewLuminaire wanted;
    wanted.grid = grid;
    wanted.lumName = FromUtf8(name);
    wanted.manufacturer = FromUtf8(maker);
    exitCode = Create(out, codes.at(format), wanted, overwrite);
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
