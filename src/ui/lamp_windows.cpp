#include "ui/lamp_windows.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "storage/isam_errors.h"
#include "database/lamp_table.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "shell/ui_services.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "ui/navigator.h"
#include "ui/ui_texts.h"

namespace kandelo {

namespace {

// The record's wattages are 16-bit: the fields take what a record can keep.
constexpr int kMaxWatt = 32767;
constexpr int kMaxFlux = 999999;

QLineEdit* NumberField(QWidget* parent, const char* name, int maxValue) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QString::fromLatin1(name));
  f->setValidator(new QIntValidator(0, maxValue, f));
  f->setMaxLength(static_cast<int>(std::to_string(maxValue).size()));
  f->setMaximumWidth(90);
  return f;
}

int FieldInt(const QLineEdit* f) {
  long long v = 0;
  return ParseInt(S(f->text()), v) ? static_cast<int>(std::clamp<long long>(v, 0, kMaxFlux)) : 0;
}

void ShowDbError(const char* prefix, int error) { ShowError(prefix + std::to_string(error)); }

}  // namespace

QString LampCellText(const TLampRecord& lamp, int column) {
  switch (column) {
    case 0: return Q(TrimBlanks(lamp.LampType()));
    case 1: return Q(FormatFixed(lamp.Flux(), 1) + " lm");
    case 2: return QString::number(lamp.Watt()) + QStringLiteral("W");
    case 3: return QString::number(lamp.BallastWatt()) + QStringLiteral("W");
    default: return {};
  }
}

// ---- Lamp editor

TLmpEdform::TLmpEdform(const TLampRecord& lamp, bool isNew, bool isCopy, std::int32_t recNo, QWidget* parent)
    : QDialog(parent), recNo_(recNo) {
  setObjectName(QStringLiteral("TLmpEdform"));
  setWindowTitle(QStringLiteral("lamp editor"));
  if (isNew && !isCopy) lamp_.Clear();
  else lamp_ = lamp;
  auto* grid = new QGridLayout(this);
  type_ = new QLineEdit(this);
  type_->setObjectName(QStringLiteral("LampTFld"));
  type_->setMaxLength(20);
  type_->setMinimumWidth(220);
  flux_ = NumberField(this, "FluxFld", kMaxFlux);
  watt_ = NumberField(this, "WattFld", kMaxWatt);
  ballast_ = NumberField(this, "BWattFld", kMaxWatt);
  grid->addWidget(NamedLabel(this, "Label1", QStringLiteral("type")), 0, 0);
  grid->addWidget(type_, 0, 1, 1, 2);
  grid->addWidget(NamedLabel(this, "Label2", QStringLiteral("flux / lamp")), 1, 0);
  grid->addWidget(flux_, 1, 1);
  grid->addWidget(NamedLabel(this, "Label5", QStringLiteral("lm")), 1, 2);
  grid->addWidget(NamedLabel(this, "Label3", QStringLiteral("Wattage")), 2, 0);
  grid->addWidget(watt_, 2, 1);
  grid->addWidget(NamedLabel(this, "Label6", QStringLiteral("W")), 2, 2);
  grid->addWidget(NamedLabel(this, "Label4", QStringLiteral("Ballast")), 3, 0);
  grid->addWidget(ballast_, 3, 1);
  grid->addWidget(NamedLabel(this, "Label7", QStringLiteral("W")), 3, 2);
  const DialogButtons buttons = OkCancelRow(this, "BitBtn1", "BitBtn2", QStringLiteral("Abort"));
  ok_ = buttons.ok;
  abort_ = buttons.cancel;
  grid->addLayout(buttons.row, 4, 0, 1, 3);
  LocalizeOrExport(this, Settings().OrvTxtFile);

  type_->setText(Q(TrimBlanks(lamp_.LampType())));
  const float flux = lamp_.Flux();
  flux_->setText(QString::number(std::clamp(static_cast<int>(std::lround(flux > 0 ? flux : 0)), 0, kMaxFlux)));
  watt_->setText(QString::number(std::max<int>(0, lamp_.Watt())));
  ballast_->setText(QString::number(std::max<int>(0, lamp_.BallastWatt())));
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(abort_, &QPushButton::clicked, this, &QDialog::reject);
}

void TLmpEdform::TakeFields() {
  lamp_.SetLampType(Cut(S(type_->text()), 20));
  lamp_.SetFlux(static_cast<float>(FieldInt(flux_)));
  lamp_.SetWatt(static_cast<std::int16_t>(std::min(FieldInt(watt_), kMaxWatt)));
  lamp_.SetBallastWatt(static_cast<std::int16_t>(std::min(FieldInt(ballast_), kMaxWatt)));
}

