#include "app/core_backend.h"

#include <QApplication>
#include <QFileDialog>
#include <cmath>

#include "conversion/save_luminaire.h"
#include "database/catalogue.h"
#include "database/catalogue_list.h"
#include "conversion/catalogue_find.h"
#include "conversion/catalogue_scan.h"
#include "conversion/feedback.h"
#include "storage/isam.h"
#include "evaluation/polar_diagram.h"
#include "shell/msgbox.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "shell/ui_services.h"
#include "graphics/device.h"
#include "platform/fileio.h"
#include "photometry/format_io.h"
#include "photometry/validate.h"
#include "frame/pathlist.h"
#include "platform/text.h"
#include "platform/resources.h"
#include "texts/qstr.h"
#include "ui/qt_ui_services.h"

namespace kandelo {

namespace {

constexpr int kNotOpen = 9904;  // the engine's "file not open"

IndexedTable* OpenCatalogue() {
  IndexedTable* c = Catalogue();
  return c && c->IsOpen() ? c : nullptr;
}

TMsgManager Messages() { return TMsgManager(Settings().OrvMsgFile); }

// The wait window as the intake's Feedback, titled "DM_WAIT": it shows the
// file the intake is at and, for the runs that may be stopped, a cancel button.
class WaitFeedback : public Feedback {
 public:
  WaitFeedback(const TMsgManager& msgs, bool cancellable) : cancellable_(cancellable) {
    ui().beginWait(msgs.GetText("DEFAULT MESSAGES", "DM_WAIT"));
    if (cancellable) ui().setWaitCancellable(true);
  }
  ~WaitFeedback() override { ui().endWait(); }
  WaitFeedback(const WaitFeedback&) = delete;
  WaitFeedback& operator=(const WaitFeedback&) = delete;
  bool IsCancelled() override { return Feedback::IsCancelled() || (cancellable_ && ui().waitCancelled()); }
  void ProgressText(const std::string& text) override { ui().updateWait(text); }

 private:
  bool cancellable_;
};

// A run of the intake under the window: the overwrite question in a box with
// Yes, No, Cancel and All, and each file's messages shown as the run comes
// to it, as loading a file alone shows them.
IntakeRun WindowRun(Feedback& feedback) {
  IntakeRun run;
  run.feedback = &feedback;
  run.askOverwrite = [](const std::string& question) {
    switch (AskYesNoCancelAllL(question, Settings().MsgTxtFile)) {
      case mrYes: return OverwriteAnswer::Yes;
      case mrAll: return OverwriteAnswer::All;
      default: return OverwriteAnswer::No;
    }
  };
  run.fileDone = [](const IntakeEntry& entry) { ShowDiagnostics(entry.messages); };
  return run;
}

// "*.[lL][dD][tT] *.[iI][eE][sS] ...": every extension the readers take, in
// any letter case (file dialogs compare names by case on this platform).
QString AnyCasePatterns() {
  QStringList patterns;
  // EULUMDAT, LUM, LUM32, TM14, IES, LTLI: the formats the readers take.
  for (int code : {0, 1, 2, 4, 5, 9}) {
    const QString ext = Q(FormatExtension(code));
    QString p = QStringLiteral("*.");
    for (QChar c : ext.mid(1)) p += c.isLetter() ? QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper()) : QString(c);
    if (!patterns.contains(p)) patterns << p;
  }
  return patterns.join(QLatin1Char(' '));
}

}  // namespace

CoreBrowserBackend::CoreBrowserBackend() : paths_(PathListFileName()) {}
CoreBrowserBackend::~CoreBrowserBackend() = default;

bool CoreBrowserBackend::CatalogueOpen() const { return OpenCatalogue() != nullptr; }

std::int32_t CoreBrowserBackend::RecordCount() {
  IndexedTable* c = OpenCatalogue();
  return c ? c->RecordCount() : 0;
}

