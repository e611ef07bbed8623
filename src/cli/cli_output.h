// Printing of data records: JSON with --json, otherwise one "key=value" line each.
#pragma once

#include <cstdio>
#include <string>
#include <nlohmann/json.hpp>

namespace kandelo::cli {

inline void PrintRecord(const nlohmann::ordered_json& record, bool json) {
  if (json) {
    std::printf("%s\n", record.dump(2).c_str());
    return;
  }
  for (auto& [k, v] : record.items())
    std::printf("%s=%s\n", k.c_str(), v.is_string() ? v.get<std::string>().c_str() : v.dump().c_str());
}

// A JSON array printed element by element, byte for byte as the dump of the
// whole array with an indent of 2 would print it (invalid UTF-8 replaced).
class JsonArrayWriter {
 public:
  explicit JsonArrayWriter(std::FILE* out) : out_(out) {}
  void Add(const nlohmann::ordered_json& element) {
    const std::string text = element.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    // One level deeper: every line of the element moves in by two (strings
    // hold no line breaks, they are escaped). One write per element.
    line_.assign(first_ ? "[\n  " : ",\n  ");
    first_ = false;
    for (char c : text) {
      line_ += c;
      if (c == '\n') line_ += "  ";
    }
    std::fwrite(line_.data(), 1, line_.size(), out_);
  }
  void End() { std::fputs(first_ ? "[]\n" : "\n]\n", out_); }

 private:
  std::FILE* out_;
  std::string line_;
  bool first_ = true;
};

}  // namespace kandelo::cli
