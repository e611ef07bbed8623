#include "evaluation/coeff_tables.h"

#include <atomic>
#include <map>
#include <mutex>

#include "frame/strutil.h"
#include "platform/resources.h"

namespace kandelo {

namespace {
std::atomic<CoeffResourceSource> g_override = nullptr;
}

std::optional<CoeffTable> CoeffTable::FromStream(std::string_view bytes) {
  if (bytes.size() < 4) return std::nullopt;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::uint32_t rows = GetU16(p), cols = GetU16(p + 2);
  std::size_t need = 4 + std::size_t(rows) * cols * 4;
  if (bytes.size() < need) return std::nullopt;
  std::vector<float> cells(std::size_t(rows) * cols);
  for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = GetF32(p + 4 + 4 * i);
  return CoeffTable(rows, cols, std::move(cells));
}

std::string CoeffResourcePath(int number) { return "tables/257_" + std::to_string(number) + ".sgl"; }

namespace {

std::optional<CoeffTable> Decode(const std::string& path) {
  auto bytes = platform::EmbeddedFile(path);
  if (!bytes) return std::nullopt;
  return CoeffTable::FromStream(*bytes);
}

// The embedded tables are fixed for the life of the process: each is decoded
// at its first use and then shared (evaluations ask for them on every call).
std::optional<CoeffTable> Shared(const std::string& path) {
  static std::mutex mutex;
  static std::map<std::string, std::optional<CoeffTable>> tables;
  std::lock_guard lock(mutex);
  auto it = tables.find(path);
  if (it == tables.end()) it = tables.emplace(path, Decode(path)).first;
  return it->second;
}

}  // namespace

std::optional<CoeffTable> LoadCoeffTable(int number) {
  if (CoeffResourceSource source = g_override.load()) {
    auto bytes = source(number);
    if (!bytes) return std::nullopt;
    return CoeffTable::FromStream(*bytes);
  }
  return Shared(CoeffResourcePath(number));
}

std::optional<CoeffTable> LoadUgrShapes() { return Shared("tables/ugr_shapes.sgl"); }

void SetCoeffResourceOverride(CoeffResourceSource source) { g_override = source; }

}  // namespace kandelo
