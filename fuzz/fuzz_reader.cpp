// One reader on arbitrary bytes (KANDELO_FUZZ_READER, a file named
// KANDELO_FUZZ_NAME); a file it accepts is exercised like a loaded luminaire.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "photometry/format_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kandelo;
  static const bool quiet = (fuzz::Quiet(), true);
  (void)quiet;
  TLUM32 lum;
  lum.SetFileName(fuzz::InputFile(data, size, KANDELO_FUZZ_NAME));
  if (KANDELO_FUZZ_READER(lum).status == ReadStatus::Ok) {
    lum.Valid = 1;
    fuzz::Exercise(lum);
  }
  return 0;
}
