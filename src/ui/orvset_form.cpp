#include "ui/orvset_form.h"

#include <QAbstractButton>
#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "shell/msgbox.h"
#include "frame/strutil.h"
#include "shell/ui_services.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"
#include "texts/trans_dialog.h"
#include "ui/ui_texts.h"

namespace kandelo {

namespace {

QLineEdit* MakeField(QWidget* parent, const char* name, int maxLength, bool readOnly) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QString::fromLatin1(name));
  f->setMaxLength(maxLength);
  f->setReadOnly(readOnly);
  f->setMinimumWidth(360);
  return f;
}

// The system's printer set-up: the print dialog on the given printer.
std::optional<std::string> SystemPrinterSetup(QWidget* parent, const std::string& start) {
  if (QPrinterInfo::availablePrinterNames().isEmpty()) {
    ShowInfoL(OrvMsgText("SETUP", "ST_NOPRINTER", "No printer is installed."), kandelo::Settings().MsgTxtFile);
    return std::nullopt;
  }
  QPrinter printer;
  printer.setPrinterName(Q(start));
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return S(printer.printerName());
}

}  // namespace

std::string PrinterToStartWith(const std::string& stored, const QStringList& installed,
                               const std::string& defaultPrinter) {
  return installed.contains(Q(stored)) ? stored : defaultPrinter;
}

