#include "platform/settings_store.h"

#include <cstdlib>

#include "platform/fileio.h"

namespace kandelo::platform {
namespace {

std::string xdgDir(const char* var, const char* fallbackBelowHome) {
  const char* v = std::getenv(var);
  if (v && *v == '/') return v;
  const char* home = std::getenv("HOME");
  std::string h = home && *home ? home : "/tmp";
  return h + "/" + fallbackBelowHome;
}

}  // namespace

std::string settingsFilePath() { return xdgDir("XDG_CONFIG_HOME", ".config") + "/Kandelo/settings.ini"; }
std::string userDataDirectory() { return xdgDir("XDG_DATA_HOME", ".local/share") + "/Kandelo"; }
std::string userCacheDirectory() { return xdgDir("XDG_CACHE_HOME", ".cache") + "/Kandelo"; }

bool makePath(const std::string& path) {
  if (path.empty()) return false;
  if (fs().isDirectory(path)) return true;
  auto slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0) makePath(path.substr(0, slash));
  fs().makeDirectory(path);
  return fs().isDirectory(path);
}

}  // namespace kandelo::platform
