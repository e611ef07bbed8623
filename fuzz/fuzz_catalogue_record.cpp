// The record checks of the catalogue rebuild on arbitrary 512-byte records,
// and what the catalogue computes from a record that passes them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cstdlib>

#include "database/catalogue_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kandelo;
  TCatalogueRecord rec;
  std::memcpy(rec.data(), data, std::min(size, rec.bytes.size()));
  if (!CheckCatalogueRecord(rec.data()).empty()) return 0;
  // A record that passes names a file: one component, not empty.
  const std::string name = CatalogueFileName(rec);
  if (name.empty() || name.find('/') != std::string::npos) std::abort();
  for (int k = 1; k <= kCatalogueKeyCount; ++k) {
    const std::string key = CatalogueKey(rec, k);
    const std::size_t length = k == 6 ? kCatalogueFileKeyLength : kCatalogueSortKeyLength;
    if (key.size() != length) std::abort();
  }
  TCatalogueRecord alias = rec;
  UseAliasFor(alias, name);
  if (CatalogueFileName(alias) != name) std::abort();
  return 0;
}
