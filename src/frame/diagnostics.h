// Messages that an operation of the core returns instead of showing them: the
// shell (window, command line, tests) decides whether, where and how they are
// shown. Texts are 1252 strings, as the boxes showed them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kandelo {

enum class Severity : std::uint8_t {
  Error,    // the operation failed (a file cannot be used)
  Warning,  // it went on, but something is off (a field took its default)
};

struct Diagnostic {
  Severity severity = Severity::Error;
  std::string text;
};

struct Diagnostics {
  std::vector<Diagnostic> items;

  void error(std::string text) { items.push_back({Severity::Error, std::move(text)}); }
  void warning(std::string text) { items.push_back({Severity::Warning, std::move(text)}); }
  bool empty() const { return items.empty(); }
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    out.reserve(items.size());
    for (const auto& d : items) out.push_back(d.text);
    return out;
  }
  // The texts on one line, "; " between them (a batch's list of files).
  std::string joined() const {
    std::string s;
    for (const auto& d : items) {
      if (d.text.empty()) continue;
      if (!s.empty()) s += "; ";
      s += d.text;
    }
    return s;
  }
};

}  // namespace kandelo
