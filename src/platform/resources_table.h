#pragma once
#include <string_view>
namespace kandelo::platform {
struct EmbeddedEntry {
  const char* path;
  std::string_view data;
};
// Terminated by an entry whose path is nullptr; generated at build time.
extern const EmbeddedEntry kEmbedded[];
}  // namespace kandelo::platform
