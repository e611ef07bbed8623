// Tdbedform ("Leuchtendaten-Editor"): one catalogue record with the
// photometric file it names. "Allgemein" edits the texts, lamp sets and
// dimensions, "LVK-Tabelle" the intensity table cell by cell, and
// "Koordinatensystem" converts symmetry, rotates and rescales a working copy
// that reaches the file only when the user agrees.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "conversion/record_edit.h"
#include "database/catalogue_record.h"
#include "photometry/lum32.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTableView;

namespace kandelo {

class BrowserBackend;
class TDrwWin;
class TIntensityTableModel;

enum class EditMode { New, Edit, Copy };

class Tdbedform : public QDialog {
  Q_OBJECT
 public:
  Tdbedform(const TCatalogueRecord& record, EditMode mode, BrowserBackend& backend, bool showTranslate,
            QWidget* parent = nullptr);
  ~Tdbedform() override;

  const TCatalogueRecord& Record() const { return rec_; }
  const TLUM32* Working() const { return work_.get(); }
  const TLUM32* CoordinateCopy() const { return copy_.get(); }
  const std::string& FilePath() const { return path_; }
  bool EditingLocked() const { return locked_; }

  // The pages and actions, as the buttons run them.
  bool ChangePage(int page);
  int Page() const;
  bool OkClicked();
  void CancelClicked();
  bool SaveAsClicked();
  void B2CClicked();
  // "Auswahl" with the file already chosen.
  bool ChooseFile(const std::string& file);
  void SetTableUnit(TableUnit unit);
  void ApplySymmetry(int code);  // SB0 … SB4
  void Rotate(double cTurn, double gammaC0, double gammaC90);
  bool Rescale(double desiredLor);  // "Umrechnen"

  QLineEdit* Field(const char* name) const;
  QTableView* Table() const { return table_; }
  QTabBar* Tabs() const { return tabs_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }

 private:
  void BuildGeneralPage(QWidget* page);
  void BuildTablePage(QWidget* page);
  void BuildCoordinatePage(QWidget* page);
  void LoadWorking(const std::string& path);
  void FillGeneralPage();
  void ShowFields(const TGeneralFields& f);
  TGeneralFields Fields() const;
  void RememberShown();
  bool Typed(const QLineEdit* e) const;
  void FieldLeft();
  void LockEditing(bool lock);
  void SetUpTable();
  void SelectLampClicked();
  void ViewTextClicked();
  bool AskApplyCopy();
  bool WriteWorking();
  void Error(const char* key, const char* fallback, const std::string& detail = {});
  // The page check failed: says why and puts the cursor on the field.
  void RefusePage(const std::string& key);
  std::vector<float> PlaneList() const;

  BrowserBackend& backend_;
  EditMode mode_;
  TCatalogueRecord rec_;
  std::unique_ptr<TLUM32> work_, copy_;
  // The working luminaire as the file last read or written holds it: an
  // edit writes only what differs from it.
  std::unique_ptr<TLUM32> loaded_;
  // The texts the general page's fields got when filled: a field whose text
  // is unchanged keeps the luminaire's value as read, not its shown rounding.
  std::map<const QObject*, QString> shown_;
  std::string path_;
  // The file as it was opened (restored by cancel in edit mode) and as this
  // window last read or wrote it (to notice a change by someone else).
  std::optional<std::string> original_, known_;
  bool locked_ = true;
  bool closeLamps_ = false;  // this window opened the lamp table
  bool filling_ = false;
  int page_ = 0;
  TableUnit unit_ = TableUnit::CdPerKlm;
  int activeColumn_ = 1;

  QLineEdit *lFile_, *manu_, *mNum_, *lName_, *lNum_, *mDate_, *bea_, *xDate_;
  QPlainTextEdit* memo_;
  QLabel* memoLabel_;
  QPushButton *select_, *fed_, *measInfo_, *lampSel_;
  std::array<QLineEdit*, 3> lmpNo_, lampT_, flux_, watt_;
  QLineEdit *len_, *wid_, *hgt_, *lLen_, *lWid_, *lHgt_;
  QComboBox* symm_;
  TDrwWin *graph_, *graph2_, *graph3_;
  QTableView* table_;
  std::unique_ptr<TIntensityTableModel> model_;
  QRadioButton *edRb1_, *edRb2_, *edRb3_;
  QDoubleSpinBox *cTurn_, *g0Turn_, *g90Turn_;
  QPushButton* turnBtn_;
  std::array<QPushButton*, 5> sb_;
  QCheckBox* useAll_;
  QLineEdit *eta1_, *eta2_;
  QStackedWidget* pages_;
  QTabBar* tabs_;
  QPushButton *tr_, *b2c_, *saveAs_, *cancel_, *ok_;
};

// Runs the editor on a copy of the record; true when closed with OK, the
// record then holding the edited copy.
bool EditCatalogueRecord(TCatalogueRecord& record, EditMode mode, BrowserBackend& backend, bool showTranslate,
                         QWidget* parent = nullptr);

}  // namespace kandelo
