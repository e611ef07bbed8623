// kandelo-cli convert FILE --to ldt|ies86|ies91|ies95|tm14|l32 -o OUT:
// reads any photometric file and writes it in another format.
// kandelo-cli convert FILE... --to F --dir OUTDIR [--ext EXT] [--add-to-catalogue]:
// the browser's batch conversion, one line for each file written or skipped.
#include <cstdio>
#include <map>
#include <optional>

#include "cli/cli_common.h"
#include "cli/progress_line.h"
#include "conversion/convert_files.h"
#include "database/catalogue.h"
#include "frame/pathlist.h"
#include "frame/settings.h"
#include "shell/ui_services.h"
#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"

namespace kandelo::cli {
namespace {

const std::map<std::string, std::uint8_t>& Codes() {
  static const std::map<std::string, std::uint8_t> codes = {
      {"ldt", fmtEulumdat}, {"ies86", fmtIes86}, {"ies91", fmtIes91},
      {"ies95", fmtIes95},  {"tm14", fmtTm14},   {"l32", fmtLum32},
  };
  return codes;
}

int convertOne(const std::string& file, std::uint8_t code, const std::string& out) {
  TLUM32 lum;
  int exitCode = kOk;
  if (!LoadForCommand(lum, file, exitCode, LoadValues::AsRead)) return exitCode;
  // The name is written as given; only the data are prepared for the format.
  if (!PrepareForFormat(lum, code)) return Fail("cannot resample " + file + " to C-planes");
  lum.CalcFlux();
  if (!lum.SaveAs(code, out)) {
    const platform::WriteError why = platform::whyNotWritable(out);
    if (why != platform::WriteError::Unknown) return FailWrite(out, why);
    return FailFile(out, SessionText("CL_NOWRITE", "cannot be written") + " (" + FormatByCode(code).name + ")");
  }
  // Success means a file the program reads back; one it cannot read (a
  // writer's fault) is removed rather than left behind as a conversion.
  TLUM32 back;
  if (!LoadLuminaire(out, back, LoadValues::AsRead).ok()) {
    platform::fs().removeFile(out);
    return FailFile(out, SessionText("CL_NOREADBACK", "the file written does not read back and was removed"));
  }
  return kOk;
}

int convertMany(const std::vector<std::string>& files, std::uint8_t code, const std::string& dir,
                const std::string& ext, bool add) {
  ConversionSettings s;
  s.DstFormat = DestinationOfCode(code);
  s.DstExt = ext.empty() ? ConversionDestinations()[static_cast<std::size_t>(s.DstFormat)].extension : ext;
  // The path list keeps absolute directories.
  auto canonical = platform::canonicalPath(dir);
  s.DstDir = canonical ? *canonical : dir;
  s.AddToCatalogue = add;
  std::optional<StartupState> session;
  struct Stop {
    bool on = false;
    ~Stop() { if (on) StopCli(); }
  } stop;
  if (add) {
    session = StartCli();
    stop.on = true;
    if (!session->catalogueReady || !Catalogue()) return Fail("the catalogue is not available");
    if (canonical) {
      TPathList paths(PathListFileName());
      const int i = paths.StorePath(s.DstDir);
      if (i < 0)
        return Fail("cannot enter " + s.DstDir + " into the path list");
      s.DstPathIndex = i;
    }
  }
  if (!add) LoadSettings();  // the TM14 version among them
  ProgressLine progress("converting");
  const ConversionReport r = ConvertFiles(files, s, [&progress](std::size_t i, std::size_t n, const std::string&) {
    progress.Update(i, n);
    return true;
  });
  progress.Done();
  for (const ConvertedFile& f : r.files) {
    if (f.written)
      std::printf("written %s -> %s%s\n", f.source.c_str(), f.target.c_str(),
                  f.catalogued ? " (catalogued)" : (f.reason.empty() ? "" : (" (" + ToUtf8(f.reason) + ")").c_str()));
    else
      std::printf("skipped %s: %s\n", f.source.c_str(), ToUtf8(f.reason).c_str());
  }
  if (r.addingRefused)
    std::fprintf(stderr, "nothing was added to the catalogue: the destination is on a removable or network medium, "
                         "or the catalogue is not open\n");
  if (r.stopped) return Fail(r.stopReason);
  std::printf("written %d, skipped %d", r.written, r.skipped);
  if (add) std::printf(", added %d, updated %d", r.added, r.updated);
  std::printf("\n");
  return r.skipped ? kFailure : kOk;
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("convert", "Write photometric files in another format");
  static std::vector<std::string> files;
  static std::string to, out, dir, ext;
  static bool add = false;
  cmd->add_option("FILE", files, "Photometric files")->required();
  cmd->add_option("--to", to, "Target format")
      ->required()
      ->check(CLI::IsMember({"ldt", "ies86", "ies91", "ies95", "tm14", "l32"}));
  auto* o = cmd->add_option("-o,--output", out, "File to write (one source file)");
  auto* d = cmd->add_option("--dir", dir, "Directory to write the converted files into");
  o->excludes(d);
  auto* e = cmd->add_option("--ext", ext, "Extension of the converted files (default: the format's)");
  auto* a = cmd->add_flag("--add-to-catalogue", add, "Add the converted files to the catalogue");
  e->needs(d);
  a->needs(d);
  cmd->callback([&exitCode, o, d] {
    const std::uint8_t code = Codes().at(to);
    if (d->count() > 0) {
      if (ext.size() > 3) ext.resize(3);  // the extension field holds 3 characters
      exitCode = convertMany(files, code, dir, ext, add);
      return;
    }
    if (o->count() == 0 || files.size() != 1) {
      std::fprintf(stderr, "convert: give one FILE with -o OUT, or FILE... with --dir OUTDIR\n");
      exitCode = kUsage;
      return;
    }
    exitCode = convertOne(files.front(), code, out);
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
