#include "ui/text_viewer.h"

#include <QAction>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "shell/msgbox.h"
#include "frame/settings.h"
#include "platform/fileio.h"
#include "platform/text.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "ui/ui_texts.h"

namespace kandelo {

TTextViewer::TTextViewer(const std::string& fileName, QWidget* parent) : QDialog(parent), file_(fileName) {
  setObjectName(QStringLiteral("TTextViewer"));
  auto* top = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  editBtn_ = NamedPush(this, "EditBtn", QStringLiteral("switch to edit mode"));
  roBtn_ = NamedPush(this, "ReadOnlyBtn", QStringLiteral("switch to read-only mode"));
  undoBtn_ = NamedPush(this, "UndoBtn", QStringLiteral("undo changes"));
  saveBtn_ = NamedPush(this, "SaveBtn", QStringLiteral("save changes"));
  backBtn_ = NamedPush(this, "BackBtn", QStringLiteral("back"));
  for (QPushButton* b : {editBtn_, roBtn_, undoBtn_, saveBtn_}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(backBtn_);
  top->addLayout(buttons);
  edit_ = new QPlainTextEdit(this);
  edit_->setObjectName(QStringLiteral("Memo1"));
  edit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit_->setContextMenuPolicy(Qt::CustomContextMenu);
  edit_->installEventFilter(this);
  edit_->viewport()->installEventFilter(this);
  edit_->setMinimumSize(640, 420);
  top->addWidget(edit_, 1);
  status_ = new QLabel(this);
  // Unnamed: the caret position is no text of the window.
  top->addWidget(status_);
  LocalizeOrExport(this, Settings().OrvTxtFile);
  // The title is the file's name, in every language.
  setWindowTitle(Q(fileName));

  auto* popup = new QMenu(this);
  popup->setObjectName(QStringLiteral("ViewerPopup"));
  QAction* undo = popup->addAction(QStringLiteral("undo"));
  undo->setObjectName(QStringLiteral("Undo1"));
  LocalizeMenu(Settings().OrvTxtFile, this);
  connect(edit_, &QWidget::customContextMenuRequested, this, [this, popup, undo](const QPoint& p) {
    undo->setEnabled(edit_->document()->isUndoAvailable() && !edit_->isReadOnly());
    popup->popup(edit_->viewport()->mapToGlobal(p));
  });
  connect(undo, &QAction::triggered, edit_, &QPlainTextEdit::undo);
  connect(editBtn_, &QPushButton::clicked, this, [this] { SetEditMode(true); });
  connect(roBtn_, &QPushButton::clicked, this, [this] { SetEditMode(false); });
  connect(undoBtn_, &QPushButton::clicked, this, &TTextViewer::UndoChangesClick);
  connect(saveBtn_, &QPushButton::clicked, this, &TTextViewer::SaveChangesClick);
  connect(backBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(edit_, &QPlainTextEdit::cursorPositionChanged, this, &TTextViewer::UpdatePosition);

  // Without a file (the window-text export) there is nothing to load.
  loaded_ = !file_.empty() && Load();
  SetEditMode(false);
  UpdatePosition();
}

bool TTextViewer::Load() {
  const auto bytes = platform::readWholeFile(file_);
  if (!bytes) {
    ShowErrorL(OrvMsgText("DEFAULT MESSAGES", "DM_NOTFOUND", "File not found") + " : " + file_,
               Settings().MsgTxtFile);
    edit_->clear();
    return false;
  }
  utf8_ = platform::isUtf8Text(*bytes);
  crlf_ = bytes->find("\r\n") != std::string::npos;
  const QString text = utf8_ ? QString::fromUtf8(bytes->data(), static_cast<qsizetype>(bytes->size())) : Q(*bytes);
  edit_->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  edit_->document()->setModified(false);
  return true;
}

void TTextViewer::SetEditMode(bool edit) {
  edit_->setReadOnly(!edit || !loaded_);
  editBtn_->setEnabled(loaded_ && !edit);
  roBtn_->setEnabled(loaded_ && edit);
}

void TTextViewer::UndoChangesClick() {
  if (!edit_->document()->isModified()) return;
  if (AskYesNoCancelL(OrvMsgText("TEXTVIEW", "TV_UNDO", "\xC4nderungen r\xFC" "ckg\xE4ngig machen ?"),
                      Settings().MsgTxtFile) != mrYes)
    return;
  Load();
  UpdatePosition();
}

void TTextViewer::SaveChangesClick() {
  if (!edit_->document()->isModified()) return;
  if (AskYesNoCancelL(OrvMsgText("TEXTVIEW", "TV_SAVE", "\xC4nderungen speichern ?"), Settings().MsgTxtFile) != mrYes)
    return;
  QString text = edit_->toPlainText();
  if (crlf_) text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  const std::string bytes = utf8_ ? text.toStdString() : S(text);
  // Written through a temporary file: a failed write leaves the old file whole.
  if (!platform::writeFileAtomic(file_, bytes)) {
    ShowErrorL(OrvMsgText("TEXTVIEW", "TV_NOTSAVED", "The file could not be written:") + " " + file_,
               Settings().MsgTxtFile);
    return;
  }
  edit_->document()->setModified(false);
  saved_ = true;
}

void TTextViewer::UpdatePosition() {
  const QTextCursor c = edit_->textCursor();
  status_->setText(QStringLiteral("R %1 / C %2").arg(c.blockNumber() + 1).arg(c.positionInBlock() + 1));
}

bool TTextViewer::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyRelease || e->type() == QEvent::MouseButtonRelease) UpdatePosition();
  return QDialog::eventFilter(watched, e);
}

bool ViewTextFile(const std::string& fileName, QWidget* parent) {
  TTextViewer viewer(fileName, parent);
  viewer.exec();
  return viewer.Saved();
}

}  // namespace kandelo
