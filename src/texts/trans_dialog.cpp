#include "texts/trans_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "frame/settings.h"
#include "frame/strutil.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"

namespace kandelo {

std::string SourceTextFile() { return AddBackslash(Settings().LangDir) + "ORVTXT" + Settings().DbLangExt; }
std::string DestTextFile() { return AddBackslash(Settings().LangDir) + "ORVTXT" + Settings().DestLangExt; }

TTransDlg::TTransDlg(QWidget* window, std::string sourceFile, std::string destFile, QWidget* parent, QMenu* menu)
    : QDialog(parent), window_(window), menu_(menu), sourceFile_(std::move(sourceFile)),
      destFile_(std::move(destFile)) {
  setWindowTitle(QStringLiteral("Translate"));
  resize(720, 480);
  auto* top = new QVBoxLayout(this);
  auto* info = new QHBoxLayout;
  classLabel_ = new QLabel(this);
  fileLabel_ = new QLabel(this);
  auto* fileCaption = new QLabel(QStringLiteral("Filename"), this);
  fileCaption->setObjectName(QStringLiteral("Label1"));
  info->addWidget(classLabel_);
  info->addStretch();
  info->addWidget(fileCaption);
  info->addWidget(fileLabel_);
  top->addLayout(info);

  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("TabSet1"));
  tabs_->addTab(QStringLiteral("caption text"));
  tabs_->addTab(QStringLiteral("hint text"));
  top->addWidget(tabs_);

  table_ = new QTableWidget(this);
  table_->setColumnCount(3);
  table_->setHorizontalHeaderLabels({QStringLiteral("Origin"), QStringLiteral("Destination"), QStringLiteral("Item")});
  table_->horizontalHeader()->setObjectName(QStringLiteral("Header1"));
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setColumnWidth(0, 260);
  table_->setColumnWidth(1, 260);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  top->addWidget(table_, 1);

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("ok"), this);
  ok->setObjectName(QStringLiteral("OkBtn"));
  auto* cancel = new QPushButton(QStringLiteral("cancel"), this);
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  top->addLayout(buttons);

  LocalizeOrExport(this, Settings().OrvTxtFile);

  if (window_) {
    Localize(sourceFile_);
    Collect(src_);
    Localize(destFile_);
    Collect(dst_);
    classLabel_->setText(menu_ ? menu_->objectName() : WindowClassName(window_));
  }
  fileLabel_->setText(Q(destFile_));
  Fill();

  connect(table_, &QTableWidget::cellChanged, this, &TTransDlg::CellEdited);
  connect(table_, &QTableWidget::currentCellChanged, this, [this] { ApplyTexts(dst_); });
  connect(tabs_, &QTabBar::currentChanged, this, &TTransDlg::TabChanged);
  connect(ok, &QPushButton::clicked, this, &TTransDlg::OkClicked);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TTransDlg::Localize(const std::string& file) {
  if (menu_) LocalizeMenu(file, window_);
  else LocalizeForm(true, file, window_);
}

void TTransDlg::Collect(TTransList& list) {
  if (menu_) CollectTexts(menu_, list);
  else CollectTexts(window_, list);
}

void TTransDlg::Fill() {
  filling_ = true;
  table_->clearContents();
  table_->setRowCount(src_.Count());
  const QColor readOnly = palette().color(QPalette::Button);
  for (int r = 0; r < src_.Count(); ++r) {
    const TTransObj& s = src_.Objects(r);
    const int d = dst_.IndexOf(s.ItemName);
    const TTransObj* t = d >= 0 ? &dst_.Objects(d) : nullptr;
    auto* origin = new QTableWidgetItem(Q(tab_ == 0 ? s.Caption : s.Hint));
    origin->setFlags(origin->flags() & ~Qt::ItemIsEditable);
    auto* dest = new QTableWidgetItem(t ? Q(tab_ == 0 ? t->Caption : t->Hint) : QString());
    const bool editable = t && (tab_ == 0 ? t->HasCaption : t->HasHint);
    if (!editable) {
      dest->setFlags(dest->flags() & ~Qt::ItemIsEditable);
      dest->setBackground(readOnly);
    }
    auto* item = new QTableWidgetItem(Q(s.ItemName));
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    table_->setItem(r, 0, origin);
    table_->setItem(r, 1, dest);
    table_->setItem(r, 2, item);
  }
  filling_ = false;
}

void TTransDlg::CellEdited(int row, int column) {
  if (filling_ || column != 1 || row < 0 || row >= src_.Count()) return;
  const int d = dst_.IndexOf(src_.Objects(row).ItemName);
  if (d < 0) return;
  TTransObj& t = dst_.Objects(d);
  const std::string text = Cut(S(table_->item(row, 1)->text()));
  if (tab_ == 0) t.Caption = text;
  else t.Hint = text;
}

void TTransDlg::Store() {
  if (!window_) return;
  ApplyTexts(dst_);
  if (menu_) ExportMenu(destFile_, window_);
  else ExportForm(destFile_, window_);
  Localize(destFile_);
}

void TTransDlg::TabChanged(int tab) {
  if (table_->currentItem()) table_->closePersistentEditor(table_->currentItem());
  Store();
  tab_ = tab == 1 ? 1 : 0;
  Fill();
}

void TTransDlg::OkClicked() {
  if (auto* current = table_->currentItem()) table_->closePersistentEditor(current);
  setFocus();  // commits an open cell editor
  ok_ = true;
  Store();
  accept();
}

bool TranslateWindow(QWidget* window, const std::string& sourceFile, const std::string& destFile) {
  TTransDlg dlg(window, sourceFile, destFile, window);
  return dlg.exec() == QDialog::Accepted && dlg.OkPressed();
}

bool TranslateMenu(QWidget* window, QMenu* menu, const std::string& sourceFile, const std::string& destFile) {
  TTransDlg dlg(window, sourceFile, destFile, window, menu);
  return dlg.exec() == QDialog::Accepted && dlg.OkPressed();
}

}  // namespace kandelo
