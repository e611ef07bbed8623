#include "ui/base_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTableView>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <set>

#include "shell/msgbox.h"
#include "frame/scan.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/select_languages.h"
#include "graphics/qt/drwwin_widget.h"
#include "platform/resources.h"
#include "platform/settings_store.h"
#include "ui/drop_target.h"
#include "ui/filter_row.h"
#include "ui/navigator.h"
#include "ui/qt_translations.h"

namespace kandelo {


std::string TfBaseForm::LangFile(const char* base, const std::string& ext) {
  return AddBackslash(Settings().LangDir) + base + ext;
}

TfBaseForm::TfBaseForm(BrowserBackend& backend, QWidget* parent)
    : QMainWindow(parent), backend_(backend), output_(InitialOutputSettings()) {
  TProgramSettings& s = Settings();
  // 1. Language files of the database language.
  s.MsgTxtFile = LangFile("MSGTXT", s.DbLangExt);
  s.OrvMsgFile = LangFile("ORVMSG", s.DbLangExt);
  UseQtTranslations(s.DbLangExt);

  BuildWidgets();
  // Files and folders dropped onto the window are taken in like command-line files.
  new TDropTarget(this, [this](const QStringList& paths) { OpenFiles(paths); });

  // 3. The first luminaire directory is always in the path list.
  backend_.EnsurePathListed(s.LumDir1);

  // 4. Localize from (or export into) the "ORVTXT" file.
  s.OrvTxtFile = LangFile("ORVTXT", s.DbLangExt);
  LocalizeWindow(s.OrvTxtFile);

  // 5. Message catalogue and the sort selector's texts.
  msg_ = std::make_unique<TMsgManager>(s.OrvMsgFile);
  SetSortTexts();
  filterRow_->SetMessages(*msg_);

  // 6./7. Count, table, stored position.
  std::int32_t key = 1, row = 1;
  LoadBrowserPosition(key, row);
  if (key < 1 || key > 5) key = 1;
  model_->Reload(key);
  // The filter of the last session narrows the table again.
  filterRow_->SetState(Q(ReadSettingString("LDBSETTINGS", "FILTER", "")));
  if (!filterRow_->Empty()) {
    bool faulty = false;
    if (auto e = filterRow_->Parsed(faulty)) model_->SetFilter(std::move(e));
  }
  if (row < 1 || row > model_->Count()) row = 1;
  storedRow_ = row;
  keyCombo_->setCurrentIndex(key - 1);
  SetStatusCount();
  nav_->SetCount(model_->Count());
  EnableOutputs();

  loadTimer_.setInterval(500);
  loadTimer_.setSingleShot(true);
  connect(&loadTimer_, &QTimer::timeout, this, [this] { LoadCurrentLuminaire(); });
  stationTimer_.setInterval(3000);
  connect(&stationTimer_, &QTimer::timeout, this, [this] { RefreshFromOtherStations(); });
  stationTimer_.start();

  RestorePlacement();
}

void TfBaseForm::RestorePlacement() {
  // The diagram's share of the height, in thousandths.
  long long share = 0;
  if (ParseInt(ReadSettingString("LDBSETTINGS", "SPLITTER", ""), share) && share >= 100 && share <= 900)
    upperShare_ = static_cast<double>(share) / 1000.0;
  // Window placement of the last run, kept on the screen: a position saved on
  // another monitor or a larger screen would leave only a corner visible.
  QRect g(0, 0, 1100, 720);
  const std::string pos = ReadSettingString("LDBSETTINGS", "WINPOS", "");
  long long v[4] = {0, 0, 0, 0};
  bool placed = false;
  if (WordCount(pos, ",") == 4) {
    bool ok = true;
    for (int i = 0; i < 4; ++i) ok = ok && ParseInt(ExtractWord(i + 1, pos, ","), v[i]);
    if (ok && v[2] >= 400 && v[3] >= 300 && v[2] < 20000 && v[3] < 20000 && std::llabs(v[0]) < 100000 &&
        std::llabs(v[1]) < 100000) {
      g = QRect(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3]));
      placed = true;
    }
  }
  QScreen* screen = placed ? QGuiApplication::screenAt(g.center()) : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (screen) {
    const QRect a = screen->availableGeometry();
    g.setSize(g.size().boundedTo(a.size()).expandedTo(minimumSizeHint()));
    if (!placed) g.moveCenter(a.center());
    g.moveLeft(std::clamp(g.left(), a.left(), std::max(a.left(), a.right() + 1 - g.width())));
    g.moveTop(std::clamp(g.top(), a.top(), std::max(a.top(), a.bottom() + 1 - g.height())));
  }
  if (placed || screen) setGeometry(g);
  // A window closed maximized comes back maximized; the placement above is
  // where it goes when the user restores it.
  if (ReadSettingString("LDBSETTINGS", "MAXIMIZED", "0") == "1") setWindowState(windowState() | Qt::WindowMaximized);
}

