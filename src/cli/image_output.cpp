#include "cli/image_output.h"

#include "cli/cli_common.h"

namespace kandelo::cli {

namespace {
TImageWriter& Writer() {
  static TImageWriter writer = nullptr;
  return writer;
}
}  // namespace

RegisterImageWriter::RegisterImageWriter(TImageWriter writer) { Writer() = writer; }

int WriteImage(const std::string& output, const std::string& ext, int width, int height, const TImageDraw& draw) {
  if (Writer()) return Writer()(output, ext, width, height, draw);
  return Fail("this build has no image output; use .wmf (" + FromUtf8(output) + ")");
}

}  // namespace kandelo::cli
