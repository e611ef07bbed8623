// The browser window: the catalogue as a table sorted by one of five keys, the
// record navigator, the polar diagram of the current luminaire, the tool bar
// and the multi-select mode with its temporary list.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "frame/msgmanager.h"
#include "graphics/output_settings.h"
#include "ui/browser_backend.h"
#include "ui/catalogue_model.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QMessageBox;
class QHeaderView;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QSplitter;
class QTableView;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace kandelo {

class TNavigator;
class TFilterRow;
class TDrwWin;

class TfBaseForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TfBaseForm(BrowserBackend& backend, QWidget* parent = nullptr);
  ~TfBaseForm() override;

  // State, for the program and for tests.
  int ActiveRow() const;
  void ActivateRow(int row);
  int SortKey() const { return model_->KeyNo(); }
  TCatalogueModel& Model() { return *model_; }
  TNavigator* Navigator() const { return nav_; }
  TFilterRow* FilterRow() const { return filterRow_; }
  // Fills the filter row (its State() form) and narrows the table to it.
  void SetFilter(const QString& state);
  QTableView* Table() const { return table_; }
  const TOutputSettings& OutputSettings() const { return output_; }
  bool TranslationMode() const { return translation_; }
  bool MultiSelect() const { return multi_; }
  bool LuminaireLoaded() const { return loaded_; }
  const TIncrementalSearch& Search() const { return search_; }
  QTimer& LoadTimer() { return loadTimer_; }
  QTreeWidget* TempList() const { return selList_; }
  QCheckBox* EachPdfCheck() const { return eachPdfCheck_; }
  TMsgManager& Messages() { return *msg_; }

  // Reloads the table at row 1 (after a sort change or a change of records).
  void ReloadTable(int keyNo = 0);  // 0: keep the sort key
  // Loads the luminaire of the active row now (the load timer's handler). A
  // file that failed on this row is not tried again, and its message not
  // shown again, until the user moves or asks for it (explicitRequest).
  void LoadCurrentLuminaire(bool explicitRequest = false);
  // "Evaluations", Enter and double click: loads the luminaire of the active
  // row and opens the evaluation window for it.
  void OpenCurrent();
  // The evaluation window for the loaded luminaire and the active record.
  void OpenEvaluations();
  // Files from the command line or from another start of the program: taken
  // into the catalogue, the last one shown, the window brought to the front.
  void OpenFiles(const QStringList& files);
  // A click on a column header: the sort key that starts with that column,
  // keeping the current entry under the cursor.
  void SortByColumn(int column);
  // F5: reads the catalogue anew, keeping the current entry.
  void RereadCatalogue();
  // The About box's text and the help page.
  QString AboutText() const;
  std::unique_ptr<QMessageBox> MakeAboutBox();
  std::unique_ptr<QDialog> MakeHelpDialog();
  void ShowHelp();
  // The summary after adding files (added, updated, failed with the error list).
  void ShowAddSummary(const IntakeReport& counts);
  // Actions of the navigator, tool bar and multi-select panel.
  void NavigatorClicked(int button);
  void DeleteCurrent();
  void AddAllBelowRootClicked();
  void ClearCatalogueClicked();
  void RebuildClicked();
  void LanguageClicked();
  // The language switch after the language dialog (1-based language numbers).
  void ApplyLanguages(int source, int dest);
  void EnterMultiSelect();
  bool LeaveMultiSelect();
  // The multi-select list: Insert adds the current entry and moves on,
  // Ctrl+click (Ctrl+Space) adds or removes an entry, Shift+click adds the
  // entries from the current row to the one clicked; rows are 1-based.
  void AddCurrentToList();
  void ToggleRowInList(int row);
  void AddRangeToList(int from, int to);
  void SetTranslationMode();
  // The popup's "save as" and the batch conversion of the list (FBtn1).
  void SaveAsClicked();
  void ConvertListClicked();
  // The new-luminaire wizard; the file it writes joins the catalogue.
  void NewLuminaireClicked();
  // The record editor on a new entry (0), the current one (1) or a copy of it (2).
  void EditEntry(int mode);
  ConversionSettings& Conversion() { return conversion_; }
  // The list printout (navigator CANCEL), the settings dialog (SpeedButton1)
  // and the catalogue's version label (status bar); base_form_dialogs.cpp.
  void ListClicked();
  void SettingsClicked();
  void VersionClicked();
  const std::string& VersionLabel() const { return versionLabel_; }
  QToolButton* VersionButton() const { return versionBtn_; }
  // Datasheets (base_form_print.cpp): the current luminaire (prtbtn), the
  // output selection of the batch (CatBtn4) and the batch print (CatPrintBtn).
  void PrintCurrentClicked();
  void EditOutputsClicked();
  void PrintListClicked();

