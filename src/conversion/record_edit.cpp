#include "conversion/record_edit.h"

#include <algorithm>
#include <cmath>

#include "conversion/staging_dir.h"
#include "frame/strutil.h"
#include "photometry/format_io.h"
#include "platform/fileio.h"

namespace kandelo {

namespace {

std::int16_t I16(double v) {
  const double r = std::round(v);
  return static_cast<std::int16_t>(r < -32768 ? -32768 : r > 32767 ? 32767 : r);
}

std::uint16_t U16(int v) { return static_cast<std::uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v); }

}  // namespace

TGeneralFields FieldsOfLuminaire(const TLUM32& lum) {
  TGeneralFields f;
  f.symmetry = lum.Symmetry;
  f.lumNumber = lum.LumNumber;
  f.lumName = lum.LumName;
  f.manufacturer = lum.Manufacturer;
  f.reportNumber = lum.ReportNumber;
  f.dateUser = lum.DateUser;
  f.measuredBy = lum.MeasuredBy;
  f.fileDate = lum.FileDate;
  if (lum.FormatCode == fmtLum32) {
    for (const std::string* t : {&lum.InfoText1, &lum.InfoText2, &lum.InfoText3, &lum.InfoText4, &lum.InfoText5})
      f.commentLines.push_back(*t);
    while (!f.commentLines.empty() && f.commentLines.back().empty()) f.commentLines.pop_back();
  }
  for (int i = 0; i < 3; ++i) {
    if (lum.LampSetCount > i) {
      const TLampSet& s = lum.LampSets[static_cast<std::size_t>(i)];
      f.lamps[static_cast<std::size_t>(i)] = {s.LampCount, s.LampType, s.SetFlux, s.SetWatt};
    }
  }
  if (lum.Diameter != 0) {
    f.length = lum.Diameter;
  } else {
    f.length = lum.Length;
    f.width = lum.Width;
  }
  f.height = lum.Height[0];
  if (lum.LumAreaDiameter != 0) {
    f.areaLength = lum.LumAreaDiameter;
  } else {
    f.areaLength = lum.LumAreaLength;
    f.areaWidth = lum.LumAreaWidth;
  }
  f.areaHeight = lum.LumAreaHeight[0];
  return f;
}

TGeneralFields FieldsOfRecord(const TCatalogueRecord& rec) {
  TGeneralFields f;
  f.lumNumber = rec.ShortNumber();
  f.lumName = rec.LumName();
  f.manufacturer = rec.Manufacturer();
  f.symmetry = rec.Symmetry();
  f.lamps[0] = {rec.LampCount(), rec.LampType(), rec.LampFlux(), rec.GetI16(catoff::LampWatt)};
  f.length = rec.GetI16(catoff::LumLength);
  f.width = rec.GetI16(catoff::LumWidth);
  f.height = rec.GetI16(catoff::LumHeight);
  f.areaLength = rec.GetI16(catoff::AreaLength);
  f.areaWidth = rec.GetI16(catoff::AreaWidth);
  f.areaHeight = rec.GetI16(catoff::AreaHeight);
  return f;
}

