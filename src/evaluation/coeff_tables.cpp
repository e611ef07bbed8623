#include "evaluation/coeff_tables.h"

#include "frame/strutil.h"
#include "platform/resources.h"

namespace kandelo {

namespace {
CoeffResourceSource g_override = nullptr;
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

std::optional<CoeffTable> LoadCoeffTable(int number) {
  if (g_override) {
    auto bytes = g_override(number);
    if (!bytes) return std::nullopt;
    return CoeffTable::FromStream(*bytes);
  }
  auto bytes = platform::EmbeddedFile(CoeffResourcePath(number));
  if (!bytes) return std::nullopt;
  return CoeffTable::FromStream(*bytes);
}

std::optional<CoeffTable> LoadUgrShapes() {
  auto bytes = platform::EmbeddedFile("tables/ugr_shapes.sgl");
  if (!bytes) return std::nullopt;
  return CoeffTable::FromStream(*bytes);
}

void SetCoeffResourceOverride(CoeffResourceSource source) { g_override = source; }

}  // namespace kandelo