void TfBaseForm::KeepOnScreen() {
  // Once shown, the window's frame is known: the whole of it stays on the screen.
  QScreen* screen = QGuiApplication::screenAt(frameGeometry().center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect a = screen->availableGeometry();
  const QRect frame = frameGeometry(), inner = geometry();
  const QSize margins(frame.width() - inner.width(), frame.height() - inner.height());
  QRect f(frame.topLeft(), (inner.size().boundedTo(a.size() - margins).expandedTo(minimumSizeHint())) + margins);
  f.moveLeft(std::clamp(f.left(), a.left(), std::max(a.left(), a.right() + 1 - f.width())));
  f.moveTop(std::clamp(f.top(), a.top(), std::max(a.top(), a.bottom() + 1 - f.height())));
  if (f == frame) return;
  resize(f.size() - margins);
  move(f.topLeft());
}

TfBaseForm::~TfBaseForm() = default;

std::string TfBaseForm::Msg(const char* section, const char* key) const {
  return msg_ ? msg_->GetText(section, key) : std::string();
}

// Language files installed by an earlier version may lack newer keys.
std::string TfBaseForm::MsgOr(const char* section, const char* key, const char* fallback) const {
  std::string text = Msg(section, key);
  return text.empty() ? std::string(fallback) : text;
}

void TfBaseForm::LocalizeWindow(const std::string& orvTxtFile) {
  LocalizeOrExport(this, orvTxtFile);
  // A hint of the navigator may have been blanked or replaced: the buttons follow.
  nav_->SetHints(nav_->Hints());
  UpdateToolStyle();
}

void TfBaseForm::UpdateToolStyle() {
  if (!tools_) return;
  // The tool buttons show their texts beside their icons while the row has
  // room for that, else under them (narrower), and only when even that does
  // not fit their icons alone (the texts stay in the hints).
  auto fits = [this](Qt::ToolButtonStyle style) {
    for (QToolButton* b : toolButtons_) b->setToolButtonStyle(b->text().isEmpty() ? Qt::ToolButtonIconOnly : style);
    tools_->layout()->invalidate();
    return tools_->layout()->sizeHint().width() <= tools_->width();
  };
  fits(Qt::ToolButtonIconOnly);
  tools_->setMinimumWidth(tools_->layout()->sizeHint().width());
  if (!fits(Qt::ToolButtonTextBesideIcon) && !fits(Qt::ToolButtonTextUnderIcon)) fits(Qt::ToolButtonIconOnly);
}

void TfBaseForm::ApplySplitterShare() {
  const int h = splitter_->height() - splitter_->handleWidth();
  if (h <= 0) return;
  const int upper = std::max(upper_->minimumHeight(), static_cast<int>(std::lround(h * upperShare_)));
  splitter_->setSizes({upper, std::max(0, h - upper)});
}

void TfBaseForm::SetSortTexts() {
  static const char* const kKeys[5] = {"Leuchtenbezeichnung", "Leuchtennummer", "Dateiname", "Dateiformat",
                                       "Hersteller"};
  // Column headings "LHD1".."LHD5" by field: name, number, file, manufacturer, format.
  static const char* const kHeads[5] = {"Leuchtenbezeichnung", "Leuchtennummer", "Dateiname", "Hersteller",
                                        "Dateiformat"};
  const int current = keyCombo_->currentIndex();
  keyCombo_->clear();
  QStringList headers;
  for (int i = 1; i <= 5; ++i) {
    const std::string text = Msg("LTABKEYS", ("LBK" + std::to_string(i)).c_str());
    keyCombo_->addItem(text.empty() ? QString::fromLatin1(kKeys[i - 1]) : Q(text));
    const std::string h = Msg("LTABHD", ("LHD" + std::to_string(i)).c_str());
    headers << (h.empty() ? QString::fromLatin1(kHeads[i - 1]) : Q(h));
  }
  model_->SetHeaderTexts(headers);
  if (current >= 0) keyCombo_->setCurrentIndex(current);
}

void TfBaseForm::SetStatusCount() {
  // Filtered: "n of N entries".
  QString text = QString::number(model_->Count());
  if (model_->Filtered())
    text += QLatin1Char(' ') + Q(MsgOr("BROWSER", "BR_OF", "of")) + QLatin1Char(' ') + QString::number(model_->Total());
  status1_->setText(text + QLatin1Char(' ') + Q(Msg("DEFAULT MESSAGES", "DM_ITEMS")));
}

void TfBaseForm::SetFilter(const QString& state) {
  filterRow_->SetState(state);
  FilterChanged();
}

void TfBaseForm::FilterChanged() {
  bool faulty = false;
  std::shared_ptr<const query::Expression> e = filterRow_->Parsed(faulty);
  if (faulty) return;  // the fault shows; the table stays as it was
  StopTimer();
  const std::int32_t recNo = CurrentRecNo();
  if (!model_->SetFilter(std::move(e))) return;  // stopped while the figures were computed
  SetStatusCount();
  nav_->SetCount(model_->Count());
  const int row = recNo > 0 ? model_->RowOfRecord(recNo) : 0;
  if (model_->Count() > 0) {
    ActivateRow(row > 0 ? row : 1);
    // Another entry became current: it is loaded as after a move.
    if (row == 0) RestartTimer();
  } else {
    ClearLuminaire();
  }
  EnableOutputs();
}

void TfBaseForm::LayoutColumns() {
  const int w = table_->viewport()->width() + table_->verticalHeader()->width();
  const double s = w > 0 ? (w - table_->verticalHeader()->width() - 20) / 770.0 : 1.0;
  const auto base = TCatalogueModel::BaseWidths(model_->KeyNo());
  for (int c = 0; c < 4; ++c) table_->setColumnWidth(c, static_cast<int>(std::lround(base[c] * (s > 0 ? s : 1.0))));
}

void TfBaseForm::EnableOutputs() {
  // The evaluations are offered once their window exists; an empty
  // catalogue disables printing and the evaluations in any case.
  const bool any = model_->Count() > 0;
  prtBtn_->setEnabled(any);
  infoBtn_->setEnabled(any);
  if (versionBtn_) ShowVersionLabel();
  // Without an open catalogue there is nothing to add to, and deleting "all"
  // would throw away a data file that someone else may still need.
  const bool open = backend_.CatalogueOpen();
  addAllBtn_->setEnabled(open && !multi_);
  clearBtn_->setEnabled(open && !multi_);
}

int TfBaseForm::ActiveRow() const {
  const QModelIndex i = table_->currentIndex();
  return i.isValid() ? i.row() + 1 : 1;
}

void TfBaseForm::ActivateRow(int row) {
  if (model_->Count() <= 0) return;
  row = std::clamp(row, 1, model_->Count());
  const QModelIndex i = model_->index(row - 1, 0);
  table_->setCurrentIndex(i);
  table_->selectionModel()->select(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  table_->scrollTo(i);
  nav_->SetPosition(row);
}

void TfBaseForm::ReloadTable(int keyNo) {
  model_->Reload(keyNo >= 1 ? keyNo : model_->KeyNo());
  SetStatusCount();
  LayoutColumns();
  nav_->SetCount(model_->Count());
  nav_->SetPosition(1);
  if (model_->Count() > 0) ActivateRow(1);
  EnableOutputs();
}

void TfBaseForm::RestartTimer() {
  loadTimer_.stop();
  loadTimer_.start();
}

void TfBaseForm::StopTimer() { loadTimer_.stop(); }

void TfBaseForm::ShowDbError(int error) {
  ShowErrorL(Msg("DEFAULT MESSAGES", "DM_DBERROR") + " : " + std::to_string(error), Settings().MsgTxtFile);
}

void TfBaseForm::ClearLuminaire() {
  backend_.ClearLuminaire();
  loaded_ = false;
  status2_->clear();
  diagram_->update();
}

void TfBaseForm::LoadCurrentLuminaire(bool explicitRequest) {
  if (busy_) return;
  busy_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{busy_};
  StopTimer();
  if (model_->Count() == 0) {
    infoLabel_->clear();
    diagram_->update();
    return;
  }
  int error = 0;
  const int row = ActiveRow();
  if (!model_->MoveTo(row, &error)) {
    ShowDbError(error);
    return;
  }
  const CatalogueRow* r = model_->RowAt(row);
  if (!r) return;
  const CatalogueRow rec = *r;
  // The message of this row was seen and dismissed: the timer, restarted by
  // the key that closed the box, must not bring it back.
  if (!explicitRequest && rec.recNo == dismissedRecNo_) return;
  ShowRecordInfo(rec, false);
  const std::string name = TrimBlanks(rec.RealFileName());
  const std::string path = AddBackslash(backend_.GetPath(rec.dirIndex)) + name;
  if (path == backend_.LuminairePath()) {
    ShowRecordInfo(rec, loaded_);
    return;
  }
  if (FileExistsS(path)) {
    if (backend_.LoadLuminaire(path)) {
      dismissedRecNo_ = 0;
      loaded_ = true;
      ShowRecordInfo(rec, true);
      diagram_->update();
      status2_->setText(Q(TrueCaseFileName(path)));
      return;
    }
    ClearLuminaire();
    dismissedRecNo_ = rec.recNo;
    ShowErrorL(Msg("DEFAULT MESSAGES", "DM_LUMLOADERR"), Settings().MsgTxtFile);
    return;
  }
  ClearLuminaire();
  dismissedRecNo_ = rec.recNo;
  ShowErrorL(Msg("DEFAULT MESSAGES", "DM_NOTFOUND") + " : " + name, Settings().MsgTxtFile);
}

void TfBaseForm::OpenCurrent() {
  StopTimer();
  LoadCurrentLuminaire(true);
  // A file that is missing or does not load has been reported; nothing more.
  if (loaded_) OpenEvaluations();
}

std::int32_t TfBaseForm::CurrentRecNo() {
  if (model_->Count() <= 0) return 0;
  const CatalogueRow* r = model_->RowAt(ActiveRow());
  return r ? r->recNo : 0;
}

void TfBaseForm::ShowRecord(std::int32_t recNo) {
  const int row = recNo > 0 ? model_->RowOfRecord(recNo) : 0;
  if (row > 0) ActivateRow(row);
}

void TfBaseForm::SortByColumn(int column) {
  // The key whose first column shows the clicked field: name, number, file
  // name, manufacturer, format.
  static constexpr int kKeyOfField[5] = {1, 2, 3, 5, 4};
  const int key = kKeyOfField[TCatalogueModel::FieldOf(model_->KeyNo(), column)];
  table_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  if (key == model_->KeyNo()) return;
  StopTimer();
  const std::int32_t recNo = CurrentRecNo();
  ui().setBusy(true);
  ReloadTable(key);
  ui().setBusy(false);
  keyCombo_->setCurrentIndex(key - 1);
  ShowRecord(recNo);
  RestartTimer();
}

void TfBaseForm::RereadCatalogue() {
  StopTimer();
  const std::int32_t recNo = CurrentRecNo();
  ReloadTable();
  ShowRecord(recNo);
  RestartTimer();
}

void TfBaseForm::OpenFiles(const QStringList& files) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  if (files.isEmpty()) return;
  StopTimer();
  // Folders (dropped ones) are scanned as "add all" scans the luminaire directory.
  std::vector<std::string> paths, folders;
  for (const QString& f : files) (QFileInfo(f).isDir() ? folders : paths).push_back(S(f));
  const std::int32_t previous = CurrentRecNo();
  std::int32_t first = 0;
  IntakeReport counts = paths.empty() ? IntakeReport{} : backend_.AddFiles(paths, first);
  for (const std::string& dir : folders) {
    if (counts.cancelled) break;
    const IntakeReport c = backend_.AddTree(dir);
    counts.added += c.added;
    counts.updated += c.updated;
    counts.failed += c.failed;
    counts.kept += c.kept;
    counts.cancelled = c.cancelled;
  }
  ReloadTable();
  ShowRecord(first > 0 ? first : previous);
  ShowAddSummary(counts);
  LoadCurrentLuminaire(true);
}

void TfBaseForm::ShowAddSummary(const IntakeReport& c) {
  std::string text = std::to_string(c.added) + " " + MsgOr("BROWSER", "BR_ADDED", "added") + ", " +
                     std::to_string(c.updated) + " " + MsgOr("BROWSER", "BR_UPDATED", "updated") + ", " +
                     std::to_string(c.failed) + " " + MsgOr("BROWSER", "BR_FAILED", "failed");
  if (c.kept > 0) text += ", " + std::to_string(c.kept) + " " + MsgOr("BROWSER", "BR_KEPT", "kept unchanged");
  text += ".";
  if (c.cancelled)
    text += "\n" + MsgOr("BROWSER", "BR_SCANCANCEL", "Cancelled: the files before were stored, the others not looked at.");
  if (c.failed > 0)
    text += "\n" + MsgOr("BROWSER", "BR_FAILLIST", "The files that failed are listed in") + " " + ErrorListPath();
  ShowInfoL(text, Settings().MsgTxtFile);
}

QString TfBaseForm::AboutText() const {
  const TProgramSettings& s = Settings();
  auto line = [this](const char* key, const char* fallback, const std::string& value) {
    return Q(MsgOr("BROWSER", key, fallback)).toHtmlEscaped() + QStringLiteral(": ") + Q(value).toHtmlEscaped() +
           QStringLiteral("<br>");
  };
  std::string lumDirs = s.LumDir1;
  if (!s.LumDir2.empty() && s.LumDir2 != s.LumDir1) lumDirs += ", " + s.LumDir2;
  std::int64_t bytes = 0;
  for (const char* ext : {".DAT", ".IDX"}) {
    const QFileInfo file(Q(s.LumDb + ext));
    if (file.exists()) bytes += file.size();
  }
  const std::string catalogue = s.LumDb + " (" + std::to_string(backend_.CatalogueOpen() ? backend_.RecordCount() : 0) +
                                " " + Msg("DEFAULT MESSAGES", "DM_ITEMS") + ", " +
                                FormatFixed(static_cast<double>(bytes) / 1048576.0, 1) + " MB)";
  return QStringLiteral("<b>Kandelo - Leuchtendatenbank</b><br>") +
         line("BR_VERSION", "Version", KANDELO_VERSION) +
         Q(MsgOr("BROWSER", "BR_LICENSE", "Licence: Apache License 2.0 (SPDX: Apache-2.0)")).toHtmlEscaped() + QStringLiteral("<br><br>") +
         line("BR_PROGDIR", "Program directory", s.ProgDir) + line("BR_SETTINGS", "Settings", platform::settingsFilePath()) +
         line("BR_LUMDIRS", "Luminaire directories", lumDirs) + line("BR_CATALOGUE", "Catalogue", catalogue);
}

void TfBaseForm::ShowRecordInfo(const CatalogueRow& rec, bool withLuminaire) {
  // The record keeps its texts cut to its fields; the loaded file has them whole.
  LuminaireTexts texts{rec.name, rec.number, rec.manufacturer};
  if (const auto whole = withLuminaire ? backend_.LoadedTexts() : std::nullopt) {
    texts.name = UncutText(rec.name, whole->name);
    texts.number = UncutText(rec.number, whole->number);
    texts.manufacturer = UncutText(rec.manufacturer, whole->manufacturer);
  }
  QString html = QStringLiteral("<b>%1</b><br>%2<br>%3<br><br>%4 &nbsp; (%5)")
                     .arg(Q(texts.name).toHtmlEscaped(), Q(texts.number).toHtmlEscaped(),
                          Q(texts.manufacturer).toHtmlEscaped(),
                          Q(rec.RealFileName()).toHtmlEscaped(),
                          Q(rec.formatName).toHtmlEscaped());
  const std::string summary = withLuminaire ? backend_.LuminaireSummary() : std::string();
  if (!summary.empty()) html += QStringLiteral("<br><br>") + Q(summary).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  // What the file checks find in the file (kandelo-cli validate shows the same).
  const std::string problems = withLuminaire ? backend_.LuminaireProblems() : std::string();
  if (!problems.empty())
    html += QStringLiteral("<br><br><b>") + Q(MsgOr("BROWSER", "BR_PROBLEMS", "Problems of the file")).toHtmlEscaped() +
            QStringLiteral("</b><br>") + Q(problems).trimmed().toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  infoLabel_->setText(html);
}

void TfBaseForm::Relocate(std::int32_t recNo) {
  const int row = recNo > 0 ? model_->RowOfRecord(recNo) : 0;
  ReloadTable();
  ActivateRow(row > 0 ? row : 1);
}

void TfBaseForm::NavigatorClicked(int button) {
  StopTimer();
  switch (button) {
    case nbFirst:
    case nbPrior:
    case nbNext:
    case nbLast:
      ActivateRow(button == nbLast ? model_->Count() : nav_->Position());
      RestartTimer();
      break;
    case nbMultIns: {
      const std::int32_t previous = CurrentRecNo();
      if (const auto counts = backend_.AddFilesByDialog()) {
        Relocate(previous);
        ShowAddSummary(*counts);
      }
      break;
    }
    case nbDelete:
      DeleteCurrent();
      break;
    case nbInsert:
    case nbEdit:
    case nbRefresh:  // copies the entry here
      EditEntry(button == nbInsert ? 0 : button == nbEdit ? 1 : 2);
      break;
    case nbCancel:
      ListClicked();
      break;
    default:
      break;
  }
}

void TfBaseForm::DeleteCurrent() {
  StopTimer();
  if (model_->Count() <= 0) return;
  if (AskYesNoCancelL(Msg("CONFMSG", "CONFDEL"), Settings().MsgTxtFile) != mrYes) return;
  const int row = ActiveRow();
  int error = 0;
  if (!model_->MoveTo(row, &error)) {
    ShowDbError(error);
    return;
  }
  const std::int32_t recNo = model_->CurrentRecNo();
  backend_.DeleteRecord(recNo);
  ReloadTable();
  if (model_->Count() == 0) {
    ClearLuminaire();
    infoLabel_->clear();
  } else {
    ActivateRow(std::min(row, model_->Count()));
  }
  LoadCurrentLuminaire();
}

void TfBaseForm::AddAllBelowRootClicked() {
  StopTimer();
  ui().setBusy(true);
  const IntakeReport counts = backend_.AddAllBelowRoot();
  ui().setBusy(false);
  ReloadTable();
  LoadCurrentLuminaire();
  ShowAddSummary(counts);
}

void TfBaseForm::ClearCatalogueClicked() {
  if (AskYesNoCancelL(Msg("DEFAULT MESSAGES", "DM_CLEAR"), Settings().MsgTxtFile) != mrYes) return;
  StopTimer();
  backend_.DeleteWholeCatalogue();
  ReloadTable();
  ClearLuminaire();
  infoLabel_->clear();
}

void TfBaseForm::RebuildClicked() {
  StopTimer();
  ui().setBusy(true);
  backend_.RebuildCatalogue();
  ui().setBusy(false);
  ReloadTable();
}

void TfBaseForm::LanguageClicked() {
  StopTimer();
  int source = Settings().DbLang, dest = Settings().DestLang;
  if (!SelectLanguages(source, dest, translation_, this)) return;
  ApplyLanguages(source, dest);
}

void TfBaseForm::ApplyLanguages(int source, int dest) {
  TProgramSettings& s = Settings();
  s.DbLang = source;
  s.DestLang = dest;
  std::string name, ext;
  if (GetLanguageExtension(s.DbLang, name, ext)) {
    s.DbLangExt = ext;
    UseQtTranslations(ext);
    s.OrvTxtFile = LangFile("ORVTXT", ext);
    LocalizeWindow(s.OrvTxtFile);
    SaveDatabaseLanguage(s.DbLang);
    s.MsgTxtFile = LangFile("MSGTXT", ext);
    s.OrvMsgFile = LangFile("ORVMSG", ext);
    msg_->Reload(s.OrvMsgFile);
    SetSortTexts();
    filterRow_->SetMessages(*msg_);
    const std::int32_t recNo = CurrentRecNo();
    ReloadTable();
    ShowRecord(recNo);
  }
  std::string dext;
  if (GetLanguageExtension(s.DestLang, name, dext)) {
    s.DestLangExt = dext;
    const std::string dst = LangFile("ORVTXT", dext);
    if (!FileExistsS(dst)) ExportForm(dst, this);
  }
}

void TfBaseForm::SetTranslationMode() {
  TProgramSettings& s = Settings();
  s.DestLang = s.DbLang;
  s.DestLangExt = s.DbLangExt;
  translation_ = true;
  trBtn2_->setVisible(true);
  trBtn3_->setVisible(true);
}

void TfBaseForm::SelectPage(int page) {
  for (int i = 0; i < 3; ++i) {
    selBtn_[i]->setChecked(i == page);
    pages_[i]->setVisible(i == page);
  }
}

void TfBaseForm::UpdateListButtons() {
  std::set<std::int32_t> listed;
  for (int i = 0; i < selList_->topLevelItemCount(); ++i) listed.insert(selList_->topLevelItem(i)->data(0, Qt::UserRole).toInt());
  model_->SetListed(std::move(listed));
  const bool any = selList_->topLevelItemCount() > 0;
  catPrintBtn_->setEnabled(any);
  lBtn2_->setEnabled(any);
  lBtn1_->setEnabled(any);
  fBtn1_->setEnabled(any);
}

void TfBaseForm::EnterMultiSelect() {
  ShowInfoL(Msg("DEFAULT MESSAGES", "DM_MULTI"), Settings().MsgTxtFile);
  multi_ = true;
  infoLabel_->setVisible(false);
  multiPanel_->setVisible(true);
  multiBtn_->setVisible(false);
  SelectPage(0);
  for (int b = nbInsert; b < kNavButtonCount; ++b) nav_->SetButtonVisible(static_cast<TNavigateBtn>(b), false);
  addAllBtn_->setEnabled(false);
  clearBtn_->setEnabled(false);
  UpdateListButtons();
  table_->setFocus();
}

bool TfBaseForm::LeaveMultiSelect() {
  if (selList_->topLevelItemCount() > 0 &&
      AskYesNoCancelL(Msg("DEFAULT MESSAGES", "DM_FORGETFILES"), Settings().MsgTxtFile) != mrYes)
    return false;
  multi_ = false;
  multiPanel_->setVisible(false);
  infoLabel_->setVisible(true);
  selList_->clear();
  UpdateListButtons();
  multiBtn_->setVisible(true);
  for (int b = nbInsert; b < kNavButtonCount; ++b)
    nav_->SetButtonVisible(static_cast<TNavigateBtn>(b), b != nbPost);
  EnableOutputs();
  return true;
}

bool TfBaseForm::AddRowToList(int row) {
  const CatalogueRow* r = model_->RowAt(row);
  if (!r) return false;
  for (int i = 0; i < selList_->topLevelItemCount(); ++i)
    if (selList_->topLevelItem(i)->data(0, Qt::UserRole).toInt() == r->recNo) return true;
  // The real file name, not the alias the record may keep for it.
  const QString file = Q(TrimBlanks(r->RealFileName()));
  auto* item = new QTreeWidgetItem(selList_, {file, Q(r->name)});
  item->setData(0, Qt::UserRole, r->recNo);
  item->setToolTip(0, file);
  item->setToolTip(1, Q(r->name));
  return true;
}

void TfBaseForm::AddCurrentToList() {
  if (!multi_ || model_->Count() <= 0) return;
  const int row = ActiveRow();
  if (!AddRowToList(row)) return;
  UpdateListButtons();
  if (row < model_->Count()) ActivateRow(row + 1);
}

void TfBaseForm::ToggleRowInList(int row) {
  if (!multi_ || row < 1 || row > model_->Count()) return;
  const CatalogueRow* r = model_->RowAt(row);
  if (!r) return;
  bool removed = false;
  for (int i = selList_->topLevelItemCount() - 1; i >= 0; --i)
    if (selList_->topLevelItem(i)->data(0, Qt::UserRole).toInt() == r->recNo) {
      delete selList_->takeTopLevelItem(i);
      removed = true;
    }
  if (!removed) AddRowToList(row);
  UpdateListButtons();
  ActivateRow(row);
}

void TfBaseForm::AddRangeToList(int from, int to) {
  if (!multi_ || model_->Count() <= 0) return;
  from = std::clamp(from, 1, model_->Count());
  to = std::clamp(to, 1, model_->Count());
  const int step = from <= to ? 1 : -1;
  ui().setBusy(true);
  for (int row = from;; row += step) {
    AddRowToList(row);
    if (row == to) break;
  }
  ui().setBusy(false);
  UpdateListButtons();
  ActivateRow(to);
}

void TfBaseForm::CloseWindow() {
  StopTimer();
  model_->MoveTo(ActiveRow());
  close();
}

bool TfBaseForm::TableKey(QKeyEvent* k) {
  const int key = k->key();
  if (key == Qt::Key_F7 && (k->modifiers() & Qt::ControlModifier)) {
    SetTranslationMode();
    return true;
  }
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OpenCurrent();
      return true;
    case Qt::Key_Delete:
      search_.Clear();
      searchEdit_->setVisible(false);
      DeleteCurrent();
      return true;
    case Qt::Key_Space:
      // Ctrl+Space adds or removes the current entry, as Ctrl+click does.
      if (multi_ && (k->modifiers() & Qt::ControlModifier)) {
        ToggleRowInList(ActiveRow());
        return true;
      }
      break;
    case Qt::Key_Insert:
      if (multi_) {
        AddCurrentToList();
        return true;
      }
      return false;
    case Qt::Key_End:
    case Qt::Key_Home:
      // Whole rows are selected, so Home and End go to the first and last row.
      search_.Clear();
      searchEdit_->setVisible(false);
      ActivateRow(key == Qt::Key_Home ? 1 : model_->Count());
      return true;
    case Qt::Key_PageUp: case Qt::Key_PageDown:
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left: case Qt::Key_Right:
      search_.Clear();
      searchEdit_->setVisible(false);
      return false;
    default:
      break;
  }
  if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  const std::string typed = S(k->text());
  if (typed.size() != 1 || static_cast<unsigned char>(typed[0]) < 32 || typed[0] == 127) return false;
  const int row = search_.Type(typed[0], ActiveRow(), *model_);
  if (search_.Text().empty()) {
    searchEdit_->setVisible(false);
  } else {
    searchEdit_->setText(Q(search_.Text()));
    searchEdit_->setVisible(true);
  }
  if (row > 0) ActivateRow(row);
  return true;
}