bool CoreBrowserBackend::CatalogueChangedElsewhere() {
  IndexedTable* c = OpenCatalogue();
  if (!c || !c->NetworkMode() || c->InChange()) return false;
  c->RecordCount();  // a reading operation takes in what other stations published
  const std::uint64_t now = isam::ForeignChanges(c->File());
  const bool changed = now != foreignSeen_;
  foreignSeen_ = now;
  return changed;
}

int CoreBrowserBackend::SelectKey(int keyNo) {
  IndexedTable* c = OpenCatalogue();
  return c ? c->SelectKey(keyNo) : kNotOpen;
}

int CoreBrowserBackend::ResetKey() {
  IndexedTable* c = OpenCatalogue();
  return c ? c->ResetKey() : kNotOpen;
}

int CoreBrowserBackend::PositionKey(const std::string& key, std::int32_t recNo) {
  IndexedTable* c = OpenCatalogue();
  if (!c) return kNotOpen;
  return isam::FindKeyAndRef(c->File(), c->CurrentKeyNumber(), key, recNo);
}

int CoreBrowserBackend::NextKey(std::string& key, std::int32_t& recNo) {
  IndexedTable* c = OpenCatalogue();
  if (!c) return kNotOpen;
  const int err = c->NextKey(key);
  recNo = c->CurrentRecordNumber();
  return err;
}

int CoreBrowserBackend::PrevKey(std::string& key, std::int32_t& recNo) {
  IndexedTable* c = OpenCatalogue();
  if (!c) return kNotOpen;
  const int err = c->PrevKey(key);
  recNo = c->CurrentRecordNumber();
  return err;
}

bool CoreBrowserBackend::ReadRecord(std::int32_t recNo, CatalogueRow& row) {
  if (!OpenCatalogue()) return false;
  TCatalogueRecord rec;
  if (!ReadCatalogueRecord(recNo, rec)) return false;
  row.recNo = recNo;
  row.name = rec.LumName();
  row.number = rec.LumNumber();
  row.fileName = rec.FileNameField();
  const std::string real = CatalogueFileName(rec);
  row.diskName = real == row.fileName ? std::string() : real;
  row.manufacturer = rec.Manufacturer();
  row.formatName = FormatDisplayName(rec.FormatCode());
  row.dirIndex = rec.DirIndex();
  return true;
}

bool CoreBrowserBackend::DeleteRecord(std::int32_t recNo) {
  if (!OpenCatalogue() || !DeleteCatalogueRecord(recNo)) return false;
  // The figures go with the entry (a slot left would only be of another record).
  if (SummaryStore* store = CatalogueSummaryStore()) store->Erase(recNo);
  return true;
}

void CoreBrowserBackend::DeleteWholeCatalogue() {
  std::string fault;
  kandelo::DeleteWholeCatalogue(&fault);
  if (!fault.empty()) ShowError(fault);
}

void CoreBrowserBackend::RebuildCatalogue() {
  std::string fault;
  kandelo::RebuildCatalogue(&fault);
  if (!fault.empty()) ShowError(fault);
}

void CoreBrowserBackend::WriteVersionLabel(const std::string& label) {
  if (OpenCatalogue() && RecordCount() > 0) kandelo::WriteVersionLabel(label);
}

std::int32_t CoreBrowserBackend::ExportList(int keyNo, bool all, const std::string& from, const std::string& to) {
  if (!OpenCatalogue()) return -1;
  return all ? ExportAll(keyNo) : ExportKeyRange(keyNo, from, to);
}

std::int32_t CoreBrowserBackend::ExportListText(int keyNo, bool all, const std::string& from, const std::string& to,
                                                std::string& error) {
  if (!OpenCatalogue()) {
    error = "the catalogue is not open";
    return -1;
  }
  return kandelo::ExportListText(keyNo, all, from, to, ListTextPath(), error);
}

std::string CoreBrowserBackend::ListFile() const { return ListFilePath(); }
std::string CoreBrowserBackend::ListTextFile() const { return ListTextPath(); }

std::string CoreBrowserBackend::ReadVersionLabel() {
  IndexedTable* t = OpenCatalogue();
  if (!t || RecordCount() <= 0) return {};
  // Record 1 is read without moving the browser's key position.
  t->SavePosition();
  TCatalogueRecord rec;
  const bool ok = ReadCatalogueRecord(1, rec);
  t->RestorePosition();
  return ok ? rec.VersionLabel() : std::string();
}

