#include "ui/list_dlg.h"

#include <QAbstractButton>
#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "database/catalogue_list.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "datasheet/list_print.h"
#include "graphics/qt/qt_output.h"
#include "platform/fileio.h"
#include "platform/text.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"
#include "texts/trans_dialog.h"
#include "ui/print_setup.h"
#include "ui/ui_texts.h"

namespace kandelo {

namespace {

constexpr int kKeyOfItem[4] = {1, 2, 3, 5};

}  // namespace

TListDlg::TListDlg(bool showTranslate, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TListDlg"));
  setWindowTitle(QStringLiteral("Datenbankausdruck"));
  auto* top = new QVBoxLayout(this);
  auto* keyRow = new QHBoxLayout;
  key_ = new QComboBox(this);
  key_->setObjectName(QStringLiteral("KeyCombo"));
  // The sort keys of the browser's selector, without the format key.
  static const char* const kItems[4] = {"Leuchtentyp", "Leuchtennummer", "Dateiname", "Hersteller"};
  const TMsgManager msg(Settings().OrvMsgFile);
  for (int i = 0; i < 4; ++i) {
    const std::string text = msg.GetText("LTABKEYS", ("LBK" + std::to_string(kKeyOfItem[i])).c_str());
    key_->addItem(text.empty() ? QString::fromLatin1(kItems[i]) : Q(text));
  }
  keyRow->addWidget(NamedLabel(this, "Label1", QStringLiteral("sortiert nach")));
  keyRow->addWidget(key_, 1);
  top->addLayout(keyRow);

  range_ = new TRadioGroup(QStringLiteral(" drucken "), this);
  range_->setObjectName(QStringLiteral("RangeGroup"));
  range_->AddItem(QStringLiteral("Alles"));
  range_->AddItem(QStringLiteral("Nur selektierte Eintr\u00e4ge"));
  top->addWidget(range_);
  auto* limits = new QGridLayout;
  from_ = new QLineEdit(this);
  from_->setObjectName(QStringLiteral("FromFld"));
  from_->setMaxLength(20);
  to_ = new QLineEdit(this);
  to_->setObjectName(QStringLiteral("ToFld"));
  to_->setMaxLength(20);
  limits->addWidget(NamedLabel(this, "Label2", QStringLiteral("Von")), 0, 0);
  limits->addWidget(from_, 0, 1);
  limits->addWidget(NamedLabel(this, "Label3", QStringLiteral("bis")), 0, 2);
  limits->addWidget(to_, 0, 3);
  top->addLayout(limits);
  ascii_ = new QCheckBox(QStringLiteral("ASCII-Datei erzeugen"), this);
  ascii_->setObjectName(QStringLiteral("AsciiChk"));
  top->addWidget(ascii_);

  const DialogButtons buttons = TranslateOkCancelRow(this, showTranslate);
  tr_ = buttons.translate;
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  top->addLayout(buttons.row);
  LocalizeOrExport(this, Settings().OrvTxtFile);

  key_->setCurrentIndex(0);
  range_->SetItemIndex(0);
  from_->setText(QStringLiteral(" "));
  to_->setText(QStringLiteral("Z"));
  RangeChanged();
  for (QAbstractButton* b : range_->findChildren<QAbstractButton*>())
    connect(b, &QAbstractButton::toggled, this, &TListDlg::RangeChanged);
  connect(key_, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
    if (auto* b = range_->findChild<QAbstractButton*>()) b->setFocus();
  });
  connect(tr_, &QPushButton::clicked, this, [this] { TranslateWindow(this, SourceTextFile(), DestTextFile()); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TListDlg::RangeChanged() {
  const bool range = range_->ItemIndex() == 1;
  from_->setEnabled(range);
  to_->setEnabled(range);
}

TListChoice TListDlg::Choice() const {
  TListChoice c;
  c.keyNo = kKeyOfItem[std::clamp(key_->currentIndex(), 0, 3)];
  c.all = range_->ItemIndex() != 1;
  // The key strings are upper case: limits typed in lower case mean the same.
  c.from = platform::upper1252(TrimBlanks(S(from_->text())));
  c.to = platform::upper1252(TrimBlanks(S(to_->text())));
  c.textFile = ascii_->isChecked();
  return c;
}

TListTexts LocalListTexts() { return ListTextsFrom(Settings().OrvMsgFile); }

bool PrintListFile(const std::string& listFile, QWidget* parent) {
  const auto entries = ReadListFile(listFile);
  if (!entries) {
    ShowErrorL(OrvMsgText("LISTPRINT", "LP_NOLIST", "The list could not be read:") + " " + listFile,
               Settings().MsgTxtFile);
    return false;
  }
  QPrinter printer(QPrinter::HighResolution);
  const auto target = ChoosePrintTarget(parent, printer, OrvMsgText("LISTPRINT", "LP_TITLE", "Print list"),
                                        DefaultPdfPath(ExtractName(Settings().LumDb) + "-list"), false,
                                        QPageLayout::Landscape);
  // A cancelled print dialog leaves the list file for the next export.
  if (!target) return false;
  TQtPrintJob job(printer);
  bool ok = job.Begin(target->file, QPageLayout::Landscape);
  if (ok) {
    DrawList(job.Device(), *entries, LocalListTexts(), [&job] { return job.NewPage(); });
    ok = job.End();
  }
  if (!ok) {
    ShowErrorL(OrvMsgText("LISTPRINT", "LP_NOTPRINTED", "The list could not be printed:") + " " +
                   (target->ToFile() ? target->file : S(printer.printerName())),
               Settings().MsgTxtFile);
    return false;
  }
  platform::fs().removeFile(listFile);
  return true;
}

}  // namespace kandelo
