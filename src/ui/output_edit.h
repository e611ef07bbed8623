// TOutEditDlg ("Ausgaben definieren "): which pages a datasheet prints and the
// parameters of its evaluations. Edits a copy of the output settings record;
// the record changes only when the user confirms.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "graphics/output_settings.h"
#include "ui/output_luminaire.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace kandelo {

class TMsgManager;

class TOutEditDlg : public QDialog {
  Q_OBJECT
 public:
  TOutEditDlg(const TOutputSettings& settings, const std::optional<TOutputLuminaire>& lum, bool showTranslate,
              QWidget* parent = nullptr);
  ~TOutEditDlg() override;
  // The edit buffer; on OK also the ticked outputs and planes.
  const TOutputSettings& Buffer() const { return buffer_; }

  QListWidget* OutList() const { return outList_; }
  QListWidget* PlaneList() const { return planeList_; }
  QStackedWidget* Pages() const { return pages_; }
  // The name of the parameter page shown ("blank", "Vorgabe", "isoed", ...).
  QString PageName() const;
  QLineEdit* IsoSideField() const { return isoSide_; }
  QLineEdit* IsoFluxField() const { return isoFlux_; }
  QComboBox* ConeCombo() const { return cone_; }
  QComboBox* CountHeightCombo() const { return srtHeightPreset_; }
  QLineEdit* CountHeightField(int i) const { return srtH_[i]; }
  QComboBox* FloorDistanceCombo() const { return bbkDist_; }
  QCheckBox* EmergencyCheck() const { return emergency_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }
  QPushButton* TrBtn2() const { return tr_; }

  void accept() override;

 private:
  void BuildPages();
  void FillFields();
  void FillPlanes(const std::optional<TOutputLuminaire>& lum);
  void ShowPageFor(int row);
  void CountHeightPresetChanged(int index);
  void CountIlluminancePresetChanged(int index);
  void FloorHeightPresetChanged(int index);

  TOutputSettings buffer_;
  std::unique_ptr<TMsgManager> msg_;
  QListWidget* outList_ = nullptr;
  QListWidget* planeList_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QLineEdit* isoSide_ = nullptr;
  QLineEdit* isoHeight_ = nullptr;
  QLineEdit* isoFlux_ = nullptr;
  QLineEdit* kValue_ = nullptr;
  QLabel* kValueLabel_ = nullptr;
  QComboBox* cone_ = nullptr;
  QComboBox* srtRefl_ = nullptr;
  QComboBox* srtHeightPreset_ = nullptr;
  QComboBox* srtIllPreset_ = nullptr;
  QComboBox* srtArea_ = nullptr;
  QLineEdit* srtH_[3] = {};
  QLineEdit* srtE_[3] = {};
  QLineEdit* srtMf_ = nullptr;
  QComboBox* bbkDist_ = nullptr;
  QComboBox* bbkHeightPreset_ = nullptr;
  QLineEdit* bbkH_[3] = {};
  QLineEdit* bbkMf_ = nullptr;
  QCheckBox* emergency_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* tr_ = nullptr;
};

// Runs the editor on a copy of the record; true (and the record updated) on OK.
bool EditOutputSettings(TOutputSettings& settings, const std::optional<TOutputLuminaire>& lum,
                        bool translationMode, QWidget* parent = nullptr);

}  // namespace kandelo
