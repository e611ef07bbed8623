#include "graphics/output_settings.h"

namespace kandelo {

const std::array<const char*, kOutputTypeCount> kOutputTypeKeys = {
    "OT_MAIN", "OT_POLAR", "OT_Kart", "OT_Table", "OT_GLUGR", "OT_GLDIN", "OT_RTDIN",
    "OT_RTTM5", "OT_RTNB", "OT_ISO", "OT_CONE", "OT_SRT", "OT_BBK"};

const std::array<const char*, kOutputTypeCount> kOutputTitleKeys = {
    "HDMAIN", "HDPOL", "HDCRT", "HDTAB", "HDUGR", "HDSLR", "HDUFDIN",
    "HDUFTM5", "HDUFNB", "HDISO", "HDCONE", "HDSRT", "HDBBK"};

void TOutputSettings::Set(int type, bool on) {
  if (type < 0 || type >= kOutputTypeCount) return;
  const auto bit = static_cast<std::uint16_t>(1u << type);
  OutputSet = on ? static_cast<std::uint16_t>(OutputSet | bit) : static_cast<std::uint16_t>(OutputSet & ~bit);
}

TOutputSettings InitialOutputSettings() {
  TOutputSettings s;
  s.OutputSet = 1u << otMain;
  s.Planes = std::make_shared<TPlaneList>();
  s.IsoSide = 10.0f;
  s.IsoHeight = 3.0f;
  s.IsoFlux = 0;
  s.IsoKValue = 0;
  s.ConeDistanceSet = 0;
  s.CountIlluminances = {20, 50, 100};
  s.CountIlluminancePreset = 0;
  s.CountHeights = {1.65f, 2.15f, 2.65f};
  s.CountHeightPreset = 0;
  s.CountRoomAreaSet = 0;
  s.CountReflectances = 0;
  s.CountMaintenance = 0.8f;
  s.FloorHeights = {1.65f, 2.15f, 2.65f};
  s.FloorHeightPreset = 0;
  s.FloorSectionEnds = {-2.0f, 6.0f};
  s.FloorDistancePreset = 0;
  s.FloorLuminaireCount = 1;
  s.Emergency = 0;
  s.FloorMaintenance = 0.8f;
  return s;
}

void CopyOutputSettings(const TOutputSettings& src, TOutputSettings& dst) {
  std::shared_ptr<TPlaneList> planes = dst.Planes ? dst.Planes : std::make_shared<TPlaneList>();
  dst = src;
  *planes = src.Planes ? *src.Planes : TPlaneList{};
  dst.Planes = planes;
}

}  // namespace kandelo
