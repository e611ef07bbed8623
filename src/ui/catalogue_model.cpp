#include "ui/catalogue_model.h"

#include <QAbstractItemView>
#include <QFont>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPalette>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <cstdlib>

#include "frame/strutil.h"
#include "platform/text.h"
#include "texts/qstr.h"

namespace kandelo {

namespace {

// Fields per column for the sort keys 1..5.
constexpr int kFields[5][5] = {
    {0, 1, 2, 3, 4},  // name
    {1, 0, 2, 3, 4},  // number
    {2, 0, 1, 3, 4},  // file name
    {4, 0, 1, 2, 3},  // format
    {3, 0, 1, 2, 4},  // manufacturer
};
constexpr int kWidths[5][4] = {
    {180, 180, 85, 180}, {180, 180, 85, 180}, {85, 180, 180, 180}, {85, 180, 180, 85}, {180, 180, 180, 85},
};

int ValidKey(int k) { return k >= 1 && k <= 5 ? k : 1; }

const std::string& Field(const CatalogueRow& r, int field) {
  switch (field) {
    case 0: return r.name;
    case 1: return r.number;
    case 2: return r.RealFileName();  // the real name, not its alias
    case 3: return r.manufacturer;
    default: return r.formatName;
  }
}

// The widths of the record's fields per field number: a text that fills its
// field may have been cut when the file was catalogued.
constexpr std::size_t kStoredWidth[5] = {40, 24, 0, 25, 0};

const std::string* FileText(const LuminaireTexts& t, int field) {
  switch (field) {
    case 0: return &t.name;
    case 1: return &t.number;
    case 3: return &t.manufacturer;
    default: return nullptr;
  }
}

}  // namespace

std::string UncutText(const std::string& stored, const std::string& fromFile) {
  std::string text = TrimBlanks(stored);
  std::string whole = TrimBlanks(fromFile);
  return whole.size() > text.size() && whole.compare(0, text.size(), text) == 0 ? whole : text;
}

TCatalogueModel::TCatalogueModel(BrowserBackend& backend, QObject* parent)
    : QAbstractTableModel(parent), backend_(backend) {
  for (int i = 1; i <= 5; ++i) headers_ << QString();
}

int TCatalogueModel::FieldOf(int keyNo, int column) {
  if (column < 0 || column >= kColumns) return 0;
  return kFields[ValidKey(keyNo) - 1][column];
}

std::array<int, 4> TCatalogueModel::BaseWidths(int keyNo) {
  const auto& w = kWidths[ValidKey(keyNo) - 1];
  return {w[0], w[1], w[2], w[3]};
}

void TCatalogueModel::Reload(int keyNo) {
  beginResetModel();
  keyNo_ = ValidKey(keyNo);
  count_ = total_ = backend_.CatalogueOpen() ? std::max<std::int32_t>(0, backend_.RecordCount()) : 0;
  keyRow_ = 0;
  curKey_.clear();
  curRecNo_ = 0;
  recordValid_ = false;
  anchors_.clear();
  fileTexts_.clear();
  entries_.reset();
  if (filter_ && !TakeEntries()) filter_.reset();  // stopped: every entry shows
  if (filter_) {
    ApplyFilter();
  } else if (count_ > 0) {
    backend_.SelectKey(keyNo_);
    backend_.ResetKey();
    if (backend_.NextKey(curKey_, curRecNo_) == 0) {
      keyRow_ = 1;
      recordValid_ = backend_.ReadRecord(curRecNo_, record_);
    }
  }
  endResetModel();
}

bool TCatalogueModel::TakeEntries() {
  if (entries_) return true;
  entries_ = backend_.CatalogueEntries(keyNo_);
  return entries_.has_value();
}

void TCatalogueModel::ApplyFilter() {
  rows_.clear();
  for (const CatalogueEntry& e : *entries_)
    if (filter_->Matches(EntryValues(e))) rows_.push_back(e.recNo);
  count_ = static_cast<int>(rows_.size());
  keyRow_ = 0;
  recordValid_ = false;
}

bool TCatalogueModel::SetFilter(std::shared_ptr<const query::Expression> expression) {
  if (!expression && !filter_) return true;
  if (expression && !TakeEntries()) return false;
  beginResetModel();
  filter_ = std::move(expression);
  fileTexts_.clear();
  if (filter_) {
    ApplyFilter();
    endResetModel();
  } else {
    entries_.reset();  // the catalogue may change while no filter needs them
    endResetModel();
    Reload(keyNo_);
  }
  return true;
}

// The key of a filtered row is the text of its first column, as the
// incremental search compares it.
bool TCatalogueModel::MoveToFiltered(int row) {
  keyRow_ = row;
  curRecNo_ = rows_[static_cast<std::size_t>(row - 1)];
  recordValid_ = false;
  curKey_.clear();
  if (const CatalogueRow* r = RowAt(row)) curKey_ = platform::upper1252(Field(*r, FieldOf(keyNo_, 0)));
  return true;
}

bool TCatalogueModel::MoveTo(int row, int* error) {
  if (error) *error = 0;
  if (row < 1 || row > count_) return false;
  if (filter_) return keyRow_ == row || MoveToFiltered(row);
  if (keyRow_ == 0) {  // before the first entry: start over
    backend_.SelectKey(keyNo_);
    backend_.ResetKey();
  }
  // Far away: start from the nearest remembered entry when that is closer.
  const std::size_t a = static_cast<std::size_t>(row / kAnchorStep);
  for (std::size_t i : {a, a + 1}) {
    const int anchorRow = static_cast<int>(i) * kAnchorStep;
    if (i == 0 || i >= anchors_.size() || anchors_[i].second == 0) continue;
    if (std::abs(anchorRow - row) >= std::abs(keyRow_ - row)) continue;
    if (backend_.PositionKey(anchors_[i].first, anchors_[i].second) != 0) {
      // The catalogue changed under us: forget the rows and step from the start.
      anchors_.clear();
      backend_.ResetKey();
      keyRow_ = 0;
      break;
    }
    keyRow_ = anchorRow;
    curKey_ = anchors_[i].first;
    curRecNo_ = anchors_[i].second;
    recordValid_ = false;
  }
  while (keyRow_ != row) {
    std::string key;
    std::int32_t recNo = 0;
    const bool forward = row > keyRow_;
    const int err = forward ? backend_.NextKey(key, recNo) : backend_.PrevKey(key, recNo);
    if (err != 0) {
      if (error) *error = err;
      return false;
    }
    keyRow_ += forward ? 1 : -1;
    curKey_ = std::move(key);
    curRecNo_ = recNo;
    recordValid_ = false;
    Remember();
  }
  return true;
}

void TCatalogueModel::Remember() {
  if (keyRow_ <= 0 || keyRow_ % kAnchorStep != 0) return;
  const std::size_t i = static_cast<std::size_t>(keyRow_ / kAnchorStep);
  if (anchors_.size() <= i) anchors_.resize(i + 1);
  anchors_[i] = {curKey_, curRecNo_};
}

const CatalogueRow* TCatalogueModel::RowAt(int row) {
  if (filter_) {
    if (row < 1 || row > count_) return nullptr;
    keyRow_ = row;
    curRecNo_ = rows_[static_cast<std::size_t>(row - 1)];
  } else if (!MoveTo(row)) {
    return nullptr;
  }
  if (!recordValid_ || record_.recNo != curRecNo_) {
    recordValid_ = backend_.ReadRecord(curRecNo_, record_);
    if (recordValid_) record_.recNo = curRecNo_;
  }
  return recordValid_ ? &record_ : nullptr;
}

std::string TCatalogueModel::CellText(int row, int column) {
  const CatalogueRow* r = RowAt(row);
  if (!r) return {};
  return Cut(Field(*r, FieldOf(keyNo_, column)), kCellWidth);
}

std::string TCatalogueModel::WholeText(int row, int column) {
  const CatalogueRow* r = RowAt(row);
  if (!r) return {};
  const int field = FieldOf(keyNo_, column);
  const std::string text = TrimBlanks(Field(*r, field));
  if (kStoredWidth[field] == 0 || Field(*r, field).size() < kStoredWidth[field]) return text;
  const std::int32_t recNo = r->recNo;
  auto it = fileTexts_.find(recNo);
  if (it == fileTexts_.end()) {
    const std::string path = AddBackslash(backend_.GetPath(r->dirIndex)) + r->RealFileName();
    it = fileTexts_.emplace(recNo, backend_.FileTexts(path).value_or(LuminaireTexts{})).first;
  }
  return UncutText(text, *FileText(it->second, field));
}

void TCatalogueModel::SetListed(std::set<std::int32_t> recNos) {
  if (recNos == listed_) return;
  listed_ = std::move(recNos);
  if (count_ > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::BackgroundRole, Qt::FontRole});
}

