// Small modal editors of the browser and the record editor: the database
// version label (TVersionDlg) and the measurement information of a luminaire
// (TMeasInfoDlg). The text file viewer is in text_viewer.h.
#pragma once

#include <QDialog>
#include <array>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace kandelo {

class TLUM32;

class TVersionDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TVersionDlg(const std::string& label, QWidget* parent = nullptr);
  // The field's text cut to 5 characters.
  std::string Label() const;
  QLineEdit* VersionField() const { return field_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* AbortBtn() const { return abort_; }

 private:
  QLineEdit* field_;
  QPushButton* ok_;
  QPushButton* abort_;
};

// "OK": true and the label cut to 5 characters; "Abort": false, label unchanged.
bool EditDatabaseVersion(std::string& label, QWidget* parent = nullptr);

class TMeasInfoDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TMeasInfoDlg(const TLUM32& lum, QWidget* parent = nullptr);
  // Writes the four fields OK takes back (voltage, current, circuit watts,
  // temperature) into the luminaire.
  void WriteBack(TLUM32& lum) const;

  QCheckBox* AuxCheck() const { return aux_; }
  QLineEdit* TempField() const { return temp_; }
  QLineEdit* VoltField() const { return volt_; }
  QLineEdit* CurrentField() const { return current_; }
  QLineEdit* WattField() const { return watt_; }
  QLineEdit* QuantityField() const { return quantity_; }
  QLineEdit* LampNameField(int i) const { return names_[static_cast<std::size_t>(i)]; }
  QLineEdit* LampFluxField(int i) const { return fluxes_[static_cast<std::size_t>(i)]; }
  QLineEdit* TotalFluxField() const { return total_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* AbortBtn() const { return abort_; }

 private:
  QCheckBox* aux_;
  QLineEdit* temp_;
  QLineEdit* volt_;
  QLineEdit* current_;
  QLineEdit* watt_;
  QLineEdit* quantity_;
  std::array<QLineEdit*, 5> names_{};
  std::array<QLineEdit*, 5> fluxes_{};
  QLineEdit* total_;
  QPushButton* ok_;
  QPushButton* abort_;
};

// Shows the measurement block of the luminaire; "OK" writes back only the
// voltage, current, circuit watts and temperature, "Abbruch" nothing. True on OK.
bool EditMeasurementInfo(TLUM32& lum, QWidget* parent = nullptr);

// The input rule of a picture mask of the measurement fields ("###.##":
// up to three digits before and two after the decimal point, a sign in
// front; "999": digits only). Exposed for the tests.
bool MaskAccepts(const std::string& mask, const QString& text);

}  // namespace kandelo
