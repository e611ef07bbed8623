#include "cli/cmd_list.h"

#include <cstdio>

#include "cli/cli_common.h"
#include "cli/list_pdf.h"
#include "database/catalogue.h"
#include "database/catalogue_list.h"
#include "frame/settings.h"
#include "datasheet/list_print.h"
#include "platform/fileio.h"
#include "platform/text.h"

namespace kandelo::cli {

namespace {

struct ListOptions {
  int keyNo = 1;
  std::string from, to, output, printer;
};

// Exports the chosen entries to the list file, or with `text` straight to
// the text list at o.output; the count, or the exit code (negative) when
// nothing can be listed.
int Export(const ListOptions& o, bool text, int& exitCode) {
  const StartupState state = StartCli();
  if (!state.catalogueReady || !Catalogue()) {
    exitCode = CatalogueUnavailable();
    return -1;
  }
  const bool all = o.from.empty() && o.to.empty();
  // The key strings are upper case; the defaults are those of the dialog.
  const std::string from = platform::upper1252(FromUtf8(o.from.empty() ? " " : o.from));
  const std::string to = platform::upper1252(FromUtf8(o.to.empty() ? "Z" : o.to));
  std::string error;
  std::int32_t n;
  platform::WriteError why = platform::WriteError::None;
  if (text) n = ExportListText(o.keyNo, all, from, to, o.output, error, &why);
  else n = all ? ExportAll(o.keyNo) : ExportKeyRange(o.keyNo, from, to);
  if (n < 0) {
    if (text && why != platform::WriteError::None) {
      exitCode = FailWrite(o.output, why);
      return -1;
    }
    exitCode = Fail(text ? error : "cannot write the list file " + ListFilePath());
    return -1;
  }
  if (n == 0) {
    exitCode = Fail(SessionText("CL_LISTEMPTY", "no catalogue entries lie in the chosen range") +
                    (from > to ? " (" + SessionText("CL_REVERSED", "--from sorts after --to") + ")" : ""));
    return -1;
  }
  return n;
}

int ExportListCmd(const ListOptions& o) {
  int exitCode = kOk;
  const int n = Export(o, true, exitCode);
  if (n < 0) return exitCode;
  std::printf("%d\n", n);
  return kOk;
}

int PrintListCmd(const ListOptions& o) {
  if (o.output.empty() == o.printer.empty()) {
    std::fprintf(stderr, "give either -o OUT.pdf or --printer QUEUE\n");
    return kUsage;
  }
  int exitCode = kOk;
  const int n = Export(o, false, exitCode);
  if (n < 0) return exitCode;
  const auto entries = ReadListFile(ListFilePath());
  platform::fs().removeFile(ListFilePath());
  if (!entries) return Fail("cannot read the list file " + ListFilePath());
  std::string error;
  if (!WriteListPdf(*entries, ListTextsFrom(Settings().OrvMsgFile), {o.output, o.printer}, error))
    return Fail(error);
  std::printf("%d entries, %zu pages\n", n, PaginateList(*entries).size());
  return kOk;
}

// `printing`: the output may also be a printer queue.
void AddOptions(CLI::App* cmd, ListOptions& o, bool printing) {
  cmd->add_option("--key", o.keyNo, "Sort key: 1 name, 2 number, 3 file name, 5 manufacturer")
      ->check(CLI::IsMember({1, 2, 3, 5}));
  cmd->add_option("--from", o.from, "First key prefix of the range (upper case is used)");
  cmd->add_option("--to", o.to, "Last key prefix of the range");
  auto* out = cmd->add_option("-o,--output", o.output, "Output file");
  if (!printing) out->required();
  else cmd->add_option("--printer", o.printer, "Print on this printer queue instead of writing a file")->excludes(out);
}

}  // namespace

void AddListCommands(CLI::App& catalogue, int& exitCode) {
  static ListOptions text, print;
  auto* exportCmd = catalogue.add_subcommand("export-list", "Write the catalogue list as a tab-separated text file");
  AddOptions(exportCmd, text, false);
  exportCmd->callback([&exitCode] { exitCode = ExportListCmd(text); });
  auto* printCmd = catalogue.add_subcommand("print-list", "Print the catalogue list into a PDF file or on a printer (landscape)");
  AddOptions(printCmd, print, true);
  printCmd->callback([&exitCode] { exitCode = PrintListCmd(print); });
}

}  // namespace kandelo::cli
