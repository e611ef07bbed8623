#include "ui/qt_ui_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "texts/qstr.h"

namespace kandelo {

Twaitform::Twaitform(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  auto* l = new QVBoxLayout(this);
  phase_ = new QLabel(this);
  file_ = new QLabel(this);
  file_->setMinimumWidth(420);
  file_->setTextFormat(Qt::PlainText);
  l->addWidget(phase_);
  l->addWidget(file_);
  cancel_ = new QPushButton(this);
  cancel_->setObjectName(QStringLiteral("CancelBtn"));
  const std::string text = TMsgManager(Settings().OrvMsgFile).GetText("CONVERSION", "CV_CANCEL");
  cancel_->setText(text.empty() ? QStringLiteral("Cancel") : Q(text));
  cancel_->setVisible(false);
  l->addWidget(cancel_, 0, Qt::AlignRight);
  connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
}

void Twaitform::SetCancellable(bool cancellable) {
  // While the button may be pressed, events are let through to it: the rest
  // of the program must not take clicks meanwhile.
  hide();
  setWindowModality(cancellable ? Qt::ApplicationModal : Qt::NonModal);
  show();
  cancel_->setVisible(cancellable);
  cancelled_ = false;
  adjustSize();
}

void Twaitform::SetWaitPhase(const QString& text) {
  phase_->setText(text);
  repaint();
}

void Twaitform::SetWaitFile(const QString& text) {
  file_->setText(fontMetrics().elidedText(text, Qt::ElideMiddle, file_->width()));
  repaint();
}

QString Twaitform::Phase() const { return phase_->text(); }
QString Twaitform::File() const { return file_->text(); }

QtUiServices::QtUiServices() = default;
QtUiServices::~QtUiServices() = default;

namespace {

// The wait window's title when the caller gives none: "DM_WAIT" of the
// session's language.
QString DefaultWaitTitle() {
  const std::string text = TMsgManager(Settings().OrvMsgFile).GetText("DEFAULT MESSAGES", "DM_WAIT");
  return text.empty() ? QStringLiteral("...") : Q(text);
}

}  // namespace

int QtUiServices::showMessage(const MessageBox& box) {
  // A question asked during a scan comes in front of the window it concerns,
  // not behind the wait window, which stays on top: that one steps aside
  // until the answer is given.
  QWidget* parent = QApplication::activeModalWidget();
  if (wait_ && parent == wait_.get()) parent = nullptr;
  if (!parent) parent = QApplication::activeWindow();
  if (wait_ && parent == wait_.get()) parent = wait_->parentWidget();
  const bool hideWait = wait_ && wait_->isVisible();
  if (hideWait) wait_->hide();
  struct ShowWaitAgain {
    Twaitform* w;
    ~ShowWaitAgain() {
      if (w) w->show();
    }
  } again{hideWait ? wait_.get() : nullptr};
  QMessageBox mb(parent);
  mb.setWindowModality(Qt::ApplicationModal);
  switch (box.type) {
    case MsgType::Warning: mb.setIcon(QMessageBox::Warning); break;
    case MsgType::Error: mb.setIcon(QMessageBox::Critical); break;
    case MsgType::Information: mb.setIcon(QMessageBox::Information); break;
    case MsgType::Confirmation: mb.setIcon(QMessageBox::Question); break;
    case MsgType::Custom: break;
  }
  mb.setWindowTitle(Q(box.title));
  mb.setText(Q(box.text));
  QPushButton* first = nullptr;
  std::vector<std::pair<QAbstractButton*, int>> results;
  for (const MsgButton& b : box.buttons) {
    QMessageBox::ButtonRole role = QMessageBox::AcceptRole;
    if (b.result == mrNo) role = QMessageBox::NoRole;
    else if (b.result == mrCancel || b.result == mrAbort) role = QMessageBox::RejectRole;
    else if (b.result == mrYes) role = QMessageBox::YesRole;
    QPushButton* pb = mb.addButton(Q(b.caption), role);
    if (!first) first = pb;
    results.emplace_back(pb, b.result);
  }
  if (first) mb.setDefaultButton(first);
  // Escape answers like the title bar's close button: Cancel, else No, else the only button.
  for (int wanted : {int(mrCancel), int(mrAbort), int(mrNo)}) {
    auto it = std::find_if(results.begin(), results.end(), [&](const auto& r) { return r.second == wanted; });
    if (it != results.end()) {
      mb.setEscapeButton(it->first);
      break;
    }
  }
  if (!mb.escapeButton() && results.size() == 1) mb.setEscapeButton(results.front().first);
  const bool restoreCursor = QApplication::overrideCursor() != nullptr;
  if (restoreCursor) QApplication::setOverrideCursor(Qt::ArrowCursor);
  mb.exec();
  if (restoreCursor) QApplication::restoreOverrideCursor();
  for (const auto& [button, result] : results)
    if (mb.clickedButton() == button) return result;
  // Closed with Escape or the title bar: the cancelling answer.
  for (const MsgButton& b : box.buttons)
    if (b.result == mrCancel || b.result == mrAbort) return b.result;
  return box.buttons.size() == 1 ? box.buttons.front().result : mrCancel;
}

void QtUiServices::beginWait(const std::string& text) {
  if (waitDepth_++ == 0) {
    wait_ = std::make_unique<Twaitform>(QApplication::activeWindow());
    wait_->setWindowTitle(text.empty() ? DefaultWaitTitle() : Q(text));
    wait_->SetWaitPhase(QString());
    wait_->show();
    if (QScreen* s = wait_->screen()) wait_->move(s->geometry().center() - wait_->rect().center());
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
}

void QtUiServices::updateWait(const std::string& text) {
  if (!wait_) return;
  wait_->SetWaitFile(Q(text));
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUiServices::endWait() {
  if (waitDepth_ > 0 && --waitDepth_ == 0) wait_.reset();
}

void QtUiServices::setWaitCancellable(bool cancellable) {
  if (wait_) wait_->SetCancellable(cancellable);
}

bool QtUiServices::waitCancelled() {
  if (!wait_) return false;
  // The button must be able to take its click: user input is let through here.
  QApplication::processEvents();
  return wait_ && wait_->Cancelled();
}

void QtUiServices::setBusy(bool busy) {
  if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  else if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    // Patterns match by case on most file systems: offer both spellings.
    QString pattern = parts[i + 1];
    if (pattern != pattern.toLower()) pattern += QLatin1Char(' ') + pattern.toLower();
    out << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
  }
  return out.join(QStringLiteral(";;"));
}

std::string QtUiServices::chooseOpenFile(const std::string& title, const std::string& directory,
                                         const std::string& filter) {
  return S(QFileDialog::getOpenFileName(QApplication::activeWindow(), Q(title), Q(directory), QtFileFilter(filter)));
}

std::string QtUiServices::chooseSaveFile(const std::string& title, const std::string& directory,
                                         const std::string& fileName, const std::string& filter, int& filterIndex) {
  QFileDialog dlg(QApplication::activeWindow(), Q(title), Q(directory));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  // The extension follows the chosen format afterwards; the dialog adds none.
  dlg.setDefaultSuffix(QString());
  const QStringList filters = QtFileFilter(filter).split(QStringLiteral(";;"));
  dlg.setNameFilters(filters);
  if (filterIndex >= 1 && filterIndex <= filters.size()) dlg.selectNameFilter(filters[filterIndex - 1]);
  if (!fileName.empty()) dlg.selectFile(Q(fileName));
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
  filterIndex = static_cast<int>(filters.indexOf(dlg.selectedNameFilter())) + 1;
  return S(dlg.selectedFiles().front());
}

std::string QtUiServices::chooseDirectory(const std::string& title, const std::string& directory) {
  return S(QFileDialog::getExistingDirectory(QApplication::activeWindow(), Q(title), Q(directory)));
}

}  // namespace kandelo
