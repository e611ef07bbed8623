// The browser table as a virtual model over the catalogue's key cursor. Row i
// (1-based) is the i-th entry in the order of the sort key; showing a row moves
// the key position one entry per row from where it stands, so the usual
// movements (neighbouring rows, scrolling) stay cheap and nothing is copied.
//
// With a filter the rows are the entries the filter's expression matches, in
// the same order: the entries and their key figures are taken from the
// backend once per key order and state of the catalogue, and each new
// expression only runs over them.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QStringList>
#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <optional>
#include <utility>
#include <vector>

#include "ui/browser_backend.h"

namespace kandelo {

class TCatalogueModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kColumns = 5;
  static constexpr std::size_t kCellWidth = 40;

  explicit TCatalogueModel(BrowserBackend& backend, QObject* parent = nullptr);

  // Record count, key selection and position on the first entry; a filter
  // stays and is applied to the catalogue as it is now.
  void Reload(int keyNo);
  int KeyNo() const { return keyNo_; }
  // Rows: the entries shown (those the filter matches).
  int Count() const { return count_; }
  // Entries of the catalogue, filtered or not.
  int Total() const { return total_; }

  // Narrows the rows to the entries the expression matches; nullptr shows
  // every entry. False when the entries could not be taken (the user stopped
  // the computing of their figures): the rows are then left as they were.
  bool SetFilter(std::shared_ptr<const query::Expression> expression);
  bool Filtered() const { return filter_ != nullptr; }

  // Moves the key position to row i; false with the engine's number when a step fails.
  bool MoveTo(int row, int* error = nullptr);
  // Moves to row i and reads its record; nullptr when that fails.
  const CatalogueRow* RowAt(int row);
  int KeyRow() const { return keyRow_; }
  const std::string& CurrentKey() const { return curKey_; }
  std::int32_t CurrentRecNo() const { return curRecNo_; }

  // The text of column c (0..4) of row i under the current key, cut to 40 characters.
  std::string CellText(int row, int column);
  // 1-based row of a record number in key order, 0 when it does not come up.
  int RowOfRecord(std::int32_t recNo);

  // The entries of the multi-select list, shown highlighted in the table.
  void SetListed(std::set<std::int32_t> recNos);
  bool Listed(std::int32_t recNo) const { return listed_.count(recNo) > 0; }
  // The whole text of column c of row i, as a tooltip shows it: the real file
  // name, and for the texts the record keeps cut (name, number,
  // manufacturer) the text from the file when the record's field is full.
  std::string WholeText(int row, int column);

  // Header texts "LHD1".."LHD5" in field order (name, number, file, manufacturer, format).
  void SetHeaderTexts(const QStringList& texts);
  // Base widths of columns 1..4 for a key; column 5 takes the rest.
  static std::array<int, 4> BaseWidths(int keyNo);
  // Field (0 name, 1 number, 2 file, 3 manufacturer, 4 format) shown in a column.
  static int FieldOf(int keyNo, int column);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  BrowserBackend& backend_;
  int keyNo_ = 1;
  int count_ = 0;
  int total_ = 0;
  std::shared_ptr<const query::Expression> filter_;
  // The entries of the catalogue in key order with their figures, taken for
  // the filter; empty until a filter needs them, cleared by Reload.
  std::optional<std::vector<CatalogueEntry>> entries_;
  std::vector<std::int32_t> rows_;  // filtered: the record of each row
  bool TakeEntries();
  void ApplyFilter();
  bool MoveToFiltered(int row);
  int keyRow_ = 0;  // 0: the key stands before the first entry
  std::string curKey_;
  std::int32_t curRecNo_ = 0;
  CatalogueRow record_;
  bool recordValid_ = false;
  QStringList headers_;
  std::set<std::int32_t> listed_;
  // The uncut texts read from the files for tooltips, by record number.
  std::map<std::int32_t, LuminaireTexts> fileTexts_;
  // Key entries seen at every kAnchorStep-th row (index row / kAnchorStep), so
  // a jump of the scroll thumb steps from the nearest of them.
  static constexpr int kAnchorStep = 128;
  std::vector<std::pair<std::string, std::int32_t>> anchors_;
  void Remember();
};

// The whole text of a record's field: the file's text when it continues the
// stored one (the record cut it), else the stored text trimmed. A record
// whose text differs from its file's keeps its own.
std::string UncutText(const std::string& stored, const std::string& fromFile);

// The table's cells show their tooltip (the whole text) only where the cell
// does not show all of it: a column too narrow, or a text the record cut.
class TCatalogueDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;
};

// Incremental search over column 1 of the table (printable keys of the table).
class TIncrementalSearch {
 public:
  static constexpr std::size_t kMaxText = 40;
  // Handles one typed character at the active row; returns the row to activate
  // (0 when nothing is to be activated). Text() empty afterwards means the
  // search field is hidden.
  int Type(char c, int activeRow, TCatalogueModel& model);
  void Clear() { text_.clear(); direction_ = 0; }
  const std::string& Text() const { return text_; }
  int Direction() const { return direction_; }

 private:
  std::string text_;
  int direction_ = 0;
};

}  // namespace kandelo