std::string CoreBrowserBackend::GetPath(std::int32_t index) { return paths_.GetPath(index); }

void CoreBrowserBackend::EnsurePathListed(const std::string& dir) {
  if (dir.empty() || paths_.IndexOfPath(dir) >= 0) return;
  paths_.StorePath(dir);
}

std::int32_t CoreBrowserBackend::PathIndexOf(const std::string& dir) {
  if (dir.empty()) return -1;
  // Without a stored index a record would name another directory next time.
  return paths_.StorePath(dir);
}

bool CoreBrowserBackend::ReadCatalogueRecord(std::int32_t recNo, TCatalogueRecord& rec) {
  return OpenCatalogue() && kandelo::ReadCatalogueRecord(recNo, rec);
}

std::int32_t CoreBrowserBackend::StoreCatalogueRecord(std::int32_t recNo, const TCatalogueRecord& edited) {
  if (!OpenCatalogue()) return 0;
  if (recNo > 0) return UpdateCatalogueRecord(edited, recNo) ? recNo : 0;
  // A new entry for a file that is catalogued already updates that entry:
  // the file key is unique.
  TCatalogueRecord rec = edited;
  std::int32_t found = 0;
  if (FindCatalogueFile(rec, found)) return UpdateCatalogueRecord(rec, found) ? found : 0;
  if (found == kNoFreeAlias) return 0;
  std::int32_t added = 0;
  return AddCatalogueRecord(rec, added) == 0 ? added : 0;
}

// The wait window of a walk that may have figures to compute: shown only
// once the first of them is computed, so a walk over stored figures shows none.
class WalkFeedback : public Feedback {
 public:
  explicit WalkFeedback(const TMsgManager& msgs) : msgs_(msgs) {}
  ~WalkFeedback() override {
    if (shown_) ui().endWait();
  }
  WalkFeedback(const WalkFeedback&) = delete;
  WalkFeedback& operator=(const WalkFeedback&) = delete;
  bool IsCancelled() override { return Feedback::IsCancelled() || (shown_ && ui().waitCancelled()); }
  void ProgressText(const std::string& text) override {
    Show();
    ui().updateWait(text);
  }
  void Progress(std::size_t done, std::size_t total) override {
    Show();
    ui().updateWait(std::to_string(done) + " / " + std::to_string(total));
  }

 private:
  void Show() {
    if (shown_) return;
    shown_ = true;
    ui().beginWait(msgs_.GetText("DEFAULT MESSAGES", "DM_WAIT"));
    ui().setWaitCancellable(true);
  }
  const TMsgManager& msgs_;
  bool shown_ = false;
};

std::optional<std::vector<CatalogueEntry>> CoreBrowserBackend::CatalogueEntries(int keyNo) {
  if (!OpenCatalogue()) return std::nullopt;
  const TMsgManager msgs = Messages();
  WalkFeedback feedback(msgs);
  CollectOptions options;
  options.keyNo = keyNo;
  options.feedback = &feedback;
  CollectResult r = CollectEntries(options, paths_);
  if (r.cancelled || r.failed) return std::nullopt;
  return std::move(r.entries);
}

IntakeReport CoreBrowserBackend::AddAllBelowRoot() {
  if (!OpenCatalogue()) return {};
  const TMsgManager msgs = Messages();
  WaitFeedback wait(msgs, true);
  IntakeRun run = WindowRun(wait);
  return kandelo::AddAllBelowRoot(paths_, msgs, run);
}

