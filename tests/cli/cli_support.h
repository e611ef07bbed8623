// Runs kandelo-cli and captures what it prints.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace kandelo::test {

struct CliResult {
  int exitCode = -1;
  std::string out;
};

// Runs `kandelo-cli ARGS` through the shell (stderr discarded unless redirected in args).
inline CliResult RunCli(const std::string& args) {
  CliResult r;
  std::string cmd = std::string("'") + KANDELO_CLI + "' " + args;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace kandelo::test
