// The browser's datasheets: printing the current luminaire (prtbtn), the
// output selection of the batch (CatBtn4) and the batch print of the
// multi-select list (CatPrintBtn): every datasheet in one document (on the
// printer or in the one PDF file named), or one PDF file per entry in a
// folder when "one file per luminaire" is ticked.
#include <QCheckBox>
#include <QPrinter>
#include <QTreeWidget>
#include <filesystem>
#include <set>

#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "shell/ui_services.h"
#include "graphics/batch_page_job.h"
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
// Files and failures named one by one in the summary; "..." stands for the rest.
constexpr std::size_t kListedEntries = 15;

void AppendLines(std::string& text, const std::vector<std::string>& lines) {
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (k == kListedEntries) {
      text += "\n...";
      return;
    }
    text += "\n" + lines[k];
  }
}
// The folder the last batch of datasheets was written to.
constexpr const char* kPrintDirSetting = "PRINTDIR";

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
    const std::string name = TrimBlanks(row.RealFileName());
    entries.push_back({recNo, name, AddBackslash(backend_.GetPath(row.dirIndex)) + name});
  }
  if (entries.empty()) {
    RestartTimer();
    return;
  }
  const std::string title = MsgOr("PRINTING", "PR_TITLE", "Print datasheet");
  // The folder of the last batch written to files, else the documents folder.
  std::string folder = ReadSettingString("LDBSETTINGS", kPrintDirSetting, "");
  if (folder.empty() || !std::filesystem::is_directory(folder))
    folder = std::filesystem::path(DefaultPdfPath("datasheets.pdf")).parent_path().string();
  QPrinter printer(QPrinter::HighResolution);
  // One file per luminaire: a folder, each PDF named after its luminaire file.
  // Otherwise one document: the printer, or the one PDF file named.
  const bool each = eachPdfCheck_->isChecked();
  std::string dir;
  std::optional<PrintTarget> target;
  if (each) {
    dir = ui().chooseDirectory(MsgOr("PRINTING", "PR_CHOOSEDIR", "Folder for the datasheets"), folder);
    printer.setOutputFormat(QPrinter::PdfFormat);
  } else {
    target = ChoosePrintTarget(this, printer, title, (std::filesystem::path(folder) / "datasheets.pdf").string());
    if (target && target->ToFile()) dir = std::filesystem::path(target->file).parent_path().string();
  }
  if (each ? dir.empty() : !target) {
    RestartTimer();
    return;
  }
  if (!dir.empty()) WriteSettingString("LDBSETTINGS", kPrintDirSetting, dir);
  std::set<std::string> used;
  std::vector<std::string> written;  // the files of "one file per luminaire"
  TQtPageJob single(printer, each ? std::string() : target->file);
  TBatchPageJob batch(single);

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
    const std::string file = each ? UniquePdf(dir, e.name, used) : std::string();
    TQtPageJob own(printer, file);
    std::string error;
    switch (backend_.PrintDatasheetOf(e.path, e.recNo, output_, *msg_, each ? static_cast<TPageJob&>(own) : batch,
                                      error)) {
      case PrintOutcome::Printed:
        ++printed;
        if (each) written.push_back(std::filesystem::path(file).filename().string());
        break;
      case PrintOutcome::NotLoaded: failures.push_back(e.name + ": " + Msg("DEFAULT MESSAGES", "DM_LUMLOADERR")); break;
      case PrintOutcome::NoData:
        failures.push_back(e.name + ": " + MsgOr("PRINTING", "PR_NODATA", "The luminaire holds no data to print; nothing was printed."));
        break;
      case PrintOutcome::JobFailed: jobFailed = true; break;
      case PrintOutcome::Failed: failures.push_back(e.name + ": " + error); break;
    }
    // A printer or folder that refuses one job refuses the rest as well; a
    // document whose job was thrown away holds nothing any more.
    if (jobFailed || batch.Failed()) break;
  }
  // The one document ends once every datasheet is in it; one that failed
  // was thrown away whole.
  if (!each) {
    if (printed > 0 && !batch.Failed()) batch.Finish();
    if (batch.Failed()) {
      jobFailed = true;
      printed = 0;
    }
  }
  if (wait) ui().endWait();
  ui().setBusy(false);

  // The summary says what was written where.
  std::string text = std::to_string(printed) + " " + MsgOr("PRINTING", "PR_PRINTED", "datasheets printed") + ".";
  if (printed > 0) {
    if (each) {
      text += "\n" + MsgOr("PRINTING", "PR_FOLDER", "Files written to the folder") + " " + dir + ":";
      AppendLines(text, written);
    } else if (target->ToFile()) {
      text += "\n" + MsgOr("PRINTING", "PR_FILE", "Written to the file") + " " + target->file;
    } else {
      text += "\n" + MsgOr("PRINTING", "PR_PRINTER", "Sent to the printer") + " " + S(printer.printerName());
    }
  }
  if (cancelled) text += "\n" + MsgOr("PRINTING", "PR_CANCELLED", "Printing was cancelled.");
  if (jobFailed)
    text += "\n" + MsgOr("PRINTING", "PR_JOBFAILED", "The datasheet could not be written:") + " " +
            (each ? dir : target->ToFile() ? target->file : S(printer.printerName()));
  AppendLines(text, failures);
  if (jobFailed || !failures.empty())
    ShowErrorL(text, Settings().MsgTxtFile);
  else
    ShowInfoL(text, Settings().MsgTxtFile);
  RestartTimer();
}

}  // namespace kandelo
