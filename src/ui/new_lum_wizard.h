// TNLWIZ ("neue Leuchte erzeugen"): a new photometric file with an empty
// intensity table on a grid the user chooses, written into the first
// luminaire directory in EULUMDAT or LUM32 format.
#pragma once

#include <QDialog>
#include <string>

#include "photometry/new_luminaire.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kandelo {

class TNLWIZ : public QDialog {
  Q_OBJECT
 public:
  explicit TNLWIZ(bool showTranslate, QWidget* parent = nullptr);

  // The file written by "Leuchtendatei anlegen"; empty until then.
  const std::string& CreatedFile() const { return created_; }
  const std::string& FileNameFull() const { return fileNameFull_; }
  const TNewLumGrid& CGrid() const { return c_; }
  const TNewLumGrid& BGrid() const { return b_; }
  int NewFormat() const { return newFormat_; }

  QComboBox* FormatCombo() const { return formatCombo_; }
  QComboBox* SymmCombo() const { return symmCombo_; }
  QComboBox* BetaSymmCombo() const { return betaSymmCombo_; }
  QRadioButton* CPlaneRadio() const { return rdc_; }
  QRadioButton* BPlaneRadio() const { return rdb_; }
  QLineEdit* NameField() const { return fnFld_; }
  QLineEdit* LumNameField() const { return lNameFld_; }
  QLineEdit* ManufacturerField() const { return lManuFld_; }
  QLineEdit* CStepField() const { return cStep_; }
  QLineEdit* GammaStartField() const { return gStart_; }
  QLineEdit* GammaStepField() const { return gStep_; }
  QLineEdit* GammaEndField() const { return gEnd_; }
  QCheckBox* LuxBox() const { return luxBox_; }
  QWidget* MeasurementPanel() const { return luxPanel_; }
  QPushButton* FwdBtn() const { return fwd_; }
  QPushButton* AbortBtn() const { return abort_; }
  QPushButton* TrBtn2() const { return tr_; }

  // Field checks as the window runs them when a field is left; false (with
  // the error box, the focus back on the field) when refused.
  bool CheckField(QLineEdit* field);
  // "Leuchtendatei anlegen": every field checked, then the file written.
  bool Create();
  // "abbrechen": asks, and closes on Yes.
  void AbortClicked();

 private:
  void FormatChanged(int entry);
  void CSymmetryChanged(int entry);
  void BSymmetryChanged(int entry);
  void PlaneSystemChanged();
  void ShowGrids();
  bool CheckFileName();
  bool Refuse(QLineEdit* field, const std::string& errorKey);
  QLineEdit* AngleField(const char* name, bool editable);

  TNewLumGrid c_ = DefaultCGrid();
  TNewLumGrid b_ = DefaultBGrid();
  int newFormat_ = fmtEulumdat;
  std::string fileNameFull_, created_;
  bool checking_ = false;

  QComboBox* formatCombo_;
  QLabel* extLabel_;
  QLineEdit* fnFld_;
  QLineEdit* lNameFld_;
  QLineEdit* lManuFld_;
  QRadioButton* rdc_;
  QRadioButton* rdb_;
  QGroupBox* cGroup_;
  QGroupBox* bGroup_;
  QComboBox* symmCombo_;
  QComboBox* betaSymmCombo_;
  QLineEdit *cStart_, *cStep_, *cEnd_, *gStart_, *gStep_, *gEnd_;
  QLineEdit *bStart_, *bStep_, *bEnd_, *betaStart_, *betaStep_, *betaEnd_;
  QWidget* luxPanel_;
  QCheckBox* luxBox_;
  QLineEdit* fluxFld_;
  QLineEdit* distFld_;
  QPushButton* fwd_;
  QPushButton* abort_;
  QPushButton* tr_;
};

// Shows the wizard modally; the full name of the file created, or empty when
// cancelled.
std::string RunNewLuminaireWizard(QWidget* owner, bool showTranslate);

}  // namespace kandelo