bool TfBaseForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == table_) {
    switch (e->type()) {
      case QEvent::KeyPress:
        if (TableKey(static_cast<QKeyEvent*>(e))) return true;
        break;
      case QEvent::KeyRelease:
        RestartTimer();
        break;
      case QEvent::FocusIn:
      case QEvent::FocusOut: {
        // Only a move between controls of this window counts, not a message
        // box or popup taking the focus for a moment.
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
        StopTimer();
        if (shownOnce_) LoadCurrentLuminaire();
        break;
      }
      case QEvent::Resize:
        LayoutColumns();
        break;
      default:
        break;
    }
  } else if (table_ && watched == table_->viewport() && e->type() == QEvent::Resize) {
    LayoutColumns();
  } else if (table_ && watched == table_->viewport() && e->type() == QEvent::MouseButtonPress && multi_) {
    // In multi-select mode Ctrl+click adds or removes one entry of the list,
    // Shift+click adds the entries from the current one to the one clicked.
    const auto* m = static_cast<QMouseEvent*>(e);
    const QModelIndex i = table_->indexAt(m->position().toPoint());
    if (m->button() == Qt::LeftButton && i.isValid() && (m->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
      StopTimer();
      if (m->modifiers() & Qt::ShiftModifier)
        AddRangeToList(ActiveRow(), i.row() + 1);
      else
        ToggleRowInList(i.row() + 1);
      table_->setFocus(Qt::MouseFocusReason);
      return true;
    }
  } else if (watched == splitter_ && e->type() == QEvent::Resize) {
    ApplySplitterShare();
  } else if (watched == searchEdit_ && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (key == Qt::Key_Escape) {
        search_.Clear();
        searchEdit_->clear();
        searchEdit_->setVisible(false);
      }
      searchEdit_->setReadOnly(true);
      table_->setFocus();
      if (key != Qt::Key_Escape) OpenCurrent();
      return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
      table_->setFocus();
      QCoreApplication::sendEvent(table_, e);
      return true;
    }
  } else if (watched == upper_ && e->type() == QEvent::Resize) {
    // The diagram stays square; its area is measured in twips (1440 per inch).
    const int side = upper_->height();
    diagram_->setFixedWidth(side);
    const int twips = side * 1440 / std::max(1, diagram_->logicalDpiX());
    diagram_->SetDrawingSize(twips, twips);
  } else if (watched == keyCombo_ && e->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(e)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
        keyCombo_->currentIndex() + 1 != model_->KeyNo()) {
      ui().setBusy(true);
      ReloadTable(keyCombo_->currentIndex() + 1);
      ui().setBusy(false);
      RestartTimer();
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void TfBaseForm::FocusSearch() {
  search_.Clear();
  searchStartRow_ = ActiveRow();
  searchEdit_->clear();
  searchEdit_->setReadOnly(false);
  searchEdit_->setVisible(true);
  searchEdit_->setFocus(Qt::ShortcutFocusReason);
}

void TfBaseForm::SearchEdited(const QString& text) {
  // The whole text is searched again from the row where the search began, as
  // if typed into the table.
  search_.Clear();
  int row = searchStartRow_;
  bool found = !text.isEmpty();
  for (char c : S(text)) {
    const int r = search_.Type(c, row, *model_);
    if (r <= 0) {
      found = false;
      break;
    }
    row = r;
  }
  QPalette p = searchEdit_->palette();
  p.setColor(QPalette::Text, found || text.isEmpty() ? palette().color(QPalette::Text) : QColor(190, 30, 30));
  searchEdit_->setPalette(p);
  if (found) ActivateRow(row);
}

std::unique_ptr<QMessageBox> TfBaseForm::MakeAboutBox() {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Information, QStringLiteral("Kandelo"), AboutText(),
                                           QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("AboutBox"));
  box->setTextFormat(Qt::RichText);
  box->setEscapeButton(QMessageBox::Ok);
  return box;
}

