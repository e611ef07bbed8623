// The language selection dialog: a source and a destination language, both as
// 1-based language numbers (LANG1, LANG2, ...).
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

namespace kandelo {

class TLangDlg : public QDialog {
  Q_OBJECT
 public:
  TLangDlg(int source, int destination, bool showTranslateButton, QWidget* parent = nullptr);
  QListWidget* SourceList() const { return src_; }
  QListWidget* DestList() const { return dst_; }
  int Source() const { return source_; }
  int Destination() const { return destination_; }

 private:
  QListWidget* src_;
  QListWidget* dst_;
  int source_, destination_;
};

// Language names of the settings (GetLanguageExtension for n = 1, 2, ... while it succeeds).
QStringList LanguageNames();

// True on "OK", with both numbers set; "Abort" leaves them unchanged.
bool SelectLanguages(int& source, int& destination, bool showTranslateButton, QWidget* parent = nullptr);

}  // namespace kandelo
