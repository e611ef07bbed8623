// The browser's "save as" (popup) and the batch conversion of the
// multi-select list (FBtn1).
#include <QTreeWidget>
#include <algorithm>

#include "conversion/save_luminaire.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "shell/ui_services.h"
#include "photometry/format_io.h"
#include "platform/text.h"
#include "ui/base_form.h"
#include "ui/convert_dlg.h"

namespace kandelo {

namespace {

// Lists longer than this get the wait window with its cancel button.
constexpr std::size_t kWaitFrom = 20;
// Skipped files named one by one in the summary; the rest are counted.
constexpr std::size_t kListedSkips = 15;

}  // namespace

void TfBaseForm::SaveAsClicked() {
  StopTimer();
  if (!loaded_) return;
  const std::string current = backend_.LuminairePath();
  int filterIndex = 1;
  const std::string chosen = ui().chooseSaveFile(MsgOr("CONVERSION", "CV_SAVEAS", "Save as"), Settings().LumDir1,
                                                 current, SaveFileTypes(*msg_), filterIndex);
  if (chosen.empty()) {
    RestartTimer();
    return;
  }
  // The extension typed decides the format when it names one that can be
  // written; a name that still has to change is shown before anything is written.
  const auto& codes = SaveFilterCodes();
  if (filterIndex >= 1 && filterIndex <= static_cast<int>(codes.size())) {
    const std::uint8_t code = SaveAsFormat(chosen, codes[static_cast<std::size_t>(filterIndex - 1)]);
    filterIndex = static_cast<int>(std::find(codes.begin(), codes.end(), code) - codes.begin()) + 1;
    const std::string target = TargetNameForFormat(chosen, code);
    if (target != chosen &&
        AskYesNoCancelL(MsgOr("CONVERSION", "CV_NEWNAME", "The file gets the extension of its format and will be written as:") +
                            "\n" + target,
                        Settings().MsgTxtFile) != mrYes) {
      RestartTimer();
      return;
    }
  }
  std::string error;
  const std::string written = backend_.SaveLuminaireAs(filterIndex, chosen, error);
  if (written.empty()) {
    ShowErrorL(error, Settings().MsgTxtFile);
    RestartTimer();
    return;
  }
  if (platform::upper1252(TrimBlanks(written)) == platform::upper1252(TrimBlanks(current))) {
    RestartTimer();
    return;
  }
  // The new file joins the catalogue where it was written, like an insert,
  // when it lies where catalogued files lie; a copy elsewhere only when the
  // user wants it there.
  if (!backend_.DirectoryCatalogued(written.substr(0, written.find_last_of('/'))) &&
      AskYesNoCancelL(MsgOr("CONVERSION", "CV_ADDCOPY",
                            "The copy lies outside the luminaire directories. Add the copy to the catalogue?") +
                          "\n" + written,
                      Settings().MsgTxtFile) != mrYes) {
    // The browser goes on with the entry it shows, not with the copy.
    ClearLuminaire();
    LoadCurrentLuminaire(true);
    RestartTimer();
    return;
  }
  const std::int32_t recNo = backend_.CatalogueFileInPlace(written);
  ClearLuminaire();
  if (recNo > 0) {
    ReloadTable();
    ShowRecord(recNo);
  } else
    ShowErrorL(MsgOr("CONVERSION", "CV_NOTADDED", "The file was written but could not be added to the catalogue:") +
                   " " + written,
               Settings().MsgTxtFile);
  RestartTimer();
}

void TfBaseForm::ConvertListClicked() {
  if (selList_->topLevelItemCount() == 0) return;
  if (conversion_.DstDir.empty()) conversion_.DstDir = Settings().LumDir1;
  if (!EditConversionSettings(conversion_, translation_, this)) return;
  StopTimer();
  std::vector<std::string> paths;
  for (int i = 0; i < selList_->topLevelItemCount(); ++i) {
    CatalogueRow row;
    if (!backend_.ReadRecord(selList_->topLevelItem(i)->data(0, Qt::UserRole).toInt(), row)) continue;
    paths.push_back(AddBackslash(backend_.GetPath(row.dirIndex)) + row.RealFileName());
  }
  const bool wait = paths.size() > kWaitFrom;
  ui().setBusy(true);
  if (wait) {
    ui().beginWait(MsgOr("CONVERSION", "CV_WAIT", "Converting files"));
    ui().setWaitCancellable(true);
  }
  // The settings keep the user's choice; the run may turn adding off.
  ConversionSettings run = conversion_;
  const ConversionReport r =
      backend_.ConvertFiles(paths, run, [wait](std::size_t i, std::size_t n, const std::string& name) {
        if (!wait) return true;
        ui().updateWait(std::to_string(i + 1) + " / " + std::to_string(n) + "   " + name);
        return !ui().waitCancelled();
      });
  if (wait) ui().endWait();
  ui().setBusy(false);
  if (r.added + r.updated > 0) ReloadTable();

  std::string text = std::to_string(r.written) + " " + MsgOr("CONVERSION", "CV_WRITTEN", "files written") + ", " +
                     std::to_string(r.skipped) + " " + MsgOr("CONVERSION", "CV_SKIPPED", "skipped") + ".";
  if (r.added + r.updated > 0)
    text += "\n" + std::to_string(r.added + r.updated) + " " + MsgOr("CONVERSION", "CV_ADDED", "added to the catalogue") + ".";
  if (r.addingRefused)
    text += "\n" + MsgOr("CONVERSION", "CV_NOADD",
                         "Nothing was added to the catalogue: the destination is on a removable or network medium.");
  if (r.cancelled) text += "\n" + MsgOr("CONVERSION", "CV_CANCELLED", "The conversion was cancelled.");
  if (r.stopped) text += "\n" + r.stopReason;
  std::size_t listed = 0;
  for (const ConvertedFile& f : r.files) {
    if (f.written) continue;
    if (listed++ == kListedSkips) {
      text += "\n...";
      break;
    }
    text += "\n" + ExtractName(f.source) + ": " + f.reason;
  }
  if (r.stopped || r.skipped > 0) ShowErrorL(text, Settings().MsgTxtFile);
  else ShowInfoL(text, Settings().MsgTxtFile);
  RestartTimer();
}

}  // namespace kandelo