int TCatalogueModel::RowOfRecord(std::int32_t recNo) {
  if (filter_) {
    const auto it = std::find(rows_.begin(), rows_.end(), recNo);
    return it == rows_.end() ? 0 : static_cast<int>(it - rows_.begin()) + 1;
  }
  backend_.SelectKey(keyNo_);
  backend_.ResetKey();
  keyRow_ = 0;
  recordValid_ = false;
  std::string key;
  std::int32_t r = 0;
  for (int row = 1; row <= count_; ++row) {
    if (backend_.NextKey(key, r) != 0) break;
    keyRow_ = row;
    curKey_ = key;
    curRecNo_ = r;
    Remember();
    if (r == recNo) return row;
  }
  return 0;
}

void TCatalogueModel::SetHeaderTexts(const QStringList& texts) {
  for (int i = 0; i < kColumns && i < texts.size(); ++i) headers_[i] = texts[i];
  emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

int TCatalogueModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return count_ > 0 ? count_ : 1;  // an empty catalogue shows one empty row
}

int TCatalogueModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant TCatalogueModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || count_ == 0) return {};
  // Showing a cell moves the key position: the model's cursor is its cache.
  auto* self = const_cast<TCatalogueModel*>(this);
  switch (role) {
    case Qt::DisplayRole: return Q(self->CellText(index.row() + 1, index.column()));
    case Qt::ToolTipRole: {
      if (FieldOf(keyNo_, index.column()) == 4) return {};
      const std::string whole = self->WholeText(index.row() + 1, index.column());
      return whole.empty() ? QVariant() : QVariant(Q(whole));
    }
    case Qt::BackgroundRole:
    case Qt::FontRole: {
      if (listed_.empty()) return {};
      const CatalogueRow* r = self->RowAt(index.row() + 1);
      if (!r || !Listed(r->recNo)) return {};
      if (role == Qt::FontRole) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      QColor tint = QGuiApplication::palette().color(QPalette::Highlight);
      tint.setAlpha(80);
      return tint;
    }
    default: return {};
  }
}