TOrvsetForm::TOrvsetForm(const TProgramSettings& settings, bool showTranslate, QWidget* parent)
    : QDialog(parent), s_(settings) {
  setObjectName(QStringLiteral("TOrvsetForm"));
  setWindowTitle(QStringLiteral("Ovantis setup"));
  printerSetup_ = [this](const std::string& start) { return SystemPrinterSetup(this, start); };
  auto* top = new QVBoxLayout(this);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("TabSet1"));
  for (const char* t : {"Anwender", "Dateiablage", "Konvertierung", "Grafik"}) tabs_->addTab(QString::fromUtf8(t));
  top->addWidget(tabs_);
  pages_ = new QStackedWidget(this);
  top->addWidget(pages_, 1);

  // Page 1: user.
  auto* user = new QWidget(pages_);
  auto* ug = new QGridLayout(user);
  // The company block of the datasheets; a new installation has none.
  userName_ = MakeField(user, "UserNameFld", 255, false);
  userAddr_ = MakeField(user, "UserAdFld", 255, false);
  userLogo_ = MakeField(user, "UserLogoFld", 255, false);
  auto* selLogo = NamedPush(user, "LogoBtn", QStringLiteral("select"));
  ug->addWidget(NamedLabel(user, "Label1", QStringLiteral("Anwender")), 0, 0);
  ug->addWidget(userName_, 0, 1, 1, 2);
  ug->addWidget(NamedLabel(user, "Label2", QStringLiteral("Adresse")), 1, 0);
  ug->addWidget(userAddr_, 1, 1, 1, 2);
  ug->addWidget(NamedLabel(user, "Label8", QStringLiteral("Logo")), 2, 0);
  ug->addWidget(userLogo_, 2, 1);
  ug->addWidget(selLogo, 2, 2);
  auto* footerHint = NamedLabel(user, "FooterHint",
                               QString::fromUtf8("Name und Adresse stehen in der Fußzeile jedes Datenblatts, "
                                                 "das Logo (eine Bilddatei) oben links; leer bleibt die Stelle leer."));
  footerHint->setWordWrap(true);
  ug->addWidget(footerHint, 3, 0, 1, 3);
  ug->setRowStretch(4, 1);
  pages_->addWidget(user);

  // Page 2: directories and the output device.
  auto* dirs = new QWidget(pages_);
  auto* dg = new QGridLayout(dirs);
  lumPath_ = MakeField(dirs, "LUMPATHFld", 80, true);
  epsDev_ = MakeField(dirs, "EPSDEVFld", 80, true);
  grafDir_ = MakeField(dirs, "GrafDirFld", 80, true);
  auto* sel3 = NamedPush(dirs, "BitBtn3", QStringLiteral("select"));
  auto* sel4 = NamedPush(dirs, "BitBtn4", QStringLiteral("select"));
  auto* sel5 = NamedPush(dirs, "BitBtn5", QStringLiteral("select"));
  dg->addWidget(NamedLabel(dirs, "Label3", QStringLiteral("Path to data")), 0, 0);
  dg->addWidget(lumPath_, 0, 1);
  dg->addWidget(sel3, 0, 2);
  dg->addWidget(NamedLabel(dirs, "Label4", QStringLiteral("Device for EPS-output")), 1, 0);
  dg->addWidget(epsDev_, 1, 1);
  dg->addWidget(sel4, 1, 2);
  dg->addWidget(NamedLabel(dirs, "Label5", QStringLiteral("Path for graphic files")), 2, 0);
  dg->addWidget(grafDir_, 2, 1);
  dg->addWidget(sel5, 2, 2);
  dg->setRowStretch(3, 1);
  pages_->addWidget(dirs);

  // Page 3: IES output.
  auto* conv = new QWidget(pages_);
  auto* cg = new QGridLayout(conv);
  iesFmt_ = new TRadioGroup(QStringLiteral("Unterformat"), conv);
  iesFmt_->setObjectName(QStringLiteral("IESFmtGroup"));
  for (const char* t : {"LM63-1986", "LM63-1991", "LM63-1995"}) iesFmt_->AddItem(QString::fromLatin1(t));
  iesExt_ = new QLineEdit(conv);
  iesExt_->setObjectName(QStringLiteral("IESExtFld"));
  iesExt_->setMaxLength(3);
  iesExt_->setMaximumWidth(60);
  iesExt_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^[A-Za-z0-9_~]{0,3}$")), iesExt_));
  cg->addWidget(NamedLabel(conv, "Label6", QStringLiteral(" --> IES-LM63 ")), 0, 0, 1, 2);
  cg->addWidget(iesFmt_, 1, 0, 1, 2);
  cg->addWidget(NamedLabel(conv, "Label7", QStringLiteral("Dateierweiterung")), 2, 0);
  cg->addWidget(iesExt_, 2, 1, Qt::AlignLeft);
  cg->setRowStretch(3, 1);
  pages_->addWidget(conv);

  // Page 4: drawing options.
  auto* graf = new QWidget(pages_);
  auto* gl = new QVBoxLayout(graf);
  eta_ = new QCheckBox(QStringLiteral("Wirkungsgrad in LVK-Diagramm drucken ?"), graf);
  eta_->setObjectName(QStringLiteral("EtaChk"));
  bold_ = new QCheckBox(QString::fromUtf8("Fette Schriftart für Überschriften ?"), graf);
  bold_->setObjectName(QStringLiteral("BoldFntChk"));
  mMode_ = new TRadioGroup(QStringLiteral(" Montageart f\u00fcr Beleuchtungswirkungsgrade"), graf);
  mMode_->setObjectName(QStringLiteral("mModeGrp"));
  for (const char* t : {"automatisch", "Deckenmontage", "Pendelmontage"}) mMode_->AddItem(QString::fromLatin1(t));
  gl->addWidget(eta_);
  gl->addWidget(bold_);
  gl->addWidget(mMode_);
  gl->addStretch();
  pages_->addWidget(graf);

  const DialogButtons buttons = TranslateOkCancelRow(this, showTranslate);
  tr_ = buttons.translate;
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  top->addLayout(buttons.row);

  LocalizeOrExport(this, kandelo::Settings().OrvTxtFile);

  // Filling.
  userName_->setText(Q(s_.UserName));
  userAddr_->setText(Q(s_.UserAddr));
  userLogo_->setText(Q(s_.UserLogo));
  lumPath_->setText(Q(s_.LumDir2));
  epsDev_->setText(Q(s_.EpsDevice));
  grafDir_->setText(Q(s_.GrafDir));
  iesFmt_->SetItemIndex(std::clamp(s_.IesType, 0, 2));
  iesExt_->setText(Q(s_.IesExt.substr(0, 3)));
  eta_->setChecked(s_.ShowLor);
  bold_->setChecked(s_.BoldFont);
  mMode_->SetItemIndex(std::clamp<int>(s_.UtilMode, 0, 2));
  tabs_->setCurrentIndex(0);
  pages_->setCurrentIndex(0);

  connect(tabs_, &QTabBar::currentChanged, pages_, &QStackedWidget::setCurrentIndex);
  connect(sel3, &QPushButton::clicked, this, &TOrvsetForm::BitBtn3Click);
  connect(sel4, &QPushButton::clicked, this, &TOrvsetForm::BitBtn4Click);
  connect(sel5, &QPushButton::clicked, this, &TOrvsetForm::BitBtn5Click);
  connect(userName_, &QLineEdit::textChanged, this, [this](const QString& t) { s_.UserName = S(t); });
  connect(userAddr_, &QLineEdit::textChanged, this, [this](const QString& t) { s_.UserAddr = S(t); });
  connect(userLogo_, &QLineEdit::textChanged, this, [this](const QString& t) { s_.UserLogo = S(t); });
  connect(selLogo, &QPushButton::clicked, this, &TOrvsetForm::LogoBtnClick);
  connect(iesExt_, &QLineEdit::textChanged, this, [this](const QString& t) { s_.IesExt = S(t).substr(0, 3); });
  connect(eta_, &QCheckBox::toggled, this, [this](bool on) { s_.ShowLor = on; });
  connect(bold_, &QCheckBox::toggled, this, [this](bool on) { s_.BoldFont = on; });
  for (QAbstractButton* b : iesFmt_->findChildren<QAbstractButton*>())
    connect(b, &QAbstractButton::toggled, this, [this] { s_.IesType = std::max(0, iesFmt_->ItemIndex()); });
  for (QAbstractButton* b : mMode_->findChildren<QAbstractButton*>())
    connect(b, &QAbstractButton::toggled, this,
            [this] { s_.UtilMode = static_cast<std::uint8_t>(std::max(0, mMode_->ItemIndex())); });
  connect(tr_, &QPushButton::clicked, this, [this] {
    TranslateWindow(this, SourceTextFile(), DestTextFile());
  });
  connect(ok_, &QPushButton::clicked, this, [this] {
    // A chosen folder or printer name may hold a line break, which the
    // settings file cannot keep: refused here as "settings set" refuses it.
    for (const std::string* text : {&s_.UserName, &s_.UserAddr, &s_.LumDir2, &s_.EpsDevice, &s_.GrafDir, &s_.IesExt})
      if (const TSettingTextFault fault = SettingTextFault("LDBSETTINGS", "VALUE", *text)) {
        ShowErrorL(OrvMsgText("SETUP", fault.key, fault.english) + ":\n" + *text, kandelo::Settings().MsgTxtFile);
        return;
      }
    accept();
  });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TOrvsetForm::BitBtn3Click() {
  const auto* label = findChild<QLabel*>(QStringLiteral("Label3"));
  const std::string dir = ui().chooseDirectory(S(label->text()), s_.LumDir2);
  if (dir.empty()) return;
  s_.LumDir2 = dir;
  lumPath_->setText(Q(dir));
}

