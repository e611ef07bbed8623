// The file checks on arbitrary bytes, as an EULUMDAT or an IES file (the
// name decides which line checks run besides the readers).
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "photometry/validate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kandelo;
  static const bool quiet = (fuzz::Quiet(), true);
  (void)quiet;
  (void)ValidateFile(fuzz::InputFile(data, size, KANDELO_FUZZ_NAME));
  return 0;
}