QVariant TCatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return QString();
  if (section < 0 || section >= kColumns) return {};
  return headers_[FieldOf(keyNo_, section)];
}

bool TCatalogueDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) {
  if (event && event->type() == QEvent::ToolTip && index.isValid()) {
    const QString whole = index.data(Qt::ToolTipRole).toString();
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // The text's room: the cell less the margins the style leaves either side.
    const int room = opt.rect.width() - 2 * (view ? view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1 : 4);
    if (whole.isEmpty() || (whole == opt.text && opt.fontMetrics.horizontalAdvance(opt.text) <= room)) {
      QToolTip::hideText();
      return true;
    }
  }
  return QStyledItemDelegate::helpEvent(event, view, option, index);
}

int TIncrementalSearch::Type(char c, int activeRow, TCatalogueModel& model) {
  model.MoveTo(activeRow);
  if (text_.size() >= kMaxText) {
    Clear();
    return 0;
  }
  const bool decide = text_.empty() || direction_ == 0;
  text_ += platform::upperChar1252(c);
  if (decide) {
    const std::string key = platform::upper1252(model.CurrentKey()).substr(0, text_.size());
    const int cmp = text_.compare(0, text_.size(), key);
    direction_ = cmp > 0 ? 1 : (cmp < 0 ? -1 : 0);
  }
  auto matches = [&](int row) {
    const std::string cell = platform::upper1252(model.CellText(row, 0));
    return cell.compare(0, text_.size(), text_) == 0 && cell.size() >= text_.size();
  };
  if (direction_ == 1) {
    for (int row = std::max(activeRow, 1); row <= model.Count(); ++row)
      if (matches(row)) return row;
  } else {
    for (int row = std::min(activeRow, model.Count()); row >= 1; --row)
      if (matches(row)) return row;
  }
  Clear();
  return 0;
}

}  // namespace kandelo
