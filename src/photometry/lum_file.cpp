// LUM (".LUM"): the older binary format, read only. A block-structured
// array container whose cells hold the intensities, the γ angles and a
// 1036-byte header record.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/number_lists.h"
#include "photometry/numeric.h"
#include "photometry/textfile.h"

namespace kandelo {
namespace {

constexpr std::size_t kHeader = 25;
constexpr std::size_t kRecord = 1036;

ReadResult Damaged(Diagnostics& diag, const std::string& why) {
  diag.error("LUM file damaged : " + why);
  return ReadFailed();
}

std::string Str(const unsigned char* p, std::size_t cap) {
  std::size_t n = std::min<std::size_t>(p[0], cap);
  return std::string(reinterpret_cast<const char*>(p + 1), n);
}

// The cells of the container, as raw 4-byte values.
struct Container {
  std::uint32_t rows = 0, cols = 0;
  std::vector<std::uint32_t> cells;
  bool Has(std::uint64_t r, std::uint64_t c) const { return r < rows && c < cols; }
  std::uint32_t Bits(std::uint64_t r, std::uint64_t c) const { return Has(r, c) ? cells[r * cols + c] : 0; }
  float Single(std::uint64_t r, std::uint64_t c) const {
    std::uint32_t b = Bits(r, c);
    float f;
    std::memcpy(&f, &b, 4);
    return f;
  }
  // A count stored in a cell: as a single, or (when that is no sensible
  // count) as a plain integer.
  long long Count(std::uint64_t r, std::uint64_t c) const {
    float f = Single(r, c);
    if (std::isfinite(f) && f >= 0 && f < 1e9 && f == std::floor(f)) return static_cast<long long>(f);
    return static_cast<std::int32_t>(Bits(r, c));
  }
};

// "d/m/y" and "h:m:s" to days since 30 Dec 1899; blanks give now.
double LumDate(const std::string& date, const std::string& time) {
  std::time_t now = std::time(nullptr);
  std::tm lt{};
  localtime_r(&now, &lt);
  int d = lt.tm_mday, m = lt.tm_mon + 1, y = lt.tm_year + 1900;
  int hh = lt.tm_hour, mi = lt.tm_min, ss = lt.tm_sec;
  if (!TrimBlanks(date).empty()) {
    std::string t = TrimBlanks(date);
    d = StrToIntSafe(ExtractWord(1, t, "/.-"));
    m = StrToIntSafe(ExtractWord(2, t, "/.-"));
    y = StrToIntSafe(ExtractWord(3, t, "/.-"));
    if (y < 100) y += 1900;
  }
  if (!TrimBlanks(time).empty()) {
    std::string t = TrimBlanks(time);
    hh = StrToIntSafe(ExtractWord(1, t, ":."));
    mi = StrToIntSafe(ExtractWord(2, t, ":."));
    ss = StrToIntSafe(ExtractWord(3, t, ":."));
  }
  if (m < 1 || m > 12 || d < 1 || d > 31) return 0;
  // Days from the civil date.
  int yy = y - (m <= 2);
  int era = (yy >= 0 ? yy : yy - 399) / 400;
  unsigned yoe = unsigned(yy - era * 400);
  unsigned doy = unsigned((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1);
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long long days = (long long)era * 146097 + doe - 719468 + 25569;
  return double(days) + (hh * 3600.0 + mi * 60.0 + ss) / 86400.0;
}

}  // namespace

ReadResult ReadLUM(TLUM32& lum, Diagnostics& diag) {
  std::string data;
  if (!ReadFileLimited(lum.FileName, data, kMaxBinaryFileSize)) return NotMine();
  if (data.size() < kHeader) return NotMine();
  auto* p = reinterpret_cast<const unsigned char*>(data.data());
  bool v = p[18] == 6 && std::memcmp(p + 19, "VARRAY", 6) == 0;
  bool l = p[14] == 6 && std::memcmp(p + 15, "LARRAY", 6) == 0;
  if (!v && !l) return NotMine();

  // The container; every count is checked against the file before allocating.
  const std::uint64_t R = GetU16(p), K = GetU16(p + 2), BR = GetU16(p + 4), BC = GetU16(p + 6);
  const std::uint64_t B = GetU16(p + 10), N = GetU16(p + 12);
  if (R == 0 || K == 0 || BR == 0 || BC == 0 || N == 0) return Damaged(diag, "empty container");
  if (B < R * K * 4) return Damaged(diag, "blocks of " + std::to_string(B) + " bytes");
  if (N < BR * BC) return Damaged(diag, std::to_string(N) + " blocks");
  if (data.size() < kHeader + N * 4 + N * B) return Damaged(diag, "the file ends early");
  Container box;
  box.rows = static_cast<std::uint32_t>(R * BR);
  box.cols = static_cast<std::uint32_t>(K * BC);
  box.cells.assign(std::size_t(box.rows) * box.cols, 0);
  const unsigned char* blocks = p + kHeader + N * 4;
  for (std::uint64_t b = 0; b < BR * BC; ++b) {
    const unsigned char* q = blocks + b * B;
    for (std::uint64_t k = 0; k < R * K; ++k) {
      std::uint64_t r = (b / BC) * R + k % R, c = (b % BC) * K + k / R;
      box.cells[r * box.cols + c] = GetU32(q + 4 * k);
    }
  }

  // The header record: 259 words behind row a, c + 1 words a row.
  long long a = box.Count(0, 0);
  if (a < 0 || a + 1 >= box.rows) return Damaged(diag, "header position " + std::to_string(a));
  long long c = box.Count(a + 1, 1);
  if (c < 1 || c + 1 > box.cols) return Damaged(diag, "header width " + std::to_string(c));
  unsigned char rec[kRecord];
  for (int w = 1; w <= 259; ++w) {
    std::uint64_t r = a + 1 + (w + 2) / (c + 1), col = (w + 2) % (c + 1);
    if (!box.Has(r, col)) return Damaged(diag, "header record outside the container");
    PutU32(rec + 4 * (w - 1), box.Bits(r, col));
  }

  std::string dataName = Str(rec, 12);
  auto dot = dataName.find('.');
  lum.ShortName = Cut(dot == std::string::npos ? dataName : dataName.substr(0, dot), 12);
  lum.ReportNumber = dataName;
  lum.LumNumber = lum.ShortName;
  lum.FileDate = LumDate(Str(rec + 13, 10), Str(rec + 24, 8));
  lum.LumName = Str(rec + 33, 40);
  lum.Manufacturer = Str(rec + 74, 40);
  lum.InfoText1 = Str(rec + 115, 40);
  lum.InfoText2 = Str(rec + 156, 40);
  lum.InfoText3 = Str(rec + 197, 40);
  lum.MeasuredBy = Str(rec + 238, 40);
  lum.MeasLampName[0] = Str(rec + 279, 25);
  lum.MeasText[0] = Str(rec + 320, 40);
  lum.MeasText[1] = Str(rec + 361, 40);
  lum.LampQuantity = rec[402];
  lum.LampSets[0].LampCount = rec[402];
  lum.MeasVoltage = GetF32(rec + 404);
  lum.MeasCurrent = GetF32(rec + 408);
  lum.MeasLampFlux[0] = GetF32(rec + 412);
  lum.MeasTemperature = GetF32(rec + 416);
  lum.RefFlux = GetF32(rec + 420);
  lum.LumFlux = GetF32(rec + 428);
  lum.UpFlux = GetF32(rec + 432);
  lum.DownFlux = GetF32(rec + 436);
  lum.LOR = GetF32(rec + 440);
  lum.DFF = GetF32(rec + 444);
  lum.DownDirectRatio = GetF32(rec + 448);
  lum.UpDirectRatio = GetF32(rec + 452);
  lum.ClassCode = Str(rec + 456, 7);
  for (int k = 0; k < 10; ++k) {
    lum.CeilingDirectFlux[k] = GetF32(rec + 468 + 4 * k);
    lum.UpperWallFlux[k] = GetF32(rec + 508 + 4 * k);
    lum.LowerWallFlux[k] = GetF32(rec + 548 + 4 * k);
    lum.UtilValues[k] = GetF32(rec + 588 + 4 * k);
  }
  lum.MeasValue502 = GetF32(rec + 628);
  lum.MeasValue506 = GetF32(rec + 632);
  lum.MeasValue490 = GetF32(rec + 636);
  lum.MeasValue494 = GetF32(rec + 640);
  lum.MeasValue396 = GetF32(rec + 661);
  lum.MeasValue400 = GetF32(rec + 665);
  lum.MeasValue510 = GetF32(rec + 669);
  lum.Symmetry = rec[704];
  lum.GridFlags = rec[705];
  for (int k = 0; k < 4; ++k) {
    lum.MeasLampName[k + 1] = Str(rec + 706 + 26 * k, 25);
    lum.MeasLampFlux[k + 1] = GetF32(rec + 836 + 4 * k);
  }
  lum.LampSets[0].SetWatt =
      ToI16(GetF32(rec + 925));  // NaN or huge wattage: clamped, never an undefined cast
  lum.MeasurementPresent = rec[929];
  lum.LumAreaHeight.fill(GetU16(rec + 930));
  lum.LumAreaWidth = GetU16(rec + 932);
  lum.LumAreaLength = GetU16(rec + 934);
  lum.LumAreaDiameter = GetU16(rec + 936);
  lum.Height.fill(GetU16(rec + 938));
  lum.Width = GetU16(rec + 940);
  lum.Length = GetU16(rec + 942);
  lum.Diameter = GetU16(rec + 944);
  lum.MeasDistance = GetF32(rec + 946);
  lum.CStart = GetF32(rec + 950);
  lum.CEnd = GetF32(rec + 954);
  lum.CStep = GetF32(rec + 958);
  int planes = GetU16(rec + 962);
  lum.GammaStart = GetF32(rec + 964);
  lum.GammaEnd = GetF32(rec + 968);
  lum.GammaStep = GetF32(rec + 972);
  int gammas = GetU16(rec + 976);
  lum.MeasValue526 = GetF32(rec + 986);
  lum.AuxReceiver = rec[990];
  // The lamp type ends where the lamp fluxes begin (1027).
  lum.LampSets[0].LampType = Str(rec + 996, 30);
  lum.LampSets[0].LampFlux = GetF32(rec + 1027);
  lum.LampSets[0].SetFlux = GetF32(rec + 1031);

  if (lum.Symmetry > symQuadrant) return Damaged(diag, "symmetry " + std::to_string(lum.Symmetry));
  if (planes < 1 || gammas < 1 || std::uint64_t(planes) >= box.rows || std::uint64_t(gammas) >= box.cols)
    return Damaged(diag, std::to_string(planes) + " x " + std::to_string(gammas) + " values announced");
  if (!lum.CreateTable(planes, gammas)) return Damaged(diag, "out of memory !");
  TSglArray& t = *lum.Table;
  for (int j = 1; j <= gammas; ++j)
    t.At(0, j) = lum.GridFlags != 0 ? box.Single(0, j) : lum.GammaStart + float(j - 1) * lum.GammaStep;
  for (int i = 1; i <= planes; ++i) {
    t.At(i, 0) = lum.CStart + float(i - 1) * lum.CStep;
    for (int j = 1; j <= gammas; ++j) t.At(i, j) = box.Single(i, j);
  }
  if (!lum.AnglesAscending()) return Damaged(diag, "the angles do not ascend");
  if (!lum.ValuesFinite()) return Damaged(diag, "values that are no numbers");

  lum.LampSetCount = 1;
  lum.LampSets[0].ColourText.clear();
  lum.LampSets[0].RenderingText.clear();
  lum.Imax = lum.ImaxC = lum.ImaxGamma = 0;
  if (std::lround(10.0 * lum.GammaEnd) <= 900)
    lum.DistributionKind = 0;
  else
    lum.DistributionKind = std::lround(10.0 * lum.GammaStart) < 900 ? 2 : 1;
  if (lum.LumAreaLength != 0)
    lum.AreaShape = 1;
  else
    lum.AreaShape = lum.LumAreaHeight[0] / 10 == lum.LumAreaDiameter / 10 ? 3 : 2;
  lum.MeasTotalFlux = 0;
  for (float f : lum.MeasLampFlux) lum.MeasTotalFlux += f;
  lum.MeasFromLum = 1;
  bool meas = lum.MeasurementPresent != 0, text = !lum.MeasText[0].empty();
  lum.BlockSize = static_cast<std::uint16_t>(kBlock1Size + (meas ? kBlock3Size : 0) + (text ? kBlock2Size : 0));
  lum.BlockFlags = static_cast<std::uint16_t>(1 | (meas ? 4 : 0) | (text ? 2 : 0));
  lum.PlaneSystem = psCGamma;
  lum.SelectIntensityFunctions(lum.Symmetry);
  return ReadOk(fmtLum);
}

}  // namespace kandelo
