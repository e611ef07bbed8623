#include "platform/resources.h"

#include "platform/resources_table.h"

namespace kandelo::platform {

std::optional<std::string_view> EmbeddedFile(std::string_view path) {
  for (const EmbeddedEntry* e = kEmbedded; e->path; ++e)
    if (path == e->path) return e->data;
  return std::nullopt;
}

std::vector<std::string> EmbeddedFiles(std::string_view prefix) {
  std::vector<std::string> out;
  for (const EmbeddedEntry* e = kEmbedded; e->path; ++e)
    if (std::string_view(e->path).substr(0, prefix.size()) == prefix) out.emplace_back(e->path);
  return out;
}

}  // namespace kandelo::platform
