// The one way the core talks to the user. The GUI implements it with Qt
// dialogs, the CLI with stderr, the tests with a recorder of scripted answers.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kandelo {

// Message-box results.
enum MsgResult : int {
  mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4,
  mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 8,
};

enum class MsgType { Warning, Error, Information, Confirmation, Custom };

struct MsgButton {
  int result;           // MsgResult
  std::string caption;  // 1252 text, "&" marks the accelerator
};

struct MessageBox {
  MsgType type = MsgType::Information;
  std::string title;    // 1252 text
  std::string text;     // 1252 text
  std::vector<MsgButton> buttons;
  bool scaled = false;  // localized boxes are scaled from 96 dpi to the screen
};

class UiServices {
 public:
  virtual ~UiServices() = default;
  // Shows a modal box and returns the result of the button pressed.
  virtual int showMessage(const MessageBox& box) = 0;
  // Wait window with a text (scans, rebuilds); nested calls are allowed.
  virtual void beginWait(const std::string& text) {}
  virtual void updateWait(const std::string& text) {}
  virtual void endWait() {}
  // Busy cursor.
  virtual void setBusy(bool busy) {}
  // Asks for a file to open; empty when cancelled.
  virtual std::string chooseOpenFile(const std::string& title, const std::string& directory,
                                     const std::string& filter) { return {}; }
  // Asks for a file name to save under; filterIndex (1-based) comes in as the
  // filter shown first and goes out as the one chosen. Empty when cancelled.
  virtual std::string chooseSaveFile(const std::string& title, const std::string& directory,
                                     const std::string& fileName, const std::string& filter, int& filterIndex) {
    return {};
  }
  // Asks for a directory; empty when cancelled.
  virtual std::string chooseDirectory(const std::string& title, const std::string& directory) { return {}; }
  // A wait window with a cancel button (long batches): the button is shown
  // until endWait, and waitCancelled tells whether it was pressed.
  virtual void setWaitCancellable(bool cancellable) {}
  virtual bool waitCancelled() { return false; }
};

// The services in use. The default writes messages to stderr and answers with
// the first button; callers install their own.
UiServices& ui();
UiServices* setUiServices(UiServices* services);

// Services for the calling thread alone, ahead of the program's: a worker
// thread collects its messages this way, for the user interface's thread to
// show them. nullptr ends the override; returns the previous one.
UiServices* setThreadUiServices(UiServices* services);

// Collects the boxes instead of showing them; a box is answered with its
// first button, so it suits messages, not questions.
class CollectingUi : public UiServices {
 public:
  int showMessage(const MessageBox& box) override;
  std::vector<MessageBox> boxes;
};

class ScopedUiServices {
 public:
  explicit ScopedUiServices(UiServices& s) : previous_(setUiServices(&s)) {}
  ~ScopedUiServices() { setUiServices(previous_); }
  ScopedUiServices(const ScopedUiServices&) = delete;
  ScopedUiServices& operator=(const ScopedUiServices&) = delete;

 private:
  UiServices* previous_;
};

}  // namespace kandelo