void TLmpEdform::done(int result) {
  if (result == QDialog::Accepted) {
    TakeFields();
    if (TrimBlanks(lamp_.LampType()).empty()) {
      ShowErrorL(OrvMsgText("LAMPS", "LP_NOTYPE", "Please give the lamp type."), Settings().MsgTxtFile);
      type_->setFocus();
      return;
    }
    // Letters outside the table's character set would come back as "?".
    const std::string typed = S(type_->text());
    if (Q(typed) != type_->text() || !LampTypeStorable(typed)) {
      ShowErrorL(OrvMsgText("LAMPS", "LP_BADTEXT",
                            "the lamp type holds characters the lamp table cannot store (only Western European "
                            "letters, no tabs or line breaks)"),
                 Settings().MsgTxtFile);
      type_->setFocus();
      return;
    }
    IndexedTable* t = LampTable();
    if (t) {
      // The key of another lamp (an existing lamp may keep its own): refused
      // before it reaches the table.
      t->SavePosition();
      std::string key = LampKey(lamp_, 1);
      const int e = t->FindKey(key);
      const std::int32_t found = t->CurrentRecordNumber();
      t->RestorePosition();
      const std::int32_t twin = FindLampTwin(lamp_);
      if ((e == isam::kOk && found != recNo_) || (twin != 0 && twin != recNo_)) {
        ShowErrorL(OrvMsgText("LAMPS", "LP_EXISTS", "Lamp already exists !"), Settings().MsgTxtFile);
        type_->setFocus();
        return;
      }
    }
  }
  QDialog::done(result);
}

bool EditLamp(TLampRecord& lamp, bool isNew, bool isCopy, std::int32_t recNo, QWidget* parent) {
  TLmpEdform editor(lamp, isNew, isCopy, recNo, parent);
  if (editor.exec() != QDialog::Accepted) return false;
  lamp = editor.Lamp();
  return true;
}

// ---- Selection window

TLampselForm::TLampselForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TLampselForm"));
  setWindowTitle(QStringLiteral("lamp database"));
  auto* top = new QVBoxLayout(this);
  table_ = new QTableWidget(0, 4, this);
  table_->setObjectName(QStringLiteral("lampTbl"));
  table_->horizontalHeader()->setObjectName(QStringLiteral("LampHeader"));
  table_->setHorizontalHeaderLabels(
      {QStringLiteral("Lamp type"), QStringLiteral("Lamp flux"), QStringLiteral("Wattage"), QStringLiteral("Ballast")});
  const int widths[4] = {180, 100, 60, 60};
  for (int c = 0; c < 4; ++c) table_->setColumnWidth(c, widths[c]);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setMinimumSize(440, 260);
  top->addWidget(table_, 1);

  auto* row = new QHBoxLayout;
  nav_ = new TNavigator(this);
  nav_->setObjectName(QStringLiteral("BsNavi"));
  nav_->SetHints({QStringLiteral("first lamp"), QStringLiteral("previous lamp"), QStringLiteral("next lamp"),
                  QStringLiteral("last lamp"), QStringLiteral("add lamp"), QString(), QStringLiteral("delete lamp"),
                  QStringLiteral("edit lamp"), QString(), QString(), QStringLiteral("Copy")});
  for (TNavigateBtn b : {nbMultIns, nbPost, nbCancel}) nav_->SetButtonVisible(b, false);
  nav_->SetGlyph(nbRefresh, TNavGlyph::Copy);
  row->addWidget(nav_);
  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("SearchFld"));
  search_->setMaxLength(20);
  search_->setPlaceholderText(QStringLiteral("..."));
  row->addWidget(search_, 1);
  top->addLayout(row);

  const DialogButtons buttons = OkCancelRow(this, "BitBtn1", "BitBtn2", QStringLiteral("Abort"));
  ok_ = buttons.ok;
  abort_ = buttons.cancel;
  top->addLayout(buttons.row);
  LocalizeOrExport(this, Settings().OrvTxtFile);
  nav_->SetHints(nav_->Hints());

  connect(nav_, &TNavigator::Clicked, this, &TLampselForm::BsNaviClick);
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int r, int, int, int) {
    if (r >= 0) nav_->SetPosition(r + 1);
  });
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int, int) { accept(); });
  // The search field finds the first lamp whose type begins with the text.
  connect(search_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const std::string prefix = platform::upper1252(S(text));
    for (int i = 0; i < Count(); ++i)
      if (platform::upper1252(TrimBlanks(lamps_[static_cast<std::size_t>(i)].lamp.LampType())).rfind(prefix, 0) == 0) {
        ActivateRow(i + 1);
        return;
      }
  });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(abort_, &QPushButton::clicked, this, &QDialog::reject);
  Reload();
  ActivateRow(1);
}

