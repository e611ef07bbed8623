#include "texts/msg_trans_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "shell/msgbox.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"

namespace kandelo {

TMsgTransDlg::TMsgTransDlg(TMsgTransList rows, std::string destFile, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)), destFile_(std::move(destFile)) {
  setWindowTitle(QStringLiteral("message translator"));
  resize(820, 560);
  auto* top = new QVBoxLayout(this);
  auto* info = new QHBoxLayout;
  auto* fileCaption = new QLabel(QStringLiteral("Filename"), this);
  fileCaption->setObjectName(QStringLiteral("Label1"));
  auto* fileLabel = new QLabel(Q(destFile_), this);
  fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  info->addWidget(fileCaption);
  info->addWidget(fileLabel, 1);
  top->addLayout(info);

  table_ = new QTableWidget(this);
  table_->setColumnCount(3);
  table_->setHorizontalHeaderLabels({QStringLiteral("origin"), QStringLiteral("destination"),
                                     QStringLiteral("item name")});
  table_->horizontalHeader()->setObjectName(QStringLiteral("Header1"));
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setColumnWidth(0, 320);
  table_->setColumnWidth(1, 320);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->setWordWrap(false);
  top->addWidget(table_, 1);

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OkBtn"));
  auto* cancel = new QPushButton(QStringLiteral("Abort"), this);
  cancel->setObjectName(QStringLiteral("AbortBtn"));
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  top->addLayout(buttons);

  LocalizeOrExport(this, Settings().OrvTxtFile);

  filling_ = true;
  table_->setRowCount(static_cast<int>(rows_.size()));
  const QColor readOnly = palette().color(QPalette::Button);
  for (int r = 0; r < table_->rowCount(); ++r) {
    const TMsgTransRow& row = rows_[static_cast<std::size_t>(r)];
    auto* origin = new QTableWidgetItem(Q(row.source));
    origin->setFlags(origin->flags() & ~Qt::ItemIsEditable);
    origin->setBackground(readOnly);
    auto* dest = new QTableWidgetItem(Q(row.destination));
    auto* key = new QTableWidgetItem(Q(row.key));
    key->setFlags(key->flags() & ~Qt::ItemIsEditable);
    key->setBackground(readOnly);
    // Keys repeat across sections; the section tells them apart.
    key->setToolTip(Q("[" + row.section + "] " + row.key));
    table_->setItem(r, 0, origin);
    table_->setItem(r, 1, dest);
    table_->setItem(r, 2, key);
  }
  filling_ = false;
  if (table_->rowCount() > 0) table_->setCurrentCell(0, 1);

  connect(table_, &QTableWidget::cellChanged, this, &TMsgTransDlg::CellEdited);
  connect(ok, &QPushButton::clicked, this, &TMsgTransDlg::OkClicked);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TMsgTransDlg::CellEdited(int row, int column) {
  if (filling_ || column != 1 || row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[static_cast<std::size_t>(row)].destination = Cut(S(table_->item(row, 1)->text()));
}

void TMsgTransDlg::OkClicked() {
  setFocus();  // commits an open cell editor
  if (!StoreMessageTranslation(rows_, destFile_)) {
    std::string text = TMsgManager(Settings().OrvMsgFile).GetText("DEFAULT MESSAGES", "DM_NOWRITE");
    if (text.empty()) text = "The file cannot be written";
    ShowErrorL(text + " : " + destFile_, Settings().MsgTxtFile);
    return;
  }
  accept();
}

bool TranslateMessages(const std::string& sourceFile, const std::string& destFile, QWidget* parent) {
  std::optional<TMsgTransList> rows = LoadMessageTranslation(sourceFile, destFile);
  if (!rows) return false;
  TMsgTransDlg dlg(std::move(*rows), destFile, parent);
  return dlg.exec() == QDialog::Accepted;
}

}  // namespace kandelo