void StoreFieldsInLuminaire(const TGeneralFields& f, TLUM32& lum) {
  const TGeneralFields was = FieldsOfLuminaire(lum);
  if (lum.FormatCode == fmtLum32 && f.commentLines != was.commentLines) {
    std::string* texts[5] = {&lum.InfoText1, &lum.InfoText2, &lum.InfoText3, &lum.InfoText4, &lum.InfoText5};
    // Lines beyond the fifth are dropped; missing lines clear their text, so
    // a shortened comment does not keep its old tail.
    for (std::size_t k = 0; k < 5; ++k) *texts[k] = k < f.commentLines.size() ? Cut(f.commentLines[k], 40) : "";
  }
  if (f.lumName != was.lumName) lum.LumName = Cut(f.lumName, 80);
  if (f.lumNumber != was.lumNumber) lum.LumNumber = Cut(f.lumNumber, 80);
  if (f.reportNumber != was.reportNumber) lum.ReportNumber = Cut(f.reportNumber, 40);
  if (lum.FormatCode == fmtEulumdat || lum.FormatCode == fmtEulumdat2) {
    if (f.dateUser != was.dateUser) lum.DateUser = Cut(f.dateUser, 40);
  } else {
    if (f.measuredBy != was.measuredBy) lum.MeasuredBy = Cut(f.measuredBy, 40);
    lum.FileDate = f.fileDate;
  }
  if (f.manufacturer != was.manufacturer) lum.Manufacturer = Cut(f.manufacturer, 80);
  if (f.length != was.length || f.width != was.width) {
    if (f.width != 0) {
      lum.Length = U16(f.length);
      lum.Diameter = 0;
      lum.Width = U16(f.width);
    } else {
      lum.Diameter = U16(f.length);
      lum.Length = 0;
      lum.Width = 0;
    }
  }
  if (f.height != was.height) lum.Height[0] = U16(f.height);
  if (f.areaLength != was.areaLength || f.areaWidth != was.areaWidth) {
    if (f.areaWidth != 0) {
      lum.LumAreaLength = U16(f.areaLength);
      lum.LumAreaDiameter = 0;
      lum.LumAreaWidth = U16(f.areaWidth);
    } else {
      lum.LumAreaDiameter = U16(f.areaLength);
      lum.LumAreaLength = 0;
      lum.LumAreaWidth = 0;
    }
  }
  if (f.areaHeight != was.areaHeight) lum.LumAreaHeight.fill(U16(f.areaHeight));
  if (f.lamps == was.lamps) return;
  // The rows that describe lamps become consecutive sets; colour and
  // rendering texts of a set position stay. A row left as it was keeps its
  // set whole, and the sets behind the three rows stay behind them.
  const std::array<TLampSet, kMaxLampSets> old = lum.LampSets;
  const int oldCount = std::min<int>(lum.LampSetCount, kMaxLampSets);
  int n = 0;
  for (std::size_t i = 0; i < f.lamps.size(); ++i) {
    const TLampRow& row = f.lamps[i];
    if (static_cast<int>(i) < oldCount && row == was.lamps[i]) {
      lum.LampSets[static_cast<std::size_t>(n++)] = old[i];
      continue;
    }
    if (row.count <= 0 || TrimBlanks(row.type).empty() || row.flux < 1) continue;
    TLampSet& s = lum.LampSets[static_cast<std::size_t>(n++)];
    s = old[static_cast<std::size_t>(n - 1)];
    s.LampCount = static_cast<std::uint8_t>(row.count > 255 ? 255 : row.count);
    s.LampType = Cut(row.type, 40);
    s.SetFlux = static_cast<float>(row.flux);
    s.LampFlux = static_cast<float>(row.flux / row.count);
    s.SetWatt = I16(row.watt);
  }
  for (int i = static_cast<int>(f.lamps.size()); i < oldCount; ++i) lum.LampSets[static_cast<std::size_t>(n++)] = old[static_cast<std::size_t>(i)];
  lum.LampSetCount = static_cast<std::uint8_t>(n);
}

namespace {

bool SameIntensities(const TLUM32& a, const TLUM32& b) {
  if (!SameGrid(a, b)) return false;
  for (int i = 1; i <= a.CPlaneCount; ++i)
    for (int j = 1; j <= a.GammaCount; ++j)
      if (a.Table->At(i, j) != b.Table->At(i, j)) return false;
  return true;
}

// The values computed from the intensities, as the file holds them.
void KeepComputedValues(const TLUM32& from, TLUM32& to) {
  to.LOR = from.LOR;
  to.Imax = from.Imax;
  to.ImaxC = from.ImaxC;
  to.ImaxGamma = from.ImaxGamma;
  to.DistributionKind = from.DistributionKind;
  to.RefFlux = from.RefFlux;
  to.LumFlux = from.LumFlux;
  to.UpFlux = from.UpFlux;
  to.DownFlux = from.DownFlux;
  to.DFF = from.DFF;
  to.DownDirectRatio = from.DownDirectRatio;
  to.UpDirectRatio = from.UpDirectRatio;
  to.ClassCode = from.ClassCode;
  to.CeilingDirectFlux = from.CeilingDirectFlux;
  to.UpperWallFlux = from.UpperWallFlux;
  to.LowerWallFlux = from.LowerWallFlux;
  to.UtilValues = from.UtilValues;
  to.ZonalFlux = from.ZonalFlux;
  to.CieFluxCode = from.CieFluxCode;
  to.BzClasses = from.BzClasses;
  to.PartialFluxValid = from.PartialFluxValid;
}

}  // namespace

