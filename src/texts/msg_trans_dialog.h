// The message translator: every key of the current language's message file
// beside its text in the destination language, the destination column
// editable; "OK" writes the destination file, cancel writes nothing.
#pragma once

#include <QDialog>
#include <string>

#include "frame/msg_translation.h"

class QTableWidget;

namespace kandelo {

class TMsgTransDlg : public QDialog {
  Q_OBJECT
 public:
  TMsgTransDlg(TMsgTransList rows, std::string destFile, QWidget* parent = nullptr);
  QTableWidget* Table() const { return table_; }
  const TMsgTransList& Rows() const { return rows_; }

 private:
  void CellEdited(int row, int column);
  void OkClicked();

  TMsgTransList rows_;
  std::string destFile_;
  bool filling_ = false;
  QTableWidget* table_;
};

// Opens the translator for `sourceFile` into `destFile` (created as a copy of
// the source when missing). Nothing happens when the source does not exist.
// True when texts were written.
bool TranslateMessages(const std::string& sourceFile, const std::string& destFile, QWidget* parent = nullptr);

}  // namespace kandelo