 protected:
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildWidgets();
  void LocalizeWindow(const std::string& orvTxtFile);
  void SetSortTexts();
  void SetStatusCount();
  // The filter row was edited: the table narrows to what it asks, keeping
  // the current entry when it still matches.
  void FilterChanged();
  void LayoutColumns();
  void EnableOutputs();
  void RestartTimer();
  void StopTimer();
  void Relocate(std::int32_t recNo);
  // Shows the table anew when another station changed the catalogue
  // (checked every few seconds and on every move); `known`: already seen.
  void RefreshFromOtherStations(bool known = false);
  void ShowRecordInfo(const CatalogueRow& rec, bool withLuminaire);
  void ShowDbError(int error);
  void ClearLuminaire();
  bool TableKey(QKeyEvent* k);
  void SelectPage(int page);
  void UpdateListButtons();
  bool AddRowToList(int row);
  void CloseWindow();
  void RestorePlacement();
  void KeepOnScreen();
  void UpdateToolStyle();
  void ApplySplitterShare();
  void FocusSearch();
  void SearchEdited(const QString& text);
  std::int32_t CurrentRecNo();
  void ShowRecord(std::int32_t recNo);
  std::string MsgOr(const char* section, const char* key, const char* fallback) const;
  std::string Msg(const char* section, const char* key) const;
  static std::string LangFile(const char* base, const std::string& ext);

  BrowserBackend& backend_;
  std::unique_ptr<TMsgManager> msg_;
  TCatalogueModel* model_ = nullptr;
  TOutputSettings output_;
  TIncrementalSearch search_;
  QTimer loadTimer_;
  QTimer stationTimer_;  // looks for changes of other stations
  bool busy_ = false;
  bool loaded_ = false;
  bool translation_ = false;
  bool multi_ = false;
  bool shownOnce_ = false;
  int storedRow_ = 1;
  std::int32_t dismissedRecNo_ = 0;  // the row whose failed load was reported
  double upperShare_ = 0.45;         // the diagram's share of the splitter's height
  int searchStartRow_ = 1;
  QWidget* tools_ = nullptr;
  std::vector<QToolButton*> toolButtons_;

  QTableView* table_ = nullptr;
  TFilterRow* filterRow_ = nullptr;
  TNavigator* nav_ = nullptr;
  TDrwWin* diagram_ = nullptr;
  QComboBox* keyCombo_ = nullptr;
  QLineEdit* searchEdit_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QWidget* upper_ = nullptr;
  QLabel* status1_ = nullptr;
  QLabel* status2_ = nullptr;
  QMenu* popup_ = nullptr;
  QAction* saveAsAct_ = nullptr;
  QAction* editAct_ = nullptr;
  QToolButton* prtBtn_ = nullptr;
  QToolButton* infoBtn_ = nullptr;
  QToolButton* addAllBtn_ = nullptr;
  QToolButton* clearBtn_ = nullptr;
  QToolButton* trBtn2_ = nullptr;
  QToolButton* trBtn3_ = nullptr;
  QToolButton* multiBtn_ = nullptr;
  QWidget* multiPanel_ = nullptr;
  QTreeWidget* selList_ = nullptr;
  QToolButton* selBtn_[3] = {};
  QWidget* pages_[3] = {};
  QToolButton* lBtn1_ = nullptr;
  QToolButton* lBtn2_ = nullptr;
  QToolButton* catPrintBtn_ = nullptr;
  QCheckBox* eachPdfCheck_ = nullptr;  // batch print: one PDF file per luminaire
  QLabel* infoLabel_ = nullptr;
  QToolButton* fBtn1_ = nullptr;
  ConversionSettings conversion_;
  // base_form_dialogs.cpp
  void BuildDialogHooks(QToolButton* setup);
  void ShowVersionLabel();
  QToolButton* versionBtn_ = nullptr;
  std::string versionLabel_;
};

}  // namespace kandelo
