// Reading LTLI files.
#include "photometry/ltli_format.h"

#include <cmath>
#include <string>

#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "photometry/textfile.h"
#include "platform/text.h"

namespace kandelo {

namespace {

constexpr int kFieldsPerLine = 17;

ReadResult Fail(const TLUM32& lum, Diagnostics& diag, const std::string& reason) {
  diag.error("LTLI file " + lum.FileName + " : " + reason);
  return ReadFailed();
}

}  // namespace

long long LtliField(std::string_view line, int k) {
  const std::size_t start = static_cast<std::size_t>(4 * k - 4);
  if (k < 1 || start >= line.size()) return 0;
  long long v = 0;
  return ParseInt(line.substr(start, 4), v) ? v : 0;
}

ReadResult ReadLTLI(TLUM32& lum, Diagnostics& diag) {
  TTextReader in;
  if (!in.Open(lum.FileName)) return NotMine();
  std::string first;
  if (!in.ReadLine(first) || first.size() < 40 || platform::upper1252(first.substr(36, 4)) != "LTLI")
    return NotMine();
  long long f[10] = {};
  for (int k = 1; k <= 9; ++k) f[k] = LtliField(first, k);
  // OEM texts by the format, unless the file is UTF-8 (written by a newer tool).
  auto text = [&](std::string s) { return in.Utf8() ? in.Text1252(s) : lum.OemTexts ? OemToAnsi(s) : s; };

  lum.LumNumber = f[1] == -1 ? text(TrimBlanks(first.size() > 40 ? first.substr(40, 8) : std::string()))
                             : std::to_string(f[1]);
  auto cmToMm = [](long long cm) { return cm <= 0 ? std::uint16_t(0) : cm > 6553 ? std::uint16_t(65535) : std::uint16_t(cm * 10); };
  lum.LumAreaLength = cmToMm(f[7]);
  lum.LumAreaWidth = cmToMm(f[8]);
  lum.LumAreaHeight[0] = cmToMm(f[9]);

  std::string lines[4];
  for (auto& l : lines)
    if (!in.ReadLine(l)) return Fail(lum, diag, "the file ends in its texts");
  lum.ReportNumber = Cut(text(TrimBlanks(lines[0])), 40);
  lum.Manufacturer = Cut(text(TrimBlanks(lines[1])), 80);
  lum.LumName = Cut(text(TrimBlanks(lines[2])), 80);
  lum.InfoText1 = Cut(text(TrimBlanks(lines[3])), 40);

  const long long range = f[2], gammaEnd = f[3], cStep = f[4], gammaStep = f[5], orientation = f[6];
  if (range < 0 || range > 360 || (range > 0 && cStep <= 0))
    return Fail(lum, diag, "invalid plane range " + std::to_string(range) + " or step " + std::to_string(cStep));
  if (gammaEnd <= 0 || gammaEnd > 180 || gammaStep <= 0)
    return Fail(lum, diag, "invalid gamma range " + std::to_string(gammaEnd) + " or step " + std::to_string(gammaStep));
  const long gammas = std::lround(static_cast<double>(gammaEnd) / static_cast<double>(gammaStep)) + 1;
  const long planes = range == 0 ? 1 : std::lround(static_cast<double>(range) / static_cast<double>(cStep)) + 1;
  if (gammas < 2) return Fail(lum, diag, "at least two gamma angles are needed");
  const std::uint64_t values = static_cast<std::uint64_t>(gammas) * static_cast<std::uint64_t>(planes);
  const std::uint64_t dataLines = (values + kFieldsPerLine - 1) / kFieldsPerLine;
  if (!CountFitsFile(in, dataLines - 1, 1)) return Fail(lum, diag, "the file is shorter than its angle ranges announce");

  bool reversed = false;
  double turn = 0;
  float cStart = 0, cEnd = 0, step = static_cast<float>(cStep);
  switch (range) {
    case 0:
      lum.Symmetry = symRotational;
      step = 0;
      break;
    case 90:
      lum.Symmetry = symQuadrant;
      cEnd = 90;
      reversed = orientation == 0;
      break;
    case 180:
      if (orientation != 0) {
        lum.Symmetry = symC0C180;
        cEnd = 180;
      } else {
        lum.Symmetry = symC90C270;
        cStart = 90;
        cEnd = 270;
      }
      reversed = orientation == 0 || orientation == 90;
      break;
    default:
      lum.Symmetry = symNone;
      cEnd = static_cast<float>(range);
      turn = orientation == 0 ? 90 : orientation == 90 ? 180 : 0;
      break;
  }
  if (!lum.CreateTable(static_cast<int>(planes), static_cast<int>(gammas)))
    return Fail(lum, diag, "the intensity table cannot be created");
  lum.CStart = cStart;
  lum.CEnd = cEnd;
  lum.CStep = step;
  lum.GammaStart = 0;
  lum.GammaEnd = static_cast<float>(gammaEnd);
  lum.GammaStep = static_cast<float>(gammaStep);
  lum.GridFlags = 0;
  TSglArray& t = *lum.Table;
  for (long i = 1; i <= planes; ++i) t.At(i, 0) = cStart + static_cast<float>(i - 1) * step;
  for (long j = 1; j <= gammas; ++j) t.At(0, j) = static_cast<float>((j - 1) * gammaStep);

  // γ by γ, the values of all planes, 17 fixed-width fields per line.
  std::string line;
  std::uint64_t index = 0;
  for (long j = 1; j <= gammas; ++j)
    for (long k = 1; k <= planes; ++k, ++index) {
      const int field = static_cast<int>(index % kFieldsPerLine);
      if (field == 0 && !in.ReadLongLine(line)) return Fail(lum, diag, "the file ends in the intensity values");
      const long row = reversed ? planes - k + 1 : k;
      t.At(row, j) = static_cast<float>(LtliField(line, field + 1));
    }

  lum.SelectIntensityFunctions(lum.Symmetry);
  if (turn != 0) {
    lum.Valid = 1;
    lum.RotateDistribution(turn, 0, 0);
  } else {
    lum.CalcFlux();
    lum.FindMaxIntensity();
  }
  return ReadOk(fmtLtli);
}

}  // namespace kandelo
