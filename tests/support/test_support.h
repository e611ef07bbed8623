// Helpers for the tests of every layer.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "shell/ui_services.h"

namespace kandelo::test {

// A fresh directory below the system temp directory, removed with its content.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Points XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_CACHE_HOME at a temporary
// directory, makes the desktop a German one (LANG) and changes into the
// directory; restores everything afterwards.
class TempUserEnvironment {
 public:
  TempUserEnvironment();
  ~TempUserEnvironment();
  const std::string& root() const { return dir_.path(); }
  std::string dataDir() const { return dir_.path() + "/data/Kandelo"; }
  std::string settingsFile() const { return dir_.path() + "/config/Kandelo/settings.ini"; }

 private:
  TempDir dir_;
  std::string oldCwd_;
  std::vector<std::pair<std::string, std::string>> saved_;
};

// Records every message box; answers from a script (default: first button).
class RecordingUi : public UiServices {
 public:
  int showMessage(const MessageBox& box) override;
  void beginWait(const std::string& text) override { waits.push_back(text); }
  std::vector<MessageBox> shown;
  std::deque<int> answers;
  std::vector<std::string> waits;
  std::vector<std::string> texts() const;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
// "../shared/corpus" when it exists (tests skip otherwise).
bool corpusAvailable();
std::string corpusPath(const std::string& relative);

}  // namespace kandelo::test