std::unique_ptr<QDialog> TfBaseForm::MakeHelpDialog() {
  // The short manual in the session's language, else in English.
  std::string ext = Settings().DbLangExt;
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  auto page = platform::EmbeddedFile("help/MANUAL." + ext);
  if (!page) page = platform::EmbeddedFile("help/MANUAL.ENG");
  auto dialog = std::make_unique<QDialog>(this);
  dialog->setObjectName(QStringLiteral("HelpDialog"));
  dialog->setWindowTitle(QStringLiteral("Kandelo - ") + Q(MsgOr("BROWSER", "BR_HELP", "Help")));
  auto* layout = new QVBoxLayout(dialog.get());
  auto* text = new QTextBrowser(dialog.get());
  text->setHtml(page ? QString::fromUtf8(page->data(), static_cast<int>(page->size())) : QString());
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog.get());
  connect(buttons, &QDialogButtonBox::rejected, dialog.get(), &QDialog::reject);
  layout->addWidget(buttons);
  dialog->resize(680, 600);
  return dialog;
}

void TfBaseForm::ShowHelp() { MakeHelpDialog()->exec(); }

void TfBaseForm::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  UpdateToolStyle();
}

void TfBaseForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shownOnce_) return;
  shownOnce_ = true;
  KeepOnScreen();
  ApplySplitterShare();
  UpdateToolStyle();
  LayoutColumns();
  if (model_->Count() > 0) ActivateRow(storedRow_);
  table_->setFocus();
  EnableOutputs();
  RestartTimer();
}

void TfBaseForm::closeEvent(QCloseEvent* e) {
  StopTimer();
  SaveBrowserPosition(model_->KeyNo(), ActiveRow());
  WriteSettingString("LDBSETTINGS", "FILTER", S(filterRow_->State()));
  // Maximized, the normal placement is kept beside the state.
  const bool maximized = isMaximized();
  const QRect g = maximized ? normalGeometry() : geometry();
  WriteSettingString("LDBSETTINGS", "MAXIMIZED", maximized ? "1" : "0");
  WriteSettingString("LDBSETTINGS", "WINPOS",
                     std::to_string(g.x()) + "," + std::to_string(g.y()) + "," + std::to_string(g.width()) + "," +
                         std::to_string(g.height()));
  WriteSettingString("LDBSETTINGS", "SPLITTER", std::to_string(std::lround(upperShare_ * 1000)));
  backend_.ClearLuminaire();
  selList_->clear();
  // The label stays as read or as set in the version editor.
  backend_.WriteVersionLabel(versionLabel_);
  backend_.SavePathList();
  SaveSettings();
  e->accept();
}

}  // namespace kandelo
