// kandelo-cli datasheet FILE [--pages main,polar,cartesian,table,ugr,glare,
//     utf-din,utf-tm5,utf-nb,isolux,cone,count,floor|all] [--planes 0,90,...]
//     [--language ger|eng|fra] (-o OUT.pdf | --printer QUEUE)
// The printed datasheet of a photometric file, with the company name and
// address of the settings in its footer.
#include "cli/cli_common.h"
#include "cli/datasheet_pdf.h"
#include "cli/eval_params.h"
#include "datasheet/datasheet.h"
#include "evaluation/intensity_diagram.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "platform/text.h"

namespace kandelo::cli {
namespace {

struct TPageName {
  const char* name;
  int type;
};
const TPageName kPageNames[] = {
    {"main", otMain},      {"polar", otPolar},     {"cartesian", otKart}, {"table", otTable},
    {"ugr", otGlUgr},      {"glare", otGlDin},     {"utf-din", otRtDin},  {"utf-tm5", otRtTm5},
    {"utf-nb", otRtNb},    {"isolux", otIso},      {"cone", otCone},      {"count", otSrt},
    {"floor", otBbk},
};

bool ParsePages(const std::string& text, std::uint16_t& set, std::string& message) {
  set = 0;
  const std::string t = platform::lower1252(FromUtf8(text));
  for (int i = 1; i <= WordCount(t, ", "); ++i) {
    const std::string word = ExtractWord(i, t, ", ");
    if (word == "all") {
      set = static_cast<std::uint16_t>((1u << kOutputTypeCount) - 1);
      continue;
    }
    bool known = false;
    for (const TPageName& p : kPageNames)
      if (word == p.name) {
        set = static_cast<std::uint16_t>(set | (1u << p.type));
        known = true;
      }
    if (!known) {
      message = "unknown page kind: " + word +
                " (main, polar, cartesian, table, ugr, glare, utf-din, utf-tm5, utf-nb, isolux, cone, count, floor or all)";
      return false;
    }
  }
  if (set == 0) message = "--pages names no page";
  return set != 0;
}

// "none" gives an empty list (no polar or cartesian pages).
bool ParsePlaneList(const std::string& text, TPlaneList& out) {
  out.clear();
  const std::string t = platform::lower1252(FromUtf8(text));
  if (t == "none") return true;
  for (int i = 1; i <= WordCount(t, ", "); ++i) {
    double v = 0;
    if (!ParseDouble(ExtractWord(i, t, ", "), v) || v < 0 || v >= 360) return false;
    out.push_back(static_cast<float>(v));
  }
  return !out.empty();
}

int Run(const std::string& file, const std::string& pages, const std::string& planes, const std::string& language,
        const TPrintTarget& target) {
  TOutputSettings settings = InitialOutputSettings();
  std::string message;
  if (!ParsePages(pages, settings.OutputSet, message)) return UsageError(message);
  const bool planesGiven = !planes.empty();
  if (planesGiven && !ParsePlaneList(planes, *settings.Planes)) return UsageError("bad plane list: " + FromUtf8(planes));
  if (target.pdf.empty() == target.printer.empty()) return UsageError("give either -o OUT.pdf or --printer QUEUE");
  if (!target.pdf.empty() && platform::lower1252(ExtractFileExt(target.pdf)) != ".pdf")
    return UsageError("the output must end in .pdf");

  LoadSettings();
  InstallLanguageFiles();
  TDatasheetOptions options = DatasheetOptionsFromSettings();
  if (!LanguageFileFor(language, options.languageFile, message)) return UsageError(message);
  TMsgManager msg(options.languageFile);

  TLUM32 lum;
  if (int code = kOk; !LoadForCommand(lum, file, code)) return code;
  if (!planesGiven) *settings.Planes = DefaultPlaneList(lum);
  return WriteDatasheetPdf(lum, settings, msg, options, target);
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("datasheet", "Print the datasheet of a photometric file into a PDF file");
  static std::string file, pages = "all", planes, language;
  static TPrintTarget target;
  cmd->add_option("FILE", file, "Photometric file")->required();
  cmd->add_option("--pages", pages,
                  "Page kinds: main, polar, cartesian, table, ugr, glare, utf-din, utf-tm5, utf-nb, isolux, cone, "
                  "count, floor, or all (default)");
  cmd->add_option("--planes", planes,
                  "Plane angles of the polar and cartesian pages, e.g. 0,90 (default: 0 and 90, or 0 when "
                  "rotational; none for no such pages)");
  cmd->add_option("--language", language, "Texts: ger, eng or fra (default: the configured language)");
  auto* out = cmd->add_option("-o,--output", target.pdf, "Output file (.pdf)");
  cmd->add_option("--printer", target.printer, "Print on this printer queue instead of writing a file")->excludes(out);
  cmd->callback([&exitCode] { exitCode = Run(file, pages, planes, language, target); });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