void TOrvsetForm::LogoBtnClick() {
  const auto* label = findChild<QLabel*>(QStringLiteral("Label8"));
  const std::string start = s_.UserLogo.empty() ? s_.ProgDir : ParentPath(s_.UserLogo);
  const std::string file =
      ui().chooseOpenFile(S(label->text()), start, "PNG, JPEG, BMP|*.png;*.jpg;*.jpeg;*.bmp");
  if (file.empty()) return;
  userLogo_->setText(Q(file));
}

void TOrvsetForm::BitBtn5Click() {
  const auto* label = findChild<QLabel*>(QStringLiteral("Label5"));
  const std::string dir = ui().chooseDirectory(S(label->text()), s_.GrafDir);
  if (dir.empty()) return;
  s_.GrafDir = dir;
  grafDir_->setText(Q(dir));
}

void TOrvsetForm::BitBtn4Click() {
  const std::string start = PrinterToStartWith(s_.EpsDevice, QPrinterInfo::availablePrinterNames(),
                                               S(QPrinterInfo::defaultPrinterName()));
  const auto chosen = printerSetup_(start);
  if (!chosen) return;
  s_.EpsDevice = *chosen;
  epsDev_->setText(Q(*chosen));
}

bool EditSettings(TProgramSettings& settings, bool showTranslate, QWidget* parent) {
  TOrvsetForm form(settings, showTranslate, parent);
  if (form.exec() != QDialog::Accepted) return false;
  settings = form.Settings();
  return true;
}

}  // namespace kandelo
