// The browser's datasheets: printing the current luminaire (prtbtn), the
// output selection of the batch (CatBtn4) and the batch print of the
// multi-select list (CatPrintBtn): one job per entry, on the printer or as
// one PDF file per entry.
#include <QPrinter>
#include <QTreeWidget>
#include <filesystem>
#include <set>

#include "frame/msgbox.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "frame/ui_services.h"
#include "graphics/qt/qt_page_job.h"
#include "platform/text.h"
#include "ui/base_form.h"
#include "ui/output_edit.h"
#include "texts/qstr.h"
#include "ui/print_setup.h"

namespace kandelo {

namespace {

// Lists longer than this get the wait window with its cancel button.
constexpr std::size_t kPrintWaitFrom = 20;
// Entries named one by one in the summary; the rest are counted.
constexpr std::size_t kListedFailures = 15;

// A file name not yet used by this batch in `dir`: "NAME.pdf", "NAME-2.pdf", …
// Two entries of the same name in different directories must not overwrite
// each other's datasheet.
std::string UniquePdf(const std::filesystem::path& dir, const std::string& entryName, std::set<std::string>& used) {
  std::string stem = std::filesystem::path(entryName).stem().string();
  if (stem.empty()) stem = "datasheet";
  std::string name = stem + ".pdf";
  for (int n = 2; used.count(platform::upper1252(name)); ++n) name = stem + "-" + std::to_string(n) + ".pdf";
  used.insert(platform::upper1252(name));
  return (dir / name).string();
}

}  // namespace

void TfBaseForm::PrintCurrentClicked() {
  StopTimer();
  LoadCurrentLuminaire(true);
  if (!loaded_) return;
  if (!EditOutputSettings(output_, backend_.OutputLuminaire(), translation_, this)) {
    RestartTimer();
    return;
  }
  const std::string title = MsgOr("PRINTING", "PR_TITLE", "Print datasheet");
  QPrinter printer(QPrinter::HighResolution);
  const auto target = ChoosePrintTarget(this, printer, title, DefaultPdfPath(backend_.LuminairePath()));
  if (!target) {
    RestartTimer();
    return;
  }
  TQtPageJob job(printer, target->file);
  std::string error;
  ui().setBusy(true);
  const PrintOutcome outcome = backend_.PrintLoadedDatasheet(CurrentRecNo(), output_, *msg_, job, error);
  ui().setBusy(false);
  switch (outcome) {
    case PrintOutcome::Printed: break;
    case PrintOutcome::NoData:
    case PrintOutcome::NotLoaded:
      ShowErrorL(MsgOr("PRINTING", "PR_NODATA", "The luminaire holds no data to print; nothing was printed."),
                 Settings().MsgTxtFile);
      break;
    case PrintOutcome::JobFailed:
      ShowErrorL(MsgOr("PRINTING", "PR_JOBFAILED", "The datasheet could not be written:") + " " +
                     (target->ToFile() ? target->file : S(printer.printerName())),
                 Settings().MsgTxtFile);
      break;
    case PrintOutcome::Failed:
      ShowErrorL(MsgOr("PRINTING", "PR_FAILED", "The datasheet could not be printed:") + " " + error,
                 Settings().MsgTxtFile);
      break;
  }
  RestartTimer();
}

void TfBaseForm::EditOutputsClicked() { EditOutputSettings(output_, std::nullopt, translation_, this); }

void TfBaseForm::PrintListClicked() {
  const int count = selList_->topLevelItemCount();
  if (count == 0) return;
  StopTimer();
  struct Entry {
    std::int32_t recNo;
    std::string name, path;
  };
  std::vector<Entry> entries;
  for (int i = 0; i < count; ++i) {
    CatalogueRow row;
    const std::int32_t recNo = selList_->topLevelItem(i)->data(0, Qt::UserRole).toInt();
    if (!backend_.ReadRecord(recNo, row)) continue;
    const std::string name = TrimBlanks(row.diskName.empty() ? row.fileName : row.diskName);
    entries.push_back({recNo, name, AddBackslash(backend_.GetPath(row.dirIndex)) + name});
  }
  if (entries.empty()) {
    RestartTimer();
    return;
  }
  const std::string title = MsgOr("PRINTING", "PR_TITLE", "Print datasheet");
  QPrinter printer(QPrinter::HighResolution);
  // Printing to files: the folder of the file chosen for the first entry
  // takes one PDF per entry, each named after its luminaire file.
  const auto target = ChoosePrintTarget(this, printer, title, DefaultPdfPath(entries.front().name));
  if (!target) {
    RestartTimer();
    return;
  }
  const std::filesystem::path dir = std::filesystem::path(target->file).parent_path();
  std::set<std::string> used;

  const bool wait = entries.size() > kPrintWaitFrom;
  ui().setBusy(true);
  if (wait) {
    ui().beginWait(MsgOr("PRINTING", "PR_WAIT", "Printing datasheets"));
    ui().setWaitCancellable(true);
  }
  int printed = 0;
  bool cancelled = false, jobFailed = false;
  std::vector<std::string> failures;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (wait) {
      ui().updateWait(std::to_string(i + 1) + " / " + std::to_string(entries.size()) + "   " + e.name);
      if (ui().waitCancelled()) {
        cancelled = true;
        break;
      }
    }
    if (!FileExistsS(e.path)) {
      failures.push_back(Msg("DEFAULT MESSAGES", "DM_NOTFOUND") + " : " + e.path);
      continue;
    }
    TQtPageJob job(printer, target->ToFile() ? UniquePdf(dir, e.name, used) : std::string());
    std::string error;
    switch (backend_.PrintDatasheetOf(e.path, e.recNo, output_, *msg_, job, error)) {
      case PrintOutcome::Printed: ++printed; break;
      case PrintOutcome::NotLoaded: failures.push_back(e.name + ": " + Msg("DEFAULT MESSAGES", "DM_LUMLOADERR")); break;
      case PrintOutcome::NoData:
        failures.push_back(e.name + ": " + MsgOr("PRINTING", "PR_NODATA", "The luminaire holds no data to print; nothing was printed."));
        break;
      case PrintOutcome::JobFailed: jobFailed = true; break;
      case PrintOutcome::Failed: failures.push_back(e.name + ": " + error); break;
    }
    // A printer or folder that refuses one job refuses the rest as well.
    if (jobFailed) break;
  }
  if (wait) ui().endWait();
  ui().setBusy(false);

  std::string text = std::to_string(printed) + " " + MsgOr("PRINTING", "PR_PRINTED", "datasheets printed") + ".";
  if (cancelled) text += "\n" + MsgOr("PRINTING", "PR_CANCELLED", "Printing was cancelled.");
  if (jobFailed)
    text += "\n" + MsgOr("PRINTING", "PR_JOBFAILED", "The datasheet could not be written:") + " " +
            (target->ToFile() ? dir.string() : S(printer.printerName()));
  for (std::size_t k = 0; k < failures.size(); ++k) {
    if (k == kListedFailures) {
      text += "\n...";
      break;
    }
    text += "\n" + failures[k];
  }
  if (jobFailed || !failures.empty())
    ShowErrorL(text, Settings().MsgTxtFile);
  else if (wait || cancelled)
    ShowInfoL(text, Settings().MsgTxtFile);
  RestartTimer();
}

}  // namespace kandelo
