// Printing of data records: JSON with --json, otherwise one "key=value" line each.
#pragma once

#include <cstdio>
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

}  // namespace kandelo::cli
