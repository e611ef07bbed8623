// The translation dialog: every text of a window with its current-language
// text, its destination-language text (editable) and its item name. Edits show
// in the live window at once and are stored into the destination "ORVTXT" file.
#pragma once

#include <QDialog>
#include <string>

#include "texts/transobj.h"

class QLabel;
class QTabBar;
class QTableWidget;
class QPushButton;
class QMenu;

namespace kandelo {

class TTransDlg : public QDialog {
  Q_OBJECT
 public:
  // With a menu the dialog translates that menu of the window (its section in
  // the file is the menu's name), otherwise the window's own texts.
  TTransDlg(QWidget* window, std::string sourceFile, std::string destFile, QWidget* parent = nullptr,
            QMenu* menu = nullptr);
  bool OkPressed() const { return ok_; }
  QTableWidget* Table() const { return table_; }
  QTabBar* Tabs() const { return tabs_; }
  const TTransList& DestList() const { return dst_; }
  // Applies the destination texts, writes the window's section into the
  // destination file and localizes the window from it.
  void Store();

 private:
  void Fill();
  void CellEdited(int row, int column);
  void TabChanged(int tab);
  void OkClicked();

  void Localize(const std::string& file);
  void Collect(TTransList& list);

  QWidget* window_;
  QMenu* menu_;
  std::string sourceFile_, destFile_;
  TTransList src_, dst_;
  int tab_ = 0;
  bool ok_ = false;
  bool filling_ = false;
  QLabel* classLabel_;
  QLabel* fileLabel_;
  QTabBar* tabs_;
  QTableWidget* table_;
};

// Shows the dialog modally for the window; true when "ok" was pressed.
bool TranslateWindow(QWidget* window, const std::string& sourceFile, const std::string& destFile);
bool TranslateMenu(QWidget* window, QMenu* menu, const std::string& sourceFile, const std::string& destFile);

// The "ORVTXT" files of the current and of the destination language.
std::string SourceTextFile();
std::string DestTextFile();

}  // namespace kandelo
