// Printing of data records: JSON with --json, otherwise one "key=value" line each.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
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

  // A flat object written field by field, as Add would print it, without
  // building the object first: a long list costs little more than its text.
  void BeginObject() {
    line_.assign(first_ ? "[\n  {" : ",\n  {");
    first_ = false;
    fields_ = 0;
  }
  void Field(std::string_view key, std::string_view value) {
    Key(key);
    AppendString(value);
  }
  void Field(std::string_view key, long long value) {
    Key(key);
    line_ += std::to_string(value);
  }
  void Field(std::string_view key, double value) {
    Key(key);
    line_ += nlohmann::json(value).dump();
  }
  // A nested value (an object), laid out as Add lays out its elements.
  void Nested(std::string_view key, const nlohmann::ordered_json& value) {
    Key(key);
    const std::string text = value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    for (char c : text) {
      line_ += c;
      if (c == '\n') line_ += "    ";
    }
  }
  void EndObject() {
    line_ += fields_ ? "\n  }" : "}";
    std::fwrite(line_.data(), 1, line_.size(), out_);
  }

 private:
  void Key(std::string_view key) {
    line_ += fields_++ ? ",\n    " : "\n    ";
    AppendString(key);
    line_ += ": ";
  }
  // Plain ASCII goes straight in; anything the library escapes or replaces
  // (quotes, control characters, bytes above 127) goes through it.
  void AppendString(std::string_view s) {
    const bool plain = std::all_of(s.begin(), s.end(), [](char c) {
      const auto u = static_cast<unsigned char>(c);
      return u >= 0x20 && u < 0x80 && c != '"' && c != '\\';
    });
    if (plain) {
      line_ += '"';
      line_ += s;
      line_ += '"';
    } else {
      line_ += nlohmann::json(std::string(s)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
  }

  std::FILE* out_;
  std::string line_;
  bool first_ = true;
  int fields_ = 0;
};

}  // namespace kandelo::cli
