// Temporary files of the benchmark programs. Each run works in a directory of
// its own, /tmp/kandelo-bench-NAME-PID, removed when the program ends; one
// that an interrupted run left (its process is gone) is removed when the next
// run of any benchmark starts. Runs of other work trees at the same time keep
// theirs, as their processes live.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

inline const std::string& TempPrefix() {
  static const std::string prefix = "kandelo-bench-";
  return prefix;
}

// Removes the directories of earlier runs whose process no longer exists.
inline void RemoveLeftovers() {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (auto it = fs::directory_iterator(fs::temp_directory_path(), ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(TempPrefix(), 0) != 0) continue;
    const auto dash = name.rfind('-');
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + dash + 1, &end, 10);
    if (pid <= 0 || *end != '\0' || pid == long(::getpid())) continue;
    if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;  // still running
    std::error_code ignore;
    fs::remove_all(it->path(), ignore);
  }
}

// The run's directory (created at the first call, emptied of leftovers of
// interrupted runs then); it goes when the program ends. The path is never
// destroyed: the handler that removes the directory runs after the static
// destructors of everything initialized later.
inline const std::string& TempDir(const std::string& name) {
  namespace fs = std::filesystem;
  static const std::string* dir = [&] {
    RemoveLeftovers();
    const fs::path d = fs::temp_directory_path() / (TempPrefix() + name + "-" + std::to_string(::getpid()));
    fs::create_directories(d);
    auto* path = new std::string(d.string());
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(TempDir(""), ec);
    });
    return path;
  }();
  return *dir;
}

}  // namespace bench
