// TOrvsetForm: the settings dialog. It edits a copy of the whole settings
// record (user, directories, output device, IES sub-format and extension,
// drawing options, mounting mode) and hands it back only on OK.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "frame/settings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace kandelo {

class TRadioGroup;

class TOrvsetForm : public QDialog {
  Q_OBJECT
 public:
  TOrvsetForm(const TProgramSettings& settings, bool showTranslate, QWidget* parent = nullptr);
  const TProgramSettings& Settings() const { return s_; }

  // The printer set-up: given the printer it starts on, the printer chosen,
  // nullopt when cancelled. Replaceable (tests, no printers installed).
  using PrinterSetup = std::function<std::optional<std::string>(const std::string& startPrinter)>;
  void SetPrinterSetup(PrinterSetup setup) { printerSetup_ = std::move(setup); }

  QTabBar* Tabs() const { return tabs_; }
  QStackedWidget* Pages() const { return pages_; }
  QLineEdit* DataPathField() const { return lumPath_; }
  QLineEdit* DeviceField() const { return epsDev_; }
  QLineEdit* GraphicsPathField() const { return grafDir_; }
  QLineEdit* ExtField() const { return iesExt_; }
  TRadioGroup* IesFormatGroup() const { return iesFmt_; }
  TRadioGroup* MountingGroup() const { return mMode_; }
  QCheckBox* LorCheck() const { return eta_; }
  QCheckBox* BoldCheck() const { return bold_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }
  QPushButton* TrBtn2() const { return tr_; }

  void BitBtn3Click();  // data path
  void BitBtn4Click();  // output device
  void BitBtn5Click();  // graphics path
  void LogoBtnClick();  // the company's logo image
  QLineEdit* UserNameField() const { return userName_; }
  QLineEdit* UserAddrField() const { return userAddr_; }
  QLineEdit* UserLogoField() const { return userLogo_; }

 private:
  TProgramSettings s_;
  PrinterSetup printerSetup_;
  QTabBar* tabs_;
  QStackedWidget* pages_;
  QLineEdit* userName_;
  QLineEdit* userAddr_;
  QLineEdit* userLogo_;
  QLineEdit* lumPath_;
  QLineEdit* epsDev_;
  QLineEdit* grafDir_;
  TRadioGroup* iesFmt_;
  QLineEdit* iesExt_;
  QCheckBox* eta_;
  QCheckBox* bold_;
  TRadioGroup* mMode_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* tr_;
};

// The printer the set-up starts on: the installed one named exactly like
// `stored`, else the default printer (empty when none is installed).
std::string PrinterToStartWith(const std::string& stored, const QStringList& installed,
                               const std::string& defaultPrinter);

// Runs the dialog on a copy; on OK the copy is written into `settings` and
// the result is true (the caller then saves the settings).
bool EditSettings(TProgramSettings& settings, bool showTranslate, QWidget* parent = nullptr);

}  // namespace kandelo