std::optional<IntakeReport> CoreBrowserBackend::AddFilesByDialog() {
  const TMsgManager msgs = Messages();
  // The directory of the last choice, else the luminaire directory.
  std::string start = ReadSettingString("LDBSETTINGS", "ADDDIR", "");
  if (start.empty() || !DirExists(start)) start = DirExists(Settings().LumDir2) ? Settings().LumDir2 : std::string(".");
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setDirectory(Q(start));
  // "All photometric files" first, matching every known extension in any
  // letter case; the patterns stay out of sight.
  std::string all = msgs.GetText("BROWSER", "BR_ALLFILES");
  if (all.empty()) all = "All photometric files";
  dialog.setNameFilters(QStringList{Q(all) + QStringLiteral(" (") + AnyCasePatterns() + QLatin1Char(')')} +
                        QtFileFilter(OpenFileTypes(msgs)).split(QStringLiteral(";;")));
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  WriteSettingString("LDBSETTINGS", "ADDDIR", S(dialog.directory().absolutePath()));
  std::vector<std::string> paths;
  for (const QString& f : files) paths.push_back(S(f));
  std::int32_t last = 0;
  return AddFiles(paths, last);
}

IntakeReport CoreBrowserBackend::AddFiles(const std::vector<std::string>& files, std::int32_t& firstRecNo) {
  firstRecNo = 0;
  if (!OpenCatalogue() || files.empty()) return {};
  const TMsgManager msgs = Messages();
  IntakeReport report;
  {
    WaitFeedback wait(msgs, false);
    IntakeRun run = WindowRun(wait);
    ui().setBusy(true);
    report = AddFilesToCatalogue(files, paths_, msgs, run);
    ui().setBusy(false);
  }
  firstRecNo = report.FirstRecord();
  return report;
}

IntakeReport CoreBrowserBackend::AddTree(const std::string& dir) {
  if (!OpenCatalogue() || !DirExists(dir)) return {};
  const TMsgManager msgs = Messages();
  WaitFeedback wait(msgs, true);
  IntakeRun run = WindowRun(wait);
  return AddTreeToCatalogue(AddBackslash(dir), paths_, msgs, run);
}

void CoreBrowserBackend::SavePathList() { paths_.SavePathList(); }

bool CoreBrowserBackend::LoadLuminaire(const std::string& path) {
  const LoadResult loaded = kandelo::LoadLuminaire(path, lum_);
  ShowDiagnostics(loaded.messages);
  if (!loaded.ok()) {
    lum_.Clear();
    return false;
  }
  return true;
}

void CoreBrowserBackend::ClearLuminaire() {
  lum_.Clear();
  lum_.FileName.clear();
}

std::string CoreBrowserBackend::LuminairePath() const { return lum_.FileName; }

std::string CoreBrowserBackend::SaveLuminaireAs(int filterIndex, const std::string& chosenName, std::string& error) {
  const auto& codes = SaveFilterCodes();
  if (filterIndex < 1 || filterIndex > static_cast<int>(codes.size()) || !lum_.Valid) {
    error = "no luminaire loaded";
    return {};
  }
  const SaveAsResult r = kandelo::SaveLuminaireAs(lum_, codes[static_cast<std::size_t>(filterIndex - 1)], chosenName);
  error = r.error;
  if (!r.written.empty()) {
    lum_.CalcFlux();
    lum_.FindMaxIntensity();
  }
  return r.written;
}

bool CoreBrowserBackend::DirectoryCatalogued(const std::string& dir) {
  const std::string root = LuminaireRoot();
  return (!root.empty() && IsUnderRoot(platform::upper1252(AddBackslash(root)), platform::upper1252(AddBackslash(dir)))) ||
         paths_.IndexOfPath(dir) >= 0;
}

std::int32_t CoreBrowserBackend::CatalogueFileInPlace(const std::string& path) {
  if (!OpenCatalogue()) return 0;
  const IntakeEntry entry = AddFileInPlace(path, paths_);
  ShowDiagnostics(entry.messages);
  return entry.outcome == AddOutcome::Added || entry.outcome == AddOutcome::Updated ? entry.recNo : 0;
}

ConversionReport CoreBrowserBackend::ConvertFiles(const std::vector<std::string>& paths, ConversionSettings& settings,
                                                  const ConversionProgress& progress) {
  if (settings.AddToCatalogue && OpenCatalogue()) {
    const int i = paths_.StorePath(settings.DstDir);
    // Without a stored index a record would name another directory next time.
    if (i < 0) settings.AddToCatalogue = false;
    else settings.DstPathIndex = i;
  }
  return kandelo::ConvertFiles(paths, settings, progress);
}

