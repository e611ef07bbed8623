// kandelo-cli validate FILE... [--json]: every problem of each file, with its
// code, severity and line; exit 1 when any file has an error.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "photometry/format_io.h"
#include "photometry/validate.h"

namespace kandelo::cli {
namespace {

// "FILE:LINE: error L04: message", as compilers print, so editors can jump there.
void PrintText(const ValidationReport& r) {
  for (const ValidationProblem& p : r.problems) {
    std::string where = r.file;
    if (p.line > 0) where += ":" + std::to_string(p.line);
    std::printf("%s: %s %s: %s\n", where.c_str(), SeverityName(p.severity), p.code.c_str(), ToUtf8(p.message).c_str());
  }
}

nlohmann::ordered_json Json(const ValidationReport& r) {
  nlohmann::ordered_json j;
  j["file"] = r.file;
  j["format"] = r.formatCode == fmtUnknown ? std::string() : std::string(FormatByCode(r.formatCode).name);
  j["errors"] = r.Count(Severity::Error);
  j["warnings"] = r.Count(Severity::Warning);
  auto problems = nlohmann::ordered_json::array();
  for (const ValidationProblem& p : r.problems) {
    nlohmann::ordered_json e;
    e["code"] = p.code;
    e["severity"] = SeverityName(p.severity);
    if (p.line > 0) e["line"] = p.line;
    else e["line"] = nullptr;
    e["message"] = ToUtf8(p.message);
    problems.push_back(std::move(e));
  }
  j["problems"] = std::move(problems);
  return j;
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("validate", "Check photometric files and report every problem found");
  static std::vector<std::string> files;
  static bool json = false;
  cmd->add_option("FILE", files, "Photometric files")->required();
  cmd->add_flag("--json", json, "Print as JSON");
  cmd->footer("Codes and their meaning: docs/validation.md. Exit 1 when any file has an error.");
  cmd->callback([&exitCode] {
    bool errors = false;
    auto all = nlohmann::ordered_json::array();
    for (const std::string& f : files) {
      const ValidationReport r = ValidateFile(f);
      errors |= r.HasErrors();
      if (json) all.push_back(Json(r));
      else PrintText(r);
    }
    if (json) std::printf("%s\n", all.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    exitCode = errors ? kFailure : kOk;
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
