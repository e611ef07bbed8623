#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kandelo::test {

TempDir::TempDir() {
  std::string templ = (std::filesystem::temp_directory_path() / "kandelo-XXXXXX").string();
  if (!mkdtemp(templ.data())) std::abort();
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only files left by a test must not stop the clean-up.
  for (auto& e : std::filesystem::recursive_directory_iterator(path_, ec))
    std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

TempUserEnvironment::TempUserEnvironment() {
  for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* old = std::getenv(v);
    saved_.emplace_back(v, old ? old : "");
  }
  // A German desktop, whatever the machine's: a first start speaks its language.
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  setenv("LANG", "de_DE.UTF-8", 1);
  setenv("XDG_CONFIG_HOME", (dir_.path() + "/config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir_.path() + "/data").c_str(), 1);
  setenv("XDG_CACHE_HOME", (dir_.path() + "/cache").c_str(), 1);
  oldCwd_ = std::filesystem::current_path().string();
  std::filesystem::create_directories(dir_.path() + "/cwd");
  std::filesystem::current_path(dir_.path() + "/cwd");
}

TempUserEnvironment::~TempUserEnvironment() {
  std::error_code ec;
  std::filesystem::current_path(oldCwd_, ec);
  for (auto& [k, v] : saved_) {
    if (v.empty())
      unsetenv(k.c_str());
    else
      setenv(k.c_str(), v.c_str(), 1);
  }
}

int RecordingUi::showMessage(const MessageBox& box) {
  shown.push_back(box);
  if (!answers.empty()) {
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  return box.buttons.empty() ? mrOk : box.buttons.front().result;
}

std::vector<std::string> RecordingUi::texts() const {
  std::vector<std::string> out;
  for (auto& b : shown) out.push_back(b.text);
  return out;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

namespace {
// Fixed at start, before any test changes the current directory.
const std::string kCorpus = std::filesystem::absolute("../shared/corpus").lexically_normal().string();
}  // namespace

bool corpusAvailable() { return std::filesystem::is_directory(kCorpus); }
std::string corpusPath(const std::string& relative) { return kCorpus + "/" + relative; }

}  // namespace kandelo::test
