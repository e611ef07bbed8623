// The lamp table's windows: the selection window TLampselForm (the lamps in
// key-1 order with add, copy, edit and delete) and the lamp editor TLmpEdform.
// Both work on the open lamp table (database/lamp_table.h); the record editor
// opens the table and calls SelectLamp for its first lamp row.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "database/lamp_record.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kandelo {

class TNavigator;

class TLmpEdform : public QDialog {
  Q_OBJECT
 public:
  // `recNo`: the table record being edited (0 for a new lamp or a copy); a
  // type and wattage that another record already has are refused.
  TLmpEdform(const TLampRecord& lamp, bool isNew, bool isCopy, std::int32_t recNo = 0, QWidget* parent = nullptr);
  const TLampRecord& Lamp() const { return lamp_; }

  QLineEdit* TypeField() const { return type_; }
  QLineEdit* FluxField() const { return flux_; }
  QLineEdit* WattField() const { return watt_; }
  QLineEdit* BallastField() const { return ballast_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* AbortBtn() const { return abort_; }

  void done(int result) override;

 private:
  void TakeFields();

  TLampRecord lamp_;
  std::int32_t recNo_;
  QLineEdit* type_;
  QLineEdit* flux_;
  QLineEdit* watt_;
  QLineEdit* ballast_;
  QPushButton* ok_;
  QPushButton* abort_;
};

// Runs the lamp editor on a copy; a new lamp starts zeroed. The record changes
// only when the editor closes with OK.
bool EditLamp(TLampRecord& lamp, bool isNew, bool isCopy, std::int32_t recNo = 0, QWidget* parent = nullptr);

class TLampselForm : public QDialog {
  Q_OBJECT
 public:
  explicit TLampselForm(QWidget* parent = nullptr);

  int Count() const { return static_cast<int>(lamps_.size()); }
  int ActiveRow() const;  // 1-based; 0 when the table is empty
  void ActivateRow(int row);
  // The lamp of the active row (zeroed when the table is empty).
  TLampRecord ActiveLamp() const;
  TNavigator* Navigator() const { return nav_; }
  QTableWidget* Table() const { return table_; }
  QPushButton* OkBtn() const { return ok_; }
  QPushButton* AbortBtn() const { return abort_; }

  // Reads the table anew in key-1 order; false (with "BTREE ERR : " shown)
  // when a step fails.
  bool Reload();
  void BsNaviClick(int button);

 private:
  struct Row {
    std::int32_t recNo;
    TLampRecord lamp;
  };
  bool AddLamp(const TLampRecord& lamp);
  int RowOfRecord(std::int32_t recNo) const;
  int RowOfKey(const std::string& key1) const;

  std::vector<Row> lamps_;
  QTableWidget* table_;
  TNavigator* nav_;
  QLineEdit* search_;
  QPushButton* ok_;
  QPushButton* abort_;
};

// Shows the selection window on the open lamp table; with OK (or a double
// click on a row) the active row's lamp is copied into `lamp` and the result
// is true.
bool SelectLamp(TLampRecord& lamp, QWidget* parent = nullptr);

// The table's cell texts: the type trimmed, the flux with one decimal and
// " lm", the wattages as integers followed by "W".
QString LampCellText(const TLampRecord& lamp, int column);

}  // namespace kandelo
