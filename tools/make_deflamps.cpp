// Generates the default lamp table shipped with the program (resources/lamps/
// DEFLAMPS.DAT and .IDX): common lamp types with the luminous flux of one lamp
// and typical wattages of lamp and control gear.
//
//   make_deflamps OUTPUT_DIRECTORY
#include <cstdio>
#include <string>

#include "storage/indexed_table.h"
#include "database/lamp_table.h"
#include "frame/strutil.h"
#include "platform/fileio.h"

namespace {

struct Lamp {
  const char* type;  // at most 20 characters
  float flux;        // lm per lamp
  short watt;        // lamp
  short ballast;     // losses of the control gear
};

// Rated values of usual catalogue lamps; gear losses of electronic gear for
// fluorescent and LED, of magnetic gear for discharge lamps and transformers
// for low-voltage halogen.
constexpr Lamp kLamps[] = {
    {"T8 fluorescent", 1350, 18, 3},      {"T8 fluorescent", 3350, 36, 4},
    {"T8 fluorescent", 5200, 58, 6},      {"T5 HE fluorescent", 1350, 14, 2},
    {"T5 HE fluorescent", 2100, 21, 3},   {"T5 HE fluorescent", 2900, 28, 3},
    {"T5 HE fluorescent", 3650, 35, 4},   {"T5 HO fluorescent", 2000, 24, 3},
    {"T5 HO fluorescent", 3500, 39, 4},   {"T5 HO fluorescent", 4900, 49, 5},
    {"T5 HO fluorescent", 5000, 54, 5},   {"T5 HO fluorescent", 7000, 80, 8},
    {"TC-L compact", 1200, 18, 3},        {"TC-L compact", 1800, 24, 3},
    {"TC-L compact", 2900, 36, 4},        {"TC-L compact", 4800, 55, 5},
    {"TC-DEL compact", 1200, 18, 3},      {"TC-DEL compact", 1800, 26, 3},
    {"TC-TEL compact", 1800, 26, 3},      {"TC-TEL compact", 2400, 32, 4},
    {"TC-TEL compact", 3200, 42, 5},      {"LED module 830", 1000, 8, 1},
    {"LED module 840", 1100, 8, 1},       {"LED module 840", 2000, 15, 2},
    {"LED module 840", 3000, 22, 2},      {"LED module 840", 4000, 28, 3},
    {"LED module 840", 6000, 42, 4},      {"LED tube T8 840", 1800, 15, 1},
    {"LED tube T8 840", 3300, 24, 1},     {"HIT metal halide", 3300, 35, 6},
    {"HIT metal halide", 6600, 70, 10},   {"HIT metal halide", 14000, 150, 15},
    {"HIE metal halide", 20000, 250, 25}, {"HIE metal halide", 35000, 400, 35},
    {"HST sodium", 4400, 50, 8},          {"HST sodium", 6600, 70, 10},
    {"HST sodium", 10700, 100, 12},       {"HST sodium", 17500, 150, 16},
    {"HST sodium", 33200, 250, 25},       {"HST sodium", 56500, 400, 40},
    {"QT12 halogen 12V", 930, 50, 5},     {"QR-CBC51 halogen", 650, 35, 4},
    {"QT32 halogen", 1400, 100, 0},       {"QT-DE12 halogen", 2500, 150, 0},
    {"QT-DE12 halogen", 5000, 300, 0},    {"QT-DE12 halogen", 9500, 500, 0},
};

}  // namespace

int main(int argc, char** argv) {
  using namespace kandelo;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_deflamps OUTPUT_DIRECTORY\n");
    return 2;
  }
  const std::string base = AddBackslash(argv[1]) + "DEFLAMPS";
  for (const char* ext : {".DAT", ".IDX"}) platform::fs().removeFile(base + ext);
  if (InitDatabaseEngine() != 0 || !OpenLampTable(base)) return 1;
  int failures = 0;
  for (const Lamp& l : kLamps) {
    TLampRecord& r = LampBuffer();
    r.Clear();
    r.SetLampType(l.type);
    r.SetFlux(l.flux);
    r.SetWatt(l.watt);
    r.SetBallastWatt(l.ballast);
    if (int e = LampTable()->Add(); e != 0) {
      std::fprintf(stderr, "%s %dW: DB-Error : %d\n", l.type, l.watt, e);
      ++failures;
    }
  }
  std::printf("%d lamps written to %s.DAT\n", LampTable()->RecordCount(), base.c_str());
  CloseLampTable();
  ReleaseDatabaseEngine();
  return failures ? 1 : 0;
}