std::string CoreBrowserBackend::LuminaireSummary() const {
  if (lum_.FileName.empty()) return {};
  std::string s;
  if (lum_.LampSetCount > 0) {
    const TLampSet& set = lum_.LampSets[0];
    s += std::to_string(set.LampCount) + " x " + TrimBlanks(set.LampType) + ", " +
         FormatFixed(set.SetFlux, 0) + " lm, " + std::to_string(set.SetWatt) + " W\n";
  }
  s += "LOR " + FormatFixed(lum_.LOR, 1) + " %,  Imax " + FormatFixed(lum_.Imax, 0) + " cd/klm\n";
  if (lum_.Diameter != 0)
    s += "\xD8 " + std::to_string(lum_.Diameter) + " x " + std::to_string(lum_.Height[0]) + " mm";
  else
    s += std::to_string(lum_.Length) + " x " + std::to_string(lum_.Width) + " x " + std::to_string(lum_.Height[0]) +
         " mm";
  return s;
}

namespace {
LuminaireTexts TextsOf(const TLUM32& lum) { return {lum.LumName, lum.LumNumber, lum.Manufacturer}; }
}  // namespace

std::optional<LuminaireTexts> CoreBrowserBackend::LoadedTexts() const {
  if (lum_.FileName.empty()) return std::nullopt;
  return TextsOf(lum_);
}

std::optional<LuminaireTexts> CoreBrowserBackend::FileTexts(const std::string& path) {
  if (path == lum_.FileName) return TextsOf(lum_);
  TLUM32 lum;
  const LoadResult loaded = kandelo::LoadLuminaire(path, lum, LoadValues::AsRead);
  ShowDiagnostics(loaded.messages);
  if (!loaded.ok()) return std::nullopt;
  return TextsOf(lum);
}

std::string CoreBrowserBackend::LuminaireProblems() const {
  if (lum_.FileName.empty()) return {};
  if (problemsOf_ != lum_.FileName) {
    problemsOf_ = lum_.FileName;
    problems_.clear();
    for (const ValidationProblem& p : ValidateFile(lum_.FileName).problems) problems_ += ProblemLine(p) + "\n";
  }
  return problems_;
}

void CoreBrowserBackend::DrawDiagram(TDevice& dc, const TRect& r, const std::string& msgFile) {
  // Planes 0° and 90° (no plane list), on screen.
  DrawLVKPolar(lum_, nullptr, dc, Settings().BoldFont, msgFile, Settings().ShowLor, false, r, r);
}

int TakeSamplesIntoEmptyCatalogue(TPathList& paths) {
  IndexedTable* c = OpenCatalogue();
  if (!c || c->RecordCount() != 0) return 0;
  // Only once: a user who emptied the catalogue does not get the samples back.
  if (ReadSettingString("LDBSETTINGS", "SAMPLES", "0") == "1") return 0;
  WriteSettingString("LDBSETTINGS", "SAMPLES", "1");
  const std::string root = AddBackslash(Settings().LumDir2);
  if (root.empty() || !DirExists(root)) return 0;
  // The shipped files are taken in one by one (the mask list need not name
  // all their formats), under the wait window.
  const TMsgManager msgs = Messages();
  std::vector<std::string> files;
  for (const std::string& res : platform::EmbeddedFiles("samples/")) {
    const std::string target = root + res.substr(std::string("samples/").size());
    if (!platform::fs().exists(target))
      if (auto data = platform::EmbeddedFile(res)) platform::writeFileAtomic(target, std::string(*data));
    files.push_back(target);
  }
  if (files.empty()) return 0;
  WaitFeedback wait(msgs, false);
  IntakeRun run = WindowRun(wait);
  const IntakeReport report = AddFilesToCatalogue(files, paths, msgs, run);
  return report.added + report.updated;
}

}  // namespace kandelo
