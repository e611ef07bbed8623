#include "texts/select_languages.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "frame/settings.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/trans_dialog.h"

namespace kandelo {

QStringList LanguageNames() {
  QStringList names;
  // The settings know three languages by default; more may be configured.
  for (int n = 1; n < 100; ++n) {
    std::string name, ext;
    if (!GetLanguageExtension(n, name, ext)) break;
    names << Q(name);
  }
  return names;
}

TLangDlg::TLangDlg(int source, int destination, bool showTranslateButton, QWidget* parent)
    : QDialog(parent), source_(source), destination_(destination) {
  setWindowTitle(QStringLiteral("Select language"));
  auto* grid = new QGridLayout(this);
  // The first list is the language the program speaks; the second the one
  // the translation windows write into.
  auto* l1 = new QLabel(QString::fromUtf8("Sprache des Programms (Fenster, Meldungen, Ausdrucke)"), this);
  l1->setObjectName(QStringLiteral("ProgLangLbl"));
  l1->setWordWrap(true);
  auto* l2 = new QLabel(QString::fromUtf8("Texte übersetzen in (für Übersetzer)"), this);
  l2->setObjectName(QStringLiteral("DestLangLbl"));
  l2->setWordWrap(true);
  src_ = new QListWidget(this);
  src_->setObjectName(QStringLiteral("SrcList"));
  dst_ = new QListWidget(this);
  dst_->setObjectName(QStringLiteral("DstList"));
  src_->setMaximumHeight(150);
  dst_->setMaximumHeight(150);
  const QStringList names = LanguageNames();
  src_->addItems(names);
  dst_->addItems(names);
  if (source - 1 >= 0 && source - 1 < names.size()) src_->setCurrentRow(source - 1);
  const int d = destination - 1 < 0 ? 0 : destination - 1;
  if (d < names.size()) dst_->setCurrentRow(d);
  grid->addWidget(l1, 0, 0);
  grid->addWidget(l2, 0, 1);
  grid->addWidget(src_, 1, 0);
  grid->addWidget(dst_, 1, 1);

  auto* buttons = new QHBoxLayout;
  auto* tr = new QPushButton(QStringLiteral("translate"), this);
  tr->setObjectName(QStringLiteral("TrBtn"));
  tr->setToolTip(QStringLiteral("translate database texts"));
  tr->setVisible(showTranslateButton);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OkBtn"));
  auto* abort = new QPushButton(QStringLiteral("Abort"), this);
  abort->setObjectName(QStringLiteral("AbortBtn"));
  buttons->addWidget(tr);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(abort);
  grid->addLayout(buttons, 2, 0, 1, 2);

  LocalizeOrExport(this, Settings().OrvTxtFile);

  connect(tr, &QPushButton::clicked, this, [this] { TranslateWindow(this, SourceTextFile(), DestTextFile()); });
  connect(ok, &QPushButton::clicked, this, [this] {
    // The source is taken when its list loses focus, the destination when it
    // changes; both have happened by the time OK is clicked.
    if (src_->currentRow() >= 0) source_ = src_->currentRow() + 1;
    if (dst_->currentRow() >= 0) destination_ = dst_->currentRow() + 1;
    accept();
  });
  connect(abort, &QPushButton::clicked, this, &QDialog::reject);
}

bool SelectLanguages(int& source, int& destination, bool showTranslateButton, QWidget* parent) {
  TLangDlg dlg(source, destination, showTranslateButton, parent);
  if (dlg.exec() != QDialog::Accepted) return false;
  source = dlg.Source();
  destination = dlg.Destination();
  return true;
}

}  // namespace kandelo
