// TConvertDlg ("Datei-Konvertierung"): the destination format, directory and
// extension of a batch conversion, and whether the files join the catalogue.
#pragma once

#include <QDialog>

#include "conversion/conversion_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace kandelo {

class TConvertDlg : public QDialog {
  Q_OBJECT
 public:
  TConvertDlg(const ConversionSettings& settings, bool showTranslate, QWidget* parent = nullptr);
  const ConversionSettings& Settings() const { return s_; }

  QComboBox* DstFmtCombo() const { return fmt_; }
  QLineEdit* DirField() const { return dir_; }
  QLineEdit* ExtField() const { return ext_; }
  QCheckBox* AddCheck() const { return add_; }
  QPushButton* SelDstBtn() const { return sel_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }
  QPushButton* TrBtn2() const { return tr_; }

  // Takes a directory as the destination when its medium allows: false (the
  // previous one stays) for a read-only or missing one; a removable or
  // network medium disables adding to the catalogue.
  bool ChooseDirectory(const std::string& dir);

  void done(int result) override;

 private:
  void DstFmtComboChange(int entry);
  void ExtFldChange(const QString& text);
  void SelDstBtnClick();
  void ApplyDriveKind(const std::string& dir);

  ConversionSettings s_;
  QComboBox* fmt_;
  QLineEdit* dir_;
  QLineEdit* ext_;
  QCheckBox* add_;
  QPushButton* sel_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* tr_;
};

// Runs the dialog on a copy of the settings; they change only on OK.
bool EditConversionSettings(ConversionSettings& settings, bool showTranslate, QWidget* parent = nullptr);

}  // namespace kandelo
