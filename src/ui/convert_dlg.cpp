#include "ui/convert_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/msgbox.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "shell/ui_services.h"
#include "platform/fileio.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/trans_dialog.h"
#include "ui/ui_texts.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

std::string MsgOr(const char* key, const char* fallback) { return OrvMsgText("CONVERSION", key, fallback); }

}  // namespace

TConvertDlg::TConvertDlg(const ConversionSettings& settings, bool showTranslate, QWidget* parent)
    : QDialog(parent), s_(settings) {
  setObjectName(QStringLiteral("TConvertDlg"));
  setWindowTitle(QStringLiteral("Datei-Konvertierung"));
  auto* grid = new QGridLayout(this);
  fmt_ = new QComboBox(this);
  fmt_->setObjectName(QStringLiteral("DstFmtCombo"));
  for (const auto& d : ConversionDestinations()) fmt_->addItem(Q(d.caption));
  dir_ = new QLineEdit(this);
  dir_->setObjectName(QStringLiteral("DstDirFld"));
  dir_->setMaxLength(128);
  dir_->setMinimumWidth(320);
  sel_ = new QPushButton(QStringLiteral("Auswahl"), this);
  sel_->setObjectName(QStringLiteral("SelDstBtn"));
  ext_ = new QLineEdit(this);
  ext_->setObjectName(QStringLiteral("ExtFld"));
  ext_->setMaxLength(3);
  ext_->setMaximumWidth(60);
  add_ = new QCheckBox(QStringLiteral("konvertierte Daten zur Datenbank hinzuf\u00fcgen ?"), this);
  add_->setObjectName(QStringLiteral("AddCheck"));
  grid->addWidget(NamedLabel(this, "Label1", QStringLiteral("Zielformat")), 0, 0);
  grid->addWidget(fmt_, 0, 1, 1, 2);
  grid->addWidget(NamedLabel(this, "Label2", QStringLiteral("Zielverzeichnis")), 1, 0);
  grid->addWidget(dir_, 1, 1);
  grid->addWidget(sel_, 1, 2);
  grid->addWidget(NamedLabel(this, "Label3", QStringLiteral("Dateierweiterung")), 2, 0);
  grid->addWidget(ext_, 2, 1, Qt::AlignLeft);
  grid->addWidget(add_, 3, 0, 1, 3);

  const DialogButtons buttons = TranslateOkCancelRow(this, showTranslate);
  tr_ = buttons.translate;
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  grid->addLayout(buttons.row, 4, 0, 1, 3);

  LocalizeOrExport(this, kandelo::Settings().OrvTxtFile);

  // Showing: the settings as they are.
  if (s_.DstFormat < 0 || s_.DstFormat >= fmt_->count()) s_.DstFormat = 1;
  fmt_->setCurrentIndex(s_.DstFormat);
  dir_->setText(Q(s_.DstDir));
  ext_->setText(Q(s_.DstExt.substr(0, 3)));
  add_->setChecked(s_.AddToCatalogue);
  if (!s_.DstDir.empty()) ApplyDriveKind(s_.DstDir);

  connect(fmt_, QOverload<int>::of(&QComboBox::activated), this, &TConvertDlg::DstFmtComboChange);
  connect(ext_, &QLineEdit::textEdited, this, &TConvertDlg::ExtFldChange);
  connect(add_, &QCheckBox::toggled, this, [this](bool on) { s_.AddToCatalogue = on; });
  connect(sel_, &QPushButton::clicked, this, &TConvertDlg::SelDstBtnClick);
  connect(tr_, &QPushButton::clicked, this, [this] { TranslateWindow(this, SourceTextFile(), DestTextFile()); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TConvertDlg::DstFmtComboChange(int entry) {
  if (entry < 0 || entry >= static_cast<int>(ConversionDestinations().size())) return;
  s_.DstFormat = entry;
  s_.DstExt = ConversionDestinations()[static_cast<std::size_t>(entry)].extension;
  ext_->setText(Q(s_.DstExt));
}

void TConvertDlg::ExtFldChange(const QString& text) { s_.DstExt = S(text).substr(0, 3); }

void TConvertDlg::ApplyDriveKind(const std::string& dir) {
  const pf::DriveKind kind = pf::fs().driveKind(dir);
  add_->setEnabled(kind == pf::DriveKind::Fixed);
}

bool TConvertDlg::ChooseDirectory(const std::string& dir) {
  const pf::DriveKind kind = pf::fs().driveKind(dir);
  if (kind == pf::DriveKind::ReadOnly || kind == pf::DriveKind::Missing) {
    ShowErrorL(MsgOr("CV_READONLY", "Nothing can be written into this directory:") + " " + dir,
               kandelo::Settings().MsgTxtFile);
    return false;
  }
  s_.DstDir = dir;
  dir_->setText(Q(dir));
  add_->setEnabled(kind == pf::DriveKind::Fixed);
  return true;
}

void TConvertDlg::SelDstBtnClick() {
  const std::string dir = ui().chooseDirectory(S(sel_->text()), s_.DstDir);
  if (!dir.empty()) ChooseDirectory(dir);
}

void TConvertDlg::done(int result) {
  if (result == QDialog::Accepted) {
    // A directory typed into the field is examined as a chosen one.
    const std::string typed = S(dir_->text());
    if (typed != s_.DstDir && !ChooseDirectory(typed)) return;
    // LTLI is offered as a destination, but nothing writes it.
    if (ConversionDestinations()[static_cast<std::size_t>(s_.DstFormat)].code == 9) {
      ShowErrorL(MsgOr("CV_NOWRITER", "LTLI files cannot be written."), kandelo::Settings().MsgTxtFile);
      return;
    }
    if (s_.DstDir.empty() || s_.DstExt.empty()) {
      ShowErrorL(MsgOr("CV_INCOMPLETE", "Please give a destination directory and an extension."),
                 kandelo::Settings().MsgTxtFile);
      return;
    }
  }
  if (!add_->isEnabled()) s_.AddToCatalogue = false;
  QDialog::done(result);
}

bool EditConversionSettings(ConversionSettings& settings, bool showTranslate, QWidget* parent) {
  TConvertDlg dlg(settings, showTranslate, parent);
  if (dlg.exec() != QDialog::Accepted) return false;
  settings = dlg.Settings();
  return true;
}

}  // namespace kandelo
