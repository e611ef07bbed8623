// UiServices of the program: Qt message boxes (1252 texts converted at this
// boundary), the wait window and the busy cursor.
#pragma once

#include <QDialog>
#include <memory>

#include "shell/ui_services.h"

class QLabel;
class QPushButton;

namespace kandelo {

// The small wait window: a title and two lines (phase, file being handled).
class Twaitform : public QDialog {
  Q_OBJECT
 public:
  explicit Twaitform(QWidget* parent = nullptr);
  void SetWaitPhase(const QString& text);
  void SetWaitFile(const QString& text);
  QString Phase() const;
  QString File() const;
  // The cancel button of long batches (hidden otherwise).
  void SetCancellable(bool cancellable);
  bool Cancelled() const { return cancelled_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  QLabel* phase_;
  QLabel* file_;
  QPushButton* cancel_;
  bool cancelled_ = false;
};

class QtUiServices : public UiServices {
 public:
  QtUiServices();
  ~QtUiServices() override;
  int showMessage(const MessageBox& box) override;
  void beginWait(const std::string& text) override;
  void updateWait(const std::string& text) override;
  void endWait() override;
  void setBusy(bool busy) override;
  std::string chooseOpenFile(const std::string& title, const std::string& directory,
                             const std::string& filter) override;
  std::string chooseSaveFile(const std::string& title, const std::string& directory, const std::string& fileName,
                             const std::string& filter, int& filterIndex) override;
  std::string chooseDirectory(const std::string& title, const std::string& directory) override;
  void setWaitCancellable(bool cancellable) override;
  bool waitCancelled() override;
  Twaitform* WaitWindow() const { return wait_.get(); }

 private:
  std::unique_ptr<Twaitform> wait_;
  int waitDepth_ = 0;
};

// Turns a filter of "description|pattern|description|pattern" pairs into Qt's form.
QString QtFileFilter(const std::string& filter);

}  // namespace kandelo
