// The whole dispatch of LoadLuminaire (every reader in its probing order and
// the range check behind them) on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kandelo;
  static const bool quiet = (fuzz::Quiet(), true);
  (void)quiet;
  TLUM32 lum;
  if (LoadLuminaire(fuzz::InputFile(data, size, "input.dat"), lum, LoadValues::AsRead).ok()) fuzz::Exercise(lum);
  return 0;
}
