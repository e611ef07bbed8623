// The browser's list printout (navigator CANCEL), settings dialog
// (SpeedButton1) and version label (status bar).
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>

#include "database/catalogue_list.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "shell/ui_services.h"
#include "graphics/qt/drwwin_widget.h"
#include "texts/qstr.h"
#include "ui/base_form.h"
#include "ui/list_dlg.h"
#include "ui/navigator.h"
#include "ui/orvset_form.h"
#include "ui/small_editors.h"

namespace kandelo {

void TfBaseForm::BuildDialogHooks(QToolButton* setup) {
  auto* caption = new QLabel(QStringLiteral("Datenbankversion:"), this);
  caption->setObjectName(QStringLiteral("VersionLbl"));
  // The button shows the label itself; unnamed, it is no text of the window.
  versionBtn_ = new QToolButton(this);
  versionBtn_->setAutoRaise(true);
  statusBar()->addPermanentWidget(caption);
  statusBar()->addPermanentWidget(versionBtn_);
  connect(versionBtn_, &QToolButton::clicked, this, &TfBaseForm::VersionClicked);
  connect(setup, &QToolButton::clicked, this, &TfBaseForm::SettingsClicked);
  versionLabel_ = backend_.ReadVersionLabel();
  ShowVersionLabel();
}

void TfBaseForm::ShowVersionLabel() {
  versionBtn_->setText(versionLabel_.empty() ? QStringLiteral("-----") : Q(versionLabel_));
  versionBtn_->setEnabled(backend_.CatalogueOpen() && model_ && model_->Count() > 0);
}

void TfBaseForm::VersionClicked() {
  StopTimer();
  std::string label = versionLabel_;
  if (EditDatabaseVersion(label, this)) {
    versionLabel_ = label;
    backend_.WriteVersionLabel(versionLabel_);
  }
  ShowVersionLabel();
  RestartTimer();
}

void TfBaseForm::SettingsClicked() {
  StopTimer();
  if (EditSettings(Settings(), translation_, this)) SaveSettings();
  // Drawing options may have changed.
  diagram_->update();
  RestartTimer();
}

void TfBaseForm::ListClicked() {
  StopTimer();
  TListDlg dlg(translation_, this);
  if (dlg.exec() != QDialog::Accepted) {
    RestartTimer();
    return;
  }
  const TListChoice c = dlg.Choice();
  const int row = ActiveRow();
  ui().setBusy(true);
  // The text list is written during the walk; a printed list goes through
  // the list file.
  std::string error;
  const std::string txt = backend_.ListTextFile();
  const std::int32_t count = c.textFile ? backend_.ExportListText(c.keyNo, c.all, c.from, c.to, error)
                                        : backend_.ExportList(c.keyNo, c.all, c.from, c.to);
  ui().setBusy(false);
  if (count < 0 && c.textFile) {
    ShowErrorL(MsgOr("LISTPRINT", "LP_NOTWRITTEN", "The list could not be written:") + " " + txt,
               Settings().MsgTxtFile);
  } else if (count < 0) {
    ShowErrorL(MsgOr("LISTPRINT", "LP_NOEXPORT", "The list file could not be written:") + " " + backend_.ListFile(),
               Settings().MsgTxtFile);
  } else if (count == 0) {
    // Reversed limits or a range without entries: said, not printed.
    ShowInfoL(MsgOr("LISTPRINT", "LP_EMPTY", "No catalogue entries lie in the chosen range."), Settings().MsgTxtFile);
  } else if (c.textFile) {
    ShowInfoL(MsgOr("LISTPRINT", "LP_WRITTEN", "The list was written to") + " " + txt + " (" + std::to_string(count) +
                  ")",
              Settings().MsgTxtFile);
  } else {
    PrintListFile(backend_.ListFile(), this);
  }
  // The export moved the catalogue's key: the table is read again.
  ReloadTable();
  if (model_->Count() > 0) ActivateRow(std::min(std::max(row, 1), model_->Count()));
  RestartTimer();
}

}  // namespace kandelo