bool WriteEditedLuminaire(TLUM32& edited, const TLUM32* loaded, const std::string& fileText, const std::string& path) {
  if (!loaded || loaded->FormatCode != edited.FormatCode) return WriteLuminaireSafely(edited, edited.FormatCode, path);
  const bool ldt = edited.FormatCode == fmtEulumdat || edited.FormatCode == fmtEulumdat2;
  if (ldt) {
    if (const auto text = EditedLDTText(fileText, *loaded, edited)) return platform::writeFileAtomic(path, *text);
  }
  // The whole file, with what it held where the edit did not reach: its
  // short name (in EULUMDAT the file-name line) and, while the intensities
  // are those read, the values computed from them.
  TLUM32 out(edited);
  out.ShortName = ldt ? loaded->InfoText2 : loaded->ShortName;
  if (!ldt && SameIntensities(*loaded, edited)) KeepComputedValues(*loaded, out);
  return WriteLuminaireSafely(out, out.FormatCode, path, true);
}

void RecordTakesFields(const TGeneralFields& f, std::uint8_t formatCode, TCatalogueRecord& rec) {
  rec.SetLumNumber(Cut(f.lumNumber, 24));
  rec.SetShortNumber(Cut(TrimBlanks(f.lumNumber), 15));
  rec.SetLumName(Cut(TrimBlanks(f.lumName), 40));
  rec.SetManufacturer(Cut(f.manufacturer, 25));
  rec.SetLampType(Cut(f.lamps[0].type, 20));
  rec.SetLampCount(static_cast<std::uint8_t>(f.lamps[0].count < 0 ? 0 : f.lamps[0].count > 255 ? 255 : f.lamps[0].count));
  rec.SetLampFlux(static_cast<float>(f.lamps[0].flux));
  rec.SetI16(catoff::LampWatt, I16(f.lamps[0].watt));
  rec.SetI16(catoff::LumLength, I16(f.length));
  rec.SetI16(catoff::LumWidth, I16(f.width));
  rec.SetI16(catoff::LumHeight, I16(f.height));
  rec.SetI16(catoff::AreaLength, I16(f.areaLength));
  rec.SetI16(catoff::AreaWidth, I16(f.areaWidth));
  rec.SetI16(catoff::AreaHeight, I16(f.areaHeight));
  rec.SetFormatCode(formatCode);
}

std::string CheckGeneralPage(const TCatalogueRecord& rec) {
  if (TrimBlanks(rec.FileNameField()).empty()) return "DM_NOFILE";
  if (rec.LampCount() == 0) return "DM_NOBEST";
  if (std::lround(rec.LampFlux()) == 0) return "DM_NOLAMP";
  if (rec.GetI16(catoff::LumLength) == 0) return "DM_NOLDIM";
  if (rec.GetI16(catoff::AreaLength) == 0) return "DM_NOLLDIM";
  return {};
}

TCatalogueRecord NewEntryRecord() {
  TCatalogueRecord rec;
  rec.SetI16(catoff::Value196, 230);
  rec.SetI16(catoff::Value198, 50);
  return rec;
}

bool TableUnitAvailable(const TLUM32& lum, TableUnit unit) {
  switch (unit) {
    case TableUnit::CdPerKlm: return true;
    case TableUnit::Candela: return std::lround(10.0 * lum.MeasTotalFlux) != 0;
    case TableUnit::Lux:
      return std::lround(10.0 * lum.MeasTotalFlux) != 0 && std::lround(10.0 * lum.MeasDistance) != 0;
  }
  return false;
}

double TableUnitFactor(const TLUM32& lum, TableUnit unit) {
  if (!TableUnitAvailable(lum, unit)) return 1;
  const double perKlm = 1000.0 / lum.MeasTotalFlux;
  switch (unit) {
    case TableUnit::Candela: return perKlm;
    case TableUnit::Lux: return double(lum.MeasDistance) * lum.MeasDistance * perKlm;
    default: return 1;
  }
}

bool StoreTableValue(TLUM32& lum, int k, int r, double entered, double factor) {
  if (k < 1 || k > lum.CPlaneCount || r < 1 || r > lum.GammaCount || !std::isfinite(entered)) return false;
  const float value = static_cast<float>(entered * factor);
  const long gamma = std::lround(100.0 * lum.GammaAngle(r));
  if (lum.PlaneSystem == psCGamma && (gamma == 0 || gamma == 18000)) {
    for (int i = 1; i <= lum.CPlaneCount; ++i) lum.SetValue(i, r, value);
    return true;
  }
  lum.SetValue(k, r, value);
  return false;
}

}  // namespace kandelo