bool TLampselForm::Reload() {
  lamps_.clear();
  bool ok = true;
  if (IndexedTable* t = LampTable()) {
    t->SelectKey(1);
    t->ResetKey();
    std::string key;
    int e;
    while ((e = t->NextKey(key)) == isam::kOk) {
      if ((e = t->RereadRecord()) != isam::kOk) break;
      lamps_.push_back({t->CurrentRecordNumber(), LampBuffer()});
    }
    if (e != isam::kErrEndOfIndex && e != isam::kErrSearchEnd) {
      ShowDbError("BTREE ERR : ", e);
      ok = false;
    }
  }
  table_->setRowCount(Count());
  for (int r = 0; r < Count(); ++r)
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(LampCellText(lamps_[static_cast<std::size_t>(r)].lamp, c));
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table_->setItem(r, c, item);
    }
  nav_->SetCount(Count());
  for (TNavigateBtn b : {nbDelete, nbEdit, nbRefresh}) nav_->Button(b)->setEnabled(Count() > 0);
  nav_->Button(nbInsert)->setEnabled(LampTable() != nullptr);
  ok_->setEnabled(Count() > 0);
  return ok;
}

int TLampselForm::ActiveRow() const { return Count() == 0 ? 0 : table_->currentRow() + 1; }

void TLampselForm::ActivateRow(int row) {
  if (Count() == 0) return;
  row = std::clamp(row, 1, Count());
  table_->setCurrentCell(row - 1, 0);
  nav_->SetPosition(row);
}

TLampRecord TLampselForm::ActiveLamp() const {
  const int r = ActiveRow();
  return r > 0 ? lamps_[static_cast<std::size_t>(r - 1)].lamp : TLampRecord{};
}

int TLampselForm::RowOfRecord(std::int32_t recNo) const {
  for (int i = 0; i < Count(); ++i)
    if (lamps_[static_cast<std::size_t>(i)].recNo == recNo) return i + 1;
  return 0;
}

int TLampselForm::RowOfKey(const std::string& key1) const {
  for (int i = 0; i < Count(); ++i)
    if (LampKey(lamps_[static_cast<std::size_t>(i)].lamp, 1) == key1) return i + 1;
  return 0;
}

bool TLampselForm::AddLamp(const TLampRecord& lamp) {
  IndexedTable* t = LampTable();
  if (!t) return false;
  LampBuffer() = lamp;
  const int e = t->Add();
  if (e != isam::kOk) {
    ShowDbError("DB-Error : ", e);
    return false;
  }
  return true;
}

void TLampselForm::BsNaviClick(int button) {
  IndexedTable* t = LampTable();
  const int row = ActiveRow();
  switch (button) {
    case nbFirst:
    case nbPrior:
    case nbNext:
    case nbLast:
      ActivateRow(button == nbLast ? Count() : nav_->Position());
      break;
    case nbInsert: {
      TLampRecord lamp;
      if (!t || !EditLamp(lamp, true, false, 0, this)) break;
      ui().setBusy(true);
      const bool added = AddLamp(lamp);
      Reload();
      ui().setBusy(false);
      ActivateRow(added ? RowOfKey(LampKey(lamp, 1)) : row);
      break;
    }
    case nbDelete: {
      if (!t || row == 0) break;
      const std::int32_t recNo = lamps_[static_cast<std::size_t>(row - 1)].recNo;
      int e = t->ReadRecord(recNo);
      if (e == isam::kOk) e = t->Delete();
      if (e != isam::kOk) ShowDbError("DB-Error : ", e);
      Reload();
      ActivateRow(std::min(row, Count()));
      break;
    }
    case nbEdit: {
      if (!t || row == 0) break;
      const std::int32_t recNo = lamps_[static_cast<std::size_t>(row - 1)].recNo;
      TLampRecord lamp = lamps_[static_cast<std::size_t>(row - 1)].lamp;
      if (!EditLamp(lamp, false, false, recNo, this)) break;
      int e = t->ReadRecord(recNo);
      if (e == isam::kOk) {
        LampBuffer() = lamp;
        e = t->Update();
      }
      if (e != isam::kOk) ShowDbError("DB-Error : ", e);
      Reload();
      const int edited = RowOfRecord(recNo);
      ActivateRow(edited > 0 ? edited : row);
      break;
    }
    case nbRefresh: {
      if (!t || row == 0) break;
      TLampRecord lamp = lamps_[static_cast<std::size_t>(row - 1)].lamp;
      if (!EditLamp(lamp, true, true, 0, this)) break;
      const bool added = AddLamp(lamp);
      Reload();
      ActivateRow(added ? RowOfKey(LampKey(lamp, 1)) : row);
      break;
    }
    default:
      break;
  }
}

bool SelectLamp(TLampRecord& lamp, QWidget* parent) {
  TLampselForm form(parent);
  if (form.exec() != QDialog::Accepted || form.ActiveRow() == 0) return false;
  lamp = form.ActiveLamp();
  return true;
}

}  // namespace kandelo
