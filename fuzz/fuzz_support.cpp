#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "photometry/format_io.h"
#include "platform/fileio.h"

namespace kandelo::fuzz {

namespace {
std::string WorkDir() {
  static const std::string dir = [] {
    std::string base = platform::fs().isDirectory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string d = base + "/kandelo-fuzz-" + std::to_string(::getpid());
    platform::fs().makeDirectory(d);
    return d;
  }();
  return dir;
}
}  // namespace

std::string InputFile(const std::uint8_t* data, std::size_t size, const std::string& name) {
  const std::string path = WorkDir() + "/" + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
  return path;
}

void Quiet() {
  static SilentUi silent;
  setUiServices(&silent);
}

void Exercise(TLUM32& lum) {
  lum.CalcFlux();
  lum.FindMaxIntensity();
  lum.CalcZonalFlux();
  lum.CalcCieFluxCode();
  for (double g : {0.0, 12.5, 45.0, 90.0, 137.0, 180.0})
    for (double c : {0.0, 33.0, 90.0, 181.0, 270.0, 359.9}) {
      (void)lum.Intensity(g, c);
      (void)lum.IntensityBB(g - 90, c - 180);
    }
  (void)lum.MeanIntensity(30);
  (void)lum.PlanePairList();
  (void)lum.LuminanceAvailable();
  // Every writer, and what it wrote read back.
  for (std::uint8_t code : {fmtEulumdat, fmtLum32, fmtTm14, fmtIes86, fmtIes95}) {
    TLUM32 copy = lum;
    if (copy.SaveAs(code, WorkDir() + "/out")) {
      TLUM32 back;
      LoadLuminaire(WorkDir() + "/out", back, LoadValues::AsRead);
    }
  }
}

}  // namespace kandelo::fuzz
