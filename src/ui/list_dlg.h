// TListDlg ("Datenbankausdruck"): which catalogue entries a list holds (all,
// or a range of key prefixes, in the order of one sort key) and whether it is
// printed or written as a ".TXT" file. PrintListFile prints a list file.
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace kandelo {

class TRadioGroup;
struct TListTexts;

struct TListChoice {
  int keyNo = 1;       // 1, 2, 3 or 5
  bool all = true;
  std::string from = " ", to = "Z";
  bool textFile = false;
};

class TListDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TListDlg(bool showTranslate, QWidget* parent = nullptr);
  // The choice; the limits trimmed and in upper case, as the keys are.
  TListChoice Choice() const;

  QComboBox* KeyCombo() const { return key_; }
  TRadioGroup* RangeGroup() const { return range_; }
  QLineEdit* FromField() const { return from_; }
  QLineEdit* ToField() const { return to_; }
  QCheckBox* TextCheck() const { return ascii_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }
  QPushButton* TrBtn2() const { return tr_; }

 private:
  void RangeChanged();

  QComboBox* key_;
  TRadioGroup* range_;
  QLineEdit* from_;
  QLineEdit* to_;
  QCheckBox* ascii_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* tr_;
};

// The printed list's headings and page text in the database language.
TListTexts LocalListTexts();

// Prints the entries of a list file in landscape on the printer chosen in the
// print dialog (a PDF file when none is installed or when chosen), then
// deletes the list file. False when cancelled or failed (a failure is shown).
bool PrintListFile(const std::string& listFile, QWidget* parent);

}  // namespace kandelo
