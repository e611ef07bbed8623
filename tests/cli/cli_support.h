// Runs kandelo-cli and captures what it prints.
#pragma once

#include <array>
#include <cstdio>
#include <regex>
#include <string>
#include <sys/wait.h>

namespace kandelo::test {

struct CliResult {
  int exitCode = -1;
  std::string out;
};

// Runs a shell command line; its standard output and exit code.
inline CliResult RunShell(const std::string& cmd) {
  CliResult r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// One field of a "Name:   value" report such as pdfinfo's ("" when missing).
inline std::string ReportField(const std::string& report, const std::string& name) {
  std::smatch m;
  return std::regex_search(report, m, std::regex("(^|\n)" + name + ":[ ]+([^\n]*)")) ? m[2].str() : "";
}

// Runs `kandelo-cli ARGS` through the shell (stderr discarded unless redirected in args).
inline CliResult RunCli(const std::string& args) { return RunShell(std::string("'") + KANDELO_CLI + "' " + args); }

}  // namespace kandelo::test
